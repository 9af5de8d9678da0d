#include "platform/paths_win.h"

#include "platform/wide_win.h"

#include <windows.h>

std::wstring extendedPath(std::string_view path) {
    std::wstring wide = widen(path);
    // Short paths and paths that already carry a prefix go unchanged; the
    // prefix needs an absolute path with backslashes only.
    if (wide.size() < 240 || wide.rfind(L"\\\\?\\", 0) == 0)
        return wide;
    for (auto& c : wide)
        if (c == L'/')
            c = L'\\';
    if (wide.size() > 2 && wide[1] == L':' && wide[2] == L'\\')
        return L"\\\\?\\" + wide;
    if (wide.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + wide.substr(2);
    return wide;
}

std::wstring modulePath() {
    // The call answers the buffer's size when the path did not fit: the
    // buffer then grows until it does.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n < buffer.size()) {
            buffer.resize(n);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}
