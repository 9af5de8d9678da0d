#include "platform/taskbar_win.h"

// Made at the first use, on the thread of the window, which has COM ready by
// then; a shell without a taskbar list is asked only once.
ITaskbarList3* Win32TaskbarButton::list() {
    if (!tried_) {
        tried_ = true;
        if (FAILED(
                CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&list_))) ||
            FAILED(list_->HrInit()))
            list_.Reset();
    }
    return list_.Get();
}

void Win32TaskbarButton::setProgress(HWND window, unsigned long long completed, unsigned long long total) {
    // The button may not exist yet (the window not shown): the call then
    // fails, and the next one shows the figures.
    if (ITaskbarList3* taskbar = list())
        taskbar->SetProgressValue(window, completed, total);
}

void Win32TaskbarButton::setState(HWND window, State state) {
    ITaskbarList3* taskbar = list();
    if (taskbar == nullptr)
        return;
    const TBPFLAG flag = state == State::Normal  ? TBPF_NORMAL
                         : state == State::Error ? TBPF_ERROR
                                                 : TBPF_NOPROGRESS;
    taskbar->SetProgressState(window, flag);
}
