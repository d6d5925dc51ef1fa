// The rig server's settings window as an operator uses it: it opens and closes with one event each, finds a
// radio from part of its name, applies only what changed (to the file first, then to the very rig objects
// clients hold), drops edits on Cancel, and refuses values it cannot use without touching anything.
#include "EventLog.h"
#include "RigctldProcess.h"
#include "TestSupport.h"
#include "rigserver/backends/HamlibBackendFactory.h"
#include "rigserver/backends/HamlibModelCatalogue.h"
#include "rigserver/core/RigServer.h"
#include "rigserver/share/RigShareServer.h"
#include "rigserver/window/ModelPicker.h"
#include "rigserver/window/RigServerWindow.h"
#include "rigserver/window/RigSettingsCheck.h"
#include "rigserver/window/RigSettingsForm.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

namespace {

constexpr int OnlineMs = 10000;

// Writes text to path, unless text is null, and gives path back for the server to read.
const QString &withFile(const QString &path, const QByteArray &text)
{
    QFile file(path);
    if (!text.isNull() && file.open(QIODevice::WriteOnly))
        file.write(text);
    return path;
}

// A server on a settings file (with fileText unless that is null), a client listening, its window made.
struct Shack {
    explicit Shack(const QString &path, const QByteArray &fileText = {}, RigShareMaker shares = {})
        : server(
              withFile(path, fileText), std::make_shared<HamlibBackendFactory>(),
              [](RigServer &owner) {
                  return std::make_unique<RigServerWindow>(&owner, std::make_shared<HamlibModelCatalogue>());
              },
              std::move(shares))
    {
        server.Advise(&log);
        window = dynamic_cast<RigServerWindow *>(server.settingsWindow());
    }

    RigSettingsForm *form(int n) const { return window->findChild<RigSettingsForm *>(QStringLiteral("Rig%1").arg(n)); }
    template <typename T> T *field(int n, const char *name) const { return form(n)->findChild<T *>(name); }
    QPushButton *button(const char *name) const { return window->findChild<QPushButton *>(name); }
    QString message() const { return window->findChild<QLabel *>(QStringLiteral("Message"))->text(); }
    bool waitOnline()
    {
        return QTest::qWaitFor(
            [this] {
                return server.Rig1()->Status() == OmniRig::ST_ONLINE && server.Rig2()->Status() == OmniRig::ST_ONLINE;
            },
            OnlineMs);
    }

    // Types text into the model search and takes the row it marks with Enter.
    void search(int n, const QString &text) const
    {
        auto *edit = field<QLineEdit>(n, "ModelSearch");
        edit->clear();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    void typePort(int n, const QString &text) const
    {
        auto *port = field<QComboBox>(n, "Port");
        port->lineEdit()->clear();
        QTest::keyClicks(port->lineEdit(), text);
    }
    void type(int n, const char *name, const QString &text) const
    {
        if (auto *spin = field<QSpinBox>(n, name)) {
            spin->selectAll();
            QTest::keyClicks(spin, text);
        } else {
            auto *edit = field<QLineEdit>(n, name);
            edit->clear();
            QTest::keyClicks(edit, text);
        }
    }

    EventLog log;
    RigServer server;
    RigServerWindow *window = nullptr;
};

// The model numbers of the rows the model list shows.
QList<int> shownModels(const QAbstractItemModel *model, const QModelIndex &parent = {})
{
    QList<int> models;
    for (int row = 0; row < model->rowCount(parent); ++row) {
        const QModelIndex index = model->index(row, 0, parent);
        if (model->rowCount(index) > 0)
            models += shownModels(model, index);
        else if (const QString number = index.siblingAtColumn(1).data().toString(); !number.isEmpty())
            models << number.toInt();
    }
    return models;
}

QStringList rigEvents(const EventLog &log)
{
    QStringList events = log.events;
    events.removeAll(QStringLiteral("visible"));
    return events;
}

} // namespace

class TestRigServerWindow : public QObject {
    Q_OBJECT

private slots:
    void showingAndHidingRaiseOneEventEach_data();
    void showingAndHidingRaiseOneEventEach();
    void typingFindsTheRadio_data();
    void typingFindsTheRadio();
    void arrowKeysStepThroughMatches();
    void abandonedSearchKeepsTheRadio_data();
    void abandonedSearchKeepsTheRadio();
    void hamlibSettingsFollowTheModel_data();
    void hamlibSettingsFollowTheModel();
    void applySwitchesRig2ToRigctld();
    void okSavesAndReopeningShowsTheSettings();
    void cancelChangesNothing_data();
    void cancelChangesNothing();
    void badValuesAreRefused_data();
    void badValuesAreRefused();
    void missingDeviceIsSavedWithAWarning();
    void doubtfulUnchangedRigDoesNotBlockTheOther();
    void failedWriteIsReported();
    void portCheck_data();
    void portCheck();
    void sharingShowsTheProgramsConnected();
};

void TestRigServerWindow::showingAndHidingRaiseOneEventEach_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("DialogVisible false") << "put";
    QTest::newRow("Cancel") << "cancel";
    QTest::newRow("Escape") << "escape";
    QTest::newRow("close box") << "close";
}

