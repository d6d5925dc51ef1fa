// Transfer, tracking, the offset slider, the RIT switch and calibration, driven through the panel's own
// controls on a fake rig server that logs every read and write in order.
#include "PanelFixture.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QtTest>

#include <limits>
#include <utility>

#include <sys/inotify.h>
#include <unistd.h>

namespace {

const QString USB = QString::number(OmniRig::PM_SSB_U);
const QString LSB = QString::number(OmniRig::PM_SSB_L);
constexpr qint64 MaxHertz = std::numeric_limits<qint64>::max();
const QString Freq1Known = "Rig1.IsParamReadable(" + QString::number(OmniRig::PM_FREQ) + ")";
const QString Freq2Known = "Rig2.IsParamReadable(" + QString::number(OmniRig::PM_FREQ) + ")";
const QString Freq1Tuned = "Rig1.IsParamWriteable(" + QString::number(OmniRig::PM_FREQ) + ")";
const QString Freq2Tuned = "Rig2.IsParamWriteable(" + QString::number(OmniRig::PM_FREQ) + ")";

// The panel on the fake server's rigs (Rig1 14074000 USB, Rig2 7074000 LSB), the offset switched on
// at position, and the log cleared.
void prepare(PanelFixture &fixture, int position, bool rit = true)
{
    fixture.start();
    fixture.shift()->setValue(position);
    fixture.rit()->setChecked(rit);
    fixture.server().clearLog();
}

void clickBox(QAbstractButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

// Counts the replacements of one file: a save renames its new file onto the name, and the kernel reports each
// rename to a watcher of the folder at once. The creations are watched as well only because the kernel merges
// an event into the one before it when the two look alike.
class ReplacementCounter {
public:
    explicit ReplacementCounter(const QString &path)
        : m_name(QFile::encodeName(QFileInfo(path).fileName())), m_fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        inotify_add_watch(m_fd, QFile::encodeName(QFileInfo(path).path()).constData(), IN_MOVED_TO | IN_CREATE);
    }
    ~ReplacementCounter() { close(m_fd); }
    ReplacementCounter(const ReplacementCounter &) = delete;
    ReplacementCounter &operator=(const ReplacementCounter &) = delete;

    int count()
    {
        alignas(inotify_event) char buffer[4096];
        for (ssize_t got; (got = read(m_fd, buffer, sizeof buffer)) > 0;) {
            for (char *at = buffer; at < buffer + got;) {
                const auto *event = reinterpret_cast<const inotify_event *>(at);
                if ((event->mask & IN_MOVED_TO) && event->len && QByteArray(event->name) == m_name)
                    ++m_count;
                at += sizeof(inotify_event) + event->len;
            }
        }
        return m_count;
    }

private:
    QByteArray m_name;
    int m_fd;
    int m_count = 0;
};

} // namespace

class TestPanelControls : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PanelFixture::initProcess(); }
    void transfers_data();
    void transfers();
    void noTransferWhenNotUsable_data();
    void noTransferWhenNotUsable();
    void frequencyLimits_data();
    void frequencyLimits();
    void swapStopsBetweenHalves();
    void noWriteFromUnknownFrequency_data();
    void noWriteFromUnknownFrequency();
    void frequencyPorts_data();
    void frequencyPorts();
    void follow_data();
    void follow();
    void selectedTrackingButtonDoesNothing();
    void doubleClickTransfersTwice();
    void offsetControls_data();
    void offsetControls();
    void sliderNotifications();
    void oneReplacementPerChange_data();
    void oneReplacementPerChange();
    void selectionIsPainted_data();
    void selectionIsPainted();
    void calibration_data();
    void calibration();
    void failedCalibrationMovesNothing();
};

