#include "rigserver/share/ShareConnection.h"

#include "rigserver/core/RigServerLog.h"

#include <QTcpSocket>

ShareConnection::ShareConnection(QTcpSocket *socket, const SharedRigView &view, WriteRequest requestWrite,
                                 int unfinishedLineMs, QObject *parent)
    : QObject(parent), m_socket(socket), m_view(view), m_requestWrite(std::move(requestWrite))
{
    m_heard.start();
    m_unfinishedLine.setParent(this);
    m_unfinishedLine.setSingleShot(true);
    m_unfinishedLine.setTimerType(Qt::PreciseTimer); // a coarse one may end a line's time up to 5% early
    m_unfinishedLine.setInterval(unfinishedLineMs);
    connect(&m_unfinishedLine, &QTimer::timeout, this, &ShareConnection::lineUnfinished);
    m_socket->setParent(this);
    m_socket->setReadBufferSize(ReadBuffer);
    connect(m_socket, &QTcpSocket::readyRead, this, [this] {
        m_heard.start();
        serve();
    });
    // Queued: serve() itself writes out its answers, and this is called from within that.
    connect(m_socket, &QTcpSocket::bytesWritten, this, [this] {
        if (m_socket->bytesToWrite() <= MaxUnsent)
            serveLater();
    });
    connect(m_socket, &QTcpSocket::disconnected, this, [this] {
        m_hungUp = true;
        emit closed(this);
    });
    serveLater();
}

void ShareConnection::serveLater()
{
    if (m_serveQueued)
        return;
    m_serveQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_serveQueued = false;
            serve();
        },
        Qt::QueuedConnection);
}

void ShareConnection::serve()
{
    serveLines();
    // Hand the answers to the system now, not on the next turn of the event loop: a program that ends its
    // stream once it has sent its commands (a script piping them) is closed on by QTcpSocket as soon as the
    // end is read, and whatever the socket still held would be lost.
    m_socket->flush();
}

void ShareConnection::serveLines()
{
    for (int served = 0; served < CommandsPerTurn; ++served) {
        if (m_writing || m_hungUp || m_socket->bytesToWrite() > MaxUnsent)
            return; // the write's result, or the program reading its answers, brings the next turn
        if (!m_socket->canReadLine()) {
            if (m_socket->bytesAvailable() > MaxLine) {
                qCDebug(lcRigServer) << "share: a line longer than" << MaxLine << "bytes; hanging up";
                m_socket->write(RigctldResponder::errorReply(RigctldResponder::InvalidParameter).c_str());
                hangUp();
            } else if (m_socket->bytesAvailable() > 0 && !m_unfinishedLine.isActive()) {
                m_unfinishedLine.start();
            }
            return; // the rest of the line brings the next turn
        }
        m_unfinishedLine.stop(); // what follows this line is a line of its own
        QByteArray line = m_socket->readLine(MaxLine + 2);
        if (!line.endsWith('\n')) {
            qCDebug(lcRigServer) << "share: a line longer than" << MaxLine << "bytes; hanging up";
            m_socket->write(RigctldResponder::errorReply(RigctldResponder::InvalidParameter).c_str());
            hangUp();
            return;
        }
        answer(std::move(line));
    }
    // Other programs' lines first; this one's are answered on the next turn.
    if (m_socket->canReadLine())
        serveLater();
}

void ShareConnection::answer(QByteArray line)
{
    line.chop(1);
    const std::optional<RigctldCommand> command =
        RigctldCommand::parse(std::string_view(line.constData(), line.size()));
    if (!command)
        return;
    const RigctldAnswer answer = RigctldResponder::answer(*command, *m_view.get(), m_session);
    if (!command->known)
        qCDebug(lcRigServer) << "share: not served:" << QByteArray::fromStdString(command->name).left(40);
    if (answer.write) {
        m_writing = *command;
        m_requestWrite(this, *answer.write);
        return;
    }
    m_socket->write(answer.reply.data(), static_cast<qint64>(answer.reply.size()));
    if (answer.hangUp)
        hangUp();
}

void ShareConnection::lineUnfinished()
{
    // A whole line may be waiting for its turn (behind a write): only a line not ended is held against it.
    if (m_hungUp || m_socket->canReadLine() || m_socket->bytesAvailable() == 0)
        return;
    qCDebug(lcRigServer) << "share: a line unfinished for" << m_unfinishedLine.interval() << "ms; hanging up";
    hangUp();
}

void ShareConnection::finishWrite(int code)
{
    if (!m_writing)
        return;
    const std::string reply = RigctldResponder::writeReply(*m_writing, code);
    m_writing.reset();
    if (m_hungUp)
        return;
    m_socket->write(reply.data(), static_cast<qint64>(reply.size()));
    serve();
}

void ShareConnection::hangUp()
{
    m_hungUp = true;
    // Sends what is still queued, then closes; disconnected() follows.
    m_socket->disconnectFromHost();
}
