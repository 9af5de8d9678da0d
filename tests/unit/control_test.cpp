// The extension filter chain, the processing modes and their commands, and
// batches of any length.
#include "base/failure_reasons.h"
#include "base/text.h"
#include "control/Chain.h"
#include "control/Command.h"
#include "control/Stack.h"
#include "control/job_driver.h"
#include "core/Mediator.h"
#include "core/connection.h"
#include "fakes.h"
#include "probe.h"

#include <gtest/gtest.h>

#include <pthread.h>

namespace {

struct ChainFixture : ::testing::Test, ProgramFixture {
    ChainFixture() { General::forms().frmExtension(); } // loaded, as at start-up
    bool accepted(std::string extension) {
        auto chain = BuildExtensionChain();
        return ExtensionAccepted(*chain, extension);
    }
};

TEST_F(ChainFixture, DefaultListAcceptsWpdInAnyCaseOnly) {
    for (const char* yes : {"wpd", "WPD", "Wpd"})
        EXPECT_TRUE(accepted(yes)) << yes;
    for (const char* no : {"doc", "wpd5", "wp", "Unknown", "", " wpd", ".wpd"})
        EXPECT_FALSE(accepted(no)) << no;
}

TEST_F(ChainFixture, TheListAsTheUserLeftIt) {
    auto& entries = windows.extensions.entries;
    entries = {"wpd", "doc"};
    EXPECT_TRUE(accepted("DOC"));
    entries = {"wpd", "unknown"};
    EXPECT_TRUE(accepted("Unknown"));
    entries = {"wpd", "wpd"};
    EXPECT_TRUE(accepted("wpd"));
    EXPECT_FALSE(accepted("doc"));
    entries = {".doc", "doc ", "TXT"};
    EXPECT_FALSE(accepted("doc"));
    EXPECT_TRUE(accepted("txt"));
    entries = {"\xCE\x91\xCE\x92"}; // Greek capitals match their small letters
    EXPECT_TRUE(accepted("\xCE\xB1\xCE\xB2"));
    entries.clear();
    EXPECT_FALSE(accepted("wpd"));
}

TEST_F(ChainFixture, TheCallersVariableComesBackLowerCaseAndTheAnswerIsFalse) {
    auto chain = BuildExtensionChain();
    for (std::string extension : {"WPD", "DoC"}) {
        const std::string lower = lowerCase(extension);
        General::ExtAccepted = false;
        EXPECT_FALSE(chain->sendToChain(extension));
        EXPECT_EQ(extension, lower);
    }
    // The links as assembled.
    ASSERT_TRUE(chain->hasChain());
    auto second = chain->getChain();
    auto third = second->getChain();
    auto end = third->getChain();
    EXPECT_TRUE(std::dynamic_pointer_cast<Chain2>(second));
    EXPECT_TRUE(std::dynamic_pointer_cast<Chain3>(third));
    EXPECT_TRUE(std::dynamic_pointer_cast<NoCmd>(end));
    EXPECT_FALSE(end->hasChain());
    EXPECT_EQ(end->getChain(), nullptr);
    EXPECT_FALSE(Chain1().hasChain());
}

TEST_F(ChainFixture, ReadsTheListFromTheExtensionManagerLoadingItIfNeeded) {
    windows.closeExtensionManager();
    windows.extensions.entries = {"doc"}; // a closed window's list is gone
    EXPECT_TRUE(accepted("wpd"));
    EXPECT_EQ(windows.extensionLoads, 2);
}

// A program with folders of files, documents in memory and a word processor
// that records what it is asked.
struct Modes : ::testing::Test, ProgramFixture {
    std::shared_ptr<RecordingObject> wp = std::make_shared<RecordingObject>();
    Mediator* m = nullptr;