void TestPanelControls::transfers_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("rit");
    QTest::addColumn<int>("position");
    QTest::addColumn<QStringList>("calls");

    const auto a2b = [](const QString &to2) {
        return QStringList{"Rig1.Status", "Rig2.Status", "Rig1.RigType",     "Rig2.RigType", Freq1Known,
                           "Rig1.Freq",   Freq2Tuned,    "Rig2.Freq=" + to2, "Rig1.Mode",    "Rig2.Mode=" + USB};
    };
    const auto b2a = [](const QString &to1) {
        return QStringList{"Rig1.RigType", "Rig2.RigType", "Rig1.Status",      "Rig2.Status", Freq2Known,
                           "Rig2.Freq",    Freq1Tuned,     "Rig1.Freq=" + to1, "Rig2.Mode",   "Rig1.Mode=" + LSB};
    };
    const auto swap = [](const QString &to2, const QString &to1) {
        return QStringList{"Rig1.RigType",     "Rig2.RigType", "Rig1.Status",      "Rig2.Status",
                           Freq1Known,         Freq2Known,     "Rig2.Freq",        "Rig2.Mode",
                           "Rig1.Freq",        Freq2Tuned,     "Rig2.Freq=" + to2, "Rig1.Mode",
                           "Rig2.Mode=" + USB, Freq1Tuned,     "Rig1.Freq=" + to1, "Rig1.Mode=" + LSB};
    };
    QTest::newRow("A>B, RIT off copies exactly") << "A2B" << false << 2350 << a2b("14074000");
    QTest::newRow("A>B +350") << "A2B" << true << 2350 << a2b("14074350");
    QTest::newRow("A>B -350") << "A2B" << true << 1650 << a2b("14073650");
    QTest::newRow("B>A, RIT off copies exactly") << "B2A" << false << 1650 << b2a("7074000");
    QTest::newRow("B>A +350") << "B2A" << true << 2350 << b2a("7073650");
    QTest::newRow("B>A -350") << "B2A" << true << 1650 << b2a("7074350");
    QTest::newRow("A<>B, RIT off exchanges exactly") << "SWAP" << false << 2350 << swap("14074000", "7074000");
    QTest::newRow("A<>B +350") << "SWAP" << true << 2350 << swap("14074350", "7073650");
    QTest::newRow("A<>B -350") << "SWAP" << true << 1650 << swap("14073650", "7074350");
}

void TestPanelControls::transfers()
{
    QFETCH(QString, button);
    QFETCH(bool, rit);
    QFETCH(int, position);
    QFETCH(QStringList, calls);
    PanelFixture fixture;
    prepare(fixture, position, rit);
    QTest::mouseClick(fixture.button(button.toLatin1()), Qt::LeftButton);
    QCOMPARE(fixture.rigCalls(), calls);
    QVERIFY(fixture.messages.shown.empty());
}

void TestPanelControls::noTransferWhenNotUsable_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("rig");
    QTest::addColumn<QString>("rigType");
    QTest::addColumn<QStringList>("calls");

    const QString online = "Hamlib Dummy";
    QTest::newRow("A>B, Rig1 off line") << "A2B" << 1 << online << QStringList{"Rig1.Status"};
    QTest::newRow("A>B, Rig2 off line") << "A2B" << 2 << online << QStringList{"Rig1.Status", "Rig2.Status"};
    QTest::newRow("A>B, Rig1 NONE") << "A2B" << 1 << "NONE"
                                    << QStringList{"Rig1.Status", "Rig2.Status", "Rig1.RigType"};
    QTest::newRow("A>B, Rig2 none") << "A2B" << 2 << "none"
                                    << QStringList{"Rig1.Status", "Rig2.Status", "Rig1.RigType", "Rig2.RigType"};
    QTest::newRow("B>A, Rig1 None") << "B2A" << 1 << "None" << QStringList{"Rig1.RigType"};
    QTest::newRow("B>A, Rig2 off line") << "B2A" << 2 << online
                                        << QStringList{"Rig1.RigType", "Rig2.RigType", "Rig1.Status", "Rig2.Status"};
    QTest::newRow("A<>B, Rig2 nOnE") << "SWAP" << 2 << "nOnE" << QStringList{"Rig1.RigType", "Rig2.RigType"};
    QTest::newRow("A<>B, Rig1 off line") << "SWAP" << 1 << online
                                         << QStringList{"Rig1.RigType", "Rig2.RigType", "Rig1.Status"};
}

