// The program's entry point: the services are installed, the start-up
// routine runs, and the program lives on in the main window's event loop.
#include "core/General.h"
#include "platform/file_services_win.h"
#include "platform/message_filter_win.h"
#include "platform/platform_win.h"
#include "platform/settings_win.h"
#include "ui/program_windows.h"

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 1;
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    Win32Platform platform;
    ProgramForms windows;
    Win32FileServices files;
    RegistrySettingsStore settings;
    General::install({&platform, &windows, &files, &settings});
    const MessageFilterScope messageFilter(windows.exitRequests());
    try {
        General::Main();
    } catch (...) {
        General::ReportUnexpectedFailure(std::current_exception());
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        dispatchMessage(&msg);
    platform.endProgram();
}
