// Runs one batch through the program's real batch start, its real main
// window (result list and file list), the real COM client and the stand-in
// server, on real files, and prints where the time went and the peak
// working set. scripts/bench runs it for several sizes and compares them.
//
//   batch_bench program inproc|local N SOURCE TARGET MACRO
//       the program's batch over the N documents doc000000.wpd... of SOURCE
//   batch_bench tree inproc|local N SOURCE TARGET MACRO
//       the program's batch with subfolders over the N documents of the
//       folders below SOURCE, mirrored below TARGET
//   batch_bench bare inproc|local N SOURCE TARGET MACRO
//       the same commands per document sent straight to the server, with the
//       same 4 ms pause, the same temporary files and the same rename, and
//       nothing else
//   batch_bench calls inproc|local N
//       N reads of one property through the program's connection (its
//       document's time limit watched), its client and message filter, and
//       N sent raw, taking turns in rounds; and N yields: the cost of one
//       call to the server, what the program adds to it, and the cost of
//       one yield to the window system
//
// The time is split as it is spent: the server's calls, the file services
// (temporary file, existence check, deletion), the settings store, the
// yields to the window system, the one pause per document, and the rest
// (the program's own code). Each split is printed for the whole batch and
// for each eighth of it, so that growth along one batch shows where it is.
#include "base/settings.h"
#include "control/Command.h"
#include "core/General.h"
#include "core/Mediator.h"
#include "core/connection.h"
#include "platform/automation_win.h"
#include "platform/file_services_win.h"
#include "platform/handles_win.h"
#include "platform/message_filter_win.h"
#include "platform/platform_win.h"
#include "platform/settings_win.h"
#include "platform/wide_win.h"
#include "ui/program_windows.h"

#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Seconds spent per kind of work, summed since the start of the run.
struct Split {
    double server = 0, files = 0, settings = 0, yields = 0, pause = 0;
};
Split spent;

struct Stopwatch {
    double& total;
    Clock::time_point start = Clock::now();
    ~Stopwatch() { total += secondsSince(start); }
};

// Snapshots of the split at the first document of each eighth of the batch
// and at its end.
constexpr int kParts = 8;
struct Snapshot {
    Clock::time_point at;
    Split spent;
};
std::array<Snapshot, kParts + 1> marks;
int documents = 0;
int opened = 0; // documents the server was asked to open so far

void markDocumentStart() {
    for (int part = 0; part < kParts; ++part)
        if (opened == static_cast<long long>(documents) * part / kParts)
            marks[static_cast<std::size_t>(part)] = {Clock::now(), spent};
    ++opened;
}

class TimedObject : public LateBound {
public:
    explicit TimedObject(std::shared_ptr<LateBound> inner) : inner_(std::move(inner)) {}
    Value call(std::string_view name, std::span<const Arg> args) override {
        if (name == "FileOpen")
            markDocumentStart();
        Stopwatch w{spent.server};
        return inner_->call(name, args);
    }
    Value get(std::string_view name) override {
        Stopwatch w{spent.server};
        return inner_->get(name);
    }
    void letGo() noexcept override { inner_->letGo(); }
    void setDeadline(std::optional<Clock::time_point> deadline) override { inner_->setDeadline(deadline); }
    bool endStartedServer() noexcept override { return inner_->endStartedServer(); }

private:
    std::shared_ptr<LateBound> inner_;
};

class TimedFiles : public Win32FileServices {
public:
    bool pathExists(const std::string& p) override {
        Stopwatch w{spent.files};
        return Win32FileServices::pathExists(p);
    }
    std::string createTemporaryFile(const std::string& f, const std::string& p) override {
        Stopwatch w{spent.files};
        return Win32FileServices::createTemporaryFile(f, p);
    }
    bool deleteFile(const std::string& p) override {
        Stopwatch w{spent.files};
        return Win32FileServices::deleteFile(p);
    }
    std::string createResultTemporary(const std::string& f) override {
        Stopwatch w{spent.files};
        return Win32FileServices::createResultTemporary(f);
    }
    void replaceByRename(const std::string& from, const std::string& to) override {
        Stopwatch w{spent.files};
        Win32FileServices::replaceByRename(from, to);
    }
    std::string temporaryFolder() override {
        Stopwatch w{spent.files};
        return Win32FileServices::temporaryFolder();
    }
    std::string programName() override {
        Stopwatch w{spent.files};
        return Win32FileServices::programName();
    }
};

class TimedSettings : public RegistrySettingsStore {
public:
    using RegistrySettingsStore::RegistrySettingsStore;
    std::string GetSetting(const std::string& a, const std::string& s, const std::string& k,
                           const std::string& d) override {
        Stopwatch w{spent.settings};
        return RegistrySettingsStore::GetSetting(a, s, k, d);
    }
};

