// SilentPort: a serial line with no radio on it, made as a pseudo-terminal whose other end never answers.
// The test keeps that other end, so it can tell when something was sent and is waiting for an answer.
#pragma once

#include <QByteArray>
#include <QString>

class SilentPort {
public:
    SilentPort();
    ~SilentPort();

    SilentPort(const SilentPort &) = delete;
    SilentPort &operator=(const SilentPort &) = delete;

    bool isOpen() const { return m_master >= 0; }
    // The device a radio's settings name as their port.
    const QString &path() const { return m_path; }
    // The rig server's settings section for an Icom IC-7300 on this line at a 10 s timeout: its Hamlib back
    // end keeps rig_open busy for many timeouts when the radio is silent.
    QByteArray settingsSection(int rigNumber) const;
    // Spins the event loop until something was sent to the radio (and takes it), at most ms.
    bool waitForQuestion(int ms = 10000);

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
};
