// The rig server against real rigctld processes and Hamlib's Dummy rig: values round trip through both
// back ends, rigs stay independent, and killed, stopped and restarted servers show as status and recover.
// A radio keyed through the server is unkeyed when whoever keyed it goes.
#include "EventLog.h"
#include "RigctldProcess.h"
#include "ini/IniFile.h"
#include "rigserver/backends/HamlibBackendFactory.h"
#include "rigserver/core/RigObject.h"
#include "rigserver/core/RigServer.h"
#include "rigserver/core/RigServerSettings.h"
#include "rigserver/share/RigShareServer.h"

#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

namespace {

constexpr int PollMs = 200;
constexpr int TimeoutMs = 1000;
// Room for a loaded machine or a sanitizer build on top of the bounds the server promises.
constexpr int SlackMs = 1500;

// The back ends the program drives its radios with.
std::shared_ptr<const RigBackendFactory> backends()
{
    return std::make_shared<HamlibBackendFactory>();
}

RigSettings overRigctld(const RigctldProcess &rigctld)
{
    RigSettings settings;
    settings.model = RigSettings::RigctldModel;
    settings.port = rigctld.hostPort().toStdString();
    settings.pollMs = PollMs;
    settings.timeoutMs = TimeoutMs;
    settings.conf.clear();
    return settings;
}

RigSettings dummyInProcess()
{
    RigSettings settings;
    settings.pollMs = PollMs;
    settings.timeoutMs = TimeoutMs;
    return settings;
}

bool waitOnline(RigObject &rig, int ms = 10000)
{
    return QTest::qWaitFor([&] { return rig.Status() == OmniRig::ST_ONLINE; }, ms);
}

// Waits until the rig has given up on a radio that stopped answering: not a bound under test here, so the
// wait is generous.
bool waitAway(RigObject &rig)
{
    return QTest::qWaitFor([&] { return rig.Status() != OmniRig::ST_ONLINE; }, 10 * TimeoutMs);
}

// Whether a share listens on port (it starts listening on a thread of its own).
bool listens(quint16 port)
{
    return QTest::qWaitFor(
        [port] {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, port);
            return probe.waitForConnected(1000);
        },
        10000);
}

// Waits until the rig has polled its radio again after everything asked of it so far, and takes the state
// it published: a value read then is the radio's, not what the rig object showed while writing.
bool pollAgain(RigObject &rig)
{
    // At most two reads of a poll under way and a write asked twice, then a whole poll, then a command of the
    // next one: by then that whole poll has been published.
    const std::uint64_t start = rig.commandCount();
    const bool polled = QTest::qWaitFor([&] { return rig.commandCount() >= start + 10; }, 10000);
    QCoreApplication::processEvents();
    return polled;
}

} // namespace

class TestRigServer : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void everyModeRoundTrips();
    void rigsAreIndependent();
    void killedServerShowsAndRecovers();
    void stoppedServerShowsAndRecovers();
    void eventsAreRaisedOnce();
    void transmitStateIsRead();
    void defaultServerRunsTwoDummyRigs();
    void pollingWaitsForFirstClient();
    void reconfigureKeepsTheRigObject();
    void appliedSettingsAreSavedFirst_data();
    void appliedSettingsAreSavedFirst();
    void statusWithoutRadio_data();
    void statusWithoutRadio();
    void firstClientHearsStartState_data();
    void firstClientHearsStartState();
    void reconfigurationClearsWhatWasRead_data();
    void reconfigurationClearsWhatWasRead();
    void transmitWriteReachesTheRadio_data();
    void transmitWriteReachesTheRadio();
    void keyedRadioIsNotLeftKeyed_data();
    void keyedRadioIsNotLeftKeyed();
    void programThatKeyedAndWentIsUnkeyed_data();
    void programThatKeyedAndWentIsUnkeyed();
};

void TestRigServer::roundTrip_data()
{
    QTest::addColumn<bool>("viaRigctld");
    QTest::newRow("Hamlib Dummy in process") << false;
    QTest::newRow("rigctld client") << true;
}

