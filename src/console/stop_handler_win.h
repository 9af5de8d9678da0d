#pragma once
// Ctrl+C and Ctrl+Break in the console program: the first asks the batch to
// stop after the document in progress and says so on standard error; a
// second ends the program at once with the exit code of a stopped run.
#include <windows.h>

class StopRequest;

// Routes the console's Ctrl+C and Ctrl+Break to the request from now on,
// also when the program was started in a process group of its own.
void installStopHandler(StopRequest& request);
// The routine the system calls on its own thread for a console event.
BOOL WINAPI consoleControlHandler(DWORD event);
