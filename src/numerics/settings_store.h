// The few persistent settings are read and written through this interface: the GUI
// backs it with QSettings, tests and the command line with an in-memory store.
#pragma once

#include <map>
#include <optional>
#include <string>

namespace sorvel {

// Groups named after the registry keys below "Software\Sorvel Darovovu\Sorvelstats".
inline constexpr const char* SettingsGroup = "Settings";
inline constexpr const char* MruGroup = "MRU Files";

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual std::optional<std::string> Read(const std::string& group,
                                          const std::string& key) const = 0;
  virtual void Write(const std::string& group, const std::string& key,
                     const std::string& value) = 0;
};

class MemorySettingsStore : public SettingsStore {
 public:
  std::optional<std::string> Read(const std::string& group, const std::string& key) const override {
    auto it = Values.find(group + "\\" + key);
    if (it == Values.end()) return std::nullopt;
    return it->second;
  }
  void Write(const std::string& group, const std::string& key, const std::string& value) override {
    Values[group + "\\" + key] = value;
  }
  std::map<std::string, std::string> Values;
};

// The store the program uses; an in-memory one until the GUI installs its own.
SettingsStore& Settings();
void SetSettingsStore(SettingsStore* store);  // nullptr restores the in-memory default

}  // namespace sorvel
