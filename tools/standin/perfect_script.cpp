#include "perfect_script.h"

#include "module.h"
#include "names.h"
#include "platform/errors_win.h"
#include "platform/handles_win.h"
#include "platform/wide_win.h"
#include "standin_ids.h"

#include <oleauto.h>

#include <algorithm>
#include <new>
#include <stdexcept>
#include <string_view>

namespace standin {
namespace {

struct CommandInfo {
    Command command;
    const char* name;
    UINT arguments;
};

constexpr std::array<CommandInfo, kCommandCount> kCommands{{
    {Command::FileOpen, "FileOpen", 1},
    {Command::EnvDocBlank, "envDocBlank", 0},
    {Command::PosDocVeryTop, "PosDocVeryTop", 0},
    {Command::MacroFilePlay, "MacroFilePlay", 1},
    {Command::EnvMacroPlaying, "envMacroPlaying", 0},
    {Command::FileSave, "FileSave", 1},
    {Command::CloseNoSave, "CloseNoSave", 0},
}};

const CommandInfo* findCommand(DISPID id) {
    for (const auto& info : kCommands)
        if (static_cast<DISPID>(info.command) == id)
            return &info;
    return nullptr;
}

// A failure the caller receives as DISP_E_EXCEPTION with this code and text.
struct CommandError {
    HRESULT code;
    std::string description;
};

[[noreturn]] void raiseFileError(const std::string& what, const std::string& path, DWORD error) {
    throw CommandError{HRESULT_FROM_WIN32(error), what + " \"" + path + "\": " + systemMessage(error)};
}

std::string readFile(const std::string& path, const std::string& what) {
    UniqueHandle file(CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        raiseFileError(what, path, GetLastError());
    std::string content;
    char buffer[65536];
    DWORD got = 0;
    while (true) {
        if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr))
            raiseFileError(what, path, GetLastError());
        if (got == 0)
            return content;
        content.append(buffer, got);
    }
}

void writeFile(const std::string& path, std::string_view content) {
    const std::string what = "Cannot save the document to";
    UniqueHandle file(CreateFileW(widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        raiseFileError(what, path, GetLastError());
    while (!content.empty()) {
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(content.size(), 1u << 20));
        if (!WriteFile(file.get(), content.data(), chunk, &written, nullptr))
            raiseFileError(what, path, GetLastError());
        content.remove_prefix(written);
    }
}

// Reads argument `index` (first = 0) as a text: a BSTR by value or by
// reference, a VARIANT by reference holding one, or a value the system
// turns into a text. Answers false when it cannot.
bool textArgument(const DISPPARAMS& params, UINT index, std::string& text) {
    VARIANT* arg = &params.rgvarg[params.cArgs - 1 - index];
    if (arg->vt == (VT_BYREF | VT_VARIANT)) {
        if (arg->pvarVal == nullptr)
            return false;
        arg = arg->pvarVal;
    }
    const auto fromBstr = [&](BSTR value) {
        text = value ? narrow({value, SysStringLen(value)}) : std::string{};
        return true;
    };
    if (arg->vt == VT_BSTR)
        return fromBstr(arg->bstrVal);
    if (arg->vt == (VT_BYREF | VT_BSTR))
        return arg->pbstrVal != nullptr && fromBstr(*arg->pbstrVal);
    UniqueVariant converted;
    if (FAILED(VariantChangeType(converted.put(), arg, 0, VT_BSTR)))
        return false;
    return fromBstr(converted.get().bstrVal);
}

// One journal line: control characters in an argument would break the line
// apart, so they are written as '?'.
std::string journalLine(const char* name, const std::vector<std::string>& args) {
    std::string line = name;
    for (const auto& arg : args) {
        line += '\t';
        for (char c : arg)
            line += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
    }
    return line + '\n';
}

bool matches(const CallRule& rule, const char* name, int call) {
    return (rule.command == "*" || sameName(rule.command, name)) && (rule.call == 0 || rule.call == call);
}

template <typename Rules> bool anyMatches(const Rules& rules, const char* name, int call) {
    return std::any_of(rules.begin(), rules.end(),
                       [&](const CallRule& rule) { return matches(rule, name, call); });
}

// The injected exit: the class is withdrawn first, as Windows notices a
// dead server; the mark keeps a server started after this one from ending
// again at the injection named.
[[noreturn]] void endServerAbruptly(const std::wstring& injection) {
    markSpent(injection);
    withdrawClass();
    TerminateProcess(GetCurrentProcess(), 3);
    ExitProcess(3);
}

// The injected hang: the call never returns while a client holds the
// server. The thread stays inside it in a message loop, as a server held in
// a modal state does, so it still serves the other calls (the client's
// clean-up, its release); a new client gets a new server. When the last
// object is gone the loop ends and the server ends as usual.
void hangServing() {
    withdrawClass();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    PostQuitMessage(0);
}

// A state that only ending the process ends (waiting for a person, a macro
// that never ends, busy for ever): marked spent, and the class withdrawn at
// once, as Windows withdraws a server's class when its process is ended
// (Wine starts no new server for a class whose ended server still holds it).
void holdForEver(const std::wstring& injection) {
    markSpent(injection);
    withdrawClass();
}

} // namespace

// Appends a line to the journal file (none when the path is empty). The
// file is opened for each line so that a reader sees every line as soon as
// the call that wrote it returns.
void appendLine(const std::string& path, std::string_view line) {
    if (path.empty())
        return;
    UniqueHandle file(CreateFileW(widen(path).c_str(), FILE_APPEND_DATA,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return;
    DWORD written = 0;
    WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

namespace {

void fillException(EXCEPINFO* exception, HRESULT code, const std::string& description) {
    *exception = EXCEPINFO{};
    exception->scode = code;
    exception->bstrSource = makeBstr(widen(kStandinSource)).release();
    exception->bstrDescription = makeBstr(widen(description)).release();
}

} // namespace

HRESULT PerfectScript::create(REFIID riid, void** object) {
    Settings settings;
    try {
        settings = readSettings();
    } catch (const std::invalid_argument& error) {
        // The caller only sees E_INVALIDARG; the journal, when there is
        // one, says which setting is wrong.
        appendLine(readJournalSetting(), std::string("SettingsError\t") + error.what() + "\n");
        return E_INVALIDARG;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    // COM objects live by reference counting: the object is made here with
    // one reference and deletes itself in Release when the last one goes.
    PerfectScript* made = new (std::nothrow) PerfectScript(std::move(settings));
    if (made == nullptr)
        return E_OUTOFMEMORY;
    const HRESULT hr = made->QueryInterface(riid, object);
    made->Release();
    return hr;
}

PerfectScript::PerfectScript(Settings settings) : settings_(std::move(settings)) {
    lockModule();
}

PerfectScript::~PerfectScript() {
    unlockModule();
}

HRESULT PerfectScript::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG PerfectScript::AddRef() {
    return ++references_;
}

ULONG PerfectScript::Release() {
    const ULONG left = --references_;
    if (left == 0)
        delete this; // the reference count owns the object (see create)
    return left;
}

HRESULT PerfectScript::GetTypeInfoCount(UINT* count) {
    if (count == nullptr)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT PerfectScript::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info != nullptr)
        *info = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT PerfectScript::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (riid != IID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    if (names == nullptr || ids == nullptr || count == 0)
        return E_INVALIDARG;
    // No command takes named arguments: only the member name resolves.
    for (UINT i = 0; i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    const std::string name = names[0] ? narrow(names[0]) : std::string{};
    for (const auto& info : kCommands)
        if (sameName(name, info.name))
            ids[0] = static_cast<DISPID>(info.command);
    return ids[0] == DISPID_UNKNOWN || count > 1 ? DISP_E_UNKNOWNNAME : S_OK;
}

HRESULT PerfectScript::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                              EXCEPINFO* exception, UINT* argError) {
    if (riid != IID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    const CommandInfo* info = findCommand(id);
    if (info == nullptr || (flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) == 0)
        return DISP_E_MEMBERNOTFOUND;
    if (params == nullptr)
        return E_INVALIDARG;
    if (params->cNamedArgs != 0)
        return DISP_E_NONAMEDARGS;
    if (params->cArgs != info->arguments)
        return DISP_E_BADPARAMCOUNT;
    if (result != nullptr)
        VariantInit(result);
    try {
        std::vector<std::string> args(params->cArgs);
        for (UINT i = 0; i < params->cArgs; ++i) {
            if (!textArgument(*params, i, args[i])) {
                if (argError != nullptr)
                    *argError = params->cArgs - 1 - i;
                return DISP_E_TYPEMISMATCH;
            }
        }
        appendLine(settings_.journal, journalLine(info->name, args));
        noteCall();
        const int call = ++calls_[static_cast<std::size_t>(info->command)];
        for (const auto& delay : settings_.delays)
            if (delay.command == "*" || sameName(delay.command, info->name))
                Sleep(delay.milliseconds);
        if (outOfProcess() && anyMatches(settings_.exits, info->name, call))
            endServerAbruptly(L"Exit");
        // A save that breaks off: half the document is written, then the
        // server is gone, as after a crash or a full disk.
        if (outOfProcess() && info->command == Command::FileSave && call == settings_.halfSave) {
            const std::string& text = current().text;
            writeFile(args[0], std::string_view(text).substr(0, text.size() / 2));
            endServerAbruptly(L"HalfSave");
        }
        if (outOfProcess() && anyMatches(settings_.hangs, info->name, call)) {
            hangServing();
            return E_ABORT; // to nobody: the object may be gone by now
        }
        // A dialog that waits for a person: the call never returns and every
        // other call is refused, until the process is ended.
        if (outOfProcess() && anyMatches(settings_.waits, info->name, call)) {
            holdForEver(L"Wait");
            refuseEveryCall();
            for (MSG msg; GetMessageW(&msg, nullptr, 0, 0) > 0;)
                DispatchMessageW(&msg);
            return E_ABORT;
        }
        for (const auto& failure : settings_.failures)
            if (matches(failure, info->name, call))
                throw CommandError{kInjectedFailure, failure.description};
        run(info->command, args, result);
        if (outOfProcess() && info->command == Command::MacroFilePlay && call == settings_.endless) {
            holdForEver(L"Endless");
            playingUntil_ = std::chrono::steady_clock::time_point::max();
        }
        for (const auto& busy : settings_.busy)
            if (outOfProcess() && matches(busy, info->name, call)) {
                // A client may end a server that stays busy too long: its
                // class goes now, as for the other states a client ends.
                if (busy.count == BusyRule::kForever)
                    holdForEver(L"Busy");
                else
                    withdrawClass();
                refuseIncomingCalls(busy.count, settings_.journal);
            }
        return S_OK;
    } catch (const CommandError& error) {
        if (result != nullptr)
            VariantClear(result);
        if (exception == nullptr)
            return error.code;
        fillException(exception, error.code, error.description);
        return DISP_E_EXCEPTION;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

Document& PerfectScript::current() {
    if (!document_)
        throw CommandError{kNoDocument, "No document is open"};
    return *document_;
}

void PerfectScript::run(Command command, const std::vector<std::string>& args, VARIANT* result) {
    const auto answer = [&](bool value) {
        if (result != nullptr) {
            result->vt = VT_BOOL;
            result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
        }
    };
    switch (command) {
    case Command::FileOpen:
        document_ = Document{readFile(args[0], "Cannot open the file"), 0};
        break;
    case Command::EnvDocBlank:
        answer(!document_ || document_->text.empty());
        break;
    case Command::PosDocVeryTop:
        current().insertion = 0;
        break;
    case Command::MacroFilePlay: {
        Document& document = current();
        const std::string source = readFile(args[0], "Cannot play the macro");
        try {
            const MacroOutcome outcome = playMacro(source, document);
            playingUntil_ =
                std::chrono::steady_clock::now() + std::chrono::milliseconds(outcome.playingMilliseconds);
        } catch (const MacroError& error) {
            throw CommandError{kMacroFailed, error.what()};
        }
        break;
    }
    case Command::EnvMacroPlaying:
        answer(std::chrono::steady_clock::now() < playingUntil_);
        break;
    case Command::FileSave:
        writeFile(args[0], current().text);
        break;
    case Command::CloseNoSave:
        current();
        document_.reset();
        break;
    }
}

} // namespace standin
