#pragma once
// Small helpers shared by the program's windows.
#include "base/error.h"
#include "base/ports.h"
#include "core/General.h"

#include <windows.h>

#include <string>
#include <string_view>

inline HMENU controlId(int id) {
    return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
}

UINT windowDpi(HWND hwnd);
inline int scale(int pixelsAt96, UINT dpi) {
    return MulDiv(pixelsAt96, static_cast<int>(dpi), 96);
}
// A font of the given face and size in points at the window's resolution.
enum class FontLook { Regular, Bold, Underlined };
HFONT makeFont(const wchar_t* face, double points, FontLook look, UINT dpi);
// The resolution a WM_DPICHANGED message gives (its word parameter).
inline UINT dpiOfMessage(WPARAM wParam) {
    return LOWORD(wParam);
}
// The width in pixels of a text drawn in the window's font.
int textWidth(HWND window, std::wstring_view text);
// The failure to create a window, with the system's reason.
AppError windowError(const std::string& what);

// Runs a window or dialog procedure's handler; a failure that reaches this
// boundary is shown to the user once and the program goes on.
template <typename Handler> LRESULT guarded(Handler&& handler) noexcept {
    try {
        return handler();
    } catch (const ProgramEnded&) {
        return 0;
    } catch (...) {
        General::ReportUnexpectedFailure(std::current_exception());
        return 0;
    }
}

// The dialog procedure's common part: keeps the dialog object handed over at
// WM_INITDIALOG and lets it handle every later message, guarded.
template <typename Dialog, typename Handle>
INT_PTR dialogMessage(HWND hwnd, UINT message, LPARAM lParam, Handle&& handle) noexcept {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        return TRUE;
    }
    auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (self == nullptr)
        return FALSE;
    return static_cast<INT_PTR>(guarded([&] { return static_cast<LRESULT>(handle(*self)); }));
}
