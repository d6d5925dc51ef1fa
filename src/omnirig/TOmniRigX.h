// TOmniRigX: the panel's client of the rig server, its Qt face.
//
// Responsibilities: connect when needed (a running server first, else a new one, through a replaceable
// factory), hand out Rig1 and Rig2, show and hide the server's settings window, and turn the server's
// sink calls into Qt signals. Unsubscribes and releases the server when destroyed.
// Threads: GUI thread only; the server delivers its events on this thread.
#pragma once

#include "OmniRig_TLB.h"

#include <QObject>
#include <QVariant>

#include <memory>

class TOmniRigX : public QObject {
    Q_OBJECT

public:
    explicit TOmniRigX(QObject *parent = nullptr, std::shared_ptr<IOmniRigFactory> factory = defaultFactory());
    ~TOmniRigX() override;

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

    // Each connects if needed and throws OmniRigError (NotConnectedMessage) when there is still no server.
    IOmniRigX *DefaultInterface();
    IRigX *Rig1();
    IRigX *Rig2();
    bool DialogVisible();
    void SetDialogVisible(bool visible);

signals:
    void OnVisibleChange();
    void OnRigTypeChange(int RigNumber);
    void OnStatusChange(int RigNumber);
    void OnParamsChange(int RigNumber, int Params);
    void OnCustomReply(int RigNumber, const QVariant &Command, const QVariant &Reply);

private:
    class Sink;

    std::unique_ptr<Sink> m_sink;
    std::shared_ptr<IOmniRigFactory> m_factory;
    std::shared_ptr<IOmniRigX> m_server;
    int m_cookie = 0;
    bool m_advised = false;
};