    Modes() {
        platform.objectFactory = [this](const std::string&) { return wp; };
        settings.setMacro("C:\\m\\fix.wcm");
        files.files["C:\\m\\fix.wcm"] = {"macro"};
        General::Main();
        m = General::mediator.get();
    }
    void folder(const std::string& path, std::initializer_list<std::string> names) {
        auto& entries = windows.main.lister.folders[path];
        for (const auto& name : names) {
            entries.push_back({name});
            files.files[(path.size() == 3 ? path : path + "\\") + name] = {"text of " + name};
        }
        files.folders.insert(path);
    }
    void startBatch(const std::string& source, const std::string& target = "C:\\Out") {
        m->startBatch(source, target, m->GetIncludeSubfolders());
    }
    std::vector<std::string> opened() const {
        std::vector<std::string> out;
        for (const auto& line : wp->log)
            if (line.rfind("FileOpen ", 0) == 0)
                out.push_back(line.substr(9));
        return out;
    }
    std::string status(const std::string& key) {
        const auto h = windows.main.list.history(key);
        return h.empty() ? "" : h.front();
    }
    std::string reason(const std::string& key) {
        const auto index = windows.main.list.indexOf(key);
        return index ? windows.main.list.reason(*index) : "(no row)";
    }
};

TEST_F(Modes, BatchQueuesTheAcceptedDocumentsInFileListOrder) {
    folder("C:\\docs", {"c.WPD", "b.txt", "a.wpd"});
    startBatch("C:\\docs");
    EXPECT_EQ(opened(), (std::vector<std::string>{"C:\\docs\\a.wpd", "C:\\docs\\c.WPD"}));
    EXPECT_EQ(status("C:\\docs\\a.wpd"), "Converted");
    EXPECT_EQ(status("C:\\docs\\c.WPD"), "Converted");
    EXPECT_EQ(windows.main.list.count(), 2u);
    EXPECT_EQ(Probe::mode(*m), Probe::Mode::Batch); // the batch mode stays current
    EXPECT_TRUE(platform.messages.empty());
}

// The found-documents list and the batch take a folder's documents in one
// place: a failure while one file is examined skips that file alone.
TEST_F(Modes, AFailureWhileExaminingOneFileSkipsOnlyThatFileInTheListAndTheBatch) {
    folder("C:\\docs", {"a.wpd", "b.wpd", "c.wpd"});
    int reads = 0;
    windows.extensions.onRead = [&] {
        if (++reads % 3 == 2) // b.wpd's
            throw AppError(5, "Access denied");
    };
    platform.folderAnswers = {"C:\\docs"};
    m->SourceFolder();
    EXPECT_EQ(windows.batch.found, (std::vector<std::string>{"a.wpd", "c.wpd"}));
    startBatch("C:\\docs");
    EXPECT_EQ(opened(), (std::vector<std::string>{"C:\\docs\\a.wpd", "C:\\docs\\c.wpd"}));
    EXPECT_TRUE(platform.messages.empty());
}

// With subfolders: the documents of every folder below the source, depth
// first, folder by folder, each result in the same folder below the target.
// Hidden, system and link folders are not entered, nor a folder already on
// the way down (a loop the file system does not mark); a folder that cannot
// be read is one failed row in its place.
TEST_F(Modes, WithSubfoldersTheTreeIsTakenDepthFirstAndMirroredBelowTheTarget) {
    const auto subfolder = [&](const std::string& parent, const std::string& name,
                               DirectoryEntry entry = {}) {
        entry.name = name;
        entry.directory = true;
        windows.main.lister.folders[parent].push_back(entry);
        files.folders.insert(parent + "\\" + name);
    };
    folder("C:\\src", {"b.wpd", "a.wpd"});
    subfolder("C:\\src", "2009");
    folder("C:\\src\\2009", {"c.wpd"});
    subfolder("C:\\src\\2009", "clients");
    folder("C:\\src\\2009\\clients", {"d.WPD", "e.txt"});
    subfolder("C:\\src\\2009", "back");
    files.aliases["C:\\src\\2009\\back"] = "C:\\src";
    subfolder("C:\\src", "hidden", {{}, true, true});
    folder("C:\\src\\hidden", {"h.wpd"});
    subfolder("C:\\src", "link", {{}, true, false, false, true});
    folder("C:\\src\\link", {"l.wpd"});
    subfolder("C:\\src", "locked"); // not readable: the lister knows no such folder
    m->SetIncludeSubfolders(true);
    startBatch("C:\\src");
    EXPECT_EQ(opened(), (std::vector<std::string>{"C:\\src\\a.wpd", "C:\\src\\b.wpd", "C:\\src\\2009\\c.wpd",
                                                  "C:\\src\\2009\\clients\\d.WPD"}));
    for (const char* result : {"C:\\Out\\a.wpd", "C:\\Out\\2009\\c.wpd", "C:\\Out\\2009\\clients\\d.WPD"})
        EXPECT_TRUE(files.files.count(result)) << result;
    EXPECT_EQ(status("C:\\src\\locked"), "Failed");
    EXPECT_EQ(reason("C:\\src\\locked"), "Path not found");
    EXPECT_EQ(windows.main.progress.text().rfind("5 documents: 4 converted, 1 failed", 0), 0u);

    // Results below the source would be found again: refused, by what the
    // folders are; the source itself as target keeps today's rule.
    files.aliases["D:\\mapped"] = "C:\\src";
    for (const char* inside : {"C:\\src\\out", "C:\\SRC\\2009\\new", "D:\\mapped\\out"}) {
        platform.messages.clear();
        wp->log.clear();
        startBatch("C:\\src", inside);
        ASSERT_EQ(platform.messages.size(), 1u) << inside;
        EXPECT_EQ(platform.messages[0].text, kTargetInsideSource) << inside;
        EXPECT_TRUE(wp->log.empty()) << inside;
    }
    m->SetIncludeSubfolders(false);
    startBatch("C:\\src", "C:\\src\\out");
    EXPECT_EQ(opened().size(), 2u) << "without subfolders the source's own documents only";
}

TEST_F(Modes, DriveRootPathsHaveNoDoubledBackslash) {
    folder("C:\\", {"a.wpd"});
    startBatch("C:\\");
    EXPECT_EQ(opened(), std::vector<std::string>{"C:\\a.wpd"});
}

// Results left under their temporary names by a run that broke off are
// removed when the next batch into the folder starts; only old ones that
// nobody holds open, and only names of that exact form.
TEST_F(Modes, LeftoverResultsOfARunThatBrokeOffAreRemovedAndCounted) {
    folder("C:\\docs", {"a.wpd"});
    const auto put = [&](const std::string& name, std::uint64_t age, bool held = false) {
        FakeFiles::File file;
        file.age = age;
        file.heldOpen = held;
        files.files["C:\\Out\\" + name] = file;
    };
    put("~tarnwick-0000ABCD.tmp", 7200);
    put("~tarnwick-0123abcd.TMP", 3601);
    put("~tarnwick-00000001.tmp", 60);         // another PC's save may be going on
    put("~tarnwick-00000002.tmp", 7200, true); // held open
    put("~tarnwick-0000000G.tmp", 7200);       // not a name the program makes
    put("~tarnwick-000000001.tmp", 7200);
    put("letter.tmp", 7200);
    startBatch("C:\\docs");
    std::vector<std::string> left;
    for (const auto& [path, file] : files.files)
        if (path.starts_with("C:\\Out\\"))
            left.push_back(path.substr(7));
    EXPECT_EQ(left, (std::vector<std::string>{"a.wpd", "letter.tmp", "~tarnwick-000000001.tmp",
                                              "~tarnwick-00000001.tmp", "~tarnwick-00000002.tmp",
                                              "~tarnwick-0000000G.tmp"}));
    EXPECT_TRUE(windows.main.progress.text().ends_with("; 2 leftover temporary files removed"))
        << windows.main.progress.text();
}

TEST_F(Modes, AnEmptyFolderConvertsNothingAndSaysNothing) {
    folder("C:\\empty", {});
    folder("C:\\texts", {"a.txt"});
    windows.main.list.addRow("old", "old");
    startBatch("C:\\empty");
    startBatch("C:\\texts");
    EXPECT_TRUE(wp->log.empty());
    EXPECT_EQ(windows.main.list.count(), 0u);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(Modes, ABatchNeedsBothFolders) {
    folder("C:\\docs", {"a.wpd"});
    struct Case {
        std::string source, target, message;
    };
    const std::vector<Case> cases = {
        {"", "C:\\Out", "Select a source folder before starting a batch."},
        {"", "", "Select a source folder before starting a batch."},
        {"C:\\gone", "C:\\Out", "The source folder could not be read:\r\nC:\\gone\r\nPath not found"},
        {"C:\\docs", "", "Select a target folder before starting a batch."},
    };
    for (const auto& c : cases) {
        platform.messages.clear();
        windows.main.list.addRow("old", "old");
        startBatch(c.source, c.target);
        ASSERT_EQ(platform.messages.size(), 1u) << c.source << "|" << c.target;
        EXPECT_EQ(platform.messages[0].text, c.message);
        EXPECT_EQ(platform.messages[0].caption, "Tarnwick");
        EXPECT_EQ(platform.messages[0].icon, MsgIcon::None);
        EXPECT_EQ(windows.main.list.count(), 0u); // cleared as usual
        EXPECT_TRUE(wp->log.empty());
        const auto& queue = Probe::batchQueue(*m);
        ASSERT_TRUE(queue);
        EXPECT_FALSE(queue->hasMoreElements());
    }
}

TEST_F(Modes, AFailingJobInTheMiddleLetsTheBatchGoOn) {
    folder("C:\\docs", {"a.wpd", "b.wpd", "c.wpd"});
    wp->failures.emplace("FileOpen", AppError(1, "Cannot open"));
    wp->failOnCall["FileOpen"] = 2;
    startBatch("C:\\docs");
    EXPECT_EQ(opened(), (std::vector<std::string>{"C:\\docs\\a.wpd", "C:\\docs\\b.wpd", "C:\\docs\\c.wpd"}));
    EXPECT_EQ(status("C:\\docs\\a.wpd"), "Converted");
    EXPECT_EQ(status("C:\\docs\\b.wpd"), "Failed");
    EXPECT_EQ(status("C:\\docs\\c.wpd"), "Converted");
    EXPECT_TRUE(platform.messages.empty());
    // The failed row keeps the server's own description; the others none.
    EXPECT_EQ(reason("C:\\docs\\b.wpd"), "Cannot open");
    EXPECT_EQ(reason("C:\\docs\\a.wpd"), "");
    windows.main.clock = 4.25;
    EXPECT_EQ(windows.main.progress.text(), "3 documents: 2 converted, 1 failed, in 0.0 s");
}

// A document on which the server stops answering, or stays busy past the
// limit, is wedged: nothing more goes to that server, clean-up included. One
// the program started is ended and started again and the batch goes on; the
// user's own is never ended, and the documents left are not started.
TEST_F(Modes, AWedgedDocumentEndsAServerTheProgramStartedAndGivesUpOnTheUsersOwn) {
    struct Case {
        const char* name;
        std::int64_t error;
        bool startedByProgram;
    };
    for (const Case& c : {Case{"no answer, started", ServerError::NotAnswered, true},
                          Case{"busy, started", ServerError::Rejected, true},
                          Case{"no answer, the user's", ServerError::NotAnswered, false}}) {
        folder("C:\\docs", {"a.wpd", "b.wpd", "c.wpd", "d.wpd"});
        wp = std::make_shared<RecordingObject>();
        wp->startedByProgram = c.startedByProgram;
        wp->failures.emplace("PosDocVeryTop", AppError(c.error, "stuck in \"PosDocVeryTop\""));
        wp->failOnCall["PosDocVeryTop"] = 2;
        General::wordPerfect().connect(); // this server from now on
        const std::size_t connections = platform.requestedProgIds.size();
        startBatch("C:\\docs");
        EXPECT_EQ(status("C:\\docs\\a.wpd"), "Converted") << c.name;
        EXPECT_EQ(std::count(wp->log.begin(), wp->log.end(), "CloseNoSave"), c.startedByProgram ? 3 : 1)
            << c.name << ": no clean-up call";
        EXPECT_EQ(wp->endings, c.startedByProgram ? 1 : 0) << c.name;
        if (c.startedByProgram) {
            EXPECT_EQ(reason("C:\\docs\\b.wpd"),
                      std::string("stuck in \"PosDocVeryTop\"") + FailureReason::EndedAndStarted)
                << c.name;
            EXPECT_EQ(platform.requestedProgIds.size(), connections + 1) << c.name << ": started again";
            for (const char* name : {"c.wpd", "d.wpd"})
                EXPECT_EQ(status(std::string("C:\\docs\\") + name), "Converted") << c.name << " " << name;
        } else {
            EXPECT_EQ(reason("C:\\docs\\b.wpd"), "stuck in \"PosDocVeryTop\"") << c.name;
            EXPECT_EQ(opened().size(), 2u) << c.name;
            for (const char* name : {"c.wpd", "d.wpd"})
                EXPECT_EQ(reason(std::string("C:\\docs\\") + name), FailureReason::GivenUp) << c.name;
            EXPECT_EQ(windows.main.progress.notStarted(), 2u) << c.name;
        }
    }
}

TEST_F(Modes, FiveWedgedDocumentsInARowGiveUpTheRunUntilTheNextBatch) {
    folder("C:\\docs", {"a.wpd", "b.wpd", "c.wpd", "d.wpd", "e.wpd", "f.wpd", "g.wpd"});
    wp->failures.emplace("FileOpen", AppError(ServerError::NotAnswered, "no answer"));
    startBatch("C:\\docs");
    EXPECT_EQ(opened().size(), 5u);
    EXPECT_EQ(wp->endings, 5);
    EXPECT_EQ(reason("C:\\docs\\d.wpd"), std::string("no answer") + FailureReason::EndedAndStarted);
    EXPECT_EQ(reason("C:\\docs\\e.wpd"), std::string("no answer") + FailureReason::Ended)
        << "not started again";
    for (const char* name : {"f.wpd", "g.wpd"})
        EXPECT_EQ(reason(std::string("C:\\docs\\") + name), FailureReason::GivenUp) << name;
    EXPECT_EQ(windows.main.progress.text().rfind("7 documents: 0 converted, 5 failed, 2 not started", 0), 0u)
        << windows.main.progress.text();
    // The next batch tries the server again.
    wp->failures.clear();
    startBatch("C:\\docs");
    EXPECT_EQ(status("C:\\docs\\g.wpd"), "Converted");
}

// WordPerfect closed, or crashed, while the program was idle: the first
// call of the next document finds it gone; a new one gets that call again.
TEST_F(Modes, AServerGoneBetweenRunsIsStartedAgainForTheFirstCallOfTheNext) {
    folder("C:\\docs", {"a.wpd", "b.wpd"});
    startBatch("C:\\docs");
    wp->failures.emplace("FileOpen", AppError(0x800706BA, "The RPC server is unavailable"));
    wp->failOnCall["FileOpen"] = 3;
    startBatch("C:\\docs");
    EXPECT_EQ(status("C:\\docs\\a.wpd"), "Converted");
    EXPECT_EQ(std::count(wp->log.begin(), wp->log.end(), "FileOpen C:\\docs\\a.wpd"), 3);
    EXPECT_EQ(platform.requestedProgIds.size(), 2u);
    EXPECT_EQ(platform.starts.back(), ServerStart::Again);
}

TEST_F(Modes, AServerThatStoppedIsReplacedBeforeTheNextDocument) {
    folder("C:\\docs", {"a.wpd", "b.wpd", "c.wpd"});
    wp->failures.emplace("PosDocVeryTop", AppError(0x800706BE, "stopped"));
    wp->failOnCall["PosDocVeryTop"] = 2;
    startBatch("C:\\docs");
    EXPECT_EQ(status("C:\\docs\\b.wpd"), "Failed");
    EXPECT_EQ(status("C:\\docs\\c.wpd"), "Converted");
    EXPECT_EQ(platform.requestedProgIds.size(), 2u) << "connected again once";
    EXPECT_EQ(std::count(wp->log.begin(), wp->log.end(), "CloseNoSave"), 2)
        << "no clean-up call to a gone server";
}

TEST_F(Modes, AServerThatCannotStartAgainFailsTheRestAtOnceUntilTheNextBatch) {
    folder("C:\\docs", {"a.wpd", "b.wpd", "c.wpd", "d.wpd"});
    wp->failures.emplace("FileOpen", AppError(0x80010108, "disconnected"));
    wp->failOnCall["FileOpen"] = 2;
    auto working = platform.objectFactory;
    platform.objectFactory = [](const std::string&) -> std::shared_ptr<LateBound> {
        throw AppError(0x80080005, "Server execution failed");
    };
    startBatch("C:\\docs");
    EXPECT_EQ(opened().size(), 2u);
    for (const char* name : {"b.wpd", "c.wpd", "d.wpd"})
        EXPECT_EQ(status(std::string("C:\\docs\\") + name), "Failed") << name;
    for (const char* name : {"c.wpd", "d.wpd"})
        EXPECT_EQ(reason(std::string("C:\\docs\\") + name), FailureReason::NotRestartable) << name;
    EXPECT_EQ(platform.requestedProgIds.size(), 2u) << "one try for the rest of the batch";
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(platform.ended, 0);
    platform.objectFactory = working;
    startBatch("C:\\docs");
    EXPECT_EQ(status("C:\\docs\\d.wpd"), "Converted") << "the next batch connects again";

    // Gone again after that batch: a single document started later connects
    // before its first call.
    wp->failures.emplace("CloseNoSave", AppError(0x800706BA, "unavailable"));
    wp->failOnCall["CloseNoSave"] = wp->calls["CloseNoSave"] + 4; // in the last document
    startBatch("C:\\docs");
    wp->failures.clear();
    const std::size_t connections = platform.requestedProgIds.size();
    windows.main.dialogPort.answers = {"C:\\Out\\a.wpd"};
    m->SetSourceFile("C:\\docs\\a.wpd");
    m->startStateOne();
    std::string chosen = "C:\\docs\\a.wpd";
    m->Command1(chosen);
    EXPECT_EQ(platform.requestedProgIds.size(), connections + 1);
    EXPECT_EQ(status("C:\\docs\\a.wpd"), "Converted");
}

TEST_F(Modes, EachJobStartsAfterTheOneBeforeHasClosedItsDocument) {
    folder("C:\\docs", {"a.wpd", "b.wpd", "c.wpd"});
    startBatch("C:\\docs");
    std::vector<std::string> order;
    for (const auto& line : wp->log)
        if (line.rfind("FileOpen", 0) == 0 || line == "CloseNoSave")
            order.push_back(line.substr(0, 8));
    EXPECT_EQ(order, (std::vector<std::string>{"FileOpen", "CloseNoS", "FileOpen", "CloseNoS", "FileOpen",
                                               "CloseNoS"}));
}

TEST_F(Modes, ASecondBatchStartedDuringABatchReplacesItsQueue) {
    folder("C:\\one", {"a.wpd", "b.wpd", "c.wpd"});
    folder("C:\\two", {"x.wpd", "y.wpd"});
    bool started = false;
    platform.onYield = [&](int) {
        // While the first document of the first batch is being treated.
        if (!started && opened().size() == 1) {
            started = true;
            startBatch("C:\\two");
        }
    };
    startBatch("C:\\one");
    EXPECT_EQ(opened(), (std::vector<std::string>{"C:\\one\\a.wpd", "C:\\two\\x.wpd", "C:\\two\\y.wpd"}));
    EXPECT_EQ(status("C:\\two\\x.wpd"), "Converted");
    EXPECT_EQ(status("C:\\two\\y.wpd"), "Converted");
}

TEST_F(Modes, ChoosingASingleDocumentDuringABatchLeavesTheRestUnrun) {
    folder("C:\\one", {"a.wpd", "b.wpd", "c.wpd"});
    platform.onYield = [&](int) {
        if (opened().size() == 1 && Probe::mode(*m) == Probe::Mode::Batch)
            m->startStateOne(); // the user opens the Open dialog
    };
    startBatch("C:\\one");
    EXPECT_EQ(opened(), std::vector<std::string>{"C:\\one\\a.wpd"});
    EXPECT_EQ(Probe::mode(*m), Probe::Mode::SingleDocument);
    // The batch's other jobs are still in its queue, never run.
    const auto& queue = Probe::batchQueue(*m);
    ASSERT_TRUE(queue);
    EXPECT_EQ(queue->size(), 2u);
}

TEST_F(Modes, TheNextJobCommandReachesTheModeCurrentWhenIssued) {
    folder("C:\\one", {"a.wpd", "b.wpd"});
    // The first job yields three times after "Converted", issues the
    // next-job command, then yields three times more.
    int yieldsAfterConverted = 0;
    int switchAt = 0;
    platform.onYield = [&](int) {
        if (opened().size() == 1 && status("C:\\one\\a.wpd") == "Converted" &&
            ++yieldsAfterConverted == switchAt)
            m->startStateOne();
    };
    // Switched after the command went out: it still went to the batch mode.
    switchAt = 4;
    startBatch("C:\\one");
    EXPECT_EQ(opened().size(), 2u);
    // Switched before it went out: it goes to the single-document mode,
    // which has nothing queued.
    wp->log.clear();
    yieldsAfterConverted = 0;
    switchAt = 3;
    startBatch("C:\\one");
    EXPECT_EQ(opened().size(), 1u);
}

// Drops the rest of the batch once the first document has finished.
struct StopAfterFirst : BatchProgress::Observer {
    std::vector<std::string> dropped;
    void progressChanged(const BatchProgress&, BatchProgress::Event event) override {
        if (event == BatchProgress::Event::DocumentFinished && dropped.empty())
            dropped = General::coordinator().DropQueuedDocuments();
    }
};

TEST_F(Modes, DroppingTheQueueEndsTheBatchAfterTheDocumentInProgress) {
    folder("C:\\docs", {"a.wpd", "b.wpd", "c.wpd"});
    StopAfterFirst stop;
    windows.main.progress.setObserver(&stop);
    startBatch("C:\\docs");
    EXPECT_EQ(opened(), (std::vector<std::string>{"C:\\docs\\a.wpd"}));
    EXPECT_EQ(status("C:\\docs\\a.wpd"), "Converted");
    EXPECT_EQ(stop.dropped, (std::vector<std::string>{"C:\\docs\\b.wpd", "C:\\docs\\c.wpd"}));
    EXPECT_FALSE(windows.main.progress.running());
}

TEST_F(Modes, ARunWithNoMacroChosenSaysSoInItsSummary) {
    folder("C:\\docs", {"a.wpd", "b.wpd"});
    settings.setMacro("");
    startBatch("C:\\docs");
    EXPECT_EQ(status("C:\\docs\\a.wpd"), "Converted");
    EXPECT_EQ(windows.main.progress.text(),
              "2 documents: 2 saved without a macro (none is chosen), 0 failed, in 0.0 s");
}

// A start that reaches the modes while the jobs of a batch run (from a
// message box's loop, say) begins its own count; the progress ends only with
// the loop that runs the jobs.
TEST_F(Modes, AStartIssuedWhileABatchRunsCannotEndItsProgress) {
    folder("C:\\docs", {"a.wpd", "b.wpd"});
    folder("C:\\more", {"c.wpd", "d.wpd", "e.wpd"});
    struct StartAgain : BatchProgress::Observer {
        std::function<void()> start;
        std::vector<std::string> seen;
        void progressChanged(const BatchProgress& progress, BatchProgress::Event event) override {
            if (event == BatchProgress::Event::DocumentStarted)
                seen.push_back(progress.lastPath() + (progress.running() ? "" : " after the end"));
            if (event == BatchProgress::Event::DocumentFinished && start)
                std::exchange(start, nullptr)();
        }
    } again;
    again.start = [this] { startBatch("C:\\more"); };
    windows.main.progress.setObserver(&again);
    startBatch("C:\\docs");
    EXPECT_EQ(again.seen, (std::vector<std::string>{"C:\\docs\\a.wpd", "C:\\more\\c.wpd", "C:\\more\\d.wpd",
                                                    "C:\\more\\e.wpd"}));
    EXPECT_FALSE(windows.main.progress.running());
    EXPECT_EQ(windows.main.progress.text(), "3 documents: 3 converted, 0 failed, in 0.0 s");
}

TEST_F(Modes, ABatchLockHeldElsewhereRefusesEitherStartAndALockTakenIsLetGo) {
    folder("C:\\docs", {"a.wpd"});
    files.folders.insert("C:\\Out");
    const std::vector<std::function<void()>> starts = {
        [this] { startBatch("C:\\docs"); },
        [this] {
            m->startStateOne();
            std::string path = "C:\\docs\\a.wpd";
            m->Command1(path);
        },
    };
    for (const auto& start : starts) {
        platform.lockHeldElsewhere = true;
        platform.messages.clear();
        start();
        EXPECT_TRUE(opened().empty());
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].text,
                  "Another Tarnwick batch is running; try again when it has ended.");
    }
    platform.lockHeldElsewhere = false;
    startBatch("C:\\docs");
    EXPECT_EQ(opened().size(), 1u);
    EXPECT_EQ(platform.lockHeld, 0);
}

