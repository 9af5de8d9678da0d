// The local server: COM starts standin-server.exe with -Embedding; it
// registers its class factory, serves calls on its one apartment thread
// and ends when the last object and the last lock are gone.
#include "module.h"
#include "platform/handles_win.h"
#include "standin_ids.h"

#include <windows.h>

#include <cwchar>

namespace {

DWORD mainThread = 0;
bool served = false;

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

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    if (commandLine == nullptr || !startedByCom(commandLine))
        return 2;
    const ComInitScope com = initializeCom(COINIT_APARTMENTTHREADED);
    if (!com)
        return 1;
    mainThread = GetCurrentThreadId();
    standin::onModuleIdle([] {
        served = true;
        endLoop();
    });
    DWORD cookie = 0;
    if (FAILED(CoRegisterClassObject(kStandinClsid, standin::classFactory(), CLSCTX_LOCAL_SERVER,
                                     REGCLS_MULTIPLEUSE, &cookie)))
        return 1;
    const UINT_PTR timer = SetTimer(nullptr, 0, kUnusedTimeoutMs, nullptr);
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
        CoRevokeClassObject(cookie);
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
