// The real program on a real X desktop of its own: Xvfb, openbox (the window manager) and tint2 (a tray host),
// driven with xdotool as an operator would. A right-click on the tray icon opens the pop-up menu; a right-click
// on the panel opens the system menu, whose "&About..." opens the About box; while that box is up the tray menu
// still opens, its "About" brings the box forward, and the box is minimised and restored with the panel, never
// alone; "Exit" confirmed with OK ends the program, takes the tray icon away and leaves the settings file as it
// was. Each step leaves a screenshot in the test's build folder. Everything the test starts is stopped by process
// id, also when a step fails.
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>
#include <optional>
#include <tuple>
#include <vector>

namespace {

constexpr int WaitMs = 30000;
// What the desktop and the program may take to come up on a fresh machine whose two cores are busy with other
// tests, for each try; a part of the desktop that exits before it is ready is started again.
constexpr int StartMs = 120000;
constexpr int StartTries = 3;
const QSize TrayIconSize(22, 22);

struct XWindow {
    QString id;
    QRect geometry;
};

} // namespace

class TestPanelDesktop : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void trayMenuOpensOnTheRightButton();
    void systemMenuOpensTheAboutBox();
    void trayMenuWhileAboutIsUp();
    void exitEndsWithoutSaving();

private:
    QProcess *launch(const QString &program, const QStringList &arguments, const QProcessEnvironment &environment);
    bool startDisplay();
    // Starts a part of the desktop and waits until ready() holds, starting it again when it exits first. An
    // empty answer means it runs; otherwise what went wrong, with each try's own output.
    QString startPart(const QString &program, const QStringList &arguments, const QProcessEnvironment &environment,
                      const std::function<bool(const QByteArray &output)> &ready);
    QString openAboutBox();
    // Runs an X client on the test's display: its output, or nothing when it failed.
    std::optional<QString> run(const QString &program, const QStringList &arguments) const;
    QString x(const QString &program, const QStringList &arguments) const
    {
        return run(program, arguments).value_or(QString());
    }
    QString xdotool(const QStringList &arguments) const { return x(QStringLiteral("xdotool"), arguments); }
    // Clicks with the left button at a place on the screen. Menus are driven with the mouse: a key pressed
    // before a menu has taken the keyboard would go to another window.
    void click(QPoint at) const
    {
        xdotool({"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "1"});
    }
    // The tray menu's entry at position (0 to 6, all of one height).
    static QPoint trayEntry(const XWindow &menu, int position)
    {
        return {menu.geometry.center().x(), menu.geometry.top() + (2 * position + 1) * menu.geometry.height() / 14};
    }
    // The system menu's last entry, "&About...".
    static QPoint lastEntry(const XWindow &menu) { return {menu.geometry.center().x(), menu.geometry.bottom() - 8}; }
    // Somewhere on the bare desktop, where a click only closes an open menu.
    static QPoint desktop() { return {512, 20}; }
    // The first shown window whose title is exactly title, once there is one.
    QString waitForTitle(const QString &title) const;
    // The program's windows that are mapped, with their places on the screen.
    QList<XWindow> shownWindows() const;
    XWindow trayIcon() const;
    // Waits for a window of the program that was not in before and is at least minimum in size.
    XWindow waitForNewWindow(const QSet<QString> &before, QSize minimum) const;
    QSet<QString> shownIds() const;
    void screenshot(const QString &name) const;

    std::vector<std::unique_ptr<QProcess>> m_started;
    QTemporaryDir m_dir;
    QString m_display;
    QProcess *m_velkor = nullptr;
    XWindow m_panel;
};

QProcess *TestPanelDesktop::launch(const QString &program, const QStringList &arguments,
                                   const QProcessEnvironment &environment)
{
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment);
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->setWorkingDirectory(m_dir.path());
    process->start(program, arguments);
    process->waitForStarted(5000);
    m_started.push_back(std::move(process));
    return m_started.back().get();
}

