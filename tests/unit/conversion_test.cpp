// The conversion jobs and the macro runner against a recording automation
// object: the exact order of commands, yields and pauses, and what each
// failure leaves behind.
#include "control/Stack.h"
#include "conversion/DecObj.h"
#include "conversion/Decorator.h"
#include "conversion/ParseObject.h"
#include "conversion/clsRunMacro.h"
#include "core/Mediator.h"
#include "fakes.h"
#include "probe.h"

#include "base/failure_reasons.h"
#include "core/connection.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

const std::string kDoc = "C:\\src\\a.wpd";
const std::string kMacro = "C:\\m\\fix.wcm";
const std::string kTemp1 = "C:\\users\\tester\\Temp\\1.tmp";
// The result's own temporary file, beside it in the target folder.
const std::string kResult2 = "C:\\Out\\~tarnwick-00000002.tmp";

struct Jobs : ::testing::Test, ProgramFixture {
    std::shared_ptr<RecordingObject> wp = std::make_shared<RecordingObject>();
    std::vector<std::string> journal;

    Jobs() {
        platform.objectFactory = [this](const std::string&) { return wp; };
        General::Main();
        platform.journal = &journal;
        wp->journal = &journal;
        files.journal = &journal;
        windows.main.journal = &journal;
        files.files[kDoc] = {"text"};
        files.files[kMacro] = {"insert x"};
        settings.setMacro(kMacro);
        General::mediator->SetTgtFolder("C:\\Out");
    }

    // Expands "yield*3" into three "yield" entries, or into as many as a
    // group holds at most.
    static std::vector<std::string> expand(std::initializer_list<std::string> steps, int most = 100) {
        std::vector<std::string> out;
        for (const auto& step : steps) {
            const auto star = step.find('*');
            if (step == "open and play") { // the opening and the macro's start, as both jobs have them
                const auto shared = expand({"FileOpen " + kDoc, "yield*4", "envDocBlank", "PosDocVeryTop",
                                            "MacroFilePlay &" + kMacro, "envMacroPlaying", "yield*8"},
                                           most);
                out.insert(out.end(), shared.begin(), shared.end());
            } else if (step.rfind("yield*", 0) == 0)
                out.insert(out.end(),
                           static_cast<std::size_t>(std::min(std::stoi(step.substr(star + 1)), most)),
                           "yield");
            else
                out.push_back(step);
        }
        return out;
    }
    std::vector<std::string> history() { return windows.main.list.history(kDoc); }
    // A file left in the temporary folder, or a result's temporary file
    // left anywhere.
    bool temporaryFilesLeft() {
        for (const auto& [path, file] : files.files)
            if (path.rfind(files.temp, 0) == 0 || isResultTemporaryName(path.substr(path.rfind('\\') + 1)))
                return true;
        return false;
    }
    void runBatchJob() {
        DecObj job;
        job.init(kDoc);
        job.Execute();
    }
    // One document whose macro plays for two polls, with each group of
    // yields as long as it runs while the window system has events pending.
    std::vector<std::string> batchDocumentJournal(int mostYieldsPerGroup) {
        wp->reads["envMacroPlaying"] = {Value{true}, Value{true}, Value{false}};
        runBatchJob();
        return expand({"yield*1",
                       "open and play",
                       "yield*1",
                       "envMacroPlaying",
                       "wait 1",
                       "envMacroPlaying",
                       "pause 4",
                       "yield*5",
                       "temp " + kTemp1,
                       "FileSave &" + kTemp1,
                       "yield*1",
                       "temp " + kResult2,
                       "FileSave &" + kResult2,
                       "yield*3",
                       "delete " + kTemp1,
                       "yield*4",
                       "CloseNoSave",
                       "yield*4",
                       "rename " + kResult2 + " -> C:\\Out\\a.wpd",
                       "show",
                       "yield*3",
                       "yield*3"},
                      mostYieldsPerGroup);
    }
};

TEST_F(Jobs, BatchDocumentCommandsYieldsAndPausesInOrder) {
    const auto expected = batchDocumentJournal(100);
    EXPECT_EQ(journal, expected);
    EXPECT_EQ(history(), (std::vector<std::string>{"Converted", "Converting..."}));
    EXPECT_EQ(windows.main.list.text(0), kDoc);
    EXPECT_TRUE(files.files.count("C:\\Out\\a.wpd")); // the result, renamed into place
    EXPECT_FALSE(temporaryFilesLeft());
    EXPECT_TRUE(Probe::latestCmd2(*General::mediator)); // the next-job command was issued
    EXPECT_EQ(settings.reads, 1);
}

