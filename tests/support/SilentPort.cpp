#include "SilentPort.h"

#include <QTest>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

SilentPort::SilentPort()
{
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        m_master = m_slave = -1;
        return;
    }
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);
    m_path = QString::fromLocal8Bit(name);
}

SilentPort::~SilentPort()
{
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
}

QByteArray SilentPort::settingsSection(int rigNumber) const
{
    return QStringLiteral("[Rig%1]\nModel=3073\nPort=%2\nTimeoutMs=10000\nConf=\n")
        .arg(QString::number(rigNumber), m_path)
        .toUtf8();
}

bool SilentPort::waitForQuestion(int ms)
{
    return QTest::qWaitFor(
        [this] {
            pollfd ready{m_master, POLLIN, 0};
            if (::poll(&ready, 1, 0) != 1 || !(ready.revents & POLLIN))
                return false;
            char discard[256];
            while (::read(m_master, discard, sizeof discard) > 0) {
            }
            return true;
        },
        ms);
}
