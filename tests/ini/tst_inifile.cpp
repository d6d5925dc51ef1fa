#include "TestSupport.h"
#include "ini/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using TestSupport::readFileBytes;

namespace {

const QString kSection = QStringLiteral("VE2Z");
const QString kKey = QStringLiteral("OFFSET");
const QString kMissing = QStringLiteral("<default>");

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// The accessor under test, spoken to in Qt's strings as the rest of these tests are.
class Ini {
public:
    explicit Ini(const QString &path) : m_file(QFile::encodeName(path).toStdString()) {}
    QString path() const { return QString::fromStdString(m_file.path()); }
    QString readString(const QString &section, const QString &key, const QString &missing = {}) const
    {
        return QString::fromStdString(
            m_file.readString(section.toStdString(), key.toStdString(), missing.toStdString()));
    }
    void writeString(const QString &section, const QString &key, const QString &value)
    {
        m_file.writeString(section.toStdString(), key.toStdString(), value.toStdString());
    }
    void writeStrings(const QString &section, const QList<std::pair<QString, QString>> &keysAndValues)
    {
        std::vector<std::pair<std::string, std::string>> pairs;
        for (const auto &[key, value] : keysAndValues)
            pairs.emplace_back(key.toStdString(), value.toStdString());
        m_file.writeStrings(section.toStdString(), pairs);
    }

private:
    IniFile m_file;
};

struct HelperRun {
    int exitCode;
    QString output;
};

HelperRun runHelper(const QStringList &arguments)
{
    QProcess helper;
    helper.start(QStringLiteral(INI_WRITE_HELPER), arguments);
    helper.waitForFinished(-1);
    return {helper.exitCode(), QString::fromUtf8(helper.readAllStandardOutput())};
}

} // namespace

class TestIniFile : public QObject {
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void readOfMissingOrUnreadableFile();
    void newFile();
    void write_data();
    void write();
    void severalKeysInOneReplacement();
    void unchangedSaveLeavesTheFile();
    void refusedNames_data();
    void refusedNames();
    void failedWrite_data();
    void failedWrite();
    void writeFailingHalfway();
    void readOnly_data();
    void readOnly();
    void symbolicLinks();
    void permissionsAndHandEdits();
    void largeAndBinaryFiles();
    void killedWriterLeavesOldOrNewFile();

private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }
};

void TestIniFile::read_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << QByteArray("[VE2Z]\nOFFSET=350\n") << kSection << kKey << "350";
    QTest::newRow("case") << QByteArray("[ve2z]\nOffSet=1\n") << kSection << kKey << "1";
    QTest::newRow("unicode case") << QByteArray("[\xC3\x84rger]\n\xC3\x96l=x\n") << "\xC3\xA4RGER"
                                  << "\xC3\xB6L"
                                  << "x";
    QTest::newRow("blanks") << QByteArray("  [ VE2Z ] \n\t OFFSET \t=  12  \n") << " VE2Z"
                            << "OFFSET "
                            << "12";
    QTest::newRow("double quotes") << QByteArray("[VE2Z]\nOFFSET= \" a b \" \n") << kSection << kKey << " a b ";
    QTest::newRow("single quotes") << QByteArray("[VE2Z]\nOFFSET='x'\n") << kSection << kKey << "x";
    QTest::newRow("unmatched quotes") << QByteArray("[VE2Z]\nOFFSET=\"x'\n") << kSection << kKey << "\"x'";
    QTest::newRow("equals in value") << QByteArray("[VE2Z]\nOFFSET=a=b\n") << kSection << kKey << "a=b";
    QTest::newRow("empty value") << QByteArray("[VE2Z]\nOFFSET=\nOFFSET=1\n") << kSection << kKey << "";
    QTest::newRow("comment") << QByteArray("[VE2Z]\n ;OFFSET=5\nOFFSET=6\n") << kSection << kKey << "6";
    QTest::newRow("before any section") << QByteArray("OFFSET=1\n[VE2Z]\n") << kSection << kKey << kMissing;
    QTest::newRow("no equals") << QByteArray("[VE2Z]\nOFFSET\nOFFSET=2\n") << kSection << kKey << "2";
    QTest::newRow("duplicate keys") << QByteArray("[VE2Z]\nOFFSET=1\noffset=2\n") << kSection << kKey << "1";
    QTest::newRow("duplicate sections") << QByteArray("[VE2Z]\nA=1\n[X]\nOFFSET=0\n[ve2z]\nOFFSET=3\n") << kSection
                                        << kKey << kMissing;
    QTest::newRow("other section") << QByteArray("[X]\nOFFSET=1\n[VE2Z]\n") << kSection << kKey << kMissing;
    QTest::newRow("crlf") << QByteArray("[VE2Z]\r\nOFFSET=7\r\n") << kSection << kKey << "7";
    QTest::newRow("bom") << QByteArray("\xEF\xBB\xBF[VE2Z]\nOFFSET=8\n") << kSection << kKey << "8";
    QTest::newRow("text after header") << QByteArray("[VE2Z] ; main\nOFFSET=9") << kSection << kKey << "9";
    QTest::newRow("unclosed header") << QByteArray("[VE2Z]\n[broken\nOFFSET=1\n") << kSection << kKey << "1";
    QTest::newRow("invalid utf-8 around")
        << QByteArrayLiteral("\xFF\xFE\x00\n[VE2Z]\n\x80=\x81\nOFFSET=\xC3\xA9\n") << kSection << kKey << "\xC3\xA9";
}

