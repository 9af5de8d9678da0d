#include "ui/Form2.h"

#include "base/ports.h"
#include "control/job_driver.h"
#include "conversion/DecObj.h"
#include "core/General.h"
#include "core/Mediator.h"
#include "core/macro_selection.h"
#include "platform/clipboard_win.h"
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
#include <chrono>
#include <iterator>
#include <utility>

namespace {
const wchar_t* const kClassName = L"TarnwickForm2";

// The two columns' widths as parts of the list's width.
constexpr int kListUnits = 20135;
constexpr int kFileNameUnits = 17639;
constexpr int kStatusUnits = 2470;
// The space the list leaves on either side of a cell's text, at 96 dpi.
constexpr int kCellPadding = 6;

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

Form2::Form2(const Windows& windows, TaskbarButton& taskbar) : windows_(windows), taskbar_(taskbar) {
    files_.setListener([this] { mirrorFileList(); });
    progress_.setObserver(this);
}

Form2::~Form2() {
    list_.setObserver(nullptr);
    progress_.setObserver(nullptr);
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
        std::rethrow_exception(std::exchange(createFailure_, nullptr));
    }
    if (made == nullptr)
        throw windowError("the main window");
}

void Form2::create() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    background_.reset(CreateSolidBrush(kGrey));
    dpi_ = windowDpi(hwnd_);

    // The result list shows rows kept by ResultList, which keeps them sorted
    // descending by path; the list only asks for the text it draws.
    listView_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA |
                                    LVS_SHOWSELALWAYS | LVS_SINGLESEL,
                                0, 0, 100, 100, hwnd_, controlId(IDC_LISTVIEW1), instance, nullptr);
    // A click selects the whole row; a failed row tells its reason as its tip.
    ListView_SetExtendedListViewStyle(listView_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_INFOTIP);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    std::wstring fileName = L"File Name:", status = L"Status:";
    column.pszText = fileName.data();
    column.cx = 100;
    column.iSubItem = 0;
    ListView_InsertColumn(listView_, 0, &column);
    column.pszText = status.data();
    column.iSubItem = 1;
    ListView_InsertColumn(listView_, 1, &column);

    btnExit_ = CreateWindowExW(0, WC_BUTTONW, L"Exit", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0,
                               0, 10, 10, hwnd_, controlId(IDC_BTN_EXIT), instance, nullptr);
    next_ = CreateWindowExW(0, WC_BUTTONW, L"Next Document", WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 10,
                            10, hwnd_, controlId(IDC_NEXT), instance, nullptr);
    // The file list is a working control only: hidden, inside a captionless frame.
    fileFrame_ = CreateWindowExW(0, WC_BUTTONW, L"", WS_CHILD | BS_GROUPBOX, 0, 0, 10, 10, hwnd_,
                                 controlId(IDC_FILELIST_FRAME), instance, nullptr);
    fileList_ = CreateWindowExW(0, WC_LISTBOXW, L"", WS_CHILD | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY, 0, 0, 10,
                                10, hwnd_, controlId(IDC_FILELIST), instance, nullptr);
    statusBar_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0,
                                 hwnd_, controlId(IDC_STATUSBAR1), instance, nullptr);
    for (HWND control : {listView_, btnExit_, next_, fileFrame_, fileList_, statusBar_})
        if (control == nullptr)
            throw windowError("the main window's controls");
    makeFonts();

    list_.setObserver(this);
    ListView_SetItemCountEx(listView_, static_cast<int>(list_.count()), 0);
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
    const UINT old = std::exchange(dpi_, dpi);
    makeFonts();
    if (userSizedColumns_ && old != 0)
        setColumnWidths(
            MulDiv(ListView_GetColumnWidth(listView_, 0), static_cast<int>(dpi), static_cast<int>(old)),
            MulDiv(ListView_GetColumnWidth(listView_, 1), static_cast<int>(dpi), static_cast<int>(old)));
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
    sizeColumns(ColumnSizing::WindowChanged);
}

