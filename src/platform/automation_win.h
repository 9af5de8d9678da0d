#pragma once
// Late binding through IDispatch: an automation object found by its
// programmatic identifier, driven by member name at the time of the call.
#include "conversion/late_binding.h"

#include <windows.h>

#include <oaidl.h>
#include <wrl/client.h>

#include <memory>
#include <string>

// Creates the object registered under progId (in the server contexts given)
// and answers it as LateBound. Raises AppError with the HRESULT as its
// number when the identifier is unknown or the object cannot be created.
std::shared_ptr<LateBound> createAutomationObject(const std::string& progId, DWORD context = CLSCTX_SERVER);

// Drives an IDispatch the caller already holds; source names it in the
// errors that carry no source of their own.
std::shared_ptr<LateBound> wrapDispatch(Microsoft::WRL::ComPtr<IDispatch> dispatch, std::string source);

// The system's text for an HRESULT, without the trailing line break; empty
// when the system has none.
std::string systemMessage(HRESULT code);
