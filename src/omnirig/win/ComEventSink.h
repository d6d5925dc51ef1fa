// ComEventSink: the client's end of OmniRig's event connection point.
//
// Responsibilities: answer QueryInterface for IUnknown, IDispatch and the events' dispinterface id (a server
// asks for that id before it accepts a sink); turn each IDispatch::Invoke into the matching call on the
// contract's IOmniRigXEvents, taking the arguments from DISPPARAMS, where they stand in reverse order;
// ignore dispatch ids it does not know; keep a handler's exception from unwinding into the server.
// Collaborations: ComOmniRig makes one per Advise and detaches it at Unadvise. The server holds references
// to it for as long as it likes (a dead server's until COM gives up on it), so it counts its own references
// and, once detached, never reaches the handler again.
// Threads: the client's single-threaded apartment. COM delivers Invoke only while that thread pumps
// messages or waits in an outgoing call, so an event may arrive in the middle of any call to the server.
#pragma once

#include "omnirig/OmniRig_TLB.h"
#include "omnirig/win/ComPtr.h"

#include <windows.h>

#include <oaidl.h>

#include <atomic>

class ComEventSink final : public IDispatch {
public:
    static ComPtr<ComEventSink> create(IOmniRigXEvents *handler);

    ComEventSink(const ComEventSink &) = delete;
    ComEventSink &operator=(const ComEventSink &) = delete;

    void detach() { m_handler = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo **info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR *names, UINT count, LCID locale, DISPID *ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS *params,
                                     VARIANT *result, EXCEPINFO *exception, UINT *badArgument) override;

private:
    explicit ComEventSink(IOmniRigXEvents *handler) : m_handler(handler) {}
    ~ComEventSink() = default;

    HRESULT deliver(IOmniRigXEvents &handler, DISPID id, const DISPPARAMS &params, UINT *badArgument);

    std::atomic<ULONG> m_references{1};
    IOmniRigXEvents *m_handler;
};
