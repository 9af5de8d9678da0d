#pragma once
// Commands carry requests to the processing modes through the coordinator.
#include <memory>

class Mediator;

class Command {
public:
    virtual ~Command() = default;
    virtual void Execute() = 0;
};

// The start command: starts work in the current mode with the job settings'
// source file.
class cmd1 : public Command, public std::enable_shared_from_this<cmd1> {
public:
    void init(Mediator& coordinator);
    void Execute() override;

private:
    Mediator* coordinator_ = nullptr; // the program-wide coordinator; not owned
};

// The next-job command: asks the current mode to run its next queued job.
class Cmd2 : public Command, public std::enable_shared_from_this<Cmd2> {
public:
    void init(Mediator& coordinator);
    void Execute() override;

private:
    Mediator* coordinator_ = nullptr;
};

// The one way work is started or carried on: a new command of the kind,
// given the coordinator (which keeps the latest of each kind), executed
// through the Command interface. Answers the command once it has run.
template <typename Kind> std::shared_ptr<Kind> issueCommand(Mediator& coordinator) {
    auto command = std::make_shared<Kind>();
    command->init(coordinator);
    static_cast<Command&>(*command).Execute();
    return command;
}

// The next-job command, as every job and mode issues it.
inline void issueNextJob(Mediator& coordinator) {
    issueCommand<Cmd2>(coordinator);
}
