#include "platform/message_filter_win.h"

#include "base/ports.h"
#include "platform/handles_win.h"
#include "platform/unowned_com_win.h"

#include <rpc.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdint>

namespace {

thread_local WatchedCall* watched = nullptr;

// Once the call limit has passed, the waiting thread is nudged this often
// until the filter has cancelled the call.
constexpr DWORD kNudgeIntervalMs = 100;
// A cancelled call still waited on after this long has its transport
// cancelled as well.
constexpr ULONGLONG kTransportCancelAfterMs = 1000;

// One timer per thread, made on the thread's first watched call: a call
// costs only arming and disarming it.
class NudgeTimer {
public:
    NudgeTimer() : thread_(GetCurrentThreadId()) {
        timer_ = CreateThreadpoolTimer(&NudgeTimer::fire, reinterpret_cast<void*>(std::uintptr_t{thread_}),
                                       nullptr);
    }
    ~NudgeTimer() {
        if (timer_ == nullptr)
            return;
        SetThreadpoolTimer(timer_, nullptr, 0, 0);
        WaitForThreadpoolTimerCallbacks(timer_, TRUE);
        CloseThreadpoolTimer(timer_);
    }
    NudgeTimer(const NudgeTimer&) = delete;
    NudgeTimer& operator=(const NudgeTimer&) = delete;

    // Nudges the thread from this many milliseconds on; 0 disarms.
    void arm(ULONGLONG milliseconds) {
        if (timer_ == nullptr)
            return;
        if (milliseconds == 0) {
            SetThreadpoolTimer(timer_, nullptr, 0, 0);
            return;
        }
        ULARGE_INTEGER due;
        due.QuadPart = static_cast<ULONGLONG>(-static_cast<LONGLONG>(milliseconds * 10000)); // relative
        FILETIME time;
        time.dwLowDateTime = due.LowPart;
        time.dwHighDateTime = due.HighPart;
        SetThreadpoolTimer(timer_, &time, kNudgeIntervalMs, 0);
    }

    static NudgeTimer& forThisThread() {
        thread_local NudgeTimer timer;
        return timer;
    }

private:
    // A posted message wakes the thread's COM wait, which then asks the
    // filter; the message itself means nothing and is dropped later.
    static void CALLBACK fire(PTP_CALLBACK_INSTANCE, void* thread, PTP_TIMER) {
        PostThreadMessageW(static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(thread)), WM_NULL, 0, 0);
    }

    DWORD thread_;
    PTP_TIMER timer_ = nullptr;
};

// Cancels the remote calls that other threads of this process are waiting
// on. COM ought to end a call when the filter cancels it; Wine's COM notes
// the cancel and goes on waiting for a reply that may never come (measured
// with Wine 8). It carries each call out on a thread of its own pool, so
// the call's own transport is cancelled there, which ends the wait with a
// failure. A thread that is not in a remote call is left as it is.
void cancelRemoteCallsOfOtherThreads() {
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot)
        return;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    const DWORD process = GetCurrentProcessId();
    const DWORD self = GetCurrentThreadId();
    for (BOOL more = Thread32First(snapshot.get(), &entry); more;
         more = Thread32Next(snapshot.get(), &entry)) {
        if (entry.th32OwnerProcessID != process || entry.th32ThreadID == self)
            continue;
        UniqueHandle thread(
            OpenThread(THREAD_QUERY_INFORMATION | THREAD_SET_CONTEXT, FALSE, entry.th32ThreadID));
        if (thread)
            RpcCancelThreadEx(thread.get(), 0);
    }
}

} // namespace

bool isExitRequest(const QueuedMessage& queued, const std::vector<int>& exitCommands) {
    const auto isExitCommand = [&](WPARAM id) {
        return std::find(exitCommands.begin(), exitCommands.end(), static_cast<int>(LOWORD(id))) !=
               exitCommands.end();
    };
    switch (queued.message) {
    case WM_COMMAND:
        return queued.toMainWindow && isExitCommand(queued.wParam);
    case WM_CLOSE:
        return queued.toMainWindow;
    case WM_SYSCOMMAND:
        return queued.toMainWindow && (queued.wParam & 0xFFF0) == SC_CLOSE;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
        return queued.toMainWindow && queued.wParam == HTCLOSE;
    case WM_SYSKEYDOWN:
        return (queued.toMainWindow || queued.controlId != 0) && queued.wParam == VK_F4;
    case WM_LBUTTONUP:
        return queued.controlId != 0 && isExitCommand(static_cast<WPARAM>(queued.controlId));
    default:
        return false;
    }
}

