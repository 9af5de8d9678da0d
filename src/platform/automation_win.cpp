#include "platform/automation_win.h"

#include "base/error.h"
#include "base/failure_reasons.h"
#include "base/ports.h"
#include "platform/errors_win.h"
#include "platform/handles_win.h"
#include "platform/message_filter_win.h"
#include "platform/paths_win.h"
#include "platform/platform_win.h"
#include "platform/registry_win.h"
#include "platform/wide_win.h"

#include <oleauto.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

// The exception information of one Invoke: filled in late when the server
// asks for it, and its texts freed whichever way the call ends.
class ExceptionInfo {
public:
    EXCEPINFO* get() { return info_.address(); }

    [[noreturn]] void raise(HRESULT result, const std::string& defaultSource) {
        EXCEPINFO& info = *info_.address();
        if (result == DISP_E_EXCEPTION && info.pfnDeferredFillIn != nullptr) {
            info.pfnDeferredFillIn(&info);
            info.pfnDeferredFillIn = nullptr;
        }
        // The server's own error number when it gave one (an HRESULT in
        // scode, or a small number in wCode), else the call's HRESULT.
        std::int64_t number = static_cast<std::uint32_t>(result);
        HRESULT code = result;
        if (result == DISP_E_EXCEPTION && info.scode != 0) {
            code = info.scode;
            number = static_cast<std::uint32_t>(code);
        } else if (result == DISP_E_EXCEPTION && info.wCode != 0) {
            number = info.wCode;
        }
        std::string description = text(info.bstrDescription);
        if (description.empty())
            description = systemMessage(static_cast<DWORD>(code));
        std::string source = text(info.bstrSource);
        if (source.empty())
            source = defaultSource;
        throw AppError(number, description, source);
    }

private:
    static std::string text(BSTR value) {
        return value ? narrow({value, SysStringLen(value)}) : std::string{};
    }

    UniqueExcepInfo info_;
};

// The caller's side of one argument: the value it passes, and for a
// by-reference argument the variable the callee's pointer designates.
void fillArgument(const Arg& arg, VARIANT& storage, VARIANT& passed) {
    VariantClear(&storage);
    struct Visitor {
        VARIANT& v;
        void operator()(std::monostate) const { v.vt = VT_EMPTY; }
        void operator()(bool b) const {
            v.vt = VT_BOOL;
            v.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
        }
        void operator()(std::int32_t i) const {
            v.vt = VT_I4;
            v.lVal = i;
        }
        void operator()(double d) const {
            v.vt = VT_R8;
            v.dblVal = d;
        }
        void operator()(const std::string& s) const {
            const std::wstring wide = widen(s);
            v.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
            if (v.bstrVal == nullptr)
                throwHresult(E_OUTOFMEMORY, "Tarnwick");
            v.vt = VT_BSTR;
        }
    };
    std::visit(Visitor{storage}, arg.value);
    if (!arg.byRef) {
        passed = storage; // shares the BSTR: the storage owns it, passed is never cleared
        return;
    }
    VariantInit(&passed);
    switch (storage.vt) {
    case VT_BOOL:
        passed.vt = VT_BYREF | VT_BOOL;
        passed.pboolVal = &storage.boolVal;
        break;
    case VT_I4:
        passed.vt = VT_BYREF | VT_I4;
        passed.plVal = &storage.lVal;
        break;
    case VT_R8:
        passed.vt = VT_BYREF | VT_R8;
        passed.pdblVal = &storage.dblVal;
        break;
    case VT_BSTR:
        passed.vt = VT_BYREF | VT_BSTR;
        passed.pbstrVal = &storage.bstrVal;
        break;
    default:
        passed.vt = VT_BYREF | VT_VARIANT;
        passed.pvarVal = &storage;
        break;
    }
}

// A whole number as the program's number: an int32 where it fits, otherwise
// a double.
template <typename Whole> Value wholeNumber(Whole n) {
    using Limits = std::numeric_limits<std::int32_t>;
    if (std::cmp_greater_equal(n, Limits::min()) && std::cmp_less_equal(n, Limits::max()))
        return static_cast<std::int32_t>(n);
    return static_cast<double>(n);
}

