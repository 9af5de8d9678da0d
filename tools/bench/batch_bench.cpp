// Runs one batch of N documents through the program's real batch start, its
// real main window (result list and file list), the real COM client and the
// stand-in server, on real files, and prints the time and the peak working
// set. scripts/bench runs it for several sizes and compares them.
//
// With "bare" it instead sends the same commands per document straight to
// the server, with the same 4 ms pause and the same temporary file, and
// nothing else: the cost of the server's own work, to compare against.
//
// Usage: batch_bench N [inproc|local] [bare]
#include "base/settings.h"
#include "control/Command.h"
#include "core/General.h"
#include "core/Mediator.h"
#include "platform/automation_win.h"
#include "platform/file_services_win.h"
#include "platform/platform_win.h"
#include "platform/settings_win.h"
#include "platform/wide_win.h"
#include "ui/program_windows.h"

#include <windows.h>

#include <commctrl.h>
#include <psapi.h>
#include <shellapi.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

// Counts the time spent inside the automation server's commands.
class TimedObject : public LateBound {
public:
    explicit TimedObject(std::shared_ptr<LateBound> inner) : inner_(std::move(inner)) {}
    Value call(std::string_view name, std::span<const Arg> args) override {
        const auto start = std::chrono::steady_clock::now();
        Value v = inner_->call(name, args);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return v;
    }
    Value get(std::string_view name) override {
        const auto start = std::chrono::steady_clock::now();
        Value v = inner_->get(name);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return v;
    }
    double seconds = 0;

private:
    std::shared_ptr<LateBound> inner_;
};

struct Stopwatch {
    double& total;
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    ~Stopwatch() { total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); }
};

class TimedFiles : public Win32FileServices {
public:
    double seconds = 0;
    bool pathExists(const std::string& p) override {
        Stopwatch w{seconds};
        return Win32FileServices::pathExists(p);
    }
    std::string createTemporaryFile(const std::string& f, const std::string& p) override {
        Stopwatch w{seconds};
        return Win32FileServices::createTemporaryFile(f, p);
    }
    bool deleteFile(const std::string& p) override {
        Stopwatch w{seconds};
        return Win32FileServices::deleteFile(p);
    }
    std::string temporaryFolder() override {
        Stopwatch w{seconds};
        return Win32FileServices::temporaryFolder();
    }
    std::string programName() override {
        Stopwatch w{seconds};
        return Win32FileServices::programName();
    }
};

class TimedSettings : public RegistrySettingsStore {
public:
    using RegistrySettingsStore::RegistrySettingsStore;
    double seconds = 0;
    std::string GetSetting(const std::string& a, const std::string& s, const std::string& k,
                           const std::string& d) override {
        Stopwatch w{seconds};
        return RegistrySettingsStore::GetSetting(a, s, k, d);
    }
};

class BenchPlatform : public Win32Platform {
public:
    explicit BenchPlatform(DWORD context) : context_(context) {}
    std::shared_ptr<LateBound> createObject(const std::string& progId) override {
        timed = std::make_shared<TimedObject>(createAutomationObject(progId, context_));
        return timed;
    }
    std::shared_ptr<TimedObject> timed;
    // Where the time goes: yielding and pausing, measured apart.
    void doEvents() override {
        const auto start = std::chrono::steady_clock::now();
        Win32Platform::doEvents();
        yieldSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ++yields;
    }
    void pause(int milliseconds) override {
        const auto start = std::chrono::steady_clock::now();
        Win32Platform::pause(milliseconds);
        pauseSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    double yieldSeconds = 0, pauseSeconds = 0;
    long yields = 0;

private:
    DWORD context_;
};

void writeFile(const std::wstring& path, const std::string& content) {
    HANDLE h =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(h);
}

void removeTree(const std::wstring& folder) {
    std::wstring from = folder;
    from.push_back(L'\0');
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationW(&op);
}

std::size_t peakWorkingSet() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize;
}

} // namespace