void TestIniFile::read()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    writeBytes(path("read.ini"), content);
    QCOMPARE(Ini(path("read.ini")).readString(section, key, kMissing), expected);
}

void TestIniFile::readOfMissingOrUnreadableFile()
{
    QCOMPARE(Ini(path("missing.ini")).readString(kSection, kKey, "0"), "0");
    QVERIFY(!QFileInfo::exists(path("missing.ini")));
    QVERIFY(QDir(m_dir.path()).mkdir("folder.ini"));
    QCOMPARE(Ini(path("folder.ini")).readString(kSection, kKey, "0"), "0");
    QCOMPARE(mkfifo(QFile::encodeName(path("fifo.ini")).constData(), 0600), 0);
    QCOMPARE(Ini(path("fifo.ini")).readString(kSection, kKey, "0"), "0");

    // Sparse, so it costs no disk; far too large to be a settings file.
    Ini huge(path("huge.ini"));
    writeBytes(huge.path(), "[VE2Z]\nOFFSET=1\n");
    QVERIFY(QFile::resize(huge.path(), qint64(300) * 1024 * 1024));
    QCOMPARE(huge.readString(kSection, kKey, "0"), "0");
    QVERIFY_THROWS_EXCEPTION(IniWriteError, huge.writeString(kSection, kKey, "2"));
    QCOMPARE(QFileInfo(huge.path()).size(), qint64(300) * 1024 * 1024);
    QVERIFY(QFile::remove(huge.path()));
}

void TestIniFile::newFile()
{
    QTemporaryDir folder;
    Ini ini(folder.filePath("VELKOR.INI"));
    ini.writeString(kSection, kKey, "0");
    ini.writeString(kSection, "SHIFT", "YES");
    ini.writeString(kSection, "TRACK", "0");
    QCOMPARE(readFileBytes(ini.path()), QByteArray("[VE2Z]\nOFFSET=0\nSHIFT=YES\nTRACK=0\n"));
    QCOMPARE(entries(folder.path()), QStringList{"VELKOR.INI"});
}

