#include "RigServerWindow.h"

#include "RigServer.h"

#include <QLabel>
#include <QVBoxLayout>

RigServerWindow::RigServerWindow(RigServer *server) : QWidget(nullptr, Qt::Window), m_server(server)
{
    setWindowTitle(QStringLiteral("OmniRig Settings"));
    auto *layout = new QVBoxLayout(this);
    m_summary = new QLabel(this);
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_summary);
}

void RigServerWindow::showEvent(QShowEvent *event)
{
    refresh();
    QWidget::showEvent(event);
}

void RigServerWindow::refresh()
{
    QString text;
    for (int n = 1; n <= 2; ++n) {
        const RigObject *rig = m_server->rig(n);
        const RigSettings &s = rig->settings();
        text += QStringLiteral("Rig%1: %2 (model %3, port \"%4\") - %5\n")
                    .arg(n)
                    .arg(QString::fromStdString(rig->state().rigType))
                    .arg(s.model)
                    .arg(QString::fromStdString(s.port))
                    .arg(QString::fromStdString(rig->state().statusText));
    }
    text += QStringLiteral("\nSettings file: %1").arg(m_server->settingsPath());
    m_summary->setText(text);
}
