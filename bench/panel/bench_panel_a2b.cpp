// Prints, for clicks on A>B with the rig server on two real rigctld processes (Hamlib's Dummy rig) behind
// relays that count what passes:
//  - which commands reached each rigctld for one A>B, with polls once a minute, so what the relays see
//    during a click is what the click caused;
//  - with a 250 ms poll, the time from the click to Rig2's rigctld reporting the new frequency, side by
//    side with a client that writes F and M and reads f on an open socket through the same relay (target:
//    a ratio of 1.2 at most), and the commands an idle rig sends per poll (target: 3 at most).
// rigctld is read directly, not through the relays.
//
//   bench_panel_a2b [CLICKS]
#include "CountingProxy.h"
#include "RigctldProcess.h"
#include "ini/IniFile.h"
#include "omnirig/TOmniRigX.h"
#include "panel/platform/InstanceMarker.h"
#include "panel/qt/MessageBoxes.h"
#include "panel/qt/VE2Z.h"
#include "rigserver/RigServerFactory.h"
#include "rigserver/core/RigServer.h"
#include "rigserver/core/RigServerSettings.h"

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

RigSettings through(const CountingProxy &proxy, int pollMs = RigServerSettings::MaxPollMs)
{
    RigSettings rig;
    rig.model = RigSettings::RigctldModel;
    rig.port = proxy.hostPort().toStdString();
    rig.pollMs = pollMs;
    rig.timeoutMs = 1000;
    rig.conf.clear();
    return rig;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// What an application that keeps a connection open does for the same A>B: F and M to Rig2, then f.
class OpenSocketClient {
public:
    explicit OpenSocketClient(quint16 port) { m_socket.connectToHost(QHostAddress::LocalHost, port); }
    bool connected() { return m_socket.waitForConnected(2000); }
    void send(const QByteArray &command)
    {
        m_socket.write(command + '\n');
        while (!m_socket.canReadLine() && m_socket.waitForReadyRead(2000))
            ;
        m_socket.readLine();
    }

private:
    QTcpSocket m_socket;
};

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
    InstanceMarker::setDefaultName(
        (QStringLiteral("VELKOR-bench-%1").arg(QCoreApplication::applicationPid())).toStdString());
    TOmniRigX::setDefaultFactory(std::make_shared<RigServerFactory>(QString::fromStdString(settings.path())));
    TSO2VPanel panel({QStringLiteral("velkor"), QStringLiteral("-F"), folder.filePath(QStringLiteral("VELKOR.INI"))});
    panel.show();
    IRigX *rig1 = panel.core().omniRigClient()->Rig1();
    IRigX *rig2 = panel.core().omniRigClient()->Rig2();
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
    std::printf("%d clicks on A>B, polls once a minute; rigctld read directly every round trip (the Dummy rig takes "
                "~20 ms a call)\n",
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

    // The same clicks while both rigs poll every 250 ms, beside an open-socket client through the same relay.
    constexpr int PollMs = 250;
    auto *server = dynamic_cast<RigServer *>(panel.core().omniRigClient()->DefaultInterface());
    if (!server)
        return 1;
    server->reconfigure(1, through(proxy1, PollMs));
    server->reconfigure(2, through(proxy2, PollMs));
    if (!QTest::qWaitFor([&] { return rig1->Status() == 4 && rig2->Status() == 4; }, 20000)) {
        std::fprintf(stderr, "the rigs did not come on line again\n");
        return 1;
    }
    QTest::qWait(500);
    proxy1.clear();
    QTest::qWait(3000);
    // Whole polls only: from the first frequency read to the last.
    const QStringList idle = proxy1.commands();
    const qsizetype first = idle.indexOf(QStringLiteral("+f")), last = idle.lastIndexOf(QStringLiteral("+f"));
    const qsizetype polls = idle.count(QStringLiteral("+f")) - 1;
    std::printf("commands per idle poll (Rig1, %d ms poll): %.2f (%lld commands in %lld polls; target <= 3)\n", PollMs,
                polls > 0 ? double(last - first) / double(polls) : 0.0, static_cast<long long>(last - first),
                static_cast<long long>(polls));

    OpenSocketClient client(proxy2.port());
    if (!client.connected())
        return 1;
    std::vector<double> clicked, direct;
    for (int round = 0; round < clicks; ++round) {
        shift->setValue(2100 + (round % 2) * 100 + round / 2);
        QByteArray wanted = QByteArray::number(Rig1Hertz + shift->value() - 2000);
        QElapsedTimer timer;
        timer.start();
        QTest::mouseClick(a2b, Qt::LeftButton);
        while (reader.ask("f") != wanted && timer.elapsed() < 10000)
            ;
        clicked.push_back(timer.nsecsElapsed() / 1e6);
        // Let the worker hear its own write back, then land at another moment of the poll cycle.
        QTest::qWait(97 + 31 * (round % 5));

        wanted = QByteArray::number(Rig1Hertz - 1000 - round);
        timer.start();
        client.send("F " + wanted);
        client.send("M USB -1");
        while (reader.ask("f") != wanted && timer.elapsed() < 10000)
            ;
        direct.push_back(timer.nsecsElapsed() / 1e6);
        QTest::qWait(97 + 31 * (round % 5));
    }
    const double ours = median(clicked), theirs = median(direct);
    std::printf("%d rounds, %d ms poll: click on A>B to Rig2 reporting       median %6.1f ms   worst %6.1f ms\n",
                clicks, PollMs, ours, *std::max_element(clicked.begin(), clicked.end()));
    std::printf("%d rounds, %d ms poll: F, M and f on an open socket         median %6.1f ms   worst %6.1f ms\n",
                clicks, PollMs, theirs, *std::max_element(direct.begin(), direct.end()));
    std::printf("ratio click / open socket: %.2f (target <= 1.2)\n", theirs > 0 ? ours / theirs : 0.0);
    return 0;
}
