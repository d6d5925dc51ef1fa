// The panel window and its start-up on a fake rig server: the layout, the settings file's bytes after
// start-up, where that file is, what start-up asks the server and in which order, no rig
// server, an unreachable one, an unwritable settings file, the general error display and the tray icon.
#include "PanelFixture.h"
#include "TestSupport.h"
#include "omnirig/TOmniRigX.h"
#include "panel/resources/PanelArtwork.h"

#include <QDir>
#include <QTimer>
#include <QtTest>

#include <sys/stat.h>

namespace {

ino_t inode(const QString &path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

QImage iconImage(const QIcon &icon)
{
    return icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class TestPanelStartup : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PanelFixture::initProcess(); }
    void layout_data();
    void layout();
    void windowAndFocus();
    void settingsAfterStartup_data();
    void settingsAfterStartup();
    void defaultPath_data();
    void defaultPath();
    void startupAsksTheServerInOrder();
    void noRigServer();
    void unwritableSettings_data();
    void unwritableSettings();
    void unreachableServer();
    void failuresAreShownExceptFromEvents();
    void realMessageBox();
    void trayIcon();
};

void TestPanelStartup::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("hint");

    QTest::newRow("A2B") << "A2B" << QRect(2, 4, 65, 41) << ""
                         << "";
    QTest::newRow("SWAP") << "SWAP" << QRect(70, 4, 65, 41) << ""
                          << "";
    QTest::newRow("B2A") << "B2A" << QRect(139, 4, 65, 41) << ""
                         << "";
    QTest::newRow("Rig1LED") << "Rig1LED" << QRect(4, 48, 13, 13) << ""
                             << "";
    QTest::newRow("Rig2LED") << "Rig2LED" << QRect(115, 48, 13, 13) << ""
                             << "";
    QTest::newRow("Rig1") << "Rig1" << QRect(20, 50, 89, 14) << "Rig1"
                          << "";
    QTest::newRow("Rig2") << "Rig2" << QRect(132, 49, 73, 17) << "Rig2"
                          << "";
    QTest::newRow("OmniRig") << "OmniRig" << QRect(6, 64, 187, 14) << "OmniRig status"
                             << "";
    QTest::newRow("ShiftHZ") << "ShiftHZ" << QRect(147, 81, 59, 16) << "+0000 Hz"
                             << "";
    QTest::newRow("Shift") << "Shift" << QRect(12, 78, 137, 17) << ""
                           << "";
    QTest::newRow("RIT") << "RIT" << QRect(4, 80, 17, 17) << "RIT"
                         << "";
    QTest::newRow("TrackNone") << "TrackNone" << QRect(16, 104, 57, 17) << "None"
                               << "";
    QTest::newRow("TrackRig1") << "TrackRig1" << QRect(81, 104, 57, 17) << "Rig1"
                               << "Track Rig1";
    QTest::newRow("TrackRig2") << "TrackRig2" << QRect(147, 104, 57, 17) << "Rig2"
                               << "Track Rig 2";
}

void TestPanelStartup::layout()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    QFETCH(QString, hint);
    // Labels take their texts before start-up changes them; a server with no rigs leaves them alone.
    PanelFixture fixture;
    fixture.factory->creatable = false;
    fixture.start();
    auto *widget = fixture.panel().findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget(), &fixture.panel());
    QCOMPARE(widget->geometry(), geometry);
    QCOMPARE(widget->toolTip(), hint);
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        QCOMPARE(label->text(), text);
        QCOMPARE(label->font().family(), QStringLiteral("Verdana"));
        QCOMPARE(label->font().pointSize(), 8);
    } else if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
        QCOMPARE(button->text(), text);
    }
}