bool TestPanelDesktop::startDisplay()
{
    // -displayfd reports the display once this server is ready on it, never one that another server holds.
    // -noreset: the server would otherwise start afresh whenever its last client leaves, which the short-lived
    // checks here do all the time, also while the window manager is still connecting.
    for (int n = 90; n <= 99; ++n) {
        if (QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) ||
            QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
            continue;
        QProcess *xvfb = launch(QStringLiteral("Xvfb"),
                                {QStringLiteral(":%1").arg(n), QStringLiteral("-displayfd"), QStringLiteral("1"),
                                 QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("1024x768x24"),
                                 QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-noreset")},
                                QProcessEnvironment::systemEnvironment());
        QByteArray said;
        const bool ready = QTest::qWaitFor(
            [&] {
                said += xvfb->readAll();
                return said.split('\n').contains(QByteArray::number(n)) || xvfb->state() == QProcess::NotRunning;
            },
            StartMs);
        if (ready && xvfb->state() == QProcess::Running) {
            m_display = QStringLiteral(":%1").arg(n);
            return true;
        }
    }
    return false;
}

QString TestPanelDesktop::startPart(const QString &program, const QStringList &arguments,
                                    const QProcessEnvironment &environment,
                                    const std::function<bool(const QByteArray &output)> &ready)
{
    QString why;
    for (int attempt = 1; attempt <= StartTries; ++attempt) {
        QProcess *process = launch(program, arguments, environment);
        QByteArray output;
        const bool up = QTest::qWaitFor(
            [&] {
                output += process->readAll();
                return ready(output) || process->state() == QProcess::NotRunning;
            },
            StartMs);
        output += process->readAll();
        if (up && process->state() == QProcess::Running)
            return {};
        if (process->state() == QProcess::Running) {
            why += QStringLiteral("%1 (try %2) was not ready after %3 s; it said:\n%4\n")
                       .arg(program)
                       .arg(attempt)
                       .arg(StartMs / 1000)
                       .arg(QString::fromLocal8Bit(output));
            process->kill();
            process->waitForFinished(5000);
        } else {
            why += QStringLiteral("%1 (try %2) exited (%3, code %4); it said:\n%5\n")
                       .arg(program)
                       .arg(attempt)
                       .arg(process->exitStatus() == QProcess::NormalExit ? "normal exit" : "crashed")
                       .arg(process->exitCode())
                       .arg(QString::fromLocal8Bit(output) +
                            (process->error() == QProcess::UnknownError ? QString() : process->errorString()));
        }
    }
    return why;
}

std::optional<QString> TestPanelDesktop::run(const QString &program, const QStringList &arguments) const
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), m_display);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished();
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

QList<XWindow> TestPanelDesktop::shownWindows() const
{
    QList<XWindow> windows;
    const QStringList ids = xdotool({"search", "--onlyvisible", "--class", "velkor"}).split(u'\n', Qt::SkipEmptyParts);
    for (const QString &id : ids) {
        // xwininfo's absolute place is the window's own; xdotool's counts a reparenting frame twice.
        const QString info = x(QStringLiteral("xwininfo"), {"-id", id});
        const auto value = [&](const QString &key) {
            const QRegularExpressionMatch match = QRegularExpression(key + QStringLiteral(":\\s+(-?\\d+)")).match(info);
            return match.hasMatch() ? match.captured(1).toInt() : -1;
        };
        if (info.contains(QStringLiteral("IsViewable")))
            windows.append({id, QRect(value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"),
                                      value("Height"))});
    }
    return windows;
}

QSet<QString> TestPanelDesktop::shownIds() const
{
    QSet<QString> ids;
    for (const XWindow &window : shownWindows())
        ids.insert(window.id);
    return ids;
}

XWindow TestPanelDesktop::trayIcon() const
{
    XWindow icon;
    std::ignore = QTest::qWaitFor(
        [&] {
            for (const XWindow &window : shownWindows())
                if (window.geometry.size() == TrayIconSize)
                    icon = window;
            return !icon.id.isEmpty();
        },
        WaitMs);
    return icon;
}

XWindow TestPanelDesktop::waitForNewWindow(const QSet<QString> &before, QSize minimum) const
{
    XWindow found;
    std::ignore = QTest::qWaitFor(
        [&] {
            for (const XWindow &window : shownWindows())
                if (!before.contains(window.id) && window.geometry.width() >= minimum.width() &&
                    window.geometry.height() >= minimum.height())
                    found = window;
            return !found.id.isEmpty();
        },
        WaitMs);
    return found;
}

QString TestPanelDesktop::waitForTitle(const QString &title) const
{
    QString id;
    std::ignore = QTest::qWaitFor(
        [&] {
            id = xdotool({"search", "--onlyvisible", "--name", u'^' + title + u'$'}).section(u'\n', 0, 0);
            return !id.isEmpty();
        },
        WaitMs);
    return id;
}

void TestPanelDesktop::screenshot(const QString &name) const
{
    const QString file = QDir(QStringLiteral(SHOT_DIR)).filePath(name);
    QVERIFY2(run(QStringLiteral("import"), {"-window", "root", file}), qPrintable("no screenshot " + file));
    qInfo("screenshot: %s", qPrintable(file));
}

