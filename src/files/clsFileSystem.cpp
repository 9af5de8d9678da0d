#include "files/clsFileSystem.h"

#include "base/error.h"
#include "base/file_services.h"
#include "base/ports.h"
#include "base/text.h"
// From the spine above: the program's file services and message boxes,
// through General.
#include "core/General.h"
#include "version.h"

namespace {
constexpr char32_t kBackslash = U'\\';
} // namespace

clsFileSystem::clsFileSystem() = default;

FileServices& clsFileSystem::files() {
    return files_ != nullptr ? *files_ : General::files();
}

void clsFileSystem::tell(const std::string& message) {
    General::platform().messageBox(message, TARNWICK_TITLE, MsgIcon::None, MsgButtons::Ok);
}

std::string TempPathErrorReport(std::int64_t number, const std::string& description,
                                const std::string& source, const std::string& time,
                                const std::string& programFolder) {
    return "Unexpected Error Returned\r\n"
           "At   modGetTempFile  fnGetTempPath\r\n"
           "Nmbr " +
           std::to_string(number) + "\r\nDesc " + description + "\r\nSrce " + source + "\r\nTime " + time +
           "\r\nPath " + programFolder;
}

std::string clsFileSystem::fnGetTempPath(const std::string& prefix, const std::string& folder) {
    try {
        const std::string cleanPrefix = trimSpaces(prefix);
        std::string target = trimSpaces(folder);
        if (toChars(target).size() >= 2) {
            if (target.back() != '\\')
                target += '\\';
        } else {
            target = files().temporaryFolder();
        }
        // The answer is the bare path: no filler behind it, and empty text
        // when the system could make no file.
        return files().createTemporaryFile(target, cleanPrefix);
    } catch (...) {
        const AppError error = currentError();
        std::string time, programFolder;
        try {
            time = files().now();
            programFolder = files().programFolder();
        } catch (...) {
        }
        General::platform().messageBox(
            TempPathErrorReport(error.number(), error.description(), error.source(), time, programFolder),
            "You have a Problem!", MsgIcon::Critical, MsgButtons::Ok);
        return "";
    }
}

bool clsFileSystem::FileExist(const std::string& path) {
    return files().pathExists(path);
}

void clsFileSystem::Save(const std::string& path) {
    if (!FileReal(Value{path}))
        return;
    if (General::platform().messageBox("Overwrite File?", TARNWICK_TITLE, MsgIcon::None, MsgButtons::YesNo) ==
        MsgAnswer::Yes)
        DeleteFile(path);
}

bool clsFileSystem::FileReal(const Value& path) {
    try {
        const std::string text = toText(path);
        const auto found = files().findOrdinaryFile(text);
        return found && *found == text;
    } catch (...) {
        return false;
    }
}

std::string FormatFileSize(std::uint64_t bytes, const std::string& decimalSeparator) {
    if (bytes < 1024)
        return std::to_string(bytes) + "B";
    // bytes / 1024 to four places: the whole kilobytes, and the rest as
    // rest * 625 / 64 ten-thousandths, rounded exactly with halves going to
    // the even digit.
    std::uint64_t whole = bytes / 1024u;
    const std::uint64_t part = (bytes % 1024u) * 625u;
    std::uint64_t fraction = part / 64u;
    const std::uint64_t remainder = part % 64u;
    const std::uint64_t lastDigits = whole * 10000u + fraction; // only its parity matters
    if (remainder > 32 || (remainder == 32 && lastDigits % 2 == 1))
        ++fraction;
    if (fraction == 10000) {
        ++whole;
        fraction = 0;
    }
    std::string text = std::to_string(whole);
    std::string digits = std::to_string(fraction);
    digits.insert(0, 4 - digits.size(), '0');
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
    if (!digits.empty())
        text += decimalSeparator + digits;
    return text + "KB";
}

std::string clsFileSystem::GetFileSize(const Value& path) {
    try {
        const auto size = files().fileSize(toText(path));
        if (!size)
            return "0B";
        return FormatFileSize(*size, files().decimalSeparator());
    } catch (...) {
        return "0B";
    }
}

