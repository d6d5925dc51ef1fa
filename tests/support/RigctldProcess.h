// RigctldProcess: a real rigctld on a free loopback port, for tests and benchmarks. Faults are injected
// by process id: kill -9, SIGSTOP and SIGCONT, and a restart on the same port.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTcpSocket>

#include <memory>

class RigctldProcess {
public:
    // model 1 is Hamlib's Dummy rig (with PTT through the rig), 6 the Dummy without VFO.
    explicit RigctldProcess(int model = 1, quint16 port = 0);
    ~RigctldProcess();

    RigctldProcess(const RigctldProcess &) = delete;
    RigctldProcess &operator=(const RigctldProcess &) = delete;

    // Starts it and waits until it accepts connections; false (with the reason in error()) when it does not.
    bool start();
    void kill9();
    void stop();     // SIGSTOP
    void resume();   // SIGCONT
    bool restart();  // kill -9, then start again on the same port

    quint16 port() const { return m_port; }
    QString hostPort() const { return QStringLiteral("127.0.0.1:%1").arg(m_port); }
    qint64 pid() const { return m_process.processId(); }
    QString error() const { return m_error; }

    // One command through a fresh connection, as a script would send it; the reply's lines.
    QStringList query(const QString &command) const;

    // A loopback port nothing listens on, outside the range the system picks ports from by itself.
    static quint16 freePort();

private:
    void signal(int sig);

    int m_model;
    quint16 m_port;
    QProcess m_process;
    QString m_error;
    std::unique_ptr<QTcpSocket> m_probe; // held while it runs
};
