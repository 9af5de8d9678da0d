// tarnwick-batch: the console program for batches that run unattended. It
// runs the batch through the same coordinator, modes, queue and jobs as the
// windows program, with views of its own in place of the windows.
#include "base/error.h"
#include "base/settings.h"
#include "console/batch_report.h"
#include "console/batch_run.h"
#include "console/command_line.h"
#include "console/console_io_win.h"
#include "console/console_views.h"
#include "console/listing.h"
#include "console/resume.h"
#include "console/stop_handler_win.h"
#include "console/stop_request.h"
#include "control/Command.h"
#include "control/State.h"
#include "control/documents.h"
#include "conversion/DecObj.h"
#include "core/General.h"
#include "core/Mediator.h"
#include "core/connection.h"
#include "platform/batch_lock_win.h"
#include "platform/directory_win.h"
#include "platform/file_services_win.h"
#include "platform/handles_win.h"
#include "platform/message_filter_win.h"
#include "platform/platform_win.h"
#include "platform/settings_win.h"
#include "platform/wide_win.h"

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

// The windows program's name: its stored macro setting is the one used.
class ConsoleFileServices : public Win32FileServices {
public:
    std::string programName() override { return "tarnwick"; }
};

void printUsage(ConsoleOutput& console) {
    const std::string usage = usageText();
    std::size_t start = 0;
    while (start <= usage.size()) {
        std::size_t end = usage.find('\n', start);
        if (end == std::string::npos)
            end = usage.size();
        console.out(std::string_view(usage).substr(start, end - start));
        start = end + 1;
    }
}

// What this run takes of the documents it finds: this PC's share of them
// (/shard), and of those not the ones converted before (/resume) or whose
// result was written after them (/changed).
class RunChoices {
public:
    RunChoices(const BatchArguments& batch, const std::optional<EarlierReport>& earlier, PathProbe& probe,
               FileServices& files)
        : batch_(batch), earlier_(earlier), probe_(probe), files_(files) {}

    RunChoice operator()(const std::string& path, const std::string& relative) {
        ++found_;
        if (batch_.shard && !inShare(shareHash(probe_.upperCase(relative)), batch_.shard->k, batch_.shard->n))
            return RunChoice::Leave;
        ++shared_;
        if (earlier_ && skipOnResume(*earlier_, path, batch_.source, batch_.target, files_))
            return RunChoice::Skip;
        if (batch_.changed) {
            const auto result = probe_.lastWritten(DecObj::ResultPath(path, batch_.source, batch_.target));
            const auto document = probe_.lastWritten(path);
            if (result && document && *result > *document)
                return RunChoice::Skip;
        }
        return RunChoice::Take;
    }

    // "shard 2 of 3: 1204 of 3611 documents", or empty text without shards.
    std::string shareLine() const {
        if (!batch_.shard)
            return {};
        return "shard " + std::to_string(batch_.shard->k) + " of " + std::to_string(batch_.shard->n) + ": " +
               std::to_string(shared_) + " of " + std::to_string(found_) + " documents";
    }

private:
    const BatchArguments& batch_;
    const std::optional<EarlierReport>& earlier_;
    PathProbe& probe_;
    FileServices& files_;
    std::size_t found_ = 0;
    std::size_t shared_ = 0;
};

