#pragma once
#include "files/file_services.h"

// The file-system calls beneath clsFileSystem, with the wide Win32 calls.
class Win32FileServices : public FileServices {
public:
    bool pathExists(const std::string& path) override;
    std::string temporaryFolder() override;
    std::string createTemporaryFile(const std::string& folder, const std::string& prefix) override;
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

