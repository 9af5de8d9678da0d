#pragma once
// The processing modes: what happens when the user starts work and when a
// finished job asks for its successor.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Mediator;
class Stack;

// What the user reads when a source folder cannot be listed: the folder and
// the system's reason.
std::string unreadableSourceText(const std::string& folder, const std::string& reason);
// What the user reads when a batch with subfolders would put its results
// below its own source folder.
inline constexpr const char* kTargetInsideSource =
    "The target folder is inside the source folder; choose one outside it";

class State {
public:
    virtual ~State() = default;
    virtual void init(Mediator& coordinator) = 0;
    virtual void Command1(std::string& text) = 0;
    virtual void Command2(std::string& text) = 0;
    virtual void Command3() = 0;
    // Empties the mode's queue, so that the run ends after the job in
    // progress; answers the paths of the documents left unstarted.
    virtual std::vector<std::string> dropQueued() { return {}; }
};

// What the single-document and the batch mode share: the coordinator, a
// work queue (none before the first start) and the next job.
class WorkingMode : public State {
public:
    void init(Mediator& coordinator) override { coordinator_ = &coordinator; }
    // Takes the oldest job of the queue this mode holds now, if any, and runs it.
    void Command2(std::string& text) override;
    void Command3() override {}
    std::vector<std::string> dropQueued() override;

protected:
    friend struct Probe; // tests read the queue
    Mediator& coordinator();
    std::shared_ptr<Stack> queue_;

private:
    Mediator* coordinator_ = nullptr; // not owned
};

// The single-document mode.
class State1 : public WorkingMode {
public:
    void Command1(std::string& path) override;
};

// The batch mode.
class State2 : public WorkingMode {
public:
    void Command1(std::string& text) override;

private:
    void runQueue();
};

// The idle mode of a freshly started program.
class State3 : public State {
public:
    void init(Mediator& coordinator) override { coordinator_ = &coordinator; }
    void Command1(std::string& text) override;
    void Command2(std::string&) override {}
    void Command3() override {}

private:
    Mediator* coordinator_ = nullptr; // not owned
};

// Holds one instance of each mode and forwards every command to the current one.
class StateManager {
public:
    void init(Mediator& coordinator);
    void setStateOne() { current_ = stateOne_; }
    void SetStateTwo() { current_ = stateTwo_; }
    void SetStateThree() { current_ = stateThree_; }
    void Command1(std::string& text);
    void Command2(std::string& text);
    void Command3();
    std::vector<std::string> dropQueued();

private:
    friend struct Probe; // tests read the mode in force
    State& currentMode();

    std::shared_ptr<State> current_;
    std::shared_ptr<State> stateOne_;
    std::shared_ptr<State> stateTwo_;
    std::shared_ptr<State> stateThree_;
};
