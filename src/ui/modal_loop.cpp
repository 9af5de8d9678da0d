#include "ui/modal_loop.h"

#include "platform/platform_win.h"

#include <vector>

namespace {

// The windows a modal showing disables, enabled again when it ends, also
// when a handler inside the loop fails.
class DisabledWindows {
public:
    DisabledWindows(HWND dialog, HWND back) : dialog_(dialog), back_(back) {
        EnumThreadWindows(GetCurrentThreadId(), &DisabledWindows::visit, reinterpret_cast<LPARAM>(this));
        for (HWND window : windows_)
            EnableWindow(window, FALSE);
        showings().push_back(this);
    }
    ~DisabledWindows() {
        enableAgain();
        std::erase(showings(), this);
    }
    // The dialog hid itself; its showing is over for the user.
    void endEarly() {
        enableAgain();
        endedEarly_ = true;
    }
    bool endedEarly() const { return endedEarly_; }
    void enableAgain() {
        for (HWND window : windows_)
            if (IsWindow(window))
                EnableWindow(window, TRUE);
        windows_.clear();
    }
    HWND dialog() const { return dialog_; }
    // The window the user worked in before the showing.
    HWND back() const { return back_; }
    // The modal showings under way, innermost last.
    static std::vector<DisabledWindows*>& showings() {
        static std::vector<DisabledWindows*> all;
        return all;
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
    HWND back_;
    std::vector<HWND> windows_;
    bool endedEarly_ = false;
};

bool showing(HWND dialog) {
    return IsWindow(dialog) && IsWindowVisible(dialog);
}

void activate(HWND back, HWND dialog) {
    if (back != nullptr && back != dialog && IsWindow(back) && IsWindowVisible(back) && IsWindowEnabled(back))
        SetActiveWindow(back);
}

} // namespace

void showModal(HWND dialog, HWND owner) {
    HWND back = owner != nullptr ? owner : GetActiveWindow();
    // The owner of a top-level window is kept in the parent slot.
    SetWindowLongPtrW(dialog, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    bool endedEarly = false;
    {
        DisabledWindows disabled(dialog, back);
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
        endedEarly = disabled.endedEarly();
    }
    // The window the user worked in before gets the activation back, unless
    // that happened when the dialog hid itself: since then the user may
    // have gone on in another window.
    if (!endedEarly)
        activate(back, dialog);
}

void modalDialogHidden(HWND dialog) {
    for (DisabledWindows* showing : DisabledWindows::showings())
        if (showing->dialog() == dialog) {
            showing->endEarly();
            activate(showing->back(), dialog);
        }
}
