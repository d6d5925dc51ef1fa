#include "FakeRigctld.h"

#include <QTcpSocket>

FakeRigctld::FakeRigctld() : m_script(healthy)
{
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, &FakeRigctld::accept);
}

FakeRigctld::Answer FakeRigctld::healthy(const QByteArray &commandLine)
{
    const QByteArray command = commandLine.trimmed();
    if (command == "+\\dump_caps")
        return {"dump_caps:\nCaps dump for model: 1\nModel name:\tFake\nMfg name:\tTest\n"
                "Can get Frequency:\tY\nCan set Frequency:\tY\nCan get Mode:\tY\nCan set Mode:\tY\n"
                "Can get PTT:\tY\nRPRT 0\n"};
    if (command == "+f")
        return {"get_freq:\nFrequency: 14074000\nRPRT 0\n"};
    if (command == "+m")
        return {"get_mode:\nMode: USB\nPassband: 2400\nRPRT 0\n"};
    if (command == "+t")
        return {"get_ptt:\nPTT: 0\nRPRT 0\n"};
    if (command.startsWith("+F "))
        return {"set_freq: " + command.mid(3) + "\nRPRT 0\n"};
    if (command.startsWith("+M "))
        return {"set_mode: " + command.mid(3) + "\nRPRT 0\n"};
    return {"RPRT -4\n"};
}

void FakeRigctld::accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        ++m_connections;
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void FakeRigctld::read(QTcpSocket *socket)
{
    while (socket->canReadLine()) {
        const QByteArray line = socket->readLine();
        ++m_commands;
        const Answer answer = m_script(line);
        socket->write(answer.bytes);
        if (answer.close) {
            socket->flush();
            socket->disconnectFromHost();
            return;
        }
    }
}
