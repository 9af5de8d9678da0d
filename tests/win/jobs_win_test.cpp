// The conversion jobs as the program runs them: started the way the program
// starts, with the real main window, file services and registry settings,
// driving the stand-in server out of process through the late-binding
// client. The server's journal shows what the jobs asked of it.
#include "base/error.h"
#include "base/settings.h"
#include "conversion/DecObj.h"
#include "core/General.h"
#include "core/Mediator.h"
#include "dialog_test_support.h"
#include "platform/automation_win.h"
#include "platform/file_services_win.h"
#include "platform/platform_win.h"
#include "platform/settings_win.h"
#include "platform/wide_win.h"
#include "standin_test_support.h"
#include "ui/program_windows.h"
#include "ui_helpers.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <set>

namespace {

const std::string kProgId = "WordPerfect.PerfectScript";
constexpr std::int64_t kInjected = 0x80040203;

// The controls of the system's file dialogs: the file name (a combo box
// with an edit, or a plain edit) and the file types.
constexpr int kFileNameCombo = 0x047c; // cmb13
constexpr int kFileNameEdit = 0x0480;  // edt1
constexpr int kFileTypes = 0x0470;     // cmb1

// The program's platform, except that the word processor is always the
// local server and ending the program is observed instead of done.
class LocalServerPlatform : public Win32Platform {
public:
    std::shared_ptr<LateBound> createObject(const std::string& progId, ServerStart) override {
        return createAutomationObject(progId, CLSCTX_LOCAL_SERVER);
    }
    [[noreturn]] void endProgram(int) override { throw ProgramEnded{}; }
};

std::string text(const std::vector<std::string>& lines) {
    std::string all;
    for (const auto& line : lines)
        all += line + "\n";
    return all;
}

HWND fileNameBox(HWND dialog) {
    HWND box = GetDlgItem(dialog, kFileNameCombo);
    return box != nullptr ? box : GetDlgItem(dialog, kFileNameEdit);
}

// What the scripted user saw in the Save dialog.
struct SaveDialogSeen {
    bool shown = false;
    std::wstring proposedName;
    std::wstring fileTypes;
    std::vector<SeenMessage> confirmations; // e.g. "replace the file?"
    HWND lastConfirmation = nullptr;        // answered, perhaps not closed yet
};

// Types the path into the Save dialog and presses OK; a confirmation that
// follows is answered with the button. An empty path cancels the dialog.
std::function<bool()> answerSaveDialog(SaveDialogSeen& seen, std::wstring path, int confirmation = IDYES) {
    return [&seen, path, confirmation] {
        for (HWND box : threadWindows(L"#32770")) {
            if (isMessageBox(box) && seen.shown && box != seen.lastConfirmation) {
                seen.lastConfirmation = box;
                const auto texts = staticTexts(box);
                seen.confirmations.push_back({windowText(box), texts.empty() ? L"" : texts.back()});
                PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(confirmation), 0);
                return false; // the dialog may still be there
            }
        }
        if (seen.shown)
            return fileDialog() == nullptr;
        HWND dialog = fileDialog();
        if (dialog == nullptr)
            return false;
        seen.shown = true;
        seen.proposedName = windowText(fileNameBox(dialog));
        seen.fileTypes = windowText(GetDlgItem(dialog, kFileTypes));
        if (path.empty()) {
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            return true;
        }
        SetWindowTextW(fileNameBox(dialog), path.c_str());
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        return false;
    };
}

const std::string kDocument = "Dear Acme,\r\nAcme ships caf\xC3\xA9 on Monday.\r\n";
// Plays for a while, so that the job has to wait for the macro.
const std::string kMacro = "# heading on top, then the new name\r\n"
                           "Top\r\n"
                           "Type \"Memo\\r\\n\"\r\n"
                           "Replace \"Acme\" \"Widgets Ltd\"\r\n"
                           "Playing 200\r\n";
const std::string kResult = "Memo\r\nDear Widgets Ltd,\r\nWidgets Ltd ships caf\xC3\xA9 on Monday.\r\n";
constexpr auto kMacroPlaying = std::chrono::milliseconds(200);

