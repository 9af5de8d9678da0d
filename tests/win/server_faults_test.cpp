// A word processor that is busy, hangs or ends: the message filter's
// decisions, and the automation client against the out-of-process stand-in
// that refuses calls, never answers one (while the program may be asked to
// end), or ends in the middle of a call.
#include "base/failure_reasons.h"
#include "core/General.h"
#include "dialog_test_support.h"
#include "platform/automation_win.h"
#include "platform/message_filter_win.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

constexpr DWORD kNoWait = static_cast<DWORD>(-1);
constexpr int kExit = 1003;
constexpr int kOther = 1001;
const std::vector<int> kExits{kExit, 2002};

struct ExitCase {
    QueuedMessage queued;
    bool exits;
};

TEST(MessageFilterDecisions, ExitRequestsAreTheMainWindowsExitsOnly) {
    const ExitCase cases[] = {
        {{WM_COMMAND, kExit, true, 0}, true},
        {{WM_COMMAND, MAKEWPARAM(2002, BN_CLICKED), true, 0}, true}, // the button's command
        {{WM_COMMAND, kOther, true, 0}, false},
        {{WM_COMMAND, kExit, false, 0}, false}, // another window's command of that number
        {{WM_CLOSE, 0, true, 0}, true},
        {{WM_CLOSE, 0, false, 0}, false}, // a dialog closing
        {{WM_SYSCOMMAND, SC_CLOSE, true, 0}, true},
        {{WM_SYSCOMMAND, SC_CLOSE | 2, true, 0}, true}, // the low bits belong to the system
        {{WM_SYSCOMMAND, SC_MINIMIZE, true, 0}, false},
        {{WM_NCLBUTTONDOWN, HTCLOSE, true, 0}, true},
        {{WM_NCLBUTTONUP, HTCAPTION, true, 0}, false},
        {{WM_SYSKEYDOWN, VK_F4, false, 2001}, true}, // Alt+F4 in a control of the main window
        {{WM_SYSKEYDOWN, VK_F4, false, 0}, false},
        {{WM_LBUTTONUP, 0, false, 2002}, true}, // a click on the Exit button
        {{WM_LBUTTONUP, 0, false, 2001}, false},
        {{WM_PAINT, 0, true, 0}, false},
    };
    for (const ExitCase& c : cases)
        EXPECT_EQ(isExitRequest(c.queued, kExits), c.exits)
            << "message " << c.queued.message << " wParam " << c.queued.wParam << " control "
            << c.queued.controlId;
}

