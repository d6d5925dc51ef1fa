// The process entry: the application, the rig server the panel talks to, and the panel.
#include "omnirig/TOmniRigX.h"
#include "panel/qt/MessageBoxes.h"
#include "panel/qt/VE2Z.h"
#include "panel/resources/PanelArtwork.h"
#include "rigserver/RigServerFactory.h"
#include "rigserver/core/RigObject.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <memory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    MessageBoxes::setApplicationTitle(QStringLiteral("Velkor using OmniRig"));
    QApplication::setWindowIcon(PanelArtwork::mainIcon());
    // Docks and task bars find the menu entry, and with it the icon, by this name (on Wayland the only way).
    QGuiApplication::setDesktopFileName(QStringLiteral(VELKOR_APP_ID));
    TOmniRigX::setDefaultFactory(std::make_shared<RigServerFactory>());

    int code = 1;
    {
        TSO2VPanel panel(QApplication::arguments());
        if (!panel.startupEnded()) {
            panel.show();
            code = QApplication::exec();
        }
    }
    // The panel has let go of the rig server. A rig thread still caught in a radio call would run on under
    // the application's and the static destructors: leave without them; everything the program keeps is
    // already written.
    if (RigObject::abandonedThreads() > 0) {
        std::fflush(nullptr);
        std::_Exit(code);
    }
    return code;
}
