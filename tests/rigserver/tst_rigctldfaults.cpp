// A rigctld peer that lies, babbles, hangs or hangs up: each shows as a status, and the rig comes back on
// line once the peer behaves again.
#include "FakeRigctld.h"
#include "RigctldProcess.h"
#include "rigserver/backends/HamlibBackendFactory.h"
#include "rigserver/core/RigObject.h"

#include <QSignalSpy>
#include <QLoggingCategory>
#include <QTest>

namespace {

using Answer = FakeRigctld::Answer;

// The back ends the program drives its radios with.
std::shared_ptr<const RigBackendFactory> backends()
{
    return std::make_shared<HamlibBackendFactory>();
}

RigSettings overPeer(const QString &hostPort)
{
    RigSettings settings;
    settings.model = RigSettings::RigctldModel;
    settings.port = hostPort.toStdString();
    settings.pollMs = 100;
    settings.timeoutMs = 400;
    return settings;
}

// Answers dump_caps as a real server would, and the frequency query with the given broken reply.
FakeRigctld::Script brokenFrequency(Answer answer)
{
    return [answer](const QByteArray &line) {
        return line.trimmed() == "+f" ? answer : FakeRigctld::healthy(line);
    };
}

} // namespace

class TestRigctldFaults : public QObject {
    Q_OBJECT

private slots:
    void brokenPeerGivesStatus_data();
    void brokenPeerGivesStatus();
    void nobodyListening();
    void unnamedRadio();
    void refusedWriteKeepsRigOnline();
    void partlyAnsweringPeer_data();
    void partlyAnsweringPeer();
    void radioGoneMidPoll();
    void writeDuringPoll_data();
    void writeDuringPoll();
    void refusedReplyIsLogged();
};

void TestRigctldFaults::brokenPeerGivesStatus_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("status");
    QTest::newRow("garbage") << 0 << int(OmniRig::ST_NOTRESPONDING);
    QTest::newRow("endless line") << 1 << int(OmniRig::ST_NOTRESPONDING);
    QTest::newRow("half answer") << 2 << int(OmniRig::ST_NOTRESPONDING);
    QTest::newRow("closed socket") << 3 << int(OmniRig::ST_PORTBUSY);
    QTest::newRow("impossible frequency") << 4 << int(OmniRig::ST_NOTRESPONDING);
    QTest::newRow("answer to another command") << 5 << int(OmniRig::ST_NOTRESPONDING);
    QTest::newRow("hangs up at once") << 6 << int(OmniRig::ST_PORTBUSY);
    QTest::newRow("endless records") << 7 << int(OmniRig::ST_NOTRESPONDING);
    QTest::newRow("most negative report") << 8 << int(OmniRig::ST_NOTRESPONDING);
    QTest::newRow("largest report") << 9 << int(OmniRig::ST_NOTRESPONDING);
    QTest::newRow("report beyond int") << 10 << int(OmniRig::ST_NOTRESPONDING);
}

