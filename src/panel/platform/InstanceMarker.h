// InstanceMarker: the mark by which a copy of the program knows that another copy runs in the same user
// session. It belongs to the session: another user can neither take it nor block it, and the system frees it
// when its process ends, also on kill -9, so that a crashed copy never keeps the next one out.
// Each platform has its own file: InstanceMarker_linux.cpp holds an exclusive lock on a file in the user's
// private runtime folder.
// Collaborations: the panel claims it at start-up and releases it as it closes, before the rig server is taken
// down, so that a copy started right after closing is never refused.
// Threads: GUI thread.
#pragma once

#include <QObject>
#include <QString>

class InstanceMarker : public QObject {
    Q_OBJECT

public:
    explicit InstanceMarker(QObject *parent = nullptr);
    ~InstanceMarker() override;

    InstanceMarker(const InstanceMarker &) = delete;
    InstanceMarker &operator=(const InstanceMarker &) = delete;

    // "VELKOR" for the program. Tests give each of their processes a name of its own, so that they can run
    // side by side and beside a running program.
    static QString defaultName();
    static void setDefaultName(const QString &name);

    // Takes the mark for as long as this object lives or until release(). False only when another copy in
    // this session holds it; any other failure leaves this copy running unmarked rather than refusing it.
    bool claim(const QString &name = defaultName());
    // Gives the mark up; a later copy may then claim it while this process is still ending.
    void release();

private:
    // The platform's handle of the held mark (a descriptor, a HANDLE), -1 while none is held.
    qintptr m_handle = -1;
};
