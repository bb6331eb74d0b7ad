#pragma once
#include <QString>

// The per-user settings store: one string value per application name, section and key.
class ISettingsStore {
public:
    virtual ~ISettingsStore() = default;
    virtual QString GetSetting(const QString& appName, const QString& section, const QString& key,
                               const QString& defaultValue) const = 0;
    virtual void SaveSetting(const QString& appName, const QString& section, const QString& key,
                             const QString& value) = 0;
};