std::string clsFileSystem::GetAttrib(const Value& path) {
    try {
        const auto bits = files().attributes(toText(path));
        if (!bits)
            return "Unknown";
        switch (*bits) {
        case 0:
            return "Normal";
        case 1:
            return "ReadOnly";
        case 2:
            return "Hidden";
        case 4:
            return "System";
        case 8:
            return "Volume";
        case 16:
            return "Directory";
        case 32:
            return "Archive";
        case 64:
            return "Alias";
        default:
            return std::to_string(*bits);
        }
    } catch (...) {
        return "Unknown";
    }
}

// The setters replace every attribute; failures are ignored.
void clsFileSystem::SetHidden(const std::string& path) {
    files().setAttributes(path, 2);
}
void clsFileSystem::SetReadOnly(const std::string& path) {
    files().setAttributes(path, 1);
}
void clsFileSystem::SetSystem(const std::string& path) {
    files().setAttributes(path, 4);
}
void clsFileSystem::SetNormal(const std::string& path) {
    files().setAttributes(path, 0);
}

std::string FileExtensionText(const std::string& path) {
    const std::u32string chars = toChars(path);
    for (std::size_t k = 2; k <= 5; ++k) {
        const std::size_t start = chars.size() > k ? chars.size() - k : 0;
        if (start < chars.size() && chars[start] == U'.') {
            const std::size_t keep = std::min(k - 1, chars.size());
            return fromChars(std::u32string_view(chars).substr(chars.size() - keep));
        }
    }
    return "Unknown";
}

std::string clsFileSystem::GetFileExtension(const std::string& path) const {
    return FileExtensionText(path);
}

std::string clsFileSystem::GetFileDate(const std::string& path) {
    try {
        return files().lastChange(path).value_or("");
    } catch (...) {
        return "";
    }
}

void clsFileSystem::DeleteFile(const std::string& path) {
    if (!files().deleteFile(path))
        tell("Error deleting File");
}

void clsFileSystem::CopyFile(const std::string& source, const std::string& destination) {
    if (!files().copyFile(source, destination))
        tell("Error copying File");
}

void clsFileSystem::MoveFile(const std::string& source, const std::string& destination) {
    // The source goes only once its copy is in place.
    if (!files().copyFile(source, destination) || !files().deleteFile(source))
        tell("Error moving File");
}

void clsFileSystem::MakeDIR(const std::string& folder) {
    if (!files().createFolder(folder))
        tell("Error creating Directory");
}

void clsFileSystem::RemoveDIR(const std::string& folder) {
    if (!files().removeFolder(folder))
        tell("Error removing Directory");
}

// The program keeps no file open through its own input and output between
// calls: every file it writes is closed before the call returns.
void clsFileSystem::CloseAllFiles() {}

std::string clsFileSystem::GetFileBaseName(const std::string& path, bool keepFolder) const {
    const std::u32string chars = toChars(path);
    std::size_t start = 0;
    std::size_t end = chars.size(); // one past the base name's last character
    bool dotCounted = false;
    for (std::size_t i = chars.size(); i-- > 0;) {
        const char32_t c = chars[i];
        if (c == U'.' && i != 0) { // a leading dot belongs to the name
            if (keepFolder)
                return fromChars(std::u32string_view(chars).substr(0, i));
            if (!dotCounted) {
                end = i;
                dotCounted = true;
            }
        } else if (c == U':' || c == kBackslash) {
            start = keepFolder ? 0 : i + 1;
            break;
        }
    }
    if (end < start)
        end = start;
    return fromChars(std::u32string_view(chars).substr(start, end - start));
}

std::string clsFileSystem::GetFileName(const std::string& path) const {
    const std::u32string chars = toChars(path);
    // The first character is never looked at; without a backslash after it
    // the whole text is the name.
    for (std::size_t i = chars.size(); i-- > 1;)
        if (chars[i] == kBackslash)
            return fromChars(std::u32string_view(chars).substr(i + 1));
    return path;
}

std::string clsFileSystem::GetPath(const std::string& path) const {
    const auto last = path.rfind('\\');
    if (last == std::string::npos)
        return "\\";
    return path.substr(0, last + 1);
}
