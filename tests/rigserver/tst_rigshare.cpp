// A rig shared through the rigctld protocol, used by real clients: Hamlib's rigctl, a program on libhamlib
// as loggers use it, raw sockets that misbehave, and our own rigctld client. The rig is Hamlib's Dummy in
// the rig server, shared on a free loopback port; replies are held against those of a real rigctld.
#include "EventLog.h"
#include "RigctldProcess.h"
#include "rigserver/backends/HamlibBackendFactory.h"
#include "rigserver/core/RigObject.h"
#include "rigserver/core/RigServer.h"
#include "rigserver/rigctld/RigctldCommand.h"
#include "rigserver/rigctld/RigctldResponder.h"
#include "rigserver/share/RigShareServer.h"
#include "rigserver/share/ShareListener.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>
#include <set>

#include <sys/socket.h>

namespace {

constexpr int PollMs = 200;
constexpr int TimeoutMs = 1000;
// Room for a loaded machine or a sanitizer build; nothing here measures time.
constexpr int WaitMs = 30000;
constexpr std::int64_t DummyStartHz = 145000000;
// The share's limits made short, so that a test waits seconds instead of a minute.
constexpr ShareLimits ShortLimits{1000, 3000};

std::shared_ptr<const RigBackendFactory> backends()
{
    return std::make_shared<HamlibBackendFactory>();
}

RigSettings dummyRig()
{
    RigSettings settings;
    settings.pollMs = PollMs;
    settings.timeoutMs = TimeoutMs;
    return settings;
}

RigSettings overRigctld(const QString &hostPort)
{
    RigSettings settings = dummyRig();
    settings.model = RigSettings::RigctldModel;
    settings.port = hostPort.toStdString();
    settings.conf.clear();
    return settings;
}

bool waitOnline(RigObject &rig)
{
    return QTest::qWaitFor([&] { return rig.Status() == OmniRig::ST_ONLINE; }, WaitMs);
}

// A rig of the rig server and its share, listening on a free loopback port, as the program makes them.
class RigOnShare {
public:
    explicit RigOnShare(const RigSettings &settings = dummyRig(), quint16 port = RigctldProcess::freePort(),
                        ShareLimits limits = {})
        : m_port(port), rig(1, withShare(settings), backends()), share(rig, limits)
    {
        share.configure(rig.settings());
        rig.start();
    }

    quint16 port() const { return m_port; }
    QString hostPort() const { return QStringLiteral("127.0.0.1:%1").arg(m_port); }
    void configure(const RigSettings &settings)
    {
        rig.configure(withShare(settings));
        share.configure(rig.settings());
    }

private:
    RigSettings withShare(RigSettings settings) const
    {
        settings.share = true;
        settings.sharePort = m_port;
        return settings;
    }

    quint16 m_port;

public:
    RigObject rig;
    RigShareServer share;
};

// A raw client of the rigctld protocol. Everything waits on the event loop, so that the rig object, which
// takes the writes, keeps running.
class Client {
public:
    explicit Client(quint16 port, const QHostAddress &address = QHostAddress(QHostAddress::LocalHost))
    {
        QObject::connect(&m_socket, &QTcpSocket::connected, &m_socket, [this] { m_wasConnected = true; });
        m_socket.connectToHost(address, port);
    }

