#include "ui/frmMacroSelect.h"

#include "core/macro_selection.h"
#include "platform/platform_win.h"
#include "platform/wide_win.h"
#include "ui/frmMacroSelect_ids.h"
#include "ui/modal_loop.h"
#include "ui/window_util.h"

frmMacroSelect::frmMacroSelect() : DialogWindow(IDD_FRMMACROSELECT, "the macro selection dialog") {}

void frmMacroSelect::initialise() {
    // Arial 8.25 pt for the texts, 6.75 pt for the path box.
    const UINT dpi = windowDpi(hwnd_);
    textFont_.reset(makeFont(L"Arial", 8.25, false, dpi));
    pathFont_.reset(makeFont(L"Arial", 6.75, false, dpi));
    for (int id : {IDC_MS_LABEL1, IDC_MS_BTNSELECT, IDC_MS_BTNOK, IDC_MS_BTNCANCEL})
        SendDlgItemMessageW(hwnd_, id, WM_SETFONT, reinterpret_cast<WPARAM>(textFont_.get()), FALSE);
    SendDlgItemMessageW(hwnd_, IDC_TXTPATHFILE, WM_SETFONT, reinterpret_cast<WPARAM>(pathFont_.get()), FALSE);
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

bool frmMacroSelect::command(int id, int) {
    switch (id) {
    case IDC_MS_BTNSELECT:
        MacroSelection::Select(*this);
        return true;
    case IDC_MS_BTNOK:
    case IDOK: // Enter
        if (MacroSelection::Ok(*this))
            hide();
        return true;
    case IDC_MS_BTNCANCEL:
    case IDCANCEL: // Escape
        MacroSelection::Cancel(*this);
        hide();
        return true;
    default:
        return false;
    }
}