void TestPanelDesktop::initTestCase()
{
    // Failures, not skips: a smoke test that did not run must not pass for one that did.
    for (const char *tool : {"Xvfb", "openbox", "tint2", "xdotool", "xprop", "xwininfo", "import"})
        QVERIFY2(!QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty(),
                 qPrintable(QStringLiteral("%1 is not installed (scripts/setup.sh --tests installs it)").arg(tool)));
    QVERIFY(m_dir.isValid());
    QVERIFY2(startDisplay(), "no X display between :90 and :99 could be started");

    QProcessEnvironment desktop = QProcessEnvironment::systemEnvironment();
    desktop.insert(QStringLiteral("DISPLAY"), m_display);
    // Without a window manager tint2 takes 15 s to start its tray.
    const QString windowManager = startPart(QStringLiteral("openbox"), {}, desktop, [&](const QByteArray &) {
        return x(QStringLiteral("xprop"), {"-root", "_NET_SUPPORTING_WM_CHECK"}).contains("window id");
    });
    QVERIFY2(windowManager.isEmpty(), qPrintable("openbox did not start:\n" + windowManager));
    const QString tint2rc = m_dir.filePath(QStringLiteral("tint2rc"));
    QFile rc(tint2rc);
    QVERIFY(rc.open(QIODevice::WriteOnly));
    rc.write("panel_items = S\npanel_position = bottom right horizontal\npanel_size = 200 30\n"
             "systray_icon_size = 22\n");
    rc.close();
    const QString trayHost = startPart(QStringLiteral("tint2"), {"-c", tint2rc}, desktop,
                                       [](const QByteArray &output) { return output.contains("systray started"); });
    QVERIFY2(trayHost.isEmpty(), qPrintable("tint2 did not start its tray:\n" + trayHost));

    QProcessEnvironment program = desktop;
    program.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    program.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("disabled:"));
    program.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
    // A session of its own, so that a copy of the program running on this machine does not keep it out.
    const QString runtime = m_dir.filePath(QStringLiteral("runtime"));
    QVERIFY(QDir().mkdir(runtime));
    QVERIFY(QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    program.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    m_velkor = launch(QStringLiteral(VELKOR_PROGRAM), {"-F", m_dir.filePath(QStringLiteral("VELKOR.INI"))}, program);
    QByteArray said;
    QVERIFY2(QTest::qWaitFor(
                 [&] {
                     said += m_velkor->readAll();
                     const QString id = xdotool({"search", "--onlyvisible", "--name", "^VE2Z$"}).section(u'\n', 0, 0);
                     for (const XWindow &window : shownWindows())
                         if (window.id == id)
                             m_panel = window;
                     return !m_panel.id.isEmpty() || m_velkor->state() == QProcess::NotRunning;
                 },
                 StartMs) &&
                 !m_panel.id.isEmpty(),
             (said + m_velkor->readAll()).constData());
}

void TestPanelDesktop::cleanupTestCase()
{
    // The program first, then tint2, openbox and the display.
    for (auto process = m_started.rbegin(); process != m_started.rend(); ++process) {
        if ((*process)->state() == QProcess::NotRunning)
            continue;
        (*process)->terminate();
        if (!(*process)->waitForFinished(3000)) {
            (*process)->kill();
            (*process)->waitForFinished(3000);
        }
    }
    m_started.clear();
}

void TestPanelDesktop::trayMenuOpensOnTheRightButton()
{
    const XWindow icon = trayIcon();
    QVERIFY2(!icon.id.isEmpty(), "no tray icon in tint2's panel");
    const QSet<QString> before = shownIds();
    xdotool({"mousemove", "--window", icon.id, "11", "11", "click", "3"});
    const XWindow menu = waitForNewWindow(before, {100, 140});
    QVERIFY2(!menu.id.isEmpty(), "no pop-up menu");
    screenshot(QStringLiteral("tray-menu.png"));
    // It opens where the icon is, at the bottom right of the screen.
    QVERIFY(menu.geometry.right() > 1024 / 2 && menu.geometry.bottom() > 768 / 2);
    click(desktop());
    QVERIFY(QTest::qWaitFor([&] { return !shownIds().contains(menu.id); }, WaitMs));
}

QString TestPanelDesktop::openAboutBox()
{
    const QSet<QString> before = shownIds();
    // The panel's background below the tracking buttons.
    xdotool({"mousemove", "--window", m_panel.id, "210", "130", "click", "3"});
    const XWindow menu = waitForNewWindow(before, {100, 150});
    if (menu.id.isEmpty())
        return {};
    click(lastEntry(menu));
    return waitForTitle(QStringLiteral("Velkor Using OmniRig"));
}