void TestPanelControls::noTransferWhenNotUsable()
{
    QFETCH(QString, button);
    QFETCH(int, rig);
    QFETCH(QString, rigType);
    QFETCH(QStringList, calls);
    PanelFixture fixture;
    prepare(fixture, 2350);
    FakeRig &target = rig == 1 ? fixture.server().rig1 : fixture.server().rig2;
    target.rigType = rigType.toStdString();
    if (rigType == "Hamlib Dummy")
        target.status = OmniRig::ST_NOTRESPONDING;
    QTest::mouseClick(fixture.button(button.toLatin1()), Qt::LeftButton);
    QCOMPARE(fixture.rigCalls(), calls);
}

void TestPanelControls::frequencyLimits_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<qint64>("rig1");
    QTest::addColumn<qint64>("rig2");
    QTest::addColumn<QStringList>("writes");

    QTest::newRow("A>B past 2^31 Hz") << "A2B" << qint64(10368100000) << qint64(0)
                                      << QStringList{"Rig2.Freq=10368100350", "Rig2.Mode=" + USB};
    QTest::newRow("A>B past 64 bits") << "A2B" << MaxHertz << qint64(0) << QStringList{};
    QTest::newRow("B>A below 0 Hz") << "B2A" << qint64(14074000) << qint64(100) << QStringList{};
    QTest::newRow("A<>B, Rig1 would go below 0 Hz") << "SWAP" << qint64(14074000) << qint64(100) << QStringList{};
    QTest::newRow("A<>B, Rig2 would pass 64 bits") << "SWAP" << MaxHertz << qint64(7074000) << QStringList{};
}

void TestPanelControls::frequencyLimits()
{
    QFETCH(QString, button);
    QFETCH(qint64, rig1);
    QFETCH(qint64, rig2);
    QFETCH(QStringList, writes);
    PanelFixture fixture;
    prepare(fixture, 2350);
    fixture.server().rig1.freq = rig1;
    fixture.server().rig2.freq = rig2;
    QTest::mouseClick(fixture.button(button.toLatin1()), Qt::LeftButton);
    QCOMPARE(fixture.server().writes(), writes);
    QVERIFY(fixture.messages.shown.empty());
}

void TestPanelControls::swapStopsBetweenHalves()
{
    PanelFixture fixture;
    prepare(fixture, 2350);
    fixture.server().failAt = QStringLiteral("Rig1.Freq=7073650");
    QTest::mouseClick(fixture.button("SWAP"), Qt::LeftButton);
    QCOMPARE(fixture.messages.lines(), QStringList{"VELKOR|Fake failure at Rig1.Freq=7073650."});
    QCOMPARE(fixture.server().writes(), QStringList({"Rig2.Freq=14074350", "Rig2.Mode=" + USB, "Rig1.Freq=7073650"}));
    QCOMPARE(fixture.server().rig2.freq, 14074350);
    QCOMPARE(fixture.server().rig2.mode, OmniRig::PM_SSB_U);
    QCOMPARE(fixture.server().rig1.freq, 14074000);
    QCOMPARE(fixture.server().rig1.mode, OmniRig::PM_SSB_U);
}