void TestRigctldFaults::brokenPeerGivesStatus()
{
    QFETCH(int, kind);
    QFETCH(int, status);
    FakeRigctld peer;
    switch (kind) {
    case 0:
        peer.setScript([](const QByteArray &) { return Answer{"\x01\x02\xff garbage\n"}; });
        break;
    case 1:
        peer.setScript([](const QByteArray &) { return Answer{QByteArray(100000, 'x')}; });
        break;
    case 2:
        // Every reading broken off before its end: a peer that answers one read only is partly answering.
        peer.setScript([](const QByteArray &line) {
            const QByteArray whole = FakeRigctld::healthy(line).bytes;
            return line.trimmed() == "+\\dump_caps" ? Answer{whole} : Answer{whole.left(whole.indexOf("RPRT"))};
        });
        break;
    case 3:
        peer.setScript(brokenFrequency({"", true}));
        break;
    case 4:
        peer.setScript(brokenFrequency({"get_freq:\nFrequency: -14074000\nRPRT 0\n"}));
        break;
    case 5:
        peer.setScript(brokenFrequency({"get_mode:\nMode: USB\nPassband: 0\nRPRT 0\n"}));
        break;
    case 6:
        peer.setScript([](const QByteArray &) { return Answer{"", true}; });
        break;
    case 7:
        peer.setScript([](const QByteArray &) { return Answer{"dump_caps:\n" + QByteArray("Key: v\n").repeated(50000)}; });
        break;
    case 8:
        peer.setScript([](const QByteArray &) { return Answer{"RPRT -2147483648\n"}; });
        break;
    case 9:
        peer.setScript([](const QByteArray &) { return Answer{"RPRT 2147483647\n"}; });
        break;
    case 10:
        peer.setScript([](const QByteArray &) { return Answer{"dump_caps:\nRPRT -2147483649\n"}; });
        break;
    }
    RigObject rig(1, overPeer(peer.hostPort()), backends());
    rig.start();
    QTRY_COMPARE_WITH_TIMEOUT(rig.Status(), std::int32_t(status), 5000);
    // It keeps trying, and never claims to be on line while the peer misbehaves.
    const int connections = peer.connections();
    QTRY_VERIFY_WITH_TIMEOUT(peer.connections() > connections, 5000);
    QVERIFY(rig.Status() != OmniRig::ST_ONLINE);

    peer.setScript(FakeRigctld::healthy);
    QTRY_COMPARE_WITH_TIMEOUT(rig.Status(), std::int32_t(OmniRig::ST_ONLINE), 5000);
    QCOMPARE(rig.Freq(), std::int64_t(14074000));
    QCOMPARE(rig.Mode(), std::int32_t(OmniRig::PM_SSB_U));
    QCOMPARE(rig.RigType(), std::string("Fake")); // the model alone, without its maker
}

void TestRigctldFaults::nobodyListening()
{
    RigObject rig(1, overPeer(QStringLiteral("127.0.0.1:%1").arg(RigctldProcess::freePort())), backends());
    rig.start();
    QTRY_COMPARE_WITH_TIMEOUT(rig.StatusStr(), std::string("Port is not available"), 5000);
}

void TestRigctldFaults::unnamedRadio()
{
    FakeRigctld peer;
    peer.setScript([](const QByteArray &line) {
        return line.trimmed() == "+\\dump_caps" ? Answer{"dump_caps:\nMfg name:\tIcom\nCan get Frequency:\tY\nRPRT 0\n"}
                                                : FakeRigctld::healthy(line);
    });
    RigObject rig(1, overPeer(peer.hostPort()), backends());
    QCOMPARE(rig.RigType(), std::string("NET rigctl"));
    rig.start();
    QTRY_COMPARE_WITH_TIMEOUT(rig.Status(), std::int32_t(OmniRig::ST_ONLINE), 5000);
    QCOMPARE(rig.RigType(), std::string("NET rigctl"));
}

void TestRigctldFaults::refusedWriteKeepsRigOnline()
{
    FakeRigctld peer;
    peer.setScript([](const QByteArray &line) {
        return line.startsWith("+F ") ? Answer{"set_freq: 1\nRPRT -1\n"} : FakeRigctld::healthy(line);
    });
    RigObject rig(1, overPeer(peer.hostPort()), backends());
    rig.start();
    QTRY_COMPARE_WITH_TIMEOUT(rig.Status(), std::int32_t(OmniRig::ST_ONLINE), 5000);
    const int connections = peer.connections();
    // A radio that refuses one value is still a radio that answers. The write shows until refused.
    rig.SetFreq(1);
    QCOMPARE(rig.Freq(), std::int64_t(1));
    const int commands = peer.commands();
    QTRY_VERIFY(peer.commands() > commands + 3);
    QCOMPARE(rig.Status(), std::int32_t(OmniRig::ST_ONLINE));
    QCOMPARE(peer.connections(), connections);
    QCOMPARE(rig.Freq(), std::int64_t(14074000));
}

