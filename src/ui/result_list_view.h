#pragma once
// The main window's result list as the user sees it: an owner-data list
// control that draws the rows ResultList keeps, brought up to date at a
// measured pace; the selected row's reason in the status bar, failed rows'
// tips, Ctrl+C and the context menu's "Copy"; and its two columns sized to
// its width until the user sizes them.
#include "base/result_list.h"

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <optional>
#include <string>

class ResultListView : private ResultList::Observer {
public:
    // What the window routes to update(): a posted message, or its timer.
    static constexpr UINT kUpdateMessage = WM_APP + 1;
    static constexpr UINT_PTR kUpdateTimer = 1;

    ResultListView() = default;
    ~ResultListView() override;
    ResultListView(const ResultListView&) = delete;
    ResultListView& operator=(const ResultListView&) = delete;

    // Makes the control in the window; the reason of the selected row goes
    // into the status bar's second part. Answers the control, or nullptr.
    HWND create(HWND window, int id, HWND statusBar);
    // Lets go of a window whose making failed: nothing is scheduled for it.
    void detach();
    HWND hwnd() const { return list_; }
    ResultList& rows() { return rows_; }
    // Told within each update: what else the window shows with the rows.
    void onUpdate(std::function<void()> shown) { shown_ = std::move(shown); }

    // The resolution the widths are reckoned in; widths the user chose keep
    // their share of the screen.
    void setDpi(UINT dpi);
    enum class ColumnSizing { RowsChanged, WindowChanged };
    void sizeColumns(ColumnSizing why);

    // Asks for an update at the next time the pace allows.
    void scheduleUpdate();
    // Brings the control and the reason shown up to date at once.
    void update();

    // The window's messages that are the list's: the update it asked for,
    // the notices of the list and of its header, and the list's context
    // menu. Answers what the window answers, for those only.
    std::optional<LRESULT> handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void notify(const NMHDR& header);
    // The context menu at the pointer's position (-1: asked from the keyboard).
    void showMenu(LPARAM position);
    void rowsCleared() override;
    void rowInserted(std::size_t index) override;
    void rowChanged(std::size_t index) override;

    void setColumnWidths(int fileName, int status);
    void onItemChanged(const NMLISTVIEW& change);
    void fillCell(LVITEMW& item);
    void fillTip(NMLVGETINFOTIPW& tip) const;
    std::optional<std::size_t> selectedRow() const;
    const std::string& failureReason(std::size_t index) const;
    void showSelectedReason();
    void followMovedRows();
    void copyRows();

    static constexpr ULONGLONG kInterval = 100; // milliseconds, the shortest gap
    static constexpr ULONGLONG kLongestGap = 2000;
    static constexpr ULONGLONG kShare = 50; // drawing takes at most 1 in this many milliseconds

    ResultList rows_;
    HWND window_ = nullptr;
    HWND list_ = nullptr;
    HWND statusBar_ = nullptr;
    UINT dpi_ = 96;
    std::function<void()> shown_;
    bool updatePending_ = false;
    ULONGLONG lastUpdate_ = 0;
    ULONGLONG gap_ = kInterval;
    std::wstring textBuffer_;  // holds the text handed to the list for drawing
    std::wstring shownReason_; // in the status bar's second part
    // The selected and the focused row, kept on their documents as rows are
    // added above them; the list is moved after them at its next update.
    std::optional<std::size_t> selected_;
    std::optional<std::size_t> focused_;
    bool rowsMoved_ = false;
    bool movingSelection_ = false; // the list's notices of the move are the view's own
    bool userSizedColumns_ = false;
};
