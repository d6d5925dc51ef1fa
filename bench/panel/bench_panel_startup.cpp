// Prints the time from starting the process to the panel's first paint, and its resident memory one second later,
// once start-up has settled, both as it is then and at its peak, each beside a minimal Qt Widgets program (one
// window, one label, linking Qt Widgets alone: minimal_qt_window) measured in the same run, as medians of
// alternating runs and their ratios. The panel runs as the program does (src/app/main.cpp): the rig server with
// its default two Dummy rigs, in a fresh home and configuration folder, so no file of the user's is touched.
//
//   bench_panel_startup [RUNS]       (the QPA platform is offscreen unless QT_QPA_PLATFORM says otherwise)
#include "FirstPaintReport.h"
#include "omnirig/TOmniRigX.h"
#include "panel/platform/InstanceMarker.h"
#include "panel/qt/MessageBoxes.h"
#include "panel/qt/VE2Z.h"
#include "panel/resources/PanelArtwork.h"
#include "rigserver/RigServerFactory.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

int panelChild(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir folder;
    MessageBoxes::setApplicationTitle(QStringLiteral("Velkor using OmniRig"));
    QApplication::setWindowIcon(PanelArtwork::mainIcon());
    MessageBoxes::setHandler([](QWidget *, const MessageBoxes::Request &request) {
        std::fprintf(stderr, "message: %s\n", qPrintable(request.text));
        return QMessageBox::Ok;
    });
    InstanceMarker::setDefaultName(
        (QStringLiteral("VELKOR-bench-%1").arg(QCoreApplication::applicationPid())).toStdString());
    TOmniRigX::setDefaultFactory(std::make_shared<RigServerFactory>(folder.filePath(QStringLiteral("rigserver.ini"))));
    TSO2VPanel window({QStringLiteral("velkor"), QStringLiteral("-F"), folder.filePath(QStringLiteral("VELKOR.INI"))});
    FirstPaintReport report(&window);
    window.show();
    return QApplication::exec();
}

struct Sample {
    double ms = 0;
    long kilobytes = 0;
    long peakKilobytes = 0;
};

bool runChild(const QString &program, const QStringList &arguments, Sample &sample)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    QByteArray output;
    while (!output.contains("shown") && process.waitForReadyRead(30000))
        output += process.readAllStandardOutput();
    sample.ms = timer.nsecsElapsed() / 1e6;
    process.waitForFinished(30000);
    output += process.readAllStandardOutput();
    const qsizetype at = output.indexOf("resident ");
    if (!output.contains("shown") || at < 0)
        return false;
    const QList<QByteArray> words = output.mid(at).simplified().split(' ');
    sample.kilobytes = words.value(1).toLong();
    sample.peakKilobytes = words.value(3).toLong();
    return sample.kilobytes > 0 && sample.peakKilobytes > 0;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 2 && !std::strcmp(argv[1], "--panel"))
        return panelChild(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral(".config"))));
    const QString self = QString::fromLocal8Bit(argv[0]);

    std::vector<double> panelMs, minimalMs, panelKb, minimalKb, panelPeakKb, minimalPeakKb;
    for (int run = 0; run < runs; ++run) {
        Sample panel, minimal;
        if (!runChild(self, {QStringLiteral("--panel")}, panel) ||
            !runChild(QStringLiteral(VELKOR_MINIMAL_WINDOW), {}, minimal)) {
            std::fprintf(stderr, "a child did not report its window\n");
            return 1;
        }
        panelMs.push_back(panel.ms);
        minimalMs.push_back(minimal.ms);
        panelKb.push_back(panel.kilobytes);
        minimalKb.push_back(minimal.kilobytes);
        panelPeakKb.push_back(panel.peakKilobytes);
        minimalPeakKb.push_back(minimal.peakKilobytes);
    }
    std::printf("platform %s, %d runs each, medians\n", qgetenv("QT_QPA_PLATFORM").constData(), runs);
    std::printf("start to first paint      panel %7.1f ms   minimal Qt Widgets %7.1f ms   ratio %.2f\n",
                median(panelMs), median(minimalMs), median(panelMs) / median(minimalMs));
    std::printf("resident 1 s after shown  panel %7.0f kB   minimal Qt Widgets %7.0f kB   ratio %.2f\n",
                median(panelKb), median(minimalKb), median(panelKb) / median(minimalKb));
    std::printf("peak resident, two rigs   panel %7.0f kB   minimal Qt Widgets %7.0f kB   ratio %.2f\n",
                median(panelPeakKb), median(minimalPeakKb), median(panelPeakKb) / median(minimalPeakKb));
    return 0;
}
