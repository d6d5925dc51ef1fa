// Prints the time of one change of the offset slider with the save it makes (one atomic, flushed replacement
// of the settings file holding its three keys) as median and worst of 1000, on the folder that holds the
// temporary directory.
#include "FakeOmniRig.h"
#include "omnirig/TOmniRigX.h"
#include "panel/platform/InstanceMarker.h"
#include "panel/qt/VE2Z.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char *argv[])
{
    constexpr int Runs = 1000;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InstanceMarker::setDefaultName(
        (QStringLiteral("VELKOR-bench-%1").arg(QCoreApplication::applicationPid())).toStdString());
    TOmniRigX::setDefaultFactory(std::make_shared<FakeOmniRigFactory>());
    QTemporaryDir folder;
    TSO2VPanel panel({QStringLiteral("velkor"), QStringLiteral("-F"), folder.filePath(QStringLiteral("VELKOR.INI"))});

    std::vector<qint64> nanoseconds;
    nanoseconds.reserve(Runs);
    QElapsedTimer timer;
    for (int run = 0; run < Runs; ++run) {
        // A step of the slider each time, so that every run has something to save.
        const int position = 1000 + run % 2000;
        timer.start();
        panel.core().shiftMoved(position);
        nanoseconds.push_back(timer.nsecsElapsed());
    }
    std::sort(nanoseconds.begin(), nanoseconds.end());
    std::printf("folder: %s\n", qPrintable(folder.path()));
    std::printf("slider step and save   median %8.1f us   99th %8.1f us   worst %8.1f us\n",
                nanoseconds[Runs / 2] / 1000.0, nanoseconds[Runs * 99 / 100] / 1000.0, nanoseconds.back() / 1000.0);
    return 0;
}
