#pragma once
// The report of a run: a CSV file (RFC 4180, UTF-8 with a byte-order mark)
// with the header document,status,reason,seconds and one row per document,
// written as each document finishes.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class ReportFile;

// Listed: a document a run would convert, as /list reports it.
enum class DocumentStatus { Converted, Failed, Skipped, NotStarted, Listed };

// "Converted", "Failed", "Skipped", "Not started" or "Listed".
std::string statusText(DocumentStatus status);
// The value with the given number of decimals and a full stop, whatever
// the user's number format; negative values count as 0.
std::string fixedDecimals(double value, int decimals);

// One field as RFC 4180 writes it: quoted, with its quotes doubled, when it
// holds a comma, a quote or a line break.
std::string csvField(std::string_view text);
// The records of a CSV text: a byte-order mark at the start is dropped,
// records end with CR LF or LF, quoted fields may hold either.
std::vector<std::vector<std::string>> csvRecords(std::string_view text);

// True when the text begins as a report does: its first record is the
// header (after a byte-order mark, if any). Only the first line is read.
bool isReportStart(std::string_view text);

class BatchReport {
public:
    // Takes the file as it is; nothing is written before begin().
    explicit BatchReport(std::unique_ptr<ReportFile> file);
    // The run begins: the file is emptied and gets the byte-order mark and
    // the header. Raises AppError when the file cannot be written.
    void begin();
    // Writes the document's row; raises AppError when it cannot be written.
    void add(const std::string& document, DocumentStatus status, const std::string& reason, double seconds);

private:
    std::unique_ptr<ReportFile> file_;
};

// The header's fields, as the first record of every report.
inline constexpr const char* kReportHeader = "document,status,reason,seconds";
