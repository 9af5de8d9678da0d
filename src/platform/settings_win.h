#pragma once
#include "base/settings.h"

// Settings in the per-user registry, the conventional place for settings
// kept by application, section and key:
// HKEY_CURRENT_USER\<root>\<application>\<section>, one REG_SZ value per key.
class RegistrySettingsStore : public SettingsStore {
public:
    explicit RegistrySettingsStore(std::string root = "Software\\VB and VBA Program Settings")
        : root_(std::move(root)) {}

    std::string GetSetting(const std::string& application, const std::string& section, const std::string& key,
                           const std::string& defaultValue) override;
    void SaveSetting(const std::string& application, const std::string& section, const std::string& key,
                     const std::string& value) override;

private:
    std::string keyPath(const std::string& application, const std::string& section) const;
    std::string root_;
};