void TestPanelControls::noWriteFromUnknownFrequency_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("unread");
    QTest::addColumn<int>("position");
    QTest::addColumn<QStringList>("writes");

    // A rig that has not read a frequency answers 0 Hz; copied, that is the offset alone (here 350 Hz).
    const QStringList toRig2{"Rig2.Freq=14074350", "Rig2.Mode=" + USB};
    QTest::newRow("A>B from Rig1") << "A2B" << 1 << 2350 << QStringList{};
    QTest::newRow("A>B to an unread Rig2") << "A2B" << 2 << 2350 << toRig2;
    QTest::newRow("B>A from Rig2") << "B2A" << 2 << 1650 << QStringList{};
    QTest::newRow("A<>B, Rig1 unread") << "SWAP" << 1 << 2350 << QStringList{};
    QTest::newRow("A<>B, Rig2 unread") << "SWAP" << 2 << 1650 << QStringList{};
    QTest::newRow("Rig2 follows an unread Rig1") << "follow 1" << 1 << 2350 << QStringList{};
    QTest::newRow("Rig1 follows an unread Rig2") << "follow 2" << 2 << 1650 << QStringList{};
    QTest::newRow("an unread Rig2 follows Rig1") << "follow 1" << 2 << 2350 << toRig2;
}

void TestPanelControls::frequencyPorts_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("rig2");
    QTest::addColumn<QStringList>("writes");

    // A rig on line whose radio has not told its frequency yet reads 0 Hz; one tuned through its VFOs only is
    // read and written through FreqA. The offset is -350 Hz, so that a copy from 0 Hz would give 350 Hz.
    QTest::newRow("B>A from a Rig2 that reads 0 Hz") << "B2A"
                                                     << "0 Hz" << QStringList{};
    QTest::newRow("A<>B with a Rig2 that reads 0 Hz") << "SWAP"
                                                      << "0 Hz" << QStringList{};
    QTest::newRow("Rig1 follows a Rig2 that reads 0 Hz") << "follow 2"
                                                         << "0 Hz" << QStringList{};
    QTest::newRow("A>B to a Rig2 tuned through FreqA")
        << "A2B"
        << "FreqA" << QStringList{"Rig2.FreqA=14073650", "Rig2.Mode=" + USB};
    QTest::newRow("B>A from a Rig2 read through FreqA")
        << "B2A"
        << "FreqA" << QStringList{"Rig1.Freq=7074350", "Rig1.Mode=" + LSB};
    QTest::newRow("Rig2 follows Rig1 through FreqA")
        << "follow 1"
        << "FreqA" << QStringList{"Rig2.FreqA=14073650", "Rig2.Mode=" + USB};
}

void TestPanelControls::frequencyPorts()
{
    QFETCH(QString, action);
    QFETCH(QString, rig2);
    QFETCH(QStringList, writes);
    PanelFixture fixture;
    prepare(fixture, 1650);
    FakeOmniRig &server = fixture.server();
    if (rig2 == "0 Hz") {
        server.rig2.freq = 0;
    } else {
        server.rig2.readable = (server.rig2.readable & ~OmniRig::PM_FREQ) | OmniRig::PM_FREQA;
        server.rig2.writeable = OmniRig::PM_FREQA | OmniRig::PM_MODES;
        server.rig2.freqA = std::exchange(server.rig2.freq, 0);
    }
    if (action == "follow 1")
        fixture.panel().core().FollowRig(&server.rig1, &server.rig2);
    else if (action == "follow 2")
        fixture.panel().core().FollowRig(&server.rig2, &server.rig1);
    else
        QTest::mouseClick(fixture.button(action.toLatin1()), Qt::LeftButton);
    QCOMPARE(server.writes(), writes);
}

void TestPanelControls::noWriteFromUnknownFrequency()
{
    QFETCH(QString, action);
    QFETCH(int, unread);
    QFETCH(int, position);
    QFETCH(QStringList, writes);
    PanelFixture fixture;
    prepare(fixture, position);
    FakeOmniRig &server = fixture.server();
    FakeRig &rig = unread == 1 ? server.rig1 : server.rig2;
    rig.readable &= ~OmniRig::PM_FREQ;
    rig.freq = 0;
    if (action == "follow 1")
        fixture.panel().core().FollowRig(&server.rig1, &server.rig2);
    else if (action == "follow 2")
        fixture.panel().core().FollowRig(&server.rig2, &server.rig1);
    else
        QTest::mouseClick(fixture.button(action.toLatin1()), Qt::LeftButton);
    QCOMPARE(server.writes(), writes);
    QVERIFY(fixture.messages.shown.empty());
}