    bool connected()
    {
        return QTest::qWaitFor([&] { return m_wasConnected; }, WaitMs);
    }
    void send(const QByteArray &bytes) { m_socket.write(bytes); }
    // What came back once it ends with `ending`, or the server hung up.
    QByteArray read(const QByteArray &ending)
    {
        // A timeout shows in what the caller compares.
        (void)QTest::qWaitFor(
            [&] {
                m_got += m_socket.readAll();
                return m_got.endsWith(ending) || m_socket.state() == QAbstractSocket::UnconnectedState;
            },
            WaitMs);
        return std::exchange(m_got, {});
    }
    // What came back once `lines` lines have, or the server hung up.
    QByteArray ask(const QByteArray &bytes, int lines)
    {
        send(bytes);
        // A timeout shows in what the caller compares.
        (void)QTest::qWaitFor(
            [&] {
                m_got += m_socket.readAll();
                return m_got.count('\n') >= lines || m_socket.state() == QAbstractSocket::UnconnectedState;
            },
            WaitMs);
        return std::exchange(m_got, {});
    }
    bool dropped()
    {
        return QTest::qWaitFor([&] { return m_socket.state() == QAbstractSocket::UnconnectedState; }, WaitMs);
    }
    // Sends what is still queued, then closes, as a program that exits does.
    void hangUp() { m_socket.disconnectFromHost(); }

private:
    QTcpSocket m_socket;
    QByteArray m_got;
    bool m_wasConnected = false;
};

// A program that polls the frequency every 200 ms, as a logger does (every second, against limits shortened
// 20-fold), each line in two pieces; it notes a wrong answer and a hang-up.
class Poller {
public:
    explicit Poller(quint16 port)
    {
        QObject::connect(&m_timer, &QTimer::timeout, &m_socket, [this] {
            m_socket.write("f");
            QTimer::singleShot(20, &m_socket, [this] { m_socket.write("\n"); });
        });
        QObject::connect(&m_socket, &QTcpSocket::readyRead, &m_socket, [this] {
            while (m_socket.canReadLine()) {
                if (m_socket.readLine() == QByteArray::number(DummyStartHz) + '\n')
                    ++m_answers;
                else
                    m_wrong = true;
            }
        });
        QObject::connect(&m_socket, &QTcpSocket::disconnected, &m_socket, [this] { m_wrong = true; });
        m_socket.connectToHost(QHostAddress::LocalHost, port);
        m_timer.start(200);
    }
    // True once three more polls have been answered right, and none ever wrong.
    bool keepsPolling()
    {
        const int until = m_answers + 3;
        return QTest::qWaitFor([&] { return m_answers >= until || m_wrong; }, WaitMs) && !m_wrong;
    }

private:
    QTcpSocket m_socket;
    QTimer m_timer;
    int m_answers = 0;
    bool m_wrong = false;
};

// Sends the lines, then "q" or, as a script piping its commands does, the end of its stream, and gives
// everything the server said until it closed the connection.
QByteArray session(quint16 port, const QByteArray &lines, bool endOfStream)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!endOfStream) {
        socket.write(lines + "q\n");
    } else if (socket.waitForConnected(WaitMs)) {
        // Neither side needs the event loop to take the lines; QTcpSocket itself cannot half-close.
        socket.write(lines);
        socket.waitForBytesWritten(WaitMs);
        ::shutdown(static_cast<int>(socket.socketDescriptor()), SHUT_WR);
    }
    QByteArray got;
    (void)QTest::qWaitFor(
        [&] {
            got += socket.readAll();
            return socket.state() == QAbstractSocket::UnconnectedState;
        },
        WaitMs);
    return got + socket.readAll();
}

struct Finished {
    int exitCode = -1;
    QStringList lines;
};

// Runs a client program to its end, the event loop running meanwhile.
Finished runClient(QProcess &process)
{
    (void)QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 2 * WaitMs);
    if (process.state() != QProcess::NotRunning || process.error() == QProcess::FailedToStart ||
        process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(),
            QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)};
}

void startLogger(QProcess &process, const QString &hostPort, int rounds, std::int64_t baseHz)
{
    process.start(QStringLiteral(HAMLIB_LOGGER),
                  {hostPort, QString::number(rounds), QStringLiteral("USB"), QString::number(baseHz)});
}

} // namespace

class TestRigShare : public QObject {
    Q_OBJECT

private slots:
    void answersAsRigctldDoes_data();
    void answersAsRigctldDoes();
    void rigctlReadsAndWrites();
    void hamlibClientUsesTheRig();
    void twoClientsWhileThePanelWrites();
    void misbehavingClient_data();
    void misbehavingClient();
    void rigOffLine_data();
    void rigOffLine();
    void secondProgramOpensTheSharedRig();
    void settingsFileSharesTheRig();
    void busyPortIsTakenOnceFree();
    void silentProgramsGiveWay();
    void unfinishedLineClosesItsConnection_data();
    void unfinishedLineClosesItsConnection();
    void repliesBeyondRigctld_data();
    void repliesBeyondRigctld();
};