void TestPanelDesktop::systemMenuOpensTheAboutBox()
{
    const QSet<QString> before = shownIds();
    xdotool({"mousemove", "--window", m_panel.id, "210", "130", "click", "3"});
    const XWindow menu = waitForNewWindow(before, {100, 150});
    QVERIFY2(!menu.id.isEmpty(), "no system menu");
    QCOMPARE(menu.geometry.topLeft(), m_panel.geometry.topLeft() + QPoint(210, 130));
    click(lastEntry(menu));
    const QString box = waitForTitle(QStringLiteral("Velkor Using OmniRig"));
    QVERIFY2(!box.isEmpty(), "no \"Velkor Using OmniRig\" box");
    screenshot(QStringLiteral("about-box.png"));
    QVERIFY(!shownIds().contains(menu.id));
    xdotool({"windowactivate", "--sync", box, "key", "Return"});
    QVERIFY(QTest::qWaitFor([&] { return !shownIds().contains(box); }, WaitMs));
}

void TestPanelDesktop::trayMenuWhileAboutIsUp()
{
    const QString box = openAboutBox();
    QVERIFY2(!box.isEmpty(), "no About box");
    // The window manager knows it as the panel's dialog.
    const QString transientFor = x(QStringLiteral("xprop"), {"-id", box, "WM_TRANSIENT_FOR"});
    QVERIFY2(transientFor.section(u'#', 1).trimmed().toULongLong(nullptr, 16) == m_panel.id.toULongLong(),
             qPrintable(transientFor));

    const XWindow icon = trayIcon();
    QVERIFY(!icon.id.isEmpty());
    QSet<QString> before = shownIds();
    xdotool({"mousemove", "--window", icon.id, "11", "11", "click", "3"});
    const XWindow menu = waitForNewWindow(before, {100, 140});
    QVERIFY2(!menu.id.isEmpty(), "no tray menu while the About box is up");
    screenshot(QStringLiteral("tray-menu-over-about.png"));
    // "About" brings the box that is up forward instead of opening another.
    click(trayEntry(menu, 5));
    QVERIFY(QTest::qWaitFor([&] { return !shownIds().contains(menu.id); }, WaitMs));
    QVERIFY(QTest::qWaitFor([&] { return xdotool({"getactivewindow"}).trimmed() == box; }, WaitMs));
    QCOMPARE(xdotool({"search", "--onlyvisible", "--name", "^Velkor Using OmniRig$"}).trimmed(), box);

    // Minimised, the box takes the panel with it, and comes back with it: it never hides alone in front of it.
    xdotool({"windowminimize", box});
    QVERIFY2(QTest::qWaitFor([&] { return !shownIds().contains(m_panel.id) && !shownIds().contains(box); }, WaitMs),
             "the About box was minimised without the panel");
    before = shownIds();
    xdotool({"mousemove", "--window", icon.id, "11", "11", "click", "3"});
    QVERIFY(QTest::qWaitFor([&] { return shownIds().contains(m_panel.id) && shownIds().contains(box); }, WaitMs));
    const XWindow again = waitForNewWindow(before + QSet<QString>{m_panel.id, box}, {100, 140});
    QVERIFY(!again.id.isEmpty());
    click(desktop());
    QVERIFY(QTest::qWaitFor([&] { return !shownIds().contains(again.id); }, WaitMs));
    xdotool({"mousemove", "--window", box, "148", "164", "click", "1"});
    QVERIFY(QTest::qWaitFor([&] { return !shownIds().contains(box); }, WaitMs));
}

void TestPanelDesktop::exitEndsWithoutSaving()
{
    const QString ini = m_dir.filePath(QStringLiteral("VELKOR.INI"));
    const QByteArray bytes = [&] {
        QFile file(ini);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    QVERIFY(!bytes.isEmpty());
    const QDateTime modified = QFileInfo(ini).lastModified();
    const XWindow icon = trayIcon();
    QVERIFY(!icon.id.isEmpty());

    const QSet<QString> before = shownIds();
    xdotool({"mousemove", "--window", icon.id, "11", "11", "click", "3"});
    const XWindow menu = waitForNewWindow(before, {100, 140});
    QVERIFY(!menu.id.isEmpty());
    click(trayEntry(menu, 6));
    const QString box = waitForTitle(QStringLiteral("Warning!"));
    QVERIFY2(!box.isEmpty(), "no \"Warning!\" box");
    screenshot(QStringLiteral("exit-question.png"));
    // OK is the default button.
    xdotool({"windowactivate", "--sync", box, "key", "Return"});
    QVERIFY2(m_velkor->waitForFinished(WaitMs), "the program did not end");
    QCOMPARE(m_velkor->exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_velkor->exitCode(), 0);
    // Gone from the tray with the program.
    QVERIFY(QTest::qWaitFor([&] { return !run(QStringLiteral("xwininfo"), {"-id", icon.id}); }, WaitMs));
    QFile file(ini);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes);
    QCOMPARE(QFileInfo(ini).lastModified(), modified);
}

QTEST_GUILESS_MAIN(TestPanelDesktop)
#include "tst_panel_desktop.moc"
