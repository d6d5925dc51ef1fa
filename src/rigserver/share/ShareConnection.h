// ShareConnection: one program connected to a shared rig.
//
// Responsibilities: cut the program's bytes into lines and answer each in turn, from the rig's view or,
// for a write, once the rig object has taken it, so that a read after a write sees it. Everything a program
// can send is bounded: a line longer than MaxLine gets an error and the connection is closed (the rest of
// that stream cannot be read as commands); at most ReadBuffer bytes are taken from the socket at a time, so
// a program that sends faster than it is answered is slowed down by TCP itself; answers stop while more
// than MaxUnsent bytes wait for a program that does not read them; at most CommandsPerTurn lines are
// answered before the other connections get their turn; a line not ended within the unfinished-line limit
// closes the connection, so a program cannot hold its place by sending a byte now and then. It keeps the
// time the program last sent anything, by which the listener finds the connection silent longest. A program
// that hangs up in the middle of a line leaves nothing behind: only whole lines are commands. A program that
// ends its stream (a script piping its commands) gets the answers to everything read before that end, except
// past a write still on its way to the rig object: QTcpSocket closes at the end of the stream, so those
// answers cannot be sent; the write is made.
// Collaborations: ShareListener accepts it and carries its writes to the rig object; RigctldCommand and
// RigctldResponder read and answer the lines.
// Threads: the share's thread, as is its socket.
#pragma once

#include "rigserver/rigctld/RigctldCommand.h"
#include "rigserver/share/SharedRigView.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>

class QTcpSocket;

class ShareConnection final : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 MaxLine = 1024;
    static constexpr qint64 ReadBuffer = 4 * MaxLine;
    static constexpr qint64 MaxUnsent = 64 * 1024;
    static constexpr int CommandsPerTurn = 32;

    using WriteRequest = std::function<void(ShareConnection *, const SharedWrite &)>;

    // Takes the socket over. requestWrite carries a write to the rig object; finishWrite() brings its result.
    ShareConnection(QTcpSocket *socket, const SharedRigView &view, WriteRequest requestWrite, int unfinishedLineMs,
                    QObject *parent);

    void finishWrite(int code);
    // How long the program has sent nothing.
    qint64 silentMs() const { return m_heard.elapsed(); }
    // Answers nothing more, sends what is queued and closes; closed() follows.
    void hangUp();

signals:
    // The program hung up or was sent away; the connection may be deleted.
    void closed(ShareConnection *connection);

private:
    void serve();
    void serveLines();
    void serveLater();
    void answer(QByteArray line);
    void lineUnfinished();

    QTcpSocket *m_socket;
    const SharedRigView &m_view;
    WriteRequest m_requestWrite;
    RigctldSession m_session;
    std::optional<RigctldCommand> m_writing; // a write the rig object has not taken yet
    QElapsedTimer m_heard;
    QTimer m_unfinishedLine; // runs from the first byte of a line not yet ended
    bool m_serveQueued = false;
    bool m_hungUp = false;
};