class BenchPlatform : public Win32Platform {
public:
    explicit BenchPlatform(DWORD context) : context_(context) {}
    std::shared_ptr<LateBound> createObject(const std::string& progId, ServerStart) override {
        return std::make_shared<TimedObject>(createAutomationObject(progId, context_));
    }
    bool doEvents() override {
        Stopwatch w{spent.yields};
        return Win32Platform::doEvents();
    }
    void pause(int milliseconds) override {
        Stopwatch w{spent.pause};
        Win32Platform::pause(milliseconds);
    }

private:
    DWORD context_;
};

std::size_t peakWorkingSet() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize;
}

std::wstring documentName(int i) {
    wchar_t name[32];
    swprintf(name, 32, L"\\doc%06d.wpd", i);
    return name;
}

// Prints the split between two snapshots, per document, in milliseconds.
// "own" is the wall time less the server's, the file services' and the
// pause: what the program itself spends (its code, its yields, its settings).
void printPart(const char* part, const Snapshot& from, const Snapshot& to, int count) {
    const double wall = std::chrono::duration<double>(to.at - from.at).count();
    const double server = to.spent.server - from.spent.server, files = to.spent.files - from.spent.files,
                 settings = to.spent.settings - from.spent.settings,
                 yields = to.spent.yields - from.spent.yields, pause = to.spent.pause - from.spent.pause;
    const double rest = wall - server - files - settings - yields - pause;
    const double perDocument = 1000.0 / count;
    std::printf("bench: part=%s documents=%d per_doc_ms=%.4f pause_ms=%.4f yields_ms=%.4f server_ms=%.4f "
                "files_ms=%.4f settings_ms=%.4f rest_ms=%.4f own_ms=%.4f\n",
                part, count, wall * perDocument, pause * perDocument, yields * perDocument,
                server * perDocument, files * perDocument, settings * perDocument, rest * perDocument,
                (wall - server - files - pause) * perDocument);
}

void printParts(const Snapshot& start, const Snapshot& end) {
    marks[kParts] = end;
    printPart("all", start, end, documents);
    for (int part = 0; part < kParts; ++part) {
        const int first = static_cast<int>(static_cast<long long>(documents) * part / kParts);
        const int next = static_cast<int>(static_cast<long long>(documents) * (part + 1) / kParts);
        if (next == first)
            continue;
        const std::string name = std::to_string(part + 1) + "/" + std::to_string(kParts);
        printPart(name.c_str(), marks[static_cast<std::size_t>(part)],
                  marks[static_cast<std::size_t>(part) + 1], next - first);
    }
}

// The batch job's commands for every document, without the program around them.
void bareClient(LateBound& wp, BenchPlatform& platform, TimedFiles& files, const std::wstring& source,
                const std::wstring& target, const std::string& macro) {
    const std::string temp = files.temporaryFolder();
    for (int i = 0; i < documents; ++i) {
        const std::wstring name = documentName(i);
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
        const std::string beside = files.createResultTemporary(narrow(target));
        const Arg second[] = {byRef(beside)};
        wp.call("FileSave", second);
        files.deleteFile(scratch);
        wp.call("CloseNoSave");
        files.replaceByRename(beside, narrow(target + name));
    }
}

int runBare(DWORD context, const std::wstring& source, const std::wstring& target, const std::string& macro) {
    BenchPlatform platform(context);
    TimedFiles files;
    auto wp = platform.createObject("WordPerfect.PerfectScript", ServerStart::Cold);
    const std::size_t before = peakWorkingSet();
    const Snapshot start{Clock::now(), spent};
    bareClient(*wp, platform, files, source, target, macro);
    const Snapshot end{Clock::now(), spent};
    std::printf("bench: run=bare documents=%d converted=%d wall_s=%.3f peak_ws=%zu peak_ws_before=%zu\n",
                documents, opened, std::chrono::duration<double>(end.at - start.at).count(), peakWorkingSet(),
                before);
    printParts(start, end);
    return 0;
}

int runProgram(DWORD context, const std::wstring& source, const std::wstring& target,
               const std::string& macro, bool subfolders) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    useSystemCollation();
    BenchPlatform platform(context);
    ProgramForms forms;
    TimedFiles files;
    TimedSettings settings("Software\\Tarnwick Bench");
    General::install({&platform, &forms, &files, &settings});
    General::StoreMacroSetting(macro);
    // The program's message filter, as the program registers it.
    const MessageFilterScope messageFilter(forms.exitRequests());

    // The start-up routine's own steps without its two dialogs.
    General::mediator = std::make_shared<Mediator>();
    forms.frmExtension();
    General::mediator->init();
    forms.Form2().show();
    Mediator& m = *General::mediator;
    const std::size_t before = peakWorkingSet();
    const Snapshot start{Clock::now(), spent};
    m.startBatch(narrow(source), narrow(target), subfolders);
    const Snapshot end{Clock::now(), spent};
    const std::size_t peak = peakWorkingSet();

    ResultList& rows = forms.Form2().ListView1();
    int converted = 0;
    for (std::size_t i = 0; i < rows.count(); ++i)
        converted += rows.status(i) == "Converted";
    // The batch start (listing the folder, queueing the documents) is the
    // time before the first document.
    const double startSeconds =
        opened > 0 ? std::chrono::duration<double>(marks[0].at - start.at).count() : 0;
    std::printf("bench: run=program documents=%d converted=%d wall_s=%.3f start_s=%.3f peak_ws=%zu "
                "peak_ws_before=%zu\n",
                documents, converted, std::chrono::duration<double>(end.at - start.at).count(), startSeconds,
                peak, before);
    printParts(start, end);
    std::fflush(stdout);

    General::WordPerfect.reset();
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tarnwick Bench");
    return converted == documents ? 0 : 1;
}