void TestRigServerWindow::showingAndHidingRaiseOneEventEach()
{
    QFETCH(QString, how);
    QTemporaryDir dir;
    Shack shack(dir.filePath(QStringLiteral("rigserver.ini")));
    QVERIFY(!shack.server.DialogVisible());
    shack.server.SetDialogVisible(true);
    QVERIFY(shack.server.DialogVisible());
    QCOMPARE(shack.window->windowTitle(), QStringLiteral("OmniRig Settings"));
    // Asking again for a window already shown changes nothing.
    shack.server.SetDialogVisible(true);
    QCOMPARE(shack.log.count(QStringLiteral("visible")), 1);

    if (how == QLatin1String("put")) {
        shack.server.SetDialogVisible(false);
    } else if (how == QLatin1String("cancel")) {
        QTest::mouseClick(shack.button("Cancel"), Qt::LeftButton);
    } else if (how == QLatin1String("escape")) {
        QVERIFY(QTest::qWaitForWindowActive(shack.window));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    } else {
        shack.window->close();
    }
    QVERIFY(!shack.server.DialogVisible());
    QCOMPARE(shack.log.count(QStringLiteral("visible")), 2);
    shack.server.SetDialogVisible(false);
    QCOMPARE(shack.log.count(QStringLiteral("visible")), 2);
}

void TestRigServerWindow::typingFindsTheRadio_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QList<int>>("shown");
    QTest::newRow("part of a model") << "7300" << 3073 << QList<int>{3073};
    QTest::newRow("maker and model") << "icom 7300" << 3073 << QList<int>{3073};
    QTest::newRow("without the hyphen") << "ic7300" << 3073 << QList<int>{3073};
    QTest::newRow("Hamlib model number") << "3073" << 3073 << QList<int>{3073};
    QTest::newRow("the Dummy rigs") << "dummy" << 1 << QList<int>{1, 6};
    QTest::newRow("rigctld") << "rigctld" << 2 << QList<int>{2};
    QTest::newRow("no rig") << "none" << 0 << QList<int>{0};
    QTest::newRow("a typo: nothing to take") << "7300zz" << 1 << QList<int>{};
}

void TestRigServerWindow::typingFindsTheRadio()
{
    QFETCH(QString, typed);
    QFETCH(int, chosen);
    QFETCH(QList<int>, shown);
    QTemporaryDir dir;
    Shack shack(dir.filePath(QStringLiteral("rigserver.ini")));
    shack.server.SetDialogVisible(true);
    // The operator can type at once.
    QCOMPARE(shack.window->focusWidget(), shack.field<QLineEdit>(1, "ModelSearch"));
    QTest::keyClicks(shack.window->focusWidget(), typed);
    QTest::keyClick(shack.window->focusWidget(), Qt::Key_Return);
    QCOMPARE(shack.form(1)->settings().model, chosen);
    QCOMPARE(shownModels(shack.field<QTreeView>(1, "ModelList")->model()), shown);
    QCOMPARE(shack.field<QLabel>(1, "ModelNoMatch")->isVisible(), shown.isEmpty());
}

