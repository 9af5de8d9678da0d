#pragma once
// A look before the night (/list): what a run would convert, how much, and
// which documents it would likely stumble on, with why. Nothing is written
// but the report, no lock is taken and no WordPerfect is reached.
#include "console/console_ports.h"
#include "control/documents.h"

#include <cstdint>
#include <string>
#include <vector>

// The longest path older programs open, in UTF-16 units.
inline constexpr std::size_t kLongestPlainPath = 259;

// One listed item: a document (or a folder that cannot be read), its size,
// and its problems.
struct Listed {
    std::string path;
    std::uint64_t bytes = 0;
    std::vector<std::string> problems;
    bool folder = false; // a folder below the source that cannot be read
};

// Lists what the walk found: each document with its result's path as the
// run would make it (source and target folders given).
std::vector<Listed> listFound(const std::vector<FoundItem>& found, const std::string& source,
                              const std::string& target, PathProbe& probe);

// The reasons as one text, "; " between them.
std::string joinedReasons(const std::vector<std::string>& reasons);

// The lines /list prints: each document's path, then the summary ("3
// documents, 1.2 KB in all") and, when there are any, the documents a run
// would likely stumble on, one line each with their reasons.
std::vector<std::string> listingLines(const std::vector<Listed>& listed);