// The columns fill the list's visible width, which the vertical scroll bar
// takes its share of once the rows outgrow the list: sized only to the
// window, the columns would then reach under the scroll bar, a horizontal
// one would appear, and the statuses would be cut off. "Status:" is never
// narrower than its widest text; "File Name:" takes the rest. Once the user
// has dragged a divider the widths are theirs: a change in the rows leaves
// them, and a smaller window narrows "File Name:" only as far as it must
// for "Status:" to stay in view.
void Form2::sizeColumns(ColumnSizing why) {
    RECT inner;
    GetClientRect(listView_, &inner);
    const int listWidth = inner.right;
    if (userSizedColumns_) {
        if (why == ColumnSizing::WindowChanged) {
            const int status = ListView_GetColumnWidth(listView_, 1);
            setColumnWidths(std::min(ListView_GetColumnWidth(listView_, 0), std::max(0, listWidth - status)),
                            status);
        }
        return;
    }
    int widest = 0;
    for (const char* text : {"Status:", "Converting...", "Converted", "Failed"})
        widest = std::max(widest, ListView_GetStringWidth(listView_, widen(text).c_str()));
    // The list's own padding around a cell's text, on both sides.
    const int statusMinimum = widest + 2 * scale(kCellPadding, dpi_);
    int status = MulDiv(listWidth, kStatusUnits, kListUnits);
    int fileName = MulDiv(listWidth, kFileNameUnits, kListUnits);
    if (status < statusMinimum) {
        status = statusMinimum;
        fileName = std::max(0, listWidth - status);
    }
    setColumnWidths(fileName, status);
}

void Form2::setColumnWidths(int fileName, int status) {
    if (ListView_GetColumnWidth(listView_, 0) != fileName)
        ListView_SetColumnWidth(listView_, 0, fileName);
    if (ListView_GetColumnWidth(listView_, 1) != status)
        ListView_SetColumnWidth(listView_, 1, status);
}

// The list control learns of changes at most ten times a second, and less
// often where drawing it is slow: a batch changes rows many times a second,
// and each time the control is told it redraws every visible row (new rows
// sort in at the top). Drawing them for every document would cost more than
// the document's own work; where one update takes ten milliseconds or more
// (under Wine: telling the list its new number of rows redraws its scroll
// bar, some 7 ms, and drawing the rows takes 4), even ten a second would. So
// each update is drawn at once and timed, and the next waits until the
// drawing has taken at most a fiftieth of the time. The rows themselves are
// always current in ListView1. The status bar's progress follows the same
// updates; a run's first and last texts show at once.
void Form2::rowsCleared() {
    selected_.reset();
    focused_.reset();
    scheduleListUpdate();
}
// A row added at or above the selected one moves its document down a row.
void Form2::rowInserted(std::size_t index) {
    for (std::optional<std::size_t>* row : {&selected_, &focused_})
        if (*row && index <= **row) {
            ++**row;
            rowsMoved_ = true;
        }
    scheduleListUpdate();
}
void Form2::rowChanged(std::size_t) {
    scheduleListUpdate();
}

void Form2::scheduleListUpdate() {
    if (listUpdatePending_ || hwnd_ == nullptr)
        return;
    listUpdatePending_ = true;
    const ULONGLONG now = GetTickCount64();
    const ULONGLONG due = lastListUpdate_ + listUpdateGap_;
    if (now >= due)
        PostMessageW(hwnd_, kListUpdateMessage, 0, 0);
    else
        SetTimer(hwnd_, kListUpdateTimer, static_cast<UINT>(due - now), nullptr);
}