void TestRigShare::answersAsRigctldDoes_data()
{
    QTest::addColumn<QByteArray>("lines");
    QTest::addColumn<bool>("endOfStream"); // the client ends its stream instead of sending "q"
    QTest::newRow("plain reads") << QByteArray("f\nm\nt\n\\get_powerstat\n") << false;
    QTest::newRow("extended reads, '+'") << QByteArray("+f\n+m\n+t\n+\\get_powerstat\n") << false;
    QTest::newRow("extended reads, other punctuation") << QByteArray(";f\n;\\get_mode\n|t\n") << false;
    QTest::newRow("plain writes") << QByteArray("F 7074000\nM LSB 2400\nf\nm\n") << false;
    QTest::newRow("extended writes") << QByteArray("+F 7074000\n;\\set_mode LSB 2400\n+\\get_freq\n;m\n") << false;
    QTest::newRow("receiving radio told to receive") << QByteArray("T 0\n+T 0\n") << false;
    QTest::newRow("frequency that is no number") << QByteArray("F abc\n+F abc\n") << false;
    QTest::newRow("blanks, CR LF, comments, fraction of a hertz")
        << QByteArray(" F 7074000.4 \r\n# a note\n\n f\r\n") << false;
    QTest::newRow("reads, then the end of the client's stream") << QByteArray("f\n+m\nt\n") << true;
}

void TestRigShare::answersAsRigctldDoes()
{
    QFETCH(QByteArray, lines);
    QFETCH(bool, endOfStream);
    RigctldProcess rigctld(1);
    QVERIFY2(rigctld.start(), qPrintable(rigctld.error()));
    RigOnShare shared;
    QVERIFY(waitOnline(shared.rig));
    // Both radios start alike.
    rigctld.query(QStringLiteral("F 14074000"));
    rigctld.query(QStringLiteral("M USB 2400"));
    shared.rig.SetFreq(14074000);
    shared.rig.SetMode(OmniRig::PM_SSB_U);
    QTRY_VERIFY_WITH_TIMEOUT(shared.rig.state().freq == 14074000 && shared.rig.state().mode == OmniRig::PM_SSB_U,
                             WaitMs);

    const QByteArray expected = session(rigctld.port(), lines, endOfStream);
    QVERIFY(!expected.isEmpty());
    QCOMPARE(session(shared.port(), lines, endOfStream), expected);
}

void TestRigShare::rigctlReadsAndWrites()
{
    RigOnShare shared;
    QVERIFY(waitOnline(shared.rig));
    EventLog log;
    log.listen(shared.rig);
    QProcess rigctl;
    rigctl.start(QStringLiteral("rigctl"),
                 {QStringLiteral("-m"), QStringLiteral("2"), QStringLiteral("-r"), shared.hostPort(),
                  QStringLiteral("f"), QStringLiteral("m"), QStringLiteral("F"), QStringLiteral("14074000"),
                  QStringLiteral("M"), QStringLiteral("USB"), QStringLiteral("2400"), QStringLiteral("f"),
                  QStringLiteral("m")});
    const Finished run = runClient(rigctl);
    QCOMPARE(run.exitCode, 0);
    // rigctl could open the rig only from the share's description of it.
    QCOMPARE(run.lines, QStringList({QStringLiteral("145000000"), QStringLiteral("FM"), QStringLiteral("15000"),
                                     QStringLiteral("14074000"), QStringLiteral("USB"), QStringLiteral("2400")}));

    // The write shows on the rig object as any change of the radio does.
    QCOMPARE(shared.rig.Freq(), std::int64_t(14074000));
    QCOMPARE(shared.rig.Mode(), std::int32_t(OmniRig::PM_SSB_U));
    QTRY_VERIFY_WITH_TIMEOUT(!log.events.filter(QStringLiteral("params 1 FREQ")).isEmpty(), WaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(shared.rig.state().freq, std::int64_t(14074000), WaitMs);
}

void TestRigShare::hamlibClientUsesTheRig()
{
    RigOnShare shared;
    QVERIFY(waitOnline(shared.rig));
    QProcess logger;
    startLogger(logger, shared.hostPort(), 2, 7074000);
    const Finished run = runClient(logger);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.lines, QStringList({
                            QStringLiteral("open 0"),
                            QStringLiteral("set_freq 0"),
                            QStringLiteral("get_freq 0 7074000"),
                            QStringLiteral("set_mode 0"),
                            QStringLiteral("get_mode 0 USB 2400"),
                            QStringLiteral("set_freq 0"),
                            QStringLiteral("get_freq 0 7074001"),
                            QStringLiteral("set_mode 0"),
                            QStringLiteral("get_mode 0 USB 2400"),
                            QStringLiteral("set_ptt 0"),
                            QStringLiteral("get_ptt 0 1"),
                            QStringLiteral("release_ptt 0"),
                            QStringLiteral("close 0"),
                        }));
    QTRY_COMPARE_WITH_TIMEOUT(shared.rig.state().freq, std::int64_t(7074001), WaitMs);
    QCOMPARE(shared.rig.state().mode, std::int32_t(OmniRig::PM_SSB_U));
    QTRY_COMPARE_WITH_TIMEOUT(shared.rig.state().tx, std::int32_t(OmniRig::PM_RX), WaitMs);
}