Value toValue(VARIANT& result, std::string_view name, const std::string& source) {
    UniqueVariant direct;
    VARIANT* v = &result;
    if (result.vt & VT_BYREF) {
        const HRESULT hr = VariantCopyInd(direct.put(), &result);
        if (FAILED(hr))
            throwHresult(hr, source);
        v = direct.address();
    }
    switch (v->vt) {
    case VT_EMPTY:
    case VT_NULL:
        return std::monostate{};
    case VT_BOOL:
        return v->boolVal != VARIANT_FALSE;
    case VT_I1:
        return static_cast<std::int32_t>(v->cVal);
    case VT_UI1:
        return static_cast<std::int32_t>(v->bVal);
    case VT_I2:
        return static_cast<std::int32_t>(v->iVal);
    case VT_UI2:
        return static_cast<std::int32_t>(v->uiVal);
    case VT_I4:
        return static_cast<std::int32_t>(v->lVal);
    case VT_INT:
        return static_cast<std::int32_t>(v->intVal);
    case VT_UI4:
    case VT_UINT:
        return wholeNumber(v->ulVal);
    case VT_I8:
        return wholeNumber(v->llVal);
    case VT_UI8:
        return wholeNumber(v->ullVal);
    case VT_R4:
        return static_cast<double>(v->fltVal);
    case VT_R8:
        return v->dblVal;
    case VT_BSTR:
        return v->bstrVal ? narrow({v->bstrVal, SysStringLen(v->bstrVal)}) : std::string{};
    case VT_CY:
    case VT_DECIMAL:
    case VT_DATE: {
        // Numbers of other forms, held in the variant itself.
        UniqueVariant number;
        const HRESULT hr = VariantChangeType(number.put(), v, 0, VT_R8);
        if (FAILED(hr))
            throwHresult(hr, source, "The result of " + std::string(name) + " cannot be read as a number");
        return number.get().dblVal;
    }
    default:
        // Anything else (an error code, an object, an array) is no value the
        // program reads: the call itself went through. An object is never
        // converted: that would be a call to the server outside the limits.
        return std::monostate{};
    }
}

// The first wait before a refused call is tried again, and the longest.
constexpr DWORD kFirstRetryMs = 5;
constexpr DWORD kLongestRetryMs = 250;

class DispatchObject final : public LateBound {
public:
    DispatchObject(ComPtr<IDispatch> dispatch, std::string source, CallLimits limits, UniqueHandle server)
        : dispatch_(std::move(dispatch)), source_(std::move(source)), limits_(limits),
          server_(std::move(server)) {}

    Value call(std::string_view name, std::span<const Arg> args) override {
        return invoke(name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, args);
    }
    Value get(std::string_view name) override { return invoke(name, DISPATCH_PROPERTYGET, {}); }
    void letGo() noexcept override {
        // Kept referenced for good: releasing it would be a call to a server
        // that may not answer (the process may be about to end, or the
        // server is stuck or gone).
        (void)dispatch_.Detach();
    }
    void setDeadline(std::optional<std::chrono::steady_clock::time_point> deadline) override {
        deadline_ = deadline;
    }
    bool endStartedServer() noexcept override {
        if (!server_)
            return false;
        // The handle was opened when this program started the process, so
        // it names that process and no other that took its id since.
        TerminateProcess(server_.get(), 1);
        // Until it has gone it may still hold the document's files open.
        WaitForSingleObject(server_.get(), kServerEndWaitMs);
        server_.reset();
        letGo();
        return true;
    }

private:
    static constexpr DWORD kServerEndWaitMs = 10'000;

    // The limits of the call about to be made: the object's own, and no
    // further than the deadline.
    CallLimits limitsNow() const {
        CallLimits limits = limits_;
        if (deadline_) {
            using namespace std::chrono;
            const auto left = duration_cast<milliseconds>(*deadline_ - steady_clock::now()).count();
            const DWORD bounded = static_cast<DWORD>(std::clamp<long long>(left, 1, MAXDWORD));
            limits.busyMs = std::min(limits.busyMs, bounded);
            limits.callMs = std::min(limits.callMs, bounded);
        }
        return limits;
    }

