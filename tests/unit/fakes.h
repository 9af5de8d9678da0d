#pragma once
// In-memory stand-ins for the platform, the windows and the word processor.
#include "base/error.h"
#include "base/file_services.h"
#include "base/late_binding.h"
#include "base/ports.h"
#include "base/settings.h"
#include "base/text.h"
#include "base/views.h"
#include "core/General.h"

#include <algorithm>
#include <chrono>
#include <set>
#include <thread>

#include <functional>
#include <map>
#include <string>
#include <vector>

struct ShownMessage {
    std::string text;
    std::string caption;
    MsgIcon icon;
    MsgButtons buttons;
};

class FakePlatform : public Platform {
public:
    std::function<std::shared_ptr<LateBound>(const std::string&)> objectFactory;
    std::vector<std::string> requestedProgIds;
    std::vector<ShownMessage> messages;
    MsgAnswer answer = MsgAnswer::Ok;
    int ended = 0;
    int exitCode = -1; // of the last end of the program
    int yields = 0;
    std::vector<int> pauses;
    std::vector<std::string>* journal = nullptr; // when set, yields and pauses are written here too

    std::vector<ServerStart> starts; // how long each object's server was allowed to start
    std::shared_ptr<LateBound> createObject(const std::string& progId, ServerStart start) override {
        requestedProgIds.push_back(progId);
        starts.push_back(start);
        if (!objectFactory)
            throw AppError(0x800401F3, "Invalid class string", "ole32");
        return objectFactory(progId);
    }
    MsgAnswer messageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                         MsgButtons buttons) override {
        messages.push_back({text, caption, icon, buttons});
        if (journal)
            journal->push_back("message " + text);
        return answer;
    }
    [[noreturn]] void endProgram(int code) override {
        ++ended;
        exitCode = code;
        throw ProgramEnded{};
    }
    std::vector<std::string> folderAnswers; // what the folder browser answers, in turn ("" cancels)
    std::vector<std::string> folderPrompts;
    std::string browseForFolder(const std::string& prompt) override {
        folderPrompts.push_back(prompt);
        const std::size_t n = folderPrompts.size() - 1;
        return n < folderAnswers.size() ? folderAnswers[n] : "";
    }
    bool lockHeldElsewhere = false;
    int lockHeld = 0; // takes not yet released
    bool takeBatchLock() override {
        if (lockHeldElsewhere)
            return false;
        ++lockHeld;
        return true;
    }
    void releaseBatchLock() override { --lockHeld; }
    std::function<void(int)> onYield; // told the number of each yield
    bool eventsPending = true;        // what each yield answers
    bool doEvents() override {
        ++yields;
        if (onYield)
            onYield(yields);
        if (journal)
            journal->push_back("yield");
        return eventsPending;
    }
    void pause(int milliseconds) override {
        pauses.push_back(milliseconds);
        if (journal)
            journal->push_back("pause " + std::to_string(milliseconds));
    }
    std::function<void(int)> onWait; // told each wait that serves the windows
    void waitServing(int milliseconds) override {
        if (milliseconds == 0) {
            doEvents();
            return;
        }
        if (journal)
            journal->push_back("wait " + std::to_string(milliseconds));
        if (onWait)
            onWait(milliseconds);
    }
    bool stopAsked = false;
    bool stopRequested() override { return stopAsked; }
};

class FakeLister : public DirectoryLister {
public:
    std::map<std::string, std::vector<DirectoryEntry>> folders;
    DirectoryLister* real = nullptr; // when set, lists instead
    std::vector<DirectoryEntry> list(const std::string& folder) override {
        if (real != nullptr)
            return real->list(folder);
        auto it = folders.find(folder);
        if (it == folders.end())
            throw AppError(76, "Path not found", "FileList");
        return it->second;
    }
};

class FakeDialogPort : public FileDialogPort {
public:
    std::vector<std::string> answers; // "" cancels
    std::vector<std::string> seen;    // the file name each showing proposed, and its kind
    int shown = 0;
    bool show(FileDialog& dialog, FileDialogKind kind) override {
        seen.push_back(dialog.FileName + (kind == FileDialogKind::Save ? " (save)" : " (open)"));
        const std::string answer = shown < static_cast<int>(answers.size()) ? answers[shown] : "";
        ++shown;
        if (answer.empty())
            return false;
        dialog.FileName = answer;
        return true;
    }
};

