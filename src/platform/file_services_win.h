#pragma once
#include "base/file_services.h"
#include "base/folders.h"
#include "platform/handles_win.h"

#include <string>

// A new file, open for writing, and its full path.
struct NewFile {
    std::string path;
    UniqueHandle handle;
    DWORD error = ERROR_SUCCESS; // why none could be made
};
// Creates a new, empty file named prefix, eight hex digits and the extension
// in the folder, which may be of any length. A name that exists is never
// taken over: creation fails for it and another name is tried. Answers an
// empty path, and the system's error code, when no file could be made.
NewFile createUniqueFile(const std::string& folder, const std::string& prefix, const std::string& extension);

// The volume and file index of the folder a path names, however it is
// spelled (long or short names, "\\?\", another drive letter or a link
// to it); none when there is no such folder or it cannot be opened.
std::optional<FolderIdentity> folderIdentity(const std::string& path);

// The file-system calls beneath clsFileSystem, with the wide Win32 calls.
class Win32FileServices : public FileServices {
public:
    bool pathExists(const std::string& path) override;
    std::string temporaryFolder() override;
    std::string createTemporaryFile(const std::string& folder, const std::string& prefix) override;
    std::string createResultTemporary(const std::string& folder) override;
    void replaceByRename(const std::string& from, const std::string& to) override;
    std::size_t removeLeftoverTemporaries(const std::string& folder, std::uint64_t olderThanSeconds) override;
    std::optional<FolderIdentity> folderIdentity(const std::string& path) override {
        return ::folderIdentity(path);
    }
    std::optional<std::string> findOrdinaryFile(const std::string& path) override;
    std::optional<std::uint64_t> fileSize(const std::string& path) override;
    std::optional<std::uint32_t> attributes(const std::string& path) override;
    bool setAttributes(const std::string& path, std::uint32_t attributes) override;
    std::optional<std::string> lastChange(const std::string& path) override;
    bool deleteFile(const std::string& path) override;
    bool copyFile(const std::string& source, const std::string& destination) override;
    bool createFolder(const std::string& path) override;
    bool removeFolder(const std::string& path) override;
    std::string decimalSeparator() override;
    std::string now() override;
    std::string programFolder() override;
    std::string programName() override;
};
