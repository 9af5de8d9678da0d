#pragma once
#include "base/file_list.h"

// Reads a folder's entries with the wide directory search.
class Win32DirectoryLister : public DirectoryLister {
public:
    std::vector<DirectoryEntry> list(const std::string& folder) override;
};