void TestRigServerWindow::arrowKeysStepThroughMatches()
{
    QTemporaryDir dir;
    Shack shack(dir.filePath(QStringLiteral("rigserver.ini")));
    shack.server.SetDialogVisible(true);
    auto *search = shack.field<QLineEdit>(1, "ModelSearch");
    QTest::keyClicks(search, QStringLiteral("ft-8"));
    const QList<int> matches = shownModels(shack.field<QTreeView>(1, "ModelList")->model());
    QCOMPARE(ModelPicker::displayName(HamlibModelCatalogue(), matches.value(1)).left(10), QStringLiteral("Yaesu FT-8"));
    // The arrows move the mark, not the choice.
    QTest::keyClick(search, Qt::Key_Down);
    QCOMPARE(shack.form(1)->settings().model, RigSettings::DummyModel);
    // Enter: the marked radio is chosen, on to its port.
    QTest::keyClick(search, Qt::Key_Return);
    QCOMPARE(shack.form(1)->settings().model, matches.value(1));
    QCOMPARE(shack.window->focusWidget(), shack.field<QComboBox>(1, "Port"));
    // A click on a row chooses it too.
    auto *list = shack.field<QTreeView>(1, "ModelList");
    const QModelIndex first = list->model()->index(0, 0, list->model()->index(0, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(first).center());
    QCOMPARE(shack.form(1)->settings().model, matches.value(0));
}

void TestRigServerWindow::abandonedSearchKeepsTheRadio_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Escape") << "escape";
    QTest::newRow("text erased") << "erase";
    QTest::newRow("OK with no row chosen") << "ok";
}

void TestRigServerWindow::abandonedSearchKeepsTheRadio()
{
    QFETCH(QString, how);
    QTemporaryDir dir;
    Shack shack(dir.filePath(QStringLiteral("rigserver.ini")));
    shack.server.SetDialogVisible(true);
    auto *search = shack.field<QLineEdit>(1, "ModelSearch");
    QTest::keyClicks(search, QStringLiteral("ic"));
    QCOMPARE(shack.form(1)->settings().model, RigSettings::DummyModel);
    if (how == "ok") {
        QTest::mouseClick(shack.button("OK"), Qt::LeftButton);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("rigserver.ini"))));
        QCOMPARE(shack.server.rig(1)->settings().model, RigSettings::DummyModel);
        return;
    }
    if (how == "escape") {
        QTest::keyClick(search, Qt::Key_Escape);
    } else {
        for (int i = 0; i < 2; ++i)
            QTest::keyClick(search, Qt::Key_Backspace);
    }
    QCOMPARE(shack.form(1)->settings(), shack.server.rig(1)->settings());
    QCOMPARE(shack.window->findChild<QTabWidget *>(QStringLiteral("Rigs"))->tabText(0),
             QStringLiteral("Rig 1: Hamlib Dummy"));
    QVERIFY(!shack.button("Apply")->isEnabled());
    QVERIFY(shack.window->isVisible());
}

void TestRigServerWindow::hamlibSettingsFollowTheModel_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("typedConf");
    QTest::addColumn<QString>("searched");
    QTest::addColumn<QString>("conf");
    QTest::newRow("the Dummy's own setting stays behind") << QByteArray() << QString() << "7300"
                                                          << "";
    QTest::newRow("a typed setting goes along") << QByteArray() << "ptt_type=RIG;write_delay=5"
                                                << "rigctld"
                                                << "ptt_type=RIG;write_delay=5";
    QTest::newRow("a file without Conf gives the model's") << QByteArray("[Rig1]\nModel=3073\n") << QString() << "dummy"
                                                           << "ptt_type=RIG";
    QTest::newRow("nor does a radio get the Dummy's") << QByteArray("[Rig1]\nModel=3073\n") << QString() << "7300"
                                                      << "";
}

void TestRigServerWindow::hamlibSettingsFollowTheModel()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, typedConf);
    QFETCH(QString, searched);
    QFETCH(QString, conf);
    QTemporaryDir dir;
    Shack shack(dir.filePath(QStringLiteral("rigserver.ini")), file);
    shack.server.SetDialogVisible(true);
    if (!typedConf.isNull())
        shack.type(1, "Conf", typedConf);
    shack.search(1, searched);
    QCOMPARE(QString::fromStdString(shack.form(1)->settings().conf), conf);
}

