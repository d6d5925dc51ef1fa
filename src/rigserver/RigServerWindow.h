// RigServerWindow: the rig server's settings window ("OmniRig Settings").
// Threads: GUI thread.
#pragma once

#include <QWidget>

class RigServer;
class QLabel;

class RigServerWindow final : public QWidget {
    Q_OBJECT

public:
    explicit RigServerWindow(RigServer *server);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void refresh();

    RigServer *m_server;
    QLabel *m_summary;
};
