// The real tarnwick.exe, started as a person starts it and acted on from this
// process: a batch whose macro plays for a minute, and "Exit" chosen from the
// menu while it plays. The program must answer its window meanwhile and end at
// once when told, leaving the documents as they were and no temporary file.
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
};

TEST_F(TheProgram, AnswersWhileAMacroPlaysAndExitEndsItAtOnce) {
    for (const char* name : {"a.wpd", "b.wpd", "c.wpd"}) {
        const std::string path = source + "\\" + name;
        documents[path] = std::string("The document ") + name + " about a cat\r\n";
        writeBytes(path, documents[path]);
    }
    const std::string macro = scratch.path("long.wcm");
    writeBytes(macro, "Replace \"a\" \"b\"\r\nPlaying 60000\r\n");
    MacroSettingFor setting(macro);
    const Lines temporaryBefore = temporaryFiles();
    const std::size_t serversBefore = serverProcesses().size();

    start();
    HWND quick = nullptr;
    ASSERT_TRUE(
        remote::waitFor([&] { return (quick = remote::shownDialog(L"Quick Start")) != nullptr; }, 90000));
    remote::press(quick, IDC_QS_BTNBATCH);
    HWND batch = nullptr;
    ASSERT_TRUE(
        remote::waitFor([&] { return (batch = remote::shownDialog(L"Batch Documents")) != nullptr; }));
    remote::press(batch, IDC_BTNSOURCE);
    ASSERT_TRUE(remote::chooseFolder(process.hProcess, widen(source)));
    ASSERT_TRUE(remote::waitFor([&] { return controlText(batch, IDC_TXTSRCFOLDER) == source; }));
    remote::press(batch, IDC_BTNTARGET);
    ASSERT_TRUE(remote::chooseFolder(process.hProcess, widen(target)));
    ASSERT_TRUE(remote::waitFor([&] { return controlText(batch, IDC_TXTTGTFOLDER) == target; }));
    remote::press(batch, IDC_BD_COMMAND1);

    // The first document's macro has begun and plays on.
    ASSERT_TRUE(remote::waitFor([&] { return journalShows("envMacroPlaying"); }, 30000));
    HWND main = FindWindowW(L"TarnwickForm2", L"Tarnwick");
    ASSERT_NE(main, nullptr);
    // The Batch Documents dialog went away with "Start": the main window is
    // the user's again, its menu within reach.
    EXPECT_TRUE(IsWindowEnabled(main));
    ULONGLONG slowest = 0;
    for (int i = 0; i < 5; ++i) {
        const ULONGLONG from = GetTickCount64();
        DWORD_PTR result = 0;
        EXPECT_NE(SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &result), 0) << "probe " << i;
        slowest = std::max(slowest, GetTickCount64() - from);
        Sleep(100);
    }
    EXPECT_LT(slowest, 250u) << "the window took " << slowest << " ms to answer";

    // "Exit" from the menu, as a click on it sends it.
    const ULONGLONG from = GetTickCount64();
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDM_EXIT, 0), 0);
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 5000), WAIT_OBJECT_0) << "the program did not end";
    const ULONGLONG took = GetTickCount64() - from;
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    std::printf("[ figures  ] the window answered within %llu ms; the program ended %llu ms after Exit\n",
                slowest, took);
    EXPECT_EQ(code, 0u);
    EXPECT_LT(took, 2000u);

    // Nothing was saved or lost, and the server let go of its client.
    const Lines lines = journalLines(journal);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& line) { return line.rfind("FileSave", 0) == 0; }),
              0);
    for (const auto& [path, bytes] : documents)
        EXPECT_EQ(readBytes(path), bytes) << path;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(widen(target + "\\*.*").c_str(), &data);
    int inTarget = 0;
    if (find != INVALID_HANDLE_VALUE) {
        do
            inTarget += data.cFileName[0] == L'.' ? 0 : 1;
        while (FindNextFileW(find, &data));
        FindClose(find);
    }
    EXPECT_EQ(inTarget, 0);
    EXPECT_EQ(temporaryFiles(), temporaryBefore);
    EXPECT_TRUE(remote::waitFor([&] { return serverProcesses().size() <= serversBefore; }, 10000))
        << "the server still runs for the ended program";
}

} // namespace
