#include "ui/window_util.h"

#include "platform/errors_win.h"
#include "platform/handles_win.h"
#include "platform/paths_win.h"
#include "platform/wide_win.h"

#include <cmath>

UINT windowDpi(HWND hwnd) {
    // Resolved at run time: older systems lack the per-window call.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow != nullptr && hwnd != nullptr) {
        const UINT dpi = getDpiForWindow(hwnd);
        if (dpi != 0)
            return dpi;
    }
    const UniqueWindowDc screen = windowDc(nullptr);
    const int dpi = GetDeviceCaps(screen.get().dc, LOGPIXELSY);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

HFONT makeFont(const wchar_t* face, double points, FontLook look, UINT dpi) {
    const int height = -static_cast<int>(std::lround(points * dpi / 72.0));
    return CreateFontW(height, 0, 0, 0, look == FontLook::Bold ? FW_BOLD : FW_NORMAL, FALSE,
                       look == FontLook::Underlined, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

int textWidth(HWND window, std::wstring_view text) {
    const UniqueWindowDc dc = windowDc(window);
    const UniqueSelection font =
        selectInto(dc.get().dc, reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc.get().dc, text.data(), static_cast<int>(text.size()), &size);
    return size.cx;
}

AppError windowError(const std::string& what) {
    const DWORD code = GetLastError();
    return win32Error(code, "Tarnwick", "Could not create " + what);
}
