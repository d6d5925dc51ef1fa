// The in-process stand-in: a DLL registered with regsvr32.
#include "StandInControl.h"
#include "StandInFactory.h"
#include "StandInModule.h"
#include "StandInRegistry.h"
#include "StandInState.h"
#include "omnirig/win/ComPtr.h"

#include <atomic>

namespace {

HMODULE g_module = nullptr;
std::atomic<long> g_locks{0};

} // namespace

const CLSID &standInClass()
{
    return CLSID_StandInDll;
}

bool standInOutOfProcess()
{
    return false;
}

HMODULE standInModule()
{
    return g_module;
}

void standInLock()
{
    ++g_locks;
}

void standInUnlock()
{
    // With its last object gone the stand-in starts afresh, as OmniRig's process would end and a new one start.
    if (--g_locks == 0)
        StandInState::instance().reset();
}

long standInObjects()
{
    return g_locks;
}

void standInWithdraw()
{
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void **object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!IsEqualCLSID(clsid, CLSID_StandInDll))
        return CLASS_E_CLASSNOTAVAILABLE;
    const ComPtr<StandInFactory> factory = ComPtr<StandInFactory>::adopt(new StandInFactory);
    return factory->QueryInterface(iid, object);
}

STDAPI DllCanUnloadNow()
{
    return g_locks == 0 ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer()
{
    return registerClass(CLSID_StandInDll, L"InprocServer32", modulePath(g_module), L"Apartment");
}

STDAPI DllUnregisterServer()
{
    return unregisterClass(CLSID_StandInDll);
}
