// Shows one of the program's windows with sample contents and keeps it up,
// so that scripts/screenshots can take its picture from outside. Not part of
// the program: it uses the program's windows over a stand-in for the word
// processor that does nothing.
//
// Usage: show_window NAME RECTFILE, NAME one of main, progress, failed,
// quick-start, batch, macro, extensions, about. The window's screen rectangle is written to
// RECTFILE as "width height left top" once it is shown.
#include "base/late_binding.h"
#include "core/General.h"
#include "core/Mediator.h"
#include "platform/file_services_win.h"
#include "platform/handles_win.h"
#include "platform/platform_win.h"
#include "platform/settings_win.h"
#include "platform/wide_win.h"
#include "ui/Form1_ids.h"
#include "ui/program_windows.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>

namespace {

class Inert : public LateBound {
public:
    Value call(std::string_view, std::span<const Arg>) override { return {}; }
    Value get(std::string_view) override { return Value{false}; }
};

class ShowPlatform : public Win32Platform {
public:
    std::shared_ptr<LateBound> createObject(const std::string&, ServerStart) override {
        return std::make_shared<Inert>();
    }
};

std::wstring rectFile;
HWND pictured = nullptr;

// Writes the pictured window's rectangle a moment after it came up.
void CALLBACK writeRect(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    RECT r{};
    GetWindowRect(pictured, &r);
    if (FILE* f = _wfopen(rectFile.c_str(), L"w")) {
        std::fprintf(f, "%ld %ld %ld %ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
        std::fclose(f);
    }
}

void pictureWhenShown(HWND window) {
    pictured = window;
    SetTimer(nullptr, 0, 1500, &writeRect);
}

// Twelve letters of a batch of 300 go as the main window shows them, one of
// them failing; the twelfth is still converting unless the run was cut
// short there.
void sampleRun(Form2& form, bool cutShort) {
    const char* const months[] = {"january", "february", "march",     "april",   "may",      "june",
                                  "july",    "august",   "september", "october", "november", "december"};
    ResultList& rows = form.ListView1();
    BatchProgress& progress = form.Progress();
    progress.begin(300);
    for (const char* month : months) {
        const std::string path = std::string("C:\\Letters\\2026\\") + month + ".wpd";
        rows.addRow(path, path);
        rows.insertStatus(path, "Converting...");
        progress.started(path);
        if (month == months[11] && !cutShort)
            break;
        const bool fails = month == months[2];
        const std::string reason = fails ? "The document is protected by a password" : "";
        rows.insertStatus(path, fails ? "Failed" : "Converted", reason);
        progress.finished(path, fails ? BatchProgress::Outcome::Failed : BatchProgress::Outcome::Converted,
                          reason);
    }
    if (cutShort)
        progress.end();
    form.updateList();
}

void runLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        dispatchMessage(&msg);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3)
        return 2;
    const std::wstring name = argv[1];
    rectFile = argv[2];
    const ComInitScope com = initializeCom();
    if (!com)
        return 1;
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    ShowPlatform platform;
    ProgramForms windows;
    Win32FileServices files;
    RegistrySettingsStore settings("Software\\Tarnwick Screens");
    General::install({&platform, &windows, &files, &settings});
    General::mediator = std::make_shared<Mediator>();
    General::forms().frmExtension();
    General::mediator->init();
    windows.Form2().show();
    HWND main = windows.Form2().hwnd();
    SetWindowPos(main, nullptr, 40, 30, 720, 480, SWP_NOZORDER);

    // Wine's virtual desktop under Xvfb draws a window that lies wholly within
    // another one black; the small dialogs are pictured beside the main window.
    if (name == L"macro" || name == L"about")
        SetWindowPos(main, nullptr, 560, 20, 720, 480, SWP_NOZORDER);

    if (name == L"main") {
        ResultList& rows = windows.Form2().ListView1();
        for (const char* path : {"C:\\Letters\\2026\\april.wpd", "C:\\Letters\\2026\\may.wpd",
                                 "C:\\Letters\\2026\\june.wpd", "C:\\Letters\\2026\\july.wpd"}) {
            rows.addRow(path, path);
            rows.insertStatus(path, "Converted");
        }
        rows.insertStatus("C:\\Letters\\2026\\july.wpd", "Converting...");
        pictureWhenShown(main);
        runLoop();
    } else if (name == L"progress" || name == L"failed") {
        Form2& form = windows.Form2();
        sampleRun(form, name == L"failed");
        if (name == L"failed") {
            const int row = static_cast<int>(*form.ListView1().indexOf("C:\\Letters\\2026\\march.wpd"));
            SetFocus(form.listView());
            ListView_SetItemState(form.listView(), row, LVIS_SELECTED | LVIS_FOCUSED,
                                  LVIS_SELECTED | LVIS_FOCUSED);
        }
        pictureWhenShown(main);
        runLoop();
    } else if (name == L"quick-start") {
        pictureWhenShown(windows.Form3().hwnd());
        windows.showQuickStartOwnedByMain();
    } else if (name == L"batch") {
        Form1& batch = windows.Form1();
        batch.setSourceFolderText("\\\\server\\archive");
        batch.setTargetFolderText("\\\\server\\converted");
        SendDlgItemMessageW(batch.hwnd(), IDC_CHKSUBFOLDERS, BM_SETCHECK, BST_CHECKED, 0);
        for (const char* document :
             {"board minutes.wpd", "2009\\budget.wpd", "2009\\clients\\jones\\offer.wpd",
              "2009\\clients\\smith\\letter.wpd", "2010\\annual report.wpd"})
            batch.addFoundDocument(document);
        pictureWhenShown(batch.hwnd());
        batch.showModal(nullptr);
    } else if (name == L"macro") {
        frmMacroSelect& macro = windows.frmMacroSelect();
        macro.setPathText("C:\\Macros\\headers and footers.wcm");
        pictureWhenShown(macro.hwnd());
        macro.showModal(main);
    } else if (name == L"extensions") {
        windows.frmExtension().show();
        pictureWhenShown(windows.frmExtension().hwnd());
        runLoop();
    } else if (name == L"about") {
        windows.frmAbout().show();
        pictureWhenShown(windows.frmAbout().hwnd());
        runLoop();
    } else {
        return 2;
    }
    return 0;
}
