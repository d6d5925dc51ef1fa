#include "StandInRig.h"

#include "StandInModule.h"

StandInRig::StandInRig(std::shared_ptr<StandInState> state, int index) : StandInRigFace(std::move(state), index)
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
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IRigX)) {
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
