// A rigctld peer that lies, babbles, hangs or hangs up: each shows as a status, and the rig comes back on
// line once the peer behaves again.
#include "FakeRigctld.h"
#include "RigObject.h"
#include "RigctldProcess.h"

#include <QLoggingCategory>
#include <QTest>

namespace {

using Answer = FakeRigctld::Answer;

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
    void refusedWriteKeepsRigOnline();
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
        peer.setScript(brokenFrequency({"get_freq:\nFrequency: 140"}));
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
    RigObject rig(1, overPeer(peer.hostPort()));
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
    QCOMPARE(rig.RigType(), std::string("Test Fake"));
}

void TestRigctldFaults::nobodyListening()
{
    RigObject rig(1, overPeer(QStringLiteral("127.0.0.1:%1").arg(RigctldProcess::freePort())));
    rig.start();
    QTRY_COMPARE_WITH_TIMEOUT(rig.StatusStr(), std::string("Port is not available"), 5000);
}

void TestRigctldFaults::refusedWriteKeepsRigOnline()
{
    FakeRigctld peer;
    peer.setScript([](const QByteArray &line) {
        return line.startsWith("+F ") ? Answer{"set_freq: 1\nRPRT -1\n"} : FakeRigctld::healthy(line);
    });
    RigObject rig(1, overPeer(peer.hostPort()));
    rig.start();
    QTRY_COMPARE_WITH_TIMEOUT(rig.Status(), std::int32_t(OmniRig::ST_ONLINE), 5000);
    const int connections = peer.connections();
    // A radio that refuses one value is still a radio that answers.
    rig.SetFreq(1);
    const int commands = peer.commands();
    QTRY_VERIFY(peer.commands() > commands + 3);
    QCOMPARE(rig.Status(), std::int32_t(OmniRig::ST_ONLINE));
    QCOMPARE(peer.connections(), connections);
    QCOMPARE(rig.Freq(), std::int64_t(14074000));
}

void TestRigctldFaults::refusedReplyIsLogged()
{
    QLoggingCategory::setFilterRules(QStringLiteral("velkor.rigserver.debug=true"));
    FakeRigctld peer;
    peer.setScript(brokenFrequency({"get_mode:\nMode: USB\nPassband: 0\nRPRT 0\n"}));
    QTest::ignoreMessage(QtDebugMsg, "rigctld reply to get_freq refused: unexpected echo");
    RigObject rig(1, overPeer(peer.hostPort()));
    rig.start();
    // The link is opened again once the refused reply has ended it.
    QTRY_VERIFY_WITH_TIMEOUT(peer.connections() > 1, 5000);
    QLoggingCategory::setFilterRules({});
}

QTEST_GUILESS_MAIN(TestRigctldFaults)
#include "tst_rigctldfaults.moc"
