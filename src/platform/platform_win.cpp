#include "platform/platform_win.h"

#include "base/result_list.h"
#include "platform/automation_win.h"
#include "platform/handles_win.h"
#include "platform/paths_win.h"
#include "platform/wide_win.h"

#include <windows.h>

#include <shlobj.h>
#include <timeapi.h>

#include <algorithm>
#include <vector>

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace {
std::vector<HWND>& modelessDialogs() {
    static std::vector<HWND> dialogs;
    return dialogs;
}
} // namespace

void addModelessDialog(HWND dialog) {
    removeModelessDialog(dialog);
    modelessDialogs().push_back(dialog);
}

void removeModelessDialog(HWND dialog) {
    std::erase(modelessDialogs(), dialog);
}

void dispatchMessage(MSG* msg) {
    // A copy: a dialog's own handling may open or close modeless dialogs.
    const std::vector<HWND> dialogs = modelessDialogs();
    for (HWND dialog : dialogs)
        if (IsWindow(dialog) && IsDialogMessageW(dialog, msg))
            return;
    TranslateMessage(msg);
    DispatchMessageW(msg);
}

bool processPendingEvents() {
    MSG msg;
    bool any = false;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Leave the quit request for the event loop that owns it.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return true;
        }
        dispatchMessage(&msg);
        any = true;
    }
    return any;
}

int systemCollation(std::string_view a, std::string_view b) {
    const std::wstring x = widen(a), y = widen(b);
    const int order =
        CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, x.data(), static_cast<int>(x.size()),
                        y.data(), static_cast<int>(y.size()), nullptr, nullptr, 0);
    return order == 0 ? 0 : order - CSTR_EQUAL;
}

void useSystemCollation() {
    setTextCollation(&systemCollation);
}

void waitServingWindows(DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(end - now), QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
        processPendingEvents();
    }
}

Win32Platform::Win32Platform() {
    // A plain Sleep(4) lasts a whole timer tick (15.6 ms by default); the
    // high-resolution timer waits what was asked.
    timer_.reset(
        CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS));
    if (!timer_)
        timeBeginPeriod(1);
}

Win32Platform::~Win32Platform() {
    if (!timer_)
        timeEndPeriod(1);
}

std::shared_ptr<LateBound> Win32Platform::createObject(const std::string& progId, ServerStart start) {
    CallLimits limits;
    limits.createMs =
        1000 * static_cast<DWORD>(start == ServerStart::Cold ? kColdStartSeconds : kRestartSeconds);
    return createAutomationObject(progId, CLSCTX_SERVER, limits);
}

MsgAnswer Win32Platform::messageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                                    MsgButtons buttons) {
    UINT flags = buttons == MsgButtons::YesNo ? MB_YESNO : MB_OK;
    switch (icon) {
    case MsgIcon::None:
        break;
    case MsgIcon::Exclamation:
        flags |= MB_ICONEXCLAMATION;
        break;
    case MsgIcon::Critical:
        flags |= MB_ICONHAND;
        break;
    case MsgIcon::Question:
        flags |= MB_ICONQUESTION;
        break;
    case MsgIcon::Information:
        flags |= MB_ICONINFORMATION;
        break;
    }
    // Modal to the window the user is working in, as the program's own boxes are.
    const int result = MessageBoxW(GetActiveWindow(), widen(text).c_str(), widen(caption).c_str(), flags);
    switch (result) {
    case IDYES:
        return MsgAnswer::Yes;
    case IDNO:
        return MsgAnswer::No;
    default:
        return MsgAnswer::Ok;
    }
}

void Win32Platform::endProgram(int exitCode) {
    ExitProcess(static_cast<UINT>(exitCode));
}

bool Win32Platform::doEvents() {
    return processPendingEvents();
}

void Win32Platform::waitServing(int milliseconds) {
    if (milliseconds <= 0)
        processPendingEvents();
    else
        waitServingWindows(static_cast<DWORD>(milliseconds));
}

void Win32Platform::pause(int milliseconds) {
    if (milliseconds <= 0)
        return;
    if (timer_) {
        LARGE_INTEGER due;
        due.QuadPart = -10000LL * milliseconds; // relative, in 100 ns units
        if (SetWaitableTimer(timer_.get(), &due, 0, nullptr, nullptr, FALSE)) {
            WaitForSingleObject(timer_.get(), INFINITE);
            return;
        }
    }
    // Without the high-resolution timer: sleep most of the time at a 1 ms
    // tick, then wait out the rest against the performance counter.
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    const LONGLONG end = start.QuadPart + frequency.QuadPart * milliseconds / 1000;
    if (milliseconds > 1)
        Sleep(static_cast<DWORD>(milliseconds - 1));
    do {
        QueryPerformanceCounter(&now);
    } while (now.QuadPart < end);
}

std::string Win32Platform::browseForFolder(const std::string& prompt) {
    const std::wstring title = widen(prompt);
    BROWSEINFOW info{};
    info.hwndOwner = nullptr;
    info.pidlRoot = nullptr; // the desktop
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    const UniqueTaskMemory<PIDLIST_ABSOLUTE> item(SHBrowseForFolderW(&info));
    if (!item)
        return "";
    // Room for the longest path the system allows, not just 260 characters.
    std::wstring buffer(kLongestPath, L'\0');
    const BOOL converted =
        SHGetPathFromIDListEx(item.get(), buffer.data(), static_cast<DWORD>(buffer.size()), GPFIDL_DEFAULT);
    if (!converted)
        return "";
    return narrow(buffer.c_str());
}

bool Win32Platform::takeBatchLock() {
    // A run started while one of this program's own runs goes on (a second
    // batch started from a message box's loop) replaces it; it is no other batch.
    if (batchLockTakes_ == 0) {
        batchLock_ = BatchLock::tryTake();
        if (!batchLock_)
            return false;
    }
    ++batchLockTakes_;
    return true;
}

void Win32Platform::releaseBatchLock() {
    if (batchLockTakes_ > 0 && --batchLockTakes_ == 0)
        batchLock_ = BatchLock();
}
