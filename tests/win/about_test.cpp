// The About box, its registry reading and the System Information tool, and
// the Quick Start dialog's web link, with the real windows.
#include "core/Mediator.h"
#include "dialog_test_support.h"
#include "platform/handles_win.h"
#include "platform/paths_win.h"
#include "platform/wide_win.h"
#include "standin_test_support.h"
#include "ui/Form2_ids.h"
#include "ui/Form3_ids.h"
#include "ui/frmAbout_ids.h"
#include "ui/web_link.h"

#include <shellapi.h>

namespace {

using AboutBox = DialogTest;

TEST_F(AboutBox, InfoShowsTitleVersionAndCreditWithoutOwnerAndOkDestroysIt) {
    startCoordinator();
    menu(IDM_INFO); // returns at once: the box is not modal
    HWND first = windows.frmAbout().hwnd();
    ASSERT_TRUE(shown(first));
    EXPECT_EQ(GetWindow(first, GW_OWNER), nullptr);
    EXPECT_TRUE(IsWindowEnabled(mainWindow()));
    auto expectTexts = [](HWND box) {
        EXPECT_EQ(windowText(box), L"About Tarnwick");
        EXPECT_EQ(controlText(box, IDC_LBLTITLE), "Tarnwick");
        EXPECT_EQ(controlText(box, IDC_LBLVERSION), "Version 1.0.7");
        EXPECT_EQ(controlText(box, IDC_AB_LABEL6), "Created by: Fenmoor Ruvu");
        EXPECT_EQ(controlText(box, IDC_CMDOK), "OK");
        EXPECT_EQ(controlText(box, IDC_CMDSYSINFO), "&System Info...");
        for (int line : {IDC_AB_LINE1, IDC_AB_LINE2})
            EXPECT_EQ(GetWindowLongPtrW(GetDlgItem(box, line), GWL_STYLE) & SS_TYPEMASK, SS_ETCHEDHORZ);
    };
    expectTexts(first);

    SendMessageW(first, WM_COMMAND, MAKEWPARAM(IDC_CMDOK, BN_CLICKED), 0);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_FALSE(windows.frmAbout().loaded());

    menu(IDM_INFO);
    HWND second = windows.frmAbout().hwnd();
    ASSERT_TRUE(shown(second));
    expectTexts(second);
    // The close box destroys it too.
    SendMessageW(second, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(second));
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(AboutBox, OkIsTheDefaultButtonAndHasTheFocusSoEnterClosesTheBox) {
    startCoordinator();
    menu(IDM_INFO);
    HWND box = windows.frmAbout().hwnd();
    ASSERT_TRUE(shown(box));
    EXPECT_EQ(LOWORD(SendMessageW(box, DM_GETDEFID, 0, 0)), IDC_CMDOK);
    EXPECT_EQ(GetFocus(), GetDlgItem(box, IDC_CMDOK));
    MessageBoxes boxes;
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
    PostMessageW(GetFocus(), WM_KEYUP, VK_RETURN, 0);
    processPendingEvents();
    EXPECT_FALSE(IsWindow(box)) << "Enter pressed OK";
    EXPECT_TRUE(platform.messages.empty()) << boxes.list();
}

TEST_F(AboutBox, TheMainWindowsCloseBoxEndsTheProgramWhileTheBoxIsOpen) {
    startCoordinator();
    menu(IDM_INFO);
    ASSERT_TRUE(shown(windows.frmAbout().hwnd()));
    SendMessageW(mainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(platform.ended, 1);
}

TEST_F(AboutBox, VersionComesFromTheModulesVersionResourceAndTheIconIsThere) {
    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    DWORD ignored = 0;
    EXPECT_GT(GetFileVersionInfoSizeW(module, &ignored), 0u) << "this module carries a version resource";
    EXPECT_EQ(frmAbout::versionText(), "Version 1.0.7");
    EXPECT_NE(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1)), nullptr);
    startCoordinator();
    EXPECT_NE(GetClassLongPtrW(mainWindow(), GCLP_HICON), 0u) << "the main window shows the program's icon";
}

TEST_F(AboutBox, ClickingTheTitleShowsTheCredit) {
    startCoordinator();
    windows.frmAbout().show();
    HWND box = windows.frmAbout().hwnd();
    SeenMessage seen;
    {
        ScriptedUser user(answerMessageBox(seen));
        SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDC_LBLTITLE, STN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, IDC_LBLTITLE)));
        EXPECT_TRUE(user.done());
    }
    EXPECT_TRUE(GetWindowLongPtrW(GetDlgItem(box, IDC_LBLTITLE), GWL_STYLE) & SS_NOTIFY);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].caption, "Tarnwick");
    EXPECT_NE(platform.messages[0].text.find("Fenmoor Ruvu"), std::string::npos);
    EXPECT_NE(platform.messages[0].text.find("2026"), std::string::npos) << "the date of creation";
    EXPECT_EQ(platform.messages[0].text.find('\n'), std::string::npos) << "one line";
    EXPECT_EQ(platform.messages[0].icon, MsgIcon::None);
    EXPECT_EQ(platform.messages[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(seen.text, L"Tarnwick was created by Fenmoor Ruvu in December 2026.");
    EXPECT_TRUE(IsWindow(box)) << "the box stays";
}

struct KeyValues : DialogTest {
    ScratchRegistryKey key;
};

TEST_F(KeyValues, TextNumbersAndOtherTypesAreReadAndFailuresAnswerFalseWithEmptyText) {
    key.writeText("", "text", "C:\\Program Files\\info\\msinfo32.exe");
    key.writeText("", "unterminated", "abc", false);
    key.writeText("", "empty", "");
    key.writeText("", "greek", "\xCE\xB1\xCE\xB2");
    const DWORD number = 4000000000u;
    key.write("", "number", REG_DWORD, &number, sizeof number);
    const BYTE binary[] = {1, 2, 3};
    key.write("", "binary", REG_BINARY, binary, sizeof binary);
    const HKEY root = HKEY_CURRENT_USER;

    std::string value = "before";
    EXPECT_TRUE(frmAbout::GetKeyValue(root, key.path(), "text", value));
    EXPECT_EQ(value, "C:\\Program Files\\info\\msinfo32.exe");
    EXPECT_TRUE(frmAbout::GetKeyValue(root, key.path(), "unterminated", value));
    EXPECT_EQ(value, "abc") << "the last character is kept when it is not a NUL";
    EXPECT_TRUE(frmAbout::GetKeyValue(root, key.path(), "empty", value));
    EXPECT_EQ(value, "");
    EXPECT_TRUE(frmAbout::GetKeyValue(root, key.path(), "greek", value));
    EXPECT_EQ(value, "\xCE\xB1\xCE\xB2");
    EXPECT_TRUE(frmAbout::GetKeyValue(root, key.path(), "number", value));
    EXPECT_EQ(value, "4000000000");

    value = "as given";
    EXPECT_TRUE(frmAbout::GetKeyValue(root, key.path(), "binary", value));
    EXPECT_EQ(value, "as given") << "another type leaves the value alone";

    value = "before";
    EXPECT_FALSE(frmAbout::GetKeyValue(root, key.path(), "missing", value));
    EXPECT_EQ(value, "");
    value = "before";
    EXPECT_FALSE(frmAbout::GetKeyValue(root, key.path() + "\\no such key", "text", value));
    EXPECT_EQ(value, "");

    // Longer than the 1024 characters that are read: a failure.
    key.writeText("", "long", std::string(1500, 'x'));
    value = "before";
    EXPECT_FALSE(frmAbout::GetKeyValue(root, key.path(), "long", value));
    EXPECT_EQ(value, "");
}

struct SystemInformation : DialogTest {
    ScratchRegistryKey key;
    frmAbout::SysInfoRegistry where{HKEY_CURRENT_USER, key.path() + "\\MSINFO", key.path() + "\\Location"};
    ScratchFolder folder;

    // A program that marks its start in "<its path>.started"; it lies beside
    // the test program.
    static std::string markingProgram() {
        wchar_t self[MAX_PATH];
        std::wstring path(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
        return narrow(path.substr(0, path.find_last_of(L'\\') + 1) + L"record_start.exe");
    }
    // A script that writes the words it was started with into a file.
    std::string recorder(const std::string& name, const std::string& record) {
        return folder.file(name, "@echo started[%*]> \"" + record + "\"\r\n");
    }
    // The file's bytes once its line is complete (the started program runs
    // on its own and may still be writing), or what is there after ten seconds.
    static std::string awaitFile(const std::string& path) {
        for (int i = 0; i < 200; ++i) {
            if (fileExists(path) && readBytes(path).ends_with("\r\n"))
                break;
            Sleep(50);
        }
        return fileExists(path) ? readBytes(path) : "";
    }
    std::size_t unavailableMessages() const {
        std::size_t count = 0;
        for (const auto& message : platform.messages) {
            EXPECT_EQ(message.caption, "Tarnwick");
            EXPECT_EQ(message.icon, MsgIcon::None);
            count += message.text == "System Information Is Unavailable At This Time" ? 1 : 0;
        }
        return count;
    }
};

TEST_F(SystemInformation, TheButtonStartsTheProgramTheSystemNamesOrSaysItIsUnavailable) {
    // The system's own locations, emptied for the test and put back after it.
    const frmAbout::SysInfoRegistry system;
    KeySetAside pathKey(system.root, system.pathKey), folderKey(system.root, system.folderKey);
    startCoordinator();
    windows.frmAbout().show();
    HWND box = windows.frmAbout().hwnd();
    {
        MessageBoxes boxes;
        SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDC_CMDSYSINFO, BN_CLICKED), 0);
        EXPECT_EQ(boxes.seen().size(), 1u);
    }
    EXPECT_EQ(unavailableMessages(), 1u);
    EXPECT_EQ(platform.messages.size(), 1u);

    const std::string record = folder.path("started.txt");
    UniqueHkey known;
    ASSERT_EQ(RegCreateKeyExW(system.root, widen(system.pathKey).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, known.put(), nullptr),
              ERROR_SUCCESS);
    const std::wstring program = widen(recorder("msinfo.cmd", record));
    RegSetValueExW(known.get(), L"PATH", 0, REG_SZ, reinterpret_cast<const BYTE*>(program.c_str()),
                   static_cast<DWORD>((program.size() + 1) * sizeof(wchar_t)));
    {
        MessageBoxes boxes;
        SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDC_CMDSYSINFO, BN_CLICKED), 0);
        EXPECT_EQ(awaitFile(record), "started[]\r\n");
    }
    EXPECT_EQ(platform.messages.size(), 1u) << "nothing more said";

    // The same with the locations of a scratch key that has neither.
    MessageBoxes boxes;
    windows.frmAbout().StartSysInfo(where);
    EXPECT_EQ(unavailableMessages(), 2u);
}

