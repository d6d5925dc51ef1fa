#include "CountingProxy.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

class CountingProxy::Relay : public QObject {
public:
    Relay(CountingProxy &owner, quint16 targetPort) : m_owner(owner), m_targetPort(targetPort) {}

    quint16 listen()
    {
        m_server = new QTcpServer(this);
        if (!m_server->listen(QHostAddress::LocalHost, 0))
            return 0;
        connect(m_server, &QTcpServer::newConnection, this, &Relay::accept);
        return m_server->serverPort();
    }

private:
    void accept()
    {
        while (QTcpSocket *client = m_server->nextPendingConnection()) {
            auto *upstream = new QTcpSocket(client);
            upstream->connectToHost(QHostAddress::LocalHost, m_targetPort);
            if (!upstream->waitForConnected(2000)) {
                client->deleteLater();
                continue;
            }
            auto *pending = new QByteArray;
            connect(client, &QObject::destroyed, this, [pending] { delete pending; });
            connect(client, &QTcpSocket::readyRead, this, [this, client, upstream, pending] {
                const QByteArray data = client->readAll();
                upstream->write(data);
                pending->append(data);
                qsizetype end;
                while ((end = pending->indexOf('\n')) >= 0) {
                    m_owner.record(QString::fromUtf8(pending->left(end)).trimmed());
                    pending->remove(0, end + 1);
                }
            });
            connect(upstream, &QTcpSocket::readyRead, client,
                    [client, upstream] { client->write(upstream->readAll()); });
            connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
            connect(upstream, &QTcpSocket::disconnected, client, &QTcpSocket::disconnectFromHost);
        }
    }

    CountingProxy &m_owner;
    quint16 m_targetPort;
    QTcpServer *m_server = nullptr;
};

CountingProxy::CountingProxy(quint16 targetPort) : m_targetPort(targetPort)
{
}

CountingProxy::~CountingProxy()
{
    if (m_relay)
        QMetaObject::invokeMethod(
            m_relay, [this] { delete m_relay; }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

bool CountingProxy::start()
{
    m_thread.start();
    m_relay = new Relay(*this, m_targetPort);
    m_relay->moveToThread(&m_thread);
    QMetaObject::invokeMethod(
        m_relay, [this] { m_port = m_relay->listen(); }, Qt::BlockingQueuedConnection);
    return m_port != 0;
}

QStringList CountingProxy::commands() const
{
    QMutexLocker lock(&m_mutex);
    return m_commands;
}

void CountingProxy::clear()
{
    QMutexLocker lock(&m_mutex);
    m_commands.clear();
}

void CountingProxy::record(const QString &line)
{
    QMutexLocker lock(&m_mutex);
    m_commands << line;
}