// The batch itself, once the arguments, the macro, the lock and the report
// are in hand. Answers the exit code, and whether the run began.
std::pair<int, bool> convert(const BatchArguments& batch, const std::string& macro,
                             const std::optional<EarlierReport>& earlier, BatchReport* report,
                             ConsoleOutput& console) {
    const ComInitScope com = initializeCom(COINIT_APARTMENTTHREADED);
    if (!com) {
        console.err(std::string(kErrorPrefix) + "COM cannot be started");
        return {ExitCode::Incomplete, false};
    }
    // Lives as long as the process: the console's handler runs on a thread
    // of its own and may still hold it when this function returns.
    static StopRequest stop;
    const StopHandlerScope stopHandler(stop);

    BatchRun run(console, report, stop, [] { return General::coordinator().DropQueuedDocuments(); });
    Win32Platform system;
    ConsolePlatform platform(system, run, stop);
    ConsoleFileServices files;
    RegistrySettingsStore stored;
    RunSettings settings(stored, macro);
    Win32DirectoryLister directory;
    Win32PathProbe probe;
    RunChoices choices(batch, earlier, probe, files);
    RunLister lister(directory, batch.source, std::ref(choices),
                     [&run](const std::string& path) { run.addSkipped(path); });
    run.setHeading([&choices] { return choices.shareLine(); });
    ConsoleForms forms(lister, batch.extensions);
    forms.Form2().Progress().setObserver(&run);
    General::install({&platform, &forms, &files, &settings});
    if (batch.timeoutSeconds)
        General::wordPerfect().setDocumentLimit(*batch.timeoutSeconds);
    // As in the windows program, before the server is reached: a busy
    // server's refusals are retried. There is no window to ask for an exit.
    const MessageFilterScope messageFilter(ExitRequests{});

    if (macro.empty())
        console.out(kNoMacroNotice);
    try {
        General::StartCoordinator();
    } catch (const ProgramEnded&) {
        // The connection step said so on standard error.
        General::reset();
        return {ExitCode::NoWordPerfect, false};
    }
    int code = ExitCode::Incomplete;
    try {
        // As the Batch Documents dialog's Start does.
        General::coordinator().startBatch(batch.source, batch.target, batch.recurse);
        if (run.began()) {
            const BatchProgress& progress = forms.Form2().Progress();
            console.out(summaryLine(run.counts(), progress.elapsed()) + progress.notes());
            code = batchExitCode(run.counts(), stop.requested() || run.reportFailed());
        } else if (run.refused()) {
            // Said on standard error: the source folder could not be read.
            code = ExitCode::BadArguments;
        }
    } catch (const ProgramEnded&) {
    } catch (...) {
        console.err(kErrorPrefix + oneLine(currentError().description()));
    }
    General::LetGoOfWordPerfect();
    General::reset();
    return {code, run.began()};
}

// A look before the night: what a run of these arguments would convert and
// where it would likely stumble. No lock, no WordPerfect; nothing written but
// the report.
int listDocuments(const BatchArguments& batch, const std::optional<EarlierReport>& earlier,
                  BatchReport* report, ConsoleOutput& console) {
    ConsoleFileServices files;
    Win32DirectoryLister directory;
    Win32PathProbe probe;
    RunChoices choices(batch, earlier, probe, files);
    std::vector<std::string> skipped;
    RunLister lister(directory, batch.source, std::ref(choices),
                     [&skipped](const std::string& path) { skipped.push_back(path); });
    ConsoleForms forms(lister, batch.extensions);
    General::install({nullptr, &forms, &files, nullptr});
    std::vector<FoundItem> found;
    try {
        found = documentsIn(forms.Form2().FileList(), files, batch.source, batch.recurse);
    } catch (const AppError& error) {
        console.err(kErrorPrefix + oneLine(unreadableSourceText(batch.source, error.description())));
        General::reset();
        return ExitCode::BadArguments;
    }
    const std::vector<Listed> listed = listFound(found, batch.source, batch.target, probe);
    if (const std::string share = choices.shareLine(); !share.empty())
        console.out(share);
    for (const std::string& line : listingLines(listed))
        console.out(line);
    int code = ExitCode::Success;
    try {
        if (report != nullptr) {
            report->begin();
            for (const Listed& item : listed)
                report->add(item.path, DocumentStatus::Listed, joinedReasons(item.problems), 0);
        }
    } catch (const AppError& error) {
        console.err(kErrorPrefix + error.description());
        code = ExitCode::Incomplete;
    }
    General::reset();
    return code;
}

// The macro this run plays: the one given, or the one stored by the windows
// program. Raises AppError when the stored value cannot be read as text.
std::string macroOfRun(const BatchArguments& batch) {
    RegistrySettingsStore stored;
    RunSettings settings(stored, batch.macro);
    return MacroSetting::Read(settings, ConsoleFileServices().programName());
}

// A target folder made for a run that never began goes again, once empty.
class MadeFolder {
public:
    explicit MadeFolder(std::string path) : path_(std::move(path)) {}
    ~MadeFolder() {
        if (!path_.empty())
            Win32FileServices().removeFolder(path_);
    }
    MadeFolder(const MadeFolder&) = delete;
    MadeFolder& operator=(const MadeFolder&) = delete;
    void keep() { path_.clear(); }

private:
    std::string path_;
};

