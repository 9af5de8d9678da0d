// One piece of the console program in a process of its own:
//   hold READY RELEASE  takes the batch lock, sets the event READY, holds it until RELEASE is set
//   try                 tries to take the batch lock
//     (both exit with 0 when they got the lock, 4 when another batch holds it)
//   interrupt event|call  installs the stop handler and interrupts itself twice: Ctrl+C through
//                         its console, or the handler called with Ctrl+C, then Ctrl+Break; writes
//                         "stop requested" after the first. Exit code 1: the second ended it;
//                         10: the first never arrived; 11: the second did not end it
//   write FILE          writes a line to its console and puts what the console shows into FILE
//   ctrl-c PID          presses Ctrl+C on the console of the process PID (exit code 0 when sent)
#include "console/command_line.h"
#include "console/console_io_win.h"
#include "console/stop_handler_win.h"
#include "console/stop_request.h"
#include "platform/batch_lock_win.h"
#include "platform/wide_win.h"

#include <windows.h>

#include <cwchar>
#include <string>

namespace {

constexpr int kNotDelivered = 10;
constexpr int kNotEnded = 11;

int hold(const wchar_t* ready, const wchar_t* release) {
    const BatchLock lock = BatchLock::tryTake();
    const UniqueHandle readyEvent(OpenEventW(EVENT_MODIFY_STATE, FALSE, ready));
    const UniqueHandle releaseEvent(CreateEventW(nullptr, TRUE, FALSE, release));
    SetEvent(readyEvent.get());
    if (!lock)
        return ExitCode::AnotherBatch;
    WaitForSingleObject(releaseEvent.get(), 60000);
    return ExitCode::Success;
}

bool waitFor(const StopRequest& request) {
    for (int i = 0; i < 500 && !request.requested(); ++i)
        Sleep(20);
    return request.requested();
}

int interrupt(const std::wstring& how) {
    StopRequest request;
    const StopHandlerScope handler(request);
    // Wine generates no Ctrl+Break on a console (GenerateConsoleCtrlEvent
    // fails for it): through the console both interruptions are Ctrl+C.
    const auto send = [&how](DWORD event) {
        if (how == L"event")
            GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
        else
            consoleControlHandler(event);
    };
    send(CTRL_C_EVENT);
    if (!waitFor(request))
        return kNotDelivered;
    StandardStream(GetStdHandle(STD_OUTPUT_HANDLE)).write("stop requested\r\n");
    send(CTRL_BREAK_EVENT);
    Sleep(10000);
    return kNotEnded;
}

int write(const wchar_t* file) {
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    StandardStream stream(output);
    CONSOLE_SCREEN_BUFFER_INFO before{};
    GetConsoleScreenBufferInfo(output, &before);
    const std::string line =
        "\xCE\xAD\xCE\xB3\xCE\xB3\xCF\x81\xCE\xB1\xCF\x86\xCE\xB1 \xE6\x96\x87\xE4\xBB\xB6";
    const bool written = stream.write(line + "\r\n");
    std::wstring shown(32, L'\0');
    DWORD read = 0;
    ReadConsoleOutputCharacterW(output, shown.data(), static_cast<DWORD>(shown.size()),
                                COORD{0, before.dwCursorPosition.Y}, &read);
    shown.resize(read);
    while (!shown.empty() && shown.back() == L' ')
        shown.pop_back();
    const std::string report = std::string("console=") + (stream.toConsole() ? "1" : "0") +
                               " written=" + (written ? "1" : "0") + "\n" + narrow(shown) + "\n";
    const UniqueHandle out(
        CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD done = 0;
    WriteFile(out.get(), report.data(), static_cast<DWORD>(report.size()), &done, nullptr);
    return ExitCode::Success;
}

// Another process's console is reached by leaving this one's and attaching
// to it; this process ignores the event it sends to everyone on it.
int pressCtrlC(DWORD process) {
    FreeConsole();
    if (!AttachConsole(process))
        return kNotDelivered;
    SetConsoleCtrlHandler(nullptr, TRUE);
    return GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0) ? 0 : kNotDelivered;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"hold" && argc == 4)
        return hold(argv[2], argv[3]);
    if (mode == L"try")
        return BatchLock::tryTake() ? ExitCode::Success : ExitCode::AnotherBatch;
    if (mode == L"interrupt" && argc == 3)
        return interrupt(argv[2]);
    if (mode == L"write" && argc == 3)
        return write(argv[2]);
    if (mode == L"ctrl-c" && argc == 3)
        return pressCtrlC(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)));
    return 100;
}
