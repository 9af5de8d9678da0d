// Drives the real tarnwick.exe from another process the way a person would:
// Quick Start -> "BatchDocuments" -> source and target chosen in the folder
// browser -> "Start" -> the batch runs -> the macro dialog is left with
// "Cancel". It takes a screenshot of the screen at each step, prints the
// result list as text, and closes the program.
//
// Usage: demo_driver TARNWICK_EXE SOURCE_FOLDER TARGET_FOLDER SHOTS_FOLDER
#include "ui/Form1_ids.h"
#include "ui/Form3_ids.h"
#include "ui/frmMacroSelect_ids.h"

#include "remote_ui.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using remote::macroDialog;
using remote::press;
using remote::waitFor;

HANDLE program = nullptr;
std::wstring shots;
int shotNumber = 0;

void fail(const char* what) {
    std::fprintf(stderr, "demo: %s\n", what);
    if (program != nullptr) {
        DWORD code = 0;
        GetExitCodeProcess(program, &code);
        if (code != STILL_ACTIVE)
            std::fprintf(stderr, "demo: the program had ended with exit code %lu\n", code);
        EnumWindows(
            [](HWND hwnd, LPARAM) -> BOOL {
                if (IsWindowVisible(hwnd))
                    std::fprintf(stderr, "demo: a window is shown: %ls \"%ls\"\n", className(hwnd).c_str(),
                                 windowText(hwnd).c_str());
                return TRUE;
            },
            0);
        TerminateProcess(program, 1);
    }
    std::exit(1);
}

// The screen as the person sees it, saved as a bitmap file.
void screenshot(const wchar_t* name) {
    Sleep(700); // let the windows finish drawing
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) & ~3u);
    const DWORD size = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + size;
    wchar_t path[MAX_PATH];
    swprintf(path, MAX_PATH, L"%ls\\%02d-%ls.bmp", shots.c_str(), ++shotNumber, name);
    HANDLE out = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(out, &file, sizeof file, &written, nullptr);
    WriteFile(out, &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr);
    WriteFile(out, bits, size, &written, nullptr);
    CloseHandle(out);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

void chooseFolder(const std::wstring& folder) {
    try {
        if (!remote::chooseFolder(program, folder))
            fail("the folder browser did not appear");
    } catch (const std::exception& e) {
        fail(e.what());
    }
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: demo_driver TARNWICK_EXE SOURCE TARGET SHOTS\n");
        return 2;
    }
    const std::wstring exe = argv[1], source = argv[2], target = argv[3];
    shots = argv[4];

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        fail("could not start tarnwick.exe");
    program = process.hProcess;
    CloseHandle(process.hThread);

    // The first start in a new Wine prefix prepares its fonts and desktop
    // first, which can take a while.
    HWND quick = nullptr;
    const ULONGLONG started = GetTickCount64();
    if (!waitFor([&] { return (quick = remote::shownDialog(L"Quick Start")) != nullptr; }, 90000))
        fail("Quick Start did not appear");
    std::printf("demo: the program was ready after %.1f s\n",
                static_cast<double>(GetTickCount64() - started) / 1000.0);
    screenshot(L"quick-start");
    press(quick, IDC_QS_BTNBATCH);

    HWND batch = nullptr;
    if (!waitFor([&] { return (batch = remote::shownDialog(L"Batch Documents")) != nullptr; }))
        fail("Batch Documents did not appear");
    screenshot(L"batch-documents");
    press(batch, IDC_BTNSOURCE);
    chooseFolder(source);
    if (!waitFor([&] { return windowText(GetDlgItem(batch, IDC_TXTSRCFOLDER)) == source; }))
        fail("the source folder was not taken");
    press(batch, IDC_BTNTARGET);
    chooseFolder(target);
    if (!waitFor([&] { return windowText(GetDlgItem(batch, IDC_TXTTGTFOLDER)) == target; }))
        fail("the target folder was not taken");
    screenshot(L"folders-chosen");
    press(batch, IDC_BD_COMMAND1);

    // The batch runs inside "Start"; then start-up shows the macro dialog.
    HWND macro = nullptr;
    if (!waitFor([&] { return (macro = macroDialog()) != nullptr; }, 600000))
        fail("the batch did not end");
    screenshot(L"batch-done-macro-dialog");
    press(macro, IDC_MS_BTNCANCEL);

    HWND main = FindWindowW(L"TarnwickForm2", L"Tarnwick");
    if (main == nullptr)
        fail("the main window is gone");
    HWND list = FindWindowExW(main, nullptr, WC_LISTVIEWW, nullptr);
    waitFor([&] { return macroDialog() == nullptr; }, 10000);
    screenshot(L"main-window-after-batch");

    std::vector<std::wstring> rows;
    try {
        rows = remote::resultRows(program, list);
    } catch (const std::exception& e) {
        fail(e.what());
    }
    std::printf("Result list (File Name:  Status:)\n");
    for (const auto& row : rows) {
        const int n = WideCharToMultiByte(CP_UTF8, 0, row.c_str(), -1, nullptr, 0, nullptr, nullptr);
        std::string utf8(static_cast<std::size_t>(n), '\0');
        WideCharToMultiByte(CP_UTF8, 0, row.c_str(), -1, utf8.data(), n, nullptr, nullptr);
        std::printf("  %s\n", utf8.c_str());
    }
    std::fflush(stdout);

    PostMessageW(main, WM_CLOSE, 0, 0); // closing the main window ends the program
    if (WaitForSingleObject(program, 20000) != WAIT_OBJECT_0)
        fail("the program did not end when its main window was closed");
    CloseHandle(program);
    return 0;
}
