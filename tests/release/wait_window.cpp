// Waits for a top-level window of another process, by class and title, and
// reports what it found; then closes that window's program, for the release
// tests, which start the packaged program and look at it from outside.
// Usage: wait_window CLASS TITLE SECONDS [--close|--keep]
// Prints "found: class=... title=... pid=N visible=1 program=PATH" and exits 0 when a
// visible window was found in time, else prints "not found: ..." and exits 1.
// --close (the default) posts WM_CLOSE to the window and ends the process if
// it is still there five seconds later (its start-up dialogs may be modal).
#include "platform/wide_win.h"
#include "platform/window_text_win.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

// The full path of the program that owns the window, so the tests can tell
// which copy of the program they saw.
std::wstring programPath(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process)
        return L"?";
    wchar_t buffer[MAX_PATH * 2] = {};
    DWORD size = MAX_PATH * 2;
    std::wstring path =
        QueryFullProcessImageNameW(process, 0, buffer, &size) ? std::wstring(buffer, size) : L"?";
    CloseHandle(process);
    return path;
}

bool endProgram(HWND hwnd, DWORD pid) {
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
    PostMessageW(hwnd, WM_CLOSE, 0, 0);
    if (!process)
        return false;
    bool ended = WaitForSingleObject(process, 5000) == WAIT_OBJECT_0;
    if (!ended) {
        std::printf("closing: the program did not end on WM_CLOSE; terminating it\n");
        ended = TerminateProcess(process, 0) && WaitForSingleObject(process, 5000) == WAIT_OBJECT_0;
    }
    CloseHandle(process);
    return ended;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: wait_window CLASS TITLE SECONDS [--close|--keep]\n");
        return 2;
    }
    const std::wstring wantedClass = argv[1];
    const std::wstring wantedTitle = argv[2];
    const double seconds = std::wcstod(argv[3], nullptr);
    const bool close = argc < 5 || std::wcscmp(argv[4], L"--keep") != 0;

    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000.0);
    HWND found = nullptr;
    do {
        HWND hwnd = FindWindowW(wantedClass.c_str(), wantedTitle.c_str());
        if (hwnd && IsWindowVisible(hwnd)) {
            found = hwnd;
            break;
        }
        Sleep(200);
    } while (GetTickCount64() < deadline);

    if (!found) {
        HWND hidden = FindWindowW(wantedClass.c_str(), nullptr);
        std::printf(
            "not found: no visible window of class %s titled \"%s\" within %g s%s%s\n",
            narrow(wantedClass).c_str(), narrow(wantedTitle).c_str(), seconds,
            hidden ? "; a window of that class is there, titled " : "",
            hidden ? ("\"" + narrow(windowText(hidden)) + "\"" + (IsWindowVisible(hidden) ? "" : " (hidden)"))
                         .c_str()
                   : "");
        std::fflush(stdout);
        return 1;
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(found, &pid);
    std::printf("found: class=%s title=\"%s\" pid=%lu visible=%d program=%s\n",
                narrow(className(found)).c_str(), narrow(windowText(found)).c_str(),
                static_cast<unsigned long>(pid), IsWindowVisible(found) ? 1 : 0,
                narrow(programPath(pid)).c_str());
    std::fflush(stdout);
    if (close) {
        if (!endProgram(found, pid)) {
            std::printf("closing: the program of window pid=%lu could not be ended\n",
                        static_cast<unsigned long>(pid));
            return 1;
        }
        std::printf("closed: pid=%lu ended\n", static_cast<unsigned long>(pid));
    }
    return 0;
}
