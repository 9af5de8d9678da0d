// The real tarnwick.exe, started as a person starts it and acted on from this
// process: "Exit" chosen from the menu while a batch's macro plays for a
// minute, and while the word processor never answers. The program must end
// at once when told, leaving the documents as they were and no temporary file.
#include "e2e_support.h"
#include "platform/handles_win.h"
#include "platform/wide_win.h"
#include "remote_ui.h"
#include "standin_test_support.h"
#include "ui/Form1_ids.h"
#include "ui/Form2_ids.h"
#include "ui/Form3_ids.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// tarnwick.exe of the same build: one folder above this test program.
std::wstring programPath() {
    wchar_t self[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self, n);
    path.resize(path.find_last_of(L'\\'));
    path.resize(path.find_last_of(L'\\'));
    return path + L"\\tarnwick.exe";
}

// The program's macro setting, replaced for the test and put back after it.
class MacroSettingFor {
public:
    explicit MacroSettingFor(const std::string& path) {
        RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                        key_.put(), nullptr);
        wchar_t old[1024] = {};
        DWORD size = sizeof old - sizeof(wchar_t);
        DWORD type = 0;
        had_ = RegQueryValueExW(key_.get(), L"macro", nullptr, &type, reinterpret_cast<BYTE*>(old), &size) ==
                   ERROR_SUCCESS &&
               type == REG_SZ;
        old_ = old;
        set(widen(path));
    }
    ~MacroSettingFor() {
        if (had_)
            set(old_);
        else
            RegDeleteValueW(key_.get(), L"macro");
    }

private:
    static constexpr const wchar_t* kKey = L"Software\\VB and VBA Program Settings\\tarnwick\\Options";
    void set(const std::wstring& value) {
        RegSetValueExW(key_.get(), L"macro", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    UniqueHkey key_;
    bool had_ = false;
    std::wstring old_;
};

class TheProgram : public ::testing::Test {
protected:
    ScratchFolder scratch;
    StandinSettings standin{SettingsChannel::Registry}; // the server is started by COM, not by this process
    std::string journal = scratch.path("journal.txt");
    std::string source = scratch.path("source");
    std::string target = scratch.path("target");
    std::map<std::string, std::string> documents; // path -> bytes
    PROCESS_INFORMATION process{};

    TheProgram() {
        standin.journal(journal);
        CreateDirectoryW(widen(source).c_str(), nullptr);
        CreateDirectoryW(widen(target).c_str(), nullptr);
    }
    ~TheProgram() override {
        if (process.hProcess != nullptr) {
            if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(process.hProcess, 1);
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
    }

    void start() {
        const std::wstring exe = programPath();
        std::wstring commandLine = L"\"" + exe + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        ASSERT_TRUE(CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &process))
            << narrow(exe);
    }

    bool journalShows(const std::string& line) {
        const Lines lines = journalLines(journal);
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    // Documents in the source folder, each about a cat.
    void documentsNamed(std::initializer_list<std::string> names) {
        for (const std::string& name : names) {
            const std::string path = source + "\\" + name;
            documents[path] = "The document " + name + " about a cat\r\n";
            writeBytes(path, documents[path]);
        }
    }

    // Starts the program, goes from Quick Start to Batch Documents, picks
    // both folders and presses Start; answers once the first document's
    // macro is being waited for.
    void startBatch() {
        start();
        HWND quick = nullptr;
        ASSERT_TRUE(
            remote::waitFor([&] { return (quick = remote::shownDialog(L"Quick Start")) != nullptr; }, 90000));
        remote::press(quick, IDC_QS_BTNBATCH);
        HWND batch = nullptr;
        ASSERT_TRUE(
            remote::waitFor([&] { return (batch = remote::shownDialog(L"Batch Documents")) != nullptr; }));
        for (const auto& [button, box, folder] : {std::tuple{IDC_BTNSOURCE, IDC_TXTSRCFOLDER, source},
                                                  std::tuple{IDC_BTNTARGET, IDC_TXTTGTFOLDER, target}}) {
            remote::press(batch, button);
            ASSERT_TRUE(remote::chooseFolder(process.hProcess, widen(folder)));
            ASSERT_TRUE(remote::waitFor([&] { return controlText(batch, box) == folder; }));
        }
        remote::press(batch, IDC_BD_COMMAND1);
        ASSERT_TRUE(remote::waitFor([&] { return journalShows("envMacroPlaying"); }, 30000));
    }

    HWND mainWindow() { return FindWindowW(L"TarnwickForm2", L"Tarnwick"); }
    // Asks the main window five times, 100 ms apart, whether it answers;
    // answers the longest it took (each must answer within 250 ms).
    ULONGLONG slowestAnswer() {
        ULONGLONG slowest = 0;
        for (int i = 0; i < 5; ++i) {
            const ULONGLONG from = GetTickCount64();
            DWORD_PTR result = 0;
            EXPECT_NE(SendMessageTimeoutW(mainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 2000, &result), 0)
                << "probe " << i;
            slowest = std::max(slowest, GetTickCount64() - from);
            Sleep(100);
        }
        EXPECT_LT(slowest, 250u) << "the window took " << slowest << " ms to answer";
        return slowest;
    }

    // "Exit" from the menu, as a click on it sends it; answers how long the
    // program took to end (failing when it did not end with code 0).
    ULONGLONG exitFromTheMenu() {
        const ULONGLONG from = GetTickCount64();
        PostMessageW(mainWindow(), WM_COMMAND, MAKEWPARAM(IDM_EXIT, 0), 0);
        EXPECT_EQ(WaitForSingleObject(process.hProcess, 5000), WAIT_OBJECT_0) << "the program did not end";
        const ULONGLONG took = GetTickCount64() - from;
        DWORD code = 1;
        GetExitCodeProcess(process.hProcess, &code);
        EXPECT_EQ(code, 0u);
        return took;
    }

    // Nothing was saved or lost, no file reached the target, no temporary
    // file was left; answers the number of documents changed or missing.
    int expectNothingWritten(const Lines& temporaryBefore) {
        const Lines lines = journalLines(journal);
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                [](const std::string& line) { return line.rfind("FileSave", 0) == 0; }),
                  0);
        int lost = 0;
        for (const auto& [path, bytes] : documents) {
            EXPECT_EQ(readBytes(path), bytes) << path;
            lost += readBytes(path) != bytes ? 1 : 0;
        }
        EXPECT_EQ(namesIn(target), Lines{});
        EXPECT_EQ(temporaryFiles(), temporaryBefore);
        return lost;
    }
};

