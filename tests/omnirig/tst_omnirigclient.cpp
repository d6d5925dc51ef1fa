// The panel's client of the rig server: how it finds a server, what it says when there is none, and
// how server events reach the panel.
#include "FakeOmniRig.h"
#include "omnirig/TOmniRigX.h"

#include <QTest>

namespace {

// What the panel hears, one line per event.
class EventRecorder final : public IOmniRigXEvents {
public:
    QStringList events;

    void OnVisibleChange() override { events << QStringLiteral("visible"); }
    void OnRigTypeChange(int rigNumber) override { events << QStringLiteral("type %1").arg(rigNumber); }
    void OnStatusChange(int rigNumber) override { events << QStringLiteral("status %1").arg(rigNumber); }
    void OnParamsChange(int rigNumber, std::int32_t params) override
    {
        events << QStringLiteral("params %1 %2").arg(rigNumber).arg(params);
    }
    void OnCustomReply(int rigNumber, const std::string &command, const std::string &reply) override
    {
        events << QStringLiteral("custom %1 %2 %3")
                      .arg(rigNumber)
                      .arg(QString::fromStdString(command), QString::fromStdString(reply));
    }
};

} // namespace

class TestOmniRigClient : public QObject {
    Q_OBJECT

private slots:
    void prefersRunningServer();
    void createsServerWhenNoneRuns();
    void noServerGivesNotConnectedError_data();
    void noServerGivesNotConnectedError();
    void retriesConnectOnEveryCall();
    void creationFailureIsReported();
    void refusedSubscriptionStillConnects();
    void eventsReachThePanel();
    void destructionUnsubscribes();
    void rigsAreStable();
};

void TestOmniRigClient::prefersRunningServer()
{
    auto factory = std::make_shared<FakeOmniRigFactory>();
    factory->running = true;
    TOmniRigX client(nullptr, factory);
    QCOMPARE(client.Rig1(), &factory->server->rig1);
    QCOMPARE(factory->activeCalls, 1);
    QCOMPARE(factory->createCalls, 0);
}

void TestOmniRigClient::createsServerWhenNoneRuns()
{
    auto factory = std::make_shared<FakeOmniRigFactory>();
    TOmniRigX client(nullptr, factory);
    QVERIFY(!client.isConnected());
    QCOMPARE(client.Rig2(), &factory->server->rig2);
    QCOMPARE(factory->createCalls, 1);
    QCOMPARE(factory->server->sinkCount(), 1);
    // Once connected it keeps its server: no second look-up.
    client.Rig1();
    client.DialogVisible();
    QCOMPARE(factory->activeCalls + factory->createCalls, 2);
}

void TestOmniRigClient::noServerGivesNotConnectedError_data()
{
    QTest::addColumn<int>("call");
    QTest::newRow("Rig1") << 0;
    QTest::newRow("Rig2") << 1;
    QTest::newRow("DialogVisible get") << 2;
    QTest::newRow("DialogVisible put") << 3;
}

void TestOmniRigClient::noServerGivesNotConnectedError()
{
    QFETCH(int, call);
    auto factory = std::make_shared<FakeOmniRigFactory>();
    factory->creatable = false;
    TOmniRigX client(nullptr, factory);
    try {
        switch (call) {
        case 0:
            client.Rig1();
            break;
        case 1:
            client.Rig2();
            break;
        case 2:
            client.DialogVisible();
            break;
        default:
            client.SetDialogVisible(true);
        }
        QFAIL("no error");
    } catch (const OmniRigError &error) {
        QCOMPARE(QString::fromUtf8(error.what()),
                 QStringLiteral("DefaultInterface is NULL. Component is not connected to Server. You must call "
                                "'Connect' or 'ConnectTo' before this operation"));
    }
}

void TestOmniRigClient::retriesConnectOnEveryCall()
{
    auto factory = std::make_shared<FakeOmniRigFactory>();
    factory->creatable = false;
    TOmniRigX client(nullptr, factory);
    QVERIFY_THROWS_EXCEPTION(OmniRigError, client.Rig1());
    QVERIFY_THROWS_EXCEPTION(OmniRigError, client.Rig1());
    QCOMPARE(factory->createCalls, 2);
    factory->creatable = true;
    QCOMPARE(client.Rig1(), &factory->server->rig1);
}

void TestOmniRigClient::creationFailureIsReported()
{
    auto factory = std::make_shared<FakeOmniRigFactory>();
    factory->creationThrows = true;
    TOmniRigX client(nullptr, factory);
    try {
        client.Rig1();
        QFAIL("no error");
    } catch (const OmniRigError &error) {
        QCOMPARE(QString::fromUtf8(error.what()), QStringLiteral("Server cannot be created"));
    }
    QVERIFY(!client.isConnected());
}

void TestOmniRigClient::refusedSubscriptionStillConnects()
{
    auto factory = std::make_shared<FakeOmniRigFactory>();
    factory->server->refuseAdvise = true;
    TOmniRigX client(nullptr, factory);
    QCOMPARE(client.Rig1(), &factory->server->rig1);
    QCOMPARE(factory->server->sinkCount(), 0);
}

void TestOmniRigClient::eventsReachThePanel()
{
    auto factory = std::make_shared<FakeOmniRigFactory>();
    EventRecorder recorder;
    TOmniRigX client(&recorder, factory);
    client.Connect();
    FakeOmniRig &server = *factory->server;
    server.raiseVisibleChange();
    server.raiseRigTypeChange(2);
    server.raiseStatusChange(1);
    server.raiseStatusChange(3); // numbers other than 1 and 2 pass through; the panel decides
    server.raiseParamsChange(2, OmniRig::PM_FREQ | OmniRig::PM_TX);
    server.raiseCustomReply(1, "FA;", "FA00014074000;");
    QCOMPARE(recorder.events, QStringList({"visible", "type 2", "status 1", "status 3",
                                           QStringLiteral("params 2 %1").arg(OmniRig::PM_FREQ | OmniRig::PM_TX),
                                           "custom 1 FA; FA00014074000;"}));
}

void TestOmniRigClient::destructionUnsubscribes()
{
    auto factory = std::make_shared<FakeOmniRigFactory>();
    {
        TOmniRigX client(nullptr, factory);
        client.Connect();
        QCOMPARE(factory->server->sinkCount(), 1);
    }
    QCOMPARE(factory->server->sinkCount(), 0);
    // Events after the client is gone reach nobody (and do not crash).
    factory->server->raiseStatusChange(1);
}

void TestOmniRigClient::rigsAreStable()
{
    auto factory = std::make_shared<FakeOmniRigFactory>();
    TOmniRigX client(nullptr, factory);
    IRigX *first = client.Rig1();
    QCOMPARE(client.Rig1(), first);
    QVERIFY(client.Rig2() != first);
}

QTEST_GUILESS_MAIN(TestOmniRigClient)
#include "tst_omnirigclient.moc"