class FakeMainWindow : public MainWindowView {
public:
    FakeLister lister;
    FakeDialogPort dialogPort;
    ResultList list;
    FileListBox files{lister};
    FileDialog dialog{dialogPort};
    double clock = 0; // seconds, moved on by the tests
    BatchProgress progress{[this] { return clock; }};
    bool nextVisible = false;
    int shownCount = 0;

    ResultList& ListView1() override { return list; }
    FileListBox& FileList() override { return files; }
    FileDialog& CommonDialog1() override { return dialog; }
    BatchProgress& Progress() override { return progress; }
    void hideNext() override { nextVisible = false; }
    std::vector<std::string>* journal = nullptr;
    std::function<void()> onShow;
    void show() override {
        ++shownCount;
        if (onShow)
            onShow();
        if (journal)
            journal->push_back("show");
    }
};

class FakeExtensionList : public ExtensionListView {
public:
    std::vector<std::string> entries{"wpd"};
    std::function<void()> onRead; // may raise, as a list that cannot be read does
    int ListCount() override { return static_cast<int>(entries.size()); }
    std::string List(int index) override {
        if (onRead)
            onRead();
        return entries.at(static_cast<std::size_t>(index));
    }
};

class FakeBatchDocuments : public BatchDocumentsView {
public:
    std::string source, target;
    std::vector<std::string> found;
    void setSourceFolderText(const std::string& text) override { source = text; }
    void setTargetFolderText(const std::string& text) override { target = text; }
    void clearFoundDocuments() override { found.clear(); }
    void addFoundDocument(const std::string& name) override { found.push_back(name); }
};

class FakeMacroSelect : public MacroSelectView {
public:
    std::string text;
    std::string pathText() override { return text; }
    void setPathText(const std::string& value) override { text = value; }
};

class FakeWindows : public Forms {
public:
    FakeBatchDocuments batch;
    FakeMacroSelect macro;
    // What the user does in the start-up dialogs, if anything.
    std::function<void()> inQuickStart, inMacroSelect;
    BatchDocumentsView& Form1() override { return batch; }
    MacroSelectView& frmMacroSelect() override { return macro; }
    void showQuickStartOwnedByMain() override {
        if (journal)
            journal->push_back("show Form3");
        if (inQuickStart)
            inQuickStart();
    }
    void showMacroSelectOwnedByMain() override {
        if (journal)
            journal->push_back("show frmMacroSelect");
        if (inMacroSelect)
            inMacroSelect();
    }
    FakeMainWindow main;
    FakeExtensionList extensions;
    int extensionLoads = 0;
    bool extensionsLoaded = false;
    int loads = 0;
    bool loaded = false;
    std::vector<std::string>* journal = nullptr;

    MainWindowView& Form2() override {
        if (!loaded) {
            loaded = true;
            ++loads;
            if (journal)
                journal->push_back("load Form2");
        }
        return main;
    }
    ExtensionListView& frmExtension() override {
        if (!extensionsLoaded) {
            extensionsLoaded = true;
            ++extensionLoads;
            extensions.entries = {"wpd"};
            if (journal)
                journal->push_back("load frmExtension");
        }
        return extensions;
    }
    // The window is gone (destroyed); the next use loads it anew.
    void closeExtensionManager() { extensionsLoaded = false; }
};

// An automation object that records every command and answers reads from a
// script of values.
class RecordingObject : public LateBound {
public:
    std::vector<std::string> log;
    std::map<std::string, std::vector<Value>> reads; // answers in order, last one repeats
    std::map<std::string, int> readCounts;
    std::map<std::string, AppError> failures; // command name -> error it raises
    std::map<std::string, int> failOnCall;    // command name -> the call (1 first) that fails
    std::map<std::string, int> calls;
    std::map<std::string, int> slowMs;           // command name -> how long each of its calls takes
    std::vector<std::string>* journal = nullptr; // when set, commands are written here too
    bool startedByProgram = true;                // its server may be ended by the program
    int endings = 0;                             // times the program ended its server

