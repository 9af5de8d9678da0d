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
    load();
    SetDlgItemTextW(hwnd_, IDC_TXTSRCFOLDER, widen(text).c_str());
}

void Form1::setTargetFolderText(const std::string& text) {
    load();
    SetDlgItemTextW(hwnd_, IDC_TXTTGTFOLDER, widen(text).c_str());
}

void Form1::clearFoundDocuments() {
    load();
    SendDlgItemMessageW(hwnd_, IDC_LIST1, LB_RESETCONTENT, 0, 0);
}

void Form1::addFoundDocument(const std::string& name) {
    load();
    // At the end, in the order found.
    const std::wstring text = widen(name);
    HWND list = GetDlgItem(hwnd_, IDC_LIST1);
    SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
    // Long names can be scrolled to.
    HDC dc = GetDC(list);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    const auto extent = static_cast<int>(SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0));
    if (size.cx + 8 > extent)
        SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(size.cx + 8), 0);
}

std::string Form1::shownText(int id) const {
    HWND box = GetDlgItem(hwnd_, id);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(box)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(box, text.data(), static_cast<int>(text.size()))));
    return narrow(text);
}

void Form1::start() {
    hide();
    Mediator& coordinator = General::coordinator();
    // The batch goes from and to the folders this dialog shows, the ones
    // picked in its folder browsers, and to no folder set elsewhere since:
    // a single document's own folder, kept as the target, may hold the very
    // documents this batch would replace. A box left empty gets its message
    // from the batch mode.
    coordinator.SetSourceFolder(shownText(IDC_TXTSRCFOLDER));
    coordinator.SetTgtFolder(shownText(IDC_TXTTGTFOLDER));
    coordinator.StartStateTwo();
    command_ = std::make_shared<cmd1>();
    command_->init(coordinator);
    // The batch runs to its end before this returns.
    Command& command = *command_;
    command.Execute();
}

bool Form1::command(int id, int) {
    switch (id) {
    case IDC_BTNSOURCE:
        General::coordinator().SourceFolder();
        return true;
    case IDC_BTNTARGET:
        General::coordinator().TargetFolder();
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