void Form2::updateList() {
    KillTimer(hwnd_, kListUpdateTimer);
    listUpdatePending_ = false;
    const auto start = std::chrono::steady_clock::now();
    const int count = static_cast<int>(list_.count());
    const int shown = ListView_GetItemCount(listView_);
    if (shown != count) {
        ListView_SetItemCountEx(listView_, count, LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
        sizeColumns(ColumnSizing::RowsChanged); // the vertical scroll bar may have come or gone
    }
    if (rowsMoved_)
        followMovedRows();
    InvalidateRect(listView_, nullptr, FALSE);
    UpdateWindow(listView_);
    if (progressPending_)
        showProgress();
    showSelectedReason(); // the selected row may have failed meanwhile
    const auto spent =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    listUpdateGap_ = std::clamp<ULONGLONG>((kListUpdateShare - 1) * static_cast<ULONGLONG>(spent.count()),
                                           kListUpdateInterval, kListUpdateLongestGap);
    lastListUpdate_ = GetTickCount64();
}

void Form2::progressChanged(const BatchProgress&, BatchProgress::Event event) {
    if (event == BatchProgress::Event::Began || event == BatchProgress::Event::Ended) {
        showProgress();
        return;
    }
    progressPending_ = true;
    scheduleListUpdate();
}

void Form2::showProgress() {
    progressPending_ = false;
    if (hwnd_ == nullptr)
        return;
    SendMessageW(statusBar_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(widen(progress_.text()).c_str()));
    const TaskbarButton::State state = !progress_.running()     ? TaskbarButton::State::None
                                       : progress_.failed() > 0 ? TaskbarButton::State::Error
                                                                : TaskbarButton::State::Normal;
    if (state != taskbarState_)
        taskbar_.setState(hwnd_, state);
    taskbarState_ = state;
    if (state != TaskbarButton::State::None)
        taskbar_.setProgress(hwnd_, progress_.done(), std::max<std::size_t>(progress_.total(), 1));
}

// The list searches its rows one by one for the selected one; the window
// keeps the answer from the last change of selection instead of asking at
// every update, which would cost a pass over thousands of rows several times
// a second during a batch.
std::optional<std::size_t> Form2::selectedRow() const {
    const int index = ListView_GetNextItem(listView_, -1, LVNI_SELECTED);
    if (index < 0 || static_cast<std::size_t>(index) >= list_.count())
        return std::nullopt;
    return static_cast<std::size_t>(index);
}

const std::string& Form2::failureReason(std::size_t index) const {
    static const std::string none;
    return list_.status(index) == JobStatus::Failed ? list_.reason(index) : none;
}

void Form2::showSelectedReason() {
    const bool any = selected_ && *selected_ < list_.count();
    std::wstring reason = any ? widen(failureReason(*selected_)) : std::wstring();
    if (reason == shownReason_)
        return;
    shownReason_ = std::move(reason);
    SendMessageW(statusBar_, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(shownReason_.c_str()));
}

void Form2::followMovedRows() {
    rowsMoved_ = false;
    movingSelection_ = true;
    ListView_SetItemState(listView_, -1, 0, LVIS_SELECTED);
    if (selected_)
        ListView_SetItemState(listView_, static_cast<int>(*selected_), LVIS_SELECTED, LVIS_SELECTED);
    if (focused_)
        ListView_SetItemState(listView_, static_cast<int>(*focused_), LVIS_FOCUSED, LVIS_FOCUSED);
    movingSelection_ = false;
}

// The selected row, or every row when none is selected.
void Form2::copyRows() {
    // An empty list leaves the clipboard as it was.
    if (list_.count() > 0)
        putClipboardText(
            hwnd_, rowsAsText(list_, selected_ && *selected_ < list_.count() ? selected_ : std::nullopt));
}

// The list's context menu, at the pointer, or below the selected row (or
// the list's corner) when it was asked for from the keyboard.
void Form2::showListMenu(LPARAM position) {
    POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (position == -1) {
        RECT place{};
        const auto row = selected_;
        if (!row || !ListView_GetItemRect(listView_, static_cast<int>(*row), &place, LVIR_LABEL))
            place = {}; // the list's corner
        at = {place.left, place.bottom};
        ClientToScreen(listView_, &at);
    }
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_LIST_MENU));
    if (menu == nullptr)
        throw windowError("the list's menu");
    EnableMenuItem(menu, IDM_COPY, MF_BYCOMMAND | (list_.count() > 0 ? MF_ENABLED : MF_GRAYED));
    const int chosen =
        TrackPopupMenu(GetSubMenu(menu, 0), TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd_, nullptr);
    DestroyMenu(menu);
    if (chosen == IDM_COPY)
        copyRows();
}

