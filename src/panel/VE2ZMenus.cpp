// The system menu's additions, the notification-area icon's pop-up menu, their commands, and the confirmed exit.
#include "VE2Z.h"

#include "AboutDlg.h"
#include "TOmniRigX.h"
#include "platform/InstanceMarker.h"
#include "platform/MessageBoxes.h"
#include "platform/SystemMenu.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QMenu>

void TSO2VPanel::BuildMenus()
{
    // The window's menu as it stands: edited, never rebuilt from the standard one.
    m_systemMenu->setCommandText(SystemMenu::ScClose, QStringLiteral("&Quit\tAlt+F4"));
    // Position 0 whatever it holds; on a standard window, Restore.
    m_systemMenu->removeAt(0);
    m_systemMenu->appendSeparator();
    m_systemMenu->append(SettingsCommand, QStringLiteral("OmniRig Settings"));
    m_systemMenu->append(CaliberCommand, QStringLiteral("Offset Caliber"));
    m_systemMenu->append(AboutCommand, QStringLiteral("&About..."));

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

void TSO2VPanel::SystemCommandMessage(int command)
{
    // The system's own handling first, so that moving, sizing, minimising and closing work as on any
    // window; Quit closes without asking.
    SystemMenu::defaultProcessing(this, command);
    // The whole number: a standard command with the system's low bits set is none of ours.
    if (command == AboutCommand)
        AboutClick();
    else if (command == CaliberCommand)
        OffsetCaliber();
    else if (command == SettingsCommand)
        OmnirigVisible();
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
    releaseInstanceMark();
    close();
    // Ends every loop, also that of a box still open, so nothing more runs; the settings stay as last saved.
    QCoreApplication::exit(0);
}

void TSO2VPanel::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (!event->isAccepted())
        return;
    releaseInstanceMark();
    // Closing the panel ends the program, also while the rig server's settings window is open: that window
    // lives in this process, and would keep it running with no panel. Queued, so the panel has closed first.
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
}

void TSO2VPanel::releaseInstanceMark()
{
    // First of all that ends the program: taking the rig server down may take a moment, and a copy started
    // meanwhile must not be refused.
    if (m_instanceMapping)
        m_instanceMapping->release();
}

void TSO2VPanel::TrayIconMessage(QSystemTrayIcon::ActivationReason reason)
{
    // Only the right button opens the menu; Qt reports it as the context request. A left click is Trigger.
    if (reason != QSystemTrayIcon::Context)
        return;
    raise();
    activateWindow();
    const QPoint at = QCursor::pos();
    if (isMinimized()) {
        showNormal();
        raise();
        activateWindow();
    }
    m_trayMenu->popup(at);
}
