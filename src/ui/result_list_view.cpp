#include "ui/result_list_view.h"

#include "conversion/DecObj.h"
#include "platform/clipboard_win.h"
#include "platform/handles_win.h"
#include "platform/wide_win.h"
#include "ui/Form2_ids.h"
#include "ui/window_util.h"

#include <windowsx.h>

#include <algorithm>
#include <chrono>
#include <utility>

namespace {
// The two columns' widths as parts of the list's width.
constexpr int kListUnits = 20135;
constexpr int kFileNameUnits = 17639;
constexpr int kStatusUnits = 2470;
// The space the list leaves on either side of a cell's text, at 96 dpi.
constexpr int kCellPadding = 6;
} // namespace

ResultListView::~ResultListView() {
    rows_.setObserver(nullptr);
}

HWND ResultListView::create(HWND window, int id, HWND statusBar) {
    window_ = window;
    statusBar_ = statusBar;
    dpi_ = windowDpi(window);
    // The list only asks for the text it draws; ResultList keeps the rows
    // sorted descending by path.
    list_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA |
                                LVS_SHOWSELALWAYS | LVS_SINGLESEL,
                            0, 0, 100, 100, window, controlId(id), GetModuleHandleW(nullptr), nullptr);
    if (list_ == nullptr)
        return nullptr;
    // A click selects the whole row; a failed row tells its reason as its tip.
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_INFOTIP);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    std::wstring fileName = L"File Name:", status = L"Status:";
    column.pszText = fileName.data();
    column.cx = 100;
    column.iSubItem = 0;
    ListView_InsertColumn(list_, 0, &column);
    column.pszText = status.data();
    column.iSubItem = 1;
    ListView_InsertColumn(list_, 1, &column);
    rows_.setObserver(this);
    ListView_SetItemCountEx(list_, static_cast<int>(rows_.count()), 0);
    return list_;
}

void ResultListView::detach() {
    window_ = list_ = statusBar_ = nullptr;
    updatePending_ = false;
}

void ResultListView::setDpi(UINT dpi) {
    const UINT old = std::exchange(dpi_, dpi);
    if (userSizedColumns_ && old != 0)
        setColumnWidths(
            MulDiv(ListView_GetColumnWidth(list_, 0), static_cast<int>(dpi), static_cast<int>(old)),
            MulDiv(ListView_GetColumnWidth(list_, 1), static_cast<int>(dpi), static_cast<int>(old)));
}

// The columns fill the list's visible width, which the vertical scroll bar
// takes its share of once the rows outgrow the list: sized only to the
// window, the columns would then reach under the scroll bar, a horizontal
// one would appear, and the statuses would be cut off. "Status:" is never
// narrower than its widest text; "File Name:" takes the rest. Once the user
// has dragged a divider the widths are theirs: a change in the rows leaves
// them, and a smaller window narrows "File Name:" only as far as it must
// for "Status:" to stay in view.
void ResultListView::sizeColumns(ColumnSizing why) {
    RECT inner;
    GetClientRect(list_, &inner);
    const int listWidth = inner.right;
    if (userSizedColumns_) {
        if (why == ColumnSizing::WindowChanged) {
            const int status = ListView_GetColumnWidth(list_, 1);
            setColumnWidths(std::min(ListView_GetColumnWidth(list_, 0), std::max(0, listWidth - status)),
                            status);
        }
        return;
    }
    int widest = 0;
    for (const char* text : {"Status:", "Converting...", "Converted", "Failed"})
        widest = std::max(widest, ListView_GetStringWidth(list_, widen(text).c_str()));
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

void ResultListView::setColumnWidths(int fileName, int status) {
    if (ListView_GetColumnWidth(list_, 0) != fileName)
        ListView_SetColumnWidth(list_, 0, fileName);
    if (ListView_GetColumnWidth(list_, 1) != status)
        ListView_SetColumnWidth(list_, 1, status);
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
// always current in ResultList.
void ResultListView::rowsCleared() {
    selected_.reset();
    focused_.reset();
    scheduleUpdate();
}
// A row added at or above the selected one moves its document down a row.
void ResultListView::rowInserted(std::size_t index) {
    for (std::optional<std::size_t>* row : {&selected_, &focused_})
        if (*row && index <= **row) {
            ++**row;
            rowsMoved_ = true;
        }
    scheduleUpdate();
}
void ResultListView::rowChanged(std::size_t) {
    scheduleUpdate();
}

void ResultListView::scheduleUpdate() {
    if (updatePending_ || window_ == nullptr)
        return;
    updatePending_ = true;
    const ULONGLONG now = GetTickCount64();
    const ULONGLONG due = lastUpdate_ + gap_;
    if (now >= due)
        PostMessageW(window_, kUpdateMessage, 0, 0);
    else
        SetTimer(window_, kUpdateTimer, static_cast<UINT>(due - now), nullptr);
}

void ResultListView::update() {
    KillTimer(window_, kUpdateTimer);
    updatePending_ = false;
    const auto start = std::chrono::steady_clock::now();
    const int count = static_cast<int>(rows_.count());
    if (ListView_GetItemCount(list_) != count) {
        ListView_SetItemCountEx(list_, count, LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
        sizeColumns(ColumnSizing::RowsChanged); // the vertical scroll bar may have come or gone
    }
    if (rowsMoved_)
        followMovedRows();
    InvalidateRect(list_, nullptr, FALSE);
    UpdateWindow(list_);
    if (shown_)
        shown_();
    showSelectedReason(); // the selected row may have failed meanwhile
    const auto spent =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    gap_ =
        std::clamp<ULONGLONG>((kShare - 1) * static_cast<ULONGLONG>(spent.count()), kInterval, kLongestGap);
    lastUpdate_ = GetTickCount64();
}

// The list searches its rows one by one for the selected one; the view
// keeps the answer from the last change of selection instead of asking at
// every update, which would cost a pass over thousands of rows several times
// a second during a batch.
std::optional<std::size_t> ResultListView::selectedRow() const {
    const int index = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
    if (index < 0 || static_cast<std::size_t>(index) >= rows_.count())
        return std::nullopt;
    return static_cast<std::size_t>(index);
}

const std::string& ResultListView::failureReason(std::size_t index) const {
    static const std::string none;
    return rows_.status(index) == JobStatus::Failed ? rows_.reason(index) : none;
}

void ResultListView::showSelectedReason() {
    const bool any = selected_ && *selected_ < rows_.count();
    std::wstring reason = any ? widen(failureReason(*selected_)) : std::wstring();
    if (reason == shownReason_)
        return;
    shownReason_ = std::move(reason);
    SendMessageW(statusBar_, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(shownReason_.c_str()));
}

void ResultListView::followMovedRows() {
    rowsMoved_ = false;
    movingSelection_ = true;
    ListView_SetItemState(list_, -1, 0, LVIS_SELECTED);
    if (selected_)
        ListView_SetItemState(list_, static_cast<int>(*selected_), LVIS_SELECTED, LVIS_SELECTED);
    if (focused_)
        ListView_SetItemState(list_, static_cast<int>(*focused_), LVIS_FOCUSED, LVIS_FOCUSED);
    movingSelection_ = false;
}

// The selected row, or every row when none is selected.
void ResultListView::copyRows() {
    // An empty list leaves the clipboard as it was.
    if (rows_.count() > 0)
        putClipboardText(
            window_, rowsAsText(rows_, selected_ && *selected_ < rows_.count() ? selected_ : std::nullopt));
}

// The list's context menu, at the pointer, or below the selected row (or
// the list's corner) when it was asked for from the keyboard.
void ResultListView::showMenu(LPARAM position) {
    POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (position == -1) {
        RECT place{};
        if (!selected_ || !ListView_GetItemRect(list_, static_cast<int>(*selected_), &place, LVIR_LABEL))
            place = {}; // the list's corner
        at = {place.left, place.bottom};
        ClientToScreen(list_, &at);
    }
    const UniqueMenu menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_LIST_MENU)));
    if (!menu)
        throw windowError("the list's menu");
    EnableMenuItem(menu.get(), IDM_COPY, MF_BYCOMMAND | (rows_.count() > 0 ? MF_ENABLED : MF_GRAYED));
    const int chosen = TrackPopupMenu(GetSubMenu(menu.get(), 0), TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y,
                                      0, window_, nullptr);
    if (chosen == IDM_COPY)
        copyRows();
}

