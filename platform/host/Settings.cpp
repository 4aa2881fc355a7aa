#include "platform/host/Settings.h"
#include <QSettings>

namespace {
// One INI file per product in the user's configuration folder.
QSettings store(const QString& product)
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("KTR"), product);
}
}  // namespace

QString Settings::GetSetting(const QString& product, const QString& section, const QString& key,
                             const QString& defaultValue)
{
    return store(product).value(section + QLatin1Char('/') + key, defaultValue).toString();
}

void Settings::SaveSetting(const QString& product, const QString& section, const QString& key, const QString& value)
{
    auto s = store(product);
    s.setValue(section + QLatin1Char('/') + key, value);
}
