#include "StandInConnectionPoint.h"

#include "OmniRigStandIn.h"
#include "StandInModule.h"

#include <olectl.h>

StandInConnectionPoint::StandInConnectionPoint(int server) : m_server(server)
{
    standInLock();
}

StandInConnectionPoint::~StandInConnectionPoint()
{
    // The server object is gone with its sink.
    const auto found = StandInState::instance().sinks.find(m_server);
    if (found != StandInState::instance().sinks.end()) {
        const ComPtr<IDispatch> sink = std::move(found->second);
        StandInState::instance().sinks.erase(found);
    }
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
    StandInState &state = StandInState::instance();
    if (state.refuseAdvise || state.sinks.count(m_server))
        return CONNECT_E_ADVISELIMIT;
    ComPtr<IDispatch> events;
    if (FAILED(sink->QueryInterface(DIID_IOmniRigXEvents, reinterpret_cast<void **>(events.put()))) || !events)
        return CONNECT_E_CANNOTCONNECT;
    *cookie = static_cast<DWORD>(m_server);
    state.sinks.emplace(m_server, std::move(events));
    return S_OK;
}

HRESULT StandInConnectionPoint::Unadvise(DWORD cookie)
{
    auto &sinks = StandInState::instance().sinks;
    const auto found = sinks.find(m_server);
    if (cookie != static_cast<DWORD>(m_server) || found == sinks.end())
        return CONNECT_E_NOCONNECTION;
    // Released after it has left the list: its Release may call back.
    const ComPtr<IDispatch> events = std::move(found->second);
    sinks.erase(found);
    return S_OK;
}

HRESULT StandInConnectionPoint::EnumConnections(IEnumConnections **connections)
{
    if (connections)
        *connections = nullptr;
    return E_NOTIMPL;
}