void TestRigServer::roundTrip()
{
    QFETCH(bool, viaRigctld);
    RigctldProcess rigctld(1);
    if (viaRigctld)
        QVERIFY2(rigctld.start(), qPrintable(rigctld.error()));
    RigObject rig(1, viaRigctld ? overRigctld(rigctld) : dummyInProcess(), backends());
    rig.start();
    QVERIFY(waitOnline(rig));
    QCOMPARE(rig.StatusStr(), std::string("On-line"));
    QCOMPARE(rig.RigType(), std::string("Dummy"));
    QCOMPARE(rig.Freq(), std::int64_t(145000000));
    QCOMPARE(rig.Mode(), std::int32_t(OmniRig::PM_FM));

    // A read right after a write sees it, before the radio has been told, and after the radio answered.
    rig.SetFreq(14074000);
    rig.SetMode(OmniRig::PM_SSB_U);
    QCOMPARE(rig.Freq(), std::int64_t(14074000));
    QCOMPARE(rig.Mode(), std::int32_t(OmniRig::PM_SSB_U));
    if (viaRigctld) {
        // The radio behind rigctld really moves, not just our cache.
        QTRY_COMPARE(rigctld.query(QStringLiteral("f")).value(0), QStringLiteral("14074000"));
        QTRY_COMPARE(rigctld.query(QStringLiteral("m")).value(0), QStringLiteral("USB"));
    }
    QTest::qWait(2 * PollMs);
    QCOMPARE(rig.Freq(), std::int64_t(14074000));
    QCOMPARE(rig.Mode(), std::int32_t(OmniRig::PM_SSB_U));
}

void TestRigServer::everyModeRoundTrips()
{
    RigctldProcess rigctld(1);
    QVERIFY2(rigctld.start(), qPrintable(rigctld.error()));
    RigObject rig(1, overRigctld(rigctld), backends());
    rig.start();
    QVERIFY(waitOnline(rig));
    const std::pair<std::int32_t, const char *> modes[] = {
        {OmniRig::PM_CW_U, "CW"},   {OmniRig::PM_CW_L, "CWR"},     {OmniRig::PM_SSB_U, "USB"},
        {OmniRig::PM_SSB_L, "LSB"}, {OmniRig::PM_DIG_U, "PKTUSB"}, {OmniRig::PM_DIG_L, "PKTLSB"},
        {OmniRig::PM_AM, "AM"},     {OmniRig::PM_FM, "FM"},
    };
    for (const auto &[flag, name] : modes) {
        rig.SetMode(flag);
        QCOMPARE(rig.Mode(), flag);
        QTRY_COMPARE(rigctld.query(QStringLiteral("m")).value(0), QString::fromLatin1(name));
    }
    // A mode without a Hamlib name sends nothing.
    rig.SetMode(0);
    rig.SetMode(OmniRig::PM_FREQ);
    QTest::qWait(2 * PollMs);
    QCOMPARE(rigctld.query(QStringLiteral("m")).value(0), QStringLiteral("FM"));
}

void TestRigServer::rigsAreIndependent()
{
    RigctldProcess first(1);
    RigctldProcess second(6);
    QVERIFY2(first.start(), qPrintable(first.error()));
    QVERIFY2(second.start(), qPrintable(second.error()));
    RigObject rig1(1, overRigctld(first), backends());
    RigObject rig2(2, overRigctld(second), backends());
    rig1.start();
    rig2.start();
    QVERIFY(waitOnline(rig1));
    QVERIFY(waitOnline(rig2));
    QCOMPARE(rig1.RigType(), std::string("Dummy"));
    QCOMPARE(rig2.RigType(), std::string("Dummy No VFO"));

    // rigctld's Dummy without VFO takes a frequency but reads back 145 MHz once its own cache expires, so Rig2
    // is told a mode only.
    rig1.SetFreq(7074000);
    rig2.SetMode(OmniRig::PM_SSB_L);
    QTRY_COMPARE(first.query(QStringLiteral("f")).value(0), QStringLiteral("7074000"));
    QTRY_COMPARE(second.query(QStringLiteral("m")).value(0), QStringLiteral("LSB"));
    QCOMPARE(first.query(QStringLiteral("m")).value(0), QStringLiteral("FM"));
    QTest::qWait(2 * PollMs);
    QCOMPARE(rig1.Freq(), std::int64_t(7074000));
    QCOMPARE(rig1.Mode(), std::int32_t(OmniRig::PM_FM));
    QCOMPARE(rig2.Freq(), std::int64_t(145000000));
    QCOMPARE(rig2.Mode(), std::int32_t(OmniRig::PM_SSB_L));
}

