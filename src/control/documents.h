#pragma once
// The documents of a folder: the one rule that a file is a document, and the
// one walk through a folder and the folders below it. The batch, the
// found-documents list and the console program all take their documents here.
#include <string>
#include <vector>

class FileListBox;
class FileServices;

// True when the file's extension is in the extension list, without regard to
// case (the extension filter chain's verdict).
bool isDocument(const std::string& path);

// What a walk through a folder meets, in its order: a document, or a folder
// below it that cannot be read.
struct FoundItem {
    std::string path;       // the full path
    std::string relative;   // the path below the folder walked, without a leading backslash
    std::string unreadable; // a folder that cannot be read: the system's reason; empty for a document
};

// The folder's documents in the file list's order, the file list pointed at
// the folder. With subfolders, then those of each folder below it, depth
// first, folder by folder. Hidden, system and link folders are not entered,
// nor a folder that is already on the way down (told by its identity, so
// that no loop forms even where the file system marks no link). Raises
// AppError with the system's text when the folder itself cannot be read.
std::vector<FoundItem> documentsIn(FileListBox& files, FileServices& services, const std::string& folder,
                                   bool subfolders);
