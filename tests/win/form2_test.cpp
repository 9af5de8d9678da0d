// The main window as a person sees it, and its working controls.
#include "base/error.h"
#include "base/late_binding.h"
#include "core/General.h"
#include "core/Mediator.h"
#include "platform/file_services_win.h"
#include "platform/platform_win.h"
#include "platform/wide_win.h"
#include "probe.h"
#include "standin_test_support.h"
#include "ui/Form2_ids.h"
#include "ui/frmMacroSelect_ids.h"
#include "ui/program_windows.h"
#include "ui_helpers.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

// The real platform, except that ending the program is observed, not done,
// and the automation object is whatever the test gives.
class ObservedPlatform : public Win32Platform {
public:
    int ended = 0;
    int exitCode = -1; // of the last end of the program
    std::function<std::shared_ptr<LateBound>()> object;
    std::shared_ptr<LateBound> createObject(const std::string& progId, ServerStart start) override {
        return object ? object() : Win32Platform::createObject(progId, start);
    }
    [[noreturn]] void endProgram(int code) override {
        ++ended;
        exitCode = code;
        throw ProgramEnded{};
    }
};

class Inert : public LateBound {
public:
    Value call(std::string_view, std::span<const Arg>) override { return {}; }
    Value get(std::string_view) override { return Value{false}; }
};

struct MainWindow : ::testing::Test {
    ObservedPlatform platform;
    ProgramForms windows;
    Win32FileServices files;

    MainWindow() {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        General::reset();
        General::install({&platform, &windows, &files});
        platform.object = [] { return std::make_shared<Inert>(); };
    }
    ~MainWindow() override { General::reset(); }

    std::wstring cell(int row, int column) {
        wchar_t buffer[512] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = 512;
        SendMessageW(windows.Form2().listView(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
        return buffer;
    }
    void command(int id) { SendMessageW(windows.Form2().hwnd(), WM_COMMAND, static_cast<WPARAM>(id), 0); }
    void addRow(const std::string& path, const char* status, const std::string& reason = {}) {
        ResultList& rows = windows.Form2().ListView1();
        rows.addRow(path, path);
        rows.insertStatus(path, status, reason);
    }
    void addRows(int count, const std::string& prefix = "C:\\docs\\document ") {
        for (int i = 0; i < count; ++i)
            addRow(prefix + std::to_string(i) + ".wpd", "Converting...");
    }
    // The start-up routine; its two modal dialogs are left with Escape.
    void startProgram() {
        ScriptedUser user(escapeEveryDialog());
        General::Main();
    }
};

std::wstring menuText(HMENU menu, int position) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), text, 128, MF_BYPOSITION);
    return text;
}

TEST_F(MainWindow, ShowsItsCaptionMenusColumnsAndButtons) {
    startProgram();
    Form2& form = windows.Form2();
    HWND hwnd = form.hwnd();
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_EQ(windowText(hwnd), L"Tarnwick");

    HMENU bar = GetMenu(hwnd);
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(GetMenuItemCount(bar), 4);
    const std::vector<std::vector<std::wstring>> expected = {{L"&File", L"Open", L"Close", L"Exit"},
                                                             {L"Settings", L"Macro To Run", L"Extensions..."},
                                                             {L"Tools", L"Batch"},
                                                             {L"About", L"Info"}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(menuText(bar, i), expected[i][0]);
        HMENU sub = GetSubMenu(bar, i);
        ASSERT_EQ(GetMenuItemCount(sub), static_cast<int>(expected[i].size() - 1));
        for (int j = 1; j < static_cast<int>(expected[i].size()); ++j)
            EXPECT_EQ(menuText(sub, j - 1), expected[i][j]);
    }

    HWND list = form.listView();
    EXPECT_TRUE(GetWindowLongPtrW(list, GWL_STYLE) & LVS_REPORT);
    wchar_t heading[64];
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = heading;
    column.cchTextMax = 64;
    ASSERT_TRUE(ListView_GetColumn(list, 0, &column));
    EXPECT_STREQ(heading, L"File Name:");
    ASSERT_TRUE(ListView_GetColumn(list, 1, &column));
    EXPECT_STREQ(heading, L"Status:");

    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, L"MS Sans Serif");
    EXPECT_EQ(font.lfWeight, FW_BOLD);

    HWND exit = GetDlgItem(hwnd, IDC_BTN_EXIT), next = GetDlgItem(hwnd, IDC_NEXT);
    EXPECT_EQ(windowText(exit), L"Exit");
    EXPECT_TRUE(IsWindowVisible(exit));
    EXPECT_EQ(windowText(next), L"Next Document");
    EXPECT_FALSE(IsWindowVisible(next));
    EXPECT_FALSE(IsWindowVisible(form.fileListBox()));
    EXPECT_NE(GetDlgItem(hwnd, IDC_STATUSBAR1), nullptr);
}

