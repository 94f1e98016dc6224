// The settings interface backed by QSettings (organisation "Sorvel Darovovu",
// application "Sorvelstats"; the registry keys become groups).
#pragma once

#include <memory>

#include "numerics/settings_store.h"

class QSettings;
class QString;

namespace sorvel {

class TQtSettingsStore : public SettingsStore {
 public:
  TQtSettingsStore();                                 // the user's settings
  explicit TQtSettingsStore(const QString& iniFile);  // a given file (tests)
  ~TQtSettingsStore() override;
  std::optional<std::string> Read(const std::string& group, const std::string& key) const override;
  void Write(const std::string& group, const std::string& key, const std::string& value) override;

 private:
  std::unique_ptr<QSettings> settings_;
};

}  // namespace sorvel