    bool endStartedServer() noexcept override {
        if (!startedByProgram)
            return false;
        ++endings;
        record("<ended>");
        return true;
    }
    Value call(std::string_view name, std::span<const Arg> args) override {
        std::string line(name);
        for (const auto& arg : args)
            line += (arg.byRef ? " &" : " ") + toText(arg.value);
        record(line);
        fail(name);
        return {};
    }
    Value get(std::string_view name) override {
        record(std::string(name));
        fail(name);
        auto& answers = reads[std::string(name)];
        int& n = readCounts[std::string(name)];
        if (answers.empty())
            return Value{false};
        const Value v =
            answers[static_cast<std::size_t>(std::min<int>(n, static_cast<int>(answers.size()) - 1))];
        ++n;
        return v;
    }

private:
    void record(const std::string& line) {
        log.push_back(line);
        if (journal)
            journal->push_back(line);
    }
    void fail(std::string_view name) {
        const std::string key(name);
        if (const auto slow = slowMs.find(key); slow != slowMs.end())
            std::this_thread::sleep_for(std::chrono::milliseconds(slow->second));
        const int n = ++calls[key];
        auto it = failures.find(key);
        if (it == failures.end())
            return;
        auto when = failOnCall.find(key);
        if (when == failOnCall.end() || when->second == n)
            throw it->second;
    }
};

// Files in memory: path -> content, with attributes; folders as a set.
class FakeFiles : public FileServices {
public:
    struct File {
        std::string content;
        std::uint32_t attributes = 32;
        bool locked = false;   // cannot be deleted or replaced
        std::uint64_t age = 0; // seconds since it was last written
        bool heldOpen = false; // another program has it open
    };
    std::map<std::string, File> files;
    std::set<std::string> folders{"C:\\", "C:\\Temp", "C:\\users\\tester\\Temp", "C:\\Work", "C:\\Out"};
    std::string temp = "C:\\users\\tester\\Temp\\";
    int tempCounter = 0;
    bool tempFails = false;
    std::vector<std::string>* journal = nullptr;

