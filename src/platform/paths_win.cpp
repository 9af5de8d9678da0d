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
