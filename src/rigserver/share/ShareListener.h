// ShareListener: the TCP side of one shared rig: the listening socket and the programs connected to it.
//
// Responsibilities: listen on the address and port it is given, or stop; take up to MaxClients programs
// at once. When every place is taken, a new program takes the place of the one that has sent nothing for
// longest, if that one has been silent for ShareLimits::silentMs at least (a logger that leaks a connection
// per poll, or programs that connected and never spoke, would otherwise lock every other program out for
// good); else the new one is sent away at once and counted. The program that keyed the radio never gives its
// place up, so a newcomer never unkeys somebody's transmission. If the port cannot be had (another program
// holds it), say why and try again every few seconds, so sharing starts by itself once the port is free;
// carry each connection's writes to the rig object and their results back, by ticket, so a result whose
// program hung up meanwhile is dropped; unkey the radio when the program that keyed it last goes (it hung
// up, crashed or was sent away), since a digital-mode program that dies while transmitting would leave it
// keyed for good.
// Collaborations: RigShareServer makes it, moves it to a thread of its own and talks to it only through
// queued calls and signals; ShareConnection serves each program.
// Threads: the share's thread. Nothing here waits: sockets are read and written as they are ready.
#pragma once

#include "rigserver/share/ShareConnection.h"
#include "rigserver/share/SharedRigView.h"

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <map>
#include <memory>
#include <vector>

class QTcpServer;

// How long the share bears with a program; tests shorten them.
struct ShareLimits {
    int unfinishedLineMs = 10000; // a line not ended within this closes its connection
    int silentMs = 60000;         // silent this long, a program gives its place up to a new one when all are taken
};

class ShareListener final : public QObject {
    Q_OBJECT

public:
    static constexpr int MaxClients = 16;
    static constexpr int RetryMs = 3000;

    explicit ShareListener(std::shared_ptr<const SharedRigView> view, ShareLimits limits = {});

    // Queued from the GUI thread. An empty address stops listening and sends every program away.
    void listen(const QString &address, quint16 port);
    void finishWrite(quint64 ticket, int code);

signals:
    void clientsChanged(int count);
    // The programs sent away, all places being taken, since listening last started.
    void turnedAwayChanged(int count);
    void problemChanged(const QString &problem);
    // A write for the rig object; finishWrite(ticket, code) answers it.
    void writeRequested(quint64 ticket, int kind, qint64 value);

private:
    void tryListen();
    void accept();
    bool makeRoom();
    void dropAll();
    void remove(ShareConnection *connection);
    void letGo(ShareConnection *connection);
    void request(ShareConnection *from, const SharedWrite &write);
    void unkeyFor(const ShareConnection *connection);
    void setProblem(const QString &problem);

    std::shared_ptr<const SharedRigView> m_view;
    ShareLimits m_limits;
    QTcpServer *m_server;
    QTimer m_retry;
    QString m_address;
    quint16 m_port = 0;
    QString m_problem;
    int m_turnedAway = 0;
    std::vector<ShareConnection *> m_connections;
    std::map<quint64, QPointer<ShareConnection>> m_writes;
    quint64 m_nextTicket = 1;                 // 0 is the ticket of writes nobody waits for
    const ShareConnection *m_keyer = nullptr; // the program whose PTT write keyed the radio last, if it is keyed
};
