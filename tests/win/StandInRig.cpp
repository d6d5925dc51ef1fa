#include "StandInRig.h"

#include "StandInModule.h"

StandInRig::StandInRig(int index, int server) : StandInRigFace(index, server)
{
    standInLock();
}

StandInRig::~StandInRig()
{
    standInUnlock();
}

HRESULT StandInRig::QueryInterface(REFIID iid, void **object)
{
    if (!object)
        return E_POINTER;
    const bool rigX = IsEqualIID(iid, IID_IRigX) && !StandInState::instance().dispatchOnly;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || rigX) {
        *object = static_cast<IRigX *>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG StandInRig::Release()
{
    const ULONG left = --m_references;
    if (left == 0)
        delete this;
    return left;
}
