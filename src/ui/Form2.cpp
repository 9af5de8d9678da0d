#include "ui/Form2.h"

#include "base/ports.h"
#include "control/job_driver.h"
#include "core/General.h"
#include "core/Mediator.h"
#include "core/macro_selection.h"
#include "platform/wide_win.h"
#include "ui/Form1.h"
#include "ui/Form2_ids.h"
#include "ui/frmAbout.h"
#include "ui/frmExtension.h"
#include "ui/frmMacroSelect.h"
#include "ui/images_ids.h"
#include "ui/window_util.h"
#include "version.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <iterator>
#include <utility>

namespace {
const wchar_t* const kClassName = L"TarnwickForm2";

// The window's grey, behind its controls too.
constexpr COLORREF kGrey = RGB(192, 192, 192);

void registerClass(WNDPROC procedure) {
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TARNWICK));
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);
    registered = true;
}
} // namespace

Form2::Form2(const Windows& windows, TaskbarButton& taskbar)
    : windows_(windows), progressView_(progress_, taskbar, list_) {
    files_.setListener([this] { mirrorFileList(); });
}

Form2::~Form2() {
    if (hwnd_ != nullptr) {
        // The window forgets the object first: it is going away.
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

void Form2::load() {
    if (hwnd_ != nullptr)
        return;
    registerClass(&Form2::windowProc);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(IDR_FORM2_MENU));
    // The window hands itself to the object at WM_NCCREATE; the controls are
    // made at WM_CREATE.
    const HWND made =
        CreateWindowExW(0, kClassName, widen(TARNWICK_TITLE).c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                        CW_USEDEFAULT, CW_USEDEFAULT, 720, 480, nullptr, menu, instance, this);
    if (createFailure_) {
        hwnd_ = nullptr;
        list_.detach();
        progressView_.attach(nullptr, nullptr);
        std::rethrow_exception(std::exchange(createFailure_, nullptr));
    }
    if (made == nullptr)
        throw windowError("the main window");
}

void Form2::create() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    background_.reset(CreateSolidBrush(kGrey));
    dpi_ = windowDpi(hwnd_);
    // The status bar first: the result list shows the selected row's reason
    // in it.
    statusBar_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0,
                                 hwnd_, controlId(IDC_STATUSBAR1), instance, nullptr);
    listView_ = list_.create(hwnd_, IDC_LISTVIEW1, statusBar_);
    progressView_.attach(hwnd_, statusBar_);
    btnExit_ = CreateWindowExW(0, WC_BUTTONW, L"Exit", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0,
                               0, 10, 10, hwnd_, controlId(IDC_BTN_EXIT), instance, nullptr);
    next_ = CreateWindowExW(0, WC_BUTTONW, L"Next Document", WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 10,
                            10, hwnd_, controlId(IDC_NEXT), instance, nullptr);
    // The file list is a working control only: hidden, inside a captionless frame.
    fileFrame_ = CreateWindowExW(0, WC_BUTTONW, L"", WS_CHILD | BS_GROUPBOX, 0, 0, 10, 10, hwnd_,
                                 controlId(IDC_FILELIST_FRAME), instance, nullptr);
    fileList_ = CreateWindowExW(0, WC_LISTBOXW, L"", WS_CHILD | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY, 0, 0, 10,
                                10, hwnd_, controlId(IDC_FILELIST), instance, nullptr);
    for (HWND control : {listView_, btnExit_, next_, fileFrame_, fileList_, statusBar_})
        if (control == nullptr)
            throw windowError("the main window's controls");
    makeFonts();
    mirrorFileList();
    layout();
}

// "MS Sans Serif" 8.25 pt bold for the list, the dialog font for the rest,
// at the resolution of the monitor the window is on.
void Form2::makeFonts() {
    listFont_.reset(makeFont(L"MS Sans Serif", 8.25, FontLook::Bold, dpi_));
    uiFont_.reset(makeFont(L"MS Shell Dlg", 8.25, FontLook::Regular, dpi_));
    SendMessageW(listView_, WM_SETFONT, reinterpret_cast<WPARAM>(listFont_.get()), TRUE);
    for (HWND control : {btnExit_, next_, fileList_, statusBar_})
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(uiFont_.get()), TRUE);
}

// Moved to a monitor of another scale: the fonts are made anew and the
// window takes the size the system proposes, which lays out the controls
// and sizes the columns for the new resolution. Widths the user chose keep
// their share of the screen.
void Form2::onDpiChanged(UINT dpi, const RECT& suggested) {
    dpi_ = dpi;
    makeFonts();
    list_.setDpi(dpi);
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    layout();
}

void Form2::show() {
    load();
    ShowWindow(hwnd_, SW_SHOW);
}

void Form2::hideNext() {
    load();
    ShowWindow(next_, SW_HIDE);
}

void Form2::mirrorFileList() {
    if (fileList_ == nullptr)
        return;
    SendMessageW(fileList_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(fileList_, LB_RESETCONTENT, 0, 0);
    SendMessageW(fileList_, LB_INITSTORAGE, files_.names().size(), files_.names().size() * 32);
    for (const auto& name : files_.names())
        SendMessageW(fileList_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(name).c_str()));
    SendMessageW(fileList_, WM_SETREDRAW, TRUE, 0);
}

