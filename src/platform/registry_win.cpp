#include "platform/registry_win.h"

#include "platform/handles_win.h"

#include <vector>

RegistryText readRegistryText(HKEY root, const std::wstring& key, const std::wstring& name, REGSAM view) {
    RegistryText read;
    UniqueHkey hkey;
    read.status = RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE | view, hkey.put());
    if (read.status != ERROR_SUCCESS)
        return read;
    const wchar_t* value = name.empty() ? nullptr : name.c_str();
    DWORD bytes = 0;
    read.status = RegQueryValueExW(hkey.get(), value, nullptr, &read.type, nullptr, &bytes);
    if (read.status != ERROR_SUCCESS || !read.isText())
        return read;
    // The value may change between the two queries; a grown one is read again.
    std::vector<wchar_t> data;
    do {
        data.assign(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        read.status = RegQueryValueExW(hkey.get(), value, nullptr, &read.type,
                                       reinterpret_cast<BYTE*>(data.data()), &bytes);
    } while (read.status == ERROR_MORE_DATA);
    if (read.status != ERROR_SUCCESS)
        return read;
    // The stored text may or may not carry its terminating NUL.
    read.text.assign(data.data(), bytes / sizeof(wchar_t));
    if (const auto nul = read.text.find(L'\0'); nul != std::wstring::npos)
        read.text.erase(nul);
    return read;
}
