#include "StandInFactory.h"

#include "StandInModule.h"
#include "StandInServer.h"

HRESULT StandInFactory::QueryInterface(REFIID iid, void **object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
        *object = static_cast<IClassFactory *>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG StandInFactory::Release()
{
    const ULONG left = --m_references;
    if (left == 0)
        delete this;
    return left;
}

HRESULT StandInFactory::CreateInstance(IUnknown *outer, REFIID iid, void **object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    // A new server object for every activation, all of them on the stand-in's one pair of rigs.
    return StandInServer::create()->QueryInterface(iid, object);
}

HRESULT StandInFactory::LockServer(BOOL lock)
{
    if (lock)
        standInLock();
    else
        standInUnlock();
    return S_OK;
}
