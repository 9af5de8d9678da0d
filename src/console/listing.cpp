#include "console/listing.h"

#include "base/text.h"
#include "console/console_text.h"
#include "conversion/DecObj.h"
#include "files/clsFileSystem.h"

namespace {

// The length of a UTF-8 text in UTF-16 units, as the system counts a path.
std::size_t utf16Length(const std::string& text) {
    std::size_t units = 0;
    for (const char32_t c : toChars(text))
        units += c > 0xFFFF ? 2 : 1;
    return units;
}

// Why a run would likely stumble on the document, none when nothing is seen:
// empty, cannot be read now, a name the system's code page cannot hold, a
// result that exists and would be replaced, a path too long for older
// programs (the document's or its result's).
std::vector<std::string> likelyProblems(const std::string& document, std::optional<std::uint64_t> size,
                                        const std::string& result, PathProbe& probe) {
    std::vector<std::string> problems;
    if (size == std::uint64_t{0})
        problems.push_back("empty (0 bytes)");
    if (const std::string reason = probe.readProblem(document); !reason.empty())
        problems.push_back("cannot be read now: " + reason);
    if (!probe.fitsCodePage(clsFileSystem().GetFileName(document)))
        problems.push_back(
            "its name has characters the system's code page cannot hold: an older word processor "
            "may not open it");
    if (probe.kind(result) == PathKind::File)
        problems.push_back("its result exists and would be replaced");
    if (utf16Length(document) > kLongestPlainPath)
        problems.push_back("its path is longer than " + std::to_string(kLongestPlainPath) + " characters");
    if (utf16Length(result) > kLongestPlainPath)
        problems.push_back("its result's path is longer than " + std::to_string(kLongestPlainPath) +
                           " characters");
    return problems;
}

} // namespace

std::string joinedReasons(const std::vector<std::string>& reasons) {
    std::string text;
    for (const std::string& reason : reasons)
        text += (text.empty() ? "" : "; ") + reason;
    return text;
}

std::vector<Listed> listFound(const std::vector<FoundItem>& found, const std::string& source,
                              const std::string& target, PathProbe& probe) {
    std::vector<Listed> listed;
    for (const FoundItem& item : found) {
        if (!item.unreadable.empty()) {
            listed.push_back({item.path, 0, {"cannot be read: " + item.unreadable}, true});
            continue;
        }
        const std::optional<std::uint64_t> size = probe.size(item.path);
        listed.push_back(
            {item.path, size.value_or(0),
             likelyProblems(item.path, size, DecObj::ResultPath(item.path, source, target), probe), false});
    }
    return listed;
}

std::vector<std::string> listingLines(const std::vector<Listed>& listed) {
    std::vector<std::string> lines;
    std::uint64_t bytes = 0;
    std::size_t documents = 0;
    std::vector<std::string> stumbling;
    for (const Listed& item : listed) {
        if (!item.folder) {
            lines.push_back(item.path);
            bytes += item.bytes;
            ++documents;
        }
        if (!item.problems.empty())
            stumbling.push_back("  " + item.path + ": " + joinedReasons(item.problems));
    }
    lines.push_back(std::to_string(documents) + (documents == 1 ? " document, " : " documents, ") +
                    sizeText(bytes) + " in all");
    if (!stumbling.empty()) {
        lines.push_back(std::to_string(stumbling.size()) + " likely to fail:");
        lines.insert(lines.end(), stumbling.begin(), stumbling.end());
    }
    return lines;
}
