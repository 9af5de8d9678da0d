#pragma once
// The file-system calls beneath clsFileSystem. Each answers whether it
// worked rather than raising, so clsFileSystem decides what the user sees.
// Win32 implements them with the wide calls; tests use an in-memory fake.
#include "base/folders.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class FileServices {
public:
    virtual ~FileServices() = default;
    // A file or folder of that name exists.
    virtual bool pathExists(const std::string& path) = 0;
    // The user's temporary folder, with its trailing backslash.
    virtual std::string temporaryFolder() = 0;
    // Creates a new, empty, uniquely named file in the folder (which ends in
    // a backslash) and answers its path; empty text when none could be made.
    virtual std::string createTemporaryFile(const std::string& folder, const std::string& prefix) = 0;
    // A result is written under a temporary name in its own folder and then
    // renamed onto its final name, so that a save that breaks off never
    // leaves a cut file under that name. These two raise AppError with the
    // system's text where the others answer.
    // Creates a new, empty file named kResultTemporaryPrefix, eight hex
    // digits and ".tmp" in the folder and answers its path.
    virtual std::string createResultTemporary(const std::string& folder) = 0;
    // Gives the file `from` the name `to` on the same volume, replacing a
    // file there, written through to the disk before it returns.
    virtual void replaceByRename(const std::string& from, const std::string& to) = 0;
    // Removes the result temporaries (by their name) of the folder that were
    // last written more than the given number of seconds ago and that no one
    // holds open: left by a run that broke off, not being written by another
    // PC now. Answers how many went.
    virtual std::size_t removeLeftoverTemporaries(const std::string& folder,
                                                  std::uint64_t olderThanSeconds) = 0;
    // What the file system calls the folder a path names, however the path
    // is spelled; none when there is no such folder or it cannot be opened.
    virtual std::optional<FolderIdentity> folderIdentity(const std::string& path) = 0;
    // The name of the first ordinary file (not hidden, system or folder)
    // that a directory search for the path finds.
    virtual std::optional<std::string> findOrdinaryFile(const std::string& path) = 0;
    virtual std::optional<std::uint64_t> fileSize(const std::string& path) = 0;
    virtual std::optional<std::uint32_t> attributes(const std::string& path) = 0;
    virtual bool setAttributes(const std::string& path, std::uint32_t attributes) = 0;
    // The last change of the file in the user's general date format.
    virtual std::optional<std::string> lastChange(const std::string& path) = 0;
    virtual bool deleteFile(const std::string& path) = 0;
    // Copies, replacing an existing destination file.
    virtual bool copyFile(const std::string& source, const std::string& destination) = 0;
    virtual bool createFolder(const std::string& path) = 0;
    virtual bool removeFolder(const std::string& path) = 0;
    // The user's decimal separator.
    virtual std::string decimalSeparator() = 0;
    // The current date and time in the user's general date format.
    virtual std::string now() = 0;
    // The folder that holds the program's executable, without a trailing
    // backslash (except at a drive root).
    virtual std::string programFolder() = 0;
    // The program's executable file name without its extension.
    virtual std::string programName() = 0;
};

// The name of a result's temporary file: kResultTemporaryPrefix, eight hex
// digits, ".tmp".
inline constexpr std::string_view kResultTemporaryPrefix = "~tarnwick-";
inline bool isResultTemporaryName(std::string_view name) {
    constexpr std::string_view suffix = ".tmp";
    if (name.size() != kResultTemporaryPrefix.size() + 8 + suffix.size() ||
        !name.starts_with(kResultTemporaryPrefix))
        return false;
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (const char c : name.substr(kResultTemporaryPrefix.size(), 8))
        if (!((c >= '0' && c <= '9') || (lower(c) >= 'a' && lower(c) <= 'f')))
            return false;
    for (std::size_t i = 0; i < suffix.size(); ++i)
        if (lower(name[name.size() - suffix.size() + i]) != suffix[i])
            return false;
    return true;
}
