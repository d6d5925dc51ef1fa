// StandInConnectionPoint: the IOmniRigXEvents connection point of a stand-in server object. Like OmniRig's, it
// takes one sink (a second is refused with CONNECT_E_ADVISELIMIT), asks it for the events' dispinterface id and
// refuses a sink that does not answer to it.
#pragma once

#include "StandInState.h"

#include <windows.h>

#include <ocidl.h>

#include <atomic>

class StandInConnectionPoint final : public IConnectionPoint {
public:
    // server: the number of the server object whose events the point carries.
    explicit StandInConnectionPoint(int server);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID *iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer **container) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown *sink, DWORD *cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections **connections) override;

private:
    ~StandInConnectionPoint();

    std::atomic<ULONG> m_references{1};
    int m_server;
};