void TestRigServer::killedServerShowsAndRecovers()
{
    RigctldProcess rigctld(1);
    QVERIFY2(rigctld.start(), qPrintable(rigctld.error()));
    RigObject rig(1, overRigctld(rigctld), backends());
    rig.start();
    QVERIFY(waitOnline(rig));

    rigctld.kill9();
    QTRY_VERIFY_WITH_TIMEOUT(rig.Status() != OmniRig::ST_ONLINE, TimeoutMs + PollMs + SlackMs);
    QCOMPARE(rig.StatusStr(), std::string("Port is not available"));

    QVERIFY2(rigctld.start(), qPrintable(rigctld.error()));
    QTRY_COMPARE_WITH_TIMEOUT(rig.StatusStr(), std::string("On-line"), 3000 + SlackMs);
}

void TestRigServer::stoppedServerShowsAndRecovers()
{
    RigctldProcess rigctld(1);
    QVERIFY2(rigctld.start(), qPrintable(rigctld.error()));
    RigObject rig(1, overRigctld(rigctld), backends());
    rig.start();
    QVERIFY(waitOnline(rig));

    rigctld.stop();
    // A read goes unanswered twice before the radio counts as gone.
    QTRY_COMPARE_WITH_TIMEOUT(rig.StatusStr(), std::string("Rig is not responding"), 2 * TimeoutMs + PollMs + SlackMs);
    QCOMPARE(rig.Status(), std::int32_t(OmniRig::ST_NOTRESPONDING));

    rigctld.resume();
    QTRY_COMPARE_WITH_TIMEOUT(rig.StatusStr(), std::string("On-line"), 2 * TimeoutMs + 1000 + SlackMs);
}

void TestRigServer::eventsAreRaisedOnce()
{
    RigctldProcess first(1);
    RigctldProcess second(6);
    QVERIFY2(first.start(), qPrintable(first.error()));
    QVERIFY2(second.start(), qPrintable(second.error()));
    RigObject rig1(1, overRigctld(first), backends());
    RigObject rig2(2, overRigctld(second), backends());
    EventLog log;
    log.listen(rig1);
    log.listen(rig2);
    rig1.start();
    rig2.start();
    QVERIFY(waitOnline(rig1));
    QVERIFY(waitOnline(rig2));
    // Connecting names the remote radio, puts the rig on line, and reports every value read.
    QTRY_COMPARE(log.count(QStringLiteral("params 1 FREQ|RX|FM")), 1);
    QTRY_COMPARE(log.count(QStringLiteral("params 2 FREQ|RX|FM")), 1);
    QCOMPARE(log.count(QStringLiteral("status 1")), 1);
    QCOMPARE(log.count(QStringLiteral("status 2")), 1);
    QCOMPARE(log.count(QStringLiteral("type 1")), 1);
    QCOMPARE(log.events.indexOf(QStringLiteral("status 1")) < log.events.indexOf(QStringLiteral("params 1 FREQ|RX|FM")),
             true);

    log.events.clear();
    rig1.SetFreq(21074000);
    QTRY_COMPARE(log.count(QStringLiteral("params 1 FREQ")), 1);
    rig2.SetMode(OmniRig::PM_CW_U);
    QTRY_COMPARE(log.count(QStringLiteral("params 2 CW")), 1);
    // Several polls later nothing more has been raised: unchanged values are not news.
    QTest::qWait(3 * PollMs);
    QCOMPARE(log.events, QStringList({QStringLiteral("params 1 FREQ"), QStringLiteral("params 2 CW")}));
}

