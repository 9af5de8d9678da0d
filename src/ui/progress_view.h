#pragma once
// The run's progress where the user sees it: the main window's status bar
// (its first part) and the window's taskbar button, red once a document
// failed. A run's first and last texts show at once; those between follow
// the result list's updates, at their pace.
#include "base/progress.h"
#include "platform/taskbar_win.h"
#include "ui/result_list_view.h"

#include <windows.h>

class ProgressView : private BatchProgress::Observer {
public:
    ProgressView(BatchProgress& progress, TaskbarButton& taskbar, ResultListView& list);
    ~ProgressView() override;
    ProgressView(const ProgressView&) = delete;
    ProgressView& operator=(const ProgressView&) = delete;

    // Where the progress shows, once the window and its status bar exist.
    void attach(HWND window, HWND statusBar);

private:
    void progressChanged(const BatchProgress& progress, BatchProgress::Event event) override;
    void show();

    BatchProgress& progress_;
    TaskbarButton& taskbar_;
    ResultListView& list_;
    HWND window_ = nullptr;
    HWND statusBar_ = nullptr;
    bool pending_ = false; // a text waits for the list's next update
    TaskbarButton::State taskbarState_ = TaskbarButton::State::None;
};