void TestPanelControls::follow_data()
{
    QTest::addColumn<int>("master");
    QTest::addColumn<qint64>("rig1Freq");
    QTest::addColumn<int>("rig1Mode");
    QTest::addColumn<qint64>("rig2Freq");
    QTest::addColumn<int>("rig2Mode");
    QTest::addColumn<QStringList>("calls");

    const int usb = OmniRig::PM_SSB_U;
    const int lsb = OmniRig::PM_SSB_L;
    const QStringList checks1{"Rig1.RigType", "Rig2.RigType", "Rig1.Status", "Rig2.Status",
                              Freq1Known,     Freq2Known,     "Rig2.Freq",   "Rig1.Freq"};
    const QStringList checks2{"Rig2.RigType", "Rig1.RigType", "Rig2.Status", "Rig1.Status",
                              Freq2Known,     Freq1Known,     "Rig1.Freq",   "Rig2.Freq"};
    QTest::newRow("Rig2 follows, in step")
        << 1 << qint64(14074000) << usb << qint64(14074100) << usb << checks1 + QStringList{"Rig2.Mode", "Rig1.Mode"};
    QTest::newRow("Rig2 follows, Rig1 moved")
        << 1 << qint64(14074000) << usb << qint64(7074000) << lsb
        << checks1 + QStringList{"Rig1.Freq", Freq2Tuned, "Rig2.Freq=14074100", "Rig1.Mode", "Rig2.Mode=" + USB};
    QTest::newRow("Rig2 follows, modes agree: mode still written")
        << 1 << qint64(14074000) << usb << qint64(7074000) << usb
        << checks1 + QStringList{"Rig1.Freq", Freq2Tuned, "Rig2.Freq=14074100", "Rig1.Mode", "Rig2.Mode=" + USB};
    QTest::newRow("Rig2 follows, only the mode differs")
        << 1 << qint64(14074000) << usb << qint64(14074100) << lsb
        << checks1 + QStringList{"Rig2.Mode",          "Rig1.Mode", "Rig1.Freq",       Freq2Tuned,
                                 "Rig2.Freq=14074100", "Rig1.Mode", "Rig2.Mode=" + USB};
    QTest::newRow("Rig1 follows, in step")
        << 2 << qint64(14073900) << usb << qint64(14074000) << usb << checks2 + QStringList{"Rig1.Mode", "Rig2.Mode"};
    QTest::newRow("Rig1 follows, Rig2 moved 1000 up")
        << 2 << qint64(14073900) << lsb << qint64(14075000) << usb
        << checks2 + QStringList{"Rig2.Freq", Freq1Tuned, "Rig1.Freq=14074900", "Rig2.Mode", "Rig1.Mode=" + USB};
    QTest::newRow("Rig1 follows, would go below 0 Hz")
        << 2 << qint64(14073900) << usb << qint64(50) << usb << checks2 + QStringList{"Rig2.Freq"};
}

void TestPanelControls::follow()
{
    QFETCH(int, master);
    QFETCH(qint64, rig1Freq);
    QFETCH(int, rig1Mode);
    QFETCH(qint64, rig2Freq);
    QFETCH(int, rig2Mode);
    QFETCH(QStringList, calls);
    PanelFixture fixture;
    prepare(fixture, 2100);
    FakeOmniRig &server = fixture.server();
    server.rig1.freq = rig1Freq;
    server.rig1.mode = rig1Mode;
    server.rig2.freq = rig2Freq;
    server.rig2.mode = rig2Mode;
    if (master == 1)
        fixture.panel().core().FollowRig(&server.rig1, &server.rig2);
    else
        fixture.panel().core().FollowRig(&server.rig2, &server.rig1);
    QCOMPARE(fixture.rigCalls(), calls);
    // Rig2 = Rig1 + offset, whichever rig leads.
    if (!server.writes().isEmpty())
        QCOMPARE(server.rig2.freq - server.rig1.freq, 100);
}

