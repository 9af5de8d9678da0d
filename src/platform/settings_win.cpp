#include "platform/settings_win.h"

#include "base/error.h"
#include "platform/errors_win.h"
#include "platform/handles_win.h"
#include "platform/wide_win.h"

#include <windows.h>

#include <vector>

namespace {
// Only a key or value that is not there means "not set"; every other failure
// (access refused, a broken key) means the setting cannot be read.
bool settingAbsent(LONG status) {
    return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND;
}

AppError unreadable(const std::string& key, LONG status) {
    return win32Error(static_cast<DWORD>(status), "Settings",
                      "The setting \"" + key + "\" could not be read");
}
} // namespace

std::string RegistrySettingsStore::keyPath(const std::string& application, const std::string& section) const {
    return root_ + "\\" + application + "\\" + section;
}

std::string RegistrySettingsStore::GetSetting(const std::string& application, const std::string& section,
                                              const std::string& key, const std::string& defaultValue) {
    UniqueHkey hkey;
    LONG status = RegOpenKeyExW(HKEY_CURRENT_USER, widen(keyPath(application, section)).c_str(), 0,
                                KEY_QUERY_VALUE, hkey.put());
    if (settingAbsent(status))
        return defaultValue;
    // A key that is there but cannot be opened (access refused) is no
    // "nothing chosen": the caller must not take the default for the value.
    if (status != ERROR_SUCCESS)
        throw unreadable(key, status);
    const std::wstring name = widen(key);
    DWORD type = 0, bytes = 0;
    status = RegQueryValueExW(hkey.get(), name.c_str(), nullptr, &type, nullptr, &bytes);
    if (settingAbsent(status))
        return defaultValue;
    if (status != ERROR_SUCCESS)
        throw unreadable(key, status);
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        throw AppError(ErrorNumber::TypeMismatch, "The setting \"" + key + "\" is not text", "Settings");
    std::vector<wchar_t> data(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    status = RegQueryValueExW(hkey.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                              &size);
    if (status != ERROR_SUCCESS)
        throw unreadable(key, status);
    // The stored text may or may not carry its terminating NUL.
    std::wstring text(data.data(), size / sizeof(wchar_t));
    const auto nul = text.find(L'\0');
    if (nul != std::wstring::npos)
        text.erase(nul);
    return narrow(text);
}

void RegistrySettingsStore::SaveSetting(const std::string& application, const std::string& section,
                                        const std::string& key, const std::string& value) {
    UniqueHkey hkey;
    LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, widen(keyPath(application, section)).c_str(), 0, nullptr,
                                  0, KEY_SET_VALUE, nullptr, hkey.put(), nullptr);
    if (status != ERROR_SUCCESS)
        throwWin32(static_cast<DWORD>(status), "Settings", "The setting \"" + key + "\" could not be stored");
    const std::wstring text = widen(value);
    status =
        RegSetValueExW(hkey.get(), widen(key).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS)
        throwWin32(static_cast<DWORD>(status), "Settings", "The setting \"" + key + "\" could not be stored");
}
