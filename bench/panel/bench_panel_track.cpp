// Prints how long tracking takes to follow: Rig2 tracks Rig1 (offset +350 Hz), both rigs are rigctld's Dummy
// rig polled by the rig server every 250 ms, and Rig1's rigctld is retuned from outside, as the radio's knob
// would. Timed from rigctld's answer to the retune to Rig2's rigctld receiving the follower's frequency (seen
// by a relay in front of it, which adds nothing measurable), over MOVES moves at changing moments of the polls, with
// "FASTTRACK" "NOT" and with "YES". Beside them, what one radio command costs on that rigctld, and the goal for "YES":
// at worst one poll interval plus two radio commands.
//
//   bench_panel_track [MOVES]
#include "CountingProxy.h"
#include "RigctldProcess.h"
#include "ini/IniFile.h"
#include "omnirig/TOmniRigX.h"
#include "panel/platform/InstanceMarker.h"
#include "panel/qt/MessageBoxes.h"
#include "panel/qt/VE2Z.h"
#include "rigserver/RigServerFactory.h"
#include "rigserver/core/RigServerSettings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

namespace {

constexpr int PollMs = 250;
constexpr int Offset = 350;
constexpr qint64 FirstHertz = 14000000;
constexpr int WaitMs = 15000;

// rigctld's plain protocol on a connection of its own, the way another program would retune the radio.
class Knob {
public:
    explicit Knob(quint16 port) { m_socket.connectToHost(QHostAddress::LocalHost, port); }
    bool connected() { return m_socket.waitForConnected(2000); }
    // Sends one command and waits for its answer; the time it took, in ms.
    double send(const QByteArray &command)
    {
        QElapsedTimer timer;
        timer.start();
        m_socket.write(command + '\n');
        while (!m_socket.canReadLine() && m_socket.waitForReadyRead(2000))
            ;
        m_socket.readAll();
        return timer.nsecsElapsed() / 1e6;
    }

private:
    QTcpSocket m_socket;
};

struct Figures {
    double median = 0;
    double worst = 0;
    int missed = 0;
};

Figures figures(std::vector<double> values, int missed)
{
    std::sort(values.begin(), values.end());
    return {values.empty() ? 0 : values[values.size() / 2], values.empty() ? 0 : values.back(), missed};
}

RigSettings over(const QString &hostPort)
{
    RigSettings rig;
    rig.model = RigSettings::RigctldModel;
    rig.port = hostPort.toStdString();
    rig.pollMs = PollMs;
    rig.timeoutMs = 1000;
    rig.conf.clear();
    return rig;
}

// Moves Rig1 moves times with the panel running on fastTrack; the time each took to reach Rig2.
std::optional<Figures> measure(const QString &fastTrack, int moves, CountingProxy &proxy2, Knob &knob,
                               const QString &folder)
{
    const QString ini = folder + QStringLiteral("/VELKOR-%1.INI").arg(fastTrack);
    IniFile(ini.toStdString())
        .writeStrings("VE2Z", {{"OFFSET", std::to_string(Offset)},
                               {"SHIFT", "YES"},
                               {"TRACK", "1"},
                               {"FASTTRACK", fastTrack.toStdString()}});
    TSO2VPanel panel({QStringLiteral("velkor"), QStringLiteral("-F"), ini});
    panel.show();
    IRigX *rig1 = panel.core().omniRigClient()->Rig1();
    IRigX *rig2 = panel.core().omniRigClient()->Rig2();
    knob.send("F " + QByteArray::number(FirstHertz));
    if (!QTest::qWaitFor(
            [&] { return rig1->Status() == 4 && rig2->Status() == 4 && rig2->Freq() == FirstHertz + Offset; },
            WaitMs)) {
        std::fprintf(stderr, "FASTTRACK=%s: the rigs did not come on line in step\n", qPrintable(fastTrack));
        return std::nullopt;
    }
    std::vector<double> delays;
    int missed = 0;
    for (int move = 1; move <= moves; ++move) {
        const qint64 hertz = FirstHertz + move * 1000;
        const QString wanted = QStringLiteral("+F %1").arg(hertz + Offset);
        // Each move at another moment of the poll that decides when the follower moves: the panel's own with
        // "NOT", the leader's with "YES" (a golden-ratio sequence spreads the moments evenly over it).
        const int period = fastTrack == QLatin1String("YES") ? PollMs : Panel::PanelCore::PollIntervalMs;
        QTest::qWait(int(std::fmod(move * 0.6180339887, 1.0) * period));
        proxy2.clear();
        knob.send("F " + QByteArray::number(hertz));
        QElapsedTimer timer;
        timer.start();
        while (!proxy2.commands().contains(wanted) && timer.elapsed() < WaitMs)
            QTest::qWait(1);
        if (timer.elapsed() >= WaitMs)
            ++missed;
        else
            delays.push_back(timer.nsecsElapsed() / 1e6);
        // The follower takes the mode as well, and reads both back, before the next move.
        QTest::qWait(PollMs);
    }
    return figures(delays, missed);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int moves = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;

    RigctldProcess rigctld1(1), rigctld2(1);
    if (!rigctld1.start() || !rigctld2.start()) {
        std::fprintf(stderr, "rigctld: %s %s\n", qPrintable(rigctld1.error()), qPrintable(rigctld2.error()));
        return 1;
    }
    CountingProxy proxy2(rigctld2.port());
    if (!proxy2.start())
        return 1;
    Knob knob(rigctld1.port());
    if (!knob.connected())
        return 1;

    QTemporaryDir folder;
    IniFile settings(folder.filePath(QStringLiteral("rigserver.ini")).toStdString());
    RigServerSettings::save(settings, 1, over(rigctld1.hostPort()));
    RigServerSettings::save(settings, 2, over(proxy2.hostPort()));
    MessageBoxes::setHandler([](QWidget *, const MessageBoxes::Request &request) {
        std::fprintf(stderr, "message: %s\n", qPrintable(request.text));
        return QMessageBox::Ok;
    });
    InstanceMarker::setDefaultName(
        (QStringLiteral("VELKOR-bench-%1").arg(QCoreApplication::applicationPid())).toStdString());
    TOmniRigX::setDefaultFactory(std::make_shared<RigServerFactory>(QString::fromStdString(settings.path())));

    // What one radio command costs: setting the Dummy's frequency (its reads come from rigctld's cache).
    std::vector<double> commands;
    for (int i = 0; i < 20; ++i)
        commands.push_back(knob.send("F " + QByteArray::number(FirstHertz + i)));
    const double command = figures(commands, 0).median;

    std::printf("Rig2 tracks Rig1 over rigctld's Dummy rig, both polled every %d ms; %d moves of Rig1 from outside, "
                "timed to Rig2's rigctld receiving the new frequency\n",
                PollMs, moves);
    std::printf("one radio command (set frequency): median %.1f ms\n", command);
    std::optional<Figures> fast;
    for (const QString &fastTrack : {QStringLiteral("NOT"), QStringLiteral("YES")}) {
        const std::optional<Figures> result = measure(fastTrack, moves, proxy2, knob, folder.path());
        if (!result)
            return 1;
        std::printf("FASTTRACK=%s  leader retuned to follower commanded   median %7.1f ms   worst %7.1f ms%s\n",
                    qPrintable(fastTrack), result->median, result->worst,
                    result->missed ? qPrintable(QStringLiteral("   (%1 not followed)").arg(result->missed)) : "");
        if (fastTrack == QLatin1String("YES"))
            fast = result;
    }
    const double goal = PollMs + 2 * command;
    std::printf("goal with YES: worst <= one poll + two radio commands = %.1f ms: %s\n", goal,
                fast->worst <= goal && fast->missed == 0 ? "met" : "NOT MET");
    return 0;
}