void TestRigServerWindow::applySwitchesRig2ToRigctld()
{
    RigctldProcess rigctld(6);
    QVERIFY2(rigctld.start(), qPrintable(rigctld.error()));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("velkor/rigserver.ini"));
    Shack shack(path);
    IRigX *rig1 = shack.server.Rig1();
    IRigX *rig2 = shack.server.Rig2();
    QVERIFY(shack.waitOnline());
    shack.server.SetDialogVisible(true);
    QVERIFY(!shack.button("Apply")->isEnabled());

    shack.search(2, QStringLiteral("rigctld"));
    shack.typePort(2, rigctld.hostPort());
    shack.log.events.clear();
    QTest::mouseClick(shack.button("Apply"), Qt::LeftButton);

    QCOMPARE(rigEvents(shack.log).mid(0, 2), QStringList({QStringLiteral("type 2"), QStringLiteral("status 2")}));
    QCOMPARE(shack.server.Rig2(), rig2);
    QCOMPARE(shack.server.Rig1(), rig1);
    QTRY_COMPARE_WITH_TIMEOUT(rig2->RigType(), std::string("Dummy No VFO"), OnlineMs);
    QTRY_COMPARE_WITH_TIMEOUT(rig2->Status(), std::int32_t(OmniRig::ST_ONLINE), OnlineMs);
    // The window follows the rig while it is open.
    QTRY_VERIFY(shack.field<QLabel>(2, "Status")->text().endsWith(QStringLiteral("On-line")));
    QCOMPARE(shack.field<QLabel>(2, "RigType")->text(), QStringLiteral("Dummy No VFO"));
    QCOMPARE(rigEvents(shack.log).filter(QStringLiteral(" 1")), QStringList());
    QCOMPARE(rig1->RigType(), std::string("Dummy"));

    QCOMPARE(TestSupport::readFileBytes(path), QStringLiteral("[Rig2]\nModel=2\nPort=%1\nSpeed=0\nPollMs=500\n"
                                                              "TimeoutMs=2000\nEnabled=1\nConf=\nShare=0\n"
                                                              "SharePort=4533\nShareAddress=127.0.0.1\n")
                                                   .arg(rigctld.hostPort())
                                                   .toUtf8());
    QVERIFY(shack.window->isVisible());
    QVERIFY(!shack.button("Apply")->isEnabled());
}

void TestRigServerWindow::okSavesAndReopeningShowsTheSettings()
{
    QTemporaryDir dir;
    Shack shack(dir.filePath(QStringLiteral("rigserver.ini")));
    shack.server.SetDialogVisible(true);
    shack.type(1, "PollMs", QStringLiteral("300"));
    shack.type(1, "Conf", QStringLiteral("ptt_type=RIG; write_delay=5"));
    shack.field<QCheckBox>(1, "Enabled")->setChecked(false);
    QTest::mouseClick(shack.button("OK"), Qt::LeftButton);
    QVERIFY(!shack.server.DialogVisible());
    RigSettings expected;
    expected.pollMs = 300;
    expected.conf = "ptt_type=RIG; write_delay=5";
    expected.enabled = false;
    QCOMPARE(shack.server.rig(1)->settings(), expected);
    QTRY_COMPARE(shack.server.Rig1()->StatusStr(), std::string("Rig is disabled"));

    shack.server.SetDialogVisible(true);
    QCOMPARE(shack.form(1)->settings(), expected);
    QCOMPARE(shack.field<QSpinBox>(1, "PollMs")->value(), 300);
    QVERIFY(!shack.button("Apply")->isEnabled());
}

void TestRigServerWindow::cancelChangesNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel") << "cancel";
    QTest::newRow("Escape") << "escape";
    QTest::newRow("close box") << "close";
}

