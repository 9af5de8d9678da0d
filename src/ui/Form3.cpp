#include "ui/Form3.h"

#include "core/General.h"
#include "core/Mediator.h"
#include "platform/platform_win.h"
#include "platform/wide_win.h"
#include "ui/Form1.h"
#include "ui/Form3_ids.h"
#include "ui/modal_loop.h"
#include "ui/web_link.h"
#include "ui/window_util.h"

namespace {
// The link's colour, as web links are usually shown.
constexpr COLORREF kLinkColour = RGB(0, 0, 204);
} // namespace

Form3::Form3(Form1& batchDocuments)
    : DialogWindow(IDD_FORM3, "the Quick Start dialog"), batchDocuments_(batchDocuments) {}

void Form3::makeFonts(UINT dpi) {
    titleFont_.reset(makeFont(L"Arial", 18, FontLook::Bold, dpi));
    setItemFont(IDC_QS_LABEL2, titleFont_.get());
    // The address is shown underlined in the dialog's own face and size.
    linkFont_.reset(makeFont(L"MS Shell Dlg", 8, FontLook::Underlined, dpi));
    setItemFont(IDC_QS_LABEL3, linkFont_.get());
    fitLink();
}

void Form3::initialise() {
    setItemText(IDC_QS_LABEL3, kMakerWebAddress);
    fitLink();
}

// Only the address itself is clickable: the label is as wide as its text.
void Form3::fitLink() {
    HWND link = item(IDC_QS_LABEL3);
    RECT bounds;
    GetWindowRect(link, &bounds);
    SetWindowPos(link, nullptr, 0, 0, textWidth(IDC_QS_LABEL3, kMakerWebAddress) + 1,
                 bounds.bottom - bounds.top, SWP_NOMOVE | SWP_NOZORDER);
}

bool Form3::command(int id, int code) {
    switch (id) {
    case IDC_QS_BTNBATCH:
        hide();
        // Returns once the Batch Documents dialog is hidden.
        batchDocuments_.showModal(nullptr);
        return true;
    case IDC_QS_BTNSINGLE:
        hide();
        General::coordinator().SingleSourceFile();
        return true;
    case IDC_QS_BTNCANCEL:
    case IDCANCEL: // Escape hides the dialog like "Cancel"
        hide();
        return true;
    case IDC_QS_LABEL3:
        if (code == STN_CLICKED)
            OpenMakerWebPage(hwnd());
        return true;
    default:
        return false;
    }
}

INT_PTR Form3::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == item(IDC_QS_LABEL3)) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, kLinkColour);
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
        }
        return FALSE;
    case WM_SETCURSOR:
        // The hand over the link, as over any web link.
        if (reinterpret_cast<HWND>(wParam) == item(IDC_QS_LABEL3)) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            SetWindowLongPtrW(hwnd(), DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}
