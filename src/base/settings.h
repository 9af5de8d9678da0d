#pragma once
// The per-user settings store, and every setting the program keeps. Values
// live under an application name, a section and a key.
#include <string>

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored text, or the default when the key or the value is absent.
    // Raises AppError when either is there but cannot be read as text (access
    // refused, another type).
    virtual std::string GetSetting(const std::string& application, const std::string& section,
                                   const std::string& key, const std::string& defaultValue) = 0;
    // Raises AppError when the value cannot be written.
    virtual void SaveSetting(const std::string& application, const std::string& section,
                             const std::string& key, const std::string& value) = 0;
};

// The macro setting: the full path of the macro every job plays, or empty
// text. Kept under the program's executable name, section "Options", key "macro".
namespace MacroSetting {
inline constexpr const char* Section = "Options";
inline constexpr const char* Key = "macro";
// The stored macro of the program with this name, empty text when none is.
std::string Read(SettingsStore& store, const std::string& program);
void Store(SettingsStore& store, const std::string& program, const std::string& path);
} // namespace MacroSetting