// In the order of the user's language without regard to case: accented
// letters beside their plain ones, capitals beside small ones.
TEST_F(MainWindow, RowsAppearDescendingByPathWithTheirNewestStatus) {
    startProgram();
    ResultList& rows = windows.Form2().ListView1();
    for (const char* path :
         {"C:\\docs\\b.wpd", "C:\\docs\\\xCE\xB1.wpd", "C:\\docs\\zebra.wpd", "C:\\docs\\a.wpd",
          "C:\\docs\\\xC3\x89\x63ole.wpd", "C:\\docs\\ecole.wpd", "C:\\docs\\\xC3\xA9\x63ole.wpd"})
        addRow(path, "Converting...");
    rows.insertStatus("C:\\docs\\a.wpd", "Converted");
    windows.Form2().updateList();
    const std::vector<std::wstring> expected = {
        L"\u03B1", L"zebra", L"\u00E9\x63ole", L"\u00C9\x63ole", L"ecole", L"b", L"a"};
    ASSERT_EQ(ListView_GetItemCount(windows.Form2().listView()), static_cast<int>(expected.size()));
    for (int i = 0; i < static_cast<int>(expected.size()); ++i)
        EXPECT_EQ(cell(i, 0), L"C:\\docs\\" + expected[static_cast<std::size_t>(i)] + L".wpd") << i;
    EXPECT_EQ(cell(6, 1), L"Converted");
    EXPECT_EQ(cell(5, 1), L"Converting...");

    // "Close" empties the list; the mode stays what it was.
    General::mediator->StartStateTwo();
    command(IDM_CLOSE);
    // The control catches up within the longest gap between its updates (2 s).
    for (int i = 0; i < 300 && ListView_GetItemCount(windows.Form2().listView()) != 0; ++i) {
        Sleep(10);
        processPendingEvents();
    }
    EXPECT_EQ(ListView_GetItemCount(windows.Form2().listView()), 0);
    EXPECT_EQ(Probe::mode(*General::mediator), Probe::Mode::Batch);
}

TEST_F(MainWindow, TheColumnsFitTheVisibleWidthAndTheStatusesShowWhole) {
    startProgram();
    Form2& form = windows.Form2();
    HWND list = form.listView();
    auto expectFitting = [&](const char* when) {
        SCOPED_TRACE(when);
        RECT inner;
        GetClientRect(list, &inner);
        const int fileName = ListView_GetColumnWidth(list, 0), status = ListView_GetColumnWidth(list, 1);
        EXPECT_FALSE(GetWindowLongPtrW(list, GWL_STYLE) & WS_HSCROLL) << "no horizontal scroll bar";
        EXPECT_LE(fileName + status, inner.right);
        EXPECT_GE(fileName + status, inner.right - 3) << "the columns fill the list";
        EXPECT_GT(status, ListView_GetStringWidth(list, L"Converting...")) << "with room around the text";
        return status;
    };
    expectFitting("empty, at the default size");

    // Hundreds of rows: the vertical scroll bar takes its width.
    ResultList& rows = form.ListView1();
    addRows(400);
    form.updateList();
    EXPECT_TRUE(GetWindowLongPtrW(list, GWL_STYLE) & WS_VSCROLL);
    expectFitting("with a vertical scroll bar");

    // Wide enough for the proportions 17639 : 2470 of a list 20135 wide.
    rows.clear();
    form.updateList();
    SetWindowPos(form.hwnd(), nullptr, 0, 0, 1400, 600, SWP_NOMOVE | SWP_NOZORDER);
    RECT inner;
    GetClientRect(list, &inner);
    EXPECT_EQ(expectFitting("wide, empty again"), MulDiv(inner.right, 2470, 20135));
    EXPECT_EQ(ListView_GetColumnWidth(list, 0), MulDiv(inner.right, 17639, 20135));
}

