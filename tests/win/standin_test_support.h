#pragma once
// What the Wine tests share: a scratch folder of their own, the stand-in
// server's settings for one test, and whole-file reads and writes.
#include "base/error.h"
#include "base/file_services.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A fresh folder under the user's temporary folder, removed with everything
// in it (read-only files and paths too long for the plain calls included)
// when the test ends. Paths are UTF-8.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The path of a file in the folder.
    std::string path(const std::string& name) const;
    const std::string& folder() const { return folder_; }
    // Creates (or replaces) the file in the folder with these bytes, then
    // gives it the attributes when they are not 0; answers its path.
    std::string file(const std::string& name, const std::string& bytes = "", DWORD attributes = 0) const;

private:
    std::string folder_;
};

// A key under HKEY_CURRENT_USER\Software\Tarnwick Tests that no other test
// uses (for a settings store of the test's own), removed with everything
// below it when the test ends.
class ScratchRegistryKey {
public:
    ScratchRegistryKey();
    ~ScratchRegistryKey();
    ScratchRegistryKey(const ScratchRegistryKey&) = delete;
    ScratchRegistryKey& operator=(const ScratchRegistryKey&) = delete;
    // The key's path below HKEY_CURRENT_USER.
    const std::string& path() const { return path_; }
    // Writes a value into the subkey (created if needed) with these bytes.
    void write(const std::string& subkey, const std::string& name, DWORD type, const void* data,
               DWORD size) const;
    // A text value, with or without its terminating NUL.
    void writeText(const std::string& subkey, const std::string& name, const std::string& text,
                   bool withNul = true) const;

private:
    std::string path_;
};

// A registry key the test must run without (a system's own key): while this
// lives the key is gone, its tree kept in a scratch key; at the end it is put
// back as it was, and whatever the test wrote there is removed.
class KeySetAside {
public:
    KeySetAside(HKEY root, std::string path);
    ~KeySetAside();
    KeySetAside(const KeySetAside&) = delete;
    KeySetAside& operator=(const KeySetAside&) = delete;

private:
    HKEY root_;
    std::string path_;
    ScratchRegistryKey kept_;
    bool existed_ = false;
};

// Refuses reading of a key under HKEY_CURRENT_USER to everyone while this
// lives (a deny rule in its access list); its own access list comes back at
// the end.
class KeyReadDenied {
public:
    explicit KeyReadDenied(const std::string& path);
    ~KeyReadDenied();
    KeyReadDenied(const KeyReadDenied&) = delete;
    KeyReadDenied& operator=(const KeyReadDenied&) = delete;

private:
    std::string path_;
    std::vector<BYTE> original_;
};

// Points the user's temporary folder (TMP and TEMP) at another folder while
// this lives.
class TemporaryFolderMoved {
public:
    explicit TemporaryFolderMoved(const std::string& folder);
    ~TemporaryFolderMoved();
    TemporaryFolderMoved(const TemporaryFolderMoved&) = delete;
    TemporaryFolderMoved& operator=(const TemporaryFolderMoved&) = delete;

private:
    std::wstring tmp_, temp_;
};

// A new folder in the scratch folder whose path has exactly this many
// characters (without a trailing backslash).
std::string folderOfLength(const ScratchFolder& scratch, std::size_t length);

// The user's temporary folder, of any length, with its trailing backslash.
std::string temporaryFolder();

// Where the stand-in takes its settings from for one test.
enum class SettingsChannel { Environment, Registry };

// Sets the stand-in's settings (Journal, Fail, Delay, Busy, Hang, Exit, HalfSave) for the objects made
// while it lives, and clears both the environment variables and the
// registry values again when it ends.
class StandinSettings {
public:
    explicit StandinSettings(SettingsChannel channel);
    ~StandinSettings();
    StandinSettings(const StandinSettings&) = delete;
    StandinSettings& operator=(const StandinSettings&) = delete;

    void journal(const std::string& path) { set("Journal", path); }
    void fail(const std::string& rules) { set("Fail", rules); }
    void delay(const std::string& rules) { set("Delay", rules); }
    void set(const std::string& name, const std::string& value);
    void setIn(SettingsChannel channel, const std::string& name, const std::string& value);

private:
    SettingsChannel channel_;
};