void TestPanelControls::selectedTrackingButtonDoesNothing()
{
    PanelFixture fixture;
    prepare(fixture, 2000);
    clickBox(fixture.radio("TrackRig2"));
    QCOMPARE(fixture.iniBytes(), iniText("0", "YES", "2"));
    // A save would bring the file back.
    QVERIFY(QFile::remove(fixture.iniPath()));
    clickBox(fixture.radio("TrackRig2"));
    QVERIFY(fixture.radio("TrackRig2")->isChecked());
    QVERIFY(!QFile::exists(fixture.iniPath()));
    clickBox(fixture.radio("TrackNone"));
    QCOMPARE(fixture.iniBytes(), iniText("0", "YES", "0"));
    QVERIFY(fixture.server().writes().isEmpty());
}

void TestPanelControls::doubleClickTransfersTwice()
{
    PanelFixture fixture;
    prepare(fixture, 2350);
    // As the window system delivers it: press, release, the second press as a double click, release.
    QWidget *a2b = fixture.button("A2B");
    const QPoint centre = a2b->rect().center();
    QTest::mouseClick(a2b, Qt::LeftButton, {}, centre);
    QMouseEvent second(QEvent::MouseButtonDblClick, centre, a2b->mapToGlobal(centre), Qt::LeftButton, Qt::LeftButton,
                       {});
    QApplication::sendEvent(a2b, &second);
    QTest::mouseRelease(a2b, Qt::LeftButton, {}, centre);
    const QStringList once{"Rig2.Freq=14074350", "Rig2.Mode=" + USB};
    QCOMPARE(fixture.server().writes(), once + once);
}

void TestPanelControls::offsetControls_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("clickLabel");
    QTest::addColumn<bool>("uncheckRit");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selEnd");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("file");

    QTest::newRow("1650") << 1650 << false << false << "-350 Hz" << 1650 << 2000 << -350 << iniText("-350", "YES", "0");
    QTest::newRow("2001") << 2001 << false << false << "+1 Hz" << 2000 << 2001 << 1 << iniText("1", "YES", "0");
    QTest::newRow("2000 after a change") << 2000 << false << false << "-0 Hz" << 2000 << 2000 << 0
                                         << iniText("0", "YES", "0");
    QTest::newRow("label clicked at 3000")
        << 3000 << true << false << "+0 Hz" << 2000 << 2000 << 0 << iniText("0", "YES", "0");
    QTest::newRow("RIT unchecked keeps the offset saved")
        << 2350 << false << true << "+350 Hz" << 2000 << 2350 << 0 << iniText("350", "NOT", "0");
}

void TestPanelControls::offsetControls()
{
    QFETCH(int, position);
    QFETCH(bool, clickLabel);
    QFETCH(bool, uncheckRit);
    QFETCH(QString, label);
    QFETCH(int, selStart);
    QFETCH(int, selEnd);
    QFETCH(int, offset);
    QFETCH(QByteArray, file);
    PanelFixture fixture;
    fixture.start();
    QCOMPARE(fixture.shiftHz()->text(), QStringLiteral("+0000 Hz"));
    fixture.shift()->setValue(2100);
    fixture.shift()->setValue(position);
    if (clickLabel)
        QTest::mouseClick(fixture.shiftHz(), Qt::LeftButton);
    if (uncheckRit)
        clickBox(fixture.rit());
    QCOMPARE(fixture.shiftHz()->text(), label);
    QCOMPARE(fixture.shift()->selStart(), selStart);
    QCOMPARE(fixture.shift()->selEnd(), selEnd);
    QCOMPARE(fixture.panel().core().currentOffset(), offset);
    QCOMPARE(fixture.shift()->isVisible(), !uncheckRit);
    QCOMPARE(fixture.shiftHz()->isVisible(), !uncheckRit);
    QCOMPARE(fixture.iniBytes(), file);
}

