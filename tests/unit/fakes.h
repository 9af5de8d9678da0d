#pragma once
// In-memory stand-ins for the platform, the windows and the word processor.
#include "conversion/late_binding.h"
#include "core/General.h"
#include "core/error.h"
#include "core/ports.h"
#include "core/views.h"

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
    std::string tempBuffer = "C:\\users\\tester\\Temp\\";
    int ended = 0;
    int yields = 0;
    std::vector<int> pauses;
    std::vector<std::string>* journal = nullptr; // when set, yields and pauses are written here too

    std::shared_ptr<LateBound> createObject(const std::string& progId) override {
        requestedProgIds.push_back(progId);
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
    [[noreturn]] void endProgram() override {
        ++ended;
        throw ProgramEnded{};
    }
    std::string temporaryFolderBuffer() override { return tempBuffer; }
    void doEvents() override {
        ++yields;
        if (journal)
            journal->push_back("yield");
    }
    void pause(int milliseconds) override {
        pauses.push_back(milliseconds);
        if (journal)
            journal->push_back("pause " + std::to_string(milliseconds));
    }
};

class FakeLister : public DirectoryLister {
public:
    std::map<std::string, std::vector<DirectoryEntry>> folders;
    std::vector<DirectoryEntry> list(const std::string& folder) override {
        auto it = folders.find(folder);
        if (it == folders.end())
            throw AppError(76, "Path not found", "FileList");
        return it->second;
    }
};

class FakeDialogPort : public FileDialogPort {
public:
    std::vector<std::string> answers; // "" cancels
    int shown = 0;
    bool show(FileDialog& dialog, bool) override {
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
    bool nextVisible = false;
    int shownCount = 0;

    ResultList& ListView1() override { return list; }
    FileListBox& FileList() override { return files; }
    FileDialog& CommonDialog1() override { return dialog; }
    void hideNext() override { nextVisible = false; }
    void show() override { ++shownCount; }
};

class FakeWindows : public Forms {
public:
    FakeMainWindow main;
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
};

// An automation object that records every command and answers reads from a
// script of values.
class RecordingObject : public LateBound {
public:
    std::vector<std::string> log;
    std::map<std::string, std::vector<Value>> reads; // answers in order, last one repeats
    std::map<std::string, int> readCounts;
    std::map<std::string, AppError> failures; // command name -> error it raises

    Value call(std::string_view name, std::span<const Arg> args) override {
        std::string line(name);
        for (const auto& arg : args)
            line += (arg.byRef ? " &" : " ") + toText(arg.value);
        log.push_back(line);
        fail(name);
        return {};
    }
    Value get(std::string_view name) override {
        log.push_back(std::string(name));
        fail(name);
        auto& answers = reads[std::string(name)];
        int& n = readCounts[std::string(name)];
        if (answers.empty())
            return Value{false};
        const Value v = answers[static_cast<std::size_t>(std::min<int>(n, static_cast<int>(answers.size()) - 1))];
        ++n;
        return v;
    }

private:
    void fail(std::string_view name) {
        auto it = failures.find(std::string(name));
        if (it != failures.end())
            throw it->second;
    }
};

// Installs fresh fakes as the program's services for one test.
struct ProgramFixture {
    FakePlatform platform;
    FakeWindows windows;
    ProgramFixture() {
        General::reset();
        General::install({&platform, &windows});
    }
    ~ProgramFixture() { General::reset(); }
};