void TestRigServer::transmitStateIsRead()
{
    RigctldProcess rigctld(1);
    QVERIFY2(rigctld.start(), qPrintable(rigctld.error()));
    RigObject rig(1, overRigctld(rigctld), backends());
    EventLog log;
    log.listen(rig);
    rig.start();
    QVERIFY(waitOnline(rig));
    QCOMPARE(rig.Tx(), std::int32_t(OmniRig::PM_RX));
    QVERIFY(rig.IsParamReadable(OmniRig::PM_TX));
    QVERIFY(rig.IsParamReadable(OmniRig::PM_RX));

    rigctld.query(QStringLiteral("T 1"));
    QTRY_COMPARE(rig.Tx(), std::int32_t(OmniRig::PM_TX));
    QCOMPARE(log.count(QStringLiteral("params 1 TX")), 1);
    rigctld.query(QStringLiteral("T 0"));
    QTRY_COMPARE(rig.Tx(), std::int32_t(OmniRig::PM_RX));
}

void TestRigServer::defaultServerRunsTwoDummyRigs()
{
    QTemporaryDir dir;
    RigServer server(dir.filePath(QStringLiteral("velkor/rigserver.ini")), backends());
    EventLog log;
    server.Advise(&log);
    IRigX *rig1 = server.Rig1();
    IRigX *rig2 = server.Rig2();
    QVERIFY(rig1 != rig2);
    QTRY_COMPARE_WITH_TIMEOUT(rig1->StatusStr(), std::string("On-line"), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(rig2->StatusStr(), std::string("On-line"), 10000);
    QCOMPARE(rig1->RigType(), std::string("Dummy"));
    // ptt_type=RIG: the Dummy's transmit state can be read.
    QTRY_COMPARE(rig1->Tx(), std::int32_t(OmniRig::PM_RX));
    QVERIFY(rig1->IsParamReadable(OmniRig::PM_TX));
    QCOMPARE(server.Rig1(), rig1);
    // Each rig's start state, then on line.
    QTRY_VERIFY(log.count(QStringLiteral("status 1")) == 2 && log.count(QStringLiteral("status 2")) == 2);
    // The server only reads its settings; the file appears when the user applies settings.
    QVERIFY(!QFile::exists(server.settingsPath()));
}

void TestRigServer::pollingWaitsForFirstClient()
{
    QTemporaryDir dir;
    RigServer server(dir.filePath(QStringLiteral("rigserver.ini")), backends());
    QTest::qWait(500);
    QCOMPARE(server.Rig1()->Status(), std::int32_t(OmniRig::ST_NOTRESPONDING));
    QCOMPARE(server.rig(1)->commandCount(), std::uint64_t(0));
    EventLog log;
    server.Advise(&log);
    QTRY_COMPARE_WITH_TIMEOUT(server.Rig1()->Status(), std::int32_t(OmniRig::ST_ONLINE), 10000);
    // The start state the client was told of first, then the change it would otherwise have missed.
    QCOMPARE(log.events.filter(QStringLiteral("status 1")).size(), 2);
    QCOMPARE(log.events.value(1), QStringLiteral("status 1"));
}

void TestRigServer::reconfigureKeepsTheRigObject()
{
    RigctldProcess rigctld(6);
    QVERIFY2(rigctld.start(), qPrintable(rigctld.error()));
    QTemporaryDir dir;
    RigServer server(dir.filePath(QStringLiteral("rigserver.ini")), backends());
    EventLog log;
    server.Advise(&log);
    IRigX *rig2 = server.Rig2();
    QTRY_COMPARE_WITH_TIMEOUT(rig2->Status(), std::int32_t(OmniRig::ST_ONLINE), 10000);

    log.events.clear();
    server.reconfigure(2, overRigctld(rigctld));
    QCOMPARE(server.Rig2(), rig2);
    QCOMPARE(log.events.mid(0, 2), QStringList({QStringLiteral("type 2"), QStringLiteral("status 2")}));
    QTRY_COMPARE(rig2->RigType(), std::string("Dummy No VFO"));
    QTRY_COMPARE(rig2->Status(), std::int32_t(OmniRig::ST_ONLINE));
    QCOMPARE(log.events.filter(QStringLiteral(" 1")).size(), 0);

    // The same settings again change nothing and raise nothing.
    log.events.clear();
    server.reconfigure(2, overRigctld(rigctld));
    QCOMPARE(log.events, QStringList());
}

void TestRigServer::appliedSettingsAreSavedFirst_data()
{
    QTest::addColumn<bool>("writable");
    QTest::newRow("saved, then taken by the rig") << true;
    QTest::newRow("not saved: the rig keeps its own") << false;
}

void TestRigServer::appliedSettingsAreSavedFirst()
{
    QFETCH(bool, writable);
    QTemporaryDir dir;
    // A file where the settings' folder would be stops every write.
    QFile blocker(dir.filePath(QStringLiteral("blocker")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString path =
        dir.filePath(writable ? QStringLiteral("velkor/rigserver.ini") : QStringLiteral("blocker/rigserver.ini"));
    RigServer server(path, backends());
    const RigSettings before = server.rig(2)->settings();
    const RigSettings wanted = dummyInProcess();
    QVERIFY(wanted != before);

    bool refused = false;
    try {
        server.applySettings(2, wanted);
    } catch (const IniWriteError &) {
        refused = true;
    }
    QCOMPARE(refused, !writable);
    const RigSettings expected = writable ? wanted : before;
    QCOMPARE(server.rig(2)->settings(), expected);
    QCOMPARE(RigServerSettings::load(IniFile(QFile::encodeName(path).toStdString()), 2), expected);
}

void TestRigServer::statusWithoutRadio_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("rigType");
    QTest::newRow("no rig") << 0 << true << int(OmniRig::ST_NOTCONFIGURED) << "Rig is not configured"
                            << "NONE";
    QTest::newRow("unknown model") << 999999 << true << int(OmniRig::ST_NOTCONFIGURED) << "Rig is not configured"
                                   << "NONE";
    QTest::newRow("disabled") << 1 << false << int(OmniRig::ST_DISABLED) << "Rig is disabled"
                              << "Dummy";
    QTest::newRow("serial port that is not there")
        << 1020 << true << int(OmniRig::ST_PORTBUSY) << "Port is not available"
        << "FT-817";
}

void TestRigServer::statusWithoutRadio()
{
    QFETCH(int, model);
    QFETCH(bool, enabled);
    QFETCH(int, status);
    QFETCH(QString, text);
    QFETCH(QString, rigType);
    RigSettings settings = dummyInProcess();
    settings.model = model;
    settings.enabled = enabled;
    settings.port = "/dev/velkor-no-such-port";
    RigObject rig(1, settings, backends());
    rig.start();
    QTRY_COMPARE(rig.Status(), std::int32_t(status));
    QCOMPARE(QString::fromStdString(rig.StatusStr()), text);
    QCOMPARE(QString::fromStdString(rig.RigType()), rigType);
    QCOMPARE(rig.ReadableParams(), std::int32_t(0));
}

void TestRigServer::firstClientHearsStartState_data()
{
    QTest::addColumn<QByteArray>("rig2");
    QTest::addColumn<QString>("status");
    QTest::newRow("no rig") << QByteArray("Model=0") << "Rig is not configured";
    QTest::newRow("unknown model") << QByteArray("Model=999999") << "Rig is not configured";
    QTest::newRow("disabled") << QByteArray("Enabled=0") << "Rig is disabled";
}

void TestRigServer::firstClientHearsStartState()
{
    QFETCH(QByteArray, rig2);
    QFETCH(QString, status);
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("rigserver.ini")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Rig2]\n" + rig2 + "\n");
    file.close();
    RigServer server(file.fileName(), backends());
    EventLog log;
    server.Advise(&log);
    QVERIFY(log.events.isEmpty());
    // A rig that never opens a radio still tells the client what it is, once.
    QTRY_COMPARE_WITH_TIMEOUT(server.Rig1()->Status(), std::int32_t(OmniRig::ST_ONLINE), 10000);
    QCOMPARE(log.events.filter(QStringLiteral(" 2")),
             QStringList({QStringLiteral("type 2"), QStringLiteral("status 2")}));
    QCOMPARE(log.events.mid(0, 2), QStringList({QStringLiteral("type 1"), QStringLiteral("status 1")}));
    QCOMPARE(QString::fromStdString(server.Rig2()->StatusStr()), status);
}

void TestRigServer::reconfigurationClearsWhatWasRead_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("disabled") << 1 << false;
    QTest::newRow("no rig") << 0 << true;
}

