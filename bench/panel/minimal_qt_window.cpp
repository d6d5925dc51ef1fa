// The yardstick of bench_panel_startup: a minimal Qt Widgets program (one window, one label) that links Qt
// Widgets and nothing else, so its memory is what any Qt Widgets window costs. It reports as the panel does.
#include "FirstPaintReport.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(216, 140);
    QLabel label(QStringLiteral("Rig1"), &window);
    FirstPaintReport report(&window);
    window.show();
    return QApplication::exec();
}
