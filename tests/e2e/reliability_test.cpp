// Reliability of batches: twenty documents through the real windows and the
// out-of-process server, with one fault at a time. Every case checks the rows,
// the result files byte for byte, the temporary folder, the source documents
// and the messages, and appends its counts to a table (a TSV file named by
// TARNWICK_RELIABILITY_TSV, not written when that is unset).
#include "e2e_support.h"

#include "base/failure_reasons.h"
#include "core/Mediator.h"
#include "core/connection.h"
#include "platform/errors_win.h"
#include "platform/handles_win.h"
#include "platform/wide_win.h"
#include "ui/Form1_ids.h"
#include "ui/Form2_ids.h"
#include "ui/frmExtension_ids.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace {

using Lines = std::vector<std::string>;

constexpr int kDocuments = 20;
// Each parameterised case is named by its row's label.
const auto byLabel = [](const auto& info) { return std::string(info.param.label); };
const std::string kMacroLines = "Replace \"a\" \"b\"\r\n";

std::string twoDigits(int i) {
    return std::string(1, static_cast<char>('0' + i / 10)) + static_cast<char>('0' + i % 10);
}

// What the macro makes of a document: every "a" becomes "b".
std::string converted(std::string bytes) {
    std::replace(bytes.begin(), bytes.end(), 'a', 'b');
    return bytes;
}

std::string nameOf(const std::string& path) {
    return path.substr(path.find_last_of('\\') + 1);
}

using Outcome = ReliabilityCounts;

// Runs the action when the scope ends, however it ends.
class AtEnd {
public:
    explicit AtEnd(std::function<void()> action) : action_(std::move(action)) {}
    ~AtEnd() { action_(); }
    AtEnd(const AtEnd&) = delete;
    AtEnd& operator=(const AtEnd&) = delete;

private:
    std::function<void()> action_;
};

std::string folderOf(const std::string& path) {
    return path.substr(0, path.find_last_of('\\'));
}

class Reliability : public EndToEnd {
protected:
    // Each source document and the bytes it must hold when the batch is over.
    std::map<std::string, std::string> kept;
    std::vector<std::string> documents; // in the order the batch takes them
    std::string macroPath;
    Lines temporaryBefore;
    Lines unused;                          // folders made for the batch but not chosen: stay empty
    std::vector<SeenMessage> seenMessages; // the message boxes shown during the batch

    Reliability() {
        // Whether the program started a server is told by the process that
        // appears: no server of an earlier case may be running.
        endServersStartedSince({});
        macroPath = macro("replace.wcm", kMacroLines);
        storeMacro(macroPath);
    }

    std::string add(const std::string& name, const std::string& bytes) {
        const std::string path = document(name, bytes);
        kept[path] = bytes;
        documents.push_back(path);
        return path;
    }

    // A file of the source folder that is no document: it must stay as it is
    // and never reach the target folder.
    std::string other(const std::string& name, const std::string& bytes) {
        const std::string path = source + "\\" + name;
        writeBytes(path, bytes);
        kept[path] = bytes;
        return path;
    }

    // doc00.wpd ... doc19.wpd, each with contents of its own.
    void twentyDocuments() {
        for (int i = 0; i < kDocuments; ++i)
            add("doc" + twoDigits(i) + ".wpd", "Document " + twoDigits(i) + ": a banana, a cat and " +
                                                   std::string(static_cast<std::size_t>(i + 1), 'a') +
                                                   " data.\r\n");
    }