void TestPanelControls::sliderNotifications()
{
    PanelFixture fixture;
    fixture.start();
    TrackBar *shift = fixture.shift();
    shift->setFocus();
    QSignalSpy runs(shift, &TrackBar::changed);

    // From code: only a change runs the handler.
    shift->setValue(2000);
    QCOMPARE(runs.count(), 0);
    shift->setValue(2500);
    QCOMPARE(runs.count(), 1);
    // The operator: each step, and the end of the movement once more.
    QTest::keyClick(shift, Qt::Key_Right);
    QCOMPARE(runs.count(), 3);
    QCOMPARE(fixture.shiftHz()->text(), QStringLiteral("+501 Hz"));
    QTest::keyClick(shift, Qt::Key_End);
    QCOMPARE(shift->value(), 4000);
    QCOMPARE(fixture.iniBytes(), iniText("2000", "YES", "0"));
    QVERIFY(QFile::remove(fixture.iniPath()));
    // Also when the position stays where it is; as nothing changed, nothing is saved.
    QTest::keyClick(shift, Qt::Key_End);
    QCOMPARE(runs.count(), 7);
    QVERIFY(!QFile::exists(fixture.iniPath()));

    runs.clear();
    const QPoint thumb(shift->pixelForValue(4000), shift->height() / 2 - 2);
    QTest::mousePress(shift, Qt::LeftButton, {}, thumb);
    QTest::mouseMove(shift, thumb - QPoint(20, 0));
    QTest::mouseMove(shift, thumb - QPoint(40, 0));
    QTest::mouseRelease(shift, Qt::LeftButton, {}, thumb - QPoint(40, 0));
    QCOMPARE(runs.count(), 3);
    QVERIFY(shift->value() < 4000);
    QCOMPARE(fixture.iniBytes(), iniText(QString::number(shift->value() - 2000), "YES", "0"));
    QCOMPARE(fixture.shiftHz()->text(), QStringLiteral("+%1 Hz").arg(shift->value() - 2000));
}

void TestPanelControls::oneReplacementPerChange_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("replacements");
    QTest::addColumn<QByteArray>("file");

    // Other lines, other sections, CRLF line ends and the keys out of order stay as they are; a missing key
    // is added at the end of its section.
    const auto file = [](const char *offset, const char *shift, const char *track) {
        return QByteArray("; kept\r\n[VE2Z]\r\nTRACK=") + track + "\r\nOFFSET=" + offset +
               "\r\nNOTE=x\r\nSHIFT=" + shift + "\r\n[Other]\r\nOFFSET=9\r\n";
    };
    QTest::newRow("key press") << "Right" << 1 << file("101", "YES", "0");
    QTest::newRow("End at the end") << "End" << 0 << file("2000", "YES", "0");
    QTest::newRow("label clicked") << "label" << 1 << file("0", "YES", "0");
    QTest::newRow("tracking button") << "TrackRig2" << 1 << file("100", "YES", "2");
    QTest::newRow("RIT") << "RIT" << 1 << file("100", "NOT", "0");
    QTest::newRow("calibration") << "calibration" << 1 << file("-2000", "YES", "0");
}

void TestPanelControls::oneReplacementPerChange()
{
    QFETCH(QString, action);
    QFETCH(int, replacements);
    QFETCH(QByteArray, file);
    PanelFixture fixture;
    fixture.writeIni("; kept\r\n[VE2Z]\r\nTRACK=0\r\nOFFSET=100\r\nNOTE=x\r\n[Other]\r\nOFFSET=9\r\n");
    fixture.start();
    TrackBar *shift = fixture.shift();
    if (action == "End")
        shift->setValue(4000);
    ReplacementCounter counter(fixture.iniPath());
    if (action == "Right" || action == "End") {
        shift->setFocus();
        QTest::keyClick(shift, action == "End" ? Qt::Key_End : Qt::Key_Right);
    } else if (action == "label") {
        QTest::mouseClick(fixture.shiftHz(), Qt::LeftButton);
    } else if (action == "calibration") {
        fixture.panel().core().OffsetCaliber();
    } else {
        clickBox(fixture.child<QAbstractButton>(qPrintable(action)));
    }
    QCOMPARE(counter.count(), replacements);
    QCOMPARE(fixture.iniBytes(), file);
}

