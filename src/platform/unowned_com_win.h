#pragma once
// IUnknown for a COM object whose owner decides its life, not its reference
// count: a static object, or one a scope owns while COM holds it registered.
#include <windows.h>

#include <unknwn.h>

// COM interfaces have no virtual destructor by design; these objects are
// never deleted through one.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
template <typename Interface> class UnownedComObject : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == __uuidof(Interface)) {
            *object = static_cast<Interface*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

protected:
    ~UnownedComObject() = default;
};
#pragma GCC diagnostic pop