void TestRigShare::twoClientsWhileThePanelWrites()
{
    constexpr int Rounds = 25;
    constexpr std::int64_t FirstBase = 7000000, SecondBase = 7100000, PanelBase = 14000000, LastHz = 14250000;
    RigOnShare shared;
    QVERIFY(waitOnline(shared.rig));

    std::set<std::int64_t> written{DummyStartHz};
    for (int round = 0; round < Rounds; ++round)
        written.insert({FirstBase + round, SecondBase + round});
    QTimer panel;
    std::int64_t panelHz = PanelBase;
    QObject::connect(&panel, &QTimer::timeout, &panel, [&] {
        shared.rig.SetFreq(++panelHz);
        written.insert(panelHz);
    });
    panel.start(5);
    QProcess first, second;
    startLogger(first, shared.hostPort(), Rounds, FirstBase);
    startLogger(second, shared.hostPort(), Rounds, SecondBase);
    const Finished runs[] = {runClient(first), runClient(second)};
    panel.stop();
    shared.rig.SetFreq(LastHz);

    for (const Finished &run : runs) {
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.lines.size(), 4 * Rounds + 5);
        for (const QString &line : run.lines) {
            const QStringList words = line.split(QLatin1Char(' '));
            if (words[0] == QLatin1String("set_ptt") || words[0] == QLatin1String("get_ptt"))
                continue; // PTT has its own test
            QVERIFY2(words.value(1) == QLatin1String("0"), qPrintable(line));
            if (words[0] == QLatin1String("get_freq"))
                QVERIFY2(written.count(words.value(2).toLongLong()) == 1, qPrintable(line));
            if (words[0] == QLatin1String("get_mode"))
                QCOMPARE(line, QStringLiteral("get_mode 0 USB 2400"));
        }
    }
    QTRY_COMPARE_WITH_TIMEOUT(shared.rig.state().freq, LastHz, WaitMs);
    QCOMPARE(shared.rig.Freq(), LastHz);
    QCOMPARE(shared.share.clientCount(), 0);
}

void TestRigShare::misbehavingClient_data()
{
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<int>("othersBefore"); // idle clients connected ahead of it
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("hangsUp");
    QTest::addColumn<bool>("dropped");
    QTest::addColumn<qint64>("radioHz"); // where the radio ends
    const QByteArray overLimit(ShareConnection::MaxLine + 1, 'F');
    const qint64 start = DummyStartHz;
    QTest::newRow("garbage bytes") << QByteArray("\x01\xfe\xff\x00zz\n", 7) << 0 << QByteArray("RPRT -11\n") << false
                                   << false << start;
    QTest::newRow("unknown command") << QByteArray("\\set_level AF 0.5\n") << 0 << QByteArray("RPRT -11\n") << false
                                     << false << start;
    QTest::newRow("write of a broken value")
        << QByteArray("F 7.0.7\n") << 0 << QByteArray("RPRT -1\n") << false << false << start;
    QTest::newRow("longest line allowed") << "f" + QByteArray(ShareConnection::MaxLine - 1, ' ') + '\n'
                                          << 0 << QByteArray::number(DummyStartHz) + '\n'
                                          << false << false << start;
    QTest::newRow("line without end over the limit")
        << overLimit << 0 << QByteArray("RPRT -1\n") << false << true << start;
    QTest::newRow("line over the limit, then its end") << overLimit + "\nF 7074000\n"
                                                       << 0 << QByteArray("RPRT -1\n") << false << true << start;
    QTest::newRow("hang-up mid-command") << QByteArray("F 7074") << 0 << QByteArray() << true << true << start;
    // A whole command is carried out, as rigctld does, though nobody waits for its answer.
    QTest::newRow("hang-up while its write is on its way")
        << QByteArray("F 7074000\n") << 0 << QByteArray() << true << true << qint64(7074000);
    QTest::newRow("client over the limit")
        << QByteArray("F 7074000\n") << ShareListener::MaxClients - 1 << QByteArray() << false << true << start;
}

