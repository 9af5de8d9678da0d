#include "console/console_io_win.h"

#include "console/batch_report.h"
#include "console/resume.h"
#include "platform/errors_win.h"
#include "platform/file_services_win.h"
#include "platform/handles_win.h"
#include "platform/paths_win.h"
#include "platform/wide_win.h"

#include <algorithm>

namespace {

bool isConsole(HANDLE handle) {
    DWORD mode = 0;
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

bool writeAll(HANDLE handle, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
        if (!WriteFile(handle, bytes.data(), chunk, &written, nullptr) || written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

class FileReport : public ReportFile {
public:
    FileReport(std::string path, UniqueHandle file, bool made)
        : path_(std::move(path)), file_(std::move(file)), made_(made) {}
    ~FileReport() override {
        // A file made for a run that never began goes again: nothing of the
        // user's is changed by a run that did not start. (Deleted by its
        // name: a handle able to delete it would keep out readers that do
        // not share deletion, the usual kind.)
        if (made_ && !restarted_) {
            file_.reset();
            DeleteFileW(extendedPath(path_).c_str());
        }
    }
    FileReport(const FileReport&) = delete;
    FileReport& operator=(const FileReport&) = delete;

    void restart() override {
        LARGE_INTEGER start{};
        if (!SetFilePointerEx(file_.get(), start, nullptr, FILE_BEGIN) || !SetEndOfFile(file_.get()))
            failed();
        restarted_ = true;
    }
    void append(std::string_view bytes) override {
        // Flushed to the disk row by row: a report is read after runs that
        // ended by a crash or a power cut too.
        if (!writeAll(file_.get(), bytes) || !FlushFileBuffers(file_.get()))
            failed();
    }

private:
    [[noreturn]] void failed() const {
        throwWin32(GetLastError(), "Tarnwick", "The report " + path_ + " cannot be written");
    }

    std::string path_;
    UniqueHandle file_;
    bool made_;
    bool restarted_ = false;
};

// The first bytes of a file, at most `most`.
std::string firstBytes(HANDLE file, DWORD most) {
    std::string bytes(most, '\0');
    DWORD read = 0;
    if (!ReadFile(file, bytes.data(), most, &read, nullptr))
        read = 0;
    bytes.resize(read);
    return bytes;
}

} // namespace

StandardStream::StandardStream(HANDLE handle) : handle_(handle), console_(isConsole(handle)) {}

bool StandardStream::write(std::string_view text) {
    if (!console_)
        return writeAll(handle_, text);
    const std::wstring converted = widen(text);
    std::wstring_view wide = converted;
    while (!wide.empty()) {
        // Consoles take a limited amount per call; a chunk never ends
        // between the two halves of a surrogate pair.
        std::size_t chunk = std::min<std::size_t>(wide.size(), 8192);
        if (chunk < wide.size() && wide[chunk - 1] >= 0xD800 && wide[chunk - 1] <= 0xDBFF)
            --chunk;
        DWORD written = 0;
        if (!WriteConsoleW(handle_, wide.data(), static_cast<DWORD>(chunk), &written, nullptr) ||
            written == 0)
            return false;
        wide.remove_prefix(written);
    }
    return true;
}

StandardOutput::StandardOutput()
    : out_(GetStdHandle(STD_OUTPUT_HANDLE)), err_(GetStdHandle(STD_ERROR_HANDLE)) {}

void StandardOutput::out(std::string_view line) {
    out_.write(std::string(line) + "\r\n");
}

void StandardOutput::err(std::string_view line) {
    err_.write(std::string(line) + "\r\n");
}

std::string Win32PathProbe::currentFolder() {
    std::wstring folder(GetCurrentDirectoryW(0, nullptr), L'\0');
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    return narrow(folder);
}

PathKind Win32PathProbe::kind(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(extendedPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return PathKind::Missing;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::Folder : PathKind::File;
}

std::string Win32PathProbe::listingProblem(const std::string& folder) {
    const std::string pattern = folder + (folder.ends_with('\\') ? "*" : "\\*");
    WIN32_FIND_DATAW found{};
    const UniqueFindHandle search(FindFirstFileExW(extendedPath(pattern).c_str(), FindExInfoBasic, &found,
                                                   FindExSearchNameMatch, nullptr, 0));
    if (search)
        return {};
    const DWORD error = GetLastError();
    // An empty folder (a drive root has no "." entry) lists nothing, without a fault.
    return error == ERROR_FILE_NOT_FOUND ? std::string() : systemMessage(error);
}

std::optional<FolderIdentity> Win32PathProbe::identity(const std::string& path) {
    return folderIdentity(path);
}

std::optional<std::uint64_t> Win32PathProbe::size(const std::string& path) {
    return Win32FileServices().fileSize(path);
}

std::optional<std::uint64_t> Win32PathProbe::lastWritten(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(extendedPath(path).c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    return (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
           data.ftLastWriteTime.dwLowDateTime;
}

std::string Win32PathProbe::readProblem(const std::string& path) {
    // As a word processor opens a document to read it: others may read and
    // write it meanwhile.
    const UniqueHandle file(CreateFileW(extendedPath(path).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    return file ? std::string() : systemMessage(GetLastError());
}

bool Win32PathProbe::fitsCodePage(const std::string& name) {
    if (GetACP() == CP_UTF8)
        return true;
    const std::wstring wide = widen(name);
    BOOL usedDefault = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                        nullptr, &usedDefault);
    return usedDefault == FALSE;
}

std::string Win32PathProbe::upperCase(const std::string& text) {
    const std::wstring wide = widen(text);
    std::wstring upper(wide.size(), L'\0');
    const int n =
        LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.data(), static_cast<int>(wide.size()),
                      upper.data(), static_cast<int>(upper.size()), nullptr, nullptr, 0);
    upper.resize(static_cast<std::size_t>(std::max(n, 0)));
    return narrow(upper);
}

std::unique_ptr<ReportFile> openReportFile(const std::string& path) {
    UniqueHandle file(CreateFileW(extendedPath(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throwWin32(GetLastError(), "Tarnwick", "The report " + path + " cannot be written");
    const bool made = GetLastError() != ERROR_ALREADY_EXISTS;
    // A name given by mistake (a document, the macro) must not be emptied:
    // only a report, or a file with nothing in it, is written over. The
    // header and its line end fit in the first bytes read.
    const std::string start = firstBytes(file.get(), 64);
    if (!start.empty() && !isReportStart(start))
        throw AppError(ErrorNumber::InvalidFileFormat,
                       path + " is not a Tarnwick report; name a new file or an earlier report");
    return std::make_unique<FileReport>(path, std::move(file), made);
}

EarlierReport readEarlierReportFile(const std::string& path) {
    const auto failed = [&path] {
        return win32Error(GetLastError(), "Tarnwick", "The report " + path + " cannot be read");
    };
    const UniqueHandle file(CreateFileW(extendedPath(path).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size))
        throw failed();
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        if (!ReadFile(file.get(), bytes.data() + done, chunk, &read, nullptr))
            throw failed();
        if (read == 0)
            break;
        done += read;
    }
    bytes.resize(done);
    return EarlierReport::read(bytes, path);
}