std::optional<LRESULT> ResultListView::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kUpdateMessage:
        update();
        return 0;
    case WM_TIMER:
        if (wParam != kUpdateTimer)
            return std::nullopt;
        update();
        return 0;
    case WM_NOTIFY:
        notify(*reinterpret_cast<const NMHDR*>(lParam));
        return 0;
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) != list_)
            return std::nullopt;
        showMenu(lParam);
        return 0;
    default:
        return std::nullopt;
    }
}

void ResultListView::notify(const NMHDR& header) {
    switch (header.code) {
    // A divider dragged or double-clicked: the widths are the user's from
    // now on. The list passes these notices of its header on.
    case HDN_ENDTRACKW:
    case HDN_ENDTRACKA:
    case HDN_DIVIDERDBLCLICKW:
    case HDN_DIVIDERDBLCLICKA:
        userSizedColumns_ = true;
        return;
    default:
        break;
    }
    if (header.hwndFrom != list_)
        return;
    switch (header.code) {
    case LVN_ITEMCHANGED:
        onItemChanged(reinterpret_cast<const NMLISTVIEW&>(header));
        break;
    case LVN_KEYDOWN:
        if (reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey == 'C' && GetKeyState(VK_CONTROL) < 0)
            copyRows();
        break;
    case LVN_GETINFOTIPW:
        fillTip(const_cast<NMLVGETINFOTIPW&>(reinterpret_cast<const NMLVGETINFOTIPW&>(header)));
        break;
    case LVN_GETDISPINFOW:
        fillCell(const_cast<LVITEMW&>(reinterpret_cast<const NMLVDISPINFOW&>(header).item));
        break;
    default:
        break;
    }
}

// Only a change of selection or focus matters. The notice names the row
// whose state changed (one row at a time: the list selects one); a notice
// for every row (-1) is answered by asking the list.
void ResultListView::onItemChanged(const NMLISTVIEW& change) {
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
}

void ResultListView::fillTip(NMLVGETINFOTIPW& tip) const {
    if (tip.pszText == nullptr || tip.cchTextMax <= 0 || tip.iItem < 0 ||
        static_cast<std::size_t>(tip.iItem) >= rows_.count())
        return;
    const std::string& reason = failureReason(static_cast<std::size_t>(tip.iItem));
    if (!reason.empty())
        lstrcpynW(tip.pszText, widen(reason).c_str(), tip.cchTextMax);
}

void ResultListView::fillCell(LVITEMW& item) {
    if ((item.mask & LVIF_TEXT) == 0 || item.pszText == nullptr || item.cchTextMax <= 0)
        return;
    const auto index = static_cast<std::size_t>(item.iItem);
    if (index >= rows_.count()) {
        item.pszText[0] = L'\0';
        return;
    }
    textBuffer_ = widen(item.iSubItem == 0 ? rows_.text(index) : rows_.status(index));
    lstrcpynW(item.pszText, textBuffer_.c_str(), item.cchTextMax);
}