void TestRigServerWindow::cancelChangesNothing()
{
    QFETCH(QString, how);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rigserver.ini"));
    const QByteArray before = "; the shack\r\n[Rig1]\r\nModel=1\r\nPollMs=400\r\n";
    Shack shack(path, before);
    QVERIFY(shack.waitOnline());
    const RigSettings rig1 = shack.server.rig(1)->settings();
    const RigSettings rig2 = shack.server.rig(2)->settings();
    shack.server.SetDialogVisible(true);
    shack.search(1, QStringLiteral("7300"));
    shack.typePort(1, QStringLiteral("/dev/null"));
    shack.type(2, "Conf", QStringLiteral("civaddr=0x94"));
    QVERIFY(shack.button("Apply")->isEnabled());
    shack.log.events.clear();

    if (how == QLatin1String("cancel")) {
        QTest::mouseClick(shack.button("Cancel"), Qt::LeftButton);
    } else if (how == QLatin1String("escape")) {
        QVERIFY(QTest::qWaitForWindowActive(shack.window));
        // The first Escape empties the search field; the second leaves.
        QTest::keyClick(shack.field<QLineEdit>(1, "ModelSearch"), Qt::Key_Escape);
        QVERIFY(shack.window->isVisible());
        QTest::keyClick(shack.field<QLineEdit>(1, "ModelSearch"), Qt::Key_Escape);
    } else {
        shack.window->close();
    }
    QVERIFY(!shack.server.DialogVisible());
    QCOMPARE(TestSupport::readFileBytes(path), before);
    QCOMPARE(shack.server.rig(1)->settings(), rig1);
    QCOMPARE(shack.server.rig(2)->settings(), rig2);
    QCOMPARE(rigEvents(shack.log), QStringList());

    shack.server.SetDialogVisible(true);
    QCOMPARE(shack.form(1)->settings(), rig1);
    QCOMPARE(shack.form(2)->settings(), rig2);
    QVERIFY(!shack.button("Apply")->isEnabled());
}

void TestRigServerWindow::badValuesAreRefused_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("messageField");
    QTest::addColumn<QString>("message");
    const QByteArray none;
    const QString keep;
    QTest::newRow("serial port that is no path")
        << none << "7300"
        << "ttyUSB0" << keep << keep << "PortMessage"
        << "\"ttyUSB0\" is not a device; serial ports are named like /dev/ttyUSB0.";
    QTest::newRow("serial port that is a folder") << none << "7300"
                                                  << "<folder>" << keep << keep << "PortMessage"
                                                  << "<folder> is not a device.";
    QTest::newRow("no serial port") << none << "7300"
                                    << "" << keep << keep << "PortMessage"
                                    << "Choose the serial port the radio is connected to.";
    QTest::newRow("network port out of range")
        << none << "rigctld"
        << "localhost:99999" << keep << keep << "PortMessage"
        << "\"localhost:99999\" is not host:port. Type it like localhost:4532 or [::1]:4532.";
    QTest::newRow("IPv6 address without brackets")
        << none << "rigctld"
        << "::1:4532" << keep << keep << "PortMessage"
        << "\"::1:4532\" is not host:port. Type it like localhost:4532 or [::1]:4532.";
    QTest::newRow("host with a blank") << none << "rigctld"
                                       << "my rig:4532" << keep << keep << "PortMessage"
                                       << "\"my rig:4532\" is not host:port. Type it like localhost:4532 or "
                                          "[::1]:4532.";
    QTest::newRow("poll too often") << none << keep << keep << "PollMs"
                                    << "10"
                                    << "PollMsMessage"
                                    << "Poll every 50 to 60000 ms.";
    QTest::newRow("timeout too long") << none << keep << keep << "TimeoutMs"
                                      << "70000"
                                      << "TimeoutMsMessage"
                                      << "Wait 100 to 60000 ms for an answer.";
    QTest::newRow("setting without a value") << none << keep << keep << "Conf"
                                             << "ptt_type=RIG;civaddr"
                                             << "ConfMessage"
                                             << "\"civaddr\" has no value: write name=value.";
    QTest::newRow("setting without a name") << none << keep << keep << "Conf"
                                            << "=5"
                                            << "ConfMessage"
                                            << "\"=5\" has no name: write name=value.";
    QTest::newRow("speed the radio does not have")
        << QByteArray("[Rig1]\nModel=3073\nPort=/dev/null\nSpeed=12345\n") << keep << keep << "PollMs"
        << "600"
        << "SpeedMessage"
        << "Icom IC-7300 does not talk at 12345 baud; choose 4800 to 115200.";
    QTest::newRow("model Hamlib does not know") << QByteArray("[Rig1]\nModel=999999\n") << keep << keep << "PollMs"
                                                << "600"
                                                << "ModelMessage"
                                                << "Hamlib does not know model 999999. Choose a radio from the list.";
}

