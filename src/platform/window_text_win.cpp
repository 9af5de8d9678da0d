#include "platform/window_text_win.h"

#include "platform/wide_win.h"

// Asked by message, not with GetWindowTextW: for a control of another
// process that call answers only a caption the system keeps, never an edit
// box's text.
std::wstring windowText(HWND window) {
    const auto length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    const auto copied = SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

std::string controlText(HWND dialog, int id) {
    return narrow(windowText(GetDlgItem(dialog, id)));
}

std::wstring className(HWND window) {
    wchar_t name[256] = {};
    const int n = GetClassNameW(window, name, 256);
    return std::wstring(name, static_cast<std::size_t>(n > 0 ? n : 0));
}