    // The batch's own source and target folders, under these names.
    void folders(const std::string& sourceName, const std::string& targetName) {
        unused = {source, target};
        source = scratch.path(sourceName);
        target = scratch.path(targetName);
        ASSERT_TRUE(CreateDirectoryW(widen(source).c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(widen(target).c_str(), nullptr));
    }

    // Plain documents doc00.wpd, doc01.wpd... until there are twenty.
    void upToTwenty(const std::string& text) {
        for (int i = 0; documents.size() < static_cast<std::size_t>(kDocuments); ++i)
            add("doc" + twoDigits(i) + ".wpd", text + " " + twoDigits(i) + ": a cat\r\n");
    }

    // Every document went through the whole conversation with the server,
    // with its path exactly as it is, and converted; the target holds their
    // results and nothing else; no message was shown.
    void expectAllTreated() {
        expectRows({});
        expectResults({});
        for (const std::string& path : documents)
            EXPECT_EQ(journalFor(path), treated(path)) << path;
        EXPECT_TRUE(platform.messages.empty());
    }

    // Every document gets the same macro, which keeps playing for this long:
    // the batch yields to the scripted user in every document.
    void everyMacroPlaysFor(int milliseconds) {
        writeBytes(macroPath, kMacroLines + "Playing " + std::to_string(milliseconds) + "\r\n");
    }

    std::string resultOf(const std::string& path) const { return target + "\\" + nameOf(path); }

    // Starts the program unless it runs already, opens Batch Documents from
    // the menu, picks both folders (cancels the
    // target's folder browser when there is no target), presses Start,
    // then runs the steps given (they act while the batch runs); answers true
    // when every step was done. Every message box is answered with OK (a
    // batch left alone must not hang on one) and kept in seenMessages.
    bool runBatch(std::vector<std::function<bool()>> beforeStart = {},
                  std::vector<std::function<bool()>> during = {}) {
        temporaryBefore = temporaryFiles();
        if (!General::mediator)
            startCoordinator();
        std::vector<std::function<bool()>> steps = pickFolders(source, target);
        steps.insert(steps.end(), beforeStart.begin(), beforeStart.end());
        steps.push_back(press(batchDocuments, IDC_BD_COMMAND1));
        steps.insert(steps.end(), during.begin(), during.end());
        MessageBoxes boxes;
        Script user(std::move(steps), 60000);
        menu(IDM_BATCH);
        seenMessages = boxes.seen();
        return user.finished();
    }

    // The status each row shows, by path.
    std::map<std::string, std::string> statuses() {
        std::map<std::string, std::string> out;
        for (const std::string& row : shownRows()) {
            const auto bar = row.rfind('|');
            out[row.substr(0, bar)] = row.substr(bar + 1);
        }
        return out;
    }

    // Every row says "Converted" except those of the failed paths, which say
    // "Failed"; there is one row for each document.
    void expectRows(const Lines& failed) {
        const auto shown = statuses();
        EXPECT_EQ(shownRows().size(), documents.size());
        for (const std::string& path : documents) {
            const bool fails = std::find(failed.begin(), failed.end(), path) != failed.end();
            const auto row = shown.find(path);
            ASSERT_NE(row, shown.end()) << path;
            EXPECT_EQ(row->second, fails ? "Failed" : "Converted") << path;
        }
    }

    // Each failed row gives the user this reason (as its tip).
    void expectReasons(const std::map<std::string, std::string>& reasons) {
        const std::vector<std::string> rows = shownRows();
        for (const auto& [path, reason] : reasons) {
            const auto row = std::find(rows.begin(), rows.end(), path + "|Failed");
            ASSERT_NE(row, rows.end()) << path;
            EXPECT_EQ(rowTip(static_cast<int>(row - rows.begin())), reason) << path;
        }
    }

    // The results of the documents not listed as missing exist with the
    // macro's result; the missing ones do not; nothing else is in the target.
    void expectResults(const Lines& missing, const Lines& others = {}) {
        Lines expectedNames = others;
        for (const std::string& path : documents) {
            const std::string result = resultOf(path);
            if (std::find(missing.begin(), missing.end(), path) != missing.end()) {
                EXPECT_FALSE(fileExists(result)) << result;
                continue;
            }
            expectedNames.push_back(nameOf(path));
            ASSERT_TRUE(fileExists(result)) << result;
            EXPECT_EQ(readBytes(result), converted(originals[path])) << result;
        }
        std::sort(expectedNames.begin(), expectedNames.end());
        EXPECT_EQ(namesIn(target), expectedNames);
    }

    // The commands the server received for the document, up to the next
    // document's FileOpen.
    Lines journalFor(const std::string& path) { return commandsFor(path, true); }

    Lines treated(const std::string& path) const {
        return {"FileOpen\t" + path,           "envDocBlank",     "PosDocVeryTop",
                "MacroFilePlay\t" + macroPath, "envMacroPlaying", "FileSave\t<temp>",
                resultSave(resultOf(path)),    "CloseNoSave"};
    }

    // The counts of the case, appended to the table. Whatever the case:
    // nothing lost, no temporary file left (in the temporary folder, or a
    // result's beside it), no other file added to or taken from a source
    // folder, nothing in the folders not chosen, and no file but a document
    // opened, none twice.
    Outcome record(const std::string& name) {
        Outcome outcome;
        outcome.documents = static_cast<int>(documents.size());
        for (const std::string& row : shownRows()) {
            const std::string status = row.substr(row.rfind('|') + 1);
            outcome.converted += status == "Converted" ? 1 : 0;
            outcome.failed += status == "Failed" ? 1 : 0;
        }
        std::map<std::string, Lines> sourceFolders; // folder -> the names it must hold
        for (const auto& [path, bytes] : kept) {
            if (!fileExists(path) || readBytes(path) != bytes)
                ++outcome.lost;
            sourceFolders[folderOf(path)].push_back(nameOf(path));
        }
        for (auto& [folder, names] : sourceFolders) {
            if (folder == target)
                continue; // holds the results as well; the case checks it
            std::sort(names.begin(), names.end());
            EXPECT_EQ(namesIn(folder), names) << folder;
        }
        for (const std::string& folder : unused)
            EXPECT_TRUE(namesIn(folder).empty()) << folder;
        std::map<std::string, int> opened;
        for (const std::string& path : openedDocuments(journal))
            ++opened[path];
        for (const auto& [path, times] : opened) {
            EXPECT_NE(std::find(documents.begin(), documents.end(), path), documents.end())
                << "not a document: " << path;
            EXPECT_EQ(times, 1) << path;
        }
        Lines left;
        for (const std::string& file : temporaryFiles())
            if (std::find(temporaryBefore.begin(), temporaryBefore.end(), file) == temporaryBefore.end())
                left.push_back(file);
        sourceFolders[target];
        for (const auto& [folder, names] : sourceFolders)
            for (const std::string& name : namesIn(folder, std::string(kResultTemporaryPrefix) + "*"))
                left.push_back(folder + "\\" + name);
        outcome.temporaryLeft = static_cast<int>(left.size());
        EXPECT_EQ(outcome.lost, 0);
        EXPECT_EQ(outcome.temporaryLeft, 0) << "left: " << ::testing::PrintToString(left);
        EXPECT_LE(outcome.converted + outcome.failed, outcome.documents);
        recordReliabilityCase(name, outcome);
        return outcome;
    }
};

// One injected failure of the server: the rule, the document it hits, and
// how far that document's conversation with the server got.
struct Fault {
    const char* label;    // test name
    const char* caseName; // row of the table
    const char* rule;     // the stand-in's Fail setting
    int steps;            // how many commands of the usual conversation ran
    bool closedAfter;     // a CloseNoSave to clean up followed them
    bool resultWritten;   // the result reached the target folder
};

// Test output names the fault by its label.
void PrintTo(const Fault& fault, std::ostream* out) {
    *out << fault.label;
}

constexpr int kFailing = 10; // doc10.wpd: the 11th document of the batch

const Fault kFaults[] = {
    {"FileOpen", "FileOpen fails (doc10.wpd, Fail FileOpen:11)", "FileOpen:11:Injected", 1, false, false},
    {"envDocBlank", "envDocBlank fails (doc10.wpd, Fail envDocBlank:11)", "envDocBlank:11:Injected", 2, true,
     false},
    {"PosDocVeryTop", "PosDocVeryTop fails (doc10.wpd, Fail PosDocVeryTop:11)", "PosDocVeryTop:11:Injected",
     3, true, false},
    {"MacroFilePlay", "MacroFilePlay fails (doc10.wpd, Fail MacroFilePlay:11)", "MacroFilePlay:11:Injected",
     4, true, false},
    {"envMacroPlaying", "envMacroPlaying fails (doc10.wpd, Fail envMacroPlaying:11)",
     "envMacroPlaying:11:Injected", 5, true, false},
    {"TemporarySave", "FileSave of the temporary file fails (doc10.wpd, Fail FileSave:21)",
     "FileSave:21:Disk is full", 6, true, false},
    {"TargetSave", "FileSave into the target folder fails (doc10.wpd, Fail FileSave:22)",
     "FileSave:22:Disk is full", 7, true, false},
    {"CloseNoSave", "CloseNoSave fails after the saves (doc10.wpd, Fail CloseNoSave:11): no result",
     "CloseNoSave:11:Injected", 8, true, false},
};

class ReliabilityFault : public Reliability, public ::testing::WithParamInterface<Fault> {};

TEST_P(ReliabilityFault, OneDocumentInTheMiddleFails) {
    const Fault& fault = GetParam();
    twentyDocuments();
    standin.fail(fault.rule);
    ASSERT_TRUE(runBatch());

    const std::string failing = documents[kFailing];
    expectRows({failing});
    expectResults(fault.resultWritten ? Lines{} : Lines{failing});
    // The failed document got as far as the fault, then was closed; every
    // other document went through the whole conversation.
    Lines expected = treated(failing);
    expected.resize(static_cast<std::size_t>(fault.steps));
    if (fault.closedAfter)
        expected.push_back("CloseNoSave");
    EXPECT_EQ(journalFor(failing), expected);
    for (const std::string& path : documents)
        if (path != failing)
            EXPECT_EQ(journalFor(path), treated(path)) << path;
    EXPECT_TRUE(platform.messages.empty());
    const Outcome outcome = record(fault.caseName);
    EXPECT_EQ(outcome.converted, kDocuments - 1);
    EXPECT_EQ(outcome.failed, 1);
}

INSTANTIATE_TEST_SUITE_P(Reliability, ReliabilityFault, ::testing::ValuesIn(kFaults), byLabel);

// The commands of the document without the server's refusals, and how
// many refusals there were.
std::pair<Lines, long> withoutRefusals(Lines lines) {
    const long refusals = std::count(lines.begin(), lines.end(), "rejected");
    std::erase(lines, "rejected");
    return {lines, refusals};
}

TEST_F(Reliability, AServerThatRefusesFiveCallsAfterEveryMacro) {
    twentyDocuments();
    standin.set("Busy", "MacroFilePlay:*:5");
    ASSERT_TRUE(runBatch());

    expectRows({});
    expectResults({});
    for (const std::string& path : documents)
        EXPECT_EQ(withoutRefusals(journalFor(path)), std::pair(treated(path), 5L)) << path;
    EXPECT_TRUE(platform.messages.empty());
    record("the server refuses 5 calls after every MacroFilePlay (busy): each is tried again");
}

TEST_F(Reliability, AServerBusyBeyondTheLimitInOneDocument) {
    twentyDocuments();
    platform.limits.busyMs = 1000;
    // Enough refusals to outlast the limit, few enough to end within the
    // failed document's clean-up.
    standin.set("Busy", "MacroFilePlay:11:15");
    ASSERT_TRUE(runBatch());

    const std::string busy = documents[kFailing];
    expectRows({busy});
    expectReasons({{busy, FailureReason::stayedBusy("envMacroPlaying") + FailureReason::EndedAndStarted}});
    expectResults({busy});
    const Lines seen = withoutRefusals(journalFor(busy)).first;
    Lines upToTheMacro = treated(busy);
    upToTheMacro.resize(4);
    ASSERT_GE(seen.size(), 4u);
    EXPECT_EQ(Lines(seen.begin(), seen.begin() + 4), upToTheMacro);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "envMacroPlaying"), 0) << "never run, never repeated";
    for (const std::string& path : documents)
        if (path != busy)
            EXPECT_EQ(withoutRefusals(journalFor(path)).first, treated(path)) << path;
    EXPECT_EQ(serverStarts(journal), 2);
    EXPECT_TRUE(platform.messages.empty());
    record("the server stays busy beyond the busy limit after doc10.wpd's MacroFilePlay (Busy "
           "MacroFilePlay:11:15): the WordPerfect the program started is ended and started again");
}