void TestRigShare::misbehavingClient()
{
    QFETCH(QByteArray, sent);
    QFETCH(int, othersBefore);
    QFETCH(QByteArray, reply);
    QFETCH(bool, hangsUp);
    QFETCH(bool, dropped);
    QFETCH(qint64, radioHz);
    RigOnShare shared;
    QVERIFY(waitOnline(shared.rig));
    Client good(shared.port());
    QVERIFY(good.connected());
    QCOMPARE(good.ask("f\n", 1), QByteArray::number(DummyStartHz) + '\n');
    std::vector<std::unique_ptr<Client>> others;
    for (int i = 0; i < othersBefore; ++i) {
        others.push_back(std::make_unique<Client>(shared.port()));
        QVERIFY(others.back()->connected());
    }
    QTRY_COMPARE_WITH_TIMEOUT(shared.share.clientCount(), 1 + othersBefore, WaitMs);

    Client bad(shared.port());
    QVERIFY(bad.connected());
    bad.send(sent);
    if (!reply.isEmpty())
        QCOMPARE(bad.read("\n"), reply);
    if (hangsUp)
        bad.hangUp();
    if (dropped)
        QVERIFY(bad.dropped());
    QTRY_COMPARE_WITH_TIMEOUT(shared.share.turnedAwayCount(), 1 + othersBefore >= ShareListener::MaxClients ? 1 : 0,
                              WaitMs);
    if (!dropped)
        QCOMPARE(bad.ask("f\n", 1), QByteArray::number(DummyStartHz) + '\n'); // still served
    QTRY_COMPARE_WITH_TIMEOUT(shared.rig.Freq(), radioHz, WaitMs);
    const QByteArray rightAnswer = QByteArray::number(radioHz) + '\n';
    QCOMPARE(good.ask("f\n", 1), rightAnswer);

    bad.hangUp();
    others.clear();
    QTRY_COMPARE_WITH_TIMEOUT(shared.share.clientCount(), 1, WaitMs);
    // Everything it sent has been dealt with by now.
    QCOMPARE(good.ask("f\n", 1), rightAnswer);
    QCOMPARE(shared.rig.Freq(), radioHz);
}

void TestRigShare::rigOffLine_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("error");
    QTest::newRow("rig disabled") << "disable" << int(OmniRig::ST_DISABLED) << RigctldResponder::IoError;
    QTest::newRow("radio stops answering") << "stop" << int(OmniRig::ST_NOTRESPONDING) << RigctldResponder::TimedOut;
    QTest::newRow("radio's server gone") << "kill" << int(OmniRig::ST_PORTBUSY) << RigctldResponder::IoError;
}

void TestRigShare::rigOffLine()
{
    QFETCH(QString, how);
    QFETCH(int, status);
    QFETCH(int, error);
    RigctldProcess rigctld(1);
    QVERIFY2(rigctld.start(), qPrintable(rigctld.error()));
    const RigSettings settings = overRigctld(rigctld.hostPort());
    RigOnShare shared(settings);
    QVERIFY(waitOnline(shared.rig));
    Client client(shared.port());
    QVERIFY(client.connected());
    QCOMPARE(client.ask("f\n", 1), QByteArray("145000000\n"));

    RigSettings disabled = settings;
    disabled.enabled = false;
    if (how == QLatin1String("disable"))
        shared.configure(disabled);
    else if (how == QLatin1String("stop"))
        rigctld.stop();
    else
        rigctld.kill9();
    QTRY_COMPARE_WITH_TIMEOUT(shared.rig.Status(), std::int32_t(status), WaitMs);

    const QByteArray rprt = "RPRT " + QByteArray::number(error) + '\n';
    QCOMPARE(client.ask("f\nF 7074000\n;m\n", 3), rprt + rprt + "get_mode:;" + rprt);
    // A client can still open the rig and wait for the radio.
    client.send("\\dump_state\n");
    QVERIFY(client.read("done\n").startsWith("1\n2\n0\n"));

    if (how == QLatin1String("disable"))
        shared.configure(settings);
    else if (how == QLatin1String("stop"))
        rigctld.resume();
    else
        QVERIFY2(rigctld.start(), qPrintable(rigctld.error()));
    QVERIFY(waitOnline(shared.rig));
    QCOMPARE(client.ask("f\n", 1), QByteArray("145000000\n"));
    QCOMPARE(client.ask("F 7074000\n", 1), QByteArray("RPRT 0\n"));
    QTRY_COMPARE_WITH_TIMEOUT(rigctld.query(QStringLiteral("f")).value(0), QStringLiteral("7074000"), WaitMs);
    QCOMPARE(shared.share.clientCount(), 1);
}