void Form2::layout() {
    RECT client;
    GetClientRect(hwnd_, &client);
    const UINT dpi = dpi_;
    const int margin = scale(8, dpi), buttonWidth = scale(96, dpi), buttonHeight = scale(26, dpi);
    SendMessageW(statusBar_, WM_SIZE, 0, 0);
    RECT status;
    GetWindowRect(statusBar_, &status);
    const int statusHeight = status.bottom - status.top;
    const int width = client.right - 2 * margin;
    const int buttonsTop = client.bottom - statusHeight - margin - buttonHeight;
    const int listHeight = std::max(0, buttonsTop - 2 * margin);
    MoveWindow(listView_, margin, margin, width, listHeight, TRUE);
    MoveWindow(btnExit_, client.right - margin - buttonWidth, buttonsTop, buttonWidth, buttonHeight, TRUE);
    MoveWindow(next_, (client.right - scale(120, dpi)) / 2, buttonsTop, scale(120, dpi), buttonHeight, TRUE);
    MoveWindow(fileFrame_, margin, buttonsTop, scale(120, dpi), buttonHeight, FALSE);
    MoveWindow(fileList_, margin, buttonsTop, scale(120, dpi), buttonHeight, FALSE);
    // The run's progress on the left half, the selected row's reason beside it.
    int parts[] = {client.right / 2, -1};
    SendMessageW(statusBar_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    list_.sizeColumns(ResultListView::ColumnSizing::WindowChanged);
}

void Form2::updateList() {
    list_.update();
}

namespace {

// The commands that would start, clear or redirect work. While documents are
// being converted they wait (greyed in the menu, refused if sent): they would
// switch the mode under the running job, clear its rows, or hand the rest of
// a batch to another queue or another target folder. Exit, the extension
// list (read when a batch starts) and About stay at hand.
constexpr int kWorkCommands[] = {IDM_OPEN, IDM_CLOSE, IDM_MACRO_RUN, IDM_BATCH};

bool refusedWhileConverting(int id) {
    return JobDriver::Active() &&
           std::find(std::begin(kWorkCommands), std::end(kWorkCommands), id) != std::end(kWorkCommands);
}

} // namespace

void Form2::onCommand(int id) {
    if (refusedWhileConverting(id))
        return;
    switch (id) {
    case IDM_EXIT:
    case IDC_BTN_EXIT:
        General::End();
        break;
    case IDM_CLOSE:
        General::coordinator().StartStateThree();
        break;
    case IDC_NEXT:
        nextCommand_ = issueCommand<Cmd2>(General::coordinator());
        break;
    case IDM_EXTENSIONS:
        // The extension manager, shown without being modal.
        windows_.extensions.show();
        break;
    case IDM_OPEN:
        General::coordinator().SingleSourceFile();
        break;
    case IDM_MACRO_RUN: {
        // The stored macro goes into the box first; then the dialog is
        // shown modally, without owner.
        frmMacroSelect& dialog = windows_.macroSelect;
        MacroSelection::FillFromSetting(dialog);
        dialog.showModal(nullptr);
        break;
    }
    case IDM_BATCH:
        windows_.batchDocuments.showModal(nullptr);
        break;
    case IDM_INFO:
        // Without being modal, without owner.
        windows_.about.show();
        break;
    default:
        break;
    }
}

LRESULT Form2::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const auto answer = list_.handle(message, wParam, lParam))
        return *answer;
    switch (message) {
    case WM_COMMAND:
        onCommand(LOWORD(wParam));
        return 0;
    case WM_INITMENUPOPUP:
        for (int id : kWorkCommands)
            EnableMenuItem(reinterpret_cast<HMENU>(wParam), static_cast<UINT>(id),
                           MF_BYCOMMAND | (JobDriver::Active() ? MF_GRAYED : MF_ENABLED));
        return 0;
    case WM_SIZE:
        layout();
        return 0;
    case WM_ERASEBKGND: {
        RECT rect;
        GetClientRect(hwnd_, &rect);
        FillRect(reinterpret_cast<HDC>(wParam), &rect, background_.get());
        return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        SetBkColor(reinterpret_cast<HDC>(wParam), kGrey);
        return reinterpret_cast<LRESULT>(background_.get());
    case WM_DPICHANGED:
        onDpiChanged(dpiOfMessage(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_CLOSE:
    case WM_DESTROY:
        // Closing the main window ends the program at once.
        General::End();
        return 0;
    default:
        return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

LRESULT CALLBACK Form2::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        // The object given to CreateWindowExW, kept for every later message.
        auto* self = static_cast<Form2*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    auto* self = reinterpret_cast<Form2*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    // A window whose creation failed is going away without ending anything.
    if (self == nullptr || self->createFailure_)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_CREATE) {
        // A failure here fails the creation; load() raises it.
        try {
            self->create();
            return 0;
        } catch (...) {
            self->createFailure_ = std::current_exception();
            return -1;
        }
    }
    return guarded([&] { return self->handle(message, wParam, lParam); });
}