void TestPanelStartup::windowAndFocus()
{
    PanelFixture fixture;
    TSO2VPanel &panel = fixture.start();
    QCOMPARE(panel.objectName(), QStringLiteral("SO2VPanel"));
    QCOMPARE(panel.windowTitle(), QStringLiteral("VE2Z"));
    QCOMPARE(panel.pos(), QPoint(317, 109));
    QCOMPARE(panel.size(), QSize(216, 140));
    QCOMPARE(panel.font().family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(panel.grab().toImage().pixelColor(210, 135), QColor(128, 128, 128));

    // Only the slider, the check box and the radio buttons take the focus, in that order.
    QStringList chain;
    QWidget *widget = fixture.shift();
    do {
        if (widget->focusPolicy() & Qt::TabFocus)
            chain << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != fixture.shift());
    QCOMPARE(chain, QStringList({"Shift", "RIT", "TrackNone", "TrackRig1", "TrackRig2"}));
}

void TestPanelStartup::settingsAfterStartup_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("rit");
    QTest::addColumn<QString>("track");

    QTest::newRow("no file") << QByteArray() << iniText("0", "YES", "0") << 2000 << true << "TrackNone";
    QTest::newRow("350, YES, 1 kept") << iniText("350", "YES", "1") << iniText("350", "YES", "1") << 2350 << true
                                      << "TrackRig1";
    QTest::newRow("-2500 clamped") << iniText("-2500", "YES", "0") << iniText("-2000", "YES", "0") << 0 << true
                                   << "TrackNone";
    QTest::newRow("plus sign") << iniText("+350", "YES", "0") << iniText("0", "YES", "0") << 2000 << true
                               << "TrackNone";
    QTest::newRow("1,5") << iniText("1,5", "YES", "0") << iniText("0", "YES", "0") << 2000 << true << "TrackNone";
    QTest::newRow("on in lower case") << iniText("-350", "on", "2") << iniText("-350", "YES", "2") << 1650 << true
                                      << "TrackRig2";
    QTest::newRow("NOT") << iniText("10", "NOT", "1") << iniText("10", "NOT", "1") << 2010 << false << "TrackRig1";
    QTest::newRow("empty SHIFT") << iniText("10", "", "0") << iniText("10", "NOT", "0") << 2010 << false << "TrackNone";
    QTest::newRow("TRACK 7") << iniText("0", "YES", "7") << iniText("0", "YES", "0") << 2000 << true << "TrackNone";
    QTest::newRow("TRACK words") << iniText("0", "YES", "one") << iniText("0", "YES", "0") << 2000 << true
                                 << "TrackNone";
    QTest::newRow("missing keys appended")
        << QByteArray("[VE2Z]\r\nTRACK=2\r\n") << QByteArray("[VE2Z]\r\nTRACK=2\r\nOFFSET=0\r\nSHIFT=YES\r\n") << 2000
        << true << "TrackRig2";
    QTest::newRow("comments, other sections and case kept")
        << QByteArray("; my rigs\n[Other]\nx=1\n[ve2z]\nshift=no\nOffset=5\nTrack=1\n")
        << QByteArray("; my rigs\n[Other]\nx=1\n[ve2z]\nshift=NOT\nOffset=5\nTrack=1\n") << 2005 << false
        << "TrackRig1";
    QTest::newRow("FASTTRACK in any case") << iniText("0", "YES", "1") + "FASTTRACK=on\n"
                                           << iniText("0", "YES", "1") + "FASTTRACK=YES\n"
                                           << 2000 << true << "TrackRig1";
}

void TestPanelStartup::settingsAfterStartup()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QFETCH(int, position);
    QFETCH(bool, rit);
    QFETCH(QString, track);
    PanelFixture fixture;
    if (!before.isNull())
        fixture.writeIni(before);
    const ino_t file = inode(fixture.iniPath());
    fixture.start();
    QCOMPARE(fixture.iniBytes(), after);
    // Start-up's saves of what the file holds already leave it alone.
    QCOMPARE(inode(fixture.iniPath()) == file, before == after);
    QCOMPARE(fixture.shift()->value(), position);
    QCOMPARE(fixture.rit()->isChecked(), rit);
    QCOMPARE(fixture.shift()->isVisible(), rit);
    QCOMPARE(fixture.shiftHz()->isVisible(), rit);
    QVERIFY(fixture.radio(track.toLatin1())->isChecked());
    QVERIFY(fixture.messages.shown.empty());
}

void TestPanelStartup::defaultPath_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("file");

    QTest::newRow("no arguments") << QStringList{} << "VELKOR.INI";
    QTest::newRow("lone -F") << QStringList{"-F"} << "VELKOR.INI";
    QTest::newRow("-f and a path") << QStringList{"-f", "Cfg/Two.ini"} << "Cfg/Two.ini";
}

