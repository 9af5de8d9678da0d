#include "module.h"

#include "perfect_script.h"

#include <atomic>

namespace standin {
namespace {

std::atomic<long> locks{0};
std::atomic<void (*)()> idleHandler{nullptr};

// A static object that is never deleted through its interface, so the
// interface's missing virtual destructor does not matter.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class Factory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

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
#pragma GCC diagnostic pop

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

IClassFactory* classFactory() {
    return &factory;
}

} // namespace standin
