// The panel's core without any window: what a face is told and asked, from start-up on. A second face (the
// Win32 window) must show exactly this; the Qt face's own tests cover the widgets.
#include "FakeOmniRig.h"
#include "ini/IniFile.h"
#include "omnirig/TOmniRigX.h"
#include "panel/core/PanelCore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <map>

using namespace Panel;

namespace {

// A face that keeps what it was told, as a window would show it, and answers boxes as told.
class RecordingFace final : public PanelFace {
public:
    std::map<Control, std::string> texts;
    std::map<Control, bool> visible, enabled, checked, ledOn;
    std::map<Control, Colour> colours;
    int shiftPosition = -1;
    std::pair<int, int> selection{-1, -1};
    std::optional<Control> focus;
    std::vector<Box> boxes, notes;
    BoxAnswer answer = BoxAnswer::Ok;
    std::string title = "Velkor using OmniRig";
    bool tray = true;
    std::optional<TrayImage> trayIcon;
    std::vector<std::pair<int, std::string>> trayItems, systemItems;
    std::vector<std::string> calls; // the calls that do something beyond showing: "close", "exit", ...

    void setText(Control label, const std::string &text) override { texts[label] = text; }
    void setVisible(Control control, bool value) override { visible[control] = value; }
    void setEnabled(Control control, bool value) override { enabled[control] = value; }
    void setChecked(Control control, bool value) override
    {
        // One tracking choice at a time, as the buttons form one group.
        if (value && control != Control::RIT)
            for (Control button : {Control::TrackNone, Control::TrackRig1, Control::TrackRig2})
                checked[button] = false;
        checked[control] = value;
    }
    void setShiftPosition(int position) override { shiftPosition = position; }
    void setShiftSelection(int start, int end) override { selection = {start, end}; }
    void setFocus(Control control) override { focus = control; }
    void setLedOn(Control led, bool on) override { ledOn[led] = on; }
    void setLedColour(Control led, Colour colour) override { colours[led] = colour; }
    BoxAnswer showBox(const Box &box) override
    {
        boxes.push_back(box);
        return answer;
    }
    void showNote(const Box &box) override { notes.push_back(box); }
    void setAboutTexts(const AboutTexts &) override {}
    void executeAbout() override { calls.push_back("about"); }
    std::string applicationTitle() override { return title; }
    void setApplicationTitle(const std::string &value) override { title = value; }
    bool trayAvailable() override { return tray; }
    void showTrayIcon(TrayImage image) override { trayIcon = image; }
    void hideTrayIcon() override { trayIcon.reset(); }
    void appendTrayMenuItem(int id, const std::string &caption) override { trayItems.emplace_back(id, caption); }
    void popupTrayMenu(Point) override { calls.push_back("popup"); }
    bool setSystemMenuText(int command, const std::string &text) override
    {
        systemItems.emplace_back(command, "text " + text);
        return true;
    }
    bool removeSystemMenuItem(int position) override
    {
        systemItems.emplace_back(position, "remove");
        return true;
    }
    void appendSystemMenuSeparator() override { systemItems.emplace_back(0, "-"); }
    void appendSystemMenuItem(int command, const std::string &text) override
    {
        systemItems.emplace_back(command, text);
    }
    void defaultSystemCommand(int command) override { calls.push_back("system " + std::to_string(command)); }
    void bringToFront() override { calls.push_back("front"); }
    Point cursorPosition() override { return {}; }
    bool isMinimized() override { return false; }
    void restore() override {}
    void close() override { calls.push_back("close"); }
    void exitNow() override { calls.push_back("exit"); }
    void processPendingEvents() override {}
};

class Mark final : public InstanceMark {
public:
    bool free = true;
    bool held = false;
    bool claim() override { return held = free; }
    void release() override { held = false; }
};

class Timer final : public PollTimer {
public:
    int interval = 0;
    void start(int intervalMs) override { interval = intervalMs; }
};

// The core on a fake rig server and a settings file in a temporary folder.
struct Bench {
    QTemporaryDir dir;
    std::shared_ptr<FakeOmniRigFactory> factory = std::make_shared<FakeOmniRigFactory>();
    RecordingFace face;
    Mark mark;
    Timer timer;
    PanelCore core{face, mark, timer};

