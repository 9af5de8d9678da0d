#include "platform/settings_win.h"

#include "base/error.h"
#include "platform/errors_win.h"
#include "platform/handles_win.h"
#include "platform/registry_win.h"
#include "platform/wide_win.h"

#include <windows.h>

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
    const RegistryText read =
        readRegistryText(HKEY_CURRENT_USER, widen(keyPath(application, section)), widen(key));
    if (settingAbsent(read.status))
        return defaultValue;
    // A key or value that is there but cannot be read (access refused) is no
    // "nothing chosen": the caller must not take the default for the value.
    if (read.status != ERROR_SUCCESS)
        throw unreadable(key, read.status);
    if (!read.isText())
        throw AppError(ErrorNumber::TypeMismatch, "The setting \"" + key + "\" is not text", "Settings");
    return narrow(read.text);
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