TEST_F(Reliability, EnvMacroPlayingNeverAnswersInOneDocument) {
    twentyDocuments();
    platform.limits.callMs = 2000;
    standin.set("Hang", "envMacroPlaying:11");
    const std::vector<DWORD> serversBefore = serverProcesses();
    ASSERT_TRUE(runBatch());

    const std::string hung = documents[kFailing];
    expectRows({hung});
    expectReasons({{hung, FailureReason::didNotAnswer("envMacroPlaying") + FailureReason::EndedAndStarted}});
    expectResults({hung});
    Lines expected = treated(hung);
    expected.resize(5); // up to the read that never came back, and no clean-up call
    EXPECT_EQ(journalFor(hung), expected);
    for (const std::string& path : documents)
        if (path != hung)
            EXPECT_EQ(journalFor(path), treated(path)) << path;
    EXPECT_EQ(serverStarts(journal), 2);
    EXPECT_TRUE(platform.messages.empty());
    record(
        "envMacroPlaying never answers in doc10.wpd (Hang envMacroPlaying:11): given up at the call limit, "
        "the WordPerfect the program started ended and started again");
    General::reset();
    endServersStartedSince(serversBefore);
}

// A WordPerfect that waits for a person (a dialog in a call that never
// returns, a macro that never ends): the document fails at its time limit,
// the WordPerfect the program started is ended and started again, and the
// rest convert.
struct Stuck {
    const char* label;
    const char* caseName;
    const char* setting; // the stand-in's setting, fired in the 5th document
    const char* value;
    std::size_t calls; // how many of the usual commands the document got before it stuck
};

void PrintTo(const Stuck& stuck, std::ostream* out) {
    *out << stuck.label;
}

constexpr int kStuck = 4; // doc04.wpd: the 5th document
constexpr int kLimitSeconds = 2;

const Stuck kStuckServers[] = {
    {"WaitInFileOpen",
     "a dialog waits for a person in doc04.wpd's FileOpen (Wait FileOpen:5): the WordPerfect the program "
     "started is ended at the document's limit and started again",
     "Wait", "FileOpen:5", 1},
    {"WaitInMacroFilePlay",
     "a macro waits for a person in doc04.wpd (Wait MacroFilePlay:5): ended, started again", "Wait",
     "MacroFilePlay:5", 4},
    {"MacroNeverEnds", "the macro of doc04.wpd never ends (Endless 5): ended at the limit, started again",
     "Endless", "5", 5},
};

class ReliabilityStuck : public Reliability, public ::testing::WithParamInterface<Stuck> {};

TEST_P(ReliabilityStuck, TheDocumentFailsAtItsLimitAndTheRestConvert) {
    twentyDocuments();
    standin.set(GetParam().setting, GetParam().value);
    startCoordinator();
    General::wordPerfect().setDocumentLimit(kLimitSeconds);
    const ULONGLONG from = GetTickCount64();
    ASSERT_TRUE(runBatch());
    const ULONGLONG took = GetTickCount64() - from;

    const std::string stuck = documents[kStuck];
    expectRows({stuck});
    expectReasons({{stuck, FailureReason::didNotFinish(nameOf(stuck), kLimitSeconds) +
                               FailureReason::EndedAndStarted}});
    expectResults({stuck});
    Lines seen = journalFor(stuck);
    Lines upToTheStop = treated(stuck);
    upToTheStop.resize(GetParam().calls);
    if (GetParam().calls == 5) // the macro's playing state, asked again and again until the limit
        while (seen.size() > 5 && seen.back() == "envMacroPlaying")
            seen.pop_back();
    EXPECT_EQ(seen, upToTheStop) << "nothing more to the stuck server";
    for (const std::string& path : documents)
        if (path != stuck)
            EXPECT_EQ(journalFor(path), treated(path)) << path;
    EXPECT_EQ(serverStarts(journal), 2);
    EXPECT_EQ(serverProcesses().size(), 1u) << "the stuck server was ended";
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_LT(took, 30000u);
    std::printf("[ figures  ] the batch of 20 with one stuck document took %llu ms (the limit %d s)\n", took,
                kLimitSeconds);
    record(GetParam().caseName);
}

INSTANTIATE_TEST_SUITE_P(Reliability, ReliabilityStuck, ::testing::ValuesIn(kStuckServers), byLabel);

