#include "ui/frmExtension.h"

#include "base/ports.h"
#include "core/General.h"
#include "platform/platform_win.h"
#include "platform/wide_win.h"
#include "ui/frmExtension_ids.h"
#include "ui/window_util.h"
#include "version.h"

frmExtension::frmExtension() : DialogWindow(IDD_FRMEXTENSION, "the extension manager") {}

void frmExtension::initialise() {
    sendItem(IDC_LSTEXT, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(kDefaultExtension).c_str()));
}

void frmExtension::show() {
    showModeless();
}

int frmExtension::ListCount() {
    return static_cast<int>(sendItem(IDC_LSTEXT, LB_GETCOUNT));
}

std::string frmExtension::List(int index) {
    const LRESULT length = sendItem(IDC_LSTEXT, LB_GETTEXTLEN, static_cast<WPARAM>(index));
    if (length == LB_ERR)
        throw AppError(ErrorNumber::InvalidArrayIndex, "Invalid property array index", "LstExt");
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    sendItem(IDC_LSTEXT, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return narrow(text);
}

void frmExtension::add() {
    // Stored exactly as typed; nothing is said about an empty box, and any
    // failure of the list is ignored.
    const std::string text = itemText(IDC_TXTEXTENSION);
    if (text.empty())
        return;
    sendItem(IDC_LSTEXT, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(text).c_str()));
}

void frmExtension::remove() {
    if (sendItem(IDC_LSTEXT, LB_GETSELCOUNT) <= 0) {
        General::platform().messageBox("You did not select an extension to remove.", TARNWICK_TITLE,
                                       MsgIcon::None, MsgButtons::Ok);
        return;
    }
    // Backwards, so the entries still to visit keep their indices.
    for (auto i = sendItem(IDC_LSTEXT, LB_GETCOUNT); i-- > 0;)
        if (sendItem(IDC_LSTEXT, LB_GETSEL, static_cast<WPARAM>(i)) > 0)
            sendItem(IDC_LSTEXT, LB_DELETESTRING, static_cast<WPARAM>(i));
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
