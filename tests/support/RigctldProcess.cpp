#include "RigctldProcess.h"

#include <QDeadlineTimer>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <signal.h>
#include <sys/types.h>

RigctldProcess::RigctldProcess(int model, quint16 port) : m_model(model), m_port(port ? port : freePort()) {}

RigctldProcess::~RigctldProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        resume();
        kill9();
    }
}

quint16 RigctldProcess::freePort()
{
    // Not a port the system hands out by itself: one it gave a listener or a connection's own end while this
    // port waits to be taken would make that taking fail. So a free port below the system's own range
    // (32768 and up on Linux), picked at random so that tests running side by side rarely meet.
    for (int attempt = 0; attempt < 200; ++attempt) {
        const auto port = static_cast<quint16>(20000 + QRandomGenerator::global()->bounded(12000));
        QTcpServer probe;
        if (probe.listen(QHostAddress::LocalHost, port))
            return port;
    }
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

bool RigctldProcess::start()
{
    QStringList args{QStringLiteral("-m"), QString::number(m_model), QStringLiteral("-t"), QString::number(m_port),
                     QStringLiteral("-T"), QStringLiteral("127.0.0.1")};
    if (m_model == 1)
        args << QStringLiteral("-P") << QStringLiteral("RIG");
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.start(QStringLiteral("rigctld"), args);
    if (!m_process.waitForStarted(5000)) {
        m_error = QStringLiteral("rigctld did not start: %1").arg(m_process.errorString());
        return false;
    }
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        auto socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(QHostAddress::LocalHost, m_port);
        if (socket->waitForConnected(200)) {
            // rigctld (4.5) resets a connection made a few milliseconds after another one closed; a probe
            // that went away at once would have the test's own first connection reset. So it stays.
            m_probe = std::move(socket);
            return true;
        }
        if (m_process.state() == QProcess::NotRunning)
            break;
        QThread::msleep(20);
    }
    m_error = QStringLiteral("rigctld does not listen on port %1").arg(m_port);
    return false;
}

void RigctldProcess::signal(int sig)
{
    if (m_process.processId() > 0)
        ::kill(static_cast<pid_t>(m_process.processId()), sig);
}

void RigctldProcess::kill9()
{
    signal(SIGKILL);
    m_process.waitForFinished(5000);
    m_probe.reset();
}

void RigctldProcess::stop()
{
    signal(SIGSTOP);
}

void RigctldProcess::resume()
{
    signal(SIGCONT);
}

bool RigctldProcess::restart()
{
    kill9();
    return start();
}

QStringList RigctldProcess::query(const QString &command) const
{
    // A busy machine may be slow to accept or answer; a query that got nothing is asked again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_port);
        if (!socket.waitForConnected(3000))
            continue;
        socket.write(command.toUtf8() + '\n');
        QByteArray answer;
        const QDeadlineTimer deadline(6000);
        // Plain replies have no end marker: read until the server has been quiet for a moment.
        while (!deadline.hasExpired() && socket.waitForReadyRead(answer.isEmpty() ? 5000 : 150))
            answer += socket.readAll();
        if (!answer.isEmpty())
            return QString::fromUtf8(answer).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    return {};
}