TEST_F(Reliability, AServerThatRefusesEveryCallFromTheFifthDocumentOn) {
    twentyDocuments();
    // Busy for ever from doc04.wpd's FileOpen on, in every server started anew.
    standin.set("Busy", "FileOpen:5:*");
    standin.set("Refire", "Busy");
    startCoordinator();
    General::wordPerfect().setDocumentLimit(kLimitSeconds);
    ASSERT_TRUE(runBatch());

    const Lines wedged(documents.begin() + kStuck, documents.begin() + kStuck + 5);
    const Lines notStarted(documents.begin() + kStuck + 5, documents.end());
    expectRows(Lines(documents.begin() + kStuck, documents.end()));
    std::map<std::string, std::string> reasons;
    for (const std::string& path : wedged)
        reasons[path] = FailureReason::didNotFinish(nameOf(path), kLimitSeconds) +
                        (path == wedged.back() ? FailureReason::Ended : FailureReason::EndedAndStarted);
    for (const std::string& path : notStarted)
        reasons[path] = FailureReason::GivenUp;
    expectReasons(reasons);
    for (const std::string& path : notStarted)
        EXPECT_TRUE(journalFor(path).empty()) << path;
    EXPECT_EQ(serverStarts(journal), 5) << "the first, and one after each of the first four ended";
    EXPECT_NE(statusText(0).find(", 11 not started"), std::string::npos) << statusText(0);
    EXPECT_TRUE(platform.messages.empty());
    record("a server that refuses every call from doc04.wpd on (Busy FileOpen:5:*): five documents ended "
           "and started again, then the rest not started");
}

TEST_F(Reliability, AWaitInTheUsersOwnWordPerfectIsNeverEnded) {
    twentyDocuments();
    // The user's WordPerfect runs before the program starts.
    const auto usersOwn = createAutomationObject("WordPerfect.PerfectScript", CLSCTX_LOCAL_SERVER);
    const std::vector<DWORD> running = serverProcesses();
    ASSERT_EQ(running.size(), 1u);
    standin.set("Wait", "FileOpen:5");
    startCoordinator();
    General::wordPerfect().setDocumentLimit(kLimitSeconds);
    ASSERT_TRUE(runBatch());

    const std::string stuck = documents[kStuck];
    expectRows(Lines(documents.begin() + kStuck, documents.end()));
    std::map<std::string, std::string> reasons{
        {stuck, FailureReason::didNotFinish(nameOf(stuck), kLimitSeconds)}};
    for (auto path = documents.begin() + kStuck + 1; path != documents.end(); ++path)
        reasons[*path] = FailureReason::GivenUp;
    expectReasons(reasons);
    EXPECT_EQ(serverProcesses(), running) << "the user's WordPerfect is never ended";
    EXPECT_EQ(serverStarts(journal), 1) << "no other was started";
    EXPECT_TRUE(platform.messages.empty());
    record("a dialog waits for a person in the user's own WordPerfect (Wait FileOpen:5): never ended, the "
           "rest not started");
    usersOwn->letGo();
    General::reset();
    endServersStartedSince({});
}

TEST_F(Reliability, WordPerfectClosedBetweenTwoRuns) {
    twentyDocuments();
    ASSERT_TRUE(runBatch());
    expectRows({});
    standin.set("Quit", "500"); // the server ends after half a second without a call
    Sleep(2000);
    ASSERT_TRUE(serverProcesses().empty()) << "closed by its user";
    target = scratch.path("target again");
    ASSERT_TRUE(CreateDirectoryW(widen(target).c_str(), nullptr));
    journal = scratch.path("journal again.txt");
    standin.journal(journal);
    ASSERT_TRUE(runBatch());

    expectAllTreated();
    EXPECT_EQ(platform.starts, (std::vector<ServerStart>{ServerStart::Cold, ServerStart::Again}));
    record("WordPerfect closed between two runs (Quit 500): the next run starts it again and converts "
           "every document");
}

// A second batch of the same documents into a new target folder, in the
// program that ran the first; answers how long it took.
ULONGLONG timedBatch(std::function<bool()> batch) {
    const ULONGLONG from = GetTickCount64();
    EXPECT_TRUE(batch());
    return GetTickCount64() - from;
}

TEST_F(Reliability, TheServerEndsDuringTheSixthDocument) {
    twentyDocuments();
    standin.set("Exit", "MacroFilePlay:6");
    startCoordinator(); // its server's start is not timed
    const ULONGLONG withEnd = timedBatch([&] { return runBatch(); });

    const std::string ended = documents[5];
    expectRows({ended});
    expectReasons({{ended, FailureReason::stopped("MacroFilePlay")}});
    expectResults({ended});
    Lines expected = treated(ended);
    expected.resize(4); // no clean-up call to a server that has gone
    EXPECT_EQ(journalFor(ended), expected);
    for (const std::string& path : documents)
        if (path != ended)
            EXPECT_EQ(journalFor(path), treated(path)) << path;
    EXPECT_EQ(serverStarts(journal), 2);
    EXPECT_TRUE(platform.messages.empty());
    record(
        "the server ends during doc05.wpd's MacroFilePlay (Exit MacroFilePlay:6): a new one serves the rest");

    // The same batch again with the new server, for the time it takes.
    target = scratch.path("target again");
    ASSERT_TRUE(CreateDirectoryW(widen(target).c_str(), nullptr));
    const ULONGLONG without = timedBatch([&] { return runBatch(); });
    expectRows({});
    std::printf(
        "[ figures  ] the batch of 20 took %llu ms with the server ending in its sixth document, %llu ms "
        "without\n",
        withEnd, without);
}

TEST_F(Reliability, TheServerEndsAndCannotBeStartedAgain) {
    twentyDocuments();
    standin.set("Exit", "MacroFilePlay:6");
    startCoordinator();
    HiddenServerRegistration gone(L"LocalServer32");
    ASSERT_TRUE(runBatch());
    const ULONGLONG over = GetTickCount64();

    const Lines failed(documents.begin() + 5, documents.end());
    expectRows(failed);
    std::map<std::string, std::string> reasons{{failed.front(), FailureReason::stopped("MacroFilePlay")}};
    for (auto path = failed.begin() + 1; path != failed.end(); ++path)
        reasons[*path] = FailureReason::NotRestartable;
    expectReasons(reasons);
    expectResults(failed);
    for (auto path = failed.begin() + 1; path != failed.end(); ++path)
        EXPECT_TRUE(journalFor(*path).empty()) << *path;
    ASSERT_EQ(platform.creations.size(), 2u) << "one try to start it again";
    EXPECT_LT(over - platform.creations.back(), 5000u) << "the rest failed within 5 s";
    EXPECT_TRUE(seenMessages.empty());
    EXPECT_EQ(platform.ended, 0);
    record("the server ends in doc05.wpd and cannot be started again (its registration removed)");

    // The server back: the next batch starts it again and converts.
    gone.restore();
    target = scratch.path("target again");
    ASSERT_TRUE(CreateDirectoryW(widen(target).c_str(), nullptr));
    ASSERT_TRUE(runBatch());
    expectRows({});
    expectResults({});
}

