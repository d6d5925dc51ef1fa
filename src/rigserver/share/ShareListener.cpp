#include "rigserver/share/ShareListener.h"

#include "rigserver/core/RigServerLog.h"

#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>

ShareListener::ShareListener(std::shared_ptr<const SharedRigView> view, ShareLimits limits)
    : m_view(std::move(view)), m_limits(limits), m_server(new QTcpServer(this))
{
    m_retry.setParent(this);
    m_retry.setSingleShot(true);
    m_retry.setInterval(RetryMs);
    connect(&m_retry, &QTimer::timeout, this, &ShareListener::tryListen);
    connect(m_server, &QTcpServer::newConnection, this, &ShareListener::accept);
}

void ShareListener::listen(const QString &address, quint16 port)
{
    if (address == m_address && port == m_port)
        return;
    m_retry.stop();
    m_server->close();
    dropAll();
    m_address = address;
    m_port = port;
    if (m_turnedAway != 0) {
        m_turnedAway = 0;
        emit turnedAwayChanged(0);
    }
    if (m_address.isEmpty()) {
        setProblem({});
        return;
    }
    tryListen();
}

void ShareListener::tryListen()
{
    // An address, never a name: a name lookup could take any time.
    const QHostAddress host = m_address.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0
                                  ? QHostAddress(QHostAddress::LocalHost)
                                  : QHostAddress(m_address);
    if (host.isNull()) {
        setProblem(QStringLiteral("ShareAddress %1 is not an IP address").arg(m_address));
        return;
    }
    if (m_server->listen(host, m_port)) {
        qCDebug(lcRigServer) << "share: listening on" << m_address << m_port;
        setProblem({});
        return;
    }
    setProblem(
        QStringLiteral("Cannot listen on %1 port %2: %3").arg(m_address).arg(m_port).arg(m_server->errorString()));
    m_retry.start();
}

void ShareListener::accept()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        if (static_cast<int>(m_connections.size()) >= MaxClients && !makeRoom()) {
            qCDebug(lcRigServer) << "share: already" << MaxClients << "programs connected; sending one away";
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            socket->disconnectFromHost();
            emit turnedAwayChanged(++m_turnedAway);
            continue;
        }
        auto *connection = new ShareConnection(
            socket, *m_view, [this](ShareConnection *from, const SharedWrite &write) { request(from, write); },
            m_limits.unfinishedLineMs, this);
        connect(connection, &ShareConnection::closed, this, &ShareListener::remove);
        m_connections.push_back(connection);
        emit clientsChanged(static_cast<int>(m_connections.size()));
    }
}

bool ShareListener::makeRoom()
{
    ShareConnection *quietest = nullptr;
    for (ShareConnection *connection : m_connections)
        if (connection != m_keyer && (!quietest || connection->silentMs() > quietest->silentMs()))
            quietest = connection;
    if (!quietest || quietest->silentMs() < m_limits.silentMs)
        return false;
    qCDebug(lcRigServer) << "share: every place taken; a program silent for" << quietest->silentMs()
                         << "ms gives its place up";
    m_connections.erase(std::find(m_connections.begin(), m_connections.end(), quietest));
    letGo(quietest);
    return true;
}

void ShareListener::request(ShareConnection *from, const SharedWrite &write)
{
    // Counted from the request on: a program may hang up before its write has reached the rig object, which
    // still runs it.
    if (write.kind == SharedWrite::Ptt)
        m_keyer = write.value != 0 ? from : nullptr;
    const quint64 ticket = m_nextTicket++;
    m_writes.emplace(ticket, from);
    emit writeRequested(ticket, write.kind, write.value);
}

void ShareListener::unkeyFor(const ShareConnection *connection)
{
    if (!m_keyer || m_keyer != connection)
        return;
    m_keyer = nullptr;
    qCDebug(lcRigServer) << "share: the program that keyed the radio is gone; unkeying it";
    // Queued after that program's own writes, so it comes last.
    emit writeRequested(0, SharedWrite::Ptt, 0);
}

void ShareListener::finishWrite(quint64 ticket, int code)
{
    const auto it = m_writes.find(ticket);
    if (it == m_writes.end())
        return;
    const QPointer<ShareConnection> connection = it->second;
    m_writes.erase(it);
    if (connection)
        connection->finishWrite(code);
}

void ShareListener::remove(ShareConnection *connection)
{
    const auto it = std::find(m_connections.begin(), m_connections.end(), connection);
    if (it == m_connections.end())
        return;
    m_connections.erase(it);
    unkeyFor(connection);
    connection->deleteLater();
    emit clientsChanged(static_cast<int>(m_connections.size()));
}

void ShareListener::dropAll()
{
    const std::vector<ShareConnection *> connections = std::move(m_connections);
    m_connections.clear();
    for (ShareConnection *connection : connections)
        letGo(connection);
    m_writes.clear();
    if (!connections.empty())
        emit clientsChanged(0);
}

// Hangs up on a connection no longer counted among m_connections.
void ShareListener::letGo(ShareConnection *connection)
{
    unkeyFor(connection);
    connection->disconnect(this);
    // Its bytes may still be waiting on this thread: a write it asked for now could not be unkeyed.
    connection->hangUp();
    connection->deleteLater();
}

void ShareListener::setProblem(const QString &problem)
{
    if (problem == m_problem)
        return;
    m_problem = problem;
    emit problemChanged(problem);
}