void TestIniFile::write_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("layout kept") << QByteArray("; mine\n[VE2Z]\n  offset = 1  \nSHIFT=YES\n") << kSection << kKey
                                 << "-350" << QByteArray("; mine\n[VE2Z]\n  offset = -350  \nSHIFT=YES\n");
    QTest::newRow("crlf new key") << QByteArray("[VE2Z]\r\nA=1\r\n") << kSection << "SHIFT"
                                  << "YES" << QByteArray("[VE2Z]\r\nA=1\r\nSHIFT=YES\r\n");
    QTest::newRow("crlf new section") << QByteArray("[X]\r\nA=1\r\n") << kSection << kKey << "0"
                                      << QByteArray("[X]\r\nA=1\r\n[VE2Z]\r\nOFFSET=0\r\n");
    QTest::newRow("bom") << QByteArray("\xEF\xBB\xBF[VE2Z]\nOFFSET=1\n") << kSection << kKey << "2"
                         << QByteArray("\xEF\xBB\xBF[VE2Z]\nOFFSET=2\n");
    QTest::newRow("only a bom") << QByteArray("\xEF\xBB\xBF") << kSection << kKey << "0"
                                << QByteArray("\xEF\xBB\xBF[VE2Z]\nOFFSET=0\n");
    QTest::newRow("duplicate keys") << QByteArray("[VE2Z]\nOFFSET=1\nOFFSET=2\n") << kSection << kKey << "3"
                                    << QByteArray("[VE2Z]\nOFFSET=3\nOFFSET=2\n");
    QTest::newRow("duplicate sections") << QByteArray("[VE2Z]\nA=1\n[X]\n[VE2Z]\nB=2\n") << kSection << "B"
                                        << "3" << QByteArray("[VE2Z]\nA=1\nB=3\n[X]\n[VE2Z]\nB=2\n");
    QTest::newRow("after last key") << QByteArray("[VE2Z]\nA=1\n; note\nno equals\n\n[X]\n") << kSection << "B"
                                    << "2" << QByteArray("[VE2Z]\nA=1\nB=2\n; note\nno equals\n\n[X]\n");
    QTest::newRow("section without keys") << QByteArray("[VE2Z]\n; note\n[X]\n") << kSection << "A"
                                          << "1" << QByteArray("[VE2Z]\nA=1\n; note\n[X]\n");
    QTest::newRow("open last key line") << QByteArray("[VE2Z]\nA=1") << kSection << "B"
                                        << "2" << QByteArray("[VE2Z]\nA=1\nB=2\n");
    QTest::newRow("open last line, new section") << QByteArray("[X]\nA=1") << kSection << "B"
                                                 << "2" << QByteArray("[X]\nA=1\n[VE2Z]\nB=2\n");
    QTest::newRow("stored spelling kept") << QByteArray("[ve2z]\noffset=1\n") << " VE2Z "
                                          << "OFFSET"
                                          << "2" << QByteArray("[ve2z]\noffset=2\n");
    QTest::newRow("empty value") << QByteArray("[VE2Z]\nA=  \nB=1\n") << kSection << "A"
                                 << "5" << QByteArray("[VE2Z]\nA=5  \nB=1\n");
    QTest::newRow("quoted value") << QByteArray("[VE2Z]\nA=\"x\"\n") << kSection << "A"
                                  << "y" << QByteArray("[VE2Z]\nA=y\n");
    QTest::newRow("bytes not utf-8") << QByteArrayLiteral("\xFF\x00\x80\n[VE2Z]\nA=1\n\xC3\x28\n") << kSection << "A"
                                     << "\xC3\xA9" << QByteArrayLiteral("\xFF\x00\x80\n[VE2Z]\nA=\xC3\xA9\n\xC3\x28\n");
}

void TestIniFile::write()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    Ini ini(path("write.ini"));
    writeBytes(ini.path(), before);
    ini.writeString(section, key, value);
    QCOMPARE(readFileBytes(ini.path()), after);
    QCOMPARE(ini.readString(section, key, kMissing), value);
}

void TestIniFile::severalKeysInOneReplacement()
{
    QTemporaryDir folder;
    Ini ini(folder.filePath("rigserver.ini"));
    writeBytes(ini.path(), "; radios\r\n[Rig2]\r\nmodel=1\r\n");
    ini.writeStrings("Rig2", {{"Model", "2"}, {"Port", "127.0.0.1:4532"}});
    QCOMPARE(readFileBytes(ini.path()), QByteArray("; radios\r\n[Rig2]\r\nmodel=2\r\nPort=127.0.0.1:4532\r\n"));
    // One refused entry and none of them is written.
    const QByteArray before = readFileBytes(ini.path());
    QVERIFY_THROWS_EXCEPTION(IniWriteError, ini.writeStrings("Rig2", {{"Model", "6"}, {"Po=rt", "x"}}));
    QCOMPARE(readFileBytes(ini.path()), before);
    QCOMPARE(entries(folder.path()), QStringList{"rigserver.ini"});
}