TEST_F(TheProgram, AnswersWhileAMacroPlaysAndExitEndsItAtOnce) {
    documentsNamed({"a.wpd", "b.wpd", "c.wpd"});
    const std::string macro = scratch.path("long.wcm");
    writeBytes(macro, "Replace \"a\" \"b\"\r\nPlaying 60000\r\n");
    MacroSettingFor setting(macro);
    const Lines temporaryBefore = temporaryFiles();
    const std::size_t serversBefore = serverProcesses().size();
    startBatch();

    // The first document's macro has begun and plays on. The Batch
    // Documents dialog went away with "Start": the main window is the
    // user's again, its menu within reach.
    ASSERT_NE(mainWindow(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(mainWindow()));
    const ULONGLONG slowest = slowestAnswer();

    const ULONGLONG took = exitFromTheMenu();
    std::printf("[ figures  ] the window answered within %llu ms; the program ended %llu ms after Exit\n",
                slowest, took);
    EXPECT_LT(took, 2000u);
    expectNothingWritten(temporaryBefore);
    EXPECT_TRUE(remote::waitFor([&] { return serverProcesses().size() <= serversBefore; }, 10000))
        << "the server still runs for the ended program";
}

TEST_F(TheProgram, ExitEndsItAtOnceWhileTheWordProcessorNeverAnswers) {
    // The local server only, as the real word processor has.
    HiddenServerRegistration inProcess(L"InprocServer32");
    for (int i = 0; i < 20; ++i)
        documentsNamed({"doc" + std::to_string(10 + i) + ".wpd"});
    const std::string macro = scratch.path("replace.wcm");
    writeBytes(macro, "Replace \"a\" \"b\"\r\n");
    MacroSettingFor setting(macro);
    standin.set("Hang", "envMacroPlaying:1");
    const Lines temporaryBefore = temporaryFiles();
    const std::size_t serversBefore = serverProcesses().size();
    startBatch();
    ASSERT_GT(serverProcesses().size(), serversBefore) << "not served out of process";

    Sleep(500); // well inside the call that never returns
    const ULONGLONG slowest = slowestAnswer();
    const ULONGLONG took = exitFromTheMenu();
    std::printf("[ figures  ] while its call waited the window answered within %llu ms; the program ended "
                "%llu ms after Exit\n",
                slowest, took);
    EXPECT_LT(took, 1000u);
    const int lost = expectNothingWritten(temporaryBefore);
    const Lines lines = journalLines(journal);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "envMacroPlaying") << "no call on the way out";
    // The server, left without a word, ends once its client's process is gone.
    EXPECT_TRUE(remote::waitFor([&] { return serverProcesses().size() <= serversBefore; }, 10000));
    recordReliabilityCase("\"Exit\" while envMacroPlaying never answers (the real program, ended at once)",
                          {static_cast<int>(documents.size()), 0, 0, lost,
                           static_cast<int>(temporaryFiles().size() - temporaryBefore.size())});
}

// Without a word processor to drive, the program says so once and ends
// with exit code 1, as a start that failed; "Exit" ends it with 0 (above).
TEST_F(TheProgram, WithoutWordPerfectItSaysSoAndEndsWithExitCodeOne) {
    HiddenServerRegistration inProcess(L"InprocServer32");
    HiddenServerRegistration local(L"LocalServer32");
    start();
    HWND box = nullptr;
    ASSERT_TRUE(remote::waitFor([&] { return (box = remote::shownDialog(L"Error!")) != nullptr; }, 90000));
    EXPECT_EQ(controlText(box, 0xFFFF), "Could not find WordPerfect");
    EXPECT_EQ(mainWindow(), nullptr) << "no main window before WordPerfect is reached";
    remote::press(box, IDOK);
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 10000), WAIT_OBJECT_0) << "the program did not end";
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    EXPECT_EQ(code, 1u);
}

} // namespace
