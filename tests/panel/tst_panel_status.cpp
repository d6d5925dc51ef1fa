// Rig status monitoring on a fake rig server that raises the events and answers the reads: what each status
// text does to the LEDs, labels, tray icon and tracking, the settings dialog hiding the transfer buttons, the
// receive and transmit colours, the poll, and where failures stop and whether they are shown.
#include "PanelFixture.h"
#include "panel/resources/PanelArtwork.h"

#include <QTimer>
#include <QtTest>

#include <tuple>

namespace {

constexpr TAMAdvLed::TColor Green = 0x00FF00;
constexpr TAMAdvLed::TColor Red = 0x0000FF;
constexpr TAMAdvLed::TColor Blue = 0xFF0000;

QImage iconImage(const QIcon &icon)
{
    return icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
}

// The panel on line as start-up leaves it (both LEDs lit: both rigs are on line), Rig2 tracking Rig1 from
// another band (the fake's 7074000 Hz LSB), and the log cleared.
void startTracking(PanelFixture &fixture)
{
    fixture.server().rig1.rigType = "IC-7300";
    fixture.server().rig2.rigType = "FT-991";
    fixture.start();
    fixture.radio("TrackRig1")->setChecked(true);
    fixture.server().clearLog();
}

const QStringList FollowWrites{"Rig2.Freq=14074000", "Rig2.Mode=" + QString::number(OmniRig::PM_SSB_U)};

} // namespace

class TestPanelStatus : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PanelFixture::initProcess(); }
    void statusChange_data();
    void statusChange();
    void notConfiguredThenOnLine();
    void settingsDialogHidesTheButtons();
    void colours_data();
    void colours();
    void paramsChangeSwitchesWithoutTracking();
    void tickRunsQueuedEventsFirst();
    void noServerEveryTickTriesAgain();
    void failureStopsWhereItHappened_data();
    void failureStopsWhereItHappened();
};

void TestPanelStatus::statusChange_data()
{
    QTest::addColumn<int>("rig");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("label");
    // Rig1LED lit, Rig1LED and Rig1 shown, Rig2LED lit, Rig2LED and Rig2 shown; before the event, unchanged.
    QTest::addColumn<QList<bool>>("leds");
    QTest::addColumn<bool>("noMatch"); // tray icon changed and tracking applied

    const QList<bool> unchanged{true, true, true, true};
    QTest::newRow("rig 2 on line") << 2 << "On-line"
                                   << "[2] On-line" << QList<bool>{true, true, true, true} << false;
    QTest::newRow("rig 1 port not available")
        << 1 << "Port is not available"
        << "[1] Port is not available" << QList<bool>{false, true, true, true} << false;
    QTest::newRow("rig 1 not responding, in any case")
        << 1 << "rig is Not Responding"
        << "[1] rig is Not Responding" << QList<bool>{false, true, true, true} << false;
    QTest::newRow("rig 1 not configured")
        << 1 << "Rig is not configured"
        << "[1] Rig is not configured" << QList<bool>{false, false, true, true} << false;
    QTest::newRow("rig 2 not configured")
        << 2 << "Rig is not configured"
        << "[2] Rig is not configured" << QList<bool>{true, true, false, false} << false;
    QTest::newRow("not configured comes before on line")
        << 1 << "On-line? Rig is not configured"
        << "[1] On-line? Rig is not configured" << QList<bool>{false, false, true, true} << false;
    QTest::newRow("rig 3 on line switches nothing") << 3 << "On-line"
                                                    << "[3] On-line" << unchanged << false;
    QTest::newRow("rig 3 not configured hides nothing") << 3 << "Rig is not configured"
                                                        << "[3] Rig is not configured" << unchanged << false;
    QTest::newRow("rig 3, no phrase: as rig 2") << 3 << "Rig is warming up"
                                                << "Rig is warming up" << unchanged << true;
    QTest::newRow("rig 1, no phrase") << 1 << "Rig is busy"
                                      << "Rig is busy" << unchanged << true;
    QTest::newRow("port phrase in lower case is no phrase") << 1 << "port is not available"
                                                            << "port is not available" << unchanged << true;
}

void TestPanelStatus::statusChange()
{
    QFETCH(int, rig);
    QFETCH(QString, status);
    QFETCH(QString, label);
    QFETCH(QList<bool>, leds);
    QFETCH(bool, noMatch);
    PanelFixture fixture;
    startTracking(fixture);
    (rig == 1 ? fixture.server().rig1 : fixture.server().rig2).statusText = status.toStdString();

    fixture.server().raiseStatusChange(rig);
    QCOMPARE(fixture.label("OmniRig")->text(), label);
    QCOMPARE(fixture.panel().core().currentRig(), rig == 1 ? &fixture.server().rig1 : &fixture.server().rig2);
    QCOMPARE(QList<bool>({fixture.led("Rig1LED")->LedOn(), fixture.led("Rig1LED")->isVisible(),
                          fixture.led("Rig2LED")->LedOn(), fixture.led("Rig2LED")->isVisible()}),
             leds);
    QCOMPARE(fixture.label("Rig1")->isVisible(), leds[1]);
    QCOMPARE(fixture.label("Rig2")->isVisible(), leds[3]);
    QCOMPARE(fixture.label("Rig1")->text(), QStringLiteral("IC-7300"));
    QCOMPARE(fixture.label("Rig2")->text(), QStringLiteral("FT-991"));
    QCOMPARE(iconImage(fixture.panel().trayIcon()->icon()),
             iconImage(noMatch ? PanelArtwork::omniRigIcon() : PanelArtwork::mainIcon()));
    // Tracking twice, once in the refresh and once after the icon; the second finds Rig2 in step.
    QCOMPARE(fixture.server().writes(), noMatch ? FollowWrites : QStringList());
    QVERIFY(fixture.messages.shown.empty());
}

