// The notification-area icon's pop-up menu, its commands, and the confirmed exit.
#include "VE2Z.h"

#include "AboutDlg.h"
#include "TOmniRigX.h"
#include "platform/MessageBoxes.h"

#include <QCoreApplication>
#include <QCursor>
#include <QMenu>

void TSO2VPanel::BuildMenus()
{
    m_trayMenu = new QMenu(this);
    m_trayMenu->setObjectName(QStringLiteral("TrayMenu"));
    const auto item = [this](const QString &caption, void (TSO2VPanel::*handler)()) {
        QAction *action = m_trayMenu->addAction(caption);
        connect(action, &QAction::triggered, this,
                [this, handler] { m_guard.run([this, handler] { (this->*handler)(); }); });
    };
    item(QStringLiteral("A>B"), &TSO2VPanel::A2BClick);
    item(QStringLiteral("B>A"), &TSO2VPanel::B2AClick);
    item(QStringLiteral("A<>B"), &TSO2VPanel::SWAPClick);
    item(QStringLiteral("OmniRig Settings"), &TSO2VPanel::OmnirigVisible);
    item(QStringLiteral("Offset Caliber"), &TSO2VPanel::OffsetCaliber);
    item(QStringLiteral("About"), &TSO2VPanel::AboutClick);
    item(QStringLiteral("Exit"), &TSO2VPanel::ExitClick);
}

void TSO2VPanel::OmnirigVisible()
{
    if (m_omniRigClient)
        m_omniRigClient->SetDialogVisible(true);
}

void TSO2VPanel::AboutClick()
{
    m_aboutDialog->Execute();
}

void TSO2VPanel::ExitClick()
{
    const QMessageBox::StandardButton answer =
        MessageBoxes::show(this, {QStringLiteral("Warning!"), QStringLiteral("Do you really want to exit?"),
                                  MessageBoxes::Icon::None, QMessageBox::Ok | QMessageBox::Cancel});
    if (answer != QMessageBox::Ok)
        return;
    DeleteTrayIcon();
    close();
    QCoreApplication::exit(0);
}

void TSO2VPanel::TrayIconMessage(QSystemTrayIcon::ActivationReason reason)
{
    // Only the right button opens the menu; Qt reports it as the context request.
    if (reason != QSystemTrayIcon::Context)
        return;
    raise();
    activateWindow();
    const QPoint at = QCursor::pos();
    if (isMinimized())
        showNormal();
    m_trayMenu->popup(at);
}