TEST_F(Reliability, ABlankDocumentIsSavedAsItIs) {
    twentyDocuments();
    const std::string blank = documents[kFailing];
    writeBytes(blank, "");
    kept[blank] = originals[blank] = "";
    ASSERT_TRUE(runBatch());

    expectRows({});
    expectResults({});
    EXPECT_EQ(readBytes(resultOf(blank)), "");
    EXPECT_EQ(journalFor(blank), (Lines{"FileOpen\t" + blank, "envDocBlank", "FileSave\t<temp>",
                                        resultSave(resultOf(blank)), "CloseNoSave"}));
    for (const std::string& path : documents)
        if (path != blank)
            EXPECT_EQ(journalFor(path), treated(path)) << path;
    EXPECT_TRUE(platform.messages.empty());
    record("a blank (zero-byte) document (doc10.wpd)");
}

TEST_F(Reliability, NamesInManyScriptsInDocumentsAndFolders) {
    folders("source Ελληνικά Кириллица 中文 😀 ’quoted“ ” v1.2.3", "target ’“” 😀 Ελλάδα.x.y");
    const Lines names{"Ελληνικά έγγραφα.wpd", "Кириллица документ.wpd",      "中文文档.wpd",
                      "smile 😀 here.wpd",     "with spaces ’n “quotes”.wpd", "several.dots.in.one.name.wpd"};
    for (std::size_t i = 0; i < names.size(); ++i)
        add(names[i], "Text " + std::to_string(i) + ": a Ελληνικά а Кириллица 中文 😀 and data\r\n");
    upToTwenty("Plain");
    ASSERT_TRUE(runBatch());

    expectAllTreated();
    record("names in Greek, Cyrillic, Chinese, with an emoji, spaces, quotes and dots");
}

