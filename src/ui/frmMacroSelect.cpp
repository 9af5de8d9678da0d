#include "ui/frmMacroSelect.h"

#include "core/macro_selection.h"
#include "ui/frmMacroSelect_ids.h"
#include "ui/window_util.h"

frmMacroSelect::frmMacroSelect() : DialogWindow(IDD_FRMMACROSELECT, "the macro selection dialog") {}

void frmMacroSelect::makeFonts(UINT dpi) {
    // Arial 8.25 pt for the texts, 6.75 pt for the path box.
    textFont_.reset(makeFont(L"Arial", 8.25, FontLook::Regular, dpi));
    pathFont_.reset(makeFont(L"Arial", 6.75, FontLook::Regular, dpi));
    for (int id : {IDC_MS_LABEL1, IDC_MS_BTNSELECT, IDC_MS_BTNOK, IDC_MS_BTNCANCEL})
        setItemFont(id, textFont_.get());
    setItemFont(IDC_TXTPATHFILE, pathFont_.get());
}

std::string frmMacroSelect::pathText() {
    return itemText(IDC_TXTPATHFILE);
}

void frmMacroSelect::setPathText(const std::string& text) {
    setItemText(IDC_TXTPATHFILE, text);
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