    bool pathExists(const std::string& path) override { return files.count(path) || folders.count(path); }
    std::string createResultTemporary(const std::string& folder) override {
        const std::string base = folder.ends_with('\\') ? folder : folder + "\\";
        const bool holdsFiles = std::any_of(
            files.begin(), files.end(), [&base](const auto& file) { return file.first.starts_with(base); });
        if (tempFails ||
            !(holdsFiles || folders.count(base.size() > 3 ? base.substr(0, base.size() - 1) : base)))
            throw AppError(3, "The system cannot find the path specified", "Tarnwick");
        char name[32];
        do // a name that is taken is never taken over
            std::snprintf(name, sizeof name, "~tarnwick-%08X.tmp", ++tempCounter);
        while (files.count(base + name));
        files[base + name] = File{};
        if (journal)
            journal->push_back("temp " + base + name);
        return base + name;
    }
    void replaceByRename(const std::string& from, const std::string& to) override {
        if (journal)
            journal->push_back("rename " + from + " -> " + to);
        auto it = files.find(from);
        auto there = files.find(to);
        if (it == files.end() || (there != files.end() && (there->second.locked || there->second.heldOpen)))
            throw AppError(5, "Access is denied", "Tarnwick");
        files[to] = it->second;
        files.erase(from);
    }
    std::size_t removeLeftoverTemporaries(const std::string& folder, std::uint64_t olderThan) override {
        std::size_t removed = 0;
        for (auto it = files.begin(); it != files.end();) {
            const auto slash = it->first.rfind('\\');
            const bool leftover = it->first.substr(0, slash) == folder &&
                                  isResultTemporaryName(it->first.substr(slash + 1)) &&
                                  it->second.age > olderThan && !it->second.heldOpen;
            it = leftover ? files.erase(it) : std::next(it);
            removed += leftover ? 1 : 0;
        }
        return removed;
    }
    std::string temporaryFolder() override { return temp; }
    std::string createTemporaryFile(const std::string& folder, const std::string& prefix) override {
        if (tempFails)
            return "";
        char name[16];
        std::snprintf(name, sizeof name, "%.3s%X.tmp", prefix.c_str(), ++tempCounter);
        const std::string path = folder + name;
        files[path] = File{};
        if (journal)
            journal->push_back("temp " + path);
        return path;
    }
    std::optional<std::string> findOrdinaryFile(const std::string& path) override {
        auto it = files.find(path);
        if (it == files.end() || (it->second.attributes & (2 | 4)))
            return std::nullopt;
        const auto slash = path.rfind('\\');
        return slash == std::string::npos ? path : path.substr(slash + 1);
    }
    std::optional<std::uint64_t> fileSize(const std::string& path) override {
        auto it = files.find(path);
        if (it == files.end())
            return std::nullopt;
        return it->second.content.size();
    }
    std::optional<std::uint32_t> attributes(const std::string& path) override {
        auto it = files.find(path);
        if (it == files.end())
            return folders.count(path) ? std::optional<std::uint32_t>(16) : std::nullopt;
        return it->second.attributes;
    }
    bool setAttributes(const std::string& path, std::uint32_t value) override {
        auto it = files.find(path);
        if (it == files.end())
            return false;
        it->second.attributes = value;
        return true;
    }
    std::optional<std::string> lastChange(const std::string& path) override {
        if (!files.count(path))
            return std::nullopt;
        return "12/7/2026 5:09:00 AM";
    }
    bool deleteFile(const std::string& path) override {
        if (journal)
            journal->push_back("delete " + path);
        auto it = files.find(path);
        if (it == files.end() || it->second.locked || (it->second.attributes & 1))
            return false;
        files.erase(it);
        return true;
    }
    bool copyFile(const std::string& source, const std::string& destination) override {
        auto it = files.find(source);
        auto to = files.find(destination);
        if (it == files.end() || (to != files.end() && (to->second.locked || (to->second.attributes & 1))))
            return false;
        const auto slash = destination.rfind('\\');
        if (slash == std::string::npos || !folders.count(destination.substr(0, slash)))
            return false;
        files[destination] = it->second;
        return true;
    }
    bool createFolder(const std::string& path) override { return folders.insert(path).second; }
    // Folders are told apart by their lower-cased path; an alias stands for
    // the folder it names (a link, a mapped drive).
    std::map<std::string, std::string> aliases;
    std::optional<FolderIdentity> folderIdentity(const std::string& path) override {
        const std::string key = lowerCase(aliases.count(path) ? aliases[path] : path);
        for (const std::string& folder : folders)
            if (lowerCase(folder) == key)
                return FolderIdentity{1, std::hash<std::string>{}(key)};
        return std::nullopt;
    }
    bool removeFolder(const std::string& path) override { return folders.erase(path) == 1; }
    std::string decimalSeparator() override { return "."; }
    std::string now() override { return "12/7/2026 5:09:00 AM"; }
    std::string programFolder() override { return "C:\\Program Files\\Tarnwick"; }
    std::string programName() override { return "tarnwick"; }
};

class FakeSettings : public SettingsStore {
public:
    std::map<std::string, std::string> values; // "app|section|key" -> value
    bool failReads = false;
    int reads = 0;
    std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                           const std::string& defaultValue) override {
        ++reads;
        if (failReads)
            throw AppError(13, "Type mismatch: the setting is not text", "Settings");
        auto it = values.find(app + "|" + section + "|" + key);
        return it == values.end() ? defaultValue : it->second;
    }
    void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& value) override {
        values[app + "|" + section + "|" + key] = value;
    }
    std::string macro() { return values["tarnwick|Options|macro"]; }
    void setMacro(const std::string& path) { values["tarnwick|Options|macro"] = path; }
};

// Installs fresh fakes as the program's services for one test.
struct ProgramFixture {
    FakePlatform platform;
    FakeWindows windows;
    FakeFiles files;
    FakeSettings settings;
    ProgramFixture() {
        General::reset();
        General::install({&platform, &windows, &files, &settings});
    }
    ~ProgramFixture() { General::reset(); }
};
