#include "StandInConnectionPoint.h"

#include "OmniRigStandIn.h"
#include "StandInModule.h"

#include <olectl.h>

#include <algorithm>

StandInConnectionPoint::StandInConnectionPoint(std::shared_ptr<StandInState> state) : m_state(std::move(state))
{
    standInLock();
}

StandInConnectionPoint::~StandInConnectionPoint()
{
    standInUnlock();
}

HRESULT StandInConnectionPoint::QueryInterface(REFIID iid, void **object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
        *object = static_cast<IConnectionPoint *>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG StandInConnectionPoint::Release()
{
    const ULONG left = --m_references;
    if (left == 0)
        delete this;
    return left;
}

HRESULT StandInConnectionPoint::GetConnectionInterface(IID *iid)
{
    if (!iid)
        return E_POINTER;
    *iid = DIID_IOmniRigXEvents;
    return S_OK;
}

HRESULT StandInConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer **container)
{
    if (container)
        *container = nullptr;
    return E_NOTIMPL;
}

HRESULT StandInConnectionPoint::Advise(IUnknown *sink, DWORD *cookie)
{
    if (!sink || !cookie)
        return E_POINTER;
    *cookie = 0;
    if (m_state->refuseAdvise)
        return CONNECT_E_ADVISELIMIT;
    ComPtr<IDispatch> events;
    if (FAILED(sink->QueryInterface(DIID_IOmniRigXEvents, reinterpret_cast<void **>(events.put()))) || !events)
        return CONNECT_E_CANNOTCONNECT;
    *cookie = m_state->nextCookie++;
    m_state->sinks.emplace_back(*cookie, std::move(events));
    return S_OK;
}

HRESULT StandInConnectionPoint::Unadvise(DWORD cookie)
{
    auto &sinks = m_state->sinks;
    const auto found =
        std::find_if(sinks.begin(), sinks.end(), [cookie](const auto &each) { return each.first == cookie; });
    if (found == sinks.end())
        return CONNECT_E_NOCONNECTION;
    // Released after it has left the list: its Release may call back.
    const ComPtr<IDispatch> sink = std::move(found->second);
    sinks.erase(found);
    return S_OK;
}

HRESULT StandInConnectionPoint::EnumConnections(IEnumConnections **connections)
{
    if (connections)
        *connections = nullptr;
    return E_NOTIMPL;
}
