#include "console/console_text.h"

#include "console/command_line.h"

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
    case DocumentStatus::Listed:
        break;
    }
}

std::string oneLine(const std::string& text) {
    std::string line;
    for (const char c : text) {
        const bool lineEnd = c == '\r' || c == '\n';
        if (!lineEnd)
            line += c;
        else if (!line.empty() && line.back() != ' ')
            line += ' ';
    }
    return line;
}

std::string documentLine(std::size_t number, std::size_t total, DocumentStatus status,
                         const std::string& document, double seconds, const std::string& reason) {
    // Appended piece by piece: GCC 12 warns, wrongly, of overlapping copies in
    // "text" + std::string&& once it is inlined.
    std::string line = "[";
    line += std::to_string(number) + "/" + std::to_string(total) + "] " + statusText(status) + " " + document;
    if (status == DocumentStatus::Converted || status == DocumentStatus::Failed)
        line += " (" + fixedDecimals(seconds, 1) + " s)";
    if (!reason.empty())
        line += ": " + oneLine(reason);
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

std::string sizeText(std::uint64_t bytes) {
    if (bytes < 1024)
        return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
    double value = static_cast<double>(bytes) / 1024;
    const char* unit = "KB";
    for (const char* larger : {"MB", "GB", "TB"}) {
        if (value < 1024)
            break;
        value /= 1024;
        unit = larger;
    }
    return fixedDecimals(value, 1) + " " + unit;
}

int batchExitCode(const BatchCounts& counts, bool interrupted) {
    if (interrupted || counts.failed != 0 || counts.notStarted != 0)
        return ExitCode::Incomplete;
    return ExitCode::Success;
}

std::string noEarlierReport(const std::string& path) {
    return "There is no earlier report " + path + ": every document is converted";
}
