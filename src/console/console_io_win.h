#pragma once
// The console program's reach into Win32: its output streams, the checks of
// its paths, and the report files it writes and reads.
#include "console/console_ports.h"

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

class EarlierReport;

// One standard handle: text goes to a console as UTF-16 (so that every
// script shows whatever the console's code page), to a file or pipe as UTF-8.
class StandardStream {
public:
    explicit StandardStream(HANDLE handle); // not owned
    bool toConsole() const { return console_; }
    // Writes the whole text; answers false when the handle refused it.
    bool write(std::string_view text);

private:
    HANDLE handle_;
    bool console_;
};

// The process's standard output and standard error; lines end with CR LF.
class StandardOutput : public ConsoleOutput {
public:
    StandardOutput();
    void out(std::string_view line) override;
    void err(std::string_view line) override;

private:
    StandardStream out_;
    StandardStream err_;
};

class Win32PathProbe : public PathProbe {
public:
    std::string currentFolder() override;
    PathKind kind(const std::string& path) override;
    std::string listingProblem(const std::string& folder) override;
    std::optional<FolderIdentity> identity(const std::string& path) override;
    std::optional<std::uint64_t> size(const std::string& path) override;
    std::optional<std::uint64_t> lastWritten(const std::string& path) override;
    std::string readProblem(const std::string& path) override;
    bool fitsCodePage(const std::string& name) override;
    std::string upperCase(const std::string& text) override;
};

// Opens the report file for writing while others may read it, and leaves it
// as it is until the run begins: a new file (made now, and gone again when
// the run never begins), an empty file, or the report of an earlier run.
// Raises AppError with the reason for any other file, or when it cannot be
// opened for writing.
std::unique_ptr<ReportFile> openReportFile(const std::string& path);
// Reads the report of an earlier run. Raises AppError with the reason when
// it cannot be read or is not a report.
EarlierReport readEarlierReportFile(const std::string& path);
