// InstanceMarker: the mark by which a copy of the program knows that another copy runs. It is an
// abstract-namespace local socket: the kernel frees the name when its process ends, also on kill -9, where
// shared memory or a socket file would stay behind and lock every later start out.
// Threads: GUI thread.
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

class InstanceMarker : public QObject {
    Q_OBJECT

public:
    explicit InstanceMarker(QObject *parent = nullptr);

    // "VELKOR" for the program. Tests give each of their processes a name of its own, so that they can run
    // side by side and beside a running program.
    static QString defaultName();
    static void setDefaultName(const QString &name);

    // Takes the name for as long as this object lives. False only when another process holds it; any other
    // failure leaves this copy running unmarked rather than refusing it.
    bool claim(const QString &name = defaultName());
    bool isHeld() const;

private:
    QLocalServer *m_server;
};