bool exitRequestQueued(HWND main, const std::vector<int>& exitCommands) {
    if (main == nullptr)
        return false;
    const auto queuedOf = [main](const MSG& msg) {
        QueuedMessage queued{msg.message, msg.wParam, msg.hwnd == main, 0};
        if (!queued.toMainWindow && msg.hwnd != nullptr && IsChild(main, msg.hwnd))
            queued.controlId = GetDlgCtrlID(msg.hwnd);
        return queued;
    };
    const auto firstQueued = [](HWND window, UINT message, MSG& msg) {
        return PeekMessageW(&msg, window, message, message, PM_NOREMOVE | PM_NOYIELD) != FALSE;
    };
    MSG msg;
    // Commands and closing asked of the main window itself.
    for (UINT message : {WM_COMMAND, WM_CLOSE, WM_SYSCOMMAND})
        if (firstQueued(main, message, msg) && isExitRequest(queuedOf(msg), exitCommands))
            return true;
    // A click released on an exit button: each button's first, so that
    // clicks elsewhere before it do not hide it.
    for (int id : exitCommands) {
        HWND button = GetDlgItem(main, id);
        if (button != nullptr && firstQueued(button, WM_LBUTTONUP, msg) &&
            isExitRequest(queuedOf(msg), exitCommands))
            return true;
    }
    // Clicks on the frames and system keys of the main window and its
    // controls (a filter by window takes its children too): the waiting
    // thread cannot act on them, and one that is not an exit request (a
    // click on the caption, the menu bar or a scroll bar; the Alt key before
    // F4) would hide those behind it, so it is dropped once looked at. The
    // user repeats such a click after the call if it still matters; other
    // windows' messages (a modeless dialog's) stay where they are.
    for (UINT message : {WM_NCLBUTTONDOWN, WM_NCLBUTTONUP, WM_SYSKEYDOWN}) {
        while (firstQueued(main, message, msg)) {
            if (isExitRequest(queuedOf(msg), exitCommands))
                return true;
            if (!PeekMessageW(&msg, msg.hwnd, message, message, PM_REMOVE | PM_NOYIELD))
                break;
        }
    }
    return false;
}

DWORD retryRejectedAnswer(DWORD rejectType, DWORD elapsedMs, DWORD busyLimitMs) {
    if (rejectType != SERVERCALL_RETRYLATER || elapsedMs >= busyLimitMs)
        return static_cast<DWORD>(-1);
    // At least 100 ms (less means "at once" to COM), growing with the time
    // the server has been busy, and never more than a second.
    return std::clamp<DWORD>(elapsedMs / 2, 100, 1000);
}

PendingAction pendingAction(bool exitQueued, DWORD elapsedMs, DWORD callLimitMs) {
    if (exitQueued)
        return PendingAction::EndProgram;
    if (callLimitMs != 0 && elapsedMs >= callLimitMs)
        return PendingAction::CancelCall;
    return PendingAction::Wait;
}

WatchedCall::WatchedCall(DWORD busyLimitMs, DWORD callLimitMs)
    : busyLimitMs_(busyLimitMs), callLimitMs_(callLimitMs), started_(GetTickCount64()), outer_(watched) {
    watched = this;
    NudgeTimer::forThisThread().arm(callLimitMs_);
}

WatchedCall::~WatchedCall() {
    watched = outer_;
    // An outer call still waiting gets what is left of its own limit.
    ULONGLONG rearm = 0;
    if (outer_ != nullptr && outer_->callLimitMs_ != 0) {
        const ULONGLONG spent = GetTickCount64() - outer_->started_;
        rearm = spent >= outer_->callLimitMs_ ? 1 : outer_->callLimitMs_ - spent;
    }
    NudgeTimer::forThisThread().arm(rearm);
}

WatchedCall* WatchedCall::current() {
    return watched;
}

// COM holds the filter by reference while it is registered; the scope owns
// it, so its count does not decide its life.
class MessageFilter final : public UnownedComObject<IMessageFilter> {
public:
    explicit MessageFilter(ExitRequests exits) : exits_(std::move(exits)) {}

    // The program serves no calls of its own; any that come are taken.
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
        return SERVERCALL_ISHANDLED;
    }

    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD elapsedMs, DWORD rejectType) override {
        const WatchedCall* call = WatchedCall::current();
        return retryRejectedAnswer(rejectType, elapsedMs, call != nullptr ? call->busyLimitMs_ : 0);
    }

    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD elapsedMs, DWORD) override {
        WatchedCall* call = WatchedCall::current();
        if (call != nullptr)
            elapsedMs = static_cast<DWORD>(std::min<ULONGLONG>(GetTickCount64() - call->started_, MAXDWORD));
        if (call != nullptr && (call->cancelledForLimit_ || call->cancelledForExit_)) {
            // Cancelled before, and COM still waits: after a second, the
            // call's own transport is cancelled too.
            if (GetTickCount64() - call->cancelledAt_ >= kTransportCancelAfterMs)
                cancelRemoteCallsOfOtherThreads();
            return PENDINGMSG_CANCELCALL;
        }
        switch (pendingAction(exitQueued(), elapsedMs, call != nullptr ? call->callLimitMs_ : 0)) {
        case PendingAction::EndProgram:
            if (call != nullptr) {
                call->cancelledForExit_ = true;
                call->cancelledAt_ = GetTickCount64();
            }
            // Ends the process at once; a platform that only observes the
            // end (the tests') raises instead, and the call is given up: the
            // thread is nudged again soon in case COM goes on waiting.
            try {
                if (exits_.end)
                    exits_.end();
            } catch (...) {
            }
            NudgeTimer::forThisThread().arm(1);
            return PENDINGMSG_CANCELCALL;
        case PendingAction::CancelCall:
            call->cancelledForLimit_ = true;
            call->cancelledAt_ = GetTickCount64();
            return PENDINGMSG_CANCELCALL;
        case PendingAction::Wait:
            break;
        }
        // COM goes on dispatching what keeps the windows painted.
        return PENDINGMSG_WAITDEFPROCESS;
    }

private:
    bool exitQueued() const {
        return exitRequestQueued(exits_.mainWindow ? exits_.mainWindow() : nullptr, exits_.commands);
    }

    ExitRequests exits_;
};

MessageFilterScope::MessageFilterScope(ExitRequests exits)
    : filter_(std::make_unique<MessageFilter>(std::move(exits))) {
    registered_ = SUCCEEDED(CoRegisterMessageFilter(filter_.get(), previous_.GetAddressOf()));
}

MessageFilterScope::~MessageFilterScope() {
    if (registered_)
        CoRegisterMessageFilter(previous_.Get(), nullptr);
}
