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

// Issues the next-job command as every job and mode does: a new Cmd2, given
// the coordinator (which keeps it), executed through the Command interface.
void issueNextJob(Mediator& coordinator);
