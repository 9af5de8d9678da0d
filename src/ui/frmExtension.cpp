#include "ui/frmExtension.h"

#include "core/General.h"
#include "core/ports.h"
#include "platform/platform_win.h"
#include "platform/wide_win.h"
#include "ui/frmExtension_ids.h"
#include "ui/window_util.h"
#include "version.h"

frmExtension::frmExtension() : DialogWindow(IDD_FRMEXTENSION, "the extension manager") {}

HWND frmExtension::list() const {
    return GetDlgItem(hwnd_, IDC_LSTEXT);
}

void frmExtension::initialise() {
    SendMessageW(list(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"wpd"));
}

void frmExtension::show() {
    load();
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
}

int frmExtension::ListCount() {
    load();
    return static_cast<int>(SendMessageW(list(), LB_GETCOUNT, 0, 0));
}

std::string frmExtension::List(int index) {
    load();
    const LRESULT length = SendMessageW(list(), LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR)
        throw AppError(381, "Invalid property array index", "LstExt");
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(list(), LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return narrow(text);
}

void frmExtension::add() {
    // Stored exactly as typed; nothing is said about an empty box, and any
    // failure of the list is ignored.
    HWND box = GetDlgItem(hwnd_, IDC_TXTEXTENSION);
    const int length = GetWindowTextLengthW(box);
    if (length <= 0)
        return;
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(box, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    SendMessageW(list(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void frmExtension::remove() {
    if (SendMessageW(list(), LB_GETSELCOUNT, 0, 0) <= 0) {
        General::platform().messageBox("You did not select an extension to remove.", TARNWICK_TITLE,
                                       MsgIcon::None, MsgButtons::Ok);
        return;
    }
    // Backwards, so the entries still to visit keep their indices.
    for (auto i = SendMessageW(list(), LB_GETCOUNT, 0, 0); i-- > 0;)
        if (SendMessageW(list(), LB_GETSEL, static_cast<WPARAM>(i), 0) > 0)
            SendMessageW(list(), LB_DELETESTRING, static_cast<WPARAM>(i), 0);
}

// Destroying the window would throw the user's entries away and bring back
// the single "wpd" at the next use, without a word: the close box hides it.
void frmExtension::closeBox() {
    hide();
}

bool frmExtension::command(int id, int) {
    switch (id) {
    case IDC_CMDADDMOVIE:
        try {
            add();
        } catch (...) {
        }
        return true;
    case IDC_EXT_REMOVE:
        remove();
        return true;
    case IDC_CMDEXIT:
    case IDCANCEL: // Escape hides the window like "E&xit"
        hide();
        return true;
    default:
        return false;
    }
}
