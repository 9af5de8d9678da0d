#include "control/Command.h"

#include "base/error.h"
// From the spine above: the coordinator, to which a command carries its
// request.
#include "core/Mediator.h"

namespace {
Mediator& required(Mediator* coordinator) {
    return required(coordinator, "the command has no coordinator");
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