void TestPanelStatus::notConfiguredThenOnLine()
{
    PanelFixture fixture;
    fixture.start();
    fixture.server().rig1.statusText = "Rig is not configured";
    fixture.server().rig1.rigType = "NONE";
    fixture.server().raiseStatusChange(1);
    QVERIFY(!fixture.led("Rig1LED")->isVisible());
    QVERIFY(!fixture.label("Rig1")->isVisible());

    fixture.server().rig1.statusText = "On-line";
    fixture.server().rig1.rigType = "IC-7300";
    fixture.server().raiseStatusChange(1);
    QVERIFY(fixture.led("Rig1LED")->isVisible());
    QVERIFY(fixture.led("Rig1LED")->LedOn());
    QVERIFY(fixture.label("Rig1")->isVisible());
    QCOMPARE(fixture.label("Rig1")->text(), QStringLiteral("IC-7300"));
}

void TestPanelStatus::settingsDialogHidesTheButtons()
{
    PanelFixture fixture;
    fixture.start();
    const auto buttons = [&] {
        QList<bool> states;
        for (const char *name : {"A2B", "SWAP", "B2A"})
            states << fixture.button(name)->isVisible() << fixture.button(name)->isEnabled();
        return states;
    };
    fixture.server().SetDialogVisible(true);
    QCOMPARE(fixture.label("OmniRig")->text(), QStringLiteral("OmniRig Visible"));
    QCOMPARE(buttons(), QList<bool>(6, false));
    fixture.server().SetDialogVisible(false);
    QCOMPARE(fixture.label("OmniRig")->text(), QString());
    QCOMPARE(buttons(), QList<bool>(6, true));
}

void TestPanelStatus::colours_data()
{
    QTest::addColumn<int>("rig");
    QTest::addColumn<int>("tx");
    QTest::addColumn<int>("readable1");
    QTest::addColumn<int>("readable2");
    QTest::addColumn<TAMAdvLed::TColor>("colour"); // of that rig's LED; it was blue before

    const int both = OmniRig::PM_RX | OmniRig::PM_TX;
    QTest::newRow("Rig1 receives") << 1 << int(OmniRig::PM_RX) << both << both << Green;
    QTest::newRow("Rig1 transmits") << 1 << int(OmniRig::PM_TX) << both << both << Red;
    QTest::newRow("Rig1 RX without the RX bit keeps the colour")
        << 1 << int(OmniRig::PM_RX) << int(OmniRig::PM_TX) << both << Blue;
    QTest::newRow("Rig1 TX, TX not readable, keeps the colour")
        << 1 << int(OmniRig::PM_TX) << int(OmniRig::PM_RX) << both << Blue;
    QTest::newRow("Rig1 state unknown") << 1 << 0 << both << both << Blue;
    QTest::newRow("Rig2 transmits") << 2 << int(OmniRig::PM_TX) << both << both << Red;
    QTest::newRow("Rig2 RX, only Rig1 has the RX bit")
        << 2 << int(OmniRig::PM_RX) << both << int(OmniRig::PM_TX) << Blue;
    QTest::newRow("Rig2 TX, only Rig1 can read it") << 2 << int(OmniRig::PM_TX) << both << int(OmniRig::PM_RX) << Blue;
}

void TestPanelStatus::colours()
{
    QFETCH(int, rig);
    QFETCH(int, tx);
    QFETCH(int, readable1);
    QFETCH(int, readable2);
    QFETCH(TAMAdvLed::TColor, colour);
    PanelFixture fixture;
    fixture.start();
    FakeRig &target = rig == 1 ? fixture.server().rig1 : fixture.server().rig2;
    target.tx = tx;
    fixture.server().rig1.readable = readable1;
    fixture.server().rig2.readable = readable2;
    TAMAdvLed *led = fixture.led(rig == 1 ? "Rig1LED" : "Rig2LED");
    led->setColorOn(Blue);
    const bool lit = led->LedOn();
    fixture.server().raiseCustomReply(rig, "", "");
    QCOMPARE(led->ColorOn(), colour);
    // Only the colour: being lit is the status and parameters events' business.
    QCOMPARE(led->LedOn(), lit);
}

