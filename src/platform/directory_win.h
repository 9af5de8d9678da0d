#pragma once
#include "base/file_list.h"

#include <windows.h>

#include <functional>

// The two calls of a directory search, which a test may replace to make a
// listing break off part-way.
struct DirectorySearchCalls {
    std::function<HANDLE(const wchar_t* pattern, WIN32_FIND_DATAW* found)> first;
    std::function<BOOL(HANDLE search, WIN32_FIND_DATAW* found)> next;
};

// Reads a folder's entries with the wide directory search. A search that
// breaks off before its end (a share that drops, a folder removed while it
// is read) raises, as one that cannot begin does: a part of a folder is
// never taken for the whole.
class Win32DirectoryLister : public DirectoryLister {
public:
    Win32DirectoryLister();
    explicit Win32DirectoryLister(DirectorySearchCalls calls) : calls_(std::move(calls)) {}
    std::vector<DirectoryEntry> list(const std::string& folder) override;
    // Replaces the search's calls (a test makes a listing break off).
    void setCalls(DirectorySearchCalls calls) { calls_ = std::move(calls); }

private:
    DirectorySearchCalls calls_;
};
