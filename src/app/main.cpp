// The process entry: the application, the rig server the panel talks to, and the panel.
#include "PanelArtwork.h"
#include "RigServerFactory.h"
#include "TOmniRigX.h"
#include "VE2Z.h"
#include "MessageBoxes.h"

#include <QApplication>

#include <memory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    MessageBoxes::setApplicationTitle(QStringLiteral("Velkor using OmniRig"));
    QApplication::setWindowIcon(PanelArtwork::mainIcon());
    // Docks and task bars find the menu entry, and with it the icon, by this name (on Wayland the only way).
    QGuiApplication::setDesktopFileName(QStringLiteral(VELKOR_APP_ID));
    TOmniRigX::setDefaultFactory(std::make_shared<RigServerFactory>());

    TSO2VPanel panel(QApplication::arguments());
    if (panel.startupEnded())
        return 1;
    panel.show();
    return QApplication::exec();
}
