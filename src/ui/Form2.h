#pragma once
// The main window: the result list, the menu bar, "Exit", the hidden "Next
// Document" button, the hidden file list and the shared file dialog.
#include "base/views.h"
#include "control/Command.h"
#include "platform/directory_win.h"
#include "platform/handles_win.h"
#include "ui/common_dialog.h"

#include <windows.h>

#include <exception>
#include <memory>

class Form1;
class frmAbout;
class frmExtension;
class frmMacroSelect;

class Form2 : public MainWindowView, private ResultList::Observer {
public:
    // The windows that the menu shows.
    struct Windows {
        frmExtension& extensions;
        frmMacroSelect& macroSelect;
        Form1& batchDocuments;
        frmAbout& about;
    };

    explicit Form2(const Windows& windows);
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
    // Brings the list control up to date with ListView1 at once.
    void updateList();
    HWND fileListBox() const { return fileList_; }

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    // Makes the controls, when the window is created.
    void create();
    void onCommand(int id);
    void onNotify(const NMHDR& header, LRESULT& result);
    void layout();
    void sizeColumns();
    void mirrorFileList();

    void rowsCleared() override;
    void rowInserted(std::size_t index) override;
    void rowChanged(std::size_t index) override;
    void scheduleListUpdate();
    static constexpr UINT kListUpdateMessage = WM_APP + 1;
    static constexpr UINT_PTR kListUpdateTimer = 1;
    static constexpr ULONGLONG kListUpdateInterval = 100; // milliseconds, the shortest gap
    static constexpr ULONGLONG kListUpdateLongestGap = 2000;
    bool listUpdatePending_ = false;
    ULONGLONG lastListUpdate_ = 0;
    ULONGLONG listUpdateGap_ = kListUpdateInterval;

    HWND hwnd_ = nullptr;
    HWND listView_ = nullptr;
    HWND btnExit_ = nullptr;
    HWND next_ = nullptr;
    HWND fileFrame_ = nullptr;
    HWND fileList_ = nullptr;
    HWND statusBar_ = nullptr;
    UniqueFont listFont_;
    UniqueFont uiFont_;
    UniqueBrush background_;
    std::exception_ptr createFailure_;
    Windows windows_;

    ResultList list_;
    Win32DirectoryLister lister_;
    FileListBox files_{lister_};
    Win32FileDialogPort dialogPort_;
    FileDialog dialog_{dialogPort_};
    BatchProgress progress_;
    std::shared_ptr<Cmd2> nextCommand_; // the command of the last click on "Next Document"
    std::wstring textBuffer_;           // holds the text handed to the list for drawing
};
