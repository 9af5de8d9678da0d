#include "ui/frmMacroSelect.h"

#include "core/macro_selection.h"
#include "platform/platform_win.h"
#include "platform/wide_win.h"
#include "ui/frmMacroSelect_ids.h"
#include "ui/modal_loop.h"
#include "ui/window_util.h"

frmMacroSelect::~frmMacroSelect() {
    if (hwnd_ != nullptr)
        DestroyWindow(hwnd_);
}

void frmMacroSelect::load() {
    if (hwnd_ != nullptr)
        return;
    hwnd_ = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_FRMMACROSELECT), nullptr,
                               &frmMacroSelect::dialogProc, reinterpret_cast<LPARAM>(this));
    if (hwnd_ == nullptr)
        throw windowError("the macro selection dialog");
    registerModelessDialog(hwnd_, true);
    initialise();
}

void frmMacroSelect::initialise() {
    // Arial 8.25 pt for the texts, 6.75 pt for the path box.
    const UINT dpi = windowDpi(hwnd_);
    textFont_.reset(makeFont(L"Arial", 8.25, false, dpi));
    pathFont_.reset(makeFont(L"Arial", 6.75, false, dpi));
    for (int id : {IDC_MS_LABEL1, IDC_MS_BTNSELECT, IDC_MS_BTNOK, IDC_MS_BTNCANCEL})
        SendDlgItemMessageW(hwnd_, id, WM_SETFONT, reinterpret_cast<WPARAM>(textFont_.get()), FALSE);
    SendDlgItemMessageW(hwnd_, IDC_TXTPATHFILE, WM_SETFONT, reinterpret_cast<WPARAM>(pathFont_.get()), FALSE);
}

void frmMacroSelect::showModal(HWND owner) {
    load();
    ::showModal(hwnd_, owner);
}

void frmMacroSelect::hide() {
    ShowWindow(hwnd_, SW_HIDE);
}

std::string frmMacroSelect::pathText() {
    load();
    HWND box = GetDlgItem(hwnd_, IDC_TXTPATHFILE);
    const int length = GetWindowTextLengthW(box);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(box, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return narrow(text);
}

void frmMacroSelect::setPathText(const std::string& text) {
    load();
    SetDlgItemTextW(hwnd_, IDC_TXTPATHFILE, widen(text).c_str());
}

INT_PTR frmMacroSelect::handle(UINT message, WPARAM wParam) {
    switch (message) {
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_MS_BTNSELECT:
            MacroSelection::Select(*this);
            return TRUE;
        case IDC_MS_BTNOK:
        case IDOK: // Enter
            if (MacroSelection::Ok(*this))
                hide();
            return TRUE;
        case IDC_MS_BTNCANCEL:
        case IDCANCEL: // Escape
            MacroSelection::Cancel(*this);
            hide();
            return TRUE;
        default:
            return FALSE;
        }
    case WM_CLOSE:
        // The close box destroys the dialog; the setting stays as it was.
        DestroyWindow(hwnd_);
        return TRUE;
    case WM_DESTROY:
        registerModelessDialog(hwnd_, false);
        SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
        hwnd_ = nullptr;
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK frmMacroSelect::dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return dialogMessage<frmMacroSelect>(hwnd, message, lParam,
                                         [&](frmMacroSelect& self) { return self.handle(message, wParam); });
}
