#pragma once
// The server's life: the count of live objects and client locks, and the one
// class factory that makes the automation object.
#include <windows.h>

#include <unknwn.h>

namespace standin {

// Counts a live object or a client lock (IClassFactory::LockServer).
void lockModule();
// Uncounts one; when the count reaches zero the handler set below runs.
void unlockModule();
long moduleLocks();
// Runs, on the thread that released it, when the last object or lock goes:
// the local server uses it to end its message loop.
void onModuleIdle(void (*handler)());

// The class factory: a static object, so its own references do not keep
// the server alive (COM holds one for as long as the class is registered).
IClassFactory* classFactory();

} // namespace standin
