#include "console/command_line.h"

#include "base/folders.h"
#include "base/text.h"
#include "base/views.h"
#include "console/console_ports.h"
#include "control/State.h"
#include "core/macro_selection.h"
#include "files/clsFileSystem.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace {

// The switches, and what value each takes (none for a switch that stands alone).
struct Switch {
    const char* name;
    const char* value;
};
constexpr std::array<Switch, 9> kSwitches = {{
    {"macro", "a macro file (.wcm)"},
    {"extensions", "a comma-separated list of extensions"},
    {"report", "the report file to write"},
    {"resume", "the report of an earlier run"},
    {"timeout", "a number of seconds"},
    {"shard", "K/N, this PC's share of N"},
    {"recurse", nullptr},
    {"changed", nullptr},
    {"list", nullptr},
}};
enum SwitchIndex { Macro, Extensions, Report, Resume, Timeout, Shard, Recurse, Changed, List };
// The longest time limit of a document: a day.
constexpr int kLongestTimeout = 86400;

constexpr const char* kUsageHint = " (tarnwick-batch /? shows the usage)";

bool looksLikeSwitch(const std::string& argument) {
    return argument.size() > 1 && (argument[0] == '/' || argument[0] == '-');
}

// The index of the switch the argument names, or -1.
int switchIndex(const std::string& argument) {
    if (!looksLikeSwitch(argument))
        return -1;
    const std::string name = lowerCase(argument.substr(1));
    for (std::size_t i = 0; i < kSwitches.size(); ++i)
        if (name == kSwitches[i].name)
            return static_cast<int>(i);
    return -1;
}

// The length of the root of an absolute path: "C:" or "\\server\share".
std::size_t rootLength(const std::string& path) {
    if (path.rfind("\\\\", 0) == 0) {
        const std::size_t server = path.find('\\', 2);
        if (server == std::string::npos)
            return path.size();
        const std::size_t share = path.find('\\', server + 1);
        return share == std::string::npos ? path.size() : share;
    }
    return hasDriveLetter(path) ? 2 : 0;
}

std::string withBackslashes(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// The text as a whole number, every character a digit.
bool wholeNumber(std::string_view text, int& number) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc{} && end == text.data() + text.size();
}

CommandLine failure(std::string reason) {
    CommandLine result;
    result.kind = CommandLine::Kind::Error;
    result.error = std::move(reason);
    return result;
}

} // namespace

std::string absolutePath(const std::string& given, const std::string& currentFolder) {
    const std::string path = withBackslashes(given);
    // A literal path ("\\?\...") is taken as it stands, as the system does.
    if (path.rfind("\\\\?\\", 0) == 0)
        return path;
    const std::string current = withBackslashes(currentFolder);
    std::string full;
    if (path.rfind("\\\\", 0) == 0 || (hasDriveLetter(path) && path.size() > 2 && path[2] == '\\')) {
        full = path;
    } else if (hasDriveLetter(path)) {
        // "D:name" is relative to that drive's current folder; only the
        // current drive's is known, another drive's is taken to be its root.
        const bool sameDrive =
            hasDriveLetter(current) && lowerCase(current.substr(0, 1)) == lowerCase(path.substr(0, 1));
        full = (sameDrive ? current : path.substr(0, 2)) + "\\" + path.substr(2);
    } else if (!path.empty() && path[0] == '\\') {
        full = current.substr(0, rootLength(current)) + path;
    } else {
        full = current + "\\" + path;
    }

    const std::size_t root = rootLength(full);
    std::vector<std::string> parts;
    std::size_t start = root;
    while (start <= full.size()) {
        std::size_t end = full.find('\\', start);
        if (end == std::string::npos)
            end = full.size();
        const std::string part = full.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string result = full.substr(0, root);
    for (const std::string& part : parts)
        result += "\\" + part;
    if (parts.empty() && hasDriveLetter(result) && result.size() == 2)
        result += "\\";
    return result;
}

std::vector<std::string> extensionList(const std::string& list) {
    std::vector<std::string> entries;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(',', start);
        if (end == std::string::npos)
            end = list.size();
        std::string entry = trimSpaces(list.substr(start, end - start));
        if (entry.rfind("*.", 0) == 0)
            entry.erase(0, 2);
        else if (entry.rfind('.', 0) == 0)
            entry.erase(0, 1);
        if (!entry.empty())
            entries.push_back(entry);
        start = end + 1;
    }
    return entries;
}

