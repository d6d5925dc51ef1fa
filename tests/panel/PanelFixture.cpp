#include "PanelFixture.h"

#include "TestSupport.h"
#include "omnirig/TOmniRigX.h"
#include "panel/platform/InstanceMarker.h"

#include <QCoreApplication>
#include <QFile>
#include <QTest>

MessageRecorder::MessageRecorder()
{
    m_previous = MessageBoxes::setHandler([this](QWidget *, const MessageBoxes::Request &request) {
        shown.push_back(request);
        return answer;
    });
    m_previousNote = MessageBoxes::setNoteHandler(
        [this](QWidget *, const MessageBoxes::Request &request) { notes.push_back(request); });
}

MessageRecorder::~MessageRecorder()
{
    MessageBoxes::setHandler(std::move(m_previous));
    MessageBoxes::setNoteHandler(std::move(m_previousNote));
}

QStringList MessageRecorder::lines() const
{
    QStringList result;
    for (const MessageBoxes::Request &request : shown)
        result << request.caption + u'|' + request.text;
    return result;
}

PanelFixture::PanelFixture()
{
    MessageBoxes::setApplicationTitle(QStringLiteral("Velkor using OmniRig"));
    TOmniRigX::setDefaultFactory(factory);
}

PanelFixture::~PanelFixture()
{
    m_panel.reset();
    TOmniRigX::setDefaultFactory(nullptr);
}

void PanelFixture::initProcess()
{
    InstanceMarker::setDefaultName(
        (QStringLiteral("VELKOR-test-%1").arg(QCoreApplication::applicationPid())).toStdString());
    // A runtime folder of the process's own (made for its owner alone), removed when the process ends, so that
    // the marks of test panels leave nothing behind.
    static const QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
}

QString PanelFixture::iniPath() const
{
    return m_dir.filePath(QStringLiteral("VELKOR.INI"));
}

void PanelFixture::writeIni(const QByteArray &bytes) const
{
    QFile file(iniPath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray PanelFixture::iniBytes() const
{
    return TestSupport::readFileBytes(iniPath());
}

TSO2VPanel &PanelFixture::start()
{
    return start({QStringLiteral("-F"), iniPath()});
}

TSO2VPanel &PanelFixture::start(const QStringList &arguments)
{
    m_panel = std::make_unique<TSO2VPanel>(QStringList{QStringLiteral("velkor")} + arguments);
    // As the program does: the window shows unless start-up ended the program.
    if (!m_panel->startupEnded()) {
        m_panel->show();
        if (!QTest::qWaitForWindowExposed(m_panel.get()))
            qWarning("the panel was not exposed");
    }
    return *m_panel;
}

QStringList PanelFixture::rigCalls() const
{
    QStringList result;
    for (const QString &call : server().log)
        if (call.startsWith(QStringLiteral("Rig")) && call.contains(u'.'))
            result << call;
    return result;
}

QByteArray iniText(const QString &offset, const QString &shift, const QString &track)
{
    return QStringLiteral("[VE2Z]\nOFFSET=%1\nSHIFT=%2\nTRACK=%3\n").arg(offset, shift, track).toUtf8();
}
