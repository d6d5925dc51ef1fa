#include "omnirig/win/ComOmniRig.h"

#include "omnirig/win/ComError.h"

#include <algorithm>

namespace Com = OmniRig::Com;

ComOmniRig::ComOmniRig(ComPtr<Com::IOmniRigX> server) : m_server(std::move(server))
{
}

ComOmniRig::ComOmniRig(ComDispatch server) : m_dispatch(std::move(server))
{
}

ComOmniRig::~ComOmniRig()
{
    // Every sink is silenced before the first call lets events in.
    const std::vector<Subscription> subscriptions = std::move(m_subscriptions);
    for (const Subscription &subscription : subscriptions)
        subscription.sink->detach();
    // A server that has gone cannot be told; COM cleans up its references in time.
    for (const Subscription &subscription : subscriptions)
        subscription.point->Unadvise(subscription.cookie);
}

IRigX *ComOmniRig::Rig1()
{
    return rig(&Com::IOmniRigX::get_Rig1, Com::ServerDispId::Rig1, "IOmniRigX.Rig1");
}

IRigX *ComOmniRig::Rig2()
{
    return rig(&Com::IOmniRigX::get_Rig2, Com::ServerDispId::Rig2, "IOmniRigX.Rig2");
}

IRigX *ComOmniRig::rig(HRESULT (STDMETHODCALLTYPE Com::IOmniRigX::*getter)(Com::IRigX **), DISPID id, const char *call)
{
    HRESULT result = E_POINTER;
    if (m_dispatch) {
        ComPtr<IDispatch> rig = m_dispatch->getObject(id, call);
        ComPtr<IUnknown> identity = rig.query<IUnknown>(IID_IUnknown, &result);
        if (!identity)
            throwComError(call, result);
        if (IRigX *found = known(identity))
            return found;
        m_rigs.push_back(std::make_unique<ComRig>(ComDispatch(std::move(rig)), std::move(identity)));
        return m_rigs.back().get();
    }
    ComPtr<Com::IRigX> rig;
    checkCom((m_server.get()->*getter)(rig.put()), call);
    ComPtr<IUnknown> identity = rig.query<IUnknown>(IID_IUnknown, &result);
    if (!identity)
        throwComError(call, result);
    if (IRigX *found = known(identity))
        return found;
    m_rigs.push_back(std::make_unique<ComRig>(std::move(rig), std::move(identity)));
    return m_rigs.back().get();
}

IRigX *ComOmniRig::known(const ComPtr<IUnknown> &identity) const
{
    // Looked up only now: the calls before it may have let an event in that asked for a rig too.
    const auto found = std::find_if(m_rigs.begin(), m_rigs.end(),
                                    [&identity](const auto &each) { return each->identity() == identity.get(); });
    return found != m_rigs.end() ? found->get() : nullptr;
}

bool ComOmniRig::DialogVisible()
{
    if (m_dispatch)
        return m_dispatch->getBool(Com::ServerDispId::DialogVisible, "IOmniRigX.DialogVisible");
    VARIANT_BOOL visible = VARIANT_FALSE;
    checkCom(m_server->get_DialogVisible(&visible), "IOmniRigX.DialogVisible");
    return visible != VARIANT_FALSE;
}

void ComOmniRig::SetDialogVisible(bool visible)
{
    // Automation's true is -1 (all bits set), not 1.
    if (m_dispatch)
        return m_dispatch->putBool(Com::ServerDispId::DialogVisible, visible, "IOmniRigX.DialogVisible");
    checkCom(m_server->put_DialogVisible(visible ? VARIANT_TRUE : VARIANT_FALSE), "IOmniRigX.DialogVisible");
}

int ComOmniRig::Advise(IOmniRigXEvents *sink)
{
    HRESULT result = E_POINTER;
    const ComPtr<IConnectionPointContainer> container =
        m_dispatch ? m_dispatch->object().query<IConnectionPointContainer>(IID_IConnectionPointContainer, &result)
                   : m_server.query<IConnectionPointContainer>(IID_IConnectionPointContainer, &result);
    if (!container)
        throwComError("IOmniRigX.Advise", result);
    ComPtr<IConnectionPoint> point;
    checkCom(container->FindConnectionPoint(OmniRig::Com::DIID_IOmniRigXEvents, point.put()), "IOmniRigX.Advise");
    ComPtr<ComEventSink> comSink = ComEventSink::create(sink);
    DWORD cookie = 0;
    result = point->Advise(comSink.get(), &cookie);
    if (FAILED(result)) {
        comSink->detach();
        throwComError("IOmniRigX.Advise", result);
    }
    m_subscriptions.push_back({cookie, std::move(point), std::move(comSink)});
    return static_cast<int>(cookie);
}

void ComOmniRig::Unadvise(int cookie)
{
    const auto found = std::find_if(m_subscriptions.begin(), m_subscriptions.end(),
                                    [cookie](const auto &each) { return each.cookie == static_cast<DWORD>(cookie); });
    if (found == m_subscriptions.end())
        return;
    // Out of the list before the call below, during which an event may come in and unsubscribe again.
    Subscription subscription = std::move(*found);
    m_subscriptions.erase(found);
    subscription.sink->detach();
    checkCom(subscription.point->Unadvise(subscription.cookie), "IOmniRigX.Unadvise");
}
