#include "platform/registry_win.h"

#include "platform/handles_win.h"

#include <cstring>

std::wstring RegistryValue::text() const {
    std::wstring text(data.size() / sizeof(wchar_t), L'\0');
    if (!text.empty())
        std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
    if (const auto nul = text.find(L'\0'); nul != std::wstring::npos)
        text.erase(nul);
    return text;
}

RegistryValue readRegistryValue(HKEY root, const std::wstring& key, const std::wstring& name, REGSAM view) {
    RegistryValue read;
    UniqueHkey hkey;
    read.status = RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE | view, hkey.put());
    if (read.status != ERROR_SUCCESS)
        return read;
    const wchar_t* value = name.empty() ? nullptr : name.c_str();
    DWORD bytes = 0;
    read.status = RegQueryValueExW(hkey.get(), value, nullptr, &read.type, nullptr, &bytes);
    if (read.status != ERROR_SUCCESS)
        return read;
    // The value may change between the two queries; a grown one is read
    // again. The room has a character more than asked for, so that even an
    // empty value is read into a buffer and a grown one is noticed.
    do {
        read.data.assign(bytes + sizeof(wchar_t), 0);
        bytes = static_cast<DWORD>(read.data.size());
        read.status = RegQueryValueExW(hkey.get(), value, nullptr, &read.type, read.data.data(), &bytes);
    } while (read.status == ERROR_MORE_DATA);
    if (read.status != ERROR_SUCCESS)
        read.data.clear();
    else
        read.data.resize(bytes);
    return read;
}

RegistryText readRegistryText(HKEY root, const std::wstring& key, const std::wstring& name, REGSAM view) {
    RegistryValue value = readRegistryValue(root, key, name, view);
    RegistryText read{value.status, value.type, {}};
    if (read.isText())
        read.text = value.text();
    return read;
}
