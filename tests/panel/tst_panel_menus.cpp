// The system menu, the tray icon's pop-up menu and the confirmed exit, on a fake rig server: the entries and
// their order, how each menu opens, each command reaching its operation, the About box the panel fills, the
// tray while a box is up, and what Exit and Quit leave behind.
#include "PanelFixture.h"
#include "panel/platform/InstanceMarker.h"
#include "panel/qt/SystemMenu.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

QAction *entry(QMenu *menu, const QString &text)
{
    for (QAction *action : menu->actions())
        if (action->text() == text)
            return action;
    return nullptr;
}

QAction *entry(TSO2VPanel &panel, const QString &menu, const QString &text)
{
    return entry(menu == "tray" ? panel.trayMenu() : panel.systemMenu()->menu(), text);
}

// Title and label texts of the About box on screen, which is then closed with OK.
struct AboutShowing {
    QStringList texts;
    QPointer<QDialog> box;
};

AboutShowing aboutShowing(QAction *action)
{
    AboutShowing showing;
    QTimer inLoop;
    inLoop.setSingleShot(true);
    QObject::connect(&inLoop, &QTimer::timeout, [&] {
        showing.box = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!showing.box)
            return;
        showing.texts << showing.box->windowTitle();
        for (const char *name : {"ProductName", "Copyright", "Programmer", "Website"})
            showing.texts << showing.box->findChild<QLabel *>(QLatin1String(name))->text();
        showing.box->accept();
    });
    inLoop.start(0);
    action->trigger();
    return showing;
}

class StubbornWindow : public QWidget {
public:
    explicit StubbornWindow(bool refuses) : m_refuses(refuses) {}

protected:
    void closeEvent(QCloseEvent *event) override { event->setAccepted(!m_refuses); }

private:
    bool m_refuses;
};

} // namespace

class TestPanelMenus : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PanelFixture::initProcess(); }
    void entries();
    void systemMenuOpens_data();
    void systemMenuOpens();
    void commands_data();
    void commands();
    void swapEntryDoesWhatSwapDoes();
    void standardCommands_data();
    void standardCommands();
    void aboutBoxFromBothMenus();
    void trayWorksWhileABoxIsUp_data();
    void trayWorksWhileABoxIsUp();
    void trayIcon_data();
    void trayIcon();
    void exitThenCancelKeepsEverything();
    void endsWithoutSaving_data();
    void endsWithoutSaving();
};

void TestPanelMenus::entries()
{
    PanelFixture fixture;
    TSO2VPanel &panel = fixture.start();
    QStringList texts;
    QList<int> commands;
    for (QAction *action : panel.systemMenu()->menu()->actions()) {
        texts << action->text();
        commands << SystemMenu::commandOf(action);
    }
    QCOMPARE(texts, QStringList({"&Move", "&Size", "Mi&nimize", "Ma&ximize", "", "&Quit\tAlt+F4", "",
                                 "OmniRig Settings", "Offset Caliber", "&About..."}));
    QCOMPARE(commands, QList<int>({0xF010, 0xF000, 0xF020, 0xF030, 0, 0xF060, 0, 555, 444, 666}));

    texts.clear();
    for (QAction *action : panel.trayMenu()->actions())
        texts << action->text();
    QCOMPARE(texts, QStringList({"A>B", "B>A", "A<>B", "OmniRig Settings", "Offset Caliber", "About", "Exit"}));
}

void TestPanelMenus::systemMenuOpens_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QPoint>("at"); // in the window

    QTest::newRow("right-click on the background") << "mouse" << QPoint(210, 130);
    QTest::newRow("right-click on a label") << "mouse" << QPoint(30, 55);
    QTest::newRow("context-menu key") << "key" << QPoint(0, 0);
}

void TestPanelMenus::systemMenuOpens()
{
    QFETCH(QString, how);
    QFETCH(QPoint, at);
    PanelFixture fixture;
    TSO2VPanel &panel = fixture.start();
    if (how == "mouse") {
        QTest::mouseClick(panel.windowHandle(), Qt::RightButton, {}, at);
    } else {
        fixture.shift()->setFocus();
        QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(5, 5),
                                  fixture.shift()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(fixture.shift(), &request);
    }
    QMenu *menu = panel.systemMenu()->menu();
    QTRY_VERIFY(menu->isVisible());
    QCOMPARE(menu->pos(), panel.mapToGlobal(at));
    menu->close();
}

