#pragma once
// Resuming a run from the report of an earlier one: documents that report
// lists as done, whose result is still in the target folder, are skipped.
#include <cstdint>
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
// converted and its result still exists where the run puts it.
bool skipOnResume(const EarlierReport& earlier, const std::string& document, const std::string& sourceFolder,
                  const std::string& targetFolder, FileServices& files);

// The hash that gives each document of an archive to one PC of several:
// FNV-1a, 64 bits, over the document's path below the source folder
// (backslashes, no leading one) in capitals, as UTF-8. A file added later
// moves no other document to another PC.
std::uint64_t shareHash(std::string_view upperRelative);
// True when a document of this hash is share k's of n (1 <= k <= n).
inline bool inShare(std::uint64_t hash, int k, int n) {
    return hash % static_cast<std::uint64_t>(n) == static_cast<std::uint64_t>(k - 1);
}
