#pragma once
// The hidden file list of the main window: given a folder, it lists every
// file directly in it (no folders, no hidden or system files, no pattern),
// sorted by name; selecting an entry by index makes it the current file name.
#include <functional>
#include <string>
#include <vector>

struct DirectoryEntry {
    std::string name;
    bool directory = false;
    bool hidden = false;
    bool system = false;
    bool reparsePoint = false; // a link to another place (a junction, a symbolic link)
};

// Reads a folder's entries; raises AppError when the folder cannot be read.
class DirectoryLister {
public:
    virtual ~DirectoryLister() = default;
    virtual std::vector<DirectoryEntry> list(const std::string& folder) = 0;
};

// A folder's entries as the file list takes them: its files, and its
// folders that may be entered (not hidden, not system, not a link), each
// sorted by name as the list sorts. Raises AppError when the folder cannot
// be read.
struct FolderListing {
    std::vector<std::string> files;
    std::vector<std::string> folders;
};
FolderListing listFolder(DirectoryLister& lister, const std::string& folder);

// The full path of an entry of a folder: joined directly at a drive root (a
// three-character path ending in its backslash), with a backslash otherwise.
std::string entryPath(const std::string& folder, const std::string& name);

class FileListBox {
public:
    explicit FileListBox(DirectoryLister& lister) : lister_(lister) {}

    // Points the list at a folder and lists it; on failure the list keeps
    // what it had and the error goes to the caller.
    void setPath(const std::string& folder);
    const std::string& path() const { return path_; }
    int listCount() const { return static_cast<int>(names_.size()); }
    const std::string& list(int index) const;
    // Selects an entry; raises AppError for an index outside the list.
    void setListIndex(int index);
    int listIndex() const { return index_; }
    // The selected entry's name, or empty text when none is selected.
    std::string fileName() const;
    // The selected entry's full path: joined directly at a drive root (a
    // three-character path ending in its backslash), with a backslash otherwise.
    std::string selectedPath() const;

    const std::vector<std::string>& names() const { return names_; }
    // The folders of the last listing that may be entered.
    const std::vector<std::string>& folders() const { return folders_; }
    // What the list reads folders with.
    DirectoryLister& lister() { return lister_; }
    // Told after every new listing, so a window can mirror the entries.
    void setListener(std::function<void()> listener) { listener_ = std::move(listener); }

private:
    DirectoryLister& lister_;
    std::string path_;
    std::vector<std::string> names_;
    std::vector<std::string> folders_;
    int index_ = -1;
    std::function<void()> listener_;
};
