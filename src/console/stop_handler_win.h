#pragma once
// Ctrl+C and Ctrl+Break in the console program: the first asks the batch to
// stop after the document in progress and says so on standard error; a
// second ends the program at once with the exit code of a stopped run.
#include <windows.h>

class StopRequest;

// Routes the console's Ctrl+C and Ctrl+Break to the request while it lives,
// also when the program was started in a process group of its own; after it
// they get the system's own handling again, and the request may go.
class StopHandlerScope {
public:
    explicit StopHandlerScope(StopRequest& request);
    ~StopHandlerScope();
    StopHandlerScope(const StopHandlerScope&) = delete;
    StopHandlerScope& operator=(const StopHandlerScope&) = delete;
};
// The routine the system calls on its own thread for a console event.
BOOL WINAPI consoleControlHandler(DWORD event);