void TestRigServer::reconfigurationClearsWhatWasRead()
{
    QFETCH(int, model);
    QFETCH(bool, enabled);
    RigObject rig(1, dummyInProcess(), backends());
    EventLog log;
    log.listen(rig);
    rig.start();
    QVERIFY(waitOnline(rig));
    const std::int32_t readable = rig.ReadableParams();
    QCOMPARE(readable, std::int32_t(OmniRig::PM_FREQ | OmniRig::PM_MODES | OmniRig::PM_RX | OmniRig::PM_TX));
    log.events.clear();
    RigSettings settings = dummyInProcess();
    settings.model = model;
    settings.enabled = enabled;
    rig.configure(settings);
    // The parameters event tells a client the values it showed are gone.
    QCOMPARE(log.events, QStringList({QStringLiteral("type 1"), QStringLiteral("status 1"),
                                      QStringLiteral("params 1 ") + paramNames(readable)}));
    QCOMPARE(rig.ReadableParams(), std::int32_t(0));
}

void TestRigServer::transmitWriteReachesTheRadio_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<bool>("keyable");
    QTest::newRow("Hamlib Dummy in process") << "hamlib" << true;
    QTest::newRow("rigctld client") << "rigctld" << true;
    QTest::newRow("through another rig server's share") << "share" << true;
    QTest::newRow("Hamlib Dummy without a PTT type") << "hamlib" << false;
}

