// The panel end to end: the real rig server on two real rigctld processes (Hamlib's Dummy rig), driven
// through clicks on the panel's own buttons and the server's settings window, the radios read back through
// rigctld itself, and the LEDs following radios that go away, come back and transmit.
#include "PanelFixture.h"
#include "RigctldProcess.h"
#include "ini/IniFile.h"
#include "omnirig/TOmniRigX.h"
#include "rigserver/RigServerFactory.h"
#include "rigserver/core/RigServer.h"
#include "rigserver/core/RigServerSettings.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

namespace {

constexpr int RigWaitMs = 15000;
// The panel polls every 5 s; room for a loaded machine or a sanitizer build on top.
constexpr int NextPollMs = Panel::PanelCore::PollIntervalMs + 10000;

constexpr TAMAdvLed::TColor Green = 0x00FF00;
constexpr TAMAdvLed::TColor Red = 0x0000FF;

QString reading(const RigctldProcess &rigctld, const char *command)
{
    return rigctld.query(QLatin1String(command)).value(0);
}

QString typeName(IRigX *rig)
{
    return QString::fromStdString(rig->RigType());
}

} // namespace

class TestPanelRigctld : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void transfersReachTheRadios();
    void trackingFollowsAtTheNextPoll();
    void fastTrackingFollowsWithoutThePoll();
    void ledsFollowTheRadios();
    void settingsWindowSwitchesRig2ToRigctld();

private:
    // Starts the panel on the rig server with Rig1 on the first rigctld and Rig2 on the second, or on the
    // server's own Dummy rig.
    void startPanel(bool rig2OnRigctld = true, const QByteArray &panelSettings = iniText("350", "YES", "0"));
    // Sets a radio behind the server's back, as another program would, and waits until the server saw it.
    void tune(RigctldProcess &rigctld, IRigX *rig, qint64 hertz, const char *mode);

    std::unique_ptr<RigctldProcess> m_rigctld1, m_rigctld2;
    std::unique_ptr<PanelFixture> m_fixture;
    IRigX *m_rig1 = nullptr;
    IRigX *m_rig2 = nullptr;
};

void TestPanelRigctld::initTestCase()
{
    PanelFixture::initProcess();
}

void TestPanelRigctld::init()
{
    m_rigctld1 = std::make_unique<RigctldProcess>(1);
    m_rigctld2 = std::make_unique<RigctldProcess>(1);
    QVERIFY2(m_rigctld1->start(), qPrintable(m_rigctld1->error()));
    QVERIFY2(m_rigctld2->start(), qPrintable(m_rigctld2->error()));
    m_fixture = std::make_unique<PanelFixture>();
}

void TestPanelRigctld::startPanel(bool rig2OnRigctld, const QByteArray &panelSettings)
{
    const QString settings = m_fixture->folder() + QStringLiteral("/rigserver.ini");
    IniFile file(settings.toStdString());
    int number = 1;
    for (const RigctldProcess *rigctld : {m_rigctld1.get(), rig2OnRigctld ? m_rigctld2.get() : nullptr}) {
        RigSettings rig;
        if (rigctld) {
            rig.model = RigSettings::RigctldModel;
            rig.port = rigctld->hostPort().toStdString();
            rig.pollMs = 200;
            rig.timeoutMs = 1000;
            rig.conf.clear();
        }
        RigServerSettings::save(file, number++, rig);
    }
    TOmniRigX::setDefaultFactory(std::make_shared<RigServerFactory>(settings));
    m_fixture->writeIni(panelSettings);
    TSO2VPanel &panel = m_fixture->start();
    QVERIFY(panel.core().omniRigClient() && panel.core().omniRigClient()->isConnected());
    m_rig1 = panel.core().omniRigClient()->Rig1();
    m_rig2 = panel.core().omniRigClient()->Rig2();
    QTRY_VERIFY_WITH_TIMEOUT(m_rig1->Status() == OmniRig::ST_ONLINE && m_rig2->Status() == OmniRig::ST_ONLINE,
                             RigWaitMs);
    QVERIFY(m_fixture->messages.shown.empty());
}

void TestPanelRigctld::cleanup()
{
    m_fixture.reset();
    m_rigctld1.reset();
    m_rigctld2.reset();
}

void TestPanelRigctld::tune(RigctldProcess &rigctld, IRigX *rig, qint64 hertz, const char *mode)
{
    QCOMPARE(rigctld.query(QStringLiteral("F %1").arg(hertz)).value(0), QStringLiteral("RPRT 0"));
    QCOMPARE(rigctld.query(QStringLiteral("M %1 0").arg(QLatin1String(mode))).value(0), QStringLiteral("RPRT 0"));
    QTRY_COMPARE_WITH_TIMEOUT(rig->Freq(), hertz, RigWaitMs);
}