std::vector<std::string> defaultExtensions() {
    return {kDefaultExtension};
}

namespace {

using SwitchValues = std::array<std::optional<std::string>, kSwitches.size()>;

// Sorts the arguments into folders and switches with their values; answers
// what is wrong with them, or empty text.
std::string sortArguments(const std::vector<std::string>& arguments, std::vector<std::string>& folders,
                          SwitchValues& values) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        // No file name holds a quotation mark. One in an argument comes from
        // a quoted path ending in a backslash, "C:\docs\", where the system
        // reads \" as a quotation mark and runs on into the next argument.
        if (argument.find('"') != std::string::npos)
            return "The argument " + argument +
                   " holds a quotation mark: write a quoted folder without its last backslash, as "
                   "\"C:\\docs\"";
        if (!looksLikeSwitch(argument)) {
            folders.push_back(argument);
            continue;
        }
        const int index = switchIndex(argument);
        if (index < 0)
            return "Unknown switch " + argument + kUsageHint;
        auto& value = values[static_cast<std::size_t>(index)];
        if (value)
            return argument + " is given twice" + kUsageHint;
        if (kSwitches[static_cast<std::size_t>(index)].value == nullptr) {
            value = "";
            continue;
        }
        // A switch followed by another switch has lost its value.
        if (i + 1 == arguments.size() || arguments[i + 1].empty() || switchIndex(arguments[i + 1]) >= 0)
            return argument + " needs " + kSwitches[static_cast<std::size_t>(index)].value + kUsageHint;
        value = arguments[++i];
    }
    if (folders.size() > 2)
        return "Unexpected argument \"" + folders[2] + "\"" + kUsageHint;
    if (folders.empty())
        return std::string("The source and the target folder are missing") + kUsageHint;
    if (folders[0].empty())
        return std::string("The source folder is missing") + kUsageHint;
    if (folders.size() == 1 || folders[1].empty())
        return std::string("The target folder is missing") + kUsageHint;
    return {};
}

// Reads the values of /timeout, /shard and /extensions into the batch's
// arguments; answers what is wrong with one, or empty text.
std::string readValues(const SwitchValues& values, BatchArguments& batch) {
    if (const auto& timeout = values[Timeout]) {
        int seconds = 0;
        if (!wholeNumber(*timeout, seconds) || seconds < 1 || seconds > kLongestTimeout)
            return "/timeout: \"" + *timeout + "\" is not a number of seconds from 1 to " +
                   std::to_string(kLongestTimeout);
        batch.timeoutSeconds = seconds;
    }
    if (const auto& shard = values[Shard]) {
        const std::size_t slash = shard->find('/');
        int k = 0, n = 0;
        if (slash == std::string::npos || !wholeNumber(std::string_view(*shard).substr(0, slash), k) ||
            !wholeNumber(std::string_view(*shard).substr(slash + 1), n) || k < 1 || k > n)
            return "/shard: \"" + *shard + "\" is not K/N with K from 1 to N, as 2/3";
        batch.shard = BatchArguments::Share{k, n};
    }
    batch.extensions = defaultExtensions();
    if (values[Extensions]) {
        batch.extensions = extensionList(*values[Extensions]);
        if (batch.extensions.empty())
            return std::string("/extensions names no extension") + kUsageHint;
        for (const std::string& entry : batch.extensions)
            if (entry.find_first_of("*?") != std::string::npos)
                return "/extensions: \"" + entry + "\" is not an extension; give extensions such as wpd,doc";
    }
    return {};
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments, const std::string& currentFolder) {
    for (const std::string& argument : arguments)
        if (argument == "/?" || argument == "-?") {
            CommandLine usage;
            usage.kind = CommandLine::Kind::Usage;
            return usage;
        }
    std::vector<std::string> folders;
    SwitchValues values;
    if (std::string problem = sortArguments(arguments, folders, values); !problem.empty())
        return failure(std::move(problem));

    CommandLine result;
    result.kind = CommandLine::Kind::Batch;
    BatchArguments& batch = result.arguments;
    const auto absolute = [&](const std::optional<std::string>& path) -> std::optional<std::string> {
        if (!path)
            return std::nullopt;
        return absolutePath(*path, currentFolder);
    };
    batch.source = absolutePath(folders[0], currentFolder);
    batch.target = absolutePath(folders[1], currentFolder);
    batch.macro = absolute(values[Macro]);
    batch.report = absolute(values[Report]);
    batch.resume = absolute(values[Resume]);
    batch.recurse = values[Recurse].has_value();
    batch.changed = values[Changed].has_value();
    batch.list = values[List].has_value();
    if (std::string problem = readValues(values, batch); !problem.empty())
        return failure(std::move(problem));
    return result;
}

