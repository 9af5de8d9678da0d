#include "ui/run_program.h"

#include "platform/file_services_win.h"
#include "platform/handles_win.h"
#include "platform/message_filter_win.h"
#include "platform/platform_win.h"
#include "platform/settings_win.h"
#include "ui/program_windows.h"

#include <windows.h>

#include <commctrl.h>

namespace {

// True when a window of this thread is on screen.
bool anyWindowShown() {
    bool shown = false;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM found) -> BOOL {
            if (!IsWindowVisible(window))
                return TRUE;
            *reinterpret_cast<bool*>(found) = true;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&shown));
    return shown;
}

} // namespace

int runProgram(const std::function<void(General::Services&)>& adjust) {
    const ComInitScope com = initializeCom(COINIT_APARTMENTTHREADED);
    if (!com)
        return 1;
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    useSystemCollation();

    Win32Platform platform;
    ProgramForms windows;
    Win32FileServices files;
    RegistrySettingsStore settings;
    General::Services services{&platform, &windows, &files, &settings};
    if (adjust)
        adjust(services);
    General::install(services);
    // Before the server is reached: a busy server's refusals are retried and
    // an exit request is seen while a call waits.
    const MessageFilterScope messageFilter(windows.exitRequests());
    try {
        General::Main();
    } catch (const ProgramEnded&) {
        throw; // ended by a platform that cannot end the process
    } catch (...) {
        General::ReportUnexpectedFailure(std::current_exception());
        // With nothing on screen the user could neither see nor end the
        // program: it ends here. Once the main window is up it goes on.
        if (!anyWindowShown()) {
            General::reset(); // the services go with this function
            return 1;
        }
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        dispatchMessage(&msg);
    General::End(); // ends the process
    return 0;
}
