// The system menu's additions, the notification-area icon's pop-up menu, their commands, and the confirmed exit.
#include "panel/core/PanelCore.h"

#include "omnirig/TOmniRigX.h"

namespace Panel {

void PanelCore::BuildMenus()
{
    // The window's menu as it stands: edited, never rebuilt from the standard one.
    m_face.setSystemMenuText(CloseCommand, "&Quit\tAlt+F4");
    // Position 0 whatever it holds; on a standard window, Restore.
    m_face.removeSystemMenuItem(0);
    m_face.appendSystemMenuSeparator();
    m_face.appendSystemMenuItem(SettingsCommand, "OmniRig Settings");
    m_face.appendSystemMenuItem(CaliberCommand, "Offset Caliber");
    m_face.appendSystemMenuItem(AboutCommand, "&About...");

    const auto item = [this](TrayCommand command, const char *caption) {
        m_face.appendTrayMenuItem(static_cast<int>(command), caption);
    };
    item(TrayCommand::A2B, "A>B");
    item(TrayCommand::B2A, "B>A");
    item(TrayCommand::SWAP, "A<>B");
    item(TrayCommand::Settings, "OmniRig Settings");
    item(TrayCommand::Caliber, "Offset Caliber");
    item(TrayCommand::About, "About");
    item(TrayCommand::Exit, "Exit");
}

void PanelCore::SystemCommandMessage(int command)
{
    // The system's own handling first, so that moving, sizing, minimising and closing work as on any
    // window; Quit closes without asking.
    m_face.defaultSystemCommand(command);
    // The whole number: a standard command with the system's low bits set is none of ours.
    if (command == AboutCommand)
        AboutClick();
    else if (command == CaliberCommand)
        OffsetCaliber();
    else if (command == SettingsCommand)
        OmnirigVisible();
}

void PanelCore::OmnirigVisible()
{
    if (m_omniRigClient)
        m_omniRigClient->SetDialogVisible(true);
}

void PanelCore::AboutClick()
{
    m_face.executeAbout();
}

void PanelCore::ExitClick()
{
    const BoxAnswer answer =
        m_face.showBox({"Warning!", "Do you really want to exit?", BoxIcon::None, BoxButtons::OkCancel});
    if (answer != BoxAnswer::Ok)
        return;
    DeleteTrayIcon();
    windowClosing();
    m_face.close();
    // Ends every loop, also that of a box still open, so nothing more runs; the settings stay as last saved.
    m_face.exitNow();
}

void PanelCore::TrayIconMessage(bool rightButton)
{
    // Only the right button opens the menu.
    if (!rightButton)
        return;
    m_face.bringToFront();
    const Point at = m_face.cursorPosition();
    if (m_face.isMinimized())
        m_face.restore();
    m_face.popupTrayMenu(at);
}

} // namespace Panel