void TestPanelMenus::commands_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("writes");
    QTest::addColumn<int>("position"); // of the slider afterwards
    QTest::addColumn<QStringList>("messages");

    const QString usb = QString::number(OmniRig::PM_SSB_U);
    const QString lsb = QString::number(OmniRig::PM_SSB_L);
    const QStringList none;
    QTest::newRow("A>B") << "tray"
                         << "A>B" << QStringList{"Rig2.Freq=14074100", "Rig2.Mode=" + usb} << 2100 << none;
    QTest::newRow("B>A") << "tray"
                         << "B>A" << QStringList{"Rig1.Freq=7073900", "Rig1.Mode=" + lsb} << 2100 << none;
    QTest::newRow("tray: OmniRig Settings") << "tray"
                                            << "OmniRig Settings" << QStringList{"DialogVisible=1"} << 2100 << none;
    QTest::newRow("tray: Offset Caliber") << "tray"
                                          << "Offset Caliber" << none << 0 << none;
    QTest::newRow("tray: Exit asks") << "tray"
                                     << "Exit" << none << 2100 << QStringList{"Warning!|Do you really want to exit?"};
    QTest::newRow("system: OmniRig Settings") << "system"
                                              << "OmniRig Settings" << QStringList{"DialogVisible=1"} << 2100 << none;
    QTest::newRow("system: Offset Caliber") << "system"
                                            << "Offset Caliber" << none << 0 << none;
}

void TestPanelMenus::commands()
{
    QFETCH(QString, menu);
    QFETCH(QString, text);
    QFETCH(QStringList, writes);
    QFETCH(int, position);
    QFETCH(QStringList, messages);
    PanelFixture fixture;
    fixture.messages.answer = QMessageBox::Cancel;
    TSO2VPanel &panel = fixture.start();
    fixture.shift()->setValue(2100);
    fixture.server().clearLog();
    entry(panel, menu, text)->trigger();
    QCOMPARE(fixture.server().writes(), writes);
    QCOMPARE(fixture.shift()->value(), position);
    QCOMPARE(fixture.messages.lines(), messages);
    // The settings dialog's event reaches the panel as well.
    QCOMPARE(fixture.button("A2B")->isVisible(), !writes.contains("DialogVisible=1"));
}

void TestPanelMenus::swapEntryDoesWhatSwapDoes()
{
    QStringList calls[2];
    for (int i = 0; i < 2; ++i) {
        PanelFixture fixture;
        TSO2VPanel &panel = fixture.start();
        fixture.shift()->setValue(2350);
        fixture.server().clearLog();
        if (i == 0)
            QTest::mouseClick(fixture.button("SWAP"), Qt::LeftButton);
        else
            entry(panel, "tray", "A<>B")->trigger();
        calls[i] = fixture.server().log;
    }
    QCOMPARE(calls[1], calls[0]);
    QCOMPARE(calls[1].filter(QStringLiteral("=")).size(), 4);
}

void TestPanelMenus::standardCommands_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Qt::WindowStates>("state");
    QTest::addColumn<bool>("visible");

    QTest::newRow("Minimize") << "Mi&nimize" << Qt::WindowStates(Qt::WindowMinimized) << true;
    QTest::newRow("Maximize") << "Ma&ximize" << Qt::WindowStates(Qt::WindowMaximized) << true;
    QTest::newRow("Quit closes without asking") << "&Quit\tAlt+F4" << Qt::WindowStates() << false;
}

void TestPanelMenus::standardCommands()
{
    QFETCH(QString, text);
    QFETCH(Qt::WindowStates, state);
    QFETCH(bool, visible);
    PanelFixture fixture;
    TSO2VPanel &panel = fixture.start();
    const QByteArray settings = fixture.iniBytes();
    entry(panel, "system", text)->trigger();
    QCOMPARE(panel.windowState(), state);
    QCOMPARE(panel.isVisible(), visible);
    QVERIFY(fixture.messages.shown.empty());
    QCOMPARE(fixture.iniBytes(), settings);
    // And back, as the window manager's Restore does.
    if (visible) {
        panel.core().SystemCommandMessage(SystemMenu::ScRestore);
        QCOMPARE(panel.windowState(), Qt::WindowStates());
    }
}