// Nothing runs between the yields of a group, so once one finds nothing
// pending the rest would find nothing either.
TEST_F(Jobs, AGroupOfYieldsEndsAtTheFirstThatFindsNothingPending) {
    platform.eventsPending = false;
    const auto expected = batchDocumentJournal(1);
    EXPECT_EQ(journal, expected);
}

TEST_F(Jobs, TargetFolderWithATrailingBackslashGivesTwoSeparators) {
    General::mediator->SetTgtFolder("C:\\");
    runBatchJob();
    EXPECT_NE(std::find(journal.begin(), journal.end(), "rename C:\\~tarnwick-00000002.tmp -> C:\\\\a.wpd"),
              journal.end());
}

TEST_F(Jobs, BlankDocumentIsSavedUntouchedWithoutPlayingTheMacro) {
    wp->reads["envDocBlank"] = {Value{true}};
    runBatchJob();
    EXPECT_EQ(wp->log, (std::vector<std::string>{"FileOpen " + kDoc, "envDocBlank", "FileSave &" + kTemp1,
                                                 "FileSave &" + kResult2, "CloseNoSave"}));
    EXPECT_EQ(history().front(), "Converted");
}

TEST_F(Jobs, WithoutAMacroChosenTheDocumentIsStillMovedToTheTopAndSaved) {
    settings.setMacro("");
    runBatchJob();
    EXPECT_EQ(wp->log,
              (std::vector<std::string>{"FileOpen " + kDoc, "envDocBlank", "PosDocVeryTop",
                                        "FileSave &" + kTemp1, "FileSave &" + kResult2, "CloseNoSave"}));
    EXPECT_EQ(history().front(), "Converted");
}

