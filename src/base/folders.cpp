#include "base/folders.h"

#include <algorithm>

bool hasDriveLetter(std::string_view path) {
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

namespace {

// The length of the part of an absolute path that no climb goes above:
// "C:\", "\\?\C:\", "\\server\share", "\\?\UNC\server\share".
std::size_t rootLength(const std::string& path) {
    const auto shareEnd = [&path](std::size_t server) {
        const std::size_t serverEnd = path.find('\\', server);
        if (serverEnd == std::string::npos)
            return path.size();
        return std::min(path.find('\\', serverEnd + 1), path.size());
    };
    if (path.rfind("\\\\?\\UNC\\", 0) == 0)
        return shareEnd(8);
    if (path.rfind("\\\\?\\", 0) == 0 && hasDriveLetter(std::string_view(path).substr(4)))
        return std::min<std::size_t>(path.size(), 7);
    if (path.rfind("\\\\", 0) == 0)
        return shareEnd(2);
    return hasDriveLetter(path) ? std::min<std::size_t>(path.size(), 3) : 0;
}

} // namespace

std::string parentFolder(const std::string& path) {
    const std::size_t root = rootLength(path);
    std::string folder = path;
    while (folder.size() > root && folder.back() == '\\')
        folder.pop_back();
    const std::size_t last = folder.find_last_of('\\');
    if (folder.size() <= root || last == std::string::npos)
        return path;
    // A folder just below the root: the root, with its own backslash.
    if (last < root || last + 1 == root)
        return folder.substr(0, root);
    return folder.substr(0, last);
}

FolderRelation folderRelation(const std::string& target, const std::string& source,
                              const IdentityOf& identity) {
    const std::optional<FolderIdentity> sourceIdentity = identity(source);
    if (!sourceIdentity)
        return FolderRelation::Apart;
    std::string folder = target;
    for (bool first = true;; first = false) {
        if (identity(folder) == sourceIdentity)
            return first ? FolderRelation::Same : FolderRelation::Inside;
        const std::string parent = parentFolder(folder);
        if (parent == folder)
            return FolderRelation::Apart;
        folder = parent;
    }
}

std::string pathBelow(const std::string& folder, const std::string& path) {
    if (folder.empty())
        return {};
    const std::string below = folder.ends_with('\\') ? folder : folder + "\\";
    return path.size() > below.size() && path.starts_with(below) ? path.substr(below.size()) : std::string();
}