void TestPanelRigctld::transfersReachTheRadios()
{
    startPanel();
    if (QTest::currentTestFailed())
        return;
    tune(*m_rigctld1, m_rig1, 14074000, "USB");
    tune(*m_rigctld2, m_rig2, 7074000, "LSB");
    QTRY_COMPARE_WITH_TIMEOUT(m_rig2->Mode(), std::int32_t(OmniRig::PM_SSB_L), RigWaitMs);

    QTest::mouseClick(m_fixture->button("A2B"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(reading(*m_rigctld2, "f"), QStringLiteral("14074350"), RigWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(reading(*m_rigctld2, "m"), QStringLiteral("USB"), RigWaitMs);
    QCOMPARE(reading(*m_rigctld1, "f"), QStringLiteral("14074000"));

    tune(*m_rigctld2, m_rig2, 7074000, "LSB");
    QTRY_COMPARE_WITH_TIMEOUT(m_rig2->Mode(), std::int32_t(OmniRig::PM_SSB_L), RigWaitMs);
    QTest::mouseClick(m_fixture->button("SWAP"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(reading(*m_rigctld2, "f"), QStringLiteral("14074350"), RigWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(reading(*m_rigctld2, "m"), QStringLiteral("USB"), RigWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(reading(*m_rigctld1, "f"), QStringLiteral("7073650"), RigWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(reading(*m_rigctld1, "m"), QStringLiteral("LSB"), RigWaitMs);

    // A click right after another reads what the first wrote, not what the radios said before it: A>B puts
    // Rig2 at 7074000 LSB, and B>A with the offset now +100 takes Rig1 from there.
    QTest::mouseClick(m_fixture->button("A2B"), Qt::LeftButton);
    m_fixture->shift()->setValue(2100);
    QTest::mouseClick(m_fixture->button("B2A"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(reading(*m_rigctld1, "f"), QStringLiteral("7073900"), RigWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(reading(*m_rigctld1, "m"), QStringLiteral("LSB"), RigWaitMs);
    QCOMPARE(reading(*m_rigctld2, "f"), QStringLiteral("7074000"));
    QVERIFY(m_fixture->messages.shown.empty());
}

void TestPanelRigctld::trackingFollowsAtTheNextPoll()
{
    startPanel();
    if (QTest::currentTestFailed())
        return;
    QTest::mouseClick(m_fixture->radio("TrackRig1"), Qt::LeftButton, {}, QPoint(6, 8));
    QVERIFY(m_fixture->radio("TrackRig1")->isChecked());
    tune(*m_rigctld1, m_rig1, 14100000, "CW");
    QTRY_COMPARE_WITH_TIMEOUT(reading(*m_rigctld2, "f"), QStringLiteral("14100350"), NextPollMs);
    QTRY_COMPARE_WITH_TIMEOUT(reading(*m_rigctld2, "m"), QStringLiteral("CW"), RigWaitMs);

    // Once more, from where it now stands.
    tune(*m_rigctld1, m_rig1, 21074000, "USB");
    QTRY_COMPARE_WITH_TIMEOUT(reading(*m_rigctld2, "f"), QStringLiteral("21074350"), NextPollMs);
    QTRY_COMPARE_WITH_TIMEOUT(reading(*m_rigctld2, "m"), QStringLiteral("USB"), RigWaitMs);
    QVERIFY(m_fixture->messages.shown.empty());
}

void TestPanelRigctld::fastTrackingFollowsWithoutThePoll()
{
    startPanel(true, iniText("350", "YES", "1") + "FASTTRACK=YES\n");
    if (QTest::currentTestFailed())
        return;
    // Without the panel's poll, only the leader's own events can move the follower.
    m_fixture->panel().pollTimer()->stop();
    tune(*m_rigctld1, m_rig1, 14100000, "CW");
    QTRY_COMPARE_WITH_TIMEOUT(reading(*m_rigctld2, "f"), QStringLiteral("14100350"), RigWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(reading(*m_rigctld2, "m"), QStringLiteral("CW"), RigWaitMs);
}

void TestPanelRigctld::ledsFollowTheRadios()
{
    startPanel();
    if (QTest::currentTestFailed())
        return;
    TSO2VPanel &panel = m_fixture->panel();
    TAMAdvLed *led1 = m_fixture->led("Rig1LED");
    TAMAdvLed *led2 = m_fixture->led("Rig2LED");
    QLabel *status = m_fixture->label("OmniRig");
    QTRY_VERIFY_WITH_TIMEOUT(led1->LedOn() && led2->LedOn(), RigWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(m_fixture->label("Rig2")->text(), QStringLiteral("Dummy"), RigWaitMs);
    QCOMPARE(m_fixture->label("Rig1")->text(), QStringLiteral("Dummy"));

    m_rigctld2->kill9();
    QTRY_VERIFY_WITH_TIMEOUT(!led2->LedOn(), RigWaitMs);
    QVERIFY2(QStringList({"[2] Port is not available", "[2] Rig is not responding"}).contains(status->text()),
             qPrintable(status->text()));
    QVERIFY(led1->LedOn());
    QVERIFY2(m_rigctld2->restart(), qPrintable(m_rigctld2->error()));
    QTRY_VERIFY_WITH_TIMEOUT(led2->LedOn(), RigWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(status->text(), QStringLiteral("[2] On-line"), RigWaitMs);

    // The colour changes at the next refresh, not with the event: the test says when that is.
    panel.pollTimer()->stop();
    QCOMPARE(m_rigctld1->query(QStringLiteral("T 1")).value(0), QStringLiteral("RPRT 0"));
    QTRY_COMPARE_WITH_TIMEOUT(m_rig1->Tx(), std::int32_t(OmniRig::PM_TX), RigWaitMs);
    QCOMPARE(led1->ColorOn(), Green);
    panel.core().TimerTick();
    QCOMPARE(led1->ColorOn(), Red);
    QCOMPARE(led2->ColorOn(), Green);
    QVERIFY(led1->LedOn());
    QCOMPARE(m_rigctld1->query(QStringLiteral("T 0")).value(0), QStringLiteral("RPRT 0"));
    QTRY_COMPARE_WITH_TIMEOUT(m_rig1->Tx(), std::int32_t(OmniRig::PM_RX), RigWaitMs);
    panel.core().TimerTick();
    QCOMPARE(led1->ColorOn(), Green);
    QVERIFY(m_fixture->messages.shown.empty());
}

void TestPanelRigctld::settingsWindowSwitchesRig2ToRigctld()
{
    RigctldProcess noVfo(6);
    QVERIFY2(noVfo.start(), qPrintable(noVfo.error()));
    startPanel(false);
    if (QTest::currentTestFailed())
        return;
    TSO2VPanel &panel = m_fixture->panel();
    QTRY_VERIFY_WITH_TIMEOUT(m_fixture->led("Rig2LED")->LedOn(), RigWaitMs);
    const QString dummy = m_fixture->label("Rig2")->text();
    QCOMPARE(dummy, typeName(m_rig2));
    QVERIFY(dummy != QStringLiteral("Dummy No VFO"));

    // The panel asks for the window; the server shows it and tells the panel.
    panel.trayMenu()->actions().at(3)->trigger();
    auto *server = dynamic_cast<RigServer *>(panel.core().omniRigClient()->DefaultInterface());
    QVERIFY(server);
    auto *window = dynamic_cast<QWidget *>(server->settingsWindow());
    QVERIFY(window->isVisible());
    QVERIFY(!m_fixture->button("A2B")->isVisible());
    QWidget *rig2 = window->findChild<QWidget *>(QStringLiteral("Rig2"));
    auto *search = rig2->findChild<QLineEdit *>(QStringLiteral("ModelSearch"));
    QTest::keyClicks(search, QStringLiteral("rigctld"));
    QTest::keyClick(search, Qt::Key_Return);
    QLineEdit *port = rig2->findChild<QComboBox *>(QStringLiteral("Port"))->lineEdit();
    port->clear();
    QTest::keyClicks(port, noVfo.hostPort());
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("Apply")), Qt::LeftButton);

    QTRY_COMPARE_WITH_TIMEOUT(m_fixture->label("Rig2")->text(), QStringLiteral("Dummy No VFO"), RigWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(m_fixture->led("Rig2LED")->LedOn(), RigWaitMs);
    QCOMPARE(panel.core().omniRigClient()->Rig2(), m_rig2);
    QCOMPARE(m_fixture->label("Rig1")->text(), QStringLiteral("Dummy"));
    window->close();
    QVERIFY(m_fixture->button("A2B")->isVisible());
    QCOMPARE(m_fixture->label("OmniRig")->text(), QString());
    QVERIFY(m_fixture->messages.shown.empty());
}

QTEST_MAIN(TestPanelRigctld)
#include "tst_panel_rigctld.moc"
