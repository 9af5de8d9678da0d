#pragma once
// What tests read of the program's insides that its own code never asks
// for: the mode in force, the commands the coordinator keeps, the batch's
// queue. The classes that keep them name this as their friend.
#include "control/Stack.h"
#include "control/State.h"
#include "core/Mediator.h"

#include <memory>

#ifdef _WIN32
#include "ui/Form1.h"
#include "ui/Form2.h"
#endif

struct Probe {
    enum class Mode { None, SingleDocument, Batch, Idle };

    static Mode mode(const Mediator& coordinator) {
        const StateManager* modes = coordinator.stateManager_.get();
        if (modes == nullptr || !modes->current_)
            return Mode::None;
        const State* current = modes->current_.get();
        return current == modes->stateOne_.get()   ? Mode::SingleDocument
               : current == modes->stateTwo_.get() ? Mode::Batch
                                                   : Mode::Idle;
    }
    // Whether the start-up routine made the modes.
    static bool initialised(const Mediator& coordinator) { return coordinator.stateManager_ != nullptr; }
    static const std::shared_ptr<cmd1>& latestCmd1(const Mediator& coordinator) {
        return coordinator.latestCmd1_;
    }
    static const std::shared_ptr<Cmd2>& latestCmd2(const Mediator& coordinator) {
        return coordinator.latestCmd2_;
    }
    // The queue the batch mode holds now.
    static const std::shared_ptr<Stack>& batchQueue(const Mediator& coordinator) {
        return static_cast<const WorkingMode&>(*coordinator.stateManager_->stateTwo_).queue_;
    }
#ifdef _WIN32
    // The start command of the Batch Documents dialog's last Start.
    static const std::shared_ptr<cmd1>& startCommand(const Form1& dialog) {
        return dialog.command_;
    }
    // What the main window's file list reads folders with (a test makes a
    // folder unreadable).
    static Win32DirectoryLister& directoryLister(Form2& window) {
        return window.lister_;
    }
#endif
};
