#include "IniSettingsStore.h"
#include "AppError.h"

#include <QSettings>
#include <QStandardPaths>

QString IniSettingsStore::FilePath(const QString& appName)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/')
        + appName + QStringLiteral(".ini");
}

QString IniSettingsStore::GetSetting(const QString& appName, const QString& section,
                                     const QString& key, const QString& defaultValue) const
{
    QSettings settings(FilePath(appName), QSettings::IniFormat);
    return settings.value(section + QLatin1Char('/') + key, defaultValue).toString();
}

void IniSettingsStore::SaveSetting(const QString& appName, const QString& section,
                                   const QString& key, const QString& value)
{
    QSettings settings(FilePath(appName), QSettings::IniFormat);
    settings.setValue(section + QLatin1Char('/') + key, value);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw AppError(ErrNo::PathFileAccess, QStringLiteral("SaveSetting"),
                       QStringLiteral("Cannot write the settings file %1").arg(FilePath(appName)));
}