void TestRigctldFaults::partlyAnsweringPeer_data()
{
    QTest::addColumn<QByteArrayList>("commands");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("times"); // -1: every time; n: n times once the rig is on line
    QTest::addColumn<int>("readable");

    const int all = OmniRig::PM_FREQ | OmniRig::PM_MODES | OmniRig::PM_RX | OmniRig::PM_TX;
    const int noFreq = all & ~OmniRig::PM_FREQ;
    const QByteArrayList f{"+f"}, t{"+t"};
    QTest::newRow("one frequency reply lost") << f << QByteArray() << 1 << all;
    QTest::newRow("one PTT reply lost") << t << QByteArray() << 1 << all;
    QTest::newRow("PTT query never answered") << t << QByteArray() << -1 << (OmniRig::PM_FREQ | OmniRig::PM_MODES);
    QTest::newRow("frequency query never answered") << f << QByteArray() << -1 << noFreq;
    QTest::newRow("mode and PTT queries never answered")
        << QByteArrayList{"+m", "+t"} << QByteArray() << -1 << int(OmniRig::PM_FREQ);
    QTest::newRow("frequency always broken off") << f << QByteArray("get_freq:\nFrequency: 140") << -1 << noFreq;
    QTest::newRow("frequency always refused") << f << QByteArray("get_freq:\nRPRT -1\n") << -1 << noFreq;
    QTest::newRow("frequency not available") << f << QByteArray("RPRT -11\n") << -1 << noFreq;
}

void TestRigctldFaults::partlyAnsweringPeer()
{
    QFETCH(QByteArrayList, commands);
    QFETCH(QByteArray, answer);
    QFETCH(int, times);
    QFETCH(int, readable);
    FakeRigctld peer;
    int left = times < 0 ? -1 : 0;
    peer.setScript([&](const QByteArray &line) {
        if (!commands.contains(line.trimmed()) || left == 0)
            return FakeRigctld::healthy(line);
        left = std::max(-1, left - 1);
        return Answer{answer};
    });
    RigObject rig(1, overPeer(peer.hostPort()), backends());
    rig.start();
    // The rig comes on line with what the peer does give, and stops asking for what it never gives.
    QTRY_VERIFY_WITH_TIMEOUT(rig.Status() == OmniRig::ST_ONLINE && rig.ReadableParams() == readable, 15000);
    if (times > 0)
        left = times;
    QSignalSpy statusChanges(&rig, &RigObject::statusChanged);
    const int asked = peer.commands();
    QTRY_VERIFY_WITH_TIMEOUT(peer.commands() > asked + 15, 10000);
    QCOMPARE(left, times < 0 ? -1 : 0);
    // It never went off line, nor took back what it offered.
    QCOMPARE(statusChanges.count(), 0);
    QCOMPARE(rig.ReadableParams(), readable);
    if (readable & OmniRig::PM_FREQ)
        QCOMPARE(rig.Freq(), std::int64_t(14074000));
}

void TestRigctldFaults::radioGoneMidPoll()
{
    FakeRigctld peer;
    bool armed = false;
    bool silent = false;
    QByteArrayList unanswered;
    peer.setScript([&](const QByteArray &line) {
        if (silent) {
            unanswered << line.trimmed();
            return Answer{};
        }
        silent = armed && line.trimmed() == "+f";
        return FakeRigctld::healthy(line);
    });
    RigObject rig(1, overPeer(peer.hostPort()), backends());
    rig.start();
    QTRY_COMPARE_WITH_TIMEOUT(rig.Status(), std::int32_t(OmniRig::ST_ONLINE), 5000);
    QByteArrayList beforeStatus;
    connect(&rig, &RigObject::statusChanged, this, [&] { beforeStatus = unanswered; });
    armed = true;
    QTRY_COMPARE_WITH_TIMEOUT(rig.Status(), std::int32_t(OmniRig::ST_NOTRESPONDING), 5000);
    // The mode asked twice, then the PTT once: a second value unanswered means the radio is gone.
    QCOMPARE(beforeStatus, QByteArrayList({"+m", "+m", "+t"}));
}

