#include "ui/settings_qt.h"

#include <QSettings>

namespace sorvel {

TQtSettingsStore::TQtSettingsStore()
    : settings_(std::make_unique<QSettings>(QStringLiteral("Sorvel Darovovu"),
                                            QStringLiteral("Sorvelstats"))) {}

TQtSettingsStore::TQtSettingsStore(const QString& iniFile)
    : settings_(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

TQtSettingsStore::~TQtSettingsStore() = default;

static QString KeyPath(const std::string& group, const std::string& key) {
  return QString::fromStdString(group) + QLatin1Char('/') + QString::fromStdString(key);
}

std::optional<std::string> TQtSettingsStore::Read(const std::string& group,
                                                  const std::string& key) const {
  QVariant v = settings_->value(KeyPath(group, key));
  if (!v.isValid()) return std::nullopt;
  return v.toString().toStdString();
}

void TQtSettingsStore::Write(const std::string& group, const std::string& key,
                             const std::string& value) {
  settings_->setValue(KeyPath(group, key), QString::fromStdString(value));
  settings_->sync();
}

}  // namespace sorvel