class ConversionJobs : public ::testing::Test {
protected:
    ScratchFolder scratch;
    StandinSettings standin{SettingsChannel::Registry};
    ScratchRegistryKey settingsKey;
    RegistrySettingsStore settings{settingsKey.path()};
    LocalServerPlatform platform;
    Win32FileServices files;
    ProgramForms windows;

    const std::string journal = scratch.path("journal.txt");
    const std::string macro = scratch.path("edit \xC3\xA9.wcm");
    const std::string sourceFolder = scratch.path("source");
    const std::string targetFolder = scratch.path("target");
    // A name in another script, so that it travels the whole way as text.
    const std::string documentName = "\xD0\xBF\xD0\xB8\xD1\x81\xD1\x8C\xD0\xBC\xD0\xBE.wpd";
    const std::string document = sourceFolder + "\\" + documentName;
    std::vector<std::string> temporaryFilesBefore;

    // Starting the local server costs about a second under Wine: one object
    // held through the suite keeps it running between the tests.
    static std::shared_ptr<LateBound>& keepAlive() {
        static std::shared_ptr<LateBound> object;
        return object;
    }
    static void SetUpTestSuite() {
        clearStandinSettings();
        keepAlive() = createAutomationObject(kProgId, CLSCTX_LOCAL_SERVER);
    }
    static void TearDownTestSuite() { keepAlive().reset(); }

    ConversionJobs() {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        CreateDirectoryW(widen(sourceFolder).c_str(), nullptr);
        CreateDirectoryW(widen(targetFolder).c_str(), nullptr);
        writeBytes(document, kDocument);
        writeBytes(macro, kMacro);
        settings.SaveSetting("win_tests", MacroSetting::Section, MacroSetting::Key, macro);
        standin.journal(journal);
        temporaryFilesBefore = temporaryFiles();
    }
    ~ConversionJobs() override { General::reset(); }

    // Starts the program as its entry point does; the word processor's
    // object made here reads the stand-in settings of this moment. The
    // start-up dialogs are left with Escape, which keeps the macro setting
    // as the test stored it.
    void startProgram() {
        General::reset();
        General::install({&platform, &windows, &files, &settings});
        {
            MessageBoxes boxes;
            ScriptedUser user(escapeEveryDialog());
            General::Main();
            EXPECT_TRUE(boxes.seen().empty()) << boxes.list();
        }
        ASSERT_TRUE(General::WordPerfect);
        ASSERT_EQ(General::ReadMacroSetting(), macro);
    }

    ResultList& rows() { return windows.Form2().ListView1(); }

    // Starts the program and runs a batch job that is expected to fail;
    // answers what it raised.
    AppError failingBatchJob() {
        startProgram();
        General::mediator->SetTgtFolder(targetFolder);
        DecObj job;
        job.init(document);
        try {
            job.Execute();
        } catch (const AppError& error) {
            return error;
        }
        ADD_FAILURE() << "the job raised nothing";
        return AppError(0, "");
    }

    // The journal up to the macro's end: the document opened, checked, the
    // insertion point on top, the macro played and its playing state read
    // at least once. Answers the lines after it.
    std::vector<std::string> afterTheMacro() {
        const auto lines = journalLines(journal);
        const std::vector<std::string> opening{"FileOpen\t" + document, "envDocBlank", "PosDocVeryTop",
                                               "MacroFilePlay\t" + macro};
        EXPECT_GE(lines.size(), opening.size() + 1) << text(lines);
        if (lines.size() < opening.size() + 1)
            return {};
        EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 4), opening) << text(lines);
        auto rest = lines.begin() + 4;
        const auto polls = rest;
        while (rest != lines.end() && *rest == "envMacroPlaying")
            ++rest;
        EXPECT_GE(rest - polls, 2) << "the playing state is asked until the macro has ended\n" << text(lines);
        return {rest, lines.end()};
    }

    // The journal's FileSave of a temporary file: in the temporary folder.
    void expectTemporarySave(const std::string& line) {
        const std::string prefix = "FileSave\t" + temporaryFolder();
        ASSERT_EQ(line.rfind(prefix, 0), 0u) << line;
        const std::string name = line.substr(prefix.size());
        EXPECT_EQ(name.find('\\'), std::string::npos) << line;
        EXPECT_EQ(name.size() > 4 ? name.substr(name.size() - 4) : name, ".tmp") << line;
    }

    void expectNoTemporaryFileLeft() { EXPECT_EQ(temporaryFiles(), temporaryFilesBefore); }
};

