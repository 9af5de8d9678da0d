// The console program's Win32 edges: its output streams, report files, the
// batch lock across processes, Ctrl+C, and tarnwick-batch.exe itself.
#include "base/failure_reasons.h"
#include "base/ports.h"
#include "console/command_line.h"
#include "console/console_io_win.h"
#include "console/console_text.h"
#include "console/resume.h"
#include "control/State.h"
#include "platform/batch_lock_win.h"
#include "platform/errors_win.h"
#include "platform/handles_win.h"
#include "platform/settings_win.h"
#include "platform/wide_win.h"
#include "standin_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

namespace {

const std::string kGreek = "\xCE\xAD\xCE\xB3\xCE\xB3\xCF\x81\xCE\xB1\xCF\x86\xCE\xB1"; // έγγραφα
const std::string kChinese = "\xE6\x96\x87\xE4\xBB\xB6";                               // 文件
constexpr DWORD kGotLock = ExitCode::Success, kRefused = ExitCode::AnotherBatch;

// A program of the build: the test helpers lie beside this test program,
// tarnwick-batch.exe one folder above.
std::wstring buildProgram(const wchar_t* name) {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    path.resize(path.find_last_of(L'\\'));
    if (name == std::wstring(L"tarnwick-batch.exe"))
        path.resize(path.find_last_of(L'\\'));
    return path + L"\\" + name;
}

// A program started with a console of its own, as a scheduled task's is;
// with output files, its standard output and error go into the scratch folder.
class Started {
public:
    Started(const ScratchFolder& scratch, const wchar_t* program, const std::string& arguments,
            bool outputFiles = true)
        : out_(scratch.path("run" + std::to_string(++runs_) + ".out")), err_(out_ + ".err") {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        const auto create = [&](const std::string& path) {
            return UniqueHandle(CreateFileW(widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        };
        const UniqueHandle out = create(out_), err = create(err_);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (outputFiles) {
            startup.dwFlags = STARTF_USESTDHANDLES;
            startup.hStdOutput = out.get();
            startup.hStdError = err.get();
        }
        const std::wstring exe = buildProgram(program);
        std::wstring commandLine = L"\"" + exe + L"\" " + widen(arguments);
        PROCESS_INFORMATION started{};
        if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, outputFiles,
                            CREATE_NEW_CONSOLE, nullptr, widen(scratch.folder()).c_str(), &startup, &started))
            throw std::runtime_error("cannot start " + narrow(exe));
        CloseHandle(started.hThread);
        process_.reset(started.hProcess);
    }
    HANDLE process() const { return process_.get(); }
    // Waits (a minute at most) for the end and answers the exit code.
    DWORD exitCode() const {
        if (WaitForSingleObject(process_.get(), 60000) != WAIT_OBJECT_0)
            TerminateProcess(process_.get(), 99);
        DWORD code = 99;
        GetExitCodeProcess(process_.get(), &code);
        return code;
    }
    std::string out() const { return readBytes(out_); }
    std::string err() const { return readBytes(err_); }

private:
    static inline int runs_ = 0;
    std::string out_, err_;
    UniqueHandle process_;
};

DWORD tryInAnotherProcess(const ScratchFolder& scratch) {
    return Started(scratch, L"console_probe.exe", "try").exitCode();
}

TEST(ConsoleStream, TextReachesAFileAsUtf8) {
    ScratchFolder scratch;
    const std::string path = scratch.path("out.txt");
    {
        const UniqueHandle file(CreateFileW(widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        StandardStream stream(file.get());
        EXPECT_FALSE(stream.toConsole());
        EXPECT_TRUE(stream.write(kGreek + " " + kChinese + "\r\n"));
    }
    EXPECT_EQ(readBytes(path), kGreek + " " + kChinese + "\r\n");
}

TEST(ConsoleStream, TextReachesAConsoleAsUnicode) {
    ScratchFolder scratch;
    const std::string shown = scratch.path("shown.txt");
    ASSERT_EQ(Started(scratch, L"console_probe.exe", "write \"" + shown + "\"", false).exitCode(), 0u);
    EXPECT_EQ(readBytes(shown), "console=1 written=1\n" + kGreek + " " + kChinese + "\n");
}

TEST(ConsoleReportFile, UntouchedUntilTheRunBeginsThenEveryRowIsOnTheDiskWhenAdded) {
    ScratchFolder scratch;
    const std::string path = scratch.path(kGreek + ".csv");
    const std::string document = "C:\\" + kChinese + "\\a.wpd";
    const std::string header = std::string("\xEF\xBB\xBF") + kReportHeader + "\r\n";
    {
        BatchReport unused(openReportFile(path));
        EXPECT_EQ(readBytes(path), "");
    }
    EXPECT_FALSE(fileExists(path)) << "a file made for a run that never began goes again";
    {
        BatchReport report(openReportFile(path));
        report.begin();
        EXPECT_EQ(readBytes(path), header);
        report.add(document, DocumentStatus::Converted, "", 1.5);
        EXPECT_EQ(readBytes(path), header + document + ",Converted,,1.500\r\n");
        EXPECT_TRUE(readEarlierReportFile(path).convertedEarlier(document));
    }
    // An earlier report stays as it is until the next run begins.
    const std::string earlier = readBytes(path);
    {
        BatchReport again(openReportFile(path));
        EXPECT_EQ(readBytes(path), earlier);
        again.begin();
        EXPECT_EQ(readBytes(path), header);
    }

    const std::string missing = scratch.path("none\\r.csv");
    EXPECT_EQ(errorOf([&] { openReportFile(missing); })
                  .description()
                  .rfind("The report " + missing + " cannot be written: ", 0),
              0u);
    EXPECT_EQ(errorOf([&] { readEarlierReportFile(missing); })
                  .description()
                  .rfind("The report " + missing + " cannot be read: ", 0),
              0u);
}

TEST(BatchLockAcrossProcesses, OneHolderAtATime) {
    ScratchFolder scratch;
    const std::wstring ready = L"TarnwickTestReady" + std::to_wstring(GetCurrentProcessId());
    const std::wstring release = L"TarnwickTestRelease" + std::to_wstring(GetCurrentProcessId());
    const UniqueHandle readyEvent(CreateEventW(nullptr, TRUE, FALSE, ready.c_str()));
    const UniqueHandle releaseEvent(CreateEventW(nullptr, TRUE, FALSE, release.c_str()));
    const Started holder(scratch, L"console_probe.exe", "hold " + narrow(ready) + " " + narrow(release));
    ASSERT_EQ(WaitForSingleObject(readyEvent.get(), 30000), WAIT_OBJECT_0);
    EXPECT_FALSE(BatchLock::tryTake());
    EXPECT_EQ(tryInAnotherProcess(scratch), kRefused);
    SetEvent(releaseEvent.get());
    EXPECT_EQ(holder.exitCode(), kGotLock);
    {
        const BatchLock lock = BatchLock::tryTake();
        EXPECT_TRUE(lock);
        EXPECT_FALSE(BatchLock::tryTake()) << "a second batch of the same process";
        EXPECT_EQ(tryInAnotherProcess(scratch), kRefused);
    }
    EXPECT_EQ(tryInAnotherProcess(scratch), kGotLock);

    // A holder that ends without releasing it leaves it free.
    ResetEvent(readyEvent.get());
    ResetEvent(releaseEvent.get());
    const Started killed(scratch, L"console_probe.exe", "hold " + narrow(ready) + " " + narrow(release));
    ASSERT_EQ(WaitForSingleObject(readyEvent.get(), 30000), WAIT_OBJECT_0);
    EXPECT_FALSE(BatchLock::tryTake());
    TerminateProcess(killed.process(), 1);
    killed.exitCode();
    EXPECT_TRUE(BatchLock::tryTake());

    // A lock file that cannot be opened for another reason is no other
    // batch: the caller learns why.
    const std::string notAFolder = scratch.file("not a folder");
    EXPECT_EQ(errorOf([&] { BatchLock::tryTake(notAFolder); })
                  .description()
                  .rfind("The lock of running batches " + notAFolder + "\\batch.lock cannot be opened: ", 0),
              0u);
}

// Ctrl+C through the program's own console, and Ctrl+C then Ctrl+Break by
// calling the handler as the system would (Wine generates no Ctrl+Break):
// the first asks for a stop and says so, the second ends the program at
// once with the code of a stopped run.
TEST(ConsoleStop, FirstCtrlCRequestsAStopSecondEndsTheProgram) {
    ScratchFolder scratch;
    for (const std::string how : {"event", "call"}) {
        const Started probe(scratch, L"console_probe.exe", "interrupt " + how);
        EXPECT_EQ(probe.exitCode(), static_cast<DWORD>(ExitCode::Incomplete)) << how;
        EXPECT_EQ(probe.out(), "stop requested\r\n") << how;
        EXPECT_EQ(probe.err(), std::string(kStopNotice) + "\r\n") << how;
    }
}

// tarnwick-batch.exe over a folder of documents, against the out-of-process
// stand-in, with the macro setting of the windows program set aside.
struct TarnwickBatchRun : ::testing::Test {
    ScratchFolder scratch;
    StandinSettings standin{SettingsChannel::Registry};
    HiddenServerRegistration inProcess{L"InprocServer32"};
    KeySetAside stored{HKEY_CURRENT_USER, "Software\\VB and VBA Program Settings\\tarnwick"};
    std::vector<DWORD> servers = serverProcesses();
    std::vector<std::string> temporaryBefore = temporaryFiles();
    const std::string journal = scratch.path("journal.txt");
    const std::vector<std::string> documents = {"a.wpd", kGreek + ".wpd", kChinese + ".WPD"}; // listing order

    TarnwickBatchRun() {
        CreateDirectoryW(widen(scratch.path("src")).c_str(), nullptr);
        for (const std::string& name : documents)
            scratch.file("src\\" + name, "text of " + name);
        scratch.file("src\\notes.txt");
        scratch.file("final.wcm", "Top\nType \"Final\\n\"\n");
        standin.journal(journal);
    }
    ~TarnwickBatchRun() override { endServersStartedSince(servers); }

    std::string source(std::size_t i) const { return scratch.path("src\\" + documents[i]); }
    std::vector<std::string> opened() const { return openedDocuments(journal); }
    // Output and report with every figure of seconds replaced by "s".
    static std::string timeless(const std::string& text) {
        return std::regex_replace(std::regex_replace(text, std::regex(R"(\(\d+\.\d s\))"), "(s)"),
                                  std::regex(R"(,\d+\.\d{3}\r\n)"), ",s\r\n");
    }
};

// Visible windows of the process, polled until it ends.
int windowsShownUntilEnd(HANDLE process) {
    int shown = 0;
    while (WaitForSingleObject(process, 20) == WAIT_TIMEOUT) {
        std::pair<DWORD, int*> probe{GetProcessId(process), &shown};
        EnumWindows(
            [](HWND window, LPARAM arg) -> BOOL {
                auto* p = reinterpret_cast<std::pair<DWORD, int*>*>(arg);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner == p->first && IsWindowVisible(window))
                    ++*p->second;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&probe));
    }
    return shown;
}

TEST_F(TarnwickBatchRun, ALineAndAReportRowPerDocumentNoWindowAndTheStoredMacroKept) {
    RegistrySettingsStore().SaveSetting("tarnwick", "Options", "macro", "C:\\stored.wcm");
    standin.fail("FileOpen:2:Cannot open");
    standin.delay("FileSave:100");

    const Started batch(scratch, L"tarnwick-batch.exe", "src out /macro final.wcm /report out\\report.csv");
    EXPECT_EQ(windowsShownUntilEnd(batch.process()), 0);
    EXPECT_EQ(batch.exitCode(), static_cast<DWORD>(ExitCode::Incomplete));
    EXPECT_EQ(timeless(batch.out()), "[1/3] Converted " + source(0) + " (s)\r\n[2/3] Failed " + source(1) +
                                         " (s): Cannot open\r\n[3/3] Converted " + source(2) +
                                         " (s)\r\n3 documents: 2 converted, 1 failed, 0 skipped (s)\r\n");
    EXPECT_EQ(batch.err(), "");
    EXPECT_EQ(timeless(readBytes(scratch.path("out\\report.csv"))),
              std::string("\xEF\xBB\xBF") + kReportHeader + "\r\n" + source(0) + ",Converted,,s\r\n" +
                  source(1) + ",Failed,Cannot open,s\r\n" + source(2) + ",Converted,,s\r\n");
    EXPECT_EQ(readBytes(scratch.path("out\\" + documents[2])), "Final\ntext of " + documents[2]);
    EXPECT_EQ(namesIn(scratch.path("out")), (std::vector<std::string>{"a.wpd", "report.csv", documents[2]}));
    EXPECT_EQ(temporaryFiles(), temporaryBefore);
    EXPECT_EQ(RegistrySettingsStore().GetSetting("tarnwick", "Options", "macro", ""), "C:\\stored.wcm");
}

// Until a run begins (the lock held, WordPerfect reached, the documents
// listed) nothing of the user's changes: the report given stays byte for
// byte, and a target folder made for the run goes again.
TEST_F(TarnwickBatchRun, ExitCodesAndWhatARunThatNeverBeganLeavesBehind) {
    const std::string notice = std::string(kNoMacroNotice) + "\r\n";
    std::string converted = notice;
    for (std::size_t i = 0; i < documents.size(); ++i)
        converted += "[" + std::to_string(i + 1) + "/3] Converted " + source(i) + " (s)\r\n";
    const std::string summary = "3 documents: 3 converted, 0 failed, 0 skipped (s)\r\n";
    const std::string earlier =
        std::string("\xEF\xBB\xBF") + kReportHeader + "\r\n" + source(0) + ",Converted,,1.000\r\n";
    const std::string report = scratch.path("report.csv");
    struct Case {
        const char* name;
        std::function<std::shared_ptr<void>()> hold; // what the case holds while the program runs
        std::string target, more;                    // the target folder and further arguments
        std::string seed;                            // the report file before the run
        DWORD code;
        std::string out, err;
    };
    const auto nothing = [] { return nullptr; };
    const std::vector<Case> cases = {
        {"converted, resumed from a report not yet written", nothing, "out", " /resume first.csv", earlier,
         ExitCode::Success, converted + summary,
         "tarnwick-batch: " + noEarlierReport(scratch.path("first.csv")) + "\r\n"},
        {"no WordPerfect", [] { return std::make_shared<HiddenServerRegistration>(L"LocalServer32"); }, "new",
         "", earlier, ExitCode::NoWordPerfect, notice, "tarnwick-batch: Could not find WordPerfect\r\n"},
        {"another batch", [] { return std::make_shared<BatchLock>(BatchLock::tryTake()); }, "new", "",
         earlier, ExitCode::AnotherBatch, "", std::string("tarnwick-batch: ") + kAnotherBatch + "\r\n"},
        {"a report file that is not a report", nothing, "new", "", "earlier", ExitCode::BadArguments, "",
         "tarnwick-batch: " + report + " is not a Tarnwick report; name a new file or an earlier report\r\n"},
        {"a stored macro that is not text",
         [] {
             const DWORD number = 42;
             RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\tarnwick\\Options",
                             L"macro", REG_DWORD, &number, sizeof number);
             return nullptr;
         },
         "new", "", earlier, ExitCode::BadArguments, "",
         "tarnwick-batch: The setting \"macro\" is not text\r\n"},
        {"the macro stored under the program's name",
         [this] {
             RegistrySettingsStore().SaveSetting("tarnwick", "Options", "macro", scratch.path("final.wcm"));
             return nullptr;
         },
         "out", "", "", ExitCode::Success, converted.substr(notice.size()) + summary, ""},
    };
    for (const Case& c : cases) {
        scratch.file("report.csv", c.seed);
        const auto held = c.hold();
        const Started batch(scratch, L"tarnwick-batch.exe",
                            "src " + c.target + " /report report.csv" + c.more);
        EXPECT_EQ(batch.exitCode(), c.code) << c.name;
        EXPECT_EQ(timeless(batch.out()), c.out) << c.name;
        EXPECT_EQ(batch.err(), c.err) << c.name;
        if (c.code == ExitCode::Success) {
            EXPECT_TRUE(timeless(readBytes(report)).ends_with(source(2) + ",Converted,,s\r\n")) << c.name;
        } else {
            EXPECT_EQ(readBytes(report), c.seed) << c.name;
            EXPECT_FALSE(fileExists(scratch.path(c.target))) << c.name << ": the folder made for it is gone";
        }
    }
    EXPECT_EQ(readBytes(scratch.path("out\\a.wpd")), "Final\ntext of a.wpd") << "the stored macro played";
}

// A dialog that waits for a person in the second document: that document
// fails at its limit, the WordPerfect the program started is ended and
// started again, the rest convert.
TEST_F(TarnwickBatchRun, AWaitForAPersonCostsOneDocumentAndItsTimeLimit) {
    standin.set("Wait", "FileOpen:2");
    const ULONGLONG from = GetTickCount64();
    const Started batch(scratch, L"tarnwick-batch.exe",
                        "src out /macro final.wcm /timeout 5 /report report.csv");
    EXPECT_EQ(batch.exitCode(), static_cast<DWORD>(ExitCode::Incomplete));
    const ULONGLONG took = GetTickCount64() - from;
    EXPECT_LT(took, 60000u);
    const std::string reason = FailureReason::didNotFinish(documents[1], 5) + FailureReason::EndedAndStarted;
    EXPECT_EQ(reason, "WordPerfect did not finish " + documents[1] +
                          " within 5 seconds; it was ended and started again");
    EXPECT_EQ(timeless(readBytes(scratch.path("report.csv"))),
              std::string("\xEF\xBB\xBF") + kReportHeader + "\r\n" + source(0) + ",Converted,,s\r\n" +
                  source(1) + ",Failed," + reason + ",s\r\n" + source(2) + ",Converted,,s\r\n");
    EXPECT_EQ(namesIn(scratch.path("out")), (std::vector<std::string>{"a.wpd", documents[2]}));
    EXPECT_EQ(temporaryFiles(), temporaryBefore);
    EXPECT_EQ(serverStarts(journal), 2);
    std::printf(
        "[ figures  ] tarnwick-batch /timeout 5 with a wait in the second of 3 documents took %llu ms\n",
        took);
    int lost = 0;
    for (std::size_t i = 0; i < documents.size(); ++i)
        lost += readBytes(source(i)) != "text of " + documents[i] ? 1 : 0;
    recordReliabilityCase(
        "tarnwick-batch /timeout 5, a dialog waits for a person in the 2nd document (Wait "
        "FileOpen:2): exit code 1, the report says why",
        {3, 2, 1, lost, static_cast<int>(temporaryFiles().size() - temporaryBefore.size())});
}

// An archive as it is with /recurse: every document of the tree, mirrored
// below the target byte for byte, the hidden folder and the link back up not
// entered; then /resume and /changed over the tree, three PCs' shares that
// together convert every document once, and a target inside the source.
TEST_F(TarnwickBatchRun, ATreeWithItsSubfoldersSharesAndOnlyWhatChanged) {
    const ArchiveTree tree = makeArchiveTree(scratch.path("archive"));
    std::vector<std::string> documents = tree.documents;
    documents.push_back("locked\\l.wpd"); // readable here
    std::vector<std::string> paths;
    for (const std::string& relative : documents)
        paths.push_back(tree.root + "\\" + relative);
    const auto run = [&](const std::string& arguments) {
        const std::size_t before = opened().size();
        const Started batch(scratch, L"tarnwick-batch.exe", "archive " + arguments);
        const DWORD code = batch.exitCode();
        const auto all = opened();
        return std::tuple{code, std::vector<std::string>(all.begin() + static_cast<long>(before), all.end()),
                          batch.out()};
    };

    auto [code, converted, out] = run("out /recurse /report first.csv");
    EXPECT_EQ(code, 0u) << out;
    EXPECT_EQ(converted, paths) << "depth first, folder by folder";
    for (const std::string& relative : documents)
        EXPECT_EQ(readBytes(scratch.path("out\\" + relative)), "text of " + relative) << relative;
    for (const char* absent : {"out\\.hidden", "out\\2009\\clients\\up", "out\\notes.txt"})
        EXPECT_FALSE(fileExists(scratch.path(absent))) << absent;

    std::tie(code, converted, out) = run("out /recurse /resume first.csv");
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(converted.empty()) << "every result is at its mirrored place";

    Sleep(1100); // a later time of writing than the results' on any file system
    writeBytes(paths[2], "a new text");
    std::tie(code, converted, out) = run("out /recurse /changed");
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(converted, std::vector<std::string>{paths[2]});
    EXPECT_EQ(readBytes(scratch.path("out\\" + documents[2])), "a new text");

    std::vector<std::string> shared;
    for (int k = 1; k <= 3; ++k) {
        std::tie(code, converted, out) = run("shares /recurse /shard " + std::to_string(k) + "/3");
        EXPECT_EQ(code, 0u);
        const std::string heading = "shard " + std::to_string(k) +
                                    " of 3: " + std::to_string(converted.size()) + " of " +
                                    std::to_string(paths.size()) + " documents\r\n";
        EXPECT_EQ(out.substr(out.find("shard ")).rfind(heading, 0), 0u) << out;
        shared.insert(shared.end(), converted.begin(), converted.end());
    }
    std::sort(shared.begin(), shared.end());
    std::vector<std::string> all = paths;
    std::sort(all.begin(), all.end());
    EXPECT_EQ(shared, all) << "every document once, none twice";

    const Started inside(scratch, L"tarnwick-batch.exe", "archive archive\\2009\\out /recurse");
    EXPECT_EQ(inside.exitCode(), static_cast<DWORD>(ExitCode::BadArguments));
    EXPECT_EQ(inside.err(), std::string("tarnwick-batch: ") + kTargetInsideSource + "\r\n");
    EXPECT_FALSE(fileExists(tree.root + "\\2009\\out"));
}

// A look before the night: each document a run would take, their number and
// size, and each likely stumbling block with why; no WordPerfect, no lock,
// nothing written but the report.
TEST_F(TarnwickBatchRun, AListNamesEachStumblingBlockOnceAndReachesNoServer) {
    CreateDirectoryW(widen(scratch.path("look")).c_str(), nullptr);
    CreateDirectoryW(widen(scratch.path("done")).c_str(), nullptr);
    const std::string longName = std::string(260 - scratch.path("look\\").size(), 'n') + ".wpd";
    scratch.file("look\\fine.wpd", std::string(2048, 'x'));
    scratch.file("look\\empty.wpd", "");
    const std::string locked = scratch.file("look\\locked.wpd", "text");
    scratch.file("look\\" + kGreek + ".wpd", "text");
    scratch.file("look\\replaced.wpd", "text");
    scratch.file("done\\replaced.wpd", "an earlier result");
    scratch.file("look\\" + longName, "text");
    const UniqueHandle holder(CreateFileW(widen(locked).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);
    const BatchLock anotherBatch = BatchLock::tryTake(); // a look takes no lock

    const bool greekFits = GetACP() == CP_UTF8 || GetACP() == 1253; // a Greek system's code page holds it
    const Started list(scratch, L"tarnwick-batch.exe", "look done /list /report list.csv");
    EXPECT_EQ(list.exitCode(), 0u) << list.err();
    const std::string look = scratch.path("look\\");
    const std::string expected =
        look + "empty.wpd\r\n" + look + "fine.wpd\r\n" + look + "locked.wpd\r\n" + look + longName + "\r\n" +
        look + "replaced.wpd\r\n" + look + kGreek + ".wpd\r\n6 documents, 2.0 KB in all\r\n" +
        (greekFits ? "4" : "5") + " likely to fail:\r\n  " + look + "empty.wpd: empty (0 bytes)\r\n  " +
        look + "locked.wpd: cannot be read now: " + systemMessage(ERROR_SHARING_VIOLATION) + "\r\n  " + look +
        longName +
        ": its path is longer than 259 characters; its result's path is longer than 259 characters\r\n  " +
        look + "replaced.wpd: its result exists and would be replaced\r\n" +
        (greekFits ? ""
                   : "  " + look + kGreek +
                         ".wpd: its name has characters the system's code page cannot hold: an older word "
                         "processor may not open it\r\n");
    EXPECT_EQ(list.out(), expected);
    EXPECT_EQ(readBytes(scratch.path("done\\replaced.wpd")), "an earlier result");
    EXPECT_EQ(namesIn(scratch.path("done")), std::vector<std::string>{"replaced.wpd"});
    EXPECT_TRUE(journalLines(journal, true).empty()) << "no call reached the server";
    const auto rows = csvRecords(readBytes(scratch.path("list.csv")));
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[1], (std::vector<std::string>{look + "empty.wpd", "Listed", "empty (0 bytes)", "0.000"}));
    EXPECT_EQ(rows[2], (std::vector<std::string>{look + "fine.wpd", "Listed", "", "0.000"}));
}

TEST_F(TarnwickBatchRun, CtrlCLeavesTheRestUnstartedAndAResumeConvertsOnlyThose) {
    standin.delay("FileSave:500");
    const Started stopped(scratch, L"tarnwick-batch.exe", "src out /macro final.wcm /report report.csv");
    for (int i = 0; i < 500 && opened().empty(); ++i)
        Sleep(20);
    EXPECT_EQ(
        Started(scratch, L"console_probe.exe", "ctrl-c " + std::to_string(GetProcessId(stopped.process())))
            .exitCode(),
        0u);
    EXPECT_EQ(stopped.exitCode(), static_cast<DWORD>(ExitCode::Incomplete));
    EXPECT_EQ(timeless(stopped.out()),
              "[1/3] Converted " + source(0) + " (s)\r\n[2/3] Not started " + source(1) +
                  "\r\n[3/3] Not started " + source(2) +
                  "\r\n3 documents: 1 converted, 0 failed, 0 skipped, 2 not started (s)\r\n");
    EXPECT_EQ(stopped.err(), std::string(kStopNotice) + "\r\n");
    EXPECT_EQ(namesIn(scratch.path("out")), (std::vector<std::string>{"a.wpd"}));
    EXPECT_EQ(temporaryFiles(), temporaryBefore);

    const Started resumed(scratch, L"tarnwick-batch.exe",
                          "src out /macro final.wcm /resume report.csv /report report.csv");
    EXPECT_EQ(resumed.exitCode(), static_cast<DWORD>(ExitCode::Success));
    EXPECT_EQ(opened(), (std::vector<std::string>{source(0), source(1), source(2)}));
    EXPECT_EQ(timeless(readBytes(scratch.path("report.csv"))),
              std::string("\xEF\xBB\xBF") + kReportHeader + "\r\n" + source(0) + ",Skipped,,s\r\n" +
                  source(1) + ",Converted,,s\r\n" + source(2) + ",Converted,,s\r\n");
}

// Relative paths against the current folder, names in any script on a
// redirected standard error, the exit codes. The target is the source
// however it is spelled.
TEST(TarnwickBatch, UsageAndBadArgumentsWithExitCodesAndOneLineReasons) {
    ScratchFolder scratch;
    const std::string source = scratch.path("source folder");
    CreateDirectoryW(widen(source).c_str(), nullptr);
    CreateDirectoryW(widen(scratch.path("src")).c_str(), nullptr);
    scratch.file("notes.txt");
    const std::string letter = scratch.file("src\\letter.wpd", "Dear reader");
    std::wstring shortName(MAX_PATH, L'\0');
    shortName.resize(GetShortPathNameW(widen(source).c_str(), shortName.data(), MAX_PATH));
    const std::string sameFolder =
        "The target folder is the source folder " + source + ": the results would replace the documents";
    std::vector<std::pair<std::string, std::string>> cases = {
        {"\"source folder\" \"\\\\?\\" + source + "\"", sameFolder},
        {"\"source folder\" \"" + narrow(shortName) + "\"", sameFolder},
        {"src out /report src\\letter.wpd",
         letter + " is not a Tarnwick report; name a new file or an earlier report"},
        {"", "The source and the target folder are missing (tarnwick-batch /? shows the usage)"},
        {kGreek + " out", "The source folder " + scratch.path(kGreek) + " does not exist"},
        {"src out -MACRO notes.txt",
         scratch.path("notes.txt") + ": Not a valid Macro. Please select a WordPerfect macro"},
        {"src out /report nowhere\\report.csv",
         "The report " + scratch.path("nowhere\\report.csv") +
             " cannot be written: " + systemMessage(ERROR_PATH_NOT_FOUND)},
        {"src out /resume notes.txt", scratch.path("notes.txt") +
                                          " is not a report of an earlier run: its first line is not " +
                                          kReportHeader},
    };
    ASSERT_NE(narrow(shortName), source) << "Wine makes short names";
    // The same folder through Wine's drive Z: (as through a mapped drive or
    // a share), outside Wine nothing.
    if (const std::string unix = unixPath(source); !unix.empty()) {
        std::string z = "Z:" + unix;
        std::replace(z.begin(), z.end(), '/', '\\');
        cases.push_back({"\"source folder\" \"" + z + "\"", sameFolder});
    }
    for (const auto& [arguments, reason] : cases) {
        const Started batch(scratch, L"tarnwick-batch.exe", arguments);
        EXPECT_EQ(batch.exitCode(), static_cast<DWORD>(ExitCode::BadArguments)) << arguments;
        EXPECT_EQ(batch.err(), "tarnwick-batch: " + reason + "\r\n");
        EXPECT_EQ(batch.out(), "");
    }
    EXPECT_EQ(readBytes(letter), "Dear reader");
    const Started usage(scratch, L"tarnwick-batch.exe", "src /?");
    EXPECT_EQ(usage.exitCode(), 0u);
    EXPECT_EQ(usage.err(), "");
    EXPECT_EQ(usage.out().rfind("Plays a WordPerfect macro over every document of a folder", 0), 0u);
    EXPECT_NE(usage.out().find("\r\n  4  another Tarnwick batch is running\r\n"), std::string::npos);
    EXPECT_FALSE(fileExists(scratch.path("out"))) << "a refused run left the target folder";
}

} // namespace
