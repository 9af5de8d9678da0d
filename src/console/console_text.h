#pragma once
// What the console program prints: a line per finished document, the
// summary at the end and its notices.
#include "console/batch_report.h"

#include <cstddef>
#include <cstdint>
#include <string>

// How many documents of a run ended how.
struct BatchCounts {
    std::size_t converted = 0;
    std::size_t failed = 0;
    std::size_t skipped = 0;
    std::size_t notStarted = 0;

    void add(DocumentStatus status);
    std::size_t total() const { return converted + failed + skipped + notStarted; }
};

// The text on one line: each run of line breaks becomes one blank.
std::string oneLine(const std::string& text);
// "[12/300] Converted C:\docs\a.wpd (0.8 s)", "[13/300] Failed C:\docs\b.wpd
// (1.2 s): reason"; skipped and unstarted documents take no time. A reason
// spanning lines is put on one.
std::string documentLine(std::size_t number, std::size_t total, DocumentStatus status,
                         const std::string& document, double seconds, const std::string& reason = {});
// The last line of a run, e.g. "300 documents: 290 converted, 5 failed,
// 3 skipped, 2 not started (412.3 s)".
std::string summaryLine(const BatchCounts& counts, double seconds);
// A size as people read it: "512 bytes", "1.2 KB", "3.4 MB", "1.0 GB".
std::string sizeText(std::uint64_t bytes);
// The exit code of a run that has ended: interrupted is true when it was
// stopped or lost WordPerfect.
int batchExitCode(const BatchCounts& counts, bool interrupted);

// What starts every line the program writes to standard error.
inline constexpr const char* kErrorPrefix = "tarnwick-batch: ";
// The first line of a run that has no macro to play.
inline constexpr const char* kNoMacroNotice =
    "No macro is given or stored: the documents are saved as they are.";
// Said when the report to resume from does not exist yet.
std::string noEarlierReport(const std::string& path);
// Said on the first Ctrl+C or Ctrl+Break.
inline constexpr const char* kStopNotice =
    "Stopping after the document in progress; press Ctrl+C again to end at once.";
// Said when the run is given up because WordPerfect stopped answering.
inline constexpr const char* kWordPerfectWaits =
    "WordPerfect stopped answering, probably waiting for a person (a dialog or a question on its "
    "screen); the documents left were not started.";