void TestRigShare::secondProgramOpensTheSharedRig()
{
    RigOnShare shared;
    QVERIFY(waitOnline(shared.rig));
    shared.rig.SetFreq(21074000);
    RigObject remote(2, overRigctld(shared.hostPort()), backends());
    remote.start();
    QVERIFY(waitOnline(remote));
    QCOMPARE(remote.RigType(), std::string("Dummy"));
    QTRY_COMPARE_WITH_TIMEOUT(remote.Freq(), std::int64_t(21074000), WaitMs);

    remote.SetFreq(28074000);
    QTRY_COMPARE_WITH_TIMEOUT(shared.rig.state().freq, std::int64_t(28074000), WaitMs);
    shared.rig.SetMode(OmniRig::PM_SSB_L);
    QTRY_COMPARE_WITH_TIMEOUT(remote.Mode(), std::int32_t(OmniRig::PM_SSB_L), WaitMs);
    QCOMPARE(shared.share.clientCount(), 1);
}

void TestRigShare::settingsFileSharesTheRig()
{
    const quint16 port = RigctldProcess::freePort();
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("rigserver.ini")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("[Rig1]\nShare=1\nSharePort=%1\nShareAddress=127.0.0.2\n").arg(port).toUtf8());
    file.close();
    RigServer server(file.fileName(), backends(), {},
                     [](RigObject &rig) { return std::make_unique<RigShareServer>(rig); });
    EventLog log;
    server.Advise(&log);
    QVERIFY(waitOnline(*server.rig(1)));

    Client client(port, QHostAddress(QStringLiteral("127.0.0.2")));
    QVERIFY(client.connected());
    QCOMPARE(client.ask("f\n", 1), QByteArray::number(DummyStartHz) + '\n');
    QTRY_COMPARE_WITH_TIMEOUT(server.share(1)->clientCount(), 1, WaitMs);
    // Only the address it was given.
    Client elsewhere(port);
    QVERIFY(elsewhere.dropped());
    QCOMPARE(server.share(1)->problem(), QString());
}

void TestRigShare::busyPortIsTakenOnceFree()
{
    QTcpServer other;
    QVERIFY(other.listen(QHostAddress::LocalHost, 0));
    RigOnShare shared(dummyRig(), other.serverPort());
    QVERIFY(waitOnline(shared.rig));
    QTRY_VERIFY_WITH_TIMEOUT(!shared.share.problem().isEmpty(), WaitMs);

    other.close();
    QTRY_COMPARE_WITH_TIMEOUT(shared.share.problem(), QString(), WaitMs);
    Client client(shared.port());
    QVERIFY(client.connected());
    QCOMPARE(client.ask("f\n", 1), QByteArray::number(DummyStartHz) + '\n');
}

// Sixteen programs that connected and never spoke hold every place; once they have been silent for the limit,
// each new program takes the place of the one silent longest, and a program that polls keeps its own.
void TestRigShare::silentProgramsGiveWay()
{
    RigOnShare shared(dummyRig(), RigctldProcess::freePort(), ShortLimits);
    QVERIFY(waitOnline(shared.rig));
    std::vector<std::unique_ptr<Client>> silent, newcomers;
    for (int i = 0; i < ShareListener::MaxClients; ++i) {
        silent.push_back(std::make_unique<Client>(shared.port()));
        QVERIFY(silent.back()->connected());
    }
    QTRY_COMPARE_WITH_TIMEOUT(shared.share.clientCount(), ShareListener::MaxClients, WaitMs);
    QElapsedTimer since;
    since.start();
    QVERIFY(QTest::qWaitFor([&] { return since.hasExpired(ShortLimits.silentMs); }, WaitMs));

    Poller poller(shared.port());
    QVERIFY(poller.keepsPolling());
    QVERIFY(silent[0]->dropped());
    for (std::size_t n = 1; n < silent.size(); ++n) {
        newcomers.push_back(std::make_unique<Client>(shared.port()));
        QCOMPARE(newcomers.back()->ask("f\n", 1), QByteArray::number(DummyStartHz) + '\n');
        QVERIFY(silent[n]->dropped());
    }
    QVERIFY(poller.keepsPolling());
    QCOMPARE(shared.share.clientCount(), ShareListener::MaxClients);
    QCOMPARE(shared.share.turnedAwayCount(), 0);
}