// What the queue holds while a call waits, in the order it arrived: an exit
// request is seen behind clicks and keys that ask for something else.
TEST(MessageFilterDecisions, AnExitRequestIsSeenBehindOtherClicksAndKeys) {
    HWND main = CreateWindowExW(0, L"STATIC", L"main", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                nullptr);
    const auto child = [main](int id) {
        return CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 5, 5, main,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    };
    HWND exitButton = child(2002), list = child(kOther);
    HWND dialog = CreateWindowExW(0, L"STATIC", L"dialog", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr); // a modeless dialog's frame
    struct Posted {
        HWND* window;
        UINT message;
        WPARAM wParam;
    };
    const struct {
        const char* what;
        std::vector<Posted> queue;
        bool exits;
    } cases[] = {
        {"a click on the list, then one on Exit",
         {{&list, WM_LBUTTONUP, 0}, {&exitButton, WM_LBUTTONUP, 0}},
         true},
        {"a click on the menu bar, then the close box",
         {{&main, WM_NCLBUTTONDOWN, HTMENU},
          {&main, WM_NCLBUTTONUP, HTMENU},
          {&main, WM_NCLBUTTONDOWN, HTCLOSE}},
         true},
        {"Alt, then F4, in a control",
         {{&list, WM_SYSKEYDOWN, VK_MENU}, {&list, WM_SYSKEYDOWN, VK_F4}},
         true},
        {"a click on another window's frame, then the close box",
         {{&dialog, WM_NCLBUTTONDOWN, HTCAPTION}, {&main, WM_NCLBUTTONDOWN, HTCLOSE}},
         true},
        {"clicks and keys asking for nothing",
         {{&list, WM_LBUTTONUP, 0}, {&main, WM_NCLBUTTONDOWN, HTCAPTION}, {&list, WM_SYSKEYDOWN, VK_MENU}},
         false},
    };
    for (const auto& c : cases) {
        for (const Posted& p : c.queue)
            PostMessageW(*p.window, p.message, p.wParam, 0);
        EXPECT_EQ(exitRequestQueued(main, kExits), c.exits) << c.what;
        MSG msg;
        const bool listClickKept = PeekMessageW(&msg, list, WM_LBUTTONUP, WM_LBUTTONUP, PM_NOREMOVE) != FALSE;
        EXPECT_EQ(listClickKept, c.queue.front().message == WM_LBUTTONUP) << c.what << ": only frame clicks "
                                                                          << "and system keys are dropped";
        EXPECT_EQ(PeekMessageW(&msg, dialog, 0, 0, PM_NOREMOVE) != FALSE, *c.queue.front().window == dialog)
            << c.what << ": another window's messages stay";
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    DestroyWindow(main);
    DestroyWindow(dialog);
}

TEST(MessageFilterDecisions, RetryLaterWaitsUntilTheBusyLimitAndPlainRejectionsAreCancelled) {
    const struct {
        DWORD type, elapsed;
        DWORD answer;
    } cases[] = {
        {SERVERCALL_RETRYLATER, 0, 100},     {SERVERCALL_RETRYLATER, 600, 300},
        {SERVERCALL_RETRYLATER, 9000, 1000}, {SERVERCALL_RETRYLATER, 10000, kNoWait},
        {SERVERCALL_REJECTED, 0, kNoWait},
    };
    for (const auto& c : cases)
        EXPECT_EQ(retryRejectedAnswer(c.type, c.elapsed, 10000), c.answer)
            << c.type << " after " << c.elapsed;
}

TEST(MessageFilterDecisions, AnExitEndsTheProgramAndACallPastItsLimitIsCancelled) {
    EXPECT_EQ(pendingAction(true, 0, 1000), PendingAction::EndProgram);
    EXPECT_EQ(pendingAction(false, 999, 1000), PendingAction::Wait);
    EXPECT_EQ(pendingAction(false, 1000, 1000), PendingAction::CancelCall);
    EXPECT_EQ(pendingAction(false, 5'000'000, 0), PendingAction::Wait) << "0: no limit";
}

// The local stand-in with a journal, short limits, and the program's filter
// registered for a window of the test's that stands for the main window.
struct ServerFaults : ::testing::Test {
    ScratchFolder scratch;
    StandinSettings standin{SettingsChannel::Registry};
    RecordingPlatform platform;
    std::string journal = scratch.path("journal.txt");
    std::vector<DWORD> serversBefore = serverProcesses();
    HWND main = CreateWindowExW(0, L"STATIC", L"main", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                nullptr);
    MessageFilterScope filter{{[this] { return main; }, kExits, [] { General::End(); }}};

    ServerFaults() {
        General::reset();
        General::install({&platform, nullptr, nullptr, nullptr});
        standin.journal(journal);
    }
    ~ServerFaults() override {
        DestroyWindow(main);
        General::reset();
        endServersStartedSince(serversBefore); // a hung one stays while this process lives
    }
    std::shared_ptr<LateBound> server(DWORD busyMs, DWORD callMs) {
        return createAutomationObject("WordPerfect.PerfectScript", CLSCTX_LOCAL_SERVER, {busyMs, callMs});
    }
    std::string playing(LateBound& wp) {
        wp.call("FileOpen", std::vector{byVal(scratch.file("doc.txt", "text"))});
        wp.call("MacroFilePlay", std::vector{byVal(scratch.file("m.wcm", "Playing 50\n"))});
        return toText(wp.get("envMacroPlaying"));
    }
};

TEST_F(ServerFaults, RefusedCallsAreTriedAgainUntilTheServerTakesThem) {
    ASSERT_TRUE(filter.registered());
    standin.set("Busy", "MacroFilePlay:*:3");
    auto wp = server(5000, 60000);
    playing(*wp);
    EXPECT_EQ(wp->get("envDocBlank"), Value{false});
    const auto lines = journalLines(journal);
    ASSERT_EQ(lines.size(), 7u) << ::testing::PrintToString(lines);
    EXPECT_EQ(
        std::vector(lines.begin() + 2, lines.end()),
        (std::vector<std::string>{"rejected", "rejected", "rejected", "envMacroPlaying", "envDocBlank"}))
        << "each command ran once, after the refusals";
}

TEST_F(ServerFaults, AServerBusyBeyondTheLimitFailsTheCallItNeverRan) {
    standin.set("Busy", "MacroFilePlay:1:100000");
    auto wp = server(300, 60000);
    const ULONGLONG from = GetTickCount64();
    const AppError busy = errorOf([&] { playing(*wp); });
    EXPECT_EQ(busy.number(), static_cast<std::uint32_t>(RPC_E_CALL_REJECTED));
    EXPECT_EQ(busy.description(), FailureReason::stayedBusy("envMacroPlaying"));
    EXPECT_GE(GetTickCount64() - from, 300u);
    const auto lines = journalLines(journal);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "envMacroPlaying"), 0);
    EXPECT_GT(std::count(lines.begin(), lines.end(), "rejected"), 3);
}