void TestRigServerWindow::badValuesAreRefused()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, model);
    QFETCH(QString, port);
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QString, messageField);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rigserver.ini"));
    port.replace(QLatin1String("<folder>"), dir.path());
    message.replace(QLatin1String("<folder>"), dir.path());
    Shack shack(path, file);
    const RigSettings before = shack.server.rig(1)->settings();
    shack.server.SetDialogVisible(true);
    if (!model.isNull())
        shack.search(1, model);
    if (!port.isNull())
        shack.typePort(1, port);
    if (!field.isNull())
        shack.type(1, qPrintable(field), value);

    // The message is there as soon as the value is, and Apply keeps it all as it was.
    auto *label = shack.field<QLabel>(1, qPrintable(messageField));
    QVERIFY(label->isVisible());
    QCOMPARE(label->text(), message);
    shack.log.events.clear();
    QTest::mouseClick(shack.button("Apply"), Qt::LeftButton);
    QCOMPARE(label->text(), message);
    QVERIFY(shack.message().startsWith(QStringLiteral("Nothing was saved")));
    QCOMPARE(TestSupport::readFileBytes(path), file);
    QCOMPARE(shack.server.rig(1)->settings(), before);
    QCOMPARE(rigEvents(shack.log).filter(QStringLiteral("type")), QStringList());
    QTest::mouseClick(shack.button("OK"), Qt::LeftButton);
    QVERIFY(shack.window->isVisible());
}

void TestRigServerWindow::missingDeviceIsSavedWithAWarning()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rigserver.ini"));
    Shack shack(path);
    shack.server.SetDialogVisible(true);
    shack.search(1, QStringLiteral("FT-817"));
    shack.typePort(1, QStringLiteral("/dev/velkor-unplugged"));
    QCOMPARE(shack.field<QLabel>(1, "PortMessage")->text(),
             QStringLiteral("/dev/velkor-unplugged is not there now (radio unplugged?). It is saved, and used once it "
                            "appears."));
    QTest::mouseClick(shack.button("Apply"), Qt::LeftButton);
    QCOMPARE(shack.server.rig(1)->settings().port, std::string("/dev/velkor-unplugged"));
    QCOMPARE(shack.server.rig(1)->settings().model, 1020);
    QVERIFY(TestSupport::readFileBytes(path).contains("Model=1020\nPort=/dev/velkor-unplugged\n"));
    QTRY_COMPARE(shack.server.Rig1()->StatusStr(), std::string("Port is not available"));
}

void TestRigServerWindow::doubtfulUnchangedRigDoesNotBlockTheOther()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rigserver.ini"));
    Shack shack(path, "[Rig1]\nModel=999999\n");
    shack.server.SetDialogVisible(true);
    QVERIFY(shack.field<QLabel>(1, "ModelMessage")->isVisible());
    shack.type(2, "PollMs", QStringLiteral("250"));
    QTest::mouseClick(shack.button("Apply"), Qt::LeftButton);
    QCOMPARE(shack.server.rig(2)->settings().pollMs, 250);
    QCOMPARE(TestSupport::readFileBytes(path),
             QByteArray("[Rig1]\nModel=999999\n[Rig2]\nModel=1\nPort=\nSpeed=0\n"
                        "PollMs=250\nTimeoutMs=2000\nEnabled=1\nConf=ptt_type=RIG\nShare=0\nSharePort=4533\n"
                        "ShareAddress=127.0.0.1\n"));
}

void TestRigServerWindow::failedWriteIsReported()
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("blocker")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString path = dir.filePath(QStringLiteral("blocker/velkor/rigserver.ini"));
    Shack shack(path);
    const RigSettings before = shack.server.rig(2)->settings();
    shack.server.SetDialogVisible(true);
    shack.type(2, "PollMs", QStringLiteral("300"));
    shack.log.events.clear();
    QTest::mouseClick(shack.button("OK"), Qt::LeftButton);
    QVERIFY(shack.window->isVisible());
    QCOMPARE(shack.message(), QStringLiteral("Unable to write to %1").arg(path));
    QCOMPARE(shack.server.rig(2)->settings(), before);
    QCOMPARE(rigEvents(shack.log).filter(QStringLiteral("type")), QStringList());
    // The edit is still there to try again.
    QCOMPARE(shack.form(2)->settings().pollMs, 300);
    QVERIFY(shack.button("Apply")->isEnabled());
}