TEST_F(ConversionJobs, BatchJobWritesTheResultIntoTheTargetFolder) {
    startProgram();
    General::mediator->SetTgtFolder(targetFolder);
    DecObj job;
    job.init(document);
    const auto started = std::chrono::steady_clock::now();
    job.Execute();
    const auto took = std::chrono::steady_clock::now() - started;

    const std::string result = targetFolder + "\\" + documentName;
    EXPECT_EQ(readBytes(result), kResult);
    EXPECT_EQ(readBytes(document), kDocument) << "the source stays as it was";
    EXPECT_GE(took, kMacroPlaying) << "the job waits for the macro to end";

    const auto rest = afterTheMacro();
    ASSERT_EQ(rest.size(), 3u) << text(rest);
    expectTemporarySave(rest[0]);
    EXPECT_EQ(rest[1], resultSave(result));
    EXPECT_EQ(rest[2], "CloseNoSave");

    ASSERT_EQ(rows().count(), 1u);
    EXPECT_EQ(rows().history(document), (std::vector<std::string>{"Converted", "Converting..."}));
    expectNoTemporaryFileLeft();
    EXPECT_EQ(namesIn(targetFolder).size(), 1u);
}

// Each question whether the macro still plays is a call into the word
// processor's own thread: they come after pauses that grow to 50 ms, so a
// macro that plays for 2 s is asked at most 60 times.
TEST_F(ConversionJobs, AMacroThatPlaysForTwoSecondsIsAskedAtMostSixtyTimes) {
    writeBytes(macro, "Playing 2000\r\n");
    startProgram();
    General::mediator->SetTgtFolder(targetFolder);
    DecObj job;
    job.init(document);
    job.Execute();
    const auto lines = journalLines(journal);
    const auto asked = std::count(lines.begin(), lines.end(), "envMacroPlaying");
    std::printf("[ figures  ] a macro playing for 2 s was asked about %lld times\n",
                static_cast<long long>(asked));
    EXPECT_LE(asked, 60);
    EXPECT_GE(asked, 20) << "asked every 50 ms at the most";
    EXPECT_EQ(rows().history(document).front(), "Converted");
}

TEST_F(ConversionJobs, BatchJobWhoseResultCannotBeSavedFailsAndCleansUp) {
    standin.fail("FileSave:2:Disk is full");
    const AppError error = failingBatchJob();
    EXPECT_EQ(error.number(), kInjected);
    EXPECT_EQ(error.description(), "Disk is full");

    const auto rest = afterTheMacro();
    ASSERT_EQ(rest.size(), 3u) << text(rest);
    expectTemporarySave(rest[0]);
    EXPECT_EQ(rest[1], resultSave(targetFolder + "\\" + documentName));
    EXPECT_EQ(rest[2], "CloseNoSave") << "the document is closed";

    EXPECT_EQ(rows().history(document), (std::vector<std::string>{"Failed", "Converting..."}));
    expectNoTemporaryFileLeft();
    EXPECT_TRUE(namesIn(targetFolder).empty());
    EXPECT_EQ(readBytes(document), kDocument);
}

TEST_F(ConversionJobs, BatchJobWhoseMacroBreaksFailsAndClosesTheDocument) {
    writeBytes(macro, "Type \"half done\"\r\nError \"The macro gave up\"\r\n");
    EXPECT_EQ(failingBatchJob().description(), "The macro gave up");
    const std::vector<std::string> expected{"FileOpen\t" + document, "envDocBlank", "PosDocVeryTop",
                                            "MacroFilePlay\t" + macro, "CloseNoSave"};
    EXPECT_EQ(journalLines(journal), expected) << text(journalLines(journal));
    EXPECT_EQ(rows().history(document), (std::vector<std::string>{"Failed", "Converting..."}));
    expectNoTemporaryFileLeft();
    EXPECT_TRUE(namesIn(targetFolder).empty());
}

