// CountingProxy: a TCP relay in front of a server (a rigctld) that keeps every line its clients send, so a
// test or benchmark can tell how many commands reached the server and which. It relays on a thread of its
// own, so it keeps answering while the thread that made it waits.
// Threads: made, read and destroyed on one thread; relays on its own.
#pragma once

#include <QMutex>
#include <QString>
#include <QStringList>
#include <QThread>

class CountingProxy {
public:
    explicit CountingProxy(quint16 targetPort);
    ~CountingProxy();

    CountingProxy(const CountingProxy &) = delete;
    CountingProxy &operator=(const CountingProxy &) = delete;

    // Listens on a free loopback port; false when it cannot.
    bool start();
    quint16 port() const { return m_port; }
    QString hostPort() const { return QStringLiteral("127.0.0.1:%1").arg(m_port); }

    // The lines clients sent since the last clear(), in order, without their line ends.
    QStringList commands() const;
    void clear();

private:
    class Relay;
    friend class Relay;
    void record(const QString &line);

    quint16 m_targetPort;
    quint16 m_port = 0;
    QThread m_thread;
    Relay *m_relay = nullptr;
    mutable QMutex m_mutex;
    QStringList m_commands;
};