// The batch job's commands for every document, without the program around them.
double bareClient(LateBound& wp, Win32Platform& platform, Win32FileServices& files,
                  const std::wstring& source, const std::wstring& target, const std::string& macro,
                  int documents) {
    const std::string temp = files.temporaryFolder();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < documents; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"\\doc%06d.wpd", i);
        const Arg document[] = {byVal(narrow(source + name))};
        wp.call("FileOpen", document);
        if (!isTrue(wp.get("envDocBlank"))) {
            wp.call("PosDocVeryTop");
            const Arg play[] = {byRef(macro)};
            wp.call("MacroFilePlay", play);
            while (isTrue(wp.get("envMacroPlaying"))) {
            }
        }
        platform.pause(4);
        const std::string scratch = files.createTemporaryFile(temp, "");
        const Arg first[] = {byRef(scratch)};
        wp.call("FileSave", first);
        const Arg second[] = {byRef(narrow(target + name))};
        wp.call("FileSave", second);
        files.deleteFile(scratch);
        wp.call("CloseNoSave");
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int main(int argc, char** argv) {
    const int documents = argc > 1 ? std::atoi(argv[1]) : 1024;
    const bool local = argc > 2 && std::string(argv[2]) == "local";
    const bool bare = argc > 3 && std::string(argv[3]) == "bare";
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring root =
        std::wstring(temp) + L"tarnwick-bench-" + std::to_wstring(GetCurrentProcessId());
    const std::wstring source = root + L"\\source", target = root + L"\\target";
    CreateDirectoryW(root.c_str(), nullptr);
    CreateDirectoryW(source.c_str(), nullptr);
    CreateDirectoryW(target.c_str(), nullptr);
    const std::wstring macro = root + L"\\fix.wcm";
    writeFile(macro, "Replace \"draft\" \"final\"\r\n");
    for (int i = 0; i < documents; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"\\doc%06d.wpd", i);
        writeFile(source + name, "This draft is document " + std::to_string(i) + ".\r\n");
    }

    BenchPlatform platform(local ? CLSCTX_LOCAL_SERVER : CLSCTX_INPROC_SERVER);
    if (bare) {
        Win32FileServices plainFiles;
        auto wp = createAutomationObject("WordPerfect.PerfectScript",
                                         local ? CLSCTX_LOCAL_SERVER : CLSCTX_INPROC_SERVER);
        const double seconds =
            bareClient(*wp, platform, plainFiles, source, target, narrow(macro), documents);
        std::printf("bench: client=bare server=%s documents=%d wall_s=%.3f per_doc_ms=%.4f\n",
                    local ? "local" : "inproc", documents, seconds, 1000.0 * seconds / documents);
        wp.reset();
        removeTree(root);
        return 0;
    }
    ProgramForms forms;
    TimedFiles files;
    TimedSettings settings("Software\\Tarnwick Bench");
    General::install({&platform, &forms, &files, &settings});
    General::StoreMacroSetting(narrow(macro));

    // The start-up routine's own steps without its two dialogs.
    General::mediator = std::make_shared<Mediator>();
    forms.frmExtension();
    General::mediator->init();
    forms.Form2().show();
    Mediator& m = *General::mediator;
    m.SetSourceFolder(narrow(source));
    m.SetTgtFolder(narrow(target));

    const std::size_t before = peakWorkingSet();
    const auto start = std::chrono::steady_clock::now();
    m.StartStateTwo();
    auto command = std::make_shared<cmd1>();
    command->init(m);
    static_cast<Command&>(*command).Execute();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const std::size_t peak = peakWorkingSet();

    ResultList& rows = forms.Form2().ListView1();
    std::size_t converted = 0;
    for (std::size_t i = 0; i < rows.count(); ++i)
        converted += rows.status(i) == "Converted";

    std::printf("bench: server=%s documents=%d converted=%zu wall_s=%.3f per_doc_ms=%.4f peak_ws=%zu "
                "peak_ws_before=%zu\n",
                local ? "local" : "inproc", documents, converted, seconds, 1000.0 * seconds / documents, peak,
                before);
    std::printf("bench: yields=%ld yield_s=%.3f pause_s=%.3f server_s=%.3f files_s=%.3f settings_s=%.3f "
                "other_s=%.3f\n",
                platform.yields, platform.yieldSeconds, platform.pauseSeconds, platform.timed->seconds,
                files.seconds, settings.seconds,
                seconds - platform.yieldSeconds - platform.pauseSeconds - platform.timed->seconds -
                    files.seconds - settings.seconds);
    std::fflush(stdout);

    General::WordPerfect.reset();
    removeTree(root);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tarnwick Bench");
    return converted == static_cast<std::size_t>(documents) ? 0 : 1;
}
