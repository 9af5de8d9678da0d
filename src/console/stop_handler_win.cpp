#include "console/stop_handler_win.h"

#include "console/command_line.h"
#include "console/console_io_win.h"
#include "console/console_text.h"
#include "console/stop_request.h"

#include <atomic>

namespace {
std::atomic<StopRequest*> stopRequest{nullptr};
} // namespace

StopHandlerScope::StopHandlerScope(StopRequest& request) {
    stopRequest = &request;
    // A process started in a new process group begins with Ctrl+C ignored;
    // a scheduled or scripted run should still stop when asked.
    SetConsoleCtrlHandler(nullptr, FALSE);
    SetConsoleCtrlHandler(consoleControlHandler, TRUE);
}

StopHandlerScope::~StopHandlerScope() {
    SetConsoleCtrlHandler(consoleControlHandler, FALSE);
    stopRequest = nullptr;
}

BOOL WINAPI consoleControlHandler(DWORD event) {
    StopRequest* request = stopRequest.load();
    if (request == nullptr || (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT))
        return FALSE; // closing the console, logging off: the system's own handling
    if (request->interrupt() == StopRequest::Action::StopAfterDocument) {
        StandardStream(GetStdHandle(STD_ERROR_HANDLE)).write(std::string(kStopNotice) + "\r\n");
        return TRUE;
    }
    // At once: the main thread may be inside a call to WordPerfect, so the
    // process does not wait for it or for any library's clean-up. Each row
    // of the report is on the disk already.
    TerminateProcess(GetCurrentProcess(), ExitCode::Incomplete);
    return TRUE;
}