void TestPanelControls::selectionIsPainted_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("inside");
    QTest::addColumn<int>("outside");

    QTest::newRow("below the centre") << 1000 << 1700 << 2600;
    QTest::newRow("above the centre") << 3000 << 2300 << 1400;
}

void TestPanelControls::selectionIsPainted()
{
    QFETCH(int, position);
    QFETCH(int, inside);
    QFETCH(int, outside);
    PanelFixture fixture;
    fixture.start();
    TrackBar *shift = fixture.shift();
    shift->setValue(position);
    const QColor highlight = shift->palette().color(QPalette::Highlight);
    const auto highlighted = [&](int value) {
        const QImage image = shift->grab().toImage();
        const int x = shift->pixelForValue(value);
        for (int y = 0; y < image.height(); ++y)
            if (image.pixelColor(x, y) == highlight)
                return true;
        return false;
    };
    QVERIFY(highlighted(inside));
    QVERIFY(!highlighted(outside));
    // Back at the centre the selection is empty: nothing highlighted on either side.
    shift->setValue(2000);
    QVERIFY(!highlighted(inside));
    QVERIFY(!highlighted(outside));
}

void TestPanelControls::calibration_data()
{
    QTest::addColumn<qint64>("rig1");
    QTest::addColumn<qint64>("rig2");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("label");

    QTest::newRow("Rig2 1250 Hz above") << qint64(14074000) << qint64(14075250) << 3250 << "+1250 Hz";
    QTest::newRow("Rig2 5000 Hz below") << qint64(14074000) << qint64(14069000) << 0 << "-2000 Hz";
    QTest::newRow("Rig2 5000 Hz above") << qint64(14074000) << qint64(14079000) << 4000 << "+2000 Hz";
    QTest::newRow("equal") << qint64(14074000) << qint64(14074000) << 2000 << "-0 Hz";
    QTest::newRow("as far apart as 64 bits go") << qint64(0) << MaxHertz << 4000 << "+2000 Hz";
    QTest::newRow("as far apart as 64 bits go, reversed")
        << MaxHertz << std::numeric_limits<qint64>::min() << 0 << "-2000 Hz";
}

void TestPanelControls::calibration()
{
    QFETCH(qint64, rig1);
    QFETCH(qint64, rig2);
    QFETCH(int, position);
    QFETCH(QString, label);
    PanelFixture fixture;
    prepare(fixture, 2000, false);
    fixture.server().rig1.freq = rig1;
    fixture.server().rig2.freq = rig2;
    fixture.panel().trayMenu()->actions().at(4)->trigger();
    // No status or type test: the two frequencies, Rig2 first, and nothing else.
    QCOMPARE(fixture.rigCalls(), QStringList({"Rig2.Freq", "Rig1.Freq"}));
    QCOMPARE(fixture.shift()->value(), position);
    QCOMPARE(fixture.shiftHz()->text(), label);
    QVERIFY(fixture.rit()->isChecked());
    QVERIFY(fixture.shift()->isVisible());
    QCOMPARE(fixture.iniBytes(), iniText(QString::number(position - 2000), "YES", "0"));
}

void TestPanelControls::failedCalibrationMovesNothing()
{
    PanelFixture fixture;
    prepare(fixture, 2100, false);
    fixture.server().failAt = QStringLiteral("Rig1.Freq");
    fixture.panel().trayMenu()->actions().at(4)->trigger();
    QCOMPARE(fixture.messages.lines(), QStringList{"VELKOR|Fake failure at Rig1.Freq."});
    QCOMPARE(fixture.shift()->value(), 2100);
    QVERIFY(!fixture.rit()->isChecked());
}

QTEST_MAIN(TestPanelControls)
#include "tst_panel_controls.moc"