TEST_F(ConversionJobs, SingleJobSavesUnderTheNameTypedInTheSaveDialog) {
    startProgram();
    General::mediator->SetTgtFolder(targetFolder + "\\");
    const std::string chosen = targetFolder + "\\renamed \xE6\x96\x87.wpd";
    SaveDialogSeen seen;
    {
        ScriptedUser user(answerSaveDialog(seen, widen(chosen)));
        DecObj2 job;
        job.init(document);
        job.Execute();
    }
    ASSERT_TRUE(seen.shown);
    EXPECT_TRUE(seen.proposedName.ends_with(L"\u043f\u0438\u0441\u044c\u043c\u043e.wpd"))
        << seen.proposedName;
    EXPECT_EQ(seen.fileTypes, L"WordPerfect documents (*.wpd)");
    EXPECT_TRUE(seen.confirmations.empty());

    EXPECT_EQ(readBytes(chosen), kResult);
    EXPECT_EQ(namesIn(targetFolder).size(), 1u) << "nothing under the proposed name";
    EXPECT_EQ(readBytes(document), kDocument);
    const auto rest = afterTheMacro();
    ASSERT_EQ(rest.size(), 3u) << text(rest);
    expectTemporarySave(rest[0]);
    EXPECT_EQ(rest[1], resultSave(chosen));
    EXPECT_EQ(rest[2], "CloseNoSave");
    EXPECT_EQ(rows().history(document), (std::vector<std::string>{"Converted", "Converting..."}));
    expectNoTemporaryFileLeft();
}

TEST_F(ConversionJobs, SingleJobAsksBeforeReplacingAnExistingFile) {
    startProgram();
    General::mediator->SetTgtFolder(targetFolder + "\\");
    const std::string existing = targetFolder + "\\existing.wpd";
    writeBytes(existing, "an older result");
    SaveDialogSeen seen;
    {
        ScriptedUser user(answerSaveDialog(seen, widen(existing), IDYES));
        DecObj2 job;
        job.init(document);
        job.Execute();
    }
    // The system's own question, before anything is written.
    ASSERT_EQ(seen.confirmations.size(), 1u);
    EXPECT_NE(seen.confirmations[0].text.find(L"already exists"), std::wstring::npos)
        << narrow(seen.confirmations[0].text);
    EXPECT_EQ(readBytes(existing), kResult);
    EXPECT_EQ(rows().history(document), (std::vector<std::string>{"Converted", "Converting..."}));
}

TEST_F(ConversionJobs, SingleJobWhoseSaveDialogIsCancelledFailsAndKeepsTheDocumentOpen) {
    startProgram();
    General::mediator->SetTgtFolder(targetFolder + "\\");
    SaveDialogSeen seen;
    {
        MessageBoxes boxes;
        ScriptedUser user(answerSaveDialog(seen, L""));
        DecObj2 job;
        job.init(document);
        job.Execute(); // the cancel is the job's own affair: nothing is raised
        EXPECT_TRUE(boxes.seen().empty()) << boxes.list();
    }
    ASSERT_TRUE(seen.shown);
    const auto rest = afterTheMacro();
    EXPECT_TRUE(rest.empty()) << "neither saved nor closed\n" << text(rest);
    EXPECT_EQ(rows().history(document), (std::vector<std::string>{"Failed", "Converting..."}));
    expectNoTemporaryFileLeft();
    EXPECT_TRUE(namesIn(targetFolder).empty());
    EXPECT_EQ(readBytes(document), kDocument);
}

TEST(HighResolutionPause, FourMillisecondsLastAboutFour) {
    Win32Platform platform;
    constexpr int kCalls = 50;
    platform.pause(4); // the first use may set the timer up
    const auto started = std::chrono::steady_clock::now();
    for (int i = 0; i < kCalls; ++i)
        platform.pause(4);
    const std::chrono::duration<double, std::milli> total = std::chrono::steady_clock::now() - started;
    const double average = total.count() / kCalls;
    std::printf("[ measure  ] pause(4) lasts %.3f ms (average of %d)\n", average, kCalls);
    EXPECT_GE(average, 3.0);
    EXPECT_LT(average, 12.0);
}

} // namespace