// One property read sent straight through IDispatch, without the client's
// retries, call watch and document limit and without a message filter.
class RawRead {
public:
    explicit RawRead(DWORD context) {
        CLSID clsid{};
        wchar_t name[] = L"envDocBlank";
        LPOLESTR names[] = {name};
        ok_ = SUCCEEDED(CLSIDFromProgID(L"WordPerfect.PerfectScript", &clsid)) &&
              SUCCEEDED(CoCreateInstance(clsid, nullptr, context, IID_PPV_ARGS(&dispatch_))) &&
              SUCCEEDED(dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id_));
    }
    bool ok() const { return ok_; }
    void operator()() {
        DISPPARAMS none{};
        VARIANT result;
        VariantInit(&result);
        dispatch_->Invoke(id_, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result, nullptr,
                          nullptr);
        VariantClear(&result);
    }

private:
    Microsoft::WRL::ComPtr<IDispatch> dispatch_;
    DISPID id_ = 0;
    bool ok_ = false;
};

// Milliseconds per call of `calls` calls.
template <typename Call> double millisecondsPerCall(Call&& call, int calls) {
    const auto start = Clock::now();
    for (int i = 0; i < calls; ++i)
        call();
    return 1000.0 * secondsSince(start) / calls;
}

std::string joined(const std::vector<double>& values) {
    std::string text;
    for (double value : values) {
        char number[32];
        std::snprintf(number, sizeof number, "%s%.4f", text.empty() ? "" : ",", value);
        text += number;
    }
    return text;
}

// The cost of one call as the program makes it (through the connection
// that watches the document's time limit, its client and its message
// filter) and sent raw, in turns: client, raw, client, raw... each a block
// of the calls, so that neither the order nor the warming up favours one.
// And of one yield with nothing to process (the batch job and the macro
// runner yield up to 36 times per document).
int runCalls(DWORD context, int calls) {
    BenchPlatform platform(context);
    General::install({&platform, nullptr, nullptr, nullptr});
    const MessageFilterScope filter{{}};
    General::WordPerfect = createAutomationObject("WordPerfect.PerfectScript", context);
    General::wordPerfect().beginRun();
    General::wordPerfect().beginDocument("C:\\bench.wpd");
    RawRead raw(context);
    if (!raw.ok())
        return 1;
    const auto client = [] { General::wordPerfect().get("envDocBlank"); };
    client(); // the first calls set up the connection
    raw();
    constexpr int kRounds = 10;
    const int block = std::max(1, calls / kRounds);
    std::vector<double> clientMs, rawMs;
    for (int round = 0; round < kRounds; ++round) {
        clientMs.push_back(millisecondsPerCall(client, block));
        rawMs.push_back(millisecondsPerCall(raw, block));
    }
    const auto median = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    const double yieldMs = millisecondsPerCall(processPendingEvents, calls);
    std::printf("bench: run=calls calls=%d per_call_ms=%.4f raw_call_ms=%.4f per_call_rounds=%s "
                "raw_call_rounds=%s per_yield_ms=%.4f\n",
                block * kRounds, median(clientMs), median(rawMs), joined(clientMs).c_str(),
                joined(rawMs).c_str(), yieldMs);
    General::LetGoOfWordPerfect();
    General::reset();
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    const DWORD context =
        argc > 2 && std::wstring(argv[2]) == L"local" ? CLSCTX_LOCAL_SERVER : CLSCTX_INPROC_SERVER;
    documents = argc > 3 ? _wtoi(argv[3]) : 0;
    const bool batch = (mode == L"program" || mode == L"bare" || mode == L"tree") && argc == 7;
    if (documents <= 0 || !(batch || mode == L"calls")) {
        std::fprintf(stderr, "usage: batch_bench program|bare|tree inproc|local N SOURCE TARGET MACRO\n"
                             "       batch_bench calls inproc|local N\n");
        return 2;
    }
    const ComInitScope com = initializeCom();
    if (mode == L"calls")
        return runCalls(context, documents);
    const std::wstring source = argv[4], target = argv[5];
    const std::string macro = narrow(argv[6]);
    return mode == L"bare" ? runBare(context, source, target, macro)
                           : runProgram(context, source, target, macro, mode == L"tree");
}