    // Sends one request to the server. One that the server refused without
    // running it is tried again after a short wait that grows, the windows
    // served meanwhile, until the busy limit; nothing else is repeated,
    // since the server may have run it. One that the message filter gave up
    // (past the call limit, or the program ending) raises.
    template <typename Request> HRESULT send(std::string_view name, Request&& request) {
        const CallLimits limits = limitsNow();
        const ULONGLONG first = GetTickCount64();
        DWORD wait = kFirstRetryMs;
        for (;;) {
            HRESULT hr;
            bool notAnswered = false;
            {
                WatchedCall watched(limits.busyMs, limits.callMs);
                hr = request();
                // However the transport reports a call the filter gave up.
                if (FAILED(hr) && watched.cancelledForExit())
                    throw ProgramEnded{};
                notAnswered = FAILED(hr) && watched.cancelledForLimit();
            }
            if (notAnswered)
                throw AppError(static_cast<std::uint32_t>(RPC_E_CALL_CANCELED),
                               FailureReason::didNotAnswer(name), source_);
            if (ServerError::isGone(static_cast<std::uint32_t>(hr)))
                throw AppError(static_cast<std::uint32_t>(hr), FailureReason::stopped(name), source_);
            if (hr != RPC_E_CALL_REJECTED)
                return hr;
            const ULONGLONG spent = GetTickCount64() - first;
            if (spent >= limits.busyMs)
                throw AppError(static_cast<std::uint32_t>(hr), FailureReason::stayedBusy(name), source_);
            waitServingWindows(static_cast<DWORD>(std::min<ULONGLONG>(wait, limits.busyMs - spent)));
            wait = std::min(wait * 2, kLongestRetryMs);
        }
    }

    DISPID idOf(std::string_view name) {
        const std::string key(name);
        if (auto it = ids_.find(key); it != ids_.end())
            return it->second;
        std::wstring wide = widen(name);
        LPOLESTR names[] = {wide.data()};
        DISPID id = DISPID_UNKNOWN;
        const HRESULT hr = send(
            name, [&] { return dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id); });
        if (hr == DISP_E_UNKNOWNNAME || hr == DISP_E_MEMBERNOTFOUND)
            throwNoSuchMember(name, source_);
        if (FAILED(hr))
            throwHresult(hr, source_);
        ids_.emplace(key, id);
        return id;
    }

    Value invoke(std::string_view name, WORD flags, std::span<const Arg> args) {
        const DISPID id = idOf(name);
        // Automation takes the arguments last first; storage keeps the
        // values that by-reference arguments point at until the call is over.
        std::vector<UniqueVariant> storage(args.size());
        std::vector<VARIANTARG> passed(args.size());
        for (std::size_t i = 0; i < args.size(); ++i)
            fillArgument(args[i], *storage[i].address(), passed[args.size() - 1 - i]);
        DISPPARAMS params{};
        params.rgvarg = passed.empty() ? nullptr : passed.data();
        params.cArgs = static_cast<UINT>(passed.size());
        UniqueVariant result;
        ExceptionInfo exception;
        UINT argError = 0;
        const HRESULT hr = send(name, [&] {
            return dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result.address(),
                                     exception.get(), &argError);
        });
        if (hr == DISP_E_MEMBERNOTFOUND)
            throwNoSuchMember(name, source_);
        if (FAILED(hr))
            exception.raise(hr, source_);
        return toValue(*result.address(), name, source_);
    }

    ComPtr<IDispatch> dispatch_;
    std::string source_;
    CallLimits limits_;
    UniqueHandle server_; // the server's process, when this program started it
    std::optional<std::chrono::steady_clock::time_point> deadline_;
    std::unordered_map<std::string, DISPID> ids_;
};

} // namespace

std::shared_ptr<LateBound> wrapDispatch(ComPtr<IDispatch> dispatch, std::string source, CallLimits limits,
                                        UniqueHandle server) {
    return std::make_shared<DispatchObject>(std::move(dispatch), std::move(source), limits,
                                            std::move(server));
}

