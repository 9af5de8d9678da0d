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
#include "ui/progress_view.h"
#include "ui/result_list_view.h"

#include <windows.h>

#include <commctrl.h>

#include <exception>
#include <memory>

class Form1;
class frmAbout;
class frmExtension;
class frmMacroSelect;

// Form2, like Form1 and Form3, is the program's established name for this
// window (its window class is "TarnwickForm2", by which tools find it); it is
// kept as it is.
class Form2 : public MainWindowView {
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

    ResultList& ListView1() override { return list_.rows(); }
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

private:
    friend struct Probe; // tests replace the file list's folder reading
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    // Makes the controls, when the window is created.
    void create();
    void onCommand(int id);
    void layout();
    void makeFonts();
    void onDpiChanged(UINT dpi, const RECT& suggested);
    void mirrorFileList();

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

    ResultListView list_;
    Win32DirectoryLister lister_;
    FileListBox files_{lister_};
    Win32FileDialogPort dialogPort_;
    FileDialog dialog_{dialogPort_};
    BatchProgress progress_;
    ProgressView progressView_;
    std::shared_ptr<Cmd2> nextCommand_; // the command of the last click on "Next Document"
};
