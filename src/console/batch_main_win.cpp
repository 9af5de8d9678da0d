// tarnwick-batch: the console program for batches that run unattended. So
// far it answers /? and checks its arguments, folders, macro and reports.
#include "console/batch_report.h"
#include "console/command_line.h"
#include "console/console_io_win.h"
#include "console/resume.h"
#include "base/error.h"
#include "platform/wide_win.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace {

constexpr const char* kProgram = "tarnwick-batch: ";

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

int run(const std::vector<std::string>& arguments, ConsoleOutput& console) {
    Win32PathProbe probe;
    const CommandLine line = parseCommandLine(arguments, probe.currentFolder());
    if (line.kind == CommandLine::Kind::Usage) {
        printUsage(console);
        return ExitCode::Success;
    }
    if (line.kind == CommandLine::Kind::Error) {
        console.err(kProgram + line.error);
        return ExitCode::BadArguments;
    }
    const BatchArguments& batch = line.arguments;
    if (const std::string problem = checkArguments(batch, probe); !problem.empty()) {
        console.err(kProgram + problem);
        return ExitCode::BadArguments;
    }
    std::optional<EarlierReport> earlier;
    std::optional<BatchReport> report;
    try {
        // The earlier report is read before the new one is opened: both may
        // name the same file.
        if (batch.resume)
            earlier = readEarlierReportFile(*batch.resume);
        if (batch.report)
            report.emplace(openReportFile(*batch.report));
    } catch (const AppError& error) {
        console.err(kProgram + error.description());
        return ExitCode::BadArguments;
    }
    console.err(std::string(kProgram) + "this version checks its arguments only; it converts nothing yet");
    return ExitCode::Incomplete;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    StandardOutput console;
    try {
        std::vector<std::string> arguments;
        for (int i = 1; i < argc; ++i)
            arguments.push_back(narrow(argv[i]));
        return run(arguments, console);
    } catch (const std::exception& error) {
        console.err(kProgram + std::string(error.what()));
        return ExitCode::Incomplete;
    }
}
