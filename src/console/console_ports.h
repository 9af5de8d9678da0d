#pragma once
// What the console program's own code reaches of the system: the file system
// for checking its arguments, the report file, and its two output streams.
// Win32 implements them; tests use fakes.
#include "base/folders.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

enum class PathKind { Missing, File, Folder };

class PathProbe {
public:
    virtual ~PathProbe() = default;
    // The process's current folder, without a trailing backslash (except at
    // a drive root).
    virtual std::string currentFolder() = 0;
    virtual PathKind kind(const std::string& path) = 0;
    // Empty when the folder's entries can be listed; otherwise the system's
    // reason why not.
    virtual std::string listingProblem(const std::string& folder) = 0;
    // What the file system calls the folder, however its path is spelled;
    // none when there is no such folder or it cannot be opened.
    virtual std::optional<FolderIdentity> identity(const std::string& path) = 0;
    // A file's length in bytes, and when it was last written (in any steady
    // unit); none when it cannot be read.
    virtual std::optional<std::uint64_t> size(const std::string& path) = 0;
    virtual std::optional<std::uint64_t> lastWritten(const std::string& path) = 0;
    // Empty when the file can be opened for reading now; otherwise the
    // system's reason why not (locked, access refused).
    virtual std::string readProblem(const std::string& path) = 0;
    // True when the system's ANSI code page holds every character of the
    // name (an older word processor opens files by such names).
    virtual bool fitsCodePage(const std::string& name) = 0;
    // The text in capitals by the rules of no language in particular.
    virtual std::string upperCase(const std::string& text) = 0;
};

// A report file, open for writing. Until the run begins it is left as it
// was found; each append reaches the file before it returns, so that a run
// that ends abruptly leaves every row written so far.
class ReportFile {
public:
    virtual ~ReportFile() = default;
    // Empties the file: what it held goes, once the run has begun. Raises
    // AppError when it cannot.
    virtual void restart() = 0;
    // Raises AppError when the bytes cannot be written.
    virtual void append(std::string_view bytes) = 0;
};

// Standard output and standard error, one line at a time (without its line end).
class ConsoleOutput {
public:
    virtual ~ConsoleOutput() = default;
    virtual void out(std::string_view line) = 0;
    virtual void err(std::string_view line) = 0;
};