    Bench() { TOmniRigX::setDefaultFactory(factory); }
    ~Bench() { TOmniRigX::setDefaultFactory(nullptr); }
    std::string ini() const { return dir.filePath(QStringLiteral("VELKOR.INI")).toStdString(); }
    void start(const std::string &text = {})
    {
        if (!text.empty())
            IniFile(ini()).writeString("VE2Z", "OFFSET", text);
        core.FormCreate({"velkor", "-F", ini()}, dir.path().toStdString());
    }
};

} // namespace

class TestPanelCore : public QObject {
    Q_OBJECT

private slots:
    void startupAsAFaceSeesIt();
    void trayNote_data();
    void trayNote();
    void failuresReachTheFaceFromEntriesOnly_data();
    void failuresReachTheFaceFromEntriesOnly();
    void fastTrackingFollowsTheLeadersEvents_data();
    void fastTrackingFollowsTheLeadersEvents();
    void noServerToBeHadIsSaidOnce();
    void focusOnActivation_data();
    void focusOnActivation();
    void secondClicks();
};

void TestPanelCore::startupAsAFaceSeesIt()
{
    Bench bench;
    IniFile(bench.ini()).writeStrings("VE2Z", {{"OFFSET", "-350"}, {"SHIFT", "on"}, {"TRACK", "2"}});
    bench.factory->server->rig2.status = OmniRig::ST_PORTBUSY;
    bench.factory->server->rig2.statusText = "Port is not available";
    bench.core.FormCreate({"velkor", "-F", bench.ini()}, bench.dir.path().toStdString());
    RecordingFace &face = bench.face;

    QVERIFY(!bench.core.startupEnded());
    QVERIFY(bench.mark.held);
    QCOMPARE(bench.timer.interval, PanelCore::PollIntervalMs);
    QCOMPARE(face.title, std::string("VELKOR"));
    QCOMPARE(face.shiftPosition, 1650);
    QCOMPARE(face.selection, std::make_pair(1650, 2000));
    QCOMPARE(face.texts[Control::ShiftHZ], std::string("-350 Hz"));
    QVERIFY(face.checked[Control::RIT] && face.visible[Control::Shift] && face.enabled[Control::ShiftHZ]);
    QVERIFY(face.checked[Control::TrackRig2] && !face.checked[Control::TrackNone]);
    QCOMPARE(face.texts[Control::Rig1], std::string("Hamlib Dummy"));
    QCOMPARE(face.texts[Control::OmniRig], std::string("[1] On-line"));
    QVERIFY(face.ledOn[Control::Rig1LED]);
    QCOMPARE(face.colours[Control::Rig1LED], PanelCore::ReceiveColour);
    QCOMPARE(face.ledOn.count(Control::Rig2LED), std::size_t(1)); // switched from Rig2's status: off
    QVERIFY(!face.ledOn[Control::Rig2LED]);
    QVERIFY(face.visible[Control::A2B] && face.enabled[Control::B2A]);
    QCOMPARE(face.trayIcon, std::optional<TrayImage>(TrayImage::Main));
    QCOMPARE(face.trayItems.size(), std::size_t(7));
    QCOMPARE(face.trayItems.back(), std::make_pair(int(TrayCommand::Exit), std::string("Exit")));
    QCOMPARE(face.systemItems.front(), std::make_pair(PanelCore::CloseCommand, std::string("text &Quit\tAlt+F4")));
    QCOMPARE(face.systemItems.back(), std::make_pair(PanelCore::AboutCommand, std::string("&About...")));
    QVERIFY(face.boxes.empty() && face.notes.empty());
    // Nothing the core set on the face came back to it as the operator's doing: one save wrote it all.
    QCOMPARE(IniFile(bench.ini()).readString("VE2Z", "SHIFT"), std::string("YES"));

    // A notification of the slider that does not move it changes nothing; the operator's RIT click does.
    bench.core.shiftMoved(1650);
    bench.core.ritToggled(false);
    QVERIFY(!face.visible[Control::Shift]);
    QCOMPARE(bench.core.currentOffset(), 0);
    bench.core.trayMenuChosen(int(TrayCommand::Exit));
    QCOMPARE(face.calls, (std::vector<std::string>{"close", "exit"}));
    QVERIFY(!face.trayIcon && !bench.mark.held);
}

