#include "platform/window_text_win.h"

#include "platform/wide_win.h"

namespace {

// A window of another process that has not answered within this time (or
// that the system finds hung) reads as empty: a hung program must not hang
// the tool or test that reads it. A window of this thread is answered at once.
constexpr UINT kAnswerMs = 5000;

LRESULT ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerMs, &answer) != 0
               ? static_cast<LRESULT>(answer)
               : 0;
}

} // namespace

// Asked by message, not with GetWindowTextW: for a control of another
// process that call answers only a caption the system keeps, never an edit
// box's text.
std::wstring windowText(HWND window) {
    const auto length = ask(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    const auto copied = ask(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
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