TEST_F(Jobs, AChosenMacroThatIsGoneFailsTheDocumentUnsaved) {
    settings.setMacro("C:\\m\\gone.wcm");
    EXPECT_THROW(runBatchJob(), AppError);
    EXPECT_EQ(wp->log,
              (std::vector<std::string>{"FileOpen " + kDoc, "envDocBlank", "PosDocVeryTop", "CloseNoSave"}));
    EXPECT_EQ(history().front(), "Failed");
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(Jobs, TheMacroSettingIsReadAnewForEveryDocument) {
    runBatchJob();
    files.files["C:\\m\\other.wcm"] = {};
    settings.setMacro("C:\\m\\other.wcm");
    windows.main.list.clear();
    runBatchJob();
    EXPECT_EQ(std::count(wp->log.begin(), wp->log.end(), "MacroFilePlay &C:\\m\\other.wcm"), 1);
}

struct StepFailure {
    std::string command;
    int call; // which call of the command fails
};

void PrintTo(const StepFailure& f, std::ostream* os) {
    *os << f.command << " call " << f.call;
}

class BatchJobFailures : public Jobs, public ::testing::WithParamInterface<StepFailure> {};

TEST_P(BatchJobFailures, MarkTheRowFailedCleanUpAndReachTheCaller) {
    const StepFailure& f = GetParam();
    wp->failures.emplace(f.command,
                         AppError(0x80020009, "Injected " + f.command, "WordPerfect.PerfectScript"));
    wp->failOnCall[f.command] = f.call;
    if (f.command == "envMacroPlaying")
        wp->reads["envMacroPlaying"] = {Value{true}};
    try {
        runBatchJob();
        FAIL() << "the failure did not reach the caller";
    } catch (const AppError& e) {
        EXPECT_EQ(e.description(), "Injected " + f.command);
    }
    EXPECT_EQ(history(), (std::vector<std::string>{"Failed", "Converting..."}));
    EXPECT_FALSE(temporaryFilesLeft());
    EXPECT_FALSE(Probe::latestCmd2(*General::mediator)); // no next-job command from a failed job
    // An opened document is closed again; one that never opened is not.
    const bool opened = f.command != "FileOpen";
    EXPECT_EQ(wp->log.back() == "CloseNoSave", opened) << wp->log.back();
    // The result appears whole or not at all: never before the document is
    // closed, and then by a rename.
    EXPECT_FALSE(files.files.count("C:\\Out\\a.wpd"));
    EXPECT_TRUE(platform.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(EachStep, BatchJobFailures,
                         ::testing::Values(StepFailure{"FileOpen", 1}, StepFailure{"envDocBlank", 1},
                                           StepFailure{"PosDocVeryTop", 1}, StepFailure{"MacroFilePlay", 1},
                                           StepFailure{"envMacroPlaying", 2}, StepFailure{"FileSave", 1},
                                           StepFailure{"FileSave", 2}, StepFailure{"CloseNoSave", 1}),
                         [](const auto& info) {
                             return info.param.command + std::to_string(info.param.call);
                         });

TEST_F(Jobs, ASettingsStoreFailureFailsTheDocument) {
    settings.failReads = true;
    EXPECT_THROW(runBatchJob(), AppError);
    EXPECT_EQ(history().front(), "Failed");
    for (const auto& line : wp->log)
        EXPECT_NE(line.rfind("FileSave", 0), 0u) << line;
}

TEST_F(Jobs, NoTemporaryFileMeansNoSave) {
    files.tempFails = true;
    EXPECT_THROW(runBatchJob(), AppError);
    EXPECT_EQ(history().front(), "Failed");
    for (const auto& line : wp->log)
        EXPECT_NE(line.rfind("FileSave", 0), 0u) << line;
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(wp->log.back(), "CloseNoSave");
}

// A batch may run with nobody at the screen: a temporary file that cannot
// be deleted (a virus scanner holds it) is noted for the run's summary; the
// single document's job tells the user at once.
TEST_F(Jobs, AnUndeletableTemporaryFileIsNotedInABatchAndToldForASingleDocument) {
    struct LockingFiles : FakeFiles {
        bool deleteFile(const std::string& path) override {
            return path.ends_with("1.tmp") ? false : FakeFiles::deleteFile(path);
        }
    } locking;
    locking.files = files.files; // the document and the macro
    General::install({&platform, &windows, &locking, &settings});
    BatchProgress& progress = windows.main.progress;
    progress.begin(1);
    runBatchJob();
    progress.end();
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(history().front(), "Converted");
    EXPECT_TRUE(locking.files.count("C:\\Out\\a.wpd"));
    EXPECT_EQ(progress.unremoved(), std::vector<std::string>{kTemp1});
    EXPECT_TRUE(progress.text().ends_with("; 1 temporary file could not be removed: " + kTemp1))
        << progress.text();

    windows.main.list.clear();
    locking.tempCounter = 0;
    windows.main.dialogPort.answers = {"C:\\Out\\b.wpd"};
    DecObj2 single;
    single.init(kDoc);
    single.Execute();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "Error deleting File");
    EXPECT_EQ(history().front(), "Converted");
}

TEST_F(Jobs, ADocumentAlreadyInTheListFailsBeforeAnythingIsSent) {
    windows.main.list.addRow(kDoc, kDoc);
    windows.main.list.insertStatus(kDoc, "Converted");
    EXPECT_THROW(runBatchJob(), AppError);
    EXPECT_TRUE(wp->log.empty());
    EXPECT_EQ(history(), std::vector<std::string>{"Converted"}); // the other job's row is left alone
}

// The single-document job with its Save dialog.
struct SingleJob : Jobs {
    FakeDialogPort& dialogPort = windows.main.dialogPort;
    const std::vector<std::string>& proposed = windows.main.dialogPort.seen;

    SingleJob() { General::mediator->SetTgtFolder("C:\\src\\"); }
    void answer(const std::string& path) { dialogPort.answers = {path}; }
    void run() {
        DecObj2 job;
        job.init(kDoc);
        job.Execute();
    }
};

TEST_F(SingleJob, SavesUnderTheChosenNameInOrder) {
    answer("C:\\Out\\new name.wpd");
    run();
    EXPECT_EQ(proposed, std::vector<std::string>{"C:\\src\\a.wpd (save)"}); // the document's own path
    EXPECT_EQ(journal, expand({"open and play", "yield*1", "pause 4", "yield*4", "temp " + kTemp1,
                               "FileSave &" + kTemp1, "yield*3", "temp " + kResult2, "FileSave &" + kResult2,
                               "yield*3", "CloseNoSave", "yield*3", "delete " + kTemp1, "yield*3",
                               "rename " + kResult2 + " -> C:\\Out\\new name.wpd", "show", "yield*3",
                               "yield*3", "yield*3"}));
    EXPECT_EQ(history(), (std::vector<std::string>{"Converted", "Converting..."}));
    const FileDialog& used = windows.main.dialog;
    EXPECT_TRUE(used.CancelError);
    EXPECT_EQ(used.Filter, "WordPerfect documents (*.wpd)|*.wpd");
    EXPECT_TRUE(used.Flags & FileDialogFlags::OverwritePrompt);
    EXPECT_FALSE(used.Flags & FileDialogFlags::FileMustExist);
    EXPECT_TRUE(Probe::latestCmd2(*General::mediator));
}

TEST_F(SingleJob, CancellingTheSaveDialogFailsQuietlyAndLeavesTheDocumentOpen) {
    run(); // no answer: cancelled
    EXPECT_EQ(history(), (std::vector<std::string>{"Failed", "Converting..."}));
    EXPECT_EQ(windows.main.list.reason(0), "cancelled");
    EXPECT_EQ(windows.main.progress.failed(), 1u);
    EXPECT_EQ(windows.main.progress.lastReason(), "cancelled");
    EXPECT_EQ(std::count(wp->log.begin(), wp->log.end(), "CloseNoSave"), 0);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_FALSE(temporaryFilesLeft());
    EXPECT_FALSE(Probe::latestCmd2(*General::mediator));
}

// A failed save removes the temporary files. A batch closes the document
// first (the word processor may keep the file it last saved locked while the
// document stays open); the single document stays open for the user.
TEST_F(SingleJob, AFailedSaveRemovesTheTemporaryFilesClosingOnlyABatchsDocumentFirst) {
    wp->failures.emplace("FileSave", AppError(0x80020009, "Disk is full", "WordPerfect.PerfectScript"));
    wp->failOnCall["FileSave"] = 2; // beside the result
    General::mediator->SetTgtFolder("C:\\Out");
    EXPECT_THROW(runBatchJob(), AppError);
    const auto close = std::find(journal.begin(), journal.end(), "CloseNoSave");
    const auto remove = std::find(journal.begin(), journal.end(), "delete " + kTemp1);
    ASSERT_NE(close, journal.end());
    ASSERT_NE(remove, journal.end());
    EXPECT_LT(close, remove);
    EXPECT_FALSE(temporaryFilesLeft());

    windows.main.list.clear();
    wp->log.clear();
    wp->calls.clear();
    answer("C:\\Out\\b.wpd");
    run(); // the job ends here, it does not raise
    EXPECT_EQ(history().front(), "Failed");
    EXPECT_FALSE(temporaryFilesLeft());
    EXPECT_EQ(std::count(wp->log.begin(), wp->log.end(), "CloseNoSave"), 0);
}

// A result that cannot take its name (the file there is open in another
// program) fails with the system's text, and the file there stays as it
// was. A batch's document is still open, so its result goes; the single
// document is already closed, so its result is the only copy of the user's
// work and is kept where the reason says.
TEST_F(SingleJob, AResultThatCannotTakeItsNameGoesInABatchAndIsKeptForASingleDocument) {
    for (const char* name : {"C:\\Out\\a.wpd", "C:\\Out\\b.wpd"}) {
        files.files[name] = {"open in another program"};
        files.files[name].heldOpen = true;
    }
    General::mediator->SetTgtFolder("C:\\Out");
    EXPECT_THROW(runBatchJob(), AppError);
    EXPECT_EQ(history().front(), "Failed");
    EXPECT_EQ(windows.main.list.reason(0), "Access is denied");
    EXPECT_FALSE(temporaryFilesLeft());

    windows.main.list.clear();
    files.tempCounter = 0;
    answer("C:\\Out\\b.wpd");
    run();
    EXPECT_EQ(windows.main.list.reason(0), "Access is denied; the result is kept as " + kResult2);
    EXPECT_TRUE(files.files.count(kResult2));
    for (const char* name : {"C:\\Out\\a.wpd", "C:\\Out\\b.wpd"})
        EXPECT_EQ(files.files[name].content, "open in another program") << name;
}

TEST_F(SingleJob, FailuresBeforeTheDialogMarkTheRowAndReachTheCaller) {
    wp->failures.emplace("MacroFilePlay", AppError(1, "Macro error"));
    EXPECT_THROW(run(), AppError);
    EXPECT_EQ(history().front(), "Failed");
    EXPECT_TRUE(proposed.empty()); // no dialog for a document whose macro broke
}

// The wait for a macro asks again after a pause that grows to 50 ms, the
// windows served meanwhile; the user's stop ends it, failing the document.
TEST_F(Jobs, TheMacroWaitPausesMoreAndMoreAndEndsWhenTheUserStops) {
    wp->reads["envMacroPlaying"] = std::vector<Value>(12, Value{true});
    wp->reads["envMacroPlaying"].push_back(Value{false});
    runBatchJob();
    std::vector<int> waits;
    for (const auto& line : journal)
        if (line.rfind("wait ", 0) == 0)
            waits.push_back(std::stoi(line.substr(5)));
    EXPECT_EQ(waits, (std::vector<int>{1, 2, 4, 8, 16, 32, 50, 50, 50, 50, 50}));

    windows.main.list.clear();
    wp->readCounts.clear();
    wp->reads["envMacroPlaying"] = {Value{true}};
    platform.onWait = [this](int) { platform.stopAsked = true; };
    EXPECT_THROW(runBatchJob(), AppError);
    EXPECT_EQ(windows.main.list.reason(0), FailureReason::StoppedDuringMacro);
    EXPECT_EQ(wp->log.back(), "CloseNoSave") << "cleaned up like any failure";
    EXPECT_FALSE(temporaryFilesLeft());
}

// All of a document's calls and its macro's play share one time limit; a
// macro that never ends fails its document at the limit, and the
// WordPerfect the program started is ended.
TEST_F(Jobs, AMacroThatNeverEndsFailsTheDocumentAtItsTimeLimit) {
    General::wordPerfect().setDocumentLimit(1);
    wp->reads["envMacroPlaying"] = {Value{true}};
    platform.onWait = [](int milliseconds) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    };
    const auto started = std::chrono::steady_clock::now();
    EXPECT_THROW(runBatchJob(), AppError);
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(windows.main.list.reason(0), "WordPerfect did not finish a.wpd within 1 second" +
                                               std::string(FailureReason::EndedAndStarted));
    EXPECT_GE(took, std::chrono::milliseconds(800));
    EXPECT_LT(took, std::chrono::seconds(3));
    EXPECT_EQ(wp->endings, 1);
    EXPECT_EQ(wp->log.back(), "<ended>") << "nothing more to the stuck server";
}

// A document that fails for an ordinary reason near its limit is cleaned up
// as usual: its clean-up is not held to the limit, and the server that
// answered is no stuck server.
TEST_F(Jobs, TheCleanUpOfADocumentThatFailedNearItsLimitIsNotHeldToIt) {
    General::wordPerfect().setDocumentLimit(1);
    wp->failures.emplace("FileSave", AppError(0x80040203, "Disk is full", "WordPerfect.PerfectScript"));
    wp->slowMs["FileSave"] = 1100;
    EXPECT_THROW(runBatchJob(), AppError);
    EXPECT_EQ(windows.main.list.reason(0), "Disk is full");
    EXPECT_EQ(wp->log.back(), "CloseNoSave");
    EXPECT_EQ(wp->endings, 0);
}

TEST_F(Jobs, MacroRunnerResults) {
    clsRunMacro runner;
    wp->reads["envDocBlank"] = {Value{true}, Value{false}};
    EXPECT_FALSE(runner.RunMacro()); // blank
    EXPECT_FALSE(runner.failure());
    EXPECT_EQ(wp->log, std::vector<std::string>{"envDocBlank"});
    EXPECT_TRUE(runner.RunMacro());
    wp->failures.emplace("PosDocVeryTop", AppError(7, "Out of memory"));
    EXPECT_FALSE(runner.RunMacro()); // swallowed...
    ASSERT_TRUE(runner.failure());   // ...but known
    EXPECT_EQ(runner.failure()->description(), "Out of memory");
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(Jobs, RemoveDelayCodePlaysTheFixedMacroByValue) {
    RmvDelayCode runner;
    EXPECT_TRUE(runner.RemoveDelayCode());
    EXPECT_EQ(wp->log,
              (std::vector<std::string>{"envDocBlank", "PosDocVeryTop",
                                        "MacroFilePlay C:\\Program Files\\Tarnwick\\RmvDelayCode.wcm",
                                        "envMacroPlaying"}));
    wp->log.clear();
    wp->reads["envDocBlank"] = {Value{true}};
    EXPECT_TRUE(runner.RemoveDelayCode());
    EXPECT_EQ(wp->log, std::vector<std::string>{"envDocBlank"});
}

TEST_F(Jobs, ParseObjectsRunExactlyTheirOwnDocumentsJob) {
    auto element = std::make_shared<ParseObject1>();
    element->init(kDoc);
    element->Execute();
    EXPECT_EQ(wp->log.front(), "FileOpen " + kDoc);
    EXPECT_EQ(
        std::count_if(wp->log.begin(), wp->log.end(), [](auto& l) { return l.rfind("FileOpen", 0) == 0; }),
        1);
    EXPECT_EQ(history().front(), "Converted");
}

TEST(Decorators, FreshDecoratorsHoldNoObjectAndRunByName) {
    Decorator d;
    ReDecorator r;
    EXPECT_EQ(d.getobject(), nullptr);
    EXPECT_EQ(r.getobject(), nullptr);
    EXPECT_THROW(d.ShowIt(), AppError);

    // A wrapped object without "Execute" fails the way a missing member does.
    auto inner = std::make_shared<Decorator>();
    d.init(inner);
    try {
        d.ShowIt();
        FAIL() << "ShowIt ran an object that has no Execute";
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), ErrorNumber::NoSuchMember);
    }

    // A ReDecorator wraps what its source decorator wraps.
    auto source = std::make_shared<Decorator>();
    auto job = std::make_shared<DecObj>();
    source->init(job);
    r.initContents(source);
    EXPECT_EQ(r.getobject(), job);
    r.initFrom(nullptr);
    EXPECT_EQ(r.getobject(), nullptr);
}