void TestIniFile::unchangedSaveLeavesTheFile()
{
    QTemporaryDir folder;
    const QString file = folder.filePath("VELKOR.INI");
    const QByteArray before = "[VE2Z]\r\nOFFSET=1\r\n";
    writeBytes(file, before);
    // A hard link tells whether the file was replaced: a replacement leaves it on the old file.
    QCOMPARE(::link(QFile::encodeName(file).constData(), QFile::encodeName(folder.filePath("link.ini")).constData()),
             0);
    struct stat info {};
    for (const QString value : {"1", "2"}) {
        Ini(file).writeString(kSection, kKey, value);
        QCOMPARE(stat(QFile::encodeName(file).constData(), &info), 0);
        QCOMPARE(info.st_nlink, nlink_t(value == "1" ? 2 : 1));
    }
    QCOMPARE(readFileBytes(folder.filePath("link.ini")), before);
    // A read-only file is refused even when nothing would change.
    QCOMPARE(chmod(QFile::encodeName(file).constData(), 0444), 0);
    QVERIFY_THROWS_EXCEPTION(IniWriteError, Ini(file).writeString(kSection, kKey, "2"));
}

void TestIniFile::refusedNames_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");

    QTest::newRow("empty section") << " " << kKey << "1";
    QTest::newRow("empty key") << kSection << ""
                               << "1";
    QTest::newRow("bracket in section") << "a]b" << kKey << "1";
    QTest::newRow("equals in key") << kSection << "a=b"
                                   << "1";
    QTest::newRow("comment key") << kSection << ";a"
                                 << "1";
    QTest::newRow("header key") << kSection << "[a]"
                                << "1";
    QTest::newRow("line feed in value") << kSection << kKey << "1\n[X]";
    QTest::newRow("carriage return in key") << kSection << "a\rb"
                                            << "1";
}

void TestIniFile::refusedNames()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    const QByteArray before("[VE2Z]\nOFFSET=1\n");
    Ini ini(path("names.ini"));
    writeBytes(ini.path(), before);
    QVERIFY_THROWS_EXCEPTION(IniWriteError, ini.writeString(section, key, value));
    QCOMPARE(readFileBytes(ini.path()), before);
}

void TestIniFile::failedWrite_data()
{
    QTest::addColumn<QString>("name");

    QTest::newRow("folder vanished") << "gone/VELKOR.INI";
    QTest::newRow("path under a file") << "old.ini/VELKOR.INI";
    QTest::newRow("path is a directory") << "folder";
    QTest::newRow("symbolic link loop") << "loop";
    QTest::newRow("empty path") << "";
}

void TestIniFile::failedWrite()
{
    QFETCH(QString, name);
    QTemporaryDir folder;
    const QByteArray before("; kept\n[VE2Z]\nOFFSET=1\n");
    writeBytes(folder.filePath("old.ini"), before);
    QVERIFY(QDir(folder.path()).mkdir("folder") && QDir(folder.path()).mkdir("gone"));
    QVERIFY(QFile::link("loop", folder.filePath("loop")));
    Ini ini(name.isEmpty() ? name : folder.filePath(name));
    QVERIFY(QDir(folder.filePath("gone")).removeRecursively());
    const QStringList listing = entries(folder.path());

    try {
        ini.writeString(kSection, kKey, "2");
        QFAIL("the write reported success");
    } catch (const IniWriteError &error) {
        QCOMPARE(QString::fromUtf8(error.what()), "Unable to write to " + ini.path());
        QCOMPARE(QString::fromStdString(error.path()), ini.path());
    }
    QCOMPARE(readFileBytes(folder.filePath("old.ini")), before);
    QCOMPARE(entries(folder.path()), listing);
    QVERIFY(entries(folder.filePath("folder")).isEmpty());
}

void TestIniFile::writeFailingHalfway()
{
    QTemporaryDir folder;
    const QByteArray before = "[VE2Z]\nOFFSET=1\n" + QByteArray(8192, ';') + '\n';
    const QString file = folder.filePath("VELKOR.INI");
    writeBytes(file, before);
    const HelperRun run = runHelper({"write", file, "2", "--fsize", "4096"});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.output, "Unable to write to " + file);
    QCOMPARE(readFileBytes(file), before);
    QCOMPARE(entries(folder.path()), QStringList{"VELKOR.INI"});
}