// Whether this process may replace a read-only file by a rename. Windows
// refuses it; Wine run by root may not, since root passes the file system's
// permission check that stands for the attribute.
bool readOnlyFilesCanBeReplaced(const std::string& path) {
    writeBytes(path, "before");
    writeBytes(path + ".new", "after");
    SetFileAttributesW(widen(path).c_str(), FILE_ATTRIBUTE_READONLY);
    const bool replaced =
        MoveFileExW(widen(path + ".new").c_str(), widen(path).c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
    SetFileAttributesW(widen(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(widen(path).c_str());
    DeleteFileW(widen(path + ".new").c_str());
    return replaced;
}

TEST_F(Reliability, AReadOnlyFileInTheTargetFolder) {
    twentyDocuments();
    const std::string blocked = resultOf(documents[kFailing]);
    writeBytes(blocked, "an older result");
    ASSERT_TRUE(SetFileAttributesW(widen(blocked).c_str(), FILE_ATTRIBUTE_READONLY));
    const bool replaceable = readOnlyFilesCanBeReplaced(scratch.path("probe.txt"));
    ASSERT_TRUE(runBatch());

    // The document goes through the whole conversation either way; only
    // the rename onto the read-only file may be refused.
    EXPECT_EQ(journalFor(documents[kFailing]), treated(documents[kFailing]));
    if (replaceable) {
        // The rename replaced the file: the row is "Converted".
        expectRows({});
        expectResults({});
    } else {
        expectRows({documents[kFailing]});
        EXPECT_EQ(readBytes(blocked), "an older result");
        EXPECT_NE(GetFileAttributesW(widen(blocked).c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    }
    EXPECT_TRUE(platform.messages.empty());
    record(replaceable ? "a read-only file in the target folder (replaced: this user may write it)"
                       : "a read-only file in the target folder");
}

TEST_F(Reliability, TheTargetFolderRemovedAfterItWasChosen) {
    twentyDocuments();
    ASSERT_TRUE(runBatch({[&] { return RemoveDirectoryW(widen(target).c_str()) != 0; }}));

    expectRows(documents); // every one failed
    EXPECT_FALSE(fileExists(target));
    // No file could be made in the target folder to save into; the clean-up
    // closed each document.
    for (const std::string& path : documents) {
        Lines expected = treated(path);
        expected.erase(expected.begin() + 6);
        EXPECT_EQ(journalFor(path), expected) << path;
    }
    EXPECT_TRUE(platform.messages.empty());
    const Outcome outcome = record("the target folder removed after it was chosen");
    EXPECT_EQ(outcome.failed, kDocuments);
}

TEST_F(Reliability, ASourceDocumentDeletedDuringTheBatch) {
    twentyDocuments();
    const std::string gone = documents[15];
    everyMacroPlaysFor(100);
    // Once the batch has listed the folder and opened doc05, doc15 goes.
    ASSERT_TRUE(runBatch({}, {[&] {
                             const Lines lines = journalLines(journal);
                             if (std::find(lines.begin(), lines.end(), "FileOpen\t" + documents[5]) ==
                                 lines.end())
                                 return false;
                             EXPECT_TRUE(DeleteFileW(widen(gone).c_str()));
                             kept.erase(gone); // removed by the test, not lost by the program
                             return true;
                         }}));

    expectRows({gone});
    expectResults({gone});
    EXPECT_EQ(journalFor(gone), Lines{"FileOpen\t" + gone});
    EXPECT_TRUE(platform.messages.empty());
    record("a source document deleted during the batch (doc15.wpd)");
}

TEST_F(Reliability, TheSourceFolderIsTheTargetFolder) {
    twentyDocuments();
    const std::string notes = other("notes.txt", "not a document: a b c");
    target = source;
    for (const std::string& path : documents)
        kept[path] = converted(originals[path]); // replaced by its result
    ASSERT_TRUE(runBatch());

    expectRows({});
    for (const std::string& path : documents)
        EXPECT_EQ(readBytes(path), converted(originals[path])) << path;
    EXPECT_EQ(readBytes(notes), "not a document: a b c");
    Lines names;
    for (const std::string& path : documents)
        names.push_back(nameOf(path));
    names.push_back("notes.txt");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(namesIn(source), names);
    EXPECT_TRUE(platform.messages.empty());
    record("the source folder is the target folder");
}

// A save that breaks off part-way (the server ends after writing half of
// doc10.wpd's result, as a crash, a full disk or a dropped share would): the
// file under the document's name is the one that was there before, whole;
// the half-written file goes; a new server converts the rest.
struct BrokenSave {
    const char* label;
    const char* caseName;
    bool inPlace; // the source folder is the target folder
};

void PrintTo(const BrokenSave& save, std::ostream* out) {
    *out << save.label;
}

const BrokenSave kBrokenSaves[] = {
    {"InPlace", "a save that breaks off in place (HalfSave 22, doc10.wpd): the document kept whole", true},
    {"OverAnEarlierResult",
     "a save that breaks off over an earlier result (HalfSave 22, doc10.wpd): it is kept", false},
};

class ReliabilityBrokenSave : public Reliability, public ::testing::WithParamInterface<BrokenSave> {};

TEST_P(ReliabilityBrokenSave, TheFileUnderTheDocumentsNameStaysWhole) {
    twentyDocuments();
    const std::string broken = documents[kFailing];
    if (GetParam().inPlace) {
        target = source;
        for (const std::string& path : documents)
            kept[path] = path == broken ? originals[path] : converted(originals[path]);
    } else {
        for (const std::string& path : documents)
            writeBytes(resultOf(path), "an earlier result of " + nameOf(path));
    }
    standin.set("HalfSave", std::to_string(2 * kFailing + 2)); // the save beside doc10's result
    ASSERT_TRUE(runBatch());

    expectRows({broken});
    expectReasons({{broken, FailureReason::stopped("FileSave")}});
    EXPECT_EQ(readBytes(resultOf(broken)),
              GetParam().inPlace ? originals[broken] : "an earlier result of " + nameOf(broken));
    for (const std::string& path : documents)
        if (path != broken)
            EXPECT_EQ(readBytes(resultOf(path)), converted(originals[path])) << path;
    Lines expected = treated(broken);
    expected.resize(7); // up to the save that broke off; nothing more to a server that has gone
    EXPECT_EQ(journalFor(broken), expected);
    EXPECT_EQ(serverStarts(journal), 2);
    EXPECT_TRUE(platform.messages.empty());
    record(GetParam().caseName);
}

INSTANTIATE_TEST_SUITE_P(Reliability, ReliabilityBrokenSave, ::testing::ValuesIn(kBrokenSaves), byLabel);

TEST_F(Reliability, AnEarlierResultHeldOpenWhenTheNewOneIsRenamedOntoIt) {
    twentyDocuments();
    const std::string held = resultOf(documents[kFailing]);
    writeBytes(held, "an earlier result, open in another program");
    // Another program holds it open, sharing it with nobody, all through the batch.
    UniqueHandle lock(CreateFileW(widen(held).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
    const DWORD refused = [&] {
        const std::string probe = scratch.file("probe.tmp", "x");
        MoveFileExW(widen(probe).c_str(), widen(held).c_str(), MOVEFILE_REPLACE_EXISTING);
        const DWORD error = GetLastError();
        DeleteFileW(widen(probe).c_str());
        return error;
    }();
    ASSERT_TRUE(runBatch());
    lock.reset();

    expectRows({documents[kFailing]});
    expectReasons({{documents[kFailing], systemMessage(refused)}});
    EXPECT_EQ(journalFor(documents[kFailing]), treated(documents[kFailing])) << "saved, closed, not renamed";
    EXPECT_EQ(readBytes(held), "an earlier result, open in another program");
    EXPECT_TRUE(platform.messages.empty());
    record("an earlier result held open without sharing when doc10.wpd's is renamed onto it");
}

TEST_F(Reliability, TheWindowAnswersWhileAMacroPlaysForLong) {
    twentyDocuments();
    // The first document's macro plays for 3 s; once it has started, the
    // macro loses that line for the other documents.
    everyMacroPlaysFor(3000);
    HWND window = mainWindow();
    std::atomic<bool> probed{false};
    std::atomic<int> answered{0};
    std::atomic<long long> slowest{0};
    std::atomic<bool> exitAnswered{false};
    bool enabledWhilePlaying = false;
    std::atomic<bool> workGreyed{false}, batchRefused{false};
    std::atomic<long long> exitTook{0};
    std::thread prober;
    std::atomic<long long> savesWhenProbed{-1};
    const auto started = [&] {
        const Lines lines = journalLines(journal);
        if (std::find(lines.begin(), lines.end(), "envMacroPlaying") == lines.end())
            return false;
        writeBytes(macroPath, kMacroLines);
        // Another thread sends to the window, as the system does, and
        // measures how long each answer takes.
        // The main window is the user's during the batch: its menu can be used.
        enabledWhilePlaying = IsWindowEnabled(window) != FALSE;
        prober = std::thread([&] {
            for (int i = 0; i < 8; ++i) {
                const ULONGLONG from = GetTickCount64();
                DWORD_PTR result = 0;
                if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result) != 0)
                    ++answered;
                slowest = std::max<long long>(slowest, static_cast<long long>(GetTickCount64() - from));
                Sleep(100);
            }
            // The commands that would start or redirect work are greyed
            // and refused; Exit is not.
            HMENU menu = GetMenu(window);
            DWORD_PTR ignored = 0;
            for (int i = 0; i < GetMenuItemCount(menu); ++i)
                SendMessageTimeoutW(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(GetSubMenu(menu, i)),
                                    static_cast<LPARAM>(i), SMTO_NORMAL, 1000, &ignored);
            const auto greyed = [menu](int id) {
                return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0;
            };
            workGreyed = greyed(IDM_OPEN) && greyed(IDM_CLOSE) && greyed(IDM_MACRO_RUN) &&
                         greyed(IDM_BATCH) && !greyed(IDM_EXIT);
            SendMessageTimeoutW(window, WM_COMMAND, IDM_BATCH, 0, SMTO_NORMAL, 1000, &ignored);
            HWND batch = FindWindowW(L"#32770", L"Batch Documents");
            batchRefused = batch == nullptr || !IsWindowVisible(batch);
            // "Exit" from the menu while the macro still plays: it is
            // handled at once (here the end of the program is only observed).
            const ULONGLONG exitFrom = GetTickCount64();
            DWORD_PTR result = 0;
            exitAnswered =
                SendMessageTimeoutW(window, WM_COMMAND, IDM_EXIT, 0, SMTO_NORMAL, 1000, &result) != 0;
            exitTook = static_cast<long long>(GetTickCount64() - exitFrom);
            // All of it happened while the first document was still open.
            const Lines lines = journalLines(journal);
            savesWhenProbed = std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
                return line.rfind("FileSave", 0) == 0;
            });
            probed = true;
        });
        return true;
    };
    const auto finishedProbing = [&] { return probed.load(); };
    const bool done = runBatch({}, {started, finishedProbing});
    if (prober.joinable())
        prober.join();
    ASSERT_TRUE(done);

    EXPECT_EQ(answered, 8);
    EXPECT_LT(slowest, 500) << "the window took " << slowest << " ms to answer";
    EXPECT_EQ(savesWhenProbed, 0) << "the probes ended after the first document was saved";
    EXPECT_TRUE(enabledWhilePlaying);
    EXPECT_TRUE(workGreyed) << "Open, Close, Macro To Run and Batch greyed, Exit not";
    EXPECT_TRUE(batchRefused) << "Batch Documents must not open while documents are converted";
    // Once the batch is over, they are at hand again.
    HMENU menu = GetMenu(window);
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        SendMessageW(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(GetSubMenu(menu, i)),
                     static_cast<LPARAM>(i));
    EXPECT_EQ(GetMenuState(menu, IDM_BATCH, MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_TRUE(exitAnswered);
    EXPECT_LT(exitTook, 500) << "Exit took " << exitTook << " ms";
    EXPECT_EQ(platform.ended, 1) << "Exit ends the program";
    const Lines first = journalFor(documents[0]);
    EXPECT_GT(std::count(first.begin(), first.end(), "envMacroPlaying"), 1) << "the macro never played long";
    expectRows({});
    expectResults({});
    EXPECT_TRUE(platform.messages.empty());
    record(
        "a macro that plays for 3 s on the first document: the window answers and Exit is handled meanwhile");
}

TEST_F(Reliability, ASourceDocumentLockedBeforeTheBatchStarts) {
    twentyDocuments();
    const std::string locked = documents[kFailing];
    // Another program holds the document open and shares it with nobody,
    // from after the folder was listed until the batch is over.
    UniqueHandle lock;
    ASSERT_TRUE(runBatch({[&] {
        lock.reset(CreateFileW(widen(locked).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        return static_cast<bool>(lock);
    }}));
    lock.reset();

    expectRows({locked});
    expectReasons(
        {{locked, "Cannot open the file \"" + locked + "\": " + systemMessage(ERROR_SHARING_VIOLATION)}});
    expectResults({locked});
    EXPECT_EQ(journalFor(locked), Lines{"FileOpen\t" + locked});
    EXPECT_TRUE(platform.messages.empty());
    record("a source document locked by another program (doc10.wpd)");
}

TEST_F(Reliability, PathsLongerThanTwoHundredSixtyCharacters) {
    // Folders the folder browser can give, holding names that make paths of
    // more than 260 characters.
    folders("source " + std::string(60, 's'), "target " + std::string(60, 't'));
    for (int i = 0; i < 5; ++i) {
        const std::string path = add("long " + twoDigits(i) + " " + std::string(180, 'n') + " Ελληνικά.wpd",
                                     "Long " + twoDigits(i) + ": a banana\r\n");
        ASSERT_GE(widen(path).size(), 300u) << path;
        ASSERT_GE(widen(resultOf(path)).size(), 300u);
    }
    upToTwenty("Short");
    ASSERT_TRUE(runBatch());

    expectAllTreated();
    record("paths of 300 and more characters (5 documents)");
}

// A macro setting that cannot serve: the case, and whether each document
// still converts (saved as it was, nothing played) or fails.
struct MacroValue {
    const char* label;
    const char* caseName;
    bool converts;
};

void PrintTo(const MacroValue& value, std::ostream* out) {
    *out << value.label;
}

const MacroValue kMacroValues[] = {
    {"Number", "the stored macro is a number, not a text", false},
    {"Empty", "the stored macro is empty text (no macro: saved as they are)", true},
    {"Folder", "the stored macro names a folder", false},
    {"Gone", "the stored macro names a file that is gone", false},
};

class ReliabilityMacroValue : public Reliability, public ::testing::WithParamInterface<MacroValue> {};

TEST_P(ReliabilityMacroValue, EveryDocumentGetsTheSameClearResult) {
    const MacroValue& value = GetParam();
    twentyDocuments();
    const std::string options = files.programName() + "\\Options";
    std::vector<std::string> played; // what the server is asked to play
    if (value.label == std::string("Number")) {
        const DWORD number = 42;
        settingsKey.write(options, "macro", REG_DWORD, &number, sizeof number);
    } else if (value.label == std::string("Empty")) {
        storeMacro("");
    } else if (value.label == std::string("Gone")) {
        storeMacro(scratch.path("moved away.wcm"));
    } else {
        const std::string folder = scratch.path("macros.wcm");
        ASSERT_TRUE(CreateDirectoryW(widen(folder).c_str(), nullptr));
        storeMacro(folder);
        played.push_back("MacroFilePlay\t" + folder);
    }
    ASSERT_TRUE(runBatch());

    if (value.converts) {
        expectRows({});
        Lines names;
        for (const std::string& path : documents) {
            names.push_back(nameOf(path));
            EXPECT_EQ(readBytes(resultOf(path)), originals[path]) << path;
            EXPECT_EQ(journalFor(path),
                      (Lines{"FileOpen\t" + path, "envDocBlank", "PosDocVeryTop", "FileSave\t<temp>",
                             resultSave(resultOf(path)), "CloseNoSave"}))
                << path;
        }
        std::sort(names.begin(), names.end());
        EXPECT_EQ(namesIn(target), names);
    } else {
        // The macro cannot be read, found or played: each document fails
        // before anything was saved, and is closed.
        expectRows(documents);
        expectResults(documents);
        for (const std::string& path : documents) {
            Lines expected{"FileOpen\t" + path, "envDocBlank", "PosDocVeryTop"};
            expected.insert(expected.end(), played.begin(), played.end());
            expected.push_back("CloseNoSave");
            EXPECT_EQ(journalFor(path), expected) << path;
        }
    }
    EXPECT_TRUE(platform.messages.empty());
    record(value.caseName);
}

INSTANTIATE_TEST_SUITE_P(Reliability, ReliabilityMacroValue, ::testing::ValuesIn(kMacroValues), byLabel);

TEST_F(Reliability, ExtensionEntriesWithDotsBlanksAndMixedCase) {
    // Entries are taken as typed and compared without regard to case: "DoC"
    // admits doc files in any case; ".txt", " rtf" and "wp5 " admit nothing.
    for (int i = 0; i < 8; ++i)
        add("doc" + twoDigits(i) + ".wpd", "Wpd " + twoDigits(i) + ": a cat\r\n");
    for (const char* name : {"letter.doc", "LETTER2.DOC", "Memo.Doc", "report.final.doc"})
        add(name, std::string("Doc ") + name + ": a banana\r\n");
    for (int i = 8; documents.size() < static_cast<std::size_t>(kDocuments); ++i)
        add("doc" + twoDigits(i) + ".WPD", "Upper " + twoDigits(i) + ": a cat\r\n");
    for (const char* name : {"notes.txt", "plain.rtf", "old.wp5", "doc.wpd.bak", "wpd", "archive.docx"})
        other(name, std::string("not a document: ") + name);
    startCoordinator();
    const Lines typed{"DoC", ".txt", " rtf", "wp5 "};
    std::vector<std::function<bool()>> adding;
    Lines entries;
    for (std::size_t i = 0; i < typed.size(); ++i) {
        adding.push_back([entry = typed[i]] {
            HWND manager = extensionManager();
            if (!shown(manager))
                return false;
            SetDlgItemTextW(manager, IDC_TXTEXTENSION, widen(entry).c_str());
            click(manager, IDC_CMDADDMOVIE);
            return true;
        });
        adding.push_back([&entries, count = i + 2] { // the click is handled before the next entry is typed
            entries = listEntries(GetDlgItem(extensionManager(), IDC_LSTEXT));
            return entries.size() == count;
        });
    }
    adding.push_back(press(extensionManager, IDC_CMDEXIT));
    Script add(std::move(adding));
    menu(IDM_EXTENSIONS);
    ASSERT_TRUE(add.waitUntilFinished()); // the extension manager is modeless
    EXPECT_EQ(entries, (Lines{"wpd", "DoC", ".txt", " rtf", "wp5 "}));

    Lines found;
    ASSERT_TRUE(runBatch({[&] {
        found = listEntries(GetDlgItem(batchDocuments(), IDC_LIST1));
        return true;
    }}));
    Lines names;
    for (const std::string& path : documents)
        names.push_back(nameOf(path));
    std::sort(names.begin(), names.end());
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, names) << "the dialog lists the documents the batch treats";
    expectAllTreated();
    record("extension entries \"DoC\", \".txt\", \" rtf\", \"wp5 \" (26 files)");
}

TEST_F(Reliability, ATargetFolderMarkedReadOnly) {
    twentyDocuments();
    ASSERT_TRUE(SetFileAttributesW(widen(target).c_str(), FILE_ATTRIBUTE_READONLY));
    const AtEnd writable_again([&] { SetFileAttributesW(widen(target).c_str(), FILE_ATTRIBUTE_NORMAL); });
    // Windows does not keep files out of a folder for this attribute; Wine
    // run by root does not either. Where it does, every save must fail.
    const std::string probe = target + "\\probe.txt";
    HANDLE file = CreateFileW(widen(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    const bool writable = file != INVALID_HANDLE_VALUE;
    if (writable) {
        CloseHandle(file);
        DeleteFileW(widen(probe).c_str());
    }
    ASSERT_TRUE(runBatch());

    for (const std::string& path : documents)
        EXPECT_EQ(journalFor(path), treated(path)) << path;
    if (writable) {
        expectRows({});
        expectResults({});
    } else {
        expectRows(documents);
        expectResults(documents);
    }
    EXPECT_TRUE(platform.messages.empty());
    record(writable ? "a target folder marked read-only (files may still be written in it)"
                    : "a target folder marked read-only");
}

TEST_F(Reliability, FiveThousandFilesOfWhichOneThousandAreDocuments) {
    // The in-process server keeps this case short.
    platform.serverContext = CLSCTX_INPROC_SERVER;
    const char* others[] = {".txt", ".wpd.bak", ".doc", ".wp", ".WPD~"};
    for (int i = 0; i < 5000; ++i) {
        char name[32];
        if (i % 5 == 0) {
            std::snprintf(name, sizeof name, "doc%04d.wpd", i);
            add(name, "Document " + std::to_string(i) + ": a cat\r\n");
        } else {
            std::snprintf(name, sizeof name, "file%04d%s", i, others[i % 5]);
            other(name, std::string("other ") + name);
        }
    }
    ASSERT_EQ(documents.size(), 1000u);
    ASSERT_TRUE(runBatch());

    const auto shown = statuses();
    EXPECT_EQ(shown.size(), 1000u);
    EXPECT_EQ(
        std::count_if(shown.begin(), shown.end(), [](const auto& row) { return row.second == "Converted"; }),
        1000);
    expectResults({});
    EXPECT_TRUE(platform.messages.empty());
    record("5,000 files, 1,000 of them documents (in-process server)");
}

TEST_F(Reliability, NoTargetFolderChosen) {
    twentyDocuments();
    const std::string chosenBefore = target;
    target.clear();
    ASSERT_TRUE(runBatch());

    // One message, and nothing written anywhere: not into the folder that
    // was not chosen, not into the root of the current drive.
    ASSERT_EQ(seenMessages.size(), 1u);
    EXPECT_EQ(seenMessages[0].caption, L"Tarnwick");
    EXPECT_EQ(seenMessages[0].text, L"Select a target folder before starting a batch.");
    EXPECT_TRUE(shownRows().empty());
    EXPECT_TRUE(namesIn(chosenBefore).empty());
    for (const std::string& path : documents)
        EXPECT_FALSE(fileExists("\\" + nameOf(path))) << path;
    EXPECT_TRUE(journalLines(journal).empty());
    record("no target folder chosen (its folder browser cancelled): one message");
}

TEST_F(Reliability, TheSourceFolderMovedAfterItWasChosen) {
    twentyDocuments();
    const std::string moved = source + " moved";
    ASSERT_TRUE(runBatch({[&] {
        if (!MoveFileW(widen(source).c_str(), widen(moved).c_str()))
            return false;
        std::map<std::string, std::string> now;
        for (const auto& [path, bytes] : kept)
            now[moved + path.substr(source.size())] = bytes;
        kept = now;
        return true;
    }}));

    ASSERT_EQ(seenMessages.size(), 1u);
    EXPECT_EQ(seenMessages[0].caption, L"Tarnwick");
    EXPECT_EQ(seenMessages[0].text, widen("The source folder could not be read:\r\n" + source + "\r\n" +
                                          systemMessage(ERROR_PATH_NOT_FOUND)));
    EXPECT_TRUE(shownRows().empty());
    EXPECT_TRUE(namesIn(target).empty());
    EXPECT_TRUE(journalLines(journal).empty());
    record("the source folder moved away after it was chosen: one message");
}

TEST_F(Reliability, ABatchAfterASingleDocumentWithoutATargetChosen) {
    twentyDocuments();
    // A single document treated first: it leaves its own folder (the
    // source folder) behind as the target.
    const std::string single = documents[0];
    const std::string singleResult = scratch.path("single result.wpd");
    startCoordinator();
    Script open({typeInto(L"Open", single), typeInto(L"Save As", singleResult)});
    menu(IDM_OPEN);
    ASSERT_TRUE(open.finished());
    ASSERT_EQ(General::mediator->GetTgtFolder(), source + "\\");
    ASSERT_EQ(readBytes(singleResult), converted(originals[single]));

    // Then a batch of that same folder, with no target picked in Batch
    // Documents: it would replace every document by its result.
    temporaryBefore = temporaryFiles();
    const std::size_t journalBefore = journalLines(journal).size();
    MessageBoxes boxes;
    Script batch({press(batchDocuments, IDC_BTNSOURCE), pickFolder(source),
                  untilText(batchDocuments, IDC_TXTSRCFOLDER, source),
                  press(batchDocuments, IDC_BD_COMMAND1)});
    menu(IDM_BATCH);
    ASSERT_TRUE(batch.finished());

    ASSERT_EQ(boxes.seen().size(), 1u) << boxes.list();
    EXPECT_EQ(boxes.seen()[0].text, L"Select a target folder before starting a batch.");
    EXPECT_TRUE(shownRows().empty());
    EXPECT_EQ(journalLines(journal).size(), journalBefore) << "no document was opened";
    DeleteFileW(widen(singleResult).c_str());
    record("a batch of a single document's folder with no target picked: one message");
}

} // namespace