TEST_F(SystemInformation, TheProgramPathIsStartedAndTheFolderIsNotConsulted) {
    const std::string record = folder.path("started.txt");
    key.writeText("MSINFO", "PATH", recorder("sys info.cmd", record));
    key.writeText("Location", "MSINFO", folder.folder()); // holds no MSINFO32.EXE
    MessageBoxes boxes;
    windows.frmAbout().StartSysInfo(where);
    EXPECT_TRUE(platform.messages.empty()) << boxes.list();
    EXPECT_EQ(awaitFile(record), "started[]\r\n") << "started, without arguments";

    // A program path that cannot be started is reported.
    key.writeText("MSINFO", "PATH", folder.path("missing.exe"));
    windows.frmAbout().StartSysInfo(where);
    EXPECT_EQ(unavailableMessages(), 1u);
    EXPECT_EQ(platform.messages.size(), 1u);
}

TEST_F(SystemInformation, TheFolderIsUsedWhenItHoldsTheProgram) {
    key.writeText("Location", "MSINFO", folder.folder());
    MessageBoxes boxes;
    windows.frmAbout().StartSysInfo(where);
    EXPECT_EQ(unavailableMessages(), 1u) << "the folder holds no MSINFO32.EXE";

    const std::string program = folder.path("MSINFO32.EXE");
    ASSERT_TRUE(CopyFileW(widen(markingProgram()).c_str(), widen(program).c_str(), FALSE))
        << markingProgram();
    windows.frmAbout().StartSysInfo(where);
    EXPECT_EQ(awaitFile(program + ".started"), "started\r\n");
    EXPECT_EQ(platform.messages.size(), 1u) << "nothing more said: " << boxes.list();
}