namespace {

// An object made on a thread of the multithreaded apartment, handed to the
// caller's apartment marshalled in a stream. The making thread keeps its
// apartment until the caller has taken the object or given up on it.
struct Handover {
    UniqueHandle made{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    UniqueHandle done{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    HRESULT result = E_FAIL;
    ComPtr<IStream> stream; // the marshalled object, released by whoever ends with it
    bool abandoned = false;
};

} // namespace

// Starting a server process has no time limit of its own: the call that
// starts it is made on a thread of its own, and the caller waits for it only
// so long, serving its windows meanwhile.
ComPtr<IDispatch> makeOnOwnThread(std::function<HRESULT(ComPtr<IDispatch>&)> make, DWORD limitMs,
                                  HRESULT& failure) {
    auto handover = std::make_shared<Handover>();
    if (!handover->made || !handover->done) {
        failure = HRESULT_FROM_WIN32(GetLastError());
        return nullptr;
    }
    std::thread([handover, make = std::move(make)] {
        const ComInitScope com = initializeCom(COINIT_MULTITHREADED);
        HRESULT hr = com ? S_OK : com.get();
        ComPtr<IStream> stream;
        if (SUCCEEDED(hr)) {
            ComPtr<IDispatch> made;
            hr = make(made);
            if (SUCCEEDED(hr))
                hr = CoMarshalInterThreadInterfaceInStream(IID_IDispatch, made.Get(), &stream);
        }
        handover->result = hr;
        handover->stream = std::move(stream);
        SetEvent(handover->made.get());
        WaitForSingleObject(handover->done.get(), INFINITE);
        // Given up on: the object marshalled into the stream is let go here,
        // in the apartment that made it, before the apartment ends.
        if (handover->abandoned && handover->stream) {
            CoReleaseMarshalData(handover->stream.Get());
            handover->stream.Reset();
        }
    }).detach();

    const ULONGLONG end = GetTickCount64() + limitMs;
    HANDLE made = handover->made.get();
    for (ULONGLONG now = GetTickCount64(); WaitForSingleObject(made, 0) != WAIT_OBJECT_0;
         now = GetTickCount64()) {
        if (now >= end) {
            handover->abandoned = true;
            SetEvent(handover->done.get());
            failure = HRESULT_FROM_WIN32(ERROR_TIMEOUT);
            return nullptr;
        }
        MsgWaitForMultipleObjectsEx(1, &made, static_cast<DWORD>(end - now), QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
        processPendingEvents();
    }
    ComPtr<IDispatch> dispatch;
    failure = handover->result;
    if (SUCCEEDED(failure))
        // The call releases the stream itself, whatever it answers.
        failure = CoGetInterfaceAndReleaseStream(handover->stream.Detach(), IID_PPV_ARGS(&dispatch));
    SetEvent(handover->done.get());
    return dispatch;
}

namespace {

// The program a command line starts: the quoted part, or the longest part
// before a blank that names an existing file, as the system reads an
// unquoted command line with blanks in its path.
std::wstring commandProgram(const std::wstring& command) {
    if (!command.empty() && command.front() == L'"')
        return command.substr(1, command.find(L'"', 1) - 1);
    for (std::size_t end = command.size(); end != std::wstring::npos && end > 0;
         end = command.find_last_of(L' ', end - 1)) {
        const std::wstring candidate = command.substr(0, end);
        const DWORD attributes = GetFileAttributesW(candidate.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            return candidate;
    }
    return command.substr(0, command.find(L' '));
}

// A path in one spelling for comparing: full, long names, lower case.
std::wstring comparable(const std::wstring& path) {
    std::wstring full(kLongestPath, L'\0');
    full.resize(GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
    std::wstring longName(kLongestPath, L'\0');
    const DWORD n = GetLongPathNameW(full.c_str(), longName.data(), static_cast<DWORD>(longName.size()));
    if (n > 0 && n < longName.size())
        full.assign(longName.data(), n);
    CharLowerBuffW(full.data(), static_cast<DWORD>(full.size()));
    return full;
}

// The executable of the class's local server (LocalServer32, in either
// registry view, variables expanded), comparable; empty when there is none.
std::wstring localServerOf(const CLSID& clsid) {
    wchar_t text[64] = {};
    StringFromGUID2(clsid, text, 64);
    const std::wstring key = L"CLSID\\" + std::wstring(text) + L"\\LocalServer32";
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        RegistryText command = readRegistryText(HKEY_CLASSES_ROOT, key, L"", view);
        if (!command.isText() || command.text.empty())
            continue;
        if (command.type == REG_EXPAND_SZ) {
            std::wstring expanded(kLongestPath, L'\0');
            const DWORD n = ExpandEnvironmentStringsW(command.text.c_str(), expanded.data(),
                                                      static_cast<DWORD>(expanded.size()));
            if (n > 0 && n <= expanded.size())
                command.text.assign(expanded.data(), n - 1);
        }
        return comparable(commandProgram(command.text));
    }
    return {};
}

// The image of an open process, comparable.
std::wstring imageOf(HANDLE process) {
    std::wstring image(kLongestPath, L'\0');
    DWORD size = static_cast<DWORD>(image.size());
    if (!QueryFullProcessImageNameW(process, 0, image.data(), &size))
        return {};
    image.resize(size);
    return comparable(image);
}

// The ids of the running processes of the executable.
std::vector<DWORD> processesOf(const std::wstring& executable) {
    std::vector<DWORD> ids;
    const std::wstring fileName = executable.substr(executable.find_last_of(L'\\') + 1);
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = snapshot && Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        std::wstring name = entry.szExeFile;
        CharLowerBuffW(name.data(), static_cast<DWORD>(name.size()));
        if (name != fileName)
            continue;
        const UniqueHandle process(
            OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
        if (process && imageOf(process.get()) == executable)
            ids.push_back(entry.th32ProcessID);
    }
    return ids;
}

// The server process that this program started by making an object: the
// one process of the server's executable that is new since `before` was
// taken (at `since`). Opened at once, and checked to have started since and
// to run that executable, so that an id taken over by another process can
// never end another program. None when it cannot be told which, or when
// the server was running already (the user's own).
UniqueHandle startedServer(const std::wstring& executable, const std::vector<DWORD>& before,
                           const FILETIME& since) {
    std::vector<DWORD> fresh = processesOf(executable);
    std::erase_if(fresh,
                  [&](DWORD id) { return std::find(before.begin(), before.end(), id) != before.end(); });
    if (fresh.size() != 1)
        return {};
    UniqueHandle process(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION,
                                     FALSE, fresh.front()));
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!process || !GetProcessTimes(process.get(), &created, &exited, &kernel, &user) ||
        CompareFileTime(&created, &since) < 0 || imageOf(process.get()) != executable)
        return {};
    return process;
}

} // namespace

std::shared_ptr<LateBound> createAutomationObject(const std::string& progId, DWORD context,
                                                  CallLimits limits) {
    const auto fail = [&](HRESULT hr) {
        const std::string what = "Cannot create the automation object \"" + progId + "\"";
        if (hr == HRESULT_FROM_WIN32(ERROR_TIMEOUT))
            throw AppError(ErrorNumber::TimedOut,
                           what + ": the server did not make it within " +
                               std::to_string(limits.createMs / 1000) + " seconds",
                           progId);
        throwHresult(hr, progId, what);
    };
    CLSID clsid{};
    HRESULT hr = CLSIDFromProgID(widen(progId).c_str(), &clsid);
    if (FAILED(hr))
        fail(hr);
    ComPtr<IDispatch> dispatch;
    // An in-process server is made here, in this apartment: it has no
    // process to start.
    hr = (context & CLSCTX_INPROC_SERVER)
             ? CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&dispatch))
             : REGDB_E_CLASSNOTREG;
    const DWORD others = context & ~static_cast<DWORD>(CLSCTX_INPROC_SERVER);
    UniqueHandle server;
    if (FAILED(hr) && others != 0) {
        // Which process serves the object, if this making starts one.
        const std::wstring executable = localServerOf(clsid);
        FILETIME since{};
        GetSystemTimeAsFileTime(&since);
        const std::vector<DWORD> before = executable.empty() ? std::vector<DWORD>{} : processesOf(executable);
        dispatch = makeOnOwnThread(
            [clsid, others](ComPtr<IDispatch>& made) {
                return CoCreateInstance(clsid, nullptr, others, IID_PPV_ARGS(&made));
            },
            limits.createMs, hr);
        if (SUCCEEDED(hr) && !executable.empty())
            server = startedServer(executable, before, since);
    }
    if (FAILED(hr))
        fail(hr);
    return wrapDispatch(std::move(dispatch), progId, limits, std::move(server));
}
