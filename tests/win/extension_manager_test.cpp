// The extension manager window: its list, its buttons and its message.
#include "dialog_test_support.h"
#include "ui/Form2_ids.h"
#include "ui/frmExtension_ids.h"

namespace {

struct ExtensionManager : DialogTest {
    frmExtension& manager() { return windows.frmExtension(); }
    HWND dialog() { return manager().hwnd(); }
    HWND list() { return GetDlgItem(dialog(), IDC_LSTEXT); }
    std::vector<std::string> entries() { return listEntries(list()); }
    void type(const wchar_t* text) { SetDlgItemTextW(dialog(), IDC_TXTEXTENSION, text); }
    void press(int id) { SendMessageW(dialog(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
};

TEST_F(ExtensionManager, LoadedHiddenWithTheDefaultEntryAndShownModelessFromTheMenu) {
    startCoordinator();
    EXPECT_EQ(entries(), std::vector<std::string>{"wpd"});
    EXPECT_FALSE(IsWindowVisible(dialog()));
    EXPECT_EQ(windowText(dialog()), L"Extension manager");
    EXPECT_EQ(controlText(dialog(), IDC_CMDADDMOVIE), "&Add");
    EXPECT_EQ(controlText(dialog(), IDC_EXT_REMOVE), "&Remove ");
    EXPECT_EQ(controlText(dialog(), IDC_CMDEXIT), "E&xit");
    EXPECT_EQ(controlText(dialog(), IDC_EXT_LABEL2), "Extension:");

    menu(IDM_EXTENSIONS);
    EXPECT_TRUE(IsWindowVisible(dialog()));
    EXPECT_TRUE(IsWindowEnabled(mainWindow())); // not modal
    // Centred on the screen's work area, like the other dialogs.
    MONITORINFO monitor{sizeof monitor, {}, {}, 0};
    GetMonitorInfoW(MonitorFromWindow(dialog(), MONITOR_DEFAULTTONEAREST), &monitor);
    RECT window;
    GetWindowRect(dialog(), &window);
    EXPECT_NEAR((window.left + window.right) / 2, (monitor.rcWork.left + monitor.rcWork.right) / 2, 1);
    EXPECT_NEAR((window.top + window.bottom) / 2, (monitor.rcWork.top + monitor.rcWork.bottom) / 2, 1);
    press(IDC_CMDEXIT);
    EXPECT_FALSE(IsWindowVisible(dialog()));
    EXPECT_TRUE(IsWindow(dialog())); // hidden, not destroyed
}

TEST_F(ExtensionManager, AddTakesTheTextExactlyAsTyped) {
    startCoordinator();
    type(L"");
    press(IDC_CMDADDMOVIE);
    EXPECT_EQ(entries(), std::vector<std::string>{"wpd"}); // nothing, and no message
    for (const wchar_t* text : {L".doc", L"TXT", L"TXT", L" wp "}) {
        type(text);
        press(IDC_CMDADDMOVIE);
    }
    EXPECT_EQ(entries(), (std::vector<std::string>{"wpd", ".doc", "TXT", "TXT", " wp "}));
    EXPECT_EQ(controlText(dialog(), IDC_TXTEXTENSION), " wp "); // the box keeps its text
    EXPECT_EQ(manager().ListCount(), 5);
    EXPECT_EQ(manager().List(1), ".doc");
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(ExtensionManager, RemoveTakesEverySelectedEntryOrSaysNothingWasSelected) {
    startCoordinator();
    for (const wchar_t* text : {L"a", L"b", L"c"}) {
        type(text);
        press(IDC_CMDADDMOVIE);
    }
    std::wstring said;
    {
        Script user({[&] {
            HWND box = dialogCaptioned(L"Tarnwick");
            if (!shown(box))
                return false;
            const auto texts = staticTexts(box);
            said = texts.empty() ? L"" : texts.back();
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            return true;
        }});
        press(IDC_EXT_REMOVE);
        EXPECT_TRUE(user.finished());
    }
    EXPECT_EQ(said, L"You did not select an extension to remove.");
    EXPECT_EQ(entries(), (std::vector<std::string>{"wpd", "a", "b", "c"}));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].icon, MsgIcon::None);

    SendMessageW(list(), LB_SETSEL, TRUE, 0);
    SendMessageW(list(), LB_SETSEL, TRUE, 2);
    press(IDC_EXT_REMOVE);
    EXPECT_EQ(entries(), (std::vector<std::string>{"a", "c"}));
    SendMessageW(list(), LB_SETSEL, TRUE, -1);
    press(IDC_EXT_REMOVE);
    EXPECT_TRUE(entries().empty()); // an empty list is allowed
    EXPECT_EQ(platform.messages.size(), 1u);
}

TEST_F(ExtensionManager, TheCloseBoxHidesItAndKeepsEveryEntry) {
    startCoordinator();
    menu(IDM_EXTENSIONS);
    type(L"txt");
    press(IDC_CMDADDMOVIE);
    HWND closed = dialog();
    SendMessageW(closed, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(IsWindow(closed));
    EXPECT_FALSE(IsWindowVisible(closed));
    EXPECT_EQ(General::forms().frmExtension().ListCount(), 2);
    EXPECT_EQ(manager().List(1), "txt");
    EXPECT_EQ(dialog(), closed);
    EXPECT_TRUE(platform.messages.empty());
}

} // namespace
