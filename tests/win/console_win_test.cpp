// The console program's Win32 edges: its output streams, report files, the
// batch lock across processes, Ctrl+C, and tarnwick-batch.exe itself.
#include "platform/batch_lock_win.h"
#include "console/command_line.h"
#include "console/console_io_win.h"
#include "console/console_text.h"
#include "console/resume.h"
#include "platform/handles_win.h"
#include "platform/wide_win.h"
#include "standin_test_support.h"

#include <gtest/gtest.h>

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

TEST(ConsoleReportFile, EveryRowIsOnTheDiskWhenAddedAndReadsBackForAResume) {
    ScratchFolder scratch;
    const std::string path = scratch.path(kGreek + ".csv");
    const std::string document = "C:\\" + kChinese + "\\a.wpd";
    BatchReport report(openReportFile(path));
    const std::string header = std::string("\xEF\xBB\xBF") + kReportHeader + "\r\n";
    EXPECT_EQ(readBytes(path), header);
    report.add(document, DocumentStatus::Converted, "", 1.5);
    EXPECT_EQ(readBytes(path), header + document + ",Converted,,1.500\r\n");
    EXPECT_TRUE(readEarlierReportFile(path).convertedEarlier(document));

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

// Relative paths against the current folder, names in any script on a
// redirected standard error, the exit codes.
TEST(TarnwickBatch, UsageAndBadArgumentsWithExitCodesAndOneLineReasons) {
    ScratchFolder scratch;
    CreateDirectoryW(widen(scratch.path("src")).c_str(), nullptr);
    scratch.file("notes.txt");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "The source and the target folder are missing (tarnwick-batch /? shows the usage)"},
        {kGreek + " out", "The source folder " + scratch.path(kGreek) + " does not exist"},
        {"src out -MACRO notes.txt",
         scratch.path("notes.txt") + ": Not a valid Macro. Please select a WordPerfect macro"},
        {"src out /resume notes.txt", scratch.path("notes.txt") +
                                          " is not a report of an earlier run: its first line is not " +
                                          kReportHeader},
    };
    for (const auto& [arguments, reason] : cases) {
        const Started batch(scratch, L"tarnwick-batch.exe", arguments);
        EXPECT_EQ(batch.exitCode(), static_cast<DWORD>(ExitCode::BadArguments)) << arguments;
        EXPECT_EQ(batch.err(), "tarnwick-batch: " + reason + "\r\n");
        EXPECT_EQ(batch.out(), "");
    }
    const Started usage(scratch, L"tarnwick-batch.exe", "src /?");
    EXPECT_EQ(usage.exitCode(), 0u);
    EXPECT_EQ(usage.err(), "");
    EXPECT_EQ(usage.out().rfind("Plays a WordPerfect macro over every document of a folder", 0), 0u);
    EXPECT_NE(usage.out().find("\r\n  4  another Tarnwick batch is running\r\n"), std::string::npos);
    EXPECT_FALSE(fileExists(scratch.path("out"))) << "a failed check made the target folder";
}

} // namespace