void TestPanelMenus::aboutBoxFromBothMenus()
{
    PanelFixture fixture;
    TSO2VPanel &panel = fixture.start();
    const QStringList texts{"Velkor Using OmniRig", "VELKOR 1.5.00", "(c) 2026 the VELKOR developers",
                            "Licence: GPL-3.0-or-later", "https://velkor.example.org/"};
    const AboutShowing first = aboutShowing(entry(panel, "tray", "About"));
    QCOMPARE(first.texts, texts);
    // Released when its showing ended; the next showing builds its own.
    QVERIFY(!first.box);
    const AboutShowing second = aboutShowing(entry(panel, "system", "&About..."));
    QCOMPARE(second.texts, texts);
    QVERIFY(!second.box);
    QVERIFY(fixture.messages.shown.empty());
}

void TestPanelMenus::trayWorksWhileABoxIsUp_data()
{
    QTest::addColumn<QString>("box");

    QTest::newRow("About") << "About";
    QTest::newRow("Exit question") << "Exit";
    QTest::newRow("error box") << "error";
}

void TestPanelMenus::trayWorksWhileABoxIsUp()
{
    QFETCH(QString, box);
    PanelFixture fixture;
    TSO2VPanel &panel = fixture.start();
    MessageBoxes::setHandler({});
    // Another window of the program, as the tray icon's is on a desktop (offscreen there is no tray).
    QPushButton other(QStringLiteral("tray"));
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    QSignalSpy otherClicked(&other, &QPushButton::clicked);
    fixture.server().clearLog();

    QPointer<QWidget> up;
    bool cameUp = false;
    QStringList panelWrites, trayWrites;
    QWidgetList aboutBoxes;
    QWidget *activeAfterRequest = nullptr;
    QTimer::singleShot(0, &panel, [&] {
        up = QApplication::activeModalWidget();
        if (!up)
            return;
        cameUp = true;
        // The panel takes no input while its box is up...
        QTest::mouseClick(panel.windowHandle(), Qt::LeftButton, {}, fixture.button("A2B")->geometry().center());
        panelWrites = fixture.server().writes();
        // ...the program's other windows do, and the tray menu's commands run.
        QTest::mouseClick(other.windowHandle(), Qt::LeftButton, {}, other.rect().center());
        emit panel.trayIcon()->activated(QSystemTrayIcon::Context);
        QMenu *menu = panel.trayMenu();
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry(menu, "A>B")).center());
        trayWrites = fixture.server().writes();
        // A second About request brings the box that is up to the front.
        if (box == "About") {
            other.activateWindow();
            std::ignore = QTest::qWaitFor([&] { return other.isActiveWindow(); });
            entry(menu, "About")->trigger();
            std::ignore = QTest::qWaitFor([&] { return up->isActiveWindow(); });
            activeAfterRequest = QApplication::activeWindow();
            for (QWidget *window : QApplication::topLevelWidgets())
                if (window->objectName() == "AboutBox" && window->isVisible())
                    aboutBoxes << window;
        }
        up->close();
    });
    if (box == "About")
        entry(panel, "tray", "About")->trigger();
    else if (box == "Exit")
        entry(panel, "tray", "Exit")->trigger();
    else
        MessageBoxes::showError(&panel, QStringLiteral("Unable to write to VELKOR.INI"));

    QVERIFY2(cameUp, "no box came up");
    QCOMPARE(panelWrites, QStringList());
    QCOMPARE(otherClicked.count(), 1);
    QCOMPARE(trayWrites, QStringList({"Rig2.Freq=14074000", "Rig2.Mode=" + QString::number(OmniRig::PM_SSB_U)}));
    if (box == "About") {
        QCOMPARE(aboutBoxes.size(), 1);
        QCOMPARE(activeAfterRequest, aboutBoxes.front());
    }
    QVERIFY(panel.isVisible());
}