void TestIniFile::readOnly_data()
{
    QTest::addColumn<bool>("folderReadOnly");
    QTest::addColumn<bool>("byOwner");

    QTest::newRow("read-only folder") << true << false;
    QTest::newRow("read-only file") << false << false;
    // Root passes every access() test; the file's own bits still say read-only.
    QTest::newRow("read-only file, its owner writing") << false << true;
}

void TestIniFile::readOnly()
{
    QFETCH(bool, folderReadOnly);
    QFETCH(bool, byOwner);
    QTemporaryDir base;
    const QString folder = base.filePath("settings");
    const QString file = folder + "/VELKOR.INI";
    const QByteArray before("[VE2Z]\nOFFSET=1\n");
    QVERIFY(QDir().mkdir(folder));
    writeBytes(file, before);
    QCOMPARE(chmod(QFile::encodeName(base.path()).constData(), 0755), 0);
    // The helper writes as nobody when the tests run as root; the folder is then nobody's unless it is
    // the read-only one.
    if (geteuid() == 0 && !folderReadOnly)
        QCOMPARE(chown(QFile::encodeName(folder).constData(), 65534, 65534), 0);
    QCOMPARE(chmod(QFile::encodeName(folderReadOnly ? folder : file).constData(), folderReadOnly ? 0555 : 0444), 0);

    if (byOwner) {
        QCOMPARE(chown(QFile::encodeName(file).constData(), geteuid(), getegid()), 0);
        QVERIFY_THROWS_EXCEPTION(IniWriteError, Ini(file).writeString(kSection, kKey, "2"));
    } else {
        const HelperRun run = runHelper({"write", file, "2", "--unprivileged"});
        if (run.exitCode == 3)
            QSKIP("cannot write as an unprivileged user here");
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.output, "Unable to write to " + file);
    }
    QCOMPARE(readFileBytes(file), before);
    QCOMPARE(entries(folder), QStringList{"VELKOR.INI"});
}

void TestIniFile::symbolicLinks()
{
    QTemporaryDir folder;
    QVERIFY(QDir(folder.path()).mkdir("real") && QDir(folder.path()).mkdir("links"));
    writeBytes(folder.filePath("real/VELKOR.INI"), "[VE2Z]\nOFFSET=1\n");
    QVERIFY(QFile::link("../real/VELKOR.INI", folder.filePath("links/VELKOR.INI")));
    QVERIFY(QFile::link("../real/new.ini", folder.filePath("links/dangling.ini")));

    Ini(folder.filePath("links/VELKOR.INI")).writeString(kSection, kKey, "2");
    // A dangling link would have the write create a file wherever the link points.
    try {
        Ini(folder.filePath("links/dangling.ini")).writeString(kSection, kKey, "3");
        QFAIL("a write through a dangling link created its target");
    } catch (const IniWriteError &error) {
        QCOMPARE(QString::fromUtf8(error.what()), "Unable to write to " + folder.filePath("links/dangling.ini"));
    }
    QVERIFY(QFileInfo(folder.filePath("links/VELKOR.INI")).isSymLink());
    QVERIFY(QFileInfo(folder.filePath("links/dangling.ini")).isSymLink());
    QCOMPARE(readFileBytes(folder.filePath("real/VELKOR.INI")), QByteArray("[VE2Z]\nOFFSET=2\n"));
    QCOMPARE(entries(folder.filePath("real")), QStringList{"VELKOR.INI"});
    QCOMPARE(entries(folder.filePath("links")), QStringList({"VELKOR.INI", "dangling.ini"}));
}

void TestIniFile::permissionsAndHandEdits()
{
    Ini ini(path("modes.ini"));
    writeBytes(ini.path(), "[VE2Z]\nOFFSET=1\n");
    QCOMPARE(chmod(QFile::encodeName(ini.path()).constData(), 0640), 0);
    ini.writeString(kSection, kKey, "2");
    struct stat info {};
    QCOMPARE(stat(QFile::encodeName(ini.path()).constData(), &info), 0);
    QCOMPARE(info.st_mode & 07777, 0640u);

    const mode_t oldMask = umask(027);
    Ini(path("created.ini")).writeString(kSection, kKey, "0");
    umask(oldMask);
    QCOMPARE(stat(QFile::encodeName(path("created.ini")).constData(), &info), 0);
    QCOMPARE(info.st_mode & 07777, 0640u);

    writeBytes(ini.path(), "[VE2Z]\nOFFSET=77\n");
    QCOMPARE(ini.readString(kSection, kKey), "77");
}

