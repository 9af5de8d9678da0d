#pragma once
// Whether two folder paths name the same folder, or one lies inside the
// other, judged by what the file system says the folders are rather than by
// their spelling: "\\?\C:\docs", "c:\DOCS\", a short 8.3 name, another
// drive letter or share for the same folder, or a link to it all name one
// folder.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// What the file system calls a folder: its volume and its number there.
struct FolderIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    bool operator==(const FolderIdentity&) const = default;
};

// The identity of the folder a path names; none when there is no such
// folder or it cannot be opened.
using IdentityOf = std::function<std::optional<FolderIdentity>(const std::string& path)>;

enum class FolderRelation { Apart, Same, Inside };

// How the target stands to the source: the same folder, inside it (one of
// the target's existing parent folders is the source), or apart. A target
// that does not exist yet is never the source itself, but may lie inside it.
FolderRelation folderRelation(const std::string& target, const std::string& source,
                              const IdentityOf& identity);

// True when the path begins with a drive letter and its colon.
bool hasDriveLetter(std::string_view path);

// The folder above an absolute path ("C:\docs\a" gives "C:\docs", "C:\docs"
// gives "C:\"); a drive root or a share is its own parent.
std::string parentFolder(const std::string& path);

// The part of a path below a folder ("C:\\docs" and "C:\\docs\\2009\\a.wpd"
// give "2009\\a.wpd"); empty when the path does not lie inside the folder.
std::string pathBelow(const std::string& folder, const std::string& path);