// Rows of a batch arrive above the one the user selected (the list is
// sorted descending): the selection, the focus, the reason shown and what
// Ctrl+C copies stay with the document the user chose.
TEST_F(MainWindow, TheSelectedRowStaysOnItsDocumentAsRowsAreAddedAboveIt) {
    startProgram();
    Form2& form = windows.Form2();
    HWND list = form.listView();
    addRow("C:\\docs\\b.wpd", "Failed", "Disk is full");
    addRow("C:\\docs\\a.wpd", "Converted");
    form.updateList();
    ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    addRow("C:\\docs\\c.wpd", "Converting...");
    addRow("C:\\docs\\d.wpd", "Converting...");
    form.updateList();
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 2);
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_FOCUSED), 2);
    EXPECT_EQ(ListView_GetSelectedCount(list), 1u);
    EXPECT_EQ(statusBarText(form.statusBar(), 1), "Disk is full");
    pressControlC(list);
    EXPECT_EQ(clipboardText(), "C:\\docs\\b.wpd\tFailed\tDisk is full\r\n");
}

// Sized to the list until the user drags a divider; after that the user's
// widths stay through a batch's rows, and a narrower window takes its room
// from "File Name:" so that "Status:" stays in view.
TEST_F(MainWindow, AColumnTheUserWidenedKeepsItsWidth) {
    startProgram();
    Form2& form = windows.Form2();
    HWND list = form.listView(), header = ListView_GetHeader(list);
    RECT divider{};
    ASSERT_TRUE(Header_GetItemRect(header, 0, &divider));
    const int x = divider.right - 2, y = (divider.top + divider.bottom) / 2, dragged = -80;
    const int fileName = ListView_GetColumnWidth(list, 0), status = ListView_GetColumnWidth(list, 1);
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + dragged / 2, y));
    SendMessageW(header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + dragged, y));
    SendMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(x + dragged, y));
    ASSERT_EQ(ListView_GetColumnWidth(list, 0), fileName + dragged);

    addRows(400); // the rows change, and the vertical scroll bar comes
    form.updateList();
    EXPECT_EQ(ListView_GetColumnWidth(list, 0), fileName + dragged);
    EXPECT_EQ(ListView_GetColumnWidth(list, 1), status);

    RECT window;
    GetWindowRect(form.hwnd(), &window);
    SetWindowPos(form.hwnd(), nullptr, 0, 0, window.right - window.left - 200, window.bottom - window.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    RECT inner;
    GetClientRect(list, &inner);
    EXPECT_EQ(ListView_GetColumnWidth(list, 1), status);
    EXPECT_EQ(ListView_GetColumnWidth(list, 0) + status, inner.right) << "\"Status:\" ends at the scroll bar";
}

// Moved to a monitor of twice the scale: the system tells the window and
// the open dialogs the new resolution, and their fonts and the layout are
// made for it.
TEST_F(MainWindow, AMonitorOfAnotherScaleGetsFontsMadeForIt) {
    startProgram();
    Form2& form = windows.Form2();
    frmMacroSelect& dialog = windows.frmMacroSelect();
    dialog.load();
    const auto fontHeight = [](HWND control) {
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
        return font.lfHeight;
    };
    const UINT dpi = 192;
    RECT place{0, 0, 1440, 960};
    for (HWND window : {form.hwnd(), dialog.hwnd()})
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&place));

    HWND list = form.listView(), exit = GetDlgItem(form.hwnd(), IDC_BTN_EXIT);
    EXPECT_EQ(fontHeight(list), -22) << "8.25 pt";
    EXPECT_EQ(fontHeight(exit), -22);
    EXPECT_EQ(fontHeight(GetDlgItem(dialog.hwnd(), IDC_TXTPATHFILE)), -18) << "6.75 pt";
    RECT button;
    GetWindowRect(exit, &button);
    EXPECT_EQ(button.bottom - button.top, 52) << "26 pixels at 96 dpi";
    EXPECT_GE(ListView_GetColumnWidth(list, 1), ListView_GetStringWidth(list, L"Converting...") + 24)
        << "the status column's padding at the new scale";
}