std::shared_ptr<ParseObject> element(const std::string& path) {
    auto e = std::make_shared<ParseObject1>();
    e->init(path);
    return e;
}

TEST(WorkQueue, FirstInFirstOutWithItsOtherOperations) {
    Stack empty;
    EXPECT_FALSE(empty.hasMoreElements());
    EXPECT_EQ(empty.NextElement(), nullptr);
    EXPECT_EQ(empty.top(), nullptr);
    EXPECT_TRUE(std::dynamic_pointer_cast<DummyObject>(empty.nextTop()));
    EXPECT_FALSE(empty.topStack(nullptr, nullptr));
    EXPECT_FALSE(empty.hasMoreElements());

    auto p = element("p"), q = element("q"), r = element("r"), s = element("s");
    Stack queue;
    queue.add(p);
    EXPECT_EQ(queue.top(), p);
    EXPECT_TRUE(std::dynamic_pointer_cast<DummyObject>(queue.nextTop()));
    EXPECT_EQ(queue.size(), 1u);
    queue.add(q);
    queue.add(r);
    EXPECT_EQ(queue.top(), r);
    EXPECT_EQ(queue.nextTop(), q);
    EXPECT_EQ(queue.NextElement(), p);
    EXPECT_EQ(queue.NextElement(), q);
    EXPECT_EQ(queue.NextElement(), r);
    EXPECT_EQ(queue.NextElement(), nullptr);

    Stack three;
    for (auto& e : {p, q, r})
        three.add(e);
    three.NextElement2add(s);
    EXPECT_EQ(three.NextElement(), r);
    EXPECT_EQ(three.NextElement(), s);
    Stack one;
    one.add(p);
    one.NextElement2add(s);
    EXPECT_EQ(one.NextElement(), p);
    EXPECT_EQ(one.NextElement(), s);
    Stack none;
    none.NextElement2add(s);
    EXPECT_EQ(none.NextElement(), s);

    Stack twice; // the same element twice leaves once per removal
    twice.add(p);
    twice.add(p);
    EXPECT_EQ(twice.NextElement(), p);
    EXPECT_EQ(twice.NextElement(), p);
    EXPECT_FALSE(twice.hasMoreElements());
}

TEST(WorkQueue, HoldsFarMoreThanSixteenBitPositions) {
    Stack queue;
    auto e = element("x");
    for (int i = 0; i < 70000; ++i)
        queue.add(e);
    EXPECT_EQ(queue.size(), 70000u);
}

} // namespace
