#pragma once
// The console program's command line:
//   tarnwick-batch SOURCE TARGET [/macro FILE] [/extensions LIST] [/report FILE] [/resume REPORT]
//                  [/timeout SECONDS] [/recurse] [/shard K/N] [/changed] [/list]
//   tarnwick-batch /?
#include <optional>
#include <string>
#include <vector>

class PathProbe;

// The console program's exit codes.
namespace ExitCode {
// Every document converted or skipped, or none found.
inline constexpr int Success = 0;
// Some documents failed, WordPerfect was lost, or the run was stopped.
inline constexpr int Incomplete = 1;
// Bad arguments, or an unusable folder, macro, report or lock file; the
// source folder could not be read when the run was to begin.
inline constexpr int BadArguments = 2;
// WordPerfect could not be reached at the start.
inline constexpr int NoWordPerfect = 3;
// Another batch is running.
inline constexpr int AnotherBatch = 4;
} // namespace ExitCode

// The arguments of one run; every path is absolute.
struct BatchArguments {
    std::string source;
    std::string target;
    std::optional<std::string> macro;
    std::vector<std::string> extensions;
    std::optional<std::string> report;
    std::optional<std::string> resume;
    std::optional<int> timeoutSeconds; // a document's time limit
    // This PC's share of an archive converted on several: the documents whose
    // path below the source hashes to K-1 modulo N.
    struct Share {
        int k = 1;
        int n = 1;
    };
    std::optional<Share> shard;
    bool recurse = false; // the folders below the source too, mirrored below the target
    bool changed = false; // only documents written since their result was
    bool list = false;    // a look before the night: lists, converts nothing
};

struct CommandLine {
    enum class Kind { Batch, Usage, Error };
    Kind kind = Kind::Error;
    BatchArguments arguments; // for Batch
    std::string error;        // for Error: one line
};

// Reads the arguments (without the program's name). Paths are made absolute
// against the current folder; nothing is looked up in the file system.
CommandLine parseCommandLine(const std::vector<std::string>& arguments, const std::string& currentFolder);

// Checks the folders and the macro of a parsed command line; answers the
// one-line reason why the run cannot start, or empty text.
std::string checkArguments(const BatchArguments& arguments, PathProbe& probe);

// The path made absolute against the current folder, with "/" read as "\",
// "." and ".." resolved and no trailing backslash except at a drive root.
std::string absolutePath(const std::string& path, const std::string& currentFolder);

// The entries of a comma-separated extension list, each trimmed and without
// a leading "." or "*."; empty entries are dropped.
std::vector<std::string> extensionList(const std::string& list);
// The extension list the program starts with.
std::vector<std::string> defaultExtensions();

// The text of /?, lines separated by "\n".
std::string usageText();
