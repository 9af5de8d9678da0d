#include "control/State.h"

#include "core/Mediator.h"
#include "core/error.h"
#include "core/views.h"

namespace {
Mediator& required(Mediator* coordinator) {
    if (coordinator == nullptr)
        throw AppError(ErrorNumber::ObjectRequired, "Object required: the mode has no coordinator");
    return *coordinator;
}
} // namespace

// The single-document start and the batch start fill a work queue with jobs;
// until the conversion jobs and their queue exist they queue nothing, and the
// next-job command finds nothing to run.
void State1::Command1(std::string&) {}
void State1::Command2(std::string&) {}
void State2::Command1(std::string&) {}
void State2::Command2(std::string&) {}

void State3::Command1(std::string&) { required(coordinator_).mainWindow().ListView1().clear(); }

void StateManager::init(Mediator& coordinator) {
    stateOne_ = std::make_shared<State1>();
    stateOne_->init(coordinator);
    stateTwo_ = std::make_shared<State2>();
    stateTwo_->init(coordinator);
    stateThree_ = std::make_shared<State3>();
    stateThree_->init(coordinator);
    current_ = stateThree_;
}

State& StateManager::currentMode() {
    if (!current_)
        throw AppError(ErrorNumber::ObjectRequired, "Object required: the mode manager has no current mode");
    return *current_;
}

void StateManager::Command1(std::string& text) { currentMode().Command1(text); }
void StateManager::Command2(std::string& text) { currentMode().Command2(text); }
void StateManager::Command3() { currentMode().Command3(); }
