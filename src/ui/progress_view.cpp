#include "ui/progress_view.h"

#include "platform/wide_win.h"

#include <commctrl.h>

#include <algorithm>

ProgressView::ProgressView(BatchProgress& progress, TaskbarButton& taskbar, ResultListView& list)
    : progress_(progress), taskbar_(taskbar), list_(list) {
    progress_.setObserver(this);
    list_.onUpdate([this] {
        if (pending_)
            show();
    });
}

ProgressView::~ProgressView() {
    progress_.setObserver(nullptr);
    list_.onUpdate(nullptr);
}

void ProgressView::attach(HWND window, HWND statusBar) {
    window_ = window;
    statusBar_ = statusBar;
}

void ProgressView::progressChanged(const BatchProgress&, BatchProgress::Event event) {
    if (event == BatchProgress::Event::Began || event == BatchProgress::Event::Ended) {
        show();
        return;
    }
    pending_ = true;
    list_.scheduleUpdate();
}

void ProgressView::show() {
    pending_ = false;
    if (window_ == nullptr)
        return;
    SendMessageW(statusBar_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(widen(progress_.text()).c_str()));
    const TaskbarButton::State state = !progress_.running()     ? TaskbarButton::State::None
                                       : progress_.failed() > 0 ? TaskbarButton::State::Error
                                                                : TaskbarButton::State::Normal;
    if (state != taskbarState_)
        taskbar_.setState(window_, state);
    taskbarState_ = state;
    if (state != TaskbarButton::State::None)
        taskbar_.setProgress(window_, progress_.done(), std::max<std::size_t>(progress_.total(), 1));
}