std::string checkArguments(const BatchArguments& arguments, PathProbe& probe) {
    const std::string& source = arguments.source;
    switch (probe.kind(source)) {
    case PathKind::Missing:
        return "The source folder " + source + " does not exist";
    case PathKind::File:
        return "The source " + source + " is a file, not a folder";
    case PathKind::Folder:
        break;
    }
    if (const std::string problem = probe.listingProblem(source); !problem.empty())
        return "The source folder " + source + " cannot be read: " + problem;

    const std::string& target = arguments.target;
    switch (probe.kind(target)) {
    case PathKind::File:
        return "The target " + target + " is a file, not a folder";
    case PathKind::Missing:
        if (const std::string parent = parentFolder(target); probe.kind(parent) != PathKind::Folder)
            return "The target folder " + target + " cannot be made: its parent folder " + parent +
                   " does not exist";
        break;
    case PathKind::Folder:
        break;
    }
    // Results are saved under the documents' own names: into the source
    // folder they would replace the documents themselves, however the two
    // paths are spelled; with subfolders, below it they would be found again.
    const FolderRelation relation =
        folderRelation(target, source, [&probe](const std::string& path) { return probe.identity(path); });
    if (relation == FolderRelation::Same)
        return "The target folder is the source folder " + source +
               ": the results would replace the documents";
    if (relation == FolderRelation::Inside && arguments.recurse)
        return kTargetInsideSource;

    // The macro dialog's own rule and message: an existing file whose
    // extension is "wcm" in any case.
    if (const auto& macro = arguments.macro;
        macro && (probe.kind(*macro) != PathKind::File || lowerCase(FileExtensionText(*macro)) != "wcm"))
        return *macro + ": " + kNotAMacro;
    return {};
}

std::string usageText() {
    // Every line fits a console of 80 columns.
    return "Plays a WordPerfect macro over every document of a folder and saves the\n"
           "results into another folder.\n"
           "\n"
           "tarnwick-batch SOURCE TARGET [/macro FILE] [/extensions LIST]\n"
           "               [/report FILE] [/resume REPORT] [/timeout SECONDS]\n"
           "               [/recurse] [/shard K/N] [/changed] [/list]\n"
           "\n"
           "  SOURCE            the folder of the documents; they stay as they are\n"
           "  TARGET            the folder for the results; made if its parent exists\n"
           "  /macro FILE       the macro (.wcm) for this run instead of the one chosen\n"
           "                    in Tarnwick\n"
           "  /extensions LIST  the documents' extensions, comma-separated (default: wpd)\n"
           "  /report FILE      writes a CSV row per document as it finishes:\n"
           "                    document,status,reason,seconds; FILE is a new file,\n"
           "                    an empty one or an earlier report, emptied only once\n"
           "                    the run begins\n"
           "  /resume REPORT    skips the documents that REPORT lists as converted and\n"
           "                    whose results are still in TARGET (none while REPORT\n"
           "                    does not exist yet)\n"
           "  /timeout SECONDS  the time WordPerfect has for one document, 1 to 86400\n"
           "                    (default: 600); a WordPerfect this program started\n"
           "                    is ended past it and started again\n"
           "  /recurse          the folders below SOURCE too (not hidden ones, nor\n"
           "                    links), each result in the same folder below TARGET\n"
           "  /shard K/N        this PC's share of an archive converted on N PCs, K\n"
           "                    from 1 to N: each document belongs to one share by its\n"
           "                    path below SOURCE\n"
           "  /changed          skips the documents whose result was written after them\n"
           "  /list             converts nothing: lists what a run would convert, its\n"
           "                    size and what it would likely stumble on\n"
           "  /?                shows this text\n"
           "\n"
           "Switches may begin with / or - and are not case-sensitive. Ctrl+C stops\n"
           "after the document in progress, or at once while a macro plays (that\n"
           "document fails as stopped); a second Ctrl+C ends the program at once.\n"
           "\n"
           "Exit codes:\n"
           "  0  every document converted or skipped, or none found\n"
           "  1  some documents failed, WordPerfect was lost, or the run was stopped\n"
           "  2  bad arguments, or an unusable folder, macro, report or lock file\n"
           "  3  WordPerfect could not be reached\n"
           "  4  another Tarnwick batch is running";
}