// An association of .htm files with a program, removed again at the end:
// for the current user, and where the system reads only the machine's
// classes (as Wine does), there too, unless .htm is already known there.
class HtmAssociation {
public:
    explicit HtmAssociation(const std::string& program) {
        const std::string command = "\"" + program + "\" \"%1\"";
        set(HKEY_CURRENT_USER, "Software\\Classes\\.htm", kProgId);
        set(HKEY_CURRENT_USER, std::string("Software\\Classes\\") + kProgId + "\\shell\\open\\command",
            command);
        UniqueHkey existing;
        if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L".htm", 0, KEY_READ, existing.put()) != ERROR_SUCCESS) {
            machine_ = true;
            set(HKEY_CLASSES_ROOT, ".htm", kProgId);
            set(HKEY_CLASSES_ROOT, std::string(kProgId) + "\\shell\\open\\command", command);
        }
    }
    ~HtmAssociation() {
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Classes\\.htm");
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Classes\\TarnwickTests.htmfile");
        if (machine_) {
            RegDeleteTreeW(HKEY_CLASSES_ROOT, L".htm");
            RegDeleteTreeW(HKEY_CLASSES_ROOT, L"TarnwickTests.htmfile");
        }
    }
    HtmAssociation(const HtmAssociation&) = delete;
    HtmAssociation& operator=(const HtmAssociation&) = delete;