TEST_F(MainWindow, HiddenFileListHoldsOnlyThePlainFilesOfTheFolder) {
    ScratchFolder folder;
    folder.file("b.wpd", "x");
    folder.file("A.txt");
    folder.file("\xD0\xB6.wpd");
    folder.file("hidden.wpd", "", FILE_ATTRIBUTE_HIDDEN);
    folder.file("system.wpd", "", FILE_ATTRIBUTE_SYSTEM);
    CreateDirectoryW(widen(folder.path("sub.wpd")).c_str(), nullptr);

    FileListBox& files = windows.Form2().FileList();
    files.setPath(folder.folder());
    EXPECT_EQ(files.names(), (std::vector<std::string>{"A.txt", "b.wpd", "\xD0\xB6.wpd"}));
    HWND box = windows.Form2().fileListBox();
    ASSERT_EQ(SendMessageW(box, LB_GETCOUNT, 0, 0), 3);
    wchar_t text[64];
    SendMessageW(box, LB_GETTEXT, 2, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"\u0436.wpd");
    files.setListIndex(1);
    EXPECT_EQ(files.fileName(), "b.wpd");

    EXPECT_THROW(files.setPath(folder.path("missing")), AppError);
    EXPECT_EQ(files.listCount(), 3);
}

TEST_F(MainWindow, ExitButtonMenuAndCloseBoxEndTheProgram) {
    startProgram();
    command(IDC_BTN_EXIT);
    EXPECT_EQ(platform.ended, 1);
    command(IDM_EXIT);
    EXPECT_EQ(platform.ended, 2);
    SendMessageW(windows.Form2().hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(platform.ended, 3);
    EXPECT_EQ(platform.exitCode, 0) << "the user's own end of the program";
}

TEST_F(MainWindow, NextDocumentMakesANewCommandEachTime) {
    startProgram();
    command(IDC_NEXT);
    auto first = Probe::latestCmd2(*General::mediator);
    ASSERT_TRUE(first);
    command(IDC_NEXT);
    EXPECT_NE(Probe::latestCmd2(*General::mediator), first);
}

TEST_F(MainWindow, AFailureInAHandlerIsShownOnceAndTheWindowGoesOn) {
    startProgram();
    General::mediator.reset(); // "Close" now meets a missing coordinator
    SeenMessage seen;
    {
        ScriptedUser user(answerMessageBox(seen));
        command(IDM_CLOSE);
    }
    EXPECT_EQ(seen.caption, L"Tarnwick");
    EXPECT_FALSE(seen.text.empty());
    EXPECT_TRUE(IsWindow(windows.Form2().hwnd()));
}

TEST_F(MainWindow, StartUpWithoutARegisteredServerShowsOneMessageAndNoWindow) {
    platform.object = [] { return Win32Platform{}.createObject("Tarnwick.NoSuchServer", ServerStart::Cold); };
    SeenMessage seen;
    {
        ScriptedUser user(answerMessageBox(seen));
        EXPECT_THROW(General::Main(), ProgramEnded);
    }
    EXPECT_EQ(seen.caption, L"Error!");
    EXPECT_EQ(seen.text, L"Could not find WordPerfect");
    EXPECT_EQ(platform.ended, 1);
    EXPECT_EQ(platform.exitCode, 1);
    EXPECT_TRUE(threadWindows(L"TarnwickForm2").empty());
}

} // namespace
