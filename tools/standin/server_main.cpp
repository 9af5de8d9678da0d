// The local server: COM starts standin-server.exe with -Embedding; it
// registers its class factory, serves calls on its one apartment thread
// and ends when the last object and the last lock are gone.
#include "module.h"
#include "perfect_script.h"
#include "platform/handles_win.h"
#include "platform/unowned_com_win.h"
#include "settings.h"
#include "standin_ids.h"

#include <windows.h>

#include <tlhelp32.h>

#include <cwchar>
#include <string>

namespace {

DWORD mainThread = 0;
bool served = false;
DWORD cookie = 0;

void endLoop() {
    PostThreadMessageW(mainThread, WM_QUIT, 0, 0);
}

bool startedByCom(const wchar_t* commandLine) {
    for (const wchar_t* flag : {L"-Embedding", L"/Embedding"})
        if (std::wcsstr(commandLine, flag) != nullptr)
            return true;
    return false;
}

// A server started by COM for a client that is gone by the time it is up
// would otherwise wait forever.
constexpr UINT kUnusedTimeoutMs = 60'000;
// How often the server looks whether the process that started it is there.
constexpr UINT kClientCheckMs = 500;

// The process that started this one. Wine starts a local server from its
// first client's process; when that client ends without releasing its
// objects (the program lets its object go without a call when it ends),
// Wine's COM never releases them, while Windows' does after a while. So
// the server ends when its starter has. On Windows the starter is COM's
// launcher, which does not end.
UniqueHandle starter;

UniqueHandle openStartingProcess() {
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    const DWORD self = GetCurrentProcessId();
    for (BOOL more = snapshot && Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry))
        if (entry.th32ProcessID == self)
            return UniqueHandle(OpenProcess(SYNCHRONIZE, FALSE, entry.th32ParentProcessID));
    return {};
}

// IDispatch::Invoke's place in the interface (after IUnknown's three
// methods, GetTypeInfoCount, GetTypeInfo and GetIDsOfNames).
constexpr WORD kInvokeMethod = 6;

// The server's own message filter: while the object has made the server
// busy, it refuses incoming Invoke calls; a filter sees the interface and
// the method number only, not the command's name.
class BusyFilter final : public UnownedComObject<IMessageFilter> {
public:
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO call) override {
        if (standin::refusingEveryCall())
            return SERVERCALL_REJECTED;
        if (call == nullptr || call->iid != IID_IDispatch || call->wMethod != kInvokeMethod)
            return SERVERCALL_ISHANDLED;
        if (const auto journal = standin::takeRefusal()) {
            standin::appendLine(*journal, "rejected\n");
            return SERVERCALL_REJECTED;
        }
        return SERVERCALL_ISHANDLED;
    }
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override { return static_cast<DWORD>(-1); }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITDEFPROCESS; }
};

BusyFilter busyFilter;

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    if (commandLine == nullptr || !startedByCom(commandLine))
        return 2;
    const ComInitScope com = initializeCom(COINIT_APARTMENTTHREADED);
    if (!com)
        return 1;
    mainThread = GetCurrentThreadId();
    // Every server process starts its journal's part with its process id,
    // so that a reader sees how many servers served.
    standin::appendLine(readJournalSetting(),
                        "ServerStarted\t" + std::to_string(GetCurrentProcessId()) + "\n");
    standin::onModuleIdle([] {
        served = true;
        endLoop();
    });
    standin::onWithdrawClass([] {
        if (cookie != 0)
            CoRevokeClassObject(cookie);
        cookie = 0;
    });
    CoRegisterMessageFilter(&busyFilter, nullptr);
    if (FAILED(CoRegisterClassObject(kStandinClsid, standin::classFactory(), CLSCTX_LOCAL_SERVER,
                                     REGCLS_MULTIPLEUSE, &cookie)))
        return 1;
    const UINT_PTR timer = SetTimer(nullptr, 0, kUnusedTimeoutMs, nullptr);
    // Runs in any message loop of the thread, a hung call's included.
    starter = openStartingProcess();
    // A WordPerfect its user closed: the server ends after a while without
    // a call, its class withdrawn first, as at any end. The setting is read
    // as it is now, so that a test may set it once a batch is over.
    SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) {
        const ULONGLONG quitMs = readQuitSetting();
        if (quitMs != 0 && GetTickCount64() - standin::lastCallTick() >= quitMs) {
            markSpent(L"Quit"); // the WordPerfect started again is not closed again
            standin::withdrawClass();
            ExitProcess(0);
        }
    });
    SetTimer(nullptr, 0, kClientCheckMs, [](HWND, UINT, UINT_PTR, DWORD) {
        if (starter && WaitForSingleObject(starter.get(), 0) == WAIT_OBJECT_0) {
            standin::withdrawClass();
            ExitProcess(0);
        }
    });
    while (true) {
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (msg.message == WM_TIMER && msg.hwnd == nullptr && msg.wParam == timer) {
                KillTimer(nullptr, timer);
                if (standin::moduleLocks() == 0 && !served)
                    break;
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        standin::withdrawClass();
        // A client that asked for an object just before the class was
        // withdrawn still holds it: serve it to the end.
        if (standin::moduleLocks() == 0)
            break;
        if (FAILED(CoRegisterClassObject(kStandinClsid, standin::classFactory(), CLSCTX_LOCAL_SERVER,
                                         REGCLS_MULTIPLEUSE, &cookie)))
            cookie = 0;
    }
    return 0;
}
