// StandInConnectionPoint: the IOmniRigXEvents connection point of a stand-in server. Like OmniRig's, it
// asks each sink for the events' dispinterface id and refuses a sink that does not answer to it.
#pragma once

#include "StandInState.h"

#include <windows.h>

#include <ocidl.h>

#include <atomic>
#include <memory>

class StandInConnectionPoint final : public IConnectionPoint {
public:
    explicit StandInConnectionPoint(std::shared_ptr<StandInState> state);

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
    std::shared_ptr<StandInState> m_state;
};