void Form2::onNotify(const NMHDR& header, LRESULT& result) {
    // A divider dragged or double-clicked: the widths are the user's from
    // now on. The list passes these notices of its header on.
    switch (header.code) {
    case HDN_ENDTRACKW:
    case HDN_ENDTRACKA:
    case HDN_DIVIDERDBLCLICKW:
    case HDN_DIVIDERDBLCLICKA:
        userSizedColumns_ = true;
        return;
    default:
        if (header.hwndFrom == listView_)
            onListNotify(header, result);
    }
}

void Form2::onListNotify(const NMHDR& header, LRESULT&) {
    switch (header.code) {
    case LVN_ITEMCHANGED: {
        // Only a change of selection or focus matters. The notice names the
        // row whose state changed (one row at a time: the list selects one);
        // a notice for every row (-1) is answered by asking the list.
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if ((change.uChanged & LVIF_STATE) == 0 || movingSelection_)
            return;
        const UINT changed = change.uOldState ^ change.uNewState;
        if ((changed & LVIS_FOCUSED) && change.iItem >= 0) {
            if (change.uNewState & LVIS_FOCUSED)
                focused_ = static_cast<std::size_t>(change.iItem);
            else if (focused_ == static_cast<std::size_t>(change.iItem))
                focused_.reset();
        }
        if ((changed & LVIS_SELECTED) == 0)
            return;
        if (change.iItem < 0)
            selected_ = selectedRow();
        else if (change.uNewState & LVIS_SELECTED)
            selected_ = static_cast<std::size_t>(change.iItem);
        else if (selected_ == static_cast<std::size_t>(change.iItem))
            selected_.reset();
        showSelectedReason();
        return;
    }
    case LVN_KEYDOWN:
        if (reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey == 'C' && GetKeyState(VK_CONTROL) < 0)
            copyRows();
        return;
    case LVN_GETINFOTIPW: {
        auto& tip = const_cast<NMLVGETINFOTIPW&>(reinterpret_cast<const NMLVGETINFOTIPW&>(header));
        if (tip.pszText == nullptr || tip.cchTextMax <= 0 || tip.iItem < 0 ||
            static_cast<std::size_t>(tip.iItem) >= list_.count())
            return;
        const std::string& reason = failureReason(static_cast<std::size_t>(tip.iItem));
        if (!reason.empty())
            lstrcpynW(tip.pszText, widen(reason).c_str(), tip.cchTextMax);
        return;
    }
    case LVN_GETDISPINFOW:
        fillCell(const_cast<LVITEMW&>(reinterpret_cast<const NMLVDISPINFOW&>(header).item));
        return;
    default:
        return;
    }
}

void Form2::fillCell(LVITEMW& item) {
    if ((item.mask & LVIF_TEXT) == 0 || item.pszText == nullptr || item.cchTextMax <= 0)
        return;
    const auto index = static_cast<std::size_t>(item.iItem);
    if (index >= list_.count()) {
        item.pszText[0] = L'\0';
        return;
    }
    textBuffer_ = widen(item.iSubItem == 0 ? list_.text(index) : list_.status(index));
    lstrcpynW(item.pszText, textBuffer_.c_str(), item.cchTextMax);
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
    case IDC_NEXT: {
        nextCommand_ = std::make_shared<Cmd2>();
        nextCommand_->init(General::coordinator());
        Command& command = *nextCommand_;
        command.Execute();
        break;
    }
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
    switch (message) {
    case kListUpdateMessage:
        updateList();
        return 0;
    case WM_TIMER:
        if (wParam == kListUpdateTimer)
            updateList();
        return 0;
    case WM_COMMAND:
        onCommand(LOWORD(wParam));
        return 0;
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) != listView_)
            return DefWindowProcW(hwnd_, message, wParam, lParam);
        showListMenu(lParam);
        return 0;
    case WM_INITMENUPOPUP:
        for (int id : kWorkCommands)
            EnableMenuItem(reinterpret_cast<HMENU>(wParam), static_cast<UINT>(id),
                           MF_BYCOMMAND | (JobDriver::Active() ? MF_GRAYED : MF_ENABLED));
        return 0;
    case WM_NOTIFY: {
        LRESULT result = 0;
        onNotify(*reinterpret_cast<const NMHDR*>(lParam), result);
        return result;
    }
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
