#include "base/file_list.h"

#include "base/error.h"
#include "base/result_list.h"
#include "base/text.h"

#include <algorithm>

FolderListing listFolder(DirectoryLister& lister, const std::string& folder) {
    FolderListing listing;
    for (auto& entry : lister.list(folder)) {
        if (entry.hidden || entry.system)
            continue;
        if (!entry.directory)
            listing.files.push_back(std::move(entry.name));
        else if (!entry.reparsePoint)
            listing.folders.push_back(std::move(entry.name));
    }
    const auto byName = [](const std::string& a, const std::string& b) { return compareListText(a, b) < 0; };
    std::sort(listing.files.begin(), listing.files.end(), byName);
    std::sort(listing.folders.begin(), listing.folders.end(), byName);
    return listing;
}

std::string entryPath(const std::string& folder, const std::string& name) {
    return toChars(folder).size() == 3 ? folder + name : folder + "\\" + name;
}

void FileListBox::setPath(const std::string& folder) {
    FolderListing listing = listFolder(lister_, folder);
    path_ = folder;
    names_ = std::move(listing.files);
    folders_ = std::move(listing.folders);
    index_ = -1;
    if (listener_)
        listener_();
}

const std::string& FileListBox::list(int index) const {
    if (index < 0 || index >= listCount())
        throw AppError(ErrorNumber::InvalidArrayIndex, "Invalid property array index", "FileList");
    return names_[static_cast<std::size_t>(index)];
}

void FileListBox::setListIndex(int index) {
    if (index < -1 || index >= listCount())
        throw AppError(ErrorNumber::InvalidPropertyValue, "Invalid property value", "FileList");
    index_ = index;
}

std::string FileListBox::fileName() const {
    return index_ < 0 ? std::string() : names_[static_cast<std::size_t>(index_)];
}

std::string FileListBox::selectedPath() const {
    return entryPath(path_, fileName());
}
