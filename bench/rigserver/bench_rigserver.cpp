// Figures of the rig server: what a cached read costs the GUI thread, how soon a write reaches the radio
// behind rigctld (beside rigctl doing the same), how many commands an idle rig sends per poll, the
// longest stall of the GUI event loop while a rigctld is stopped, and how soon closing and reconfiguring
// let go of radios that never answer.
#include "FakeRigctld.h"
#include "RigctldProcess.h"
#include "SilentPort.h"
#include "XvfbDisplay.h"
#include "rigserver/backends/HamlibBackendFactory.h"
#include "rigserver/core/RigObject.h"
#include "rigserver/core/RigServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// The back ends the program drives its radios with.
std::shared_ptr<const RigBackendFactory> backends()
{
    return std::make_shared<HamlibBackendFactory>();
}

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
    RigObject object(1, settings, backends());
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
    RigObject rig(1, overRigctld(rigctld.hostPort()), backends());
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
    RigObject rig(1, overRigctld(peer.hostPort(), 100), backends());
    rig.start();
    waitOnline(rig);
    counting = true;
    spin(3000);
    std::printf("Commands per poll at idle (rigctld back end): %.2f (%d commands in %d polls; target <= 3)\n",
                frequencyReads ? double(total) / frequencyReads : 0.0, total, frequencyReads);

    RigSettings dummy;
    dummy.pollMs = 100;
    RigObject inProcess(2, dummy, backends());
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
    RigObject rig(1, overRigctld(rigctld.hostPort(), 200), backends());
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

// A client that only subscribes, so that the rigs start polling.
class QuietClient final : public IOmniRigXEvents {
public:
    void OnVisibleChange() override {}
    void OnRigTypeChange(int) override {}
    void OnStatusChange(int) override {}
    void OnParamsChange(int, std::int32_t) override {}
    void OnCustomReply(int, const std::string &, const std::string &) override {}
};

// Two Icom IC-7300s on lines with nothing attached, at a 10 s timeout, as the rig server's settings file.
bool writeSilentRadios(const QString &path, const SilentPort &port1, const SilentPort &port2)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(port1.settingsSection(1) + port2.settingsSection(2));
    return true;
}

void printTimes(const char *what, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    std::printf("  %-44s median %7.1f ms, max %7.1f ms (%zu rounds; target < 500)\n", what, median(times),
                times.empty() ? 0.0 : times.back(), times.size());
}

void lettingGoOfSilentRadios()
{
    constexpr int Rounds = 5;
    std::printf("Letting go of radios that never answer (IC-7300 on a silent pseudo-terminal, 10 s timeout):\n");
    std::vector<double> closing, reconfiguring;
    for (int i = 0; i < Rounds; ++i) {
        SilentPort port1, port2;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("rigserver.ini"));
        if (!writeSilentRadios(path, port1, port2))
            return;
        auto server = std::make_unique<RigServer>(path, backends());
        QuietClient client;
        server->Advise(&client);
        if (!port1.waitForQuestion() || !port2.waitForQuestion()) {
            std::printf("  (the radios were never asked anything)\n");
            return;
        }
        QElapsedTimer clock;
        clock.start();
        server.reset();
        closing.push_back(clock.nsecsElapsed() / 1e6);

        RigSettings silent;
        silent.model = 3073;
        silent.port = port1.path().toStdString();
        silent.timeoutMs = 10000;
        silent.conf.clear();
        RigObject rig(1, silent, backends());
        rig.start();
        if (!port1.waitForQuestion())
            return;
        clock.start();
        rig.configure(RigSettings{});
        if (QTest::qWaitFor([&] { return rig.Status() == OmniRig::ST_ONLINE; }, 20000))
            reconfiguring.push_back(clock.nsecsElapsed() / 1e6);
    }
    printTimes("rig server closed (both rigs silent)", closing);
    printTimes("silent rig switched to the Dummy, on line", reconfiguring);
    std::printf("  worker threads left in a radio call: %d\n", RigObject::abandonedThreads());
}

