// FakeRigctld: a TCP peer that speaks as a rigctld would, or as a broken one: each command line it
// receives is answered by a script. Runs on the thread that made it (the test's), so the test must spin
// the event loop (QTRY_ / QSignalSpy::wait) while a client talks to it.
#pragma once

#include <QByteArray>
#include <QList>
#include <QTcpServer>

#include <functional>

class QTcpSocket;

class FakeRigctld : public QObject {
    Q_OBJECT

public:
    // What to do with one command: the bytes to send back, and whether to close the connection afterwards.
    struct Answer {
        QByteArray bytes;
        bool close = false;
    };
    using Script = std::function<Answer(const QByteArray &commandLine)>;

    FakeRigctld();

    // Answers like rigctld with a Dummy rig at 14.074 MHz USB, PTT off.
    static Answer healthy(const QByteArray &commandLine);

    void setScript(Script script) { m_script = std::move(script); }
    quint16 port() const { return m_server.serverPort(); }
    QString hostPort() const { return QStringLiteral("127.0.0.1:%1").arg(port()); }
    int connections() const { return m_connections; }
    int commands() const { return m_commands; }

private:
    void accept();
    void read(QTcpSocket *socket);

    QTcpServer m_server;
    Script m_script;
    int m_connections = 0;
    int m_commands = 0;
};
