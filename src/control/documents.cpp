#include "control/documents.h"

#include "base/error.h"
#include "base/file_list.h"
#include "base/file_services.h"
#include "base/text.h"
#include "control/Chain.h"
#include "files/clsFileSystem.h"

#include <algorithm>

bool isDocument(const std::string& path) {
    std::string extension = lowerCase(FileExtensionText(path));
    return ExtensionAccepted(*BuildExtensionChain(), extension);
}

namespace {

class Walk {
public:
    Walk(DirectoryLister& lister, FileServices& services, bool subfolders)
        : lister_(lister), services_(services), subfolders_(subfolders) {}

    std::vector<FoundItem> found;

    void enter(const std::string& folder) {
        if (auto identity = services_.folderIdentity(folder))
            way_.push_back(*identity);
    }

    // The documents of one folder, then its folders'.
    void take(const std::string& folder, const std::string& relative, const FolderListing& listing) {
        for (const std::string& name : listing.files) {
            std::string path = entryPath(folder, name);
            try {
                if (isDocument(path))
                    found.push_back({std::move(path), below(relative, name), {}});
            } catch (...) {
                // Only this file is skipped; the others are examined as usual.
            }
        }
        if (!subfolders_)
            return;
        for (const std::string& name : listing.folders) {
            const std::string path = entryPath(folder, name);
            const auto identity = services_.folderIdentity(path);
            if (identity && std::find(way_.begin(), way_.end(), *identity) != way_.end())
                continue; // a way back up: a loop
            FolderListing inner;
            try {
                inner = listFolder(lister_, path);
            } catch (...) {
                found.push_back({path, below(relative, name), currentError().description()});
                continue;
            }
            if (identity)
                way_.push_back(*identity);
            take(path, below(relative, name), inner);
            if (identity)
                way_.pop_back();
        }
    }

private:
    static std::string below(const std::string& relative, const std::string& name) {
        return relative.empty() ? name : relative + "\\" + name;
    }

    DirectoryLister& lister_;
    FileServices& services_;
    bool subfolders_;
    std::vector<FolderIdentity> way_; // the folders from the top down to the one being walked
};

} // namespace

std::vector<FoundItem> documentsIn(FileListBox& files, FileServices& services, const std::string& folder,
                                   bool subfolders) {
    files.setPath(folder);
    Walk walk(files.lister(), services, subfolders);
    if (subfolders)
        walk.enter(folder);
    walk.take(folder, {}, FolderListing{files.names(), files.folders()});
    return std::move(walk.found);
}
