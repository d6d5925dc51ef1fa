// OmniRigClient: the panel's client of OmniRig without a toolkit, for the Windows face; TOmniRigX does the
// same for the Qt face.
//
// Responsibilities: connect when needed: the server already running first, else a new one, through a
// replaceable factory; subscribe the handler to the server's events, going on silently without events when
// the server refuses; hand out Rig1 and Rig2 and the settings dialog's visibility, each failing with
// OmniRig::NotConnectedMessage while there is still no server. Unsubscribes and releases the server when
// disconnected or destroyed.
// Collaborations: an IOmniRigFactory (ComOmniRigFactory on Windows); the handler, which must outlive it.
// Threads: the thread of the server's apartment; the handler is called there.
#pragma once

#include "OmniRig_TLB.h"

#include <memory>

class OmniRigClient {
public:
    OmniRigClient(std::shared_ptr<IOmniRigFactory> factory, IOmniRigXEvents *handler);
    ~OmniRigClient();

    OmniRigClient(const OmniRigClient &) = delete;
    OmniRigClient &operator=(const OmniRigClient &) = delete;

    // Connects unless a server is held already. A failed creation throws OmniRigError; a factory that
    // finds nothing leaves the client unconnected.
    void Connect();
    void Disconnect();
    bool isConnected() const { return static_cast<bool>(m_server); }

    IOmniRigX *DefaultInterface();
    IRigX *Rig1();
    IRigX *Rig2();
    bool DialogVisible();
    void SetDialogVisible(bool visible);

private:
    std::shared_ptr<IOmniRigFactory> m_factory;
    IOmniRigXEvents *m_handler;
    std::shared_ptr<IOmniRigX> m_server;
    int m_cookie = 0;
    bool m_advised = false;
};
