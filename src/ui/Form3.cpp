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

void Form3::initialise() {
    const UINT dpi = windowDpi(hwnd_);
    titleFont_.reset(makeFont(L"Arial", 18, true, dpi));
    SendDlgItemMessageW(hwnd_, IDC_QS_LABEL2, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.get()), FALSE);

    // The address is shown underlined in the dialog's own font.
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0)), sizeof font, &font);
    font.lfUnderline = TRUE;
    linkFont_.reset(CreateFontIndirectW(&font));
    HWND link = GetDlgItem(hwnd_, IDC_QS_LABEL3);
    SendMessageW(link, WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_.get()), FALSE);
    const std::wstring address = widen(kMakerWebAddress);
    SetWindowTextW(link, address.c_str());
    // Only the address itself is clickable: the label is as wide as its text.
    HDC dc = GetDC(link);
    HGDIOBJ old = SelectObject(dc, linkFont_.get());
    SIZE size{};
    GetTextExtentPoint32W(dc, address.c_str(), static_cast<int>(address.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(link, dc);
    RECT bounds;
    GetWindowRect(link, &bounds);
    SetWindowPos(link, nullptr, 0, 0, size.cx + 1, bounds.bottom - bounds.top, SWP_NOMOVE | SWP_NOZORDER);
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
            OpenMakerWebPage(hwnd_);
        return true;
    default:
        return false;
    }
}

INT_PTR Form3::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == GetDlgItem(hwnd_, IDC_QS_LABEL3)) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, kLinkColour);
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
        }
        return FALSE;
    case WM_SETCURSOR:
        // The hand over the link, as over any web link.
        if (reinterpret_cast<HWND>(wParam) == GetDlgItem(hwnd_, IDC_QS_LABEL3)) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}