TEST_F(Modes, SingleDocumentStartAndTheIdleMode) {
    files.files["C:\\src\\a.wpd"] = {"x"};
    windows.main.dialogPort.answers = {"C:\\Out\\a.wpd"};
    m->SetSourceFile("C:\\src\\a.wpd");
    m->SetTgtFolder("C:\\src\\");
    std::string text = "C:\\src\\notes.txt";
    m->startStateOne();
    m->Command1(text); // not in the list: nothing queued, list cleared
    EXPECT_TRUE(wp->log.empty());
    text = "C:\\src\\a.wpd";
    m->Command1(text);
    EXPECT_EQ(opened(), std::vector<std::string>{"C:\\src\\a.wpd"});
    EXPECT_EQ(status("C:\\src\\a.wpd"), "Converted");

    // The idle mode only clears the list; Command3 does nothing anywhere.
    ProgramFixture fresh; // a new program, idle
    auto wp2 = std::make_shared<RecordingObject>();
    fresh.platform.objectFactory = [&](const std::string&) { return wp2; };
    General::Main();
    fresh.windows.main.list.addRow("k", "k");
    std::string ignored;
    General::mediator->Command1(ignored);
    EXPECT_EQ(fresh.windows.main.list.count(), 0u);
    General::mediator->Command2(ignored);
    General::mediator->Command3();
    General::mediator->startStateOne();
    General::mediator->Command3();
    General::mediator->Command2(ignored); // no queue yet: nothing
    EXPECT_TRUE(wp2->log.empty());
}

