#pragma once
// Late binding through IDispatch: an automation object found by its
// programmatic identifier, driven by member name at the time of the call.
#include "base/late_binding.h"
#include "platform/handles_win.h"

#include <windows.h>

#include <oaidl.h>
#include <wrl/client.h>

#include <functional>
#include <memory>
#include <string>

// How long the server may keep the caller waiting. A call the server
// refuses without running it (busy) is tried again until the busy limit has
// passed since its first try; a call not answered within the call limit is
// given up; a server that has not made the object within the creation limit
// is given up.
struct CallLimits {
    DWORD busyMs = 2 * 60 * 1000;
    DWORD callMs = 10 * 60 * 1000;
    DWORD createMs = 30 * 1000;
};

// Creates the object registered under progId (in the server contexts given)
// and answers it as LateBound: in process when the contexts allow it and the
// class has an in-process server, otherwise on a thread of its own within
// the creation limit, the windows served meanwhile. When that starts a
// process of the class's local server, the object keeps it (to end it if it
// gets stuck). Raises AppError with the HRESULT as its number when the
// identifier is unknown or the object cannot be created, and
// ErrorNumber::TimedOut when it was not made in time.
std::shared_ptr<LateBound> createAutomationObject(const std::string& progId, DWORD context = CLSCTX_SERVER,
                                                  CallLimits limits = {});

// Makes an object with `make` on a thread of the multithreaded apartment
// and hands it to this thread, waiting at most limitMs and serving this
// thread's windows meanwhile. Answers the object, or nullptr with the
// failure in `failure` (HRESULT_FROM_WIN32(ERROR_TIMEOUT) when the limit
// passed first; the object made later is then let go).
Microsoft::WRL::ComPtr<IDispatch>
makeOnOwnThread(std::function<HRESULT(Microsoft::WRL::ComPtr<IDispatch>&)> make, DWORD limitMs,
                HRESULT& failure);

// Drives an IDispatch the caller already holds; source names it in the
// errors that carry no source of their own. The server's process, when
// given, is the one this program started for it, which endStartedServer ends.
std::shared_ptr<LateBound> wrapDispatch(Microsoft::WRL::ComPtr<IDispatch> dispatch, std::string source,
                                        CallLimits limits = {}, UniqueHandle server = {});
