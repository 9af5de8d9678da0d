#pragma once
// The job settings: where the documents come from and where results go.
// Values are kept exactly as given.
#include <string>

class Source {
public:
    std::string TgtFolder;
    std::string SrcFolder;
    std::string SrcFile;
    std::string TgtFile;
    // A batch takes the documents of the folders below the source folder
    // too, and mirrors them below the target folder.
    bool IncludeSubfolders = false;

    void SetSourceFolder(const std::string& folder) { SrcFolder = folder; }
    std::string GetSourceFolder() const { return SrcFolder; }
    void SetTgtFolder(const std::string& folder) { TgtFolder = folder; }
    std::string GetTgtFolder() const { return TgtFolder; }
    void SetSourceFile(const std::string& file) { SrcFile = file; }
    std::string GetSourceFile() const { return SrcFile; }
    void SetTgtFile(const std::string& file) { TgtFile = file; }
    std::string GetTgtFile() const { return TgtFile; }
};
