// The in-process server: COM loads standin.dll and asks it for the class
// factory of the one class it serves.
#include "module.h"
#include "standin_ids.h"

#include <windows.h>

#include <objbase.h>

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, LPVOID* object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (clsid != kStandinClsid)
        return CLASS_E_CLASSNOTAVAILABLE;
    return standin::classFactory()->QueryInterface(riid, object);
}

STDAPI DllCanUnloadNow() {
    return standin::moduleLocks() == 0 ? S_OK : S_FALSE;
}
