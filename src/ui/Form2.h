#pragma once
// The main window: the result list, the menu bar, "Exit", the hidden "Next
// Document" button, the hidden file list, the shared file dialog, and the
// status bar with the run's progress and the selected failure's reason.
#include "base/progress.h"
#include "base/views.h"
#include "control/Command.h"
#include "platform/directory_win.h"
#include "platform/handles_win.h"
#include "platform/taskbar_win.h"
#include "ui/common_dialog.h"

#include <windows.h>

#include <commctrl.h>

#include <exception>
#include <memory>
#include <optional>

class Form1;
class frmAbout;
class frmExtension;
class frmMacroSelect;

class Form2 : public MainWindowView, private ResultList::Observer, private BatchProgress::Observer {
public:
    // The windows that the menu shows.
    struct Windows {
        frmExtension& extensions;
        frmMacroSelect& macroSelect;
        Form1& batchDocuments;
        frmAbout& about;
    };

    // The run's progress also shows on the taskbar button.
    Form2(const Windows& windows, TaskbarButton& taskbar);
    ~Form2() override;
    Form2(const Form2&) = delete;
    Form2& operator=(const Form2&) = delete;

    // Creates the window and its controls without showing it.
    void load();

    ResultList& ListView1() override { return list_; }
    FileListBox& FileList() override { return files_; }
    FileDialog& CommonDialog1() override { return dialog_; }
    BatchProgress& Progress() override { return progress_; }
    void hideNext() override;
    void show() override;

    HWND hwnd() const { return hwnd_; }
    HWND listView() const { return listView_; }
    // Brings the list control and the status bar up to date at once.
    void updateList();
    HWND statusBar() const { return statusBar_; }
    HWND fileListBox() const { return fileList_; }
    // What the file list reads folders with (a test makes a folder unreadable).
    Win32DirectoryLister& directoryLister() { return lister_; }

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    // Makes the controls, when the window is created.
    void create();
    void onCommand(int id);
    void onNotify(const NMHDR& header, LRESULT& result);
    void layout();
    // Sizes the columns to the list's visible width: both while the user
    // has not sized them; after that only when the window's size changed,
    // and only as far as needed to keep "Status:" in view.
    enum class ColumnSizing { RowsChanged, WindowChanged };
    void sizeColumns(ColumnSizing why);
    void setColumnWidths(int fileName, int status);
    void makeFonts();
    void onDpiChanged(UINT dpi, const RECT& suggested);
    void mirrorFileList();
    void onListNotify(const NMHDR& header, LRESULT& result);
    void fillCell(LVITEMW& item);
    // The row selected in the list, if one is.
    std::optional<std::size_t> selectedRow() const;
    // Why the row failed, or empty text when it did not.
    const std::string& failureReason(std::size_t index) const;
    void showSelectedReason();
    // Moves the list's selection and focus onto the rows of their documents
    // after rows were added above them.
    void followMovedRows();
    void copyRows();
    void showListMenu(LPARAM position);

    void progressChanged(const BatchProgress& progress, BatchProgress::Event event) override;
    void showProgress();

    void rowsCleared() override;
    void rowInserted(std::size_t index) override;
    void rowChanged(std::size_t index) override;
    void scheduleListUpdate();
    static constexpr UINT kListUpdateMessage = WM_APP + 1;
    static constexpr UINT_PTR kListUpdateTimer = 1;
    static constexpr ULONGLONG kListUpdateInterval = 100; // milliseconds, the shortest gap
    static constexpr ULONGLONG kListUpdateLongestGap = 2000;
    static constexpr ULONGLONG kListUpdateShare = 50; // drawing takes at most 1 in this many milliseconds
    bool listUpdatePending_ = false;
    bool progressPending_ = false; // the status bar's progress waits for the list's next update
    ULONGLONG lastListUpdate_ = 0;
    ULONGLONG listUpdateGap_ = kListUpdateInterval;

    HWND hwnd_ = nullptr;
    HWND listView_ = nullptr;
    HWND btnExit_ = nullptr;
    HWND next_ = nullptr;
    HWND fileFrame_ = nullptr;
    HWND fileList_ = nullptr;
    HWND statusBar_ = nullptr;
    UINT dpi_ = 96; // of the monitor the window is on, as the system last told
    UniqueFont listFont_;
    UniqueFont uiFont_;
    UniqueBrush background_;
    std::exception_ptr createFailure_;
    Windows windows_;
    TaskbarButton& taskbar_;
    TaskbarButton::State taskbarState_ = TaskbarButton::State::None;

    ResultList list_;
    Win32DirectoryLister lister_;
    FileListBox files_{lister_};
    Win32FileDialogPort dialogPort_;
    FileDialog dialog_{dialogPort_};
    BatchProgress progress_;
    std::shared_ptr<Cmd2> nextCommand_; // the command of the last click on "Next Document"
    std::wstring textBuffer_;           // holds the text handed to the list for drawing
    std::wstring shownReason_;          // in the status bar's second part
    // The selected and the focused row, kept on their documents as rows are
    // added above them; the list is moved after them at its next update.
    std::optional<std::size_t> selected_;
    std::optional<std::size_t> focused_;
    bool rowsMoved_ = false;
    bool movingSelection_ = false; // the list's notices of the move are the window's own
    bool userSizedColumns_ = false;
};