// Lists the documents without converting them: no lock, no word processor.
int listOnly(const BatchArguments& batch, PathProbe& probe, ConsoleOutput& console) {
    std::optional<EarlierReport> earlier;
    std::optional<BatchReport> report;
    try {
        if (batch.resume && probe.kind(*batch.resume) != PathKind::Missing)
            earlier = readEarlierReportFile(*batch.resume);
        if (batch.report)
            report.emplace(openReportFile(*batch.report));
    } catch (const AppError& error) {
        console.err(kErrorPrefix + error.description());
        return ExitCode::BadArguments;
    }
    return listDocuments(batch, earlier, report ? &*report : nullptr, console);
}

// Converts the documents of arguments already checked.
int convertAll(const BatchArguments& batch, PathProbe& probe, ConsoleOutput& console) {
    // Until the run begins nothing of the user's is changed: every refusal
    // below leaves the report as it was and takes back a target folder made
    // for the run.
    std::string macro;
    BatchLock lock;
    try {
        macro = macroOfRun(batch);
        // Before the report is opened: a second run on the same report file
        // is refused for the batch it would disturb, not for the file.
        lock = BatchLock::tryTake();
    } catch (const AppError& error) {
        console.err(kErrorPrefix + error.description());
        return ExitCode::BadArguments;
    }
    if (!lock) {
        console.err(std::string(kErrorPrefix) + kAnotherBatch);
        return ExitCode::AnotherBatch;
    }
    std::optional<EarlierReport> earlier;
    std::optional<MadeFolder> madeTarget;
    std::optional<BatchReport> report;
    try {
        // The earlier report is read before the new one is opened: both may
        // name the same file. A scheduled task's first run resumes from a
        // report that no run has written yet: nothing was converted before.
        if (batch.resume && probe.kind(*batch.resume) == PathKind::Missing) {
            console.err(kErrorPrefix + noEarlierReport(*batch.resume));
            earlier.emplace();
        } else if (batch.resume) {
            earlier = readEarlierReportFile(*batch.resume);
        }
        // Made before the report is opened, which may go into it.
        if (probe.kind(batch.target) == PathKind::Missing) {
            if (!Win32FileServices().createFolder(batch.target))
                throw AppError(ErrorNumber::PathNotFound,
                               "The target folder " + batch.target + " cannot be made");
            madeTarget.emplace(batch.target);
        }
        if (batch.report)
            report.emplace(openReportFile(*batch.report));
    } catch (const AppError& error) {
        console.err(kErrorPrefix + error.description());
        return ExitCode::BadArguments;
    }
    const auto [code, began] = convert(batch, macro, earlier, report ? &*report : nullptr, console);
    if (began && madeTarget)
        madeTarget->keep();
    // A report made for a run that never began goes before its folder.
    report.reset();
    return code;
}

int run(const std::vector<std::string>& arguments, ConsoleOutput& console) {
    Win32PathProbe probe;
    const CommandLine line = parseCommandLine(arguments, probe.currentFolder());
    if (line.kind == CommandLine::Kind::Usage) {
        printUsage(console);
        return ExitCode::Success;
    }
    if (line.kind == CommandLine::Kind::Error) {
        console.err(kErrorPrefix + line.error);
        return ExitCode::BadArguments;
    }
    const BatchArguments& batch = line.arguments;
    if (const std::string problem = checkArguments(batch, probe); !problem.empty()) {
        console.err(kErrorPrefix + problem);
        return ExitCode::BadArguments;
    }
    return batch.list ? listOnly(batch, probe, console) : convertAll(batch, probe, console);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    StandardOutput console;
    useSystemCollation(); // the order of the documents is the windows program's
    try {
        std::vector<std::string> arguments;
        for (int i = 1; i < argc; ++i)
            arguments.push_back(narrow(argv[i]));
        return run(arguments, console);
    } catch (const std::exception& error) {
        console.err(kErrorPrefix + std::string(error.what()));
        return ExitCode::Incomplete;
    }
}
