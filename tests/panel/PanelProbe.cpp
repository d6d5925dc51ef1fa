// panel_probe: the panel in a process of its own, for the tests that need one (a second copy, a copy killed
// with kill -9, a settings folder that only another user may write to).
//
//   panel_probe [--marker NAME] [--unprivileged] [--quit] [-- PANEL ARGUMENTS...]
//
// It runs on a fake rig server and prints each message box as "message: <caption>|<text>" (answered OK)
// instead of showing it, then "started" once its window is on screen. It runs until it is killed; with
// --quit it prints "visible=1" (or 0) and exits instead.
// Exit codes: 0 ran, 1 start-up ended the program, 2 usage, 3 the user could not be changed.
#include "FakeOmniRig.h"
#include "omnirig/TOmniRigX.h"
#include "panel/platform/InstanceMarker.h"
#include "panel/qt/MessageBoxes.h"
#include "panel/qt/VE2Z.h"

#include <QApplication>
#include <QTest>

#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

constexpr uid_t Nobody = 65534;

void say(const QString &line)
{
    std::fputs(qPrintable(line + u'\n'), stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QString marker;
    bool unprivileged = false;
    bool quit = false;
    QStringList panelArguments{QStringLiteral("velkor")};
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--marker") && i + 1 < argc) {
            marker = QString::fromLocal8Bit(argv[++i]);
        } else if (!std::strcmp(argv[i], "--unprivileged")) {
            unprivileged = true;
        } else if (!std::strcmp(argv[i], "--quit")) {
            quit = true;
        } else if (!std::strcmp(argv[i], "--")) {
            for (++i; i < argc; ++i)
                panelArguments << QString::fromLocal8Bit(argv[i]);
        } else {
            return 2;
        }
    }
    // Root writes through any permission bits, so the tests of read-only folders run as nobody.
    if (unprivileged && geteuid() == 0 && (setgid(Nobody) != 0 || setuid(Nobody) != 0))
        return 3;

    QApplication app(argc, argv);
    MessageBoxes::setApplicationTitle(QStringLiteral("Velkor using OmniRig"));
    MessageBoxes::setHandler([](QWidget *, const MessageBoxes::Request &request) {
        say(QStringLiteral("message: ") + request.caption + u'|' + request.text);
        return QMessageBox::Ok;
    });
    if (!marker.isEmpty())
        InstanceMarker::setDefaultName((marker).toStdString());
    TOmniRigX::setDefaultFactory(std::make_shared<FakeOmniRigFactory>());

    TSO2VPanel panel(panelArguments);
    if (panel.startupEnded())
        return 1;
    panel.show();
    const bool exposed = QTest::qWaitForWindowExposed(&panel);
    if (quit) {
        say(QStringLiteral("visible=%1").arg(exposed && panel.isVisible() ? 1 : 0));
        return 0;
    }
    say(QStringLiteral("started"));
    return QApplication::exec();
}