void TestPanelCore::trayNote_data()
{
    QTest::addColumn<bool>("tray");
    QTest::addColumn<bool>("otherCopy");
    QTest::addColumn<int>("notes");
    QTest::newRow("a tray") << true << false << 0;
    QTest::newRow("no tray: said once") << false << false << 1;
    QTest::newRow("no tray, another copy runs: only that is said") << false << true << 0;
}

void TestPanelCore::trayNote()
{
    QFETCH(bool, tray);
    QFETCH(bool, otherCopy);
    QFETCH(int, notes);
    Bench bench;
    bench.face.tray = tray;
    bench.mark.free = !otherCopy;
    bench.start();
    // Once only, whatever the panel does afterwards.
    bench.core.timerTicked();
    bench.core.timerTicked();
    QCOMPARE(int(bench.face.notes.size()), notes);
    QCOMPARE(int(bench.face.boxes.size()), otherCopy ? 1 : 0);
    if (notes)
        QVERIFY(bench.face.notes.front().text.find("right-click the panel") != std::string::npos);
}

void TestPanelCore::failuresReachTheFaceFromEntriesOnly_data()
{
    QTest::addColumn<bool>("fromEvent");
    QTest::newRow("a click") << false;
    QTest::newRow("a rig server event") << true;
}

void TestPanelCore::failuresReachTheFaceFromEntriesOnly()
{
    QFETCH(bool, fromEvent);
    Bench bench;
    bench.start();
    FakeOmniRig &server = *bench.factory->server;
    server.failAt = fromEvent ? QStringLiteral("Rig2.RigType") : QStringLiteral("Rig1.Freq");
    if (fromEvent)
        server.raiseRigTypeChange(2);
    else
        bench.core.clicked(Control::A2B);
    QVERIFY(!server.failAt);
    if (fromEvent) {
        QVERIFY(bench.face.boxes.empty());
        return;
    }
    QCOMPARE(bench.face.boxes.size(), std::size_t(1));
    QCOMPARE(bench.face.boxes.front().caption, std::string("VELKOR"));
    QCOMPARE(bench.face.boxes.front().icon, BoxIcon::Stop);
    QVERIFY(server.writes().isEmpty());
}

void TestPanelCore::fastTrackingFollowsTheLeadersEvents_data()
{
    QTest::addColumn<QString>("fastTrack"); // null: no such key in the file
    QTest::addColumn<int>("track");
    QTest::addColumn<int>("eventRig");
    QTest::addColumn<int>("params");
    QTest::addColumn<QStringList>("writes");
    const QString cw = QString::number(OmniRig::PM_CW_U);
    const QStringList toRig2{"Rig2.Freq=21074350", "Rig2.Mode=" + cw}, none;
    QTest::newRow("no key: at the next poll") << QString() << 1 << 1 << int(OmniRig::PM_FREQ) << none;
    QTest::newRow("the leader's frequency") << QStringLiteral("YES") << 1 << 1 << int(OmniRig::PM_FREQ) << toRig2;
    QTest::newRow("the leader's mode") << QStringLiteral("on") << 1 << 1 << int(OmniRig::PM_CW_U) << toRig2;
    QTest::newRow("Rig2 leads, its VFO B") << QStringLiteral("YES") << 2 << 2 << int(OmniRig::PM_FREQB)
                                           << QStringList{"Rig1.Freq=21073650", "Rig1.Mode=" + cw};
    QTest::newRow("the follower's own change") << QStringLiteral("YES") << 1 << 2 << int(OmniRig::PM_FREQ) << none;
    QTest::newRow("the leader's transmit state") << QStringLiteral("YES") << 1 << 1 << int(OmniRig::PM_TX) << none;
}

