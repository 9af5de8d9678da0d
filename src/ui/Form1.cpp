#include "ui/Form1.h"

#include "core/General.h"
#include "core/Mediator.h"
#include "platform/platform_win.h"
#include "platform/wide_win.h"
#include "ui/Form1_ids.h"
#include "ui/modal_loop.h"
#include "ui/window_util.h"

Form1::Form1() : DialogWindow(IDD_FORM1, "the Batch Documents dialog") {}

void Form1::setSourceFolderText(const std::string& text) {
    setItemText(IDC_TXTSRCFOLDER, text);
}

void Form1::setTargetFolderText(const std::string& text) {
    setItemText(IDC_TXTTGTFOLDER, text);
}

void Form1::clearFoundDocuments() {
    sendItem(IDC_LIST1, LB_RESETCONTENT);
}

void Form1::addFoundDocument(const std::string& name) {
    // At the end, in the order found.
    sendItem(IDC_LIST1, LB_INSERTSTRING, static_cast<WPARAM>(-1),
             reinterpret_cast<LPARAM>(widen(name).c_str()));
    // Long names can be scrolled to.
    const int width = textWidth(IDC_LIST1, name) + 8;
    if (width > static_cast<int>(sendItem(IDC_LIST1, LB_GETHORIZONTALEXTENT)))
        sendItem(IDC_LIST1, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(width));
}

void Form1::initialise() {
    // Unchecked when the program starts, kept while it runs (also when the
    // dialog is built anew), never stored.
    if (General::mediator)
        sendItem(IDC_CHKSUBFOLDERS, BM_SETCHECK,
                 General::coordinator().GetIncludeSubfolders() ? BST_CHECKED : BST_UNCHECKED);
}

bool Form1::subfoldersChecked() {
    return sendItem(IDC_CHKSUBFOLDERS, BM_GETCHECK) == BST_CHECKED;
}

void Form1::start() {
    hide();
    // The batch goes from and to the folders this dialog shows, the ones
    // picked in its folder browsers, and to no folder set elsewhere since:
    // a single document's own folder, kept as the target, may hold the very
    // documents this batch would replace. A box left empty gets its message
    // from the batch mode. The batch runs to its end before this returns.
    command_ = General::coordinator().startBatch(itemText(IDC_TXTSRCFOLDER), itemText(IDC_TXTTGTFOLDER),
                                                 subfoldersChecked());
}

bool Form1::command(int id, int) {
    switch (id) {
    case IDC_BTNSOURCE:
        General::coordinator().SourceFolder();
        return true;
    case IDC_BTNTARGET:
        General::coordinator().TargetFolder();
        return true;
    case IDC_CHKSUBFOLDERS:
        // The found documents are those a batch would take now.
        General::coordinator().SetIncludeSubfolders(subfoldersChecked());
        if (!itemText(IDC_TXTSRCFOLDER).empty())
            General::coordinator().ListFoundDocuments();
        return true;
    case IDC_BD_COMMAND1:
        start();
        return true;
    case IDC_BD_COMMAND2:
    case IDCANCEL: // Escape hides the dialog like "Cancel"
        hide();
        return true;
    default:
        return false;
    }
}