// A batch far longer than the 16-bit limits, on a thread whose stack could
// never hold one nested call chain per document.
struct LongBatch : Modes {
    static constexpr int kDocuments = 32767;
};

void* runLongBatch(void* arg) {
    auto* self = static_cast<LongBatch*>(arg);
    self->startBatch("C:\\many");
    return nullptr;
}

TEST_F(LongBatch, RunsToItsEndOnASmallStack) {
    auto& entries = windows.main.lister.folders["C:\\many"];
    for (int i = 0; i < kDocuments; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "d%05d.wpd", i);
        entries.push_back({name});
    }
    files.folders.insert("C:\\many");
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    // 1 MiB: a few hundred bytes per nested job would need far more.
    pthread_attr_setstacksize(&attributes, 1 << 20);
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attributes, &runLongBatch, this), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);

    ResultList& rows = windows.main.list;
    ASSERT_EQ(rows.count(), static_cast<std::size_t>(kDocuments));
    std::size_t converted = 0;
    for (std::size_t i = 0; i < rows.count(); ++i)
        converted += rows.status(i) == "Converted";
    EXPECT_EQ(converted, static_cast<std::size_t>(kDocuments));
    EXPECT_EQ(opened().front(), "C:\\many\\d00000.wpd");
    EXPECT_EQ(opened().back(), "C:\\many\\d32766.wpd");
}

} // namespace
