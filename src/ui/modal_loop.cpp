#include "ui/modal_loop.h"

#include "platform/platform_win.h"

#include <vector>

namespace {

// The windows a modal showing disables, enabled again when it ends, also
// when a handler inside the loop fails.
class DisabledWindows {
public:
    explicit DisabledWindows(HWND dialog) : dialog_(dialog) {
        EnumThreadWindows(GetCurrentThreadId(), &DisabledWindows::visit, reinterpret_cast<LPARAM>(this));
        for (HWND window : windows_)
            EnableWindow(window, FALSE);
    }
    ~DisabledWindows() {
        for (HWND window : windows_)
            if (IsWindow(window))
                EnableWindow(window, TRUE);
    }
    DisabledWindows(const DisabledWindows&) = delete;
    DisabledWindows& operator=(const DisabledWindows&) = delete;

private:
    static BOOL CALLBACK visit(HWND window, LPARAM param) {
        auto* self = reinterpret_cast<DisabledWindows*>(param);
        if (window != self->dialog_ && IsWindowVisible(window) && IsWindowEnabled(window))
            self->windows_.push_back(window);
        return TRUE;
    }
    HWND dialog_;
    std::vector<HWND> windows_;
};

bool showing(HWND dialog) {
    return IsWindow(dialog) && IsWindowVisible(dialog);
}

} // namespace

void showModal(HWND dialog, HWND owner) {
    HWND previous = GetActiveWindow();
    // The owner of a top-level window is kept in the parent slot.
    SetWindowLongPtrW(dialog, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    {
        DisabledWindows disabled(dialog);
        ShowWindow(dialog, SW_SHOW);
        SetForegroundWindow(dialog);
        MSG msg;
        while (showing(dialog)) {
            const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
            if (got == 0) {
                // Leave the quit request for the event loop that owns it.
                PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            if (got == -1)
                break;
            dispatchMessage(&msg);
        }
    }
    // The window the user worked in before gets the activation back.
    HWND back = owner != nullptr ? owner : previous;
    if (back != nullptr && back != dialog && IsWindow(back) && IsWindowVisible(back) && IsWindowEnabled(back))
        SetActiveWindow(back);
}