void TestIniFile::largeAndBinaryFiles()
{
    QByteArray large;
    for (int i = 0; large.size() < 10 * 1024 * 1024; ++i)
        large += "[S" + QByteArray::number(i) + "]\r\nKey=" + QByteArray::number(i) + "\r\n; comment\r\n";
    large += "[VE2Z]\r\nOFFSET=1\r\n";
    Ini ini(path("large.ini"));
    writeBytes(ini.path(), large);
    QCOMPARE(ini.readString(kSection, kKey), "1");
    ini.writeString(kSection, "SHIFT", "YES");
    QCOMPARE(readFileBytes(ini.path()), large + "SHIFT=YES\r\n");

    QByteArray garbage(10 * 1024 * 1024, Qt::Uninitialized);
    QRandomGenerator random(1998);
    random.fillRange(reinterpret_cast<quint32 *>(garbage.data()), garbage.size() / 4);
    writeBytes(ini.path(), garbage);
    QCOMPARE(ini.readString(kSection, kKey, kMissing), kMissing);
    ini.writeString(kSection, kKey, "-2000");
    ini.writeString(kSection, kKey, "5");
    const QByteArray written = readFileBytes(ini.path());
    QVERIFY(written.startsWith(garbage));
    QVERIFY(written.endsWith("[VE2Z]\nOFFSET=5\n"));
    QCOMPARE(ini.readString(kSection, kKey), "5");
}

void TestIniFile::killedWriterLeavesOldOrNewFile()
{
    QTemporaryDir folder;
    const QString file = folder.filePath("VELKOR.INI");
    // A file of some size keeps the writer inside a write for much of its time, where the kills matter.
    const QByteArray head = "; hand-written\r\n[Other]\r\nA=1\r\n[VE2Z]\r\nOFFSET=";
    const QByteArray tail = "\r\nSHIFT=YES\r\n" + QByteArray(64 * 1024, ';') + "\r\n";
    const QList<QByteArray> values{"-2000", "1"};
    writeBytes(file, head + values[0] + tail);

    QRandomGenerator random(3022);
    int seenNew = 0;
    for (int run = 0; run < 200; ++run) {
        QProcess writer;
        writer.start(QStringLiteral(INI_WRITE_HELPER), {"loop", file, values[1], values[0]});
        QVERIFY(writer.waitForReadyRead(-1));
        // A random delay, not a wait for a condition: it moves the kill to an arbitrary point of a write.
        QThread::usleep(random.bounded(4000));
        writer.kill();
        QVERIFY(writer.waitForFinished(-1));

        const QByteArray bytes = readFileBytes(file);
        QVERIFY2(bytes == head + values[0] + tail || bytes == head + values[1] + tail,
                 qPrintable(QString::number(run)));
        seenNew += bytes == head + values[1] + tail ? 1 : 0;
    }
    const QStringList left = entries(folder.path());
    qInfo("200 kills: %lld temporary files left, %d found the newer value", left.size() - 1LL, seenNew);

    // What the kills left behind goes with a later write once it is old enough to be nobody's work in
    // progress; a fresh one (another writer's) and files that are not ours stay.
    writeBytes(folder.filePath(".VELKOR.INI.stale1.tmp"), "old");
    const struct timespec anHourAgo[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
    for (const QString &name : entries(folder.path()))
        QCOMPARE(utimensat(AT_FDCWD, QFile::encodeName(folder.filePath(name)).constData(), anHourAgo, 0), 0);
    writeBytes(folder.filePath(".VELKOR.INI.fresh2.tmp"), "in progress");
    writeBytes(folder.filePath(".VELKOR.INI.Other.tmp"), "not ours");
    Ini(file).writeString(kSection, kKey, "7");
    QCOMPARE(entries(folder.path()), QStringList({".VELKOR.INI.Other.tmp", ".VELKOR.INI.fresh2.tmp", "VELKOR.INI"}));
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