void TestPanelStartup::defaultPath()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, file);
    PanelFixture fixture;
    QVERIFY(QDir(fixture.folder()).mkdir("Cfg"));
    const QString stored = fixture.folder() + u'/' + file;
    {
        QFile seed(stored);
        QVERIFY(seed.open(QIODevice::WriteOnly));
        seed.write(iniText("-120", "NOT", "2"));
    }
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(fixture.folder()));
    fixture.start(arguments);
    const QString used = QFileInfo(QString::fromStdString(fixture.panel().core().iniPath())).absoluteFilePath();
    QDir::setCurrent(previous);
    QCOMPARE(used, QFileInfo(stored).absoluteFilePath());
    QCOMPARE(fixture.shift()->value(), 1880);
    QVERIFY(fixture.radio("TrackRig2")->isChecked());
    QCOMPARE(TestSupport::readFileBytes(stored), iniText("-120", "NOT", "2"));
    QCOMPARE(QDir(fixture.folder()).entryList(QDir::Files), file.contains(u'/') ? QStringList{} : QStringList{file});
}

void TestPanelStartup::startupAsksTheServerInOrder()
{
    PanelFixture fixture;
    fixture.server().rig1.rigType = "IC-7300";
    fixture.server().rig2.rigType = "FT-991";
    fixture.start();
    QVERIFY(fixture.messages.shown.empty());
    QCOMPARE(fixture.server().sinkCount(), 1);
    QCOMPARE(fixture.server().log.value(1), QStringLiteral("DialogVisible"));
    QCOMPARE(fixture.rigCalls(),
             QStringList({// the rig type change for rig 1, and the refresh it runs
                          "Rig1.RigType", "Rig1.RigType", "Rig1.RigType", "Rig2.RigType", "Rig1.ReadableParams",
                          "Rig1.Tx", "Rig2.ReadableParams", "Rig2.Tx",
                          // the status change for rig 1: On-line
                          "Rig1.StatusStr", "Rig1.RigType",
                          // the parameters change for rig 1, then Rig2's LED from its status
                          "Rig1.Status", "Rig2.Status"}));
    QVERIFY(fixture.server().writes().isEmpty());
    QCOMPARE(fixture.panel().core().currentRig(), &fixture.server().rig1);
    QCOMPARE(fixture.label("Rig1")->text(), QStringLiteral("IC-7300"));
    QCOMPARE(fixture.label("Rig2")->text(), QStringLiteral("FT-991"));
    QCOMPARE(fixture.label("OmniRig")->text(), QStringLiteral("[1] On-line"));
    // Both LEDs from their rigs' status: a server raises nothing for a rig that is on line already.
    QVERIFY(fixture.led("Rig1LED")->LedOn());
    QVERIFY(fixture.led("Rig2LED")->LedOn());
    QVERIFY(fixture.panel().pollTimer()->isActive());
    QCOMPARE(fixture.panel().pollTimer()->interval(), 5000);
}

void TestPanelStartup::noRigServer()
{
    PanelFixture fixture;
    TOmniRigX::setDefaultFactory(nullptr);
    fixture.start();
    QCOMPARE(fixture.messages.lines(), QStringList{"|Error while loading OmniRig"});
    QVERIFY(fixture.panel().startupEnded());
    QVERIFY(!fixture.panel().core().omniRigClient());
}

void TestPanelStartup::unwritableSettings_data()
{
    QTest::addColumn<bool>("atStartup");
    QTest::newRow("folder missing at start-up") << true;
    QTest::newRow("folder vanished later") << false;
}

void TestPanelStartup::unwritableSettings()
{
    QFETCH(bool, atStartup);
    PanelFixture fixture;
    const QString folder = fixture.folder() + QStringLiteral("/settings");
    const QString path = folder + QStringLiteral("/VELKOR.INI");
    if (!atStartup)
        QVERIFY(QDir().mkdir(folder));
    TSO2VPanel &panel = fixture.start({"-F", path});
    if (atStartup) {
        // The first save fails; start-up stops there and leaves the window as it is.
        QCOMPARE(fixture.messages.lines(), QStringList{"Velkor using OmniRig|Unable to write to " + path + "."});
        QCOMPARE(fixture.messages.shown.front().icon, MessageBoxes::Icon::Stop);
        QVERIFY(!panel.pollTimer()->isActive());
        QVERIFY(!panel.core().omniRigClient());
        QVERIFY(!panel.startupEnded());
    } else {
        QVERIFY(fixture.messages.shown.empty());
        QVERIFY(QDir(folder).removeRecursively());
        QTest::mouseClick(fixture.rit(), Qt::LeftButton, {}, QPoint(6, 8));
        QCOMPARE(fixture.messages.lines(), QStringList{"VELKOR|Unable to write to " + path + "."});
        // The controls changed before the save failed, and stay changed.
        QVERIFY(!fixture.rit()->isChecked());
        QVERIFY(!fixture.shift()->isVisible());
    }
    QVERIFY(panel.isVisible());
    QVERIFY(!QFile::exists(path));
}

