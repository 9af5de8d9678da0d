// What a person learns of a run while it goes on and after it: the progress in
// the status bar and on the taskbar button, why a document failed, and the
// rows as text to paste elsewhere.
#include "e2e_support.h"

#include "platform/wide_win.h"
#include "ui/Form1_ids.h"
#include "ui/Form2_ids.h"

#include <commctrl.h>
#include <gmock/gmock.h>

namespace {

using Lines = std::vector<std::string>;
using ::testing::StartsWith;

// Chooses "Copy" in the context menu once it shows.
bool chooseCopy() {
    for (HWND menu : threadWindows(L"#32768")) {
        HMENU items = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
        wchar_t text[32] = {};
        if (!IsWindowVisible(menu) || items == nullptr || !GetMenuStringW(items, 0, text, 32, MF_BYPOSITION))
            continue;
        if (std::wstring(text) != L"Copy")
            return false;
        PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
        return true;
    }
    return false;
}

TEST_F(EndToEnd, ABatchShowsHowFarItIsWhyADocumentFailedAndCopiesItsRows) {
    const std::string a = document("a.wpd", "one");
    const std::string greek = document("\xCE\xB1.wpd", "two");
    const std::string chinese = document("\xE4\xB8\xAD.wpd", "three");
    storeMacro(macro("slow.wcm", "Playing 300\r\n")); // the batch yields in every document
    standin.fail("FileSave:4:Disk is full");          // the second document's save into the target
    startCoordinator();
    auto steps = pickFolders(source, target);
    steps.push_back(press(batchDocuments, IDC_BD_COMMAND1));
    steps.push_back([&] {
        windows.Form2().updateList(); // as its next update would
        return statusText(0) == "Document 3 of 3: 2 done, 1 converted, 1 failed";
    });
    Script user(std::move(steps));
    menu(IDM_BATCH);
    ASSERT_TRUE(user.finished()) << statusText(0);
    // The last text shows at once, without waiting for the list's next update.
    EXPECT_THAT(statusText(0), StartsWith("3 documents: 2 converted, 1 failed, in "));
    ASSERT_EQ(shownRows(), (Lines{chinese + "|Converted", greek + "|Failed", a + "|Converted"}));
    ASSERT_GE(taskbar.calls.size(), 3u);
    EXPECT_EQ(Lines(taskbar.calls.begin(), taskbar.calls.begin() + 2), (Lines{"normal", "0/3"}));
    EXPECT_EQ(taskbar.calls.back(), "none");
    EXPECT_NE(std::find(taskbar.calls.begin(), taskbar.calls.end(), "error"), taskbar.calls.end());

    HWND list = windows.Form2().listView();
    const std::string reason = "Disk is full";
    const std::string greekRow = greek + "\tFailed\t" + reason + "\r\n";
    EXPECT_EQ(rowTip(1), reason);
    EXPECT_EQ(rowTip(0), "untouched") << "a converted row keeps the list's own tip";
    selectRow(1);
    EXPECT_EQ(statusText(1), reason);
    pressControlC(list);
    EXPECT_EQ(clipboardText(), greekRow);
    selectRow(0);
    EXPECT_EQ(statusText(1), "");

    selectRow(-1);
    ScriptedUser user2(chooseCopy);
    SendMessageW(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), -1); // Shift+F10
    EXPECT_TRUE(user2.done());
    EXPECT_EQ(clipboardText(), chinese + "\tConverted\t\r\n" + greekRow + a + "\tConverted\t\r\n");
}

} // namespace
