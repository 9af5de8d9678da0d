#include "base/file_list.h"

#include "base/error.h"
#include "base/result_list.h"
#include "base/text.h"

#include <algorithm>

void FileListBox::setPath(const std::string& folder) {
    std::vector<DirectoryEntry> entries = lister_.list(folder);
    std::vector<std::string> names;
    names.reserve(entries.size());
    for (auto& entry : entries)
        if (!entry.directory && !entry.hidden && !entry.system)
            names.push_back(std::move(entry.name));
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return compareListText(a, b) < 0; });
    path_ = folder;
    names_ = std::move(names);
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
    return toChars(path_).size() == 3 ? path_ + fileName() : path_ + "\\" + fileName();
}
