#include "OmniRigClient.h"

OmniRigClient::OmniRigClient(std::shared_ptr<IOmniRigFactory> factory, IOmniRigXEvents *handler)
    : m_factory(std::move(factory)), m_handler(handler)
{
}

OmniRigClient::~OmniRigClient()
{
    Disconnect();
}

void OmniRigClient::Connect()
{
    if (m_server || !m_factory)
        return;
    std::shared_ptr<IOmniRigX> server;
    try {
        server = m_factory->GetActiveObject();
    } catch (const OmniRigError &) {
        // Whatever is wrong with a running one, a new one may still start.
    }
    if (!server)
        server = m_factory->CreateInstance();
    if (!server)
        return;
    m_server = std::move(server);
    // A server that refuses the subscription still answers calls; the client just hears no events.
    try {
        m_cookie = m_server->Advise(m_handler);
        m_advised = true;
    } catch (const OmniRigError &) {
        m_advised = false;
    }
}

void OmniRigClient::Disconnect()
{
    if (!m_server)
        return;
    if (m_advised) {
        m_advised = false;
        try {
            m_server->Unadvise(m_cookie);
        } catch (const OmniRigError &) {
            // The server is let go in any case.
        }
    }
    m_server.reset();
}

IOmniRigX *OmniRigClient::DefaultInterface()
{
    Connect();
    if (!m_server)
        throw OmniRigError(OmniRig::NotConnectedMessage);
    return m_server.get();
}

IRigX *OmniRigClient::Rig1()
{
    return DefaultInterface()->Rig1();
}

IRigX *OmniRigClient::Rig2()
{
    return DefaultInterface()->Rig2();
}

bool OmniRigClient::DialogVisible()
{
    return DefaultInterface()->DialogVisible();
}

void OmniRigClient::SetDialogVisible(bool visible)
{
    DefaultInterface()->SetDialogVisible(visible);
}
