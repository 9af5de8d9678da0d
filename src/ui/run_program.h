#pragma once
// The program from start to end, as the executable's entry point runs it.
#include "core/General.h"

#include <functional>

// Initialises COM and the common controls, installs the program's services
// and windows, runs the start-up routine and then the main window's event
// loop until the program is ended. Answers the process's exit code: 1 when
// start-up failed before any window was shown (after its one message).
// `adjust` may put other services in place before start-up (tests make a
// step fail this way).
int runProgram(const std::function<void(General::Services&)>& adjust = {});