void TestRigShare::unfinishedLineClosesItsConnection_data()
{
    QTest::addColumn<int>("byteEveryMs"); // 0: the half line is all it sends
    QTest::newRow("half a command, then nothing") << 0;
    QTest::newRow("a byte now and then, never a line end") << 100;
}

void TestRigShare::unfinishedLineClosesItsConnection()
{
    QFETCH(int, byteEveryMs);
    RigOnShare shared(dummyRig(), RigctldProcess::freePort(), ShortLimits);
    QVERIFY(waitOnline(shared.rig));
    Poller poller(shared.port());
    Client slow(shared.port());
    QVERIFY(slow.connected());
    QElapsedTimer since;
    since.start();
    slow.send("F 7074");
    QTimer dribble;
    QObject::connect(&dribble, &QTimer::timeout, &dribble, [&] { slow.send("0"); });
    if (byteEveryMs > 0)
        dribble.start(byteEveryMs);
    QVERIFY(slow.dropped());
    QVERIFY(since.elapsed() >= ShortLimits.unfinishedLineMs);
    QVERIFY(poller.keepsPolling());
    QCOMPARE(shared.rig.Freq(), DummyStartHz);
}

void TestRigShare::repliesBeyondRigctld_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QByteArray>("reply");
    const int online = OmniRig::ST_ONLINE;
    QTest::newRow("frequency out of bounds")
        << online << QStringList{"F 0", "F -7074000", "F 2e12"} << QByteArray("RPRT -1\nRPRT -1\nRPRT -1\n");
    QTest::newRow("arguments where none belong")
        << online << QStringList{"f 1", "M USB 2400 1"} << QByteArray("RPRT -1\nRPRT -1\n");
    QTest::newRow("passband that is no number") << online << QStringList{"M USB wide"} << QByteArray("RPRT -1\n");
    QTest::newRow("other VFO selected, then this one again")
        << online << QStringList{"V VFOB", "f", "F 7074000", "+v", "V VFOA", "f"}
        << QByteArray("RPRT 0\nRPRT -11\nRPRT -11\nget_vfo:\nVFO: VFOB\nRPRT 0\nRPRT 0\n14074000\n");
    QTest::newRow("radio not responding") << int(OmniRig::ST_NOTRESPONDING) << QStringList{"f", ";\\set_freq 7074000"}
                                          << QByteArray("RPRT -5\nset_freq: 7074000;RPRT -5\n");
    QTest::newRow("no radio configured") << int(OmniRig::ST_NOTCONFIGURED) << QStringList{"+m", "V VFOA"}
                                         << QByteArray("get_mode:\nRPRT -6\nRPRT -6\n");
}

void TestRigShare::repliesBeyondRigctld()
{
    QFETCH(int, status);
    QFETCH(QStringList, lines);
    QFETCH(QByteArray, reply);
    SharedRig rig;
    rig.status = status;
    rig.freq = 14074000;
    rig.mode = OmniRig::PM_SSB_U;
    rig.readable = OmniRig::PM_FREQ | OmniRig::PM_SSB_U | OmniRig::PM_RX;
    RigctldSession session;
    QByteArray got;
    for (const QString &line : lines) {
        const std::optional<RigctldCommand> command = RigctldCommand::parse(line.toStdString());
        QVERIFY(command);
        const RigctldAnswer answer = RigctldResponder::answer(*command, rig, session);
        got += QByteArray::fromStdString(answer.write ? RigctldResponder::writeReply(*command, 0) : answer.reply);
    }
    QCOMPARE(got, reply);
}

QTEST_MAIN(TestRigShare)
#include "tst_rigshare.moc"