void TestRigServer::transmitWriteReachesTheRadio()
{
    QFETCH(QString, way);
    QFETCH(bool, keyable);
    RigctldProcess rigctld(1);
    if (way != QLatin1String("hamlib"))
        QVERIFY2(rigctld.start(), qPrintable(rigctld.error()));
    // The rig server of another machine, sharing the radio behind rigctld.
    RigSettings shared = overRigctld(rigctld);
    shared.share = true;
    shared.sharePort = RigctldProcess::freePort();
    RigObject sharingRig(2, shared, backends());
    RigShareServer share(sharingRig);
    RigSettings settings = way == QLatin1String("hamlib") ? dummyInProcess() : overRigctld(rigctld);
    if (way == QLatin1String("share")) {
        share.configure(shared);
        sharingRig.start();
        QVERIFY(waitOnline(sharingRig));
        QVERIFY(listens(static_cast<quint16>(shared.sharePort)));
        settings.port = "127.0.0.1:" + std::to_string(shared.sharePort);
    }
    if (!keyable)
        settings.conf.clear();
    RigObject rig(1, settings, backends());
    rig.start();
    QVERIFY(waitOnline(rig));
    QVERIFY(pollAgain(rig));
    const std::int32_t before = rig.Tx();

    for (const std::int32_t tx : {std::int32_t(OmniRig::PM_TX), std::int32_t(OmniRig::PM_RX)}) {
        rig.SetTx(tx);
        // At once, and as the radio reads back afterwards.
        QCOMPARE(rig.Tx(), keyable ? tx : before);
        QVERIFY(pollAgain(rig));
        QCOMPARE(rig.Tx(), keyable ? tx : before);
        QCOMPARE(rig.Status(), std::int32_t(OmniRig::ST_ONLINE));
        if (way != QLatin1String("hamlib"))
            QTRY_COMPARE(rigctld.query(QStringLiteral("t")).value(0), tx == OmniRig::PM_TX ? "1" : "0");
    }
}

