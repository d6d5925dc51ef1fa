#include "StandInTearOff.h"

#include "StandInModule.h"

StandInTearOff::StandInTearOff(int index, int server, ComPtr<StandInRig> rig)
    : StandInRigFace(index, server), m_rig(std::move(rig))
{
    standInLock();
}

StandInTearOff::~StandInTearOff()
{
    standInUnlock();
}

HRESULT StandInTearOff::QueryInterface(REFIID iid, void **object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IDispatch) || (IsEqualIID(iid, IID_IRigX) && !StandInState::instance().dispatchOnly)) {
        *object = static_cast<IRigX *>(this);
        AddRef();
        return S_OK;
    }
    return m_rig->QueryInterface(iid, object);
}

ULONG StandInTearOff::Release()
{
    const ULONG left = --m_references;
    if (left == 0)
        delete this;
    return left;
}
