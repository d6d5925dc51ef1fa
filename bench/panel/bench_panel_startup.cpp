// Prints the time from starting the process to the panel's first paint, and the resident memory one
// second later, once start-up has settled, each beside a minimal Qt Widgets program (one window, one label) measured in
// the same run, as medians of alternating runs and their ratios. The panel runs as the program does: the rig server
// with its default two Dummy rigs, in a fresh configuration folder.
//
//   bench_panel_startup [RUNS]       (the QPA platform is offscreen unless QT_QPA_PLATFORM says otherwise)
#include "omnirig/TOmniRigX.h"
#include "panel/platform/InstanceMarker.h"
#include "panel/qt/MessageBoxes.h"
#include "panel/qt/VE2Z.h"
#include "rigserver/RigServerFactory.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr int SettleMs = 1000;

long residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Prints "shown" when the window starts its first paint, and its resident memory a moment later.
class ShownReporter : public QObject {
public:
    explicit ShownReporter(QWidget *window) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            std::puts("shown");
            std::fflush(stdout);
            // Resident memory once start-up has settled: the rigs polled, the first events handled.
            QTimer::singleShot(SettleMs, [] {
                std::printf("resident %ld\n", residentKilobytes());
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    bool m_done = false;
};

int child(int argc, char *argv[], bool panel)
{
    QApplication app(argc, argv);
    if (!panel) {
        QWidget window;
        window.resize(216, 140);
        QLabel label(QStringLiteral("Rig1"), &window);
        ShownReporter reporter(&window);
        window.show();
        return QApplication::exec();
    }
    QTemporaryDir folder;
    MessageBoxes::setApplicationTitle(QStringLiteral("Velkor using OmniRig"));
    MessageBoxes::setHandler([](QWidget *, const MessageBoxes::Request &request) {
        std::fprintf(stderr, "message: %s\n", qPrintable(request.text));
        return QMessageBox::Ok;
    });
    InstanceMarker::setDefaultName(
        (QStringLiteral("VELKOR-bench-%1").arg(QCoreApplication::applicationPid())).toStdString());
    TOmniRigX::setDefaultFactory(std::make_shared<RigServerFactory>(folder.filePath(QStringLiteral("rigserver.ini"))));
    TSO2VPanel window({QStringLiteral("velkor"), QStringLiteral("-F"), folder.filePath(QStringLiteral("VELKOR.INI"))});
    ShownReporter reporter(&window);
    window.show();
    return QApplication::exec();
}

struct Sample {
    double ms = 0;
    long kilobytes = 0;
};

bool runChild(const QString &self, const char *kind, Sample &sample)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    process.start(self, {QStringLiteral("--child"), QLatin1String(kind)});
    QByteArray output;
    while (!output.contains("shown") && process.waitForReadyRead(30000))
        output += process.readAllStandardOutput();
    sample.ms = timer.nsecsElapsed() / 1e6;
    process.waitForFinished(30000);
    output += process.readAllStandardOutput();
    const qsizetype at = output.indexOf("resident ");
    if (!output.contains("shown") || at < 0)
        return false;
    sample.kilobytes = output.mid(at + 9).trimmed().toLong();
    return true;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 3 && !std::strcmp(argv[1], "--child"))
        return child(argc, argv, !std::strcmp(argv[2], "panel"));
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    const QString self = QString::fromLocal8Bit(argv[0]);

    std::vector<double> panelMs, minimalMs, panelKb, minimalKb;
    for (int run = 0; run < runs; ++run) {
        Sample panel, minimal;
        if (!runChild(self, "panel", panel) || !runChild(self, "minimal", minimal)) {
            std::fprintf(stderr, "a child did not report its window\n");
            return 1;
        }
        panelMs.push_back(panel.ms);
        minimalMs.push_back(minimal.ms);
        panelKb.push_back(panel.kilobytes);
        minimalKb.push_back(minimal.kilobytes);
    }
    std::printf("platform %s, %d runs each, medians\n", qgetenv("QT_QPA_PLATFORM").constData(), runs);
    std::printf("start to first paint      panel %7.1f ms   minimal Qt Widgets %7.1f ms   ratio %.2f\n",
                median(panelMs), median(minimalMs), median(panelMs) / median(minimalMs));
    std::printf("resident 1 s after shown  panel %7.0f kB   minimal Qt Widgets %7.0f kB   ratio %.2f\n",
                median(panelKb), median(minimalKb), median(panelKb) / median(minimalKb));
    return 0;
}
