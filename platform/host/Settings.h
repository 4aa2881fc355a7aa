#pragma once
#include <QString>

// The per-user settings store: text settings by product name, section and key.
namespace Settings {
QString GetSetting(const QString& product, const QString& section, const QString& key,
                   const QString& defaultValue = QString());
void SaveSetting(const QString& product, const QString& section, const QString& key, const QString& value);
}  // namespace Settings
