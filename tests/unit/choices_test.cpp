// The user's choices: a single document, a macro file, the macro selection
// dialog's buttons, and the folders of a batch with the documents found.
#include "core/Mediator.h"
#include "core/macro_selection.h"
#include "fakes.h"
#include "probe.h"

#include <gtest/gtest.h>

namespace {

struct Choices : ::testing::Test, ProgramFixture {
    std::shared_ptr<RecordingObject> wp = std::make_shared<RecordingObject>();
    Mediator* m = nullptr;
    FakeDialogPort& dialog = windows.main.dialogPort;

    Choices() {
        platform.objectFactory = [this](const std::string&) { return wp; };
        General::Main();
        m = General::mediator.get();
    }
};

TEST_F(Choices, ASingleDocumentIsStoredAndConvertedAtOnce) {
    files.files["C:\\Docs\\a.wpd"] = {"x"};
    m->SetTgtFolder("C:\\Earlier");
    dialog.answers = {"C:\\Docs\\a.wpd", "C:\\Docs\\a.wpd"}; // the Open dialog, then the Save dialog
    m->SingleSourceFile();
    EXPECT_EQ(m->GetSourceFile(), "C:\\Docs\\a.wpd");
    EXPECT_EQ(m->GetTgtFolder(), "C:\\Docs\\"); // the document's folder replaces the earlier target
    EXPECT_EQ(Probe::mode(*m), Probe::Mode::SingleDocument);
    const FileDialog& used = windows.main.dialog;
    EXPECT_EQ(dialog.seen.front(), " (open)"); // the file name box starts with what it held last
    EXPECT_EQ(dialog.seen.back(), "C:\\Docs\\a.wpd (save)");
    EXPECT_EQ(wp->log.front(), "FileOpen C:\\Docs\\a.wpd");
    EXPECT_EQ(windows.main.list.history("C:\\Docs\\a.wpd").front(), "Converted");
    EXPECT_TRUE(used.CancelError);
    // Afterwards the dialog's box shows the last name the shared dialog used.
    dialog.answers.clear();
    dialog.seen.clear();
    dialog.shown = 0;
    m->SingleSourceFile();
    EXPECT_EQ(dialog.seen.front(), "C:\\Docs\\a.wpd (open)");
}

TEST_F(Choices, TheOpenDialogOfASingleDocument) {
    dialog.answers = {""}; // cancelled
    m->SingleSourceFile();
    const FileDialog& used = windows.main.dialog;
    EXPECT_EQ(used.Filter, "All WordPerfect documents (*.wpd)|*.WPD");
    EXPECT_EQ(used.Flags, 4096);
    EXPECT_TRUE(used.CancelError);
    // Nothing stored, nothing converted, but the mode is switched.
    EXPECT_EQ(m->GetSourceFile(), "");
    EXPECT_TRUE(wp->log.empty());
    EXPECT_EQ(Probe::mode(*m), Probe::Mode::SingleDocument);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(Choices, ADocumentAtADriveRootOrOutsideTheListQueuesAccordingly) {
    files.files["D:\\a.wpd"] = {"x"};
    dialog.answers = {"D:\\a.wpd", "D:\\a.wpd"};
    m->SingleSourceFile();
    EXPECT_EQ(m->GetTgtFolder(), "D:\\");
    EXPECT_EQ(wp->log.front(), "FileOpen D:\\a.wpd");

    wp->log.clear();
    dialog.answers = {"C:\\Docs\\notes.txt"};
    dialog.shown = 0;
    m->SingleSourceFile();
    EXPECT_EQ(m->GetSourceFile(), "C:\\Docs\\notes.txt");
    EXPECT_TRUE(wp->log.empty()); // not a document: nothing queued
    EXPECT_EQ(windows.main.list.count(), 0u);
}

TEST_F(Choices, MacroSetAnswersTheChosenPathOrEmptyText) {
    dialog.answers = {"C:\\m\\fix.wcm", ""};
    EXPECT_EQ(m->MacroSet(), "C:\\m\\fix.wcm");
    EXPECT_EQ(windows.main.dialog.Filter, "All WordPerfect Macros(*.wcm)|*.WCM");
    EXPECT_EQ(windows.main.dialog.Flags, 4096);
    m->StartStateTwo();
    EXPECT_EQ(m->MacroSet(), ""); // cancelled
    EXPECT_EQ(Probe::mode(*m), Probe::Mode::SingleDocument);
}

TEST_F(Choices, MacroDialogOkRules) {
    FakeMacroSelect box;
    files.files["C:\\m\\fix.WCM"] = {};
    files.files["C:\\m\\notes.txt"] = {};
    files.files["C:\\m\\README"] = {};

    box.text = "C:\\m\\fix.WCM"; // capitals are a macro too
    EXPECT_TRUE(MacroSelection::Ok(box));
    EXPECT_EQ(settings.macro(), "C:\\m\\fix.WCM");

    for (const char* notMacro : {"C:\\m\\notes.txt", "C:\\m\\README"}) {
        box.text = notMacro;
        EXPECT_FALSE(MacroSelection::Ok(box)) << notMacro;
        EXPECT_EQ(box.text, "");
        EXPECT_EQ(settings.macro(), "C:\\m\\fix.WCM"); // unchanged
    }
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[0].text, "Not a valid Macro. Please select a WordPerfect macro");
    EXPECT_EQ(platform.messages[0].caption, "Tarnwick");
    EXPECT_EQ(platform.messages[0].icon, MsgIcon::None);

    box.text = "C:\\m\\gone.wcm"; // a missing file clears the setting, silently
    EXPECT_TRUE(MacroSelection::Ok(box));
    EXPECT_EQ(settings.macro(), "");
    settings.setMacro("C:\\m\\fix.WCM");
    box.text = ""; // so does an empty box
    EXPECT_TRUE(MacroSelection::Ok(box));
    EXPECT_EQ(settings.macro(), "");
    EXPECT_EQ(platform.messages.size(), 2u);
}

TEST_F(Choices, MacroDialogCancelSelectAndFill) {
    FakeMacroSelect box;
    settings.setMacro("C:\\m\\fix.wcm");
    box.text = "C:\\m\\other.wcm";
    MacroSelection::Cancel(box);
    EXPECT_EQ(box.text, "");
    EXPECT_EQ(settings.macro(), "C:\\m\\fix.wcm"); // Cancel never changes the setting

    const int yieldsBefore = platform.yields;
    MacroSelection::FillFromSetting(box);
    EXPECT_EQ(box.text, "C:\\m\\fix.wcm");
    EXPECT_EQ(platform.yields - yieldsBefore, 3);

    dialog.answers = {""}; // Select, then cancel the Open dialog: the box empties
    MacroSelection::Select(box);
    EXPECT_EQ(box.text, "");
}

struct Folders : Choices {
    void folder(const std::string& path, std::initializer_list<std::string> names) {
        auto& entries = windows.main.lister.folders[path];
        entries.clear();
        for (const auto& name : names)
            entries.push_back({name});
    }
};

TEST_F(Folders, SourceFolderListsTheAcceptedDocuments) {
    folder("C:\\docs", {"b.txt", "a.wpd", "C.WPD", "notes"});
    platform.folderAnswers = {"C:\\docs"};
    m->SourceFolder();
    EXPECT_EQ(platform.folderPrompts, std::vector<std::string>{"Select a Source Folder"});
    EXPECT_EQ(windows.batch.source, "C:\\docs");
    EXPECT_EQ(m->GetSourceFolder(), "C:\\docs");
    EXPECT_EQ(windows.batch.found, (std::vector<std::string>{"a.wpd", "C.WPD"}));
    EXPECT_EQ(windows.main.files.path(), "C:\\docs");
}

TEST_F(Folders, ASecondFolderReplacesTheListAndAnEmptyOneEmptiesIt) {
    folder("C:\\docs", {"a.wpd"});
    folder("C:\\", {"root.wpd"});
    folder("C:\\empty", {});
    platform.folderAnswers = {"C:\\docs", "C:\\", "C:\\empty"};
    m->SourceFolder();
    m->SourceFolder();
    EXPECT_EQ(windows.batch.found, std::vector<std::string>{"root.wpd"}); // no doubled backslash at the root
    m->SourceFolder();
    EXPECT_TRUE(windows.batch.found.empty());
    EXPECT_EQ(windows.batch.source, "C:\\empty");
    EXPECT_EQ(m->GetSourceFolder(), "C:\\empty");
}

TEST_F(Folders, CancellingTheSourceChangesNothingCancellingTheTargetClearsIt) {
    folder("C:\\docs", {"a.wpd"});
    platform.folderAnswers = {"C:\\docs", "", "C:\\Out", ""};
    m->SourceFolder();
    m->SourceFolder(); // cancelled
    EXPECT_EQ(windows.batch.found, std::vector<std::string>{"a.wpd"});
    EXPECT_EQ(m->GetSourceFolder(), "C:\\docs");
    m->TargetFolder();
    EXPECT_EQ(platform.folderPrompts.back(), "Select a Target Folder");
    EXPECT_EQ(windows.batch.target, "C:\\Out");
    EXPECT_EQ(m->GetTgtFolder(), "C:\\Out");
    m->TargetFolder(); // cancelled
    EXPECT_EQ(windows.batch.target, "");
    EXPECT_EQ(m->GetTgtFolder(), "");
}

// A padded answer is cut at its NUL and trimmed; an answer without one is
// the folder's own name, a last blank included ("D:\Scans ").
TEST_F(Folders, AFoldersAnswerIsCutAndTrimmedOnlyWhenItIsAPaddedBuffer) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {std::string("  C:\\docs") + '\0' + "garbage   ", "C:\\docs"},
        {"D:\\Scans ", "D:\\Scans "},
        {" D:\\lead", " D:\\lead"},
    };
    for (const auto& [answer, folder] : cases) {
        platform.folderAnswers = {answer};
        platform.folderPrompts.clear();
        m->TargetFolder();
        EXPECT_EQ(m->GetTgtFolder(), folder);
        EXPECT_EQ(windows.batch.target, folder);
    }
}

TEST_F(Folders, AnUnreadableFolderIsSaidAsABatchWouldSayIt) {
    platform.folderAnswers = {"C:\\gone"};
    m->SourceFolder();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text,
              "The source folder could not be read:\r\nC:\\gone\r\nPath not found");
    EXPECT_EQ(m->GetSourceFolder(), "C:\\gone"); // stored before the listing failed
}

} // namespace
