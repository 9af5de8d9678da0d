#pragma once
// The program's COM message filter: what its thread does while a call to the
// word processor's server waits or is refused. The decisions are small
// functions of their own; the filter object applies them.
#include <windows.h>

#include <objidl.h>
#include <wrl/client.h>

#include <functional>
#include <memory>
#include <vector>

// What counts as the user asking to end the program: the main window (found
// when asked, since it is made after the filter) and the commands of its
// "Exit" menu item and button; and how the program is ended then.
struct ExitRequests {
    std::function<HWND()> mainWindow;
    std::vector<int> commands;
    std::function<void()> end;
};

// A message as the filter sees it in the queue: where it goes (the main
// window itself, or which of its controls) and what it says.
struct QueuedMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    bool toMainWindow = false;
    int controlId = 0; // the addressed child control of the main window, else 0
};

// True when the message asks to end the program: an exit command, the close
// box or Close from the system menu, Alt+F4, a click released on an exit button.
bool isExitRequest(const QueuedMessage& queued, const std::vector<int>& exitCommands);

// True when this thread's queue holds an exit request for the main window,
// looked at without taking it out. Frame clicks and system keys of the main
// window and its controls that ask for something else are dropped on the way:
// the waiting thread cannot act on them, and they would hide one behind them.
bool exitRequestQueued(HWND main, const std::vector<int>& exitCommands);

// RetryRejectedCall's answer: after a "retry later", a wait in milliseconds
// while the call has been refused for less than the busy limit; otherwise
// (and for a plain rejection, which the automation client retries itself)
// the call is cancelled, answered as (DWORD)-1.
DWORD retryRejectedAnswer(DWORD rejectType, DWORD elapsedMs, DWORD busyLimitMs);

enum class PendingAction { Wait, CancelCall, EndProgram };
// MessagePending's decision while a call waits: an exit request ends the
// program; a call older than its limit (0: none) is cancelled.
PendingAction pendingAction(bool exitQueued, DWORD elapsedMs, DWORD callLimitMs);

// One outgoing call, while it lasts: the filter reads its limits, and once
// the call limit has passed a timer posts a message to the waiting thread so
// that its COM wait asks the filter again (it asks only when a message
// arrives). Calls on one thread nest; the innermost is the one watched.
class WatchedCall {
public:
    WatchedCall(DWORD busyLimitMs, DWORD callLimitMs);
    ~WatchedCall();
    WatchedCall(const WatchedCall&) = delete;
    WatchedCall& operator=(const WatchedCall&) = delete;

    // Why the filter cancelled the call, if it did.
    bool cancelledForLimit() const { return cancelledForLimit_; }
    bool cancelledForExit() const { return cancelledForExit_; }

    // The call watched on this thread now, or nullptr.
    static WatchedCall* current();

private:
    friend class MessageFilter;
    DWORD busyLimitMs_;
    DWORD callLimitMs_;
    ULONGLONG started_;
    bool cancelledForLimit_ = false;
    bool cancelledForExit_ = false;
    ULONGLONG cancelledAt_ = 0;
    WatchedCall* outer_;
    PTP_TIMER timer_ = nullptr;
};

// Registers the filter on this thread for its lifetime (the thread must have
// entered a single-threaded apartment) and puts the previous one back after.
class MessageFilterScope {
public:
    explicit MessageFilterScope(ExitRequests exits);
    ~MessageFilterScope();
    MessageFilterScope(const MessageFilterScope&) = delete;
    MessageFilterScope& operator=(const MessageFilterScope&) = delete;

    bool registered() const { return registered_; }

private:
    std::unique_ptr<class MessageFilter> filter_;
    Microsoft::WRL::ComPtr<IMessageFilter> previous_;
    bool registered_ = false;
};
