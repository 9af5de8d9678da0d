#pragma once
// Reading values of the registry: one way for every reader.
#include <windows.h>

#include <string>
#include <vector>

// A value as stored: the status of the reading (ERROR_SUCCESS, or why the
// key or value could not be read), its type and its bytes.
struct RegistryValue {
    LONG status = ERROR_FILE_NOT_FOUND;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    // The bytes as text, up to the first NUL (stored with one or without).
    std::wstring text() const;
};

// Reads the value (the key's default value for an empty name) of the key
// below root, in the registry view given (KEY_WOW64_64KEY, KEY_WOW64_32KEY
// or 0 for the program's own).
RegistryValue readRegistryValue(HKEY root, const std::wstring& key, const std::wstring& name,
                                REGSAM view = 0);

// A value as text: the status of the reading, its type, and its text without
// a terminating NUL when the type is REG_SZ or REG_EXPAND_SZ (not expanded).
struct RegistryText {
    LONG status = ERROR_FILE_NOT_FOUND;
    DWORD type = REG_NONE;
    std::wstring text;
    bool isText() const { return status == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ); }
};

// Reads the value as readRegistryValue does and keeps the text of a text type.
RegistryText readRegistryText(HKEY root, const std::wstring& key, const std::wstring& name, REGSAM view = 0);
