#include "ui/dialog_window.h"

#include "platform/platform_win.h"
#include "platform/wide_win.h"
#include "platform/window_text_win.h"
#include "ui/modal_loop.h"
#include "ui/window_util.h"

DialogWindow::~DialogWindow() {
    if (hwnd_ == nullptr)
        return;
    // The window forgets the object first: it is going away.
    removeModelessDialog(hwnd_);
    SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
    DestroyWindow(hwnd_);
}

void DialogWindow::load() {
    if (hwnd_ != nullptr)
        return;
    hwnd_ = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(template_), nullptr,
                               &DialogWindow::dialogProc, reinterpret_cast<LPARAM>(this));
    if (hwnd_ == nullptr)
        throw windowError(what_);
    addModelessDialog(hwnd_);
    makeFonts(windowDpi(hwnd_));
    initialise();
}

void DialogWindow::showModal(HWND owner) {
    load();
    ::showModal(hwnd_, owner);
}

void DialogWindow::showModeless() {
    load();
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
}

HWND DialogWindow::item(int id) {
    load();
    return GetDlgItem(hwnd_, id);
}

std::string DialogWindow::itemText(int id) {
    load();
    return controlText(hwnd_, id);
}

void DialogWindow::setItemText(int id, const std::string& text) {
    SetWindowTextW(item(id), widen(text).c_str());
}

LRESULT DialogWindow::sendItem(int id, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageW(item(id), message, wParam, lParam);
}

void DialogWindow::setItemFont(int id, HFONT font) {
    // Where the system scales dialogs itself when they move to a monitor of
    // another scale, it would give this control the dialog's font anew.
    using SetBehaviourFn = BOOL(WINAPI*)(HWND, int, int);
    static const auto setBehaviour = reinterpret_cast<SetBehaviourFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetDialogControlDpiChangeBehavior")));
    constexpr int kKeepFont = 1; // DCDC_DISABLE_FONT_UPDATE
    if (setBehaviour != nullptr)
        setBehaviour(item(id), kKeepFont, kKeepFont);
    sendItem(id, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

int DialogWindow::textWidth(int id, const std::string& text) {
    return ::textWidth(item(id), widen(text));
}

void DialogWindow::setCaption(const std::string& text) {
    load();
    SetWindowTextW(hwnd_, widen(text).c_str());
}

INT_PTR DialogWindow::dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        return command(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_CLOSE:
        closeBox();
        return TRUE;
    case WM_DPICHANGED:
        // The system moves and scales the dialog itself.
        makeFonts(dpiOfMessage(wParam));
        return handle(message, wParam, lParam);
    case WM_SHOWWINDOW:
        if (wParam == FALSE && lParam == 0) // hidden by the program, not with its owner
            modalDialogHidden(hwnd_);
        return handle(message, wParam, lParam);
    case WM_DESTROY:
        removeModelessDialog(hwnd_);
        SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
        hwnd_ = nullptr;
        return TRUE;
    default:
        return handle(message, wParam, lParam);
    }
}

INT_PTR CALLBACK DialogWindow::dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return dialogMessage<DialogWindow>(
        hwnd, message, lParam, [&](DialogWindow& self) { return self.dispatch(message, wParam, lParam); });
}
