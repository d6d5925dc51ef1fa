// The rules behind the settings file and the error display, as pure functions: where the file is, how an
// offset text reads, and when the general error display appends a full stop.
#include "panel/core/PanelSettings.h"
#include "panel/qt/MessageBoxes.h"

#include <QTest>

class TestPanelSettings : public QObject {
    Q_OBJECT

private slots:
    void iniPath_data();
    void iniPath();
    void windowsIniPath_data();
    void windowsIniPath();
    void offset_data();
    void offset();
    void errorText_data();
    void errorText();
};

void TestPanelSettings::iniPath_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("currentDir");
    QTest::addColumn<QString>("expected");

    QTest::newRow("no arguments") << QStringList{} << "/home/op/log"
                                  << "/home/op/log/VELKOR.INI";
    QTest::newRow("folder ending in a separator") << QStringList{} << "/"
                                                  << "/VELKOR.INI";
    QTest::newRow("-f in lower case, path kept as given") << QStringList{"-f", "/cfg/Two.ini"} << "/home/op"
                                                          << "/cfg/Two.ini";
    QTest::newRow("relative -F path") << QStringList{"-F", "two.ini"} << "/home/op"
                                      << "two.ini";
    QTest::newRow("lone -F gives the default") << QStringList{"-F"} << "/home/op"
                                               << "/home/op/VELKOR.INI";
    QTest::newRow("-F with an empty path") << QStringList{"-F", ""} << "/home/op"
                                           << "/home/op/VELKOR.INI";
    QTest::newRow("other switch ignored") << QStringList{"-G", "/cfg/two.ini"} << "/home/op"
                                          << "/home/op/VELKOR.INI";
    QTest::newRow("-F not first") << QStringList{"x", "-F", "/cfg/two.ini"} << "/home/op"
                                  << "/home/op/VELKOR.INI";
}

void TestPanelSettings::iniPath()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, currentDir);
    QFETCH(QString, expected);
    std::vector<std::string> args{"velkor"};
    for (const QString &argument : arguments)
        args.push_back(argument.toStdString());
    QCOMPARE(QString::fromStdString(PanelSettings::iniPath(args, currentDir.toStdString())), expected);
}

// On Windows the named file is upper-cased (case does not count there) and the default one joined with a backslash.
void TestPanelSettings::windowsIniPath_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("currentDir");
    QTest::addColumn<QString>("expected");

    QTest::newRow("folder without a separator") << QStringList{} << "C:\\LOG"
                                                << "C:\\LOG\\VELKOR.INI";
    QTest::newRow("folder ending in a separator") << QStringList{} << "C:\\LOG\\"
                                                  << "C:\\LOG\\VELKOR.INI";
    QTest::newRow("-f path upper-cased") << QStringList{"-f", "c:\\cfg\\two.ini"} << "C:\\LOG"
                                         << "C:\\CFG\\TWO.INI";
    QTest::newRow("lone -F gives the default") << QStringList{"-F"} << "C:\\LOG"
                                               << "C:\\LOG\\VELKOR.INI";
}

void TestPanelSettings::windowsIniPath()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, currentDir);
    QFETCH(QString, expected);
    std::vector<std::string> args{"velkor.exe"};
    for (const QString &argument : arguments)
        args.push_back(argument.toStdString());
    QCOMPARE(QString::fromStdString(
                 PanelSettings::iniPath(args, currentDir.toStdString(), PanelSettings::PathStyle::Windows)),
             expected);
}

void TestPanelSettings::offset_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("position");

    QTest::newRow("past 64 bits") << "99999999999999999999" << 4000;
    QTest::newRow("past 64 bits, negative") << "-99999999999999999999" << 0;
    QTest::newRow("lone minus") << "-" << 2000;
    QTest::newRow("empty") << "" << 2000;
    QTest::newRow("Arabic-Indic digits") << QString::fromUtf8("\u0663\u0665\u0660") << 2000;
}

void TestPanelSettings::offset()
{
    QFETCH(QString, text);
    QFETCH(int, position);
    QCOMPARE(PanelSettings::positionFromOffset(text.toStdString()), position);
}

void TestPanelSettings::errorText_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");

    QTest::newRow("path") << "Unable to write to /x/VELKOR.INI"
                          << "Unable to write to /x/VELKOR.INI.";
    QTest::newRow("full stop already") << "Done."
                                       << "Done.";
    QTest::newRow("ends in a minus") << "range -"
                                     << "range -";
    QTest::newRow("ends in a blank") << "trailing "
                                     << "trailing ";
    QTest::newRow("ends in a digit") << "port 4532"
                                     << "port 4532.";
    QTest::newRow("ends in a letter beyond ASCII") << QString::fromUtf8("caf\u00e9") << QString::fromUtf8("caf\u00e9.");
    QTest::newRow("empty") << ""
                           << "";
}

void TestPanelSettings::errorText()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(MessageBoxes::errorText(message), shown);
}

QTEST_GUILESS_MAIN(TestPanelSettings)
#include "tst_panel_settings.moc"