void TestPanelStatus::paramsChangeSwitchesWithoutTracking()
{
    PanelFixture fixture;
    startTracking(fixture);
    fixture.server().raiseParamsChange(2, OmniRig::PM_FREQ);
    QVERIFY(fixture.led("Rig2LED")->LedOn());
    fixture.server().rig2.status = OmniRig::ST_NOTRESPONDING;
    fixture.server().raiseParamsChange(2, OmniRig::PM_FREQ);
    QVERIFY(!fixture.led("Rig2LED")->LedOn());
    fixture.server().rig2.status = OmniRig::ST_ONLINE;
    fixture.server().raiseParamsChange(2, OmniRig::PM_FREQ);
    QVERIFY(fixture.led("Rig2LED")->LedOn());
    QCOMPARE(fixture.panel().core().currentRig(), &fixture.server().rig2);
    QCOMPARE(fixture.server().writes(), QStringList());

    // The follower catches up at the next poll.
    fixture.panel().core().TimerTick();
    QCOMPARE(fixture.server().writes(), FollowWrites);
}

void TestPanelStatus::tickRunsQueuedEventsFirst()
{
    PanelFixture fixture;
    fixture.start();
    QTimer *poll = fixture.panel().pollTimer();
    poll->setInterval(50);
    QMetaObject::invokeMethod(
        qApp, [&] { fixture.server().raiseStatusChange(2); }, Qt::QueuedConnection);
    fixture.server().clearLog();
    fixture.panel().core().TimerTick();
    QCOMPARE(fixture.rigCalls().mid(0, 3), QStringList({"Rig2.StatusStr", "Rig2.RigType", "Rig1.RigType"}));
    QCOMPARE(fixture.label("OmniRig")->text(), QStringLiteral("[2] On-line"));
    QCOMPARE(poll->interval(), 5000);
    QVERIFY(poll->isActive());
}

void TestPanelStatus::noServerEveryTickTriesAgain()
{
    PanelFixture fixture;
    fixture.factory->creationThrows = true;
    TSO2VPanel &panel = fixture.start();
    QCOMPARE(fixture.messages.lines(), QStringList{"VELKOR|Server cannot be created."});

    // The next tick comes while the box of the one before is still open.
    QStringList shown;
    int open = 0, mostOpen = 0;
    QList<int> intervals;
    MessageBoxes::Handler recorder = MessageBoxes::setHandler([&](QWidget *, const MessageBoxes::Request &request) {
        shown << request.caption + u'|' + request.text;
        intervals << panel.pollTimer()->interval();
        mostOpen = std::max(mostOpen, ++open);
        if (shown.size() == 1) {
            panel.pollTimer()->start(0); // the 5 s pass at once
            // Left to the checks below when the next tick never comes.
            std::ignore = QTest::qWaitFor([&] { return shown.size() == 2; }, 60000);
        }
        --open;
        return QMessageBox::Ok;
    });
    panel.pollTimer()->start(0);
    const bool bothShown = QTest::qWaitFor([&] { return shown.size() == 2; }, 60000);
    MessageBoxes::setHandler(std::move(recorder));
    QVERIFY(bothShown);
    QCOMPARE(shown, QStringList(2, "VELKOR|Server cannot be created."));
    QCOMPARE(mostOpen, 2);
    QCOMPARE(intervals, QList<int>({5000, 5000}));
    QCOMPARE(fixture.factory->createCalls, 3);
    QVERIFY(panel.pollTimer()->isActive());
}

void TestPanelStatus::failureStopsWhereItHappened_data()
{
    QTest::addColumn<bool>("fromTick");
    QTest::newRow("custom reply event: stops quietly") << false;
    QTest::newRow("poll tick: stops and shows the error") << true;
}

void TestPanelStatus::failureStopsWhereItHappened()
{
    QFETCH(bool, fromTick);
    PanelFixture fixture;
    startTracking(fixture);
    fixture.led("Rig1LED")->setColorOn(Blue);
    fixture.led("Rig2LED")->setColorOn(Blue);
    fixture.server().rig1.rigType = "IC-705";
    fixture.server().failAt = QStringLiteral("Rig1.Tx");
    if (fromTick) {
        fixture.panel().pollTimer()->start(0);
        QTRY_VERIFY(!fixture.server().failAt);
    } else {
        fixture.server().raiseCustomReply(1, "", "");
    }
    // What came before the failure stays: the labels, the follower's writes; what came after never ran.
    QCOMPARE(fixture.label("Rig1")->text(), QStringLiteral("IC-705"));
    QCOMPARE(fixture.server().writes(), FollowWrites);
    QCOMPARE(fixture.led("Rig1LED")->ColorOn(), Blue);
    QCOMPARE(fixture.led("Rig2LED")->ColorOn(), Blue);
    QCOMPARE(fixture.messages.lines(), fromTick ? QStringList{"VELKOR|Fake failure at Rig1.Tx."} : QStringList());

    // The next event starts afresh.
    fixture.server().raiseCustomReply(1, "", "");
    QCOMPARE(fixture.led("Rig1LED")->ColorOn(), Green);
    QCOMPARE(fixture.led("Rig2LED")->ColorOn(), Green);
}

QTEST_MAIN(TestPanelStatus)
#include "tst_panel_status.moc"