void TestPanelCore::fastTrackingFollowsTheLeadersEvents()
{
    QFETCH(QString, fastTrack);
    QFETCH(int, track);
    QFETCH(int, eventRig);
    QFETCH(int, params);
    QFETCH(QStringList, writes);
    Bench bench;
    IniFile(bench.ini()).writeStrings("VE2Z", {{"OFFSET", "350"}, {"TRACK", std::to_string(track)}});
    if (!fastTrack.isNull())
        IniFile(bench.ini()).writeString("VE2Z", "FASTTRACK", fastTrack.toStdString());
    bench.start();
    FakeOmniRig &server = *bench.factory->server;
    server.clearLog();
    FakeRig &leader = track == 2 ? server.rig2 : server.rig1;
    leader.freq = 21074000;
    leader.mode = OmniRig::PM_CW_U;
    server.raiseParamsChange(eventRig, params);
    QCOMPARE(server.writes(), writes);
}

void TestPanelCore::noServerToBeHadIsSaidOnce()
{
    Bench bench;
    bench.factory->creatable = false;
    bench.start();
    // Every poll fails as start-up did; the operator hears it once, with what to do, and other failures still.
    bench.core.timerTicked();
    bench.core.timerTicked();
    QCOMPARE(bench.face.boxes.size(), std::size_t(1));
    QVERIFY(bench.face.boxes.front().text.starts_with("OmniRig is not installed. "));
    QCOMPARE(bench.face.boxes.front().icon, BoxIcon::Stop);
    QVERIFY(bench.factory->createCalls >= 3);
    bench.core.shiftMoved(3000);
    bench.face.boxes.clear();
    QFile::setPermissions(QString::fromStdString(bench.ini()), QFile::ReadOwner);
    bench.core.shiftMoved(2500);
    QCOMPARE(bench.face.boxes.size(), std::size_t(1));
    QVERIFY(bench.face.boxes.front().text.starts_with("Unable to write to "));
}

void TestPanelCore::focusOnActivation_data()
{
    QTest::addColumn<QString>("shift"); // the file's SHIFT
    QTest::addColumn<int>("leftOn");    // the control focused when the window was left; -1: none yet
    QTest::addColumn<bool>("ritOff");   // RIT switched off while the window was not active
    QTest::addColumn<int>("focus");
    const int shift = int(Control::Shift), rit = int(Control::RIT), track = int(Control::TrackRig1);
    QTest::newRow("opens on the slider") << "YES" << -1 << false << shift;
    QTest::newRow("opens on RIT while the slider is hidden") << "NOT" << -1 << false << rit;
    QTest::newRow("back where it was left") << "YES" << track << false << track;
    QTest::newRow("left on the slider, since hidden") << "YES" << shift << true << rit;
    QTest::newRow("left on a control without focus") << "YES" << int(Control::A2B) << false << shift;
}

void TestPanelCore::focusOnActivation()
{
    QFETCH(QString, shift);
    QFETCH(int, leftOn);
    QFETCH(bool, ritOff);
    QFETCH(int, focus);
    Bench bench;
    IniFile(bench.ini()).writeString("VE2Z", "SHIFT", shift.toStdString());
    bench.start();
    bench.core.windowActivated();
    if (leftOn >= 0) {
        bench.core.windowDeactivated(Control(leftOn));
        if (ritOff)
            bench.core.ritToggled(false);
        bench.core.windowActivated();
    }
    QCOMPARE(bench.face.focus, std::optional<Control>(Control(focus)));
}

void TestPanelCore::secondClicks()
{
    Bench bench;
    bench.start("350");
    FakeOmniRig &server = *bench.factory->server;
    server.clearLog();
    // The second click of a double click transfers again.
    bench.core.clicked(Control::A2B);
    bench.core.doubleClicked(Control::A2B);
    QCOMPARE(server.writes().count(QStringLiteral("Rig2.Freq=14074350")), 2);
    // A click on the tracking button selected already neither selects nor saves anything.
    QVERIFY(QFile::remove(QString::fromStdString(bench.ini())));
    bench.face.checked.clear();
    bench.core.trackClicked(Control::TrackNone);
    QVERIFY(bench.face.checked.empty());
    QVERIFY(!QFile::exists(QString::fromStdString(bench.ini())));
}

QTEST_GUILESS_MAIN(TestPanelCore)
#include "tst_panelcore.moc"
