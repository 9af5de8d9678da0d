#include "module.h"

#include "perfect_script.h"
#include "platform/unowned_com_win.h"

#include <atomic>

namespace standin {
namespace {

std::atomic<long> locks{0};
std::atomic<void (*)()> idleHandler{nullptr};
void (*withdrawHandler)() = nullptr;
// Touched only on the server's one apartment thread.
unsigned refusalsLeft = 0;
std::string refusalJournal;
bool refusingAll = false;
std::atomic<ULONGLONG> lastCall{GetTickCount64()};

// A static object: its own references do not keep the server alive.
class Factory final : public UnownedComObject<IClassFactory> {
public:
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
        if (object == nullptr)
            return E_POINTER;
        *object = nullptr;
        if (outer != nullptr)
            return CLASS_E_NOAGGREGATION;
        return PerfectScript::create(riid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock)
            lockModule();
        else
            unlockModule();
        return S_OK;
    }
};

Factory factory;

} // namespace

void lockModule() {
    ++locks;
}

void unlockModule() {
    if (--locks == 0)
        if (auto handler = idleHandler.load())
            handler();
}

long moduleLocks() {
    return locks.load();
}

void onModuleIdle(void (*handler)()) {
    idleHandler = handler;
}

void onWithdrawClass(void (*handler)()) {
    withdrawHandler = handler;
}

bool outOfProcess() {
    return withdrawHandler != nullptr;
}

void withdrawClass() {
    if (withdrawHandler != nullptr)
        withdrawHandler();
}

void refuseIncomingCalls(unsigned count, std::string journal) {
    refusalsLeft = count;
    refusalJournal = std::move(journal);
}

std::optional<std::string> takeRefusal() {
    if (refusalsLeft == 0)
        return std::nullopt;
    if (refusalsLeft != BusyRule::kForever)
        --refusalsLeft;
    return refusalJournal;
}

void refuseEveryCall() {
    refusingAll = true;
}

bool refusingEveryCall() {
    return refusingAll;
}

void noteCall() {
    lastCall = GetTickCount64();
}

ULONGLONG lastCallTick() {
    return lastCall.load();
}

IClassFactory* classFactory() {
    return &factory;
}

} // namespace standin