private:
    static constexpr const char* kProgId = "TarnwickTests.htmfile";
    static void set(HKEY root, const std::string& key, const std::string& text) {
        UniqueHkey hkey;
        ASSERT_EQ(RegCreateKeyExW(root, widen(key).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, hkey.put(),
                                  nullptr),
                  ERROR_SUCCESS);
        const std::wstring value = widen(text);
        ASSERT_EQ(RegSetValueExW(hkey.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
    bool machine_ = false;
};

struct WebLink : SystemInformation {
    // The placeholder pages in the temporary folder, full paths.
    static std::vector<std::string> placeholders() {
        const std::string folder = temporaryFolder();
        std::vector<std::string> found;
        for (const std::string& name : namesIn(folder, std::string(kWebLinkPlaceholderPrefix) + "*"))
            found.push_back(folder + name);
        return found;
    }
    static bool systemFindsABrowser() {
        ScratchFolder scratch;
        const std::string page = scratch.file("probe.htm", "x");
        wchar_t program[MAX_PATH + 1] = {};
        return reinterpret_cast<INT_PTR>(FindExecutableW(widen(page).c_str(), nullptr, program)) > 32;
    }

    // Clicks the link of the Quick Start dialog and then its Cancel; what
    // the placeholder held while a message was up is kept.
    void clickLinkInQuickStart(bool expectMessage) {
        startCoordinator();
        HWND quick = windows.Form3().hwnd();
        Script user({
            [&] {
                if (!shown(quick))
                    return false;
                click(quick, IDC_QS_LABEL3, STN_CLICKED);
                return true;
            },
            [&] {
                if (expectMessage) {
                    HWND box = nullptr;
                    for (HWND dialog : threadWindows(L"#32770"))
                        if (isMessageBox(dialog))
                            box = dialog;
                    if (box == nullptr)
                        return false;
                    for (const auto& page : placeholders())
                        contents.push_back(readBytes(page));
                    PostMessageW(box, WM_COMMAND, IDOK, 0);
                    return true;
                }
                // The routine has run once the command is handled and the
                // dialog shows again in front.
                return true;
            },
            [&] {
                for (HWND dialog : threadWindows(L"#32770"))
                    if (isMessageBox(dialog))
                        return false;
                click(quick, IDC_QS_BTNCANCEL);
                return true;
            },
        });
        windows.showQuickStartOwnedByMain();
        EXPECT_TRUE(user.finished());
    }
    std::vector<std::string> contents;
};

TEST_F(WebLink, WithoutAnAssociatedBrowserSaysSoAndLeavesNoPlaceholder) {
    KeySetAside user(HKEY_CURRENT_USER, "Software\\Classes\\.htm"),
        machine(HKEY_LOCAL_MACHINE, "Software\\Classes\\.htm");
    ASSERT_FALSE(systemFindsABrowser()) << "no program for .htm files is left";
    const auto before = placeholders();
    clickLinkInQuickStart(true);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "Could not find associated Browser");
    EXPECT_EQ(platform.messages[0].caption, "Browser Not Found");
    EXPECT_EQ(platform.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(platform.messages[0].buttons, MsgButtons::Ok);
    // While the message was up the placeholder held its one line.
    ASSERT_EQ(contents.size(), before.size() + 1);
    EXPECT_NE(std::find(contents.begin(), contents.end(), "\"<HTML> <\\HTML>\"\r\n"), contents.end());
    EXPECT_EQ(placeholders(), before);
}

TEST_F(WebLink, WithAnAssociatedBrowserStartsItWithTheAddressAndLeavesNoPlaceholder) {
    const std::string record = folder.path("browser.txt");
    HtmAssociation association(recorder("browser.cmd", record));
    ASSERT_TRUE(systemFindsABrowser()) << "the association is seen";
    const auto before = placeholders();
    MessageBoxes boxes;
    clickLinkInQuickStart(false);
    EXPECT_TRUE(platform.messages.empty()) << boxes.list();
    EXPECT_EQ(awaitFile(record), "started[https://tarnwick.example.org/]\r\n");
    EXPECT_EQ(placeholders(), before);
}

TEST_F(WebLink, ATemporaryFolderLongerThanTheShellsLimitStillFindsTheBrowser) {
    // The placeholder's path exceeds the shell's lookup of MAX_PATH characters.
    const std::string record = folder.path("browser.txt");
    HtmAssociation association(recorder("browser.cmd", record));
    TemporaryFolderMoved temp(folderOfLength(folder, 250));
    MessageBoxes boxes;
    clickLinkInQuickStart(false);
    EXPECT_TRUE(platform.messages.empty()) << boxes.list();
    EXPECT_EQ(awaitFile(record), "started[https://tarnwick.example.org/]\r\n");
    EXPECT_TRUE(placeholders().empty());
}

TEST_F(WebLink, ABrowserThatCannotBeStartedIsReported) {
    HtmAssociation association(folder.path("gone.exe"));
    if (!systemFindsABrowser())
        GTEST_SKIP() << "the system does not name a missing program as the browser";
    const auto before = placeholders();
    clickLinkInQuickStart(true);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "Web Page not Opened");
    EXPECT_EQ(platform.messages[0].caption, "URL Failed");
    EXPECT_EQ(platform.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(placeholders(), before);
}

} // namespace
