#include "control/Command.h"

#include "base/error.h"
#include "core/Mediator.h"

namespace {
Mediator& required(Mediator* coordinator) {
    if (coordinator == nullptr)
        throw AppError(ErrorNumber::ObjectRequired, "Object required: the command has no coordinator");
    return *coordinator;
}
} // namespace

void cmd1::init(Mediator& coordinator) {
    coordinator_ = &coordinator;
    coordinator.registerCmd1(shared_from_this());
}

void cmd1::Execute() {
    Mediator& coordinator = required(coordinator_);
    std::string file = coordinator.GetSourceFile();
    coordinator.Command1(file);
}

void Cmd2::init(Mediator& coordinator) {
    coordinator_ = &coordinator;
    coordinator.registerCmd2(shared_from_this());
}

void Cmd2::Execute() {
    std::string text = "test";
    required(coordinator_).Command2(text);
}

void issueNextJob(Mediator& coordinator) {
    auto next = std::make_shared<Cmd2>();
    next->init(coordinator);
    Command& command = *next;
    command.Execute();
}