void TestRigServer::keyedRadioIsNotLeftKeyed_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("new settings") << "configure";
    QTest::newRow("shutdown") << "destroy";
    QTest::newRow("unkeyed while the radio was away") << "away";
}

void TestRigServer::keyedRadioIsNotLeftKeyed()
{
    QFETCH(QString, how);
    RigctldProcess rigctld(1);
    QVERIFY2(rigctld.start(), qPrintable(rigctld.error()));
    std::optional<RigObject> rig;
    rig.emplace(1, overRigctld(rigctld), backends());
    rig->start();
    QVERIFY(waitOnline(*rig));
    rig->SetTx(OmniRig::PM_TX);
    QTRY_COMPARE(rigctld.query(QStringLiteral("t")).value(0), QStringLiteral("1"));
    if (how == QLatin1String("configure")) {
        rig->configure(dummyInProcess());
    } else if (how == QLatin1String("destroy")) {
        rig.reset();
    } else {
        rigctld.stop();
        QVERIFY(waitAway(*rig));
        rig->SetTx(OmniRig::PM_RX);
        rigctld.resume();
        QVERIFY(waitOnline(*rig));
    }
    QTRY_COMPARE(rigctld.query(QStringLiteral("t")).value(0), QStringLiteral("0"));
}

void TestRigServer::programThatKeyedAndWentIsUnkeyed_data()
{
    QTest::addColumn<bool>("crashes");
    QTest::addColumn<bool>("radioAway");
    QTest::newRow("quits") << false << false;
    QTest::newRow("crashes") << true << false;
    QTest::newRow("crashes while the radio is away") << true << true;
}

void TestRigServer::programThatKeyedAndWentIsUnkeyed()
{
    QFETCH(bool, crashes);
    QFETCH(bool, radioAway);
    RigctldProcess rigctld(1);
    QVERIFY2(rigctld.start(), qPrintable(rigctld.error()));
    RigSettings settings = overRigctld(rigctld);
    settings.share = true;
    settings.sharePort = RigctldProcess::freePort();
    RigObject rig(1, settings, backends());
    RigShareServer share(rig);
    share.configure(settings);
    rig.start();
    QVERIFY(waitOnline(rig));
    QVERIFY(listens(static_cast<quint16>(settings.sharePort)));

    // A digital-mode program keys the radio through Hamlib's network rig and reads the PTT back. Its writes
    // are served on this thread's event loop, which must keep running meanwhile.
    QProcess program;
    QStringList args{QStringLiteral("-m"), QStringLiteral("2"), QStringLiteral("-r"),
                     QStringLiteral("127.0.0.1:%1").arg(settings.sharePort)};
    if (!crashes)
        args << QStringLiteral("T") << QStringLiteral("1") << QStringLiteral("t");
    program.start(QStringLiteral("rigctl"), args);
    QByteArray output;
    const auto readOutput = [&] { return output += program.readAllStandardOutput(); };
    if (crashes) {
        program.write("T 1\nt\n");
        QTRY_VERIFY_WITH_TIMEOUT(readOutput().contains("PTT: 1"), 10000);
        QCOMPARE(rig.Tx(), std::int32_t(OmniRig::PM_TX));
        if (radioAway) {
            rigctld.stop();
            QVERIFY(waitAway(rig));
        }
        program.kill();
    }
    QTRY_COMPARE_WITH_TIMEOUT(program.state(), QProcess::NotRunning, 10000);
    if (radioAway) {
        rigctld.resume();
        QVERIFY(waitOnline(rig));
    }
    if (!crashes)
        QCOMPARE(readOutput(), QByteArray("1\n"));
    QTRY_COMPARE(rigctld.query(QStringLiteral("t")).value(0), QStringLiteral("0"));
    QTRY_COMPARE(rig.Tx(), std::int32_t(OmniRig::PM_RX));
}

QTEST_MAIN(TestRigServer)
#include "tst_rigserver.moc"