void TestRigctldFaults::writeDuringPoll_data()
{
    QTest::addColumn<QByteArray>("during");
    QTest::addColumn<QList<qint64>>("writes");
    QTest::addColumn<QStringList>("next");

    // The poll asks +f, +m, +t in turn; the frequency read of that poll finds the knob turned.
    QTest::newRow("while the frequency is read: the write goes before the rest of the poll")
        << QByteArray("+f") << QList<qint64>{7000000} << QStringList{"+F 7000000", "+m", "+t"};
    QTest::newRow("after the last read: the poll's older frequency never shows")
        << QByteArray("+t") << QList<qint64>{7000000} << QStringList{"+F 7000000", "+f"};
    QTest::newRow("three while the radio is busy: only the newest is sent")
        << QByteArray("+f") << QList<qint64>{7000001, 7000002, 7000003} << QStringList{"+F 7000003", "+m", "+t"};
}

void TestRigctldFaults::writeDuringPoll()
{
    QFETCH(QByteArray, during);
    QFETCH(QList<qint64>, writes);
    QFETCH(QStringList, next);
    FakeRigctld peer;
    RigObject rig(1, overPeer(peer.hostPort()), backends());
    qint64 radio = 14074000;
    bool armed = false;
    bool knobTurned = false;
    QStringList after;
    QList<qint64> seen;
    peer.setScript([&](const QByteArray &line) {
        const QByteArray command = line.trimmed();
        if (knobTurned && !armed)
            after << QString::fromLatin1(command);
        if (armed && command == "+f") {
            knobTurned = true;
            radio = 14075000;
        }
        if (armed && knobTurned && command == during) {
            // The worker waits for this reply meanwhile.
            armed = false;
            for (const qint64 hertz : writes)
                rig.SetFreq(hertz);
            seen << rig.Freq();
        }
        if (command.startsWith("+F "))
            radio = command.mid(3).toLongLong();
        if (command == "+f")
            return Answer{"get_freq:\nFrequency: " + QByteArray::number(radio) + "\nRPRT 0\n"};
        return FakeRigctld::healthy(line);
    });
    rig.start();
    QTRY_COMPARE_WITH_TIMEOUT(rig.Status(), std::int32_t(OmniRig::ST_ONLINE), 5000);
    connect(&rig, &RigObject::paramsChanged, this, [&] { seen << rig.Freq(); });
    armed = true;
    QTRY_VERIFY_WITH_TIMEOUT(after.size() >= next.size() + 6, 5000);
    QCOMPARE(after.mid(0, next.size()), next);
    QCOMPARE(radio, writes.last());
    QCOMPARE(rig.Freq(), writes.last());
    // No read after the write saw anything but the value written.
    QVERIFY(!seen.isEmpty());
    QCOMPARE(seen, QList<qint64>(seen.size(), writes.last()));
}

void TestRigctldFaults::refusedReplyIsLogged()
{
    QLoggingCategory::setFilterRules(QStringLiteral("velkor.rigserver.debug=true"));
    FakeRigctld peer;
    peer.setScript(brokenFrequency({"get_mode:\nMode: USB\nPassband: 0\nRPRT 0\n"}));
    QTest::ignoreMessage(QtDebugMsg, "rigctld reply to get_freq refused: unexpected echo");
    RigObject rig(1, overPeer(peer.hostPort()), backends());
    rig.start();
    // The link is opened again once the refused reply has ended it.
    QTRY_VERIFY_WITH_TIMEOUT(peer.connections() > 1, 5000);
    QLoggingCategory::setFilterRules({});
}

QTEST_GUILESS_MAIN(TestRigctldFaults)
#include "tst_rigctldfaults.moc"