void TestPanelStartup::unreachableServer()
{
    PanelFixture fixture;
    fixture.factory->creationThrows = true;
    fixture.start();
    QCOMPARE(fixture.messages.lines(), QStringList{"VELKOR|Server cannot be created."});
    QVERIFY(fixture.server().log.isEmpty());
    QVERIFY(!fixture.panel().core().currentRig());

    // Each later action that needs the server tries again.
    fixture.factory->creationThrows = false;
    fixture.panel().core().TimerTick();
    QCOMPARE(fixture.factory->createCalls, 2);
    QVERIFY(fixture.panel().core().omniRigClient()->isConnected());
}

void TestPanelStartup::failuresAreShownExceptFromEvents()
{
    PanelFixture fixture;
    fixture.start();
    fixture.server().clearLog();
    fixture.server().failAt = QStringLiteral("Rig1.Freq");
    QTest::mouseClick(fixture.button("A2B"), Qt::LeftButton);
    QCOMPARE(fixture.messages.lines(), QStringList{"VELKOR|Fake failure at Rig1.Freq."});
    QCOMPARE(fixture.messages.shown.front().icon, MessageBoxes::Icon::Stop);
    QVERIFY(fixture.server().writes().isEmpty());

    // An event handler stops at the failure and shows nothing.
    fixture.messages.shown.clear();
    fixture.server().failAt = QStringLiteral("Rig2.StatusStr");
    fixture.server().raiseStatusChange(2);
    QVERIFY(fixture.messages.shown.empty());
    QCOMPARE(fixture.label("OmniRig")->text(), QStringLiteral("[1] On-line"));
    fixture.server().raiseStatusChange(2);
    QCOMPARE(fixture.label("OmniRig")->text(), QStringLiteral("[2] On-line"));
    QVERIFY(fixture.led("Rig2LED")->LedOn());
}

void TestPanelStartup::realMessageBox()
{
    MessageBoxes::Handler replaced = MessageBoxes::setHandler({});
    MessageBoxes::setApplicationTitle(QStringLiteral("VELKOR"));
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QList<QAbstractButton *> buttons;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->buttons();
        box->button(QMessageBox::Ok)->click();
    });
    MessageBoxes::showError(nullptr, QStringLiteral("Unable to write to /x/VELKOR.INI"));
    MessageBoxes::setHandler(std::move(replaced));
    QCOMPARE(title, QStringLiteral("VELKOR"));
    QCOMPARE(text, QStringLiteral("Unable to write to /x/VELKOR.INI."));
    QCOMPARE(icon, QMessageBox::Critical);
    QCOMPARE(buttons.size(), 1);
}

void TestPanelStartup::trayIcon()
{
    PanelFixture fixture;
    TSO2VPanel &panel = fixture.start();
    QSystemTrayIcon *tray = panel.trayIcon();
    QVERIFY(tray && tray->isVisible());
    QCOMPARE(tray->toolTip(), QStringLiteral("VELKOR"));
    QCOMPARE(iconImage(tray->icon()), iconImage(PanelArtwork::mainIcon()));

    // A status text the panel does not know turns the icon into the rig server's.
    fixture.server().rig2.statusText = "Rig is warming up";
    fixture.server().raiseStatusChange(2);
    QCOMPARE(fixture.label("OmniRig")->text(), QStringLiteral("Rig is warming up"));
    QCOMPARE(iconImage(tray->icon()), iconImage(PanelArtwork::omniRigIcon()));

    panel.core().DeleteTrayIcon();
    QVERIFY(!tray->isVisible());
}

QTEST_MAIN(TestPanelStartup)
#include "tst_panel_startup.moc"
