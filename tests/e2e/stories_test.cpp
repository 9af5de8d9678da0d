// Stories of a person using the program, end to end.
#include "e2e_support.h"
#include "probe.h"

#include "core/Mediator.h"
#include "platform/errors_win.h"
#include "platform/handles_win.h"
#include "platform/wide_win.h"
#include "ui/Form1_ids.h"
#include "ui/Form2_ids.h"
#include "ui/Form3_ids.h"
#include "ui/frmExtension_ids.h"
#include "ui/frmMacroSelect_ids.h"

#include <gmock/gmock.h>

namespace {

using Lines = std::vector<std::string>;

Lines treated(const std::string& path, const std::string& macro, const std::string& result) {
    return {"FileOpen\t" + path, "envDocBlank",      "PosDocVeryTop",    "MacroFilePlay\t" + macro,
            "envMacroPlaying",   "FileSave\t<temp>", resultSave(result), "CloseNoSave"};
}

Lines blank(const std::string& path, const std::string& result) {
    return {"FileOpen\t" + path, "envDocBlank", "FileSave\t<temp>", resultSave(result), "CloseNoSave"};
}

TEST_F(EndToEnd, StartUpBatchThenANewMacroForTheNextBatch) {
    const std::string a = document("a.wpd", "Dear draft,\r\nthe draft.\r\n");
    const std::string b = document("b.WPD", "draft two");
    const std::string c = document("c.txt", "not a document draft");
    const std::string d = document("d.wpd", ""); // blank: saved as it is
    const std::string first = macro("first.wcm", "Replace \"draft\" \"final\"\r\n");
    const std::string second = macro("second.WCM", "Top\r\nType \"X: \"\r\n");
    storeMacro(first);
    const auto tempBefore = temporaryFiles();

    Lines found;
    Script user(
        {
            press(quickStart, IDC_QS_BTNBATCH),
            press(batchDocuments, IDC_BTNSOURCE),
            pickFolder(source),
            [&] {
                HWND dialog = batchDocuments();
                if (!shown(dialog) || controlText(dialog, IDC_TXTSRCFOLDER) != source)
                    return false;
                found = listEntries(GetDlgItem(dialog, IDC_LIST1));
                return true;
            },
            press(batchDocuments, IDC_BTNTARGET),
            pickFolder(target),
            untilText(batchDocuments, IDC_TXTTGTFOLDER, target),
            press(batchDocuments, IDC_BD_COMMAND1),
            // The batch runs; then start-up shows the macro dialog.
            press(macroDialog, IDC_MS_BTNSELECT),
            typeInto(L"Open", second),
            untilText(macroDialog, IDC_TXTPATHFILE, second),
            press(macroDialog, IDC_MS_BTNOK),
        },
        60000);
    General::Main();
    ASSERT_TRUE(user.finished());

    EXPECT_EQ(found, (Lines{"a.wpd", "b.WPD", "d.wpd"}));
    EXPECT_EQ(readBytes(target + "\\a.wpd"), "Dear final,\r\nthe final.\r\n");
    EXPECT_EQ(readBytes(target + "\\b.WPD"), "final two");
    EXPECT_EQ(readBytes(target + "\\d.wpd"), "");
    EXPECT_FALSE(fileExists(target + "\\c.txt"));
    EXPECT_EQ(shownRows(), (Lines{d + "|Converted", b + "|Converted", a + "|Converted"}));
    EXPECT_EQ(commandsFor(a), treated(a, first, target + "\\a.wpd"));
    EXPECT_EQ(commandsFor(b), treated(b, first, target + "\\b.WPD"));
    EXPECT_EQ(commandsFor(d), blank(d, target + "\\d.wpd"));
    EXPECT_EQ(storedMacro(), second);
    EXPECT_TRUE(platform.messages.empty());

    // The next batch, from the menu: the dialog kept its folders and plays
    // the macro chosen meanwhile.
    Script again({
        untilText(batchDocuments, IDC_TXTSRCFOLDER, source),
        press(batchDocuments, IDC_BD_COMMAND1),
    });
    menu(IDM_BATCH);
    ASSERT_TRUE(again.finished());
    EXPECT_EQ(readBytes(target + "\\a.wpd"), "X: Dear draft,\r\nthe draft.\r\n");
    EXPECT_EQ(readBytes(target + "\\b.WPD"), "X: draft two");
    expectSourcesUnchanged();
    EXPECT_EQ(temporaryFiles(), tempBefore);
}

TEST_F(EndToEnd, OpenDocumentSavedUnderANewName) {
    const std::string doc = document("letter.wpd", "Hello draft");
    const std::string fix = macro("fix.wcm", "Replace \"draft\" \"world\"\r\n");
    storeMacro(fix);
    const std::string result = target + "\\new name.wpd";
    Script user({
        press(quickStart, IDC_QS_BTNSINGLE),
        typeInto(L"Open", doc),
        typeInto(L"Save As", result),
        press(macroDialog, IDC_MS_BTNCANCEL),
    });
    General::Main();
    ASSERT_TRUE(user.finished());
    EXPECT_EQ(readBytes(result), "Hello world");
    EXPECT_THAT(statusText(0), ::testing::StartsWith("1 document: 1 converted, 0 failed, in "));
    EXPECT_EQ(shownRows(), Lines{doc + "|Converted"});
    EXPECT_EQ(commandsFor(doc), treated(doc, fix, result));
    EXPECT_EQ(storedMacro(), fix); // Cancel kept the setting
    expectSourcesUnchanged();
}

TEST_F(EndToEnd, OpenDocumentWithTheSaveDialogCancelled) {
    const std::string doc = document("letter.wpd", "Hello draft");
    const auto tempBefore = temporaryFiles();
    Script user({
        press(quickStart, IDC_QS_BTNSINGLE),
        typeInto(L"Open", doc),
        cancel(L"Save As"),
        press(macroDialog, IDC_MS_BTNCANCEL),
    });
    General::Main();
    ASSERT_TRUE(user.finished());
    EXPECT_THAT(statusText(0), ::testing::StartsWith("1 document: 0 converted, 1 failed, in "));
    EXPECT_EQ(shownRows(), Lines{doc + "|Failed"});
    selectRow(0);
    EXPECT_EQ(statusText(1), "cancelled");
    // Opened and treated, never saved or closed: the document stays open.
    EXPECT_EQ(commandsFor(doc), (Lines{"FileOpen\t" + doc, "envDocBlank", "PosDocVeryTop"}));
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(temporaryFiles(), tempBefore);
    expectSourcesUnchanged();
}

TEST_F(EndToEnd, ABatchWithOneFailedSave) {
    const std::string a = document("a.wpd", "one");
    const std::string b = document("b.wpd", "two");
    const std::string c = document("c.wpd", "three");
    standin.fail("FileSave:4:Disk is full"); // b's save into the target folder
    const auto tempBefore = temporaryFiles();
    startCoordinator();
    auto steps = pickFolders(source, target);
    steps.push_back(press(batchDocuments, IDC_BD_COMMAND1));
    Script user(std::move(steps));
    menu(IDM_BATCH);
    ASSERT_TRUE(user.finished());
    EXPECT_EQ(shownRows(), (Lines{c + "|Converted", b + "|Failed", a + "|Converted"}));
    EXPECT_EQ(readBytes(target + "\\a.wpd"), "one");
    EXPECT_FALSE(fileExists(target + "\\b.wpd"));
    EXPECT_EQ(readBytes(target + "\\c.wpd"), "three");
    // The failed document was closed again, and the batch went on.
    EXPECT_EQ(commandsFor(b), (Lines{"FileOpen\t" + b, "envDocBlank", "PosDocVeryTop", "FileSave\t<temp>",
                                     resultSave(target + "\\b.wpd"), "CloseNoSave"}));
    EXPECT_EQ(temporaryFiles(), tempBefore);
    EXPECT_TRUE(platform.messages.empty());
    expectSourcesUnchanged();
}

TEST_F(EndToEnd, TheExtensionManagerDecidesWhatIsADocument) {
    const std::string a = document("a.wpd", "one");
    const std::string t = document("notes.txt", "two");
    startCoordinator();
    Script add({
        [] {
            HWND manager = extensionManager();
            if (!shown(manager))
                return false;
            SetDlgItemTextW(manager, IDC_TXTEXTENSION, L"txt");
            click(manager, IDC_CMDADDMOVIE);
            return true;
        },
        [] {
            return listEntries(GetDlgItem(extensionManager(), IDC_LSTEXT)) == Lines{"wpd", "txt"};
        },
        press(extensionManager, IDC_CMDEXIT),
    });
    menu(IDM_EXTENSIONS);
    ASSERT_TRUE(add.waitUntilFinished()); // the extension manager is modeless

    Lines found;
    Script batch({
        press(batchDocuments, IDC_BTNSOURCE),
        pickFolder(source),
        [&] {
            found = listEntries(GetDlgItem(batchDocuments(), IDC_LIST1));
            return found.size() == 2;
        },
        press(batchDocuments, IDC_BTNTARGET),
        pickFolder(target),
        untilText(batchDocuments, IDC_TXTTGTFOLDER, target),
        press(batchDocuments, IDC_BD_COMMAND1),
    });
    menu(IDM_BATCH);
    ASSERT_TRUE(batch.finished());
    EXPECT_EQ(found, (Lines{"a.wpd", "notes.txt"}));
    EXPECT_EQ(readBytes(target + "\\notes.txt"), "two");
    EXPECT_EQ(shownRows(), (Lines{t + "|Converted", a + "|Converted"}));

    // Every entry removed: no file is a document any more.
    Script remove({
        [] {
            HWND manager = extensionManager();
            if (!shown(manager))
                return false;
            SendDlgItemMessageW(manager, IDC_LSTEXT, LB_SETSEL, TRUE, -1);
            click(manager, IDC_EXT_REMOVE);
            return true;
        },
        [] { return listEntries(GetDlgItem(extensionManager(), IDC_LSTEXT)).empty(); },
        press(extensionManager, IDC_CMDEXIT),
    });
    menu(IDM_EXTENSIONS);
    ASSERT_TRUE(remove.waitUntilFinished());
    Script none({
        [&] {
            if (!shown(batchDocuments()))
                return false;
            SendDlgItemMessageW(batchDocuments(), IDC_LIST1, LB_RESETCONTENT, 0, 0);
            click(batchDocuments(), IDC_BTNSOURCE);
            return true;
        },
        pickFolder(source),
        [&] {
            HWND dialog = batchDocuments();
            if (!shown(dialog) || !IsWindowEnabled(dialog) || dialogCaptioned(L"Browse for Folder"))
                return false;
            found = listEntries(GetDlgItem(dialog, IDC_LIST1));
            return true;
        },
        press(batchDocuments, IDC_BD_COMMAND2),
    });
    menu(IDM_BATCH);
    ASSERT_TRUE(none.finished());
    EXPECT_TRUE(found.empty());
    expectSourcesUnchanged();
}

TEST_F(EndToEnd, MacroToRunRefusesAFileThatIsNoMacro) {
    const std::string good = macro("good.wcm", "Top\r\n");
    const std::string notes = macro("notes.txt", "not a macro");
    storeMacro(good);
    startCoordinator();
    std::wstring said;
    Script user({
        untilText(macroDialog, IDC_TXTPATHFILE, good), // filled from the setting
        [&] {
            SetDlgItemTextW(macroDialog(), IDC_TXTPATHFILE, widen(notes).c_str());
            click(macroDialog(), IDC_MS_BTNOK);
            return true;
        },
        answerBox(L"Tarnwick", &said),
        untilText(macroDialog, IDC_TXTPATHFILE, ""), // emptied, the dialog still open
        press(macroDialog, IDC_MS_BTNCANCEL),
    });
    menu(IDM_MACRO_RUN);
    ASSERT_TRUE(user.finished());
    EXPECT_EQ(said, L"Not a valid Macro. Please select a WordPerfect macro");
    EXPECT_EQ(storedMacro(), good);
}

// A batch of the source folder into the target folder, started from the menu.
void runBatchFromTheMenu(EndToEnd& test) {
    auto steps = pickFolders(test.source, test.target);
    steps.push_back(press(batchDocuments, IDC_BD_COMMAND1));
    Script user(std::move(steps));
    test.menu(IDM_BATCH);
    ASSERT_TRUE(user.finished());
}

TEST_F(EndToEnd, AMacroSettingThatCannotBeReadFailsEveryDocument) {
    const std::string a = document("a.wpd", "one");
    const std::string b = document("b.wpd", "two");
    storeMacro(macro("fix.wcm", "Top\r\n"));
    KeyReadDenied denied(settingsKey.path() + "\\" + files.programName() + "\\Options");
    startCoordinator();
    runBatchFromTheMenu(*this);
    EXPECT_EQ(shownRows(), (Lines{b + "|Failed", a + "|Failed"}));
    EXPECT_FALSE(fileExists(target + "\\a.wpd"));
    EXPECT_EQ(commandsFor(a), (Lines{"FileOpen\t" + a, "envDocBlank", "PosDocVeryTop", "CloseNoSave"}));
    EXPECT_TRUE(platform.messages.empty());

    // "Macro To Run" opens all the same, with an empty box.
    Script user({untilText(macroDialog, IDC_TXTPATHFILE, ""), press(macroDialog, IDC_MS_BTNCANCEL)});
    menu(IDM_MACRO_RUN);
    EXPECT_TRUE(user.finished());
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(EndToEnd, MacroToRunReplacesAStoredValueThatIsNotText) {
    const std::string a = document("a.wpd", "one");
    const std::string fix = macro("fix.wcm", "Replace \"one\" \"1\"\r\n");
    const std::string options = files.programName() + "\\Options";
    const DWORD number = 42;
    settingsKey.write(options, "macro", REG_DWORD, &number, sizeof number);
    startCoordinator();
    Script user({
        untilText(macroDialog, IDC_TXTPATHFILE, ""),
        press(macroDialog, IDC_MS_BTNSELECT),
        typeInto(L"Open", fix),
        untilText(macroDialog, IDC_TXTPATHFILE, fix),
        press(macroDialog, IDC_MS_BTNOK),
    });
    menu(IDM_MACRO_RUN);
    ASSERT_TRUE(user.finished());
    EXPECT_TRUE(platform.messages.empty());
    DWORD type = 0;
    RegGetValueW(HKEY_CURRENT_USER, widen(settingsKey.path() + "\\" + options).c_str(), L"macro", RRF_RT_ANY,
                 &type, nullptr, nullptr);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(storedMacro(), fix);
    runBatchFromTheMenu(*this);
    EXPECT_EQ(readBytes(target + "\\a.wpd"), "1");
}

TEST_F(EndToEnd, ABatchConvertsWithATemporaryFolderTooLongForTheSystemsUniqueNames) {
    const std::string a = document("a.wpd", "one");
    // The system's unique names refuse folders of more than 246 characters.
    TemporaryFolderMoved moved(folderOfLength(scratch, 255));
    startCoordinator();
    runBatchFromTheMenu(*this);
    EXPECT_EQ(shownRows(), Lines{a + "|Converted"});
    EXPECT_EQ(readBytes(target + "\\a.wpd"), "one");
    // Saved first to a temporary file in that folder (shown as <temp>).
    EXPECT_EQ(commandsFor(a), (Lines{"FileOpen\t" + a, "envDocBlank", "PosDocVeryTop", "FileSave\t<temp>",
                                     resultSave(target + "\\a.wpd"), "CloseNoSave"}));
    EXPECT_TRUE(temporaryFiles().empty()) << "the temporary file went again";
}

TEST_F(EndToEnd, AcceptingTheProposedNameReplacesTheOpenedDocumentAndWritesNothingElse) {
    const std::string doc = document("letter.wpd", "Hello draft");
    const std::string fix = macro("fix.wcm", "Replace \"draft\" \"world\"\r\n");
    storeMacro(fix);
    const auto tempBefore = temporaryFiles();
    startCoordinator();
    Script user({
        typeInto(L"Open", doc),
        // The Save dialog proposes the opened document; OK, and yes to replacing it.
        [] {
            HWND dialog = fileDialog();
            if (!shown(dialog) || windowText(dialog) != L"Save As")
                return false;
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
            return true;
        },
        [] {
            for (HWND box : threadWindows(L"#32770"))
                if (isMessageBox(box) && shown(box)) {
                    PostMessageW(box, WM_COMMAND, IDYES, 0);
                    return true;
                }
            return false;
        },
    });
    menu(IDM_OPEN);
    ASSERT_TRUE(user.finished());
    EXPECT_EQ(shownRows(), Lines{doc + "|Converted"});
    EXPECT_EQ(readBytes(doc), "Hello world");
    // The server saved the temporary file and the document itself, nothing else.
    EXPECT_EQ(commandsFor(doc), treated(doc, fix, doc));
    EXPECT_EQ(temporaryFiles(), tempBefore);
}

// Removes the server's registration while alive and puts it back after.
class UnregisteredServer {
public:
    UnregisteredServer() {
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            UniqueHkey key;
            if (RegOpenKeyExW(root, kProgIdKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS)
                continue;
            wchar_t clsid[64] = {};
            DWORD size = sizeof clsid;
            RegGetValueW(key.get(), L"CLSID", nullptr, RRF_RT_REG_SZ, nullptr, clsid, &size);
            saved_.push_back({root, clsid});
            key.reset();
            RegDeleteTreeW(root, kProgIdKey);
        }
    }
    ~UnregisteredServer() {
        for (const auto& [root, clsid] : saved_) {
            UniqueHkey key;
            RegCreateKeyExW(root, (std::wstring(kProgIdKey) + L"\\CLSID").c_str(), 0, nullptr, 0,
                            KEY_SET_VALUE, nullptr, key.put(), nullptr);
            RegSetValueExW(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(clsid.c_str()),
                           static_cast<DWORD>((clsid.size() + 1) * sizeof(wchar_t)));
        }
    }
    bool removedAny() const { return !saved_.empty(); }

private:
    static constexpr const wchar_t* kProgIdKey = L"Software\\Classes\\WordPerfect.PerfectScript";
    std::vector<std::pair<HKEY, std::wstring>> saved_;
};

TEST_F(EndToEnd, WithoutTheServerTheProgramSaysSoAndEnds) {
    UnregisteredServer unregistered;
    ASSERT_TRUE(unregistered.removedAny());
    std::wstring said;
    Script user({answerBox(L"Error!", &said)});
    EXPECT_THROW(General::Main(), ProgramEnded);
    EXPECT_TRUE(user.finished());
    EXPECT_EQ(said, L"Could not find WordPerfect");
    EXPECT_EQ(platform.ended, 1);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_FALSE(IsWindowVisible(windows.Form2().hwnd())); // no window was shown
}

// An archive as it is, through the Batch Documents dialog with "Include
// subfolders": every document of the tree, its result in the same folder
// below the target, byte for byte; the hidden folder and the link back up
// not entered (here the listing does not mark the link, so that its
// identity is what stops the loop); the folder that cannot be read one
// failed row in its place.
TEST_F(EndToEnd, IncludeSubfoldersConvertsTheTreeIntoTheSameFoldersBelowTheTarget) {
    const ArchiveTree tree = makeArchiveTree(scratch.path("archive"));
    const auto unmarked = [&tree](HANDLE search, WIN32_FIND_DATAW* found) {
        if (search != INVALID_HANDLE_VALUE && std::wstring(found->cFileName) == L"up")
            found->dwFileAttributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_REPARSE_POINT);
        return search;
    };
    startCoordinator();
    Probe::directoryLister(windows.Form2())
        .setCalls({[&](const wchar_t* pattern, WIN32_FIND_DATAW* found) -> HANDLE {
                       if (std::wstring(pattern).ends_with(L"\\locked\\*")) {
                           SetLastError(ERROR_ACCESS_DENIED);
                           return INVALID_HANDLE_VALUE;
                       }
                       return unmarked(FindFirstFileExW(pattern, FindExInfoBasic, found,
                                                        FindExSearchNameMatch, nullptr, 0),
                                       found);
                   },
                   [&](HANDLE search, WIN32_FIND_DATAW* found) -> BOOL {
                       if (!FindNextFileW(search, found))
                           return FALSE;
                       unmarked(search, found);
                       return TRUE;
                   }});
    Lines found;
    auto steps = pickFolders(tree.root, target);
    steps.push_back([] { // as a click of the mouse: the box checks itself and tells the dialog
        PostMessageW(GetDlgItem(batchDocuments(), IDC_CHKSUBFOLDERS), BM_CLICK, 0, 0);
        return true;
    });
    steps.push_back([&] {
        found = listEntries(GetDlgItem(batchDocuments(), IDC_LIST1));
        return found.size() == tree.documents.size() + 1;
    });
    steps.push_back(press(batchDocuments, IDC_BD_COMMAND1));
    Script user(std::move(steps));
    menu(IDM_BATCH);
    ASSERT_TRUE(user.finished());

    Lines expectedFound = tree.documents;
    expectedFound.push_back("locked\\ (" + systemMessage(ERROR_ACCESS_DENIED) + ")");
    EXPECT_EQ(found, expectedFound) << "the found documents by their paths below the source";
    const Lines opened = openedDocuments(journal);
    Lines expectedOpened;
    for (const std::string& relative : tree.documents) {
        expectedOpened.push_back(tree.root + "\\" + relative);
        EXPECT_EQ(readBytes(target + "\\" + relative), "text of " + relative) << relative;
    }
    EXPECT_EQ(opened, expectedOpened) << "depth first, folder by folder, the loop not followed";
    EXPECT_FALSE(fileExists(target + "\\.hidden"));
    EXPECT_FALSE(fileExists(target + "\\locked"));
    EXPECT_FALSE(fileExists(target + "\\2009\\clients\\up"));
    const auto rows = shownRows();
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(),
                            [](const std::string& row) { return row.ends_with("|Converted"); }),
              static_cast<long>(tree.documents.size()));
    EXPECT_NE(std::find(rows.begin(), rows.end(), tree.locked + "|Failed"), rows.end());
    // No macro is chosen in this story: the summary says so.
    EXPECT_EQ(statusText(0).rfind("5 documents: 4 saved without a macro (none is chosen), 1 failed", 0), 0u)
        << statusText(0);
    EXPECT_TRUE(platform.messages.empty());
}

} // namespace
