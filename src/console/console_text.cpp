#include "console/console_text.h"

#include "console/command_line.h"

#include <algorithm>

void BatchCounts::add(DocumentStatus status) {
    switch (status) {
    case DocumentStatus::Converted:
        ++converted;
        break;
    case DocumentStatus::Failed:
        ++failed;
        break;
    case DocumentStatus::Skipped:
        ++skipped;
        break;
    case DocumentStatus::NotStarted:
        ++notStarted;
        break;
    }
}

std::string documentLine(std::size_t number, std::size_t total, DocumentStatus status,
                         const std::string& document, double seconds, const std::string& reason) {
    // Appended piece by piece: GCC 12 warns, wrongly, of overlapping copies in
    // "text" + std::string&& once it is inlined.
    std::string line = "[";
    line += std::to_string(number) + "/" + std::to_string(total) + "] " + statusText(status) + " " + document;
    if (status == DocumentStatus::Converted || status == DocumentStatus::Failed)
        line += " (" + fixedDecimals(seconds, 1) + " s)";
    if (!reason.empty()) {
        std::string oneLine = reason;
        std::replace_if(
            oneLine.begin(), oneLine.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
        line += ": " + oneLine;
    }
    return line;
}

std::string summaryLine(const BatchCounts& counts, double seconds) {
    const std::size_t total = counts.total();
    std::string line = std::to_string(total) + (total == 1 ? " document: " : " documents: ") +
                       std::to_string(counts.converted) + " converted, " + std::to_string(counts.failed) +
                       " failed, " + std::to_string(counts.skipped) + " skipped";
    if (counts.notStarted != 0)
        line += ", " + std::to_string(counts.notStarted) + " not started";
    return line + " (" + fixedDecimals(seconds, 1) + " s)";
}

int batchExitCode(const BatchCounts& counts, bool interrupted) {
    if (interrupted || counts.failed != 0 || counts.notStarted != 0)
        return ExitCode::Incomplete;
    return ExitCode::Success;
}
