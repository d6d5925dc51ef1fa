#include "omnirig/TOmniRigX.h"

namespace {

std::shared_ptr<IOmniRigFactory> &defaultFactorySlot()
{
    static std::shared_ptr<IOmniRigFactory> factory;
    return factory;
}

} // namespace

// The server calls this on the client's thread; each call goes on to the panel's events, if any.
class TOmniRigX::Sink final : public IOmniRigXEvents {
public:
    explicit Sink(IOmniRigXEvents *events) : m_events(events) {}

    void OnVisibleChange() override
    {
        if (m_events)
            m_events->OnVisibleChange();
    }
    void OnRigTypeChange(int rigNumber) override
    {
        if (m_events)
            m_events->OnRigTypeChange(rigNumber);
    }
    void OnStatusChange(int rigNumber) override
    {
        if (m_events)
            m_events->OnStatusChange(rigNumber);
    }
    void OnParamsChange(int rigNumber, std::int32_t params) override
    {
        if (m_events)
            m_events->OnParamsChange(rigNumber, params);
    }
    void OnCustomReply(int rigNumber, const std::string &command, const std::string &reply) override
    {
        if (m_events)
            m_events->OnCustomReply(rigNumber, command, reply);
    }

private:
    IOmniRigXEvents *m_events;
};

TOmniRigX::TOmniRigX(IOmniRigXEvents *events, std::shared_ptr<IOmniRigFactory> factory)
    : m_sink(std::make_unique<Sink>(events)), m_factory(std::move(factory))
{
}

TOmniRigX::~TOmniRigX()
{
    Disconnect();
}

std::shared_ptr<IOmniRigFactory> TOmniRigX::defaultFactory()
{
    return defaultFactorySlot();
}

void TOmniRigX::setDefaultFactory(std::shared_ptr<IOmniRigFactory> factory)
{
    defaultFactorySlot() = std::move(factory);
}

void TOmniRigX::Connect()
{
    if (m_server || !m_factory)
        return;
    std::shared_ptr<IOmniRigX> server;
    try {
        server = m_factory->GetActiveObject();
    } catch (const OmniRigError &) {
        // Not running is the usual case at start: create one below.
    }
    if (!server)
        server = m_factory->CreateInstance();
    if (!server)
        return;
    m_server = std::move(server);
    // A server that refuses the subscription still works for calls; the client just hears no events.
    try {
        m_cookie = m_server->Advise(m_sink.get());
        m_advised = true;
    } catch (const std::exception &) {
        m_advised = false;
    }
}

void TOmniRigX::Disconnect()
{
    if (!m_server)
        return;
    if (m_advised) {
        try {
            m_server->Unadvise(m_cookie);
        } catch (const std::exception &) {
            // The server is going away in any case.
        }
        m_advised = false;
    }
    m_server.reset();
}

IOmniRigX *TOmniRigX::DefaultInterface()
{
    Connect();
    if (!m_server)
        throw OmniRigNotConnected();
    return m_server.get();
}

IRigX *TOmniRigX::Rig1()
{
    return DefaultInterface()->Rig1();
}

IRigX *TOmniRigX::Rig2()
{
    return DefaultInterface()->Rig2();
}

bool TOmniRigX::DialogVisible()
{
    return DefaultInterface()->DialogVisible();
}

void TOmniRigX::SetDialogVisible(bool visible)
{
    DefaultInterface()->SetDialogVisible(visible);
}