// Both rigs keyed by us, then their rigctlds stop answering: the rig server offers each an unkey, then cuts.
void lettingGoOfKeyedRadios()
{
    constexpr int Rounds = 5;
    std::printf("Letting go of two keyed radios whose rigctld stopped (10 s timeout):\n");
    std::vector<double> closing;
    for (int i = 0; i < Rounds; ++i) {
        RigctldProcess rigctld1(1), rigctld2(1);
        if (!rigctld1.start() || !rigctld2.start()) {
            std::printf("  %s%s\n", qPrintable(rigctld1.error()), qPrintable(rigctld2.error()));
            return;
        }
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("rigserver.ini"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return;
        for (const auto &[n, rigctld] : {std::pair{1, &rigctld1}, std::pair{2, &rigctld2}})
            file.write(QStringLiteral("[Rig%1]\nModel=2\nPort=%2\nPollMs=200\nTimeoutMs=10000\n")
                           .arg(n)
                           .arg(rigctld->hostPort())
                           .toUtf8());
        file.close();
        auto server = std::make_unique<RigServer>(path, backends());
        QuietClient client;
        server->Advise(&client);
        for (int n : {1, 2}) {
            RigObject &rig = *server->rig(n);
            waitOnline(rig);
            rig.SetTx(OmniRig::PM_TX);
            if (!QTest::qWaitFor([&] { return rig.state().tx == OmniRig::PM_TX; }, 10000)) {
                std::printf("  (rig %d was not keyed)\n", n);
                return;
            }
        }
        rigctld1.stop();
        rigctld2.stop();
        spin(250); // a poll is now waiting for an answer
        QElapsedTimer clock;
        clock.start();
        server.reset();
        closing.push_back(clock.nsecsElapsed() / 1e6);
        rigctld1.resume();
        rigctld2.resume();
    }
    printTimes("rig server closed (both rigs keyed, silent)", closing);
}

void programEndsAfterItsWindow()
{
    XvfbDisplay display;
    if (!XvfbDisplay::installed() || !display.start()) {
        std::printf("Program end after its window closed: no Xvfb\n");
        return;
    }
    constexpr int Rounds = 5;
    std::vector<double> times;
    for (int i = 0; i < Rounds; ++i) {
        SilentPort port1, port2;
        QTemporaryDir dir;
        QDir().mkpath(dir.filePath(QStringLiteral("config/velkor")));
        if (!writeSilentRadios(dir.filePath(QStringLiteral("config/velkor/rigserver.ini")), port1, port2))
            return;
        QProcess velkor;
        QProcessEnvironment environment = display.environment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        velkor.setProcessEnvironment(environment);
        velkor.setStandardOutputFile(QProcess::nullDevice());
        velkor.setStandardErrorFile(QProcess::nullDevice());
        velkor.start(QStringLiteral(VELKOR_PROGRAM),
                     {QStringLiteral("-F"), dir.filePath(QStringLiteral("VELKOR.INI"))});
        quint32 window = 0;
        if (!QTest::qWaitFor([&] { return (window = display.findWindow(QStringLiteral("VE2Z"))) != 0; }, 20000) ||
            !port1.waitForQuestion() || !port2.waitForQuestion()) {
            std::printf("Program end after its window closed: the panel did not show or ask its radios\n");
            return;
        }
        QElapsedTimer clock;
        clock.start();
        display.askToClose(window);
        if (velkor.waitForFinished(60000))
            times.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::printf("The real program, two silent IC-7300s at a 10 s timeout:\n");
    printTimes("window closed to process gone", times);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    readCost();
    writeLatency();
    commandsPerPoll();
    stallWhileStopped();
    lettingGoOfSilentRadios();
    lettingGoOfKeyedRadios();
    programEndsAfterItsWindow();
    return 0;
}
