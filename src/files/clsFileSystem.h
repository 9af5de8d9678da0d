#pragma once
// The program's file and path operations. Stateless: whoever needs one makes
// its own. Operations that change the file system show one message and
// return; queries answer a fixed value when they cannot read.
#include "base/late_binding.h"

#include <string>

class FileServices;

class clsFileSystem {
public:
    clsFileSystem();
    explicit clsFileSystem(FileServices& files) : files_(&files) {}

    std::string fnGetTempPath(const std::string& prefix, const std::string& folder);
    bool FileExist(const std::string& path);
    std::string GetFileExtension(const std::string& path) const;
    void DeleteFile(const std::string& path);
    std::string GetFileName(const std::string& path) const;
    std::string GetPath(const std::string& path) const;

    // The rest of the family's operations, kept complete though nothing in
    // the program calls them.
    void Save(const std::string& path);
    bool FileReal(const Value& path);
    std::string GetFileSize(const Value& path);
    std::string GetAttrib(const Value& path);
    void SetHidden(const std::string& path);
    void SetReadOnly(const std::string& path);
    void SetSystem(const std::string& path);
    void SetNormal(const std::string& path);
    std::string GetFileDate(const std::string& path);
    void CopyFile(const std::string& source, const std::string& destination);
    void MoveFile(const std::string& source, const std::string& destination);
    void MakeDIR(const std::string& folder);
    void RemoveDIR(const std::string& folder);
    void CloseAllFiles();
    std::string GetFileBaseName(const std::string& path, bool keepFolder) const;

private:
    FileServices& files();
    void tell(const std::string& message);
    FileServices* files_ = nullptr; // the program's file services; not owned
};

// The extension as GetFileExtension answers it, without a file system.
std::string FileExtensionText(const std::string& path);
// A file length as GetFileSize writes it, with the given decimal separator.
std::string FormatFileSize(std::uint64_t bytes, const std::string& decimalSeparator);
// The seven-line report of an unexpected error in the scratch-file routine.
std::string TempPathErrorReport(std::int64_t number, const std::string& description,
                                const std::string& source, const std::string& time,
                                const std::string& programFolder);
