#pragma once
// The file-system calls beneath clsFileSystem. Each answers whether it
// worked rather than raising, so clsFileSystem decides what the user sees.
// Win32 implements them with the wide calls; tests use an in-memory fake.
#include <cstdint>
#include <optional>
#include <string>

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
