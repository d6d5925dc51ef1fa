// TOmniRigX: the panel's client of the rig server.
//
// Responsibilities: connect when needed (a running server first, else a new one, through a replaceable
// factory), hand out Rig1 and Rig2, show and hide the server's settings window, and pass the server's events
// on to the one sink the panel gives it. Unsubscribes and releases the server when destroyed. Plain C++, so
// every face of the panel uses the same client, whatever server stands behind the factory.
// Threads: the panel's thread only; the server delivers its events on this thread.
#pragma once

#include "omnirig/OmniRig_TLB.h"

#include <memory>

class TOmniRigX {
public:
    // events hears the server's events from the first connection on; it may be null (the client still
    // subscribes, since a server may start its work with its first subscriber), and it must outlive the client.
    explicit TOmniRigX(IOmniRigXEvents *events = nullptr, std::shared_ptr<IOmniRigFactory> factory = defaultFactory());
    ~TOmniRigX();

    TOmniRigX(const TOmniRigX &) = delete;
    TOmniRigX &operator=(const TOmniRigX &) = delete;

    // The factory new clients use when none is given. The program installs its rig server's factory at
    // start; tests install their own.
    static std::shared_ptr<IOmniRigFactory> defaultFactory();
    static void setDefaultFactory(std::shared_ptr<IOmniRigFactory> factory);

    // Connects unless a server is held already. A failed creation throws OmniRigError; a factory that
    // gives nothing leaves the client unconnected.
    void Connect();
    void Disconnect();
    bool isConnected() const { return static_cast<bool>(m_server); }

    // Each connects if needed and throws OmniRigNotConnected (NotConnectedMessage) when there is still no server.
    IOmniRigX *DefaultInterface();
    IRigX *Rig1();
    IRigX *Rig2();
    bool DialogVisible();
    void SetDialogVisible(bool visible);

private:
    class Sink;

    std::unique_ptr<Sink> m_sink;
    std::shared_ptr<IOmniRigFactory> m_factory;
    std::shared_ptr<IOmniRigX> m_server;
    int m_cookie = 0;
    bool m_advised = false;
};