void TestRigServerWindow::portCheck_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<QString>("port");
    QTest::addColumn<int>("level");
    const int ok = FieldCheck::Ok;
    const int warning = FieldCheck::Warning;
    const int error = FieldCheck::Error;
    QTest::newRow("serial device") << 3073 << "/dev/null" << ok;
    QTest::newRow("serial device not plugged in") << 3073 << "/dev/velkor-unplugged" << warning;
    QTest::newRow("serial port with a line break") << 3073 << "/dev/null\n" << error;
    QTest::newRow("rigctld default") << 2 << "" << ok;
    QTest::newRow("rigctld host only") << 2 << "shack-pc" << ok;
    QTest::newRow("rigctld IPv6") << 2 << "[::1]:4532" << ok;
    QTest::newRow("rigctld no port after colon") << 2 << "localhost:" << error;
    QTest::newRow("other network model") << 4 << "127.0.0.1:12345x" << error;
    QTest::newRow("Dummy ignores its port") << 1 << "anything" << ok;
    QTest::newRow("USB radio: Hamlib reads the text") << 25013 << "anything" << ok;
}

void TestRigServerWindow::portCheck()
{
    QFETCH(int, model);
    QFETCH(QString, port);
    QFETCH(int, level);
    const FieldCheck check = RigSettingsCheck::port(HamlibModelCatalogue(), model, port);
    QCOMPARE(int(check.level), level);
    QCOMPARE(check.message.isEmpty(), level == FieldCheck::Ok);
}

// Sharing is switched on from the window, saved with the rig, and the window counts the programs as they come
// and go, and those turned away when every place is taken.
void TestRigServerWindow::sharingShowsTheProgramsConnected()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rigserver.ini"));
    Shack shack(path, QByteArray(), [](RigObject &rig) { return std::make_unique<RigShareServer>(rig); });
    const quint16 port = RigctldProcess::freePort();
    shack.server.SetDialogVisible(true);
    auto *shared = shack.field<QLabel>(1, "ShareClients");
    QCOMPARE(shared->text(), QStringLiteral("No"));
    QVERIFY(!shack.field<QSpinBox>(1, "SharePort")->isEnabled());
    shack.field<QCheckBox>(1, "Share")->setChecked(true);
    shack.type(1, "SharePort", QString::number(port));
    QTest::mouseClick(shack.button("Apply"), Qt::LeftButton);
    QCOMPARE(shack.server.rig(1)->settings().sharePort, port);
    QVERIFY(shack.server.rig(1)->settings().share);
    QVERIFY(TestSupport::readFileBytes(path).contains(QStringLiteral("Share=1\nSharePort=%1\n").arg(port).toUtf8()));

    const QString where = QStringLiteral("On 127.0.0.1:%1, ").arg(port);
    QTRY_COMPARE(shared->text(), where + QStringLiteral("no program connected"));
    // The line says what the rig is set to; the listener starts on a thread of its own, which may come later.
    QVERIFY(QTest::qWaitFor(
        [port] {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, port);
            return probe.waitForConnected(1000);
        },
        10000));
    QTRY_COMPARE(shared->text(), where + QStringLiteral("no program connected"));
    QTcpSocket first, second;
    first.connectToHost(QHostAddress::LocalHost, port);
    second.connectToHost(QHostAddress::LocalHost, port);
    QTRY_COMPARE(shared->text(), where + QStringLiteral("2 programs connected"));
    first.disconnectFromHost();
    QTRY_COMPARE(shared->text(), where + QStringLiteral("1 program connected"));
    std::vector<std::unique_ptr<QTcpSocket>> more(16);
    for (auto &socket : more) {
        socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(QHostAddress::LocalHost, port);
    }
    QTRY_COMPARE(shared->text(), where + QStringLiteral("16 programs connected, 1 turned away"));
}

QTEST_MAIN(TestRigServerWindow)
#include "tst_rigserverwindow.moc"