void TestPanelMenus::trayIcon_data()
{
    QTest::addColumn<QSystemTrayIcon::ActivationReason>("reason");
    QTest::addColumn<bool>("opens");

    QTest::newRow("right button") << QSystemTrayIcon::Context << true;
    QTest::newRow("left button") << QSystemTrayIcon::Trigger << false;
    QTest::newRow("double click") << QSystemTrayIcon::DoubleClick << false;
    QTest::newRow("middle button") << QSystemTrayIcon::MiddleClick << false;
}

void TestPanelMenus::trayIcon()
{
    QFETCH(QSystemTrayIcon::ActivationReason, reason);
    QFETCH(bool, opens);
    PanelFixture fixture;
    TSO2VPanel &panel = fixture.start();
    panel.showMinimized();
    const QPoint mouse(300, 200);
    QCursor::setPos(mouse);
    emit panel.trayIcon()->activated(reason);
    QCOMPARE(panel.isMinimized(), !opens);
    QCOMPARE(panel.trayMenu()->isVisible(), opens);
    if (opens) {
        QCOMPARE(panel.trayMenu()->pos(), mouse);
        panel.trayMenu()->close();
    }
}

void TestPanelMenus::exitThenCancelKeepsEverything()
{
    PanelFixture fixture;
    fixture.messages.answer = QMessageBox::Cancel;
    TSO2VPanel &panel = fixture.start();
    QSignalSpy quitting(qApp, &QCoreApplication::aboutToQuit);
    entry(panel, "tray", "Exit")->trigger();
    QCOMPARE(fixture.messages.shown.size(), std::size_t(1));
    QCOMPARE(fixture.messages.shown.front().buttons, QMessageBox::Ok | QMessageBox::Cancel);
    QVERIFY(panel.isVisible());
    QVERIFY(panel.trayIcon()->isVisible());
    QVERIFY(panel.pollTimer()->isActive());
    QCOMPARE(quitting.count(), 0);
}

void TestPanelMenus::endsWithoutSaving_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("trayIcon"); // still shown when the loop ended
    QTest::addColumn<bool>("stubborn"); // the other window refuses to close

    QTest::newRow("Exit, OK: at once") << "tray"
                                       << "Exit" << QStringList{"Warning!|Do you really want to exit?"} << false
                                       << true;
    QTest::newRow("Quit, without asking") << "system"
                                          << "&Quit\tAlt+F4" << QStringList{} << true << false;
}

// Last: it runs the application's own event loop to its end.
void TestPanelMenus::endsWithoutSaving()
{
    QFETCH(QString, menu);
    QFETCH(QString, text);
    QFETCH(QStringList, messages);
    QFETCH(bool, trayIcon);
    QFETCH(bool, stubborn);
    PanelFixture fixture;
    TSO2VPanel &panel = fixture.start();
    // What a save would overwrite, and a time a save would move.
    fixture.writeIni(iniText("123", "NOT", "2"));
    const QDateTime longAgo(QDate(2020, 1, 1), QTime(0, 0), Qt::UTC);
    {
        QFile file(fixture.iniPath());
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(longAgo, QFileDevice::FileModificationTime));
    }
    // Another window of the program, as the rig server's settings window may be: the loop must end all the
    // same.
    StubbornWindow other(stubborn);
    other.show();
    QTimer::singleShot(0, &panel, [&] { entry(panel, menu, text)->trigger(); });
    // Only a panel that never ends the loop meets this.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    watchdog.start(60000);
    QCOMPARE(QApplication::exec(), 0);
    QCOMPARE(fixture.messages.lines(), messages);
    QCOMPARE(panel.trayIcon()->isVisible(), trayIcon);
    QVERIFY(!panel.isVisible());
    QCOMPARE(fixture.iniBytes(), iniText("123", "NOT", "2"));
    QCOMPARE(QFileInfo(fixture.iniPath()).lastModified().toUTC(), longAgo);
    // Free while the panel and its rig server are still there: a copy started now is not refused.
    InstanceMarker next;
    QVERIFY(next.claim());
}

QTEST_MAIN(TestPanelMenus)
#include "tst_panel_menus.moc"
