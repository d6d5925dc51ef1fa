// RigShareServer: a rig shared with other programs through the rigctld protocol, so that a logger or a
// digital-mode program uses the same radio as the panel, as Hamlib's network rig (model 2, "NET rigctl").
//
// Responsibilities: keep the rig's view for the share's thread up to date whenever the rig object raises
// an event; run the writes of connected programs through the rig object's SetFreq, SetMode and SetTx, the
// way the panel's clicks go, so that both are queued, coalesced and ordered by the same worker and a
// program's write reaches the panel as any change of the radio does; start, move and stop the listener as
// the settings say. Reads are answered from the rig object's cache, so however many programs poll, the radio
// hears only the rig's own polls.
// Where it runs, and why: the listener and its connections live on a thread of their own, started when the
// rig is first shared (a rig never shared costs neither the thread nor a socket). A program that floods the
// share costs that thread, not the GUI thread, whose event loop only sees the rig's events and the programs'
// writes (each a few microseconds, and coalesced by the worker). The GUI thread never waits for the share's
// thread: they talk by queued calls, and the view is handed over under a lock held for a pointer copy.
// Writes are answered once the GUI thread has queued them, so that a program's next read already sees its
// write; reads meanwhile go on for every other program.
// Collaborations: RigServer makes it through RigServerFactory's maker and hands it the rig's settings;
// ShareListener on the share's thread; SharedRigView between the threads.
// Threads: GUI thread; its listener lives on the share's thread, which ends with it.
#pragma once

#include "rigserver/core/RigObject.h"
#include "rigserver/core/RigShare.h"
#include "rigserver/share/ShareListener.h"
#include "rigserver/share/SharedRigView.h"

#include <QThread>

#include <memory>

class RigShareServer final : public RigShare {
    Q_OBJECT

public:
    explicit RigShareServer(RigObject &rig, ShareLimits limits = {});
    ~RigShareServer() override;

    void configure(const RigSettings &settings) override;
    int clientCount() const override { return m_clients; }
    int turnedAwayCount() const override { return m_turnedAway; }
    QString problem() const override { return m_problem; }

private:
    void startListener();
    void refresh();
    void runWrite(quint64 ticket, int kind, qint64 value);

    RigObject &m_rig;
    ShareLimits m_limits;
    std::shared_ptr<SharedRigView> m_view = std::make_shared<SharedRigView>();
    QThread m_thread;
    ShareListener *m_listener = nullptr; // on m_thread, once the rig has been shared
    QString m_address;                   // where the listener was last told to listen; empty when not shared
    quint16 m_port = 0;
    int m_clients = 0;
    int m_turnedAway = 0;
    QString m_problem;
};
