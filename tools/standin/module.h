#pragma once
// The server's life: the count of live objects and client locks, and the one
// class factory that makes the automation object.
#include <windows.h>

#include <unknwn.h>

#include <optional>
#include <string>

namespace standin {

// Counts a live object or a client lock (IClassFactory::LockServer).
void lockModule();
// Uncounts one; when the count reaches zero the handler set below runs.
void unlockModule();
long moduleLocks();
// Runs, on the thread that released it, when the last object or lock goes:
// the local server uses it to end its message loop.
void onModuleIdle(void (*handler)());

// Set by the local server: withdraws its class registration, so that COM
// starts a new server for the next client. The faults that only a server of
// its own process can show (busy, hang, exit) need it and do nothing in
// process, where it is not set.
void onWithdrawClass(void (*handler)());
bool outOfProcess();
void withdrawClass();

// The busy state: the next `count` incoming Invoke calls are refused, each
// journaled as a line "rejected" into the journal given.
void refuseIncomingCalls(unsigned count, std::string journal);
// Takes one refusal if any is left, and answers the journal to write it in.
std::optional<std::string> takeRefusal();
// The server waits for a person: every incoming call is refused from now on
// (not journaled), until the process is ended.
void refuseEveryCall();
bool refusingEveryCall();
// When the last call came in, for a server that ends itself after a while
// without one.
void noteCall();
ULONGLONG lastCallTick();

// The class factory: a static object, so its own references do not keep
// the server alive (COM holds one for as long as the class is registered).
IClassFactory* classFactory();

} // namespace standin