TEST_F(ServerFaults, ACallNeverAnsweredIsGivenUpAtTheCallLimit) {
    standin.set("Hang", "envMacroPlaying:1");
    auto wp = server(5000, 700);
    const ULONGLONG from = GetTickCount64();
    const AppError hung = errorOf([&] { playing(*wp); });
    const ULONGLONG took = GetTickCount64() - from;
    EXPECT_EQ(hung.number(), static_cast<std::uint32_t>(RPC_E_CALL_CANCELED));
    EXPECT_EQ(hung.description(), FailureReason::didNotAnswer("envMacroPlaying"));
    EXPECT_GE(took, 700u);
    EXPECT_LT(took, 3000u);
    EXPECT_EQ(wp->get("envDocBlank"), Value{false}) << "the server still serves its other calls";
}

TEST_F(ServerFaults, AnExitPostedWhileACallWaitsEndsTheProgramAtOnce) {
    standin.set("Hang", "envMacroPlaying:1");
    auto wp = server(5000, 60000);
    std::thread user([this] {
        Sleep(500);
        PostMessageW(main, WM_COMMAND, kExit, 0); // as the menu item does
    });
    const ULONGLONG from = GetTickCount64();
    EXPECT_THROW(playing(*wp), ProgramEnded);
    const ULONGLONG took = GetTickCount64() - from;
    user.join();
    std::printf("[ figures  ] the exit posted 500 ms into the waiting call ended it after %llu ms\n", took);
    EXPECT_EQ(platform.ended, 1);
    // Wine's COM waits on after the cancel; the transport is cancelled a
    // second later.
    EXPECT_LT(took, 2500u);
}

// Starting a server that takes longer than the creation limit (a maker that
// sleeps stands for it: Wine's activation cannot be delayed reliably).
TEST(ObjectCreation, AServerSlowToStartIsGivenUpAtTheLimitWhileTheThreadsMessagesAreServed) {
    static int ticks;
    ticks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) { ++ticks; });
    HRESULT failure = S_OK;
    const ULONGLONG from = GetTickCount64();
    const auto made = makeOnOwnThread(
        [](Microsoft::WRL::ComPtr<IDispatch>&) {
            Sleep(3000);
            return E_FAIL;
        },
        1000, failure);
    const ULONGLONG took = GetTickCount64() - from;
    KillTimer(nullptr, timer);
    EXPECT_EQ(made, nullptr);
    EXPECT_EQ(failure, HRESULT_FROM_WIN32(ERROR_TIMEOUT));
    EXPECT_GE(took, 1000u);
    EXPECT_LT(took, 2500u);
    EXPECT_GE(ticks, 5) << "the thread's messages were served while it waited";
}

TEST_F(ServerFaults, AServerThatEndsInACallIsReportedGoneAndANewOneServesOnce) {
    standin.set("Exit", "FileOpen:2");
    const std::string document = scratch.file("doc.txt", "text");
    const auto open = [&](LateBound& wp) { wp.call("FileOpen", std::vector{byVal(document)}); };
    auto first = server(5000, 60000);
    open(*first);
    const AppError gone = errorOf([&] { open(*first); });
    EXPECT_TRUE(ServerError::isGone(gone.number())) << std::hex << gone.number();
    EXPECT_EQ(gone.description(), FailureReason::stopped("FileOpen"));

    auto second = server(5000, 60000); // COM starts a new server
    open(*second);
    EXPECT_NO_THROW(open(*second)) << "the exit fired once";
    EXPECT_EQ(serverStarts(journal), 2);
}

} // namespace
