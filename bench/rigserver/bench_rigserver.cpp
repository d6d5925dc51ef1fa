// Figures of the rig server: what a cached read costs the GUI thread, how soon a write reaches the radio
// behind rigctld (beside rigctl doing the same), how many commands an idle rig sends per poll, and the
// longest stall of the GUI event loop while a rigctld is stopped.
#include "FakeRigctld.h"
#include "RigObject.h"
#include "RigctldProcess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

RigSettings overRigctld(const QString &hostPort, int pollMs = 500)
{
    RigSettings settings;
    settings.model = RigSettings::RigctldModel;
    settings.port = hostPort.toStdString();
    settings.pollMs = pollMs;
    settings.timeoutMs = 2000;
    return settings;
}

void waitOnline(RigObject &rig)
{
    if (!QTest::qWaitFor([&] { return rig.Status() == OmniRig::ST_ONLINE; }, 10000))
        std::printf("  (rig %d did not come on line: %s)\n", rig.rigNumber(), rig.StatusStr().c_str());
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// A persistent plain-protocol connection that asks rigctld for its frequency.
class FrequencyProbe {
public:
    explicit FrequencyProbe(quint16 port)
    {
        m_socket.connectToHost(QHostAddress::LocalHost, port);
        m_socket.waitForConnected(2000);
    }
    qint64 read()
    {
        m_socket.write("f\n");
        while (!m_socket.canReadLine() && m_socket.waitForReadyRead(2000)) {
        }
        return m_socket.readLine().trimmed().toLongLong();
    }

private:
    QTcpSocket m_socket;
};

// Milliseconds from t0 until rigctld reports hertz.
double untilReported(FrequencyProbe &probe, qint64 hertz, const QElapsedTimer &clock)
{
    while (probe.read() != hertz && clock.elapsed() < 10000)
        QCoreApplication::processEvents();
    return clock.nsecsElapsed() / 1e6;
}

// Keeps the compiler from dropping a read whose result is not used.
template <typename T> void keep(T &&value)
{
    asm volatile("" : : "r,m"(value) : "memory");
}

// Event processing without QTest::qWait, which sleeps 10 ms between its rounds.
void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void readCost()
{
    RigSettings settings;
    RigObject object(1, settings);
    object.start();
    waitOnline(object);
    // Through the interface, as the panel calls it.
    IRigX *volatile rig = &object;
    constexpr int N = 1000000;
    const auto measure = [&](const char *name, auto &&read) {
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < N; ++i)
            keep(read());
        std::printf("  %-10s %8.1f ns per read (target < 2000)\n", name, double(clock.nsecsElapsed()) / N);
    };
    std::printf("IRigX read on the GUI thread (cache), %d reads each:\n", N);
    measure("Freq", [&] { return rig->Freq(); });
    measure("Status", [&] { return rig->Status(); });
    measure("Mode", [&] { return rig->Mode(); });
    measure("StatusStr", [&] { return rig->StatusStr().size(); });
    measure("RigType", [&] { return rig->RigType().size(); });
}

void writeLatency()
{
    RigctldProcess rigctld(1);
    if (!rigctld.start()) {
        std::printf("write latency: %s\n", qPrintable(rigctld.error()));
        return;
    }
    RigObject rig(1, overRigctld(rigctld.hostPort()));
    rig.start();
    waitOnline(rig);
    FrequencyProbe probe(rigctld.port());
    constexpr int Rounds = 15;
    std::vector<double> ours, theirs;
    for (int i = 0; i < Rounds; ++i) {
        const qint64 hertz = 14000000 + 1000 * i;
        QElapsedTimer clock;
        clock.start();
        rig.SetFreq(hertz);
        ours.push_back(untilReported(probe, hertz, clock));

        const qint64 other = 7000000 + 1000 * i;
        clock.start();
        QProcess::execute(QStringLiteral("rigctl"), {QStringLiteral("-m"), QStringLiteral("2"), QStringLiteral("-r"),
                                                     rigctld.hostPort(), QStringLiteral("F"), QString::number(other)});
        theirs.push_back(untilReported(probe, other, clock));
    }
    const double a = median(ours), b = median(theirs);
    std::printf("Frequency write to rigctld reporting it (median of %d, rigctld -m 1):\n", Rounds);
    std::printf("  IRigX::SetFreq  %7.1f ms\n  rigctl -m 2 F   %7.1f ms\n  ratio ours/rigctl %.2f\n", a, b,
                b > 0 ? a / b : 0.0);
}

void commandsPerPoll()
{
    FakeRigctld peer;
    int frequencyReads = 0;
    int total = 0;
    bool counting = false;
    peer.setScript([&](const QByteArray &line) {
        if (counting) {
            ++total;
            frequencyReads += line.trimmed() == "+f";
        }
        return FakeRigctld::healthy(line);
    });
    RigObject rig(1, overRigctld(peer.hostPort(), 100));
    rig.start();
    waitOnline(rig);
    counting = true;
    spin(3000);
    std::printf("Commands per poll at idle (rigctld back end): %.2f (%d commands in %d polls; target <= 3)\n",
                frequencyReads ? double(total) / frequencyReads : 0.0, total, frequencyReads);

    RigSettings dummy;
    dummy.pollMs = 100;
    RigObject inProcess(2, dummy);
    inProcess.start();
    waitOnline(inProcess);
    const std::uint64_t before = inProcess.commandCount();
    QElapsedTimer clock;
    clock.start();
    spin(3000);
    // The Dummy takes 20 ms a call, so a 100 ms poll interval plus three calls gives about 6 polls a second.
    const double polls = clock.elapsed() / (100.0 + 3 * 20.0);
    std::printf("Commands per poll at idle (Hamlib Dummy in process): about %.2f (%llu commands in %.1f s)\n",
                double(inProcess.commandCount() - before) / polls,
                static_cast<unsigned long long>(inProcess.commandCount() - before), clock.elapsed() / 1000.0);
}

void stallWhileStopped()
{
    RigctldProcess rigctld(1);
    if (!rigctld.start()) {
        std::printf("stall: %s\n", qPrintable(rigctld.error()));
        return;
    }
    RigObject rig(1, overRigctld(rigctld.hostPort(), 200));
    rig.start();
    waitOnline(rig);
    rigctld.stop();
    std::vector<double> gaps;
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.nsecsElapsed();
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        gaps.push_back((now - last) / 1e6);
        last = now;
        // What a busy panel does: read the rig and write to it.
        rig.SetFreq(14074000 + static_cast<int>(gaps.size() % 100));
        (void)rig.Status();
        (void)rig.StatusStr();
    });
    tick.start(1);
    spin(6000);
    tick.stop();
    const std::string status = rig.StatusStr();
    rigctld.resume();
    std::sort(gaps.begin(), gaps.end());
    std::printf("GUI event loop while Rig1's rigctld is stopped (6 s, 1 ms timer, %zu ticks):\n", gaps.size());
    std::printf("  median gap %.2f ms, 99.9%% %.2f ms, max %.2f ms (target: no stall above 20 ms); status \"%s\"\n",
                gaps[gaps.size() / 2], gaps[gaps.size() * 999 / 1000], gaps.back(), status.c_str());
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    readCost();
    writeLatency();
    commandsPerPoll();
    stallWhileStopped();
    return 0;
}
