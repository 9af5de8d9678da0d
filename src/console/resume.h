#pragma once
// Resuming a run from the report of an earlier one: documents that report
// lists as done, whose result is still in the target folder, are skipped.
#include <set>
#include <string>
#include <string_view>

class FileServices;

class EarlierReport {
public:
    // Reads a report's text (with or without a byte-order mark, CR LF or LF
    // line ends). Raises AppError when its first record is not the header
    // of a report; the path names the file in that message.
    static EarlierReport read(std::string_view text, const std::string& path);
    // The report lists the document as converted: its row says "Converted",
    // or "Skipped", which a resumed run writes for a document converted
    // before it. Paths are compared without regard to case.
    bool convertedEarlier(const std::string& document) const;

private:
    std::set<std::string> converted_; // lower-cased paths
};

// True when the document is to be skipped: the earlier report lists it as
// converted and its result still exists in the target folder.
bool skipOnResume(const EarlierReport& earlier, const std::string& document, const std::string& targetFolder,
                  FileServices& files);
