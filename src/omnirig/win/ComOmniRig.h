// ComOmniRig: a running OmniRig server over COM, as the contract's IOmniRigX.
//
// Responsibilities: hand out Rig1 and Rig2, asking the server each time (so a server that has gone is
// noticed) and answering with one ComRig per rig object, recognised by its IUnknown; show and hide the
// server's settings dialog; subscribe sinks at the server's IOmniRigXEvents connection point and
// unsubscribe them. At destruction every sink still subscribed is detached and unadvised, and every
// reference is released.
// Collaborations: ComOmniRigFactory makes it from the server's IOmniRigX, or from its IDispatch where the
// client can get no IOmniRigX (its rigs are then reached through IDispatch too, ComDispatch); a ComEventSink
// per subscription carries the events to the contract's IOmniRigXEvents.
// Threads: the single-threaded apartment that obtained the server. Events arrive there, also in the middle
// of any call below (COM lets them in while a call waits for its answer), so no member keeps an iterator
// or a reference into its lists across a call to the server.
#pragma once

#include "omnirig/OmniRig_TLB.h"
#include "omnirig/win/ComDispatch.h"
#include "omnirig/win/ComEventSink.h"
#include "omnirig/win/ComPtr.h"
#include "omnirig/win/ComRig.h"
#include "omnirig/win/OmniRigCom.h"

#include <memory>
#include <optional>
#include <vector>

class ComOmniRig final : public IOmniRigX {
public:
    explicit ComOmniRig(ComPtr<OmniRig::Com::IOmniRigX> server);
    explicit ComOmniRig(ComDispatch server);
    ~ComOmniRig() override;

    ComOmniRig(const ComOmniRig &) = delete;
    ComOmniRig &operator=(const ComOmniRig &) = delete;

    IRigX *Rig1() override;
    IRigX *Rig2() override;

    bool DialogVisible() override;
    void SetDialogVisible(bool visible) override;

    // Throws OmniRigError when the server has no such connection point or refuses the sink.
    int Advise(IOmniRigXEvents *sink) override;
    // Stops the sink's events at once, even when the server can no longer be told.
    void Unadvise(int cookie) override;

private:
    struct Subscription {
        DWORD cookie;
        ComPtr<IConnectionPoint> point;
        ComPtr<ComEventSink> sink;
    };

    IRigX *rig(HRESULT (STDMETHODCALLTYPE OmniRig::Com::IOmniRigX::*getter)(OmniRig::Com::IRigX **), DISPID id,
               const char *call);
    IRigX *known(const ComPtr<IUnknown> &identity) const;

    ComPtr<OmniRig::Com::IOmniRigX> m_server; // empty when the server is reached through m_dispatch
    std::optional<ComDispatch> m_dispatch;
    std::vector<std::unique_ptr<ComRig>> m_rigs;
    std::vector<Subscription> m_subscriptions;
};