// Takes one kind of server registration of the stand-in's class
// ("InprocServer32" or "LocalServer32") away, under the machine's and the
// user's classes, until restored or the end of its life.
class HiddenServerRegistration {
public:
    explicit HiddenServerRegistration(const std::wstring& kind);
    ~HiddenServerRegistration() { restore(); }
    HiddenServerRegistration(const HiddenServerRegistration&) = delete;
    HiddenServerRegistration& operator=(const HiddenServerRegistration&) = delete;
    void restore();

private:
    struct Saved {
        HKEY root;
        std::vector<std::pair<std::wstring, std::wstring>> values; // name ("" the default) -> text
    };
    std::wstring key_;
    std::vector<Saved> saved_;
};

// The counts of one reliability case: documents in the batch, rows that say
// "Converted" and "Failed", documents lost, temporary files left.
struct ReliabilityCounts {
    int documents = 0;
    int converted = 0;
    int failed = 0;
    int lost = 0;
    int temporaryLeft = 0;
};
// Appends the case's counts and the running test's name to the table the
// TARNWICK_RELIABILITY_TSV variable names (one tab-separated line); does
// nothing when it is unset.
void recordReliabilityCase(const std::string& name, const ReliabilityCounts& counts);

// The Unix path of a folder or file under Wine; empty text outside Wine.
std::string unixPath(const std::string& path);
// Makes a Unix symbolic link at `link` (a Windows path) to `target` (a
// Unix path), with the system's own ln: Wine reports such a link to a
// folder as a folder that is a reparse point. False outside Wine.
bool makeUnixLink(const std::string& link, const std::string& target);

// An archive as it is: a tree of three levels below a root, with names in
// other scripts, a hidden folder, a link from deep inside back up to the
// root (a loop) and a folder "locked" that a test makes unreadable. Each
// document holds "text of " and its path below the root.
struct ArchiveTree {
    std::string root;
    std::vector<std::string> documents; // below the root, in the order a run takes them
    std::vector<std::string> others;    // below the root: not taken (hidden, not documents, in the loop)
    std::string locked;                 // the full path of the folder "locked"
    std::string loop;                   // the full path of the link back up
};
ArchiveTree makeArchiveTree(const std::string& root);

// Removes every stand-in setting from the environment and the registry.
void clearStandinSettings();

std::string readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);
bool fileExists(const std::string& path);
// The names of the files and folders in a folder that match the pattern,
// sorted ("." and ".." left out); none when the folder cannot be read.
std::vector<std::string> namesIn(const std::string& folder, const std::string& pattern = "*");
// The names of the *.tmp files in the user's temporary folder, sorted.
std::vector<std::string> temporaryFiles();
// The ids of the running stand-in server processes (standin-server.exe).
std::vector<DWORD> serverProcesses();
// Ends the stand-in servers that are not in `before`: each is given a few
// seconds to end on its own, then the rest (hung ones, whose class is
// withdrawn) are terminated.
void endServersStartedSince(const std::vector<DWORD>& before);
// The journal's lines, without their line ends; none when there is no file.
// The "ServerStarted" line each server process begins with is left out
// unless asked for. A save to a result's temporary file names the file
// kResultTemporaryShown, in its folder.
std::vector<std::string> journalLines(const std::string& path, bool withServerStarts = false);
// The documents the journal's server was told to open, in order.
std::vector<std::string> openedDocuments(const std::string& journal);
inline constexpr const char* kResultTemporaryShown = "<result temp>";
// The journal's line of the save beside the result (its temporary name in
// the result's folder), before it is renamed onto the result.
std::string resultSave(const std::string& result);
// How many server processes wrote into the journal.
int serverStarts(const std::string& path);

// Runs the call and answers the AppError it raises (failing the test when it
// raises none).
template <typename Call> AppError errorOf(Call&& call) {
    try {
        call();
    } catch (const AppError& error) {
        return error;
    }
    ADD_FAILURE() << "the call raised no AppError";
    return AppError(0, "");
}
