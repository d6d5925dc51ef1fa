// Prints the time from a click on A>B to rigctld reporting Rig2's new frequency, median and worst of a
// number of clicks, and which commands reached each rigctld for one A>B. The rig server talks to two real
// rigctld processes (Hamlib's Dummy rig) through relays that count what passes; it polls only once a
// minute here, so what the relays see during a click is what the click caused. rigctld is read directly,
// not through the relays.
//
//   bench_panel_a2b [CLICKS]
#include "CountingProxy.h"
#include "IniFile.h"
#include "RigServerFactory.h"
#include "RigServerSettings.h"
#include "RigctldProcess.h"
#include "TOmniRigX.h"
#include "VE2Z.h"
#include "platform/InstanceMarker.h"
#include "platform/MessageBoxes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSlider>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr qint64 Rig1Hertz = 14074000;

// One line answer to a plain rigctld command, on a connection of its own.
class DirectReader {
public:
    explicit DirectReader(quint16 port) { m_socket.connectToHost(QHostAddress::LocalHost, port); }
    bool connected() { return m_socket.waitForConnected(2000); }
    QByteArray ask(const QByteArray &command)
    {
        m_socket.write(command + '\n');
        QByteArray line;
        while (!line.contains('\n') && m_socket.waitForReadyRead(2000))
            line += m_socket.readAll();
        return line.trimmed();
    }

private:
    QTcpSocket m_socket;
};

// Waits until neither relay has seen a new command for quietMs.
void settle(const CountingProxy &a, const CountingProxy &b, int quietMs = 700)
{
    qsizetype seen = -1;
    QElapsedTimer quiet;
    quiet.start();
    while (quiet.elapsed() < quietMs) {
        const qsizetype now = a.commands().size() + b.commands().size();
        if (now != seen) {
            seen = now;
            quiet.restart();
        }
        QTest::qWait(20);
    }
}

RigSettings through(const CountingProxy &proxy)
{
    RigSettings rig;
    rig.model = RigSettings::RigctldModel;
    rig.port = proxy.hostPort().toStdString();
    rig.pollMs = RigServerSettings::MaxPollMs;
    rig.timeoutMs = 1000;
    rig.conf.clear();
    return rig;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int clicks = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;

    RigctldProcess rigctld1(1), rigctld2(1);
    if (!rigctld1.start() || !rigctld2.start()) {
        std::fprintf(stderr, "rigctld: %s %s\n", qPrintable(rigctld1.error()), qPrintable(rigctld2.error()));
        return 1;
    }
    rigctld1.query(QStringLiteral("F %1").arg(Rig1Hertz));
    rigctld1.query(QStringLiteral("M USB 0"));
    CountingProxy proxy1(rigctld1.port()), proxy2(rigctld2.port());
    if (!proxy1.start() || !proxy2.start())
        return 1;

    QTemporaryDir folder;
    IniFile settings(folder.filePath(QStringLiteral("rigserver.ini")).toStdString());
    RigServerSettings::save(settings, 1, through(proxy1));
    RigServerSettings::save(settings, 2, through(proxy2));
    MessageBoxes::setHandler([](QWidget *, const MessageBoxes::Request &request) {
        std::fprintf(stderr, "message: %s\n", qPrintable(request.text));
        return QMessageBox::Ok;
    });
    InstanceMarker::setDefaultName(QStringLiteral("VELKOR-bench-%1").arg(QCoreApplication::applicationPid()));
    TOmniRigX::setDefaultFactory(std::make_shared<RigServerFactory>(QString::fromStdString(settings.path())));
    TSO2VPanel panel({QStringLiteral("velkor"), QStringLiteral("-F"), folder.filePath(QStringLiteral("VELKOR.INI"))});
    panel.show();
    IRigX *rig1 = panel.omniRigClient()->Rig1();
    IRigX *rig2 = panel.omniRigClient()->Rig2();
    if (!QTest::qWaitFor([&] { return rig1->Status() == 4 && rig2->Status() == 4 && rig1->Freq() == Rig1Hertz; },
                         20000)) {
        std::fprintf(stderr, "the rigs did not come on line\n");
        return 1;
    }
    settle(proxy1, proxy2);
    DirectReader reader(rigctld2.port());
    if (!reader.connected())
        return 1;
    auto *shift = panel.findChild<QSlider *>(QStringLiteral("Shift"));
    auto *a2b = panel.findChild<QWidget *>(QStringLiteral("A2B"));

    std::vector<double> latencies;
    std::vector<qsizetype> toRig1, toRig2;
    QStringList firstRig2;
    for (int click = 0; click < clicks; ++click) {
        // A different offset each time, so that every click moves Rig2.
        shift->setValue(2100 + (click % 2) * 100 + click / 2);
        const QByteArray wanted = QByteArray::number(Rig1Hertz + shift->value() - 2000);
        proxy1.clear();
        proxy2.clear();
        QElapsedTimer timer;
        timer.start();
        QTest::mouseClick(a2b, Qt::LeftButton);
        while (reader.ask("f") != wanted && timer.elapsed() < 10000)
            ;
        latencies.push_back(timer.nsecsElapsed() / 1e6);
        settle(proxy1, proxy2);
        toRig1.push_back(proxy1.commands().size());
        toRig2.push_back(proxy2.commands().size());
        if (click == 0)
            firstRig2 = proxy2.commands();
    }
    std::sort(latencies.begin(), latencies.end());
    std::printf("%d clicks on A>B; rigctld read directly every round trip (the Dummy rig takes ~20 ms a call)\n",
                clicks);
    std::printf("click to Rig2's new frequency   median %6.1f ms   worst %6.1f ms\n", latencies[latencies.size() / 2],
                latencies.back());
    std::printf("commands per click to Rig1's rigctld: min %lld max %lld\n",
                static_cast<long long>(*std::min_element(toRig1.begin(), toRig1.end())),
                static_cast<long long>(*std::max_element(toRig1.begin(), toRig1.end())));
    std::printf("commands per click to Rig2's rigctld: min %lld max %lld; the first click's: %s\n",
                static_cast<long long>(*std::min_element(toRig2.begin(), toRig2.end())),
                static_cast<long long>(*std::max_element(toRig2.begin(), toRig2.end())),
                qPrintable(firstRig2.join(QStringLiteral(" | "))));
    return 0;
}
