#pragma once
#include "ISettingsStore.h"

// Keeps each application's settings in $XDG_CONFIG_HOME/<appName>.ini (INI format), so
// the file sits where a Linux user looks for it and tests can redirect it.
class IniSettingsStore : public ISettingsStore {
public:
    QString GetSetting(const QString& appName, const QString& section, const QString& key,
                       const QString& defaultValue) const override;
    void SaveSetting(const QString& appName, const QString& section, const QString& key,
                     const QString& value) override;

    static QString FilePath(const QString& appName);
};
