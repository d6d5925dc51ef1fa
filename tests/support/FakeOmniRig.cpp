#include "FakeOmniRig.h"

std::string FakeRig::RigType()
{
    record(QStringLiteral("RigType"));
    return rigType;
}

std::int32_t FakeRig::ReadableParams()
{
    record(QStringLiteral("ReadableParams"));
    return readable;
}

bool FakeRig::IsParamReadable(std::int32_t param)
{
    record(QStringLiteral("IsParamReadable(%1)").arg(param));
    return param != 0 && (readable & param) == param;
}

bool FakeRig::IsParamWriteable(std::int32_t param)
{
    record(QStringLiteral("IsParamWriteable(%1)").arg(param));
    return param != 0 && (writeable & param) == param;
}

std::int32_t FakeRig::Status()
{
    record(QStringLiteral("Status"));
    return status;
}

std::string FakeRig::StatusStr()
{
    record(QStringLiteral("StatusStr"));
    return statusText;
}

std::int64_t FakeRig::Freq()
{
    record(QStringLiteral("Freq"));
    return freq;
}

void FakeRig::SetFreq(std::int64_t hertz)
{
    record(QStringLiteral("Freq=%1").arg(hertz));
    freq = hertz;
}

std::int64_t FakeRig::FreqA()
{
    record(QStringLiteral("FreqA"));
    return freqA;
}

void FakeRig::SetFreqA(std::int64_t hertz)
{
    record(QStringLiteral("FreqA=%1").arg(hertz));
    freqA = hertz;
}

std::int32_t FakeRig::Tx()
{
    record(QStringLiteral("Tx"));
    return tx;
}

std::int32_t FakeRig::Mode()
{
    record(QStringLiteral("Mode"));
    return mode;
}

void FakeRig::SetMode(std::int32_t value)
{
    record(QStringLiteral("Mode=%1").arg(value));
    mode = value;
}

void FakeRig::record(const QString &call)
{
    m_server.record(QStringLiteral("Rig%1.%2").arg(m_number).arg(call));
}

FakeOmniRig::FakeOmniRig()
{
    rig2.freq = 7074000;
    rig2.mode = OmniRig::PM_SSB_L;
}

QStringList FakeOmniRig::writes() const
{
    QStringList result;
    for (const QString &call : log)
        if (call.contains(QLatin1Char('=')))
            result << call;
    return result;
}

void FakeOmniRig::record(const QString &call)
{
    log << call;
    if (failAt && *failAt == call) {
        failAt.reset();
        throw OmniRigError("Fake failure at " + call.toStdString());
    }
}

IRigX *FakeOmniRig::Rig1()
{
    record(QStringLiteral("Rig1"));
    return &rig1;
}

IRigX *FakeOmniRig::Rig2()
{
    record(QStringLiteral("Rig2"));
    return &rig2;
}

bool FakeOmniRig::DialogVisible()
{
    record(QStringLiteral("DialogVisible"));
    return dialogVisible;
}

void FakeOmniRig::SetDialogVisible(bool visible)
{
    record(QStringLiteral("DialogVisible=%1").arg(visible ? 1 : 0));
    if (visible != dialogVisible) {
        dialogVisible = visible;
        raiseVisibleChange();
    }
}

int FakeOmniRig::Advise(IOmniRigXEvents *sink)
{
    if (refuseAdvise)
        throw OmniRigError("Advise refused");
    m_sinks.emplace_back(m_nextCookie, sink);
    return m_nextCookie++;
}

void FakeOmniRig::Unadvise(int cookie)
{
    std::erase_if(m_sinks, [cookie](const auto &entry) { return entry.first == cookie; });
}

void FakeOmniRig::raiseVisibleChange()
{
    for (const auto &[cookie, sink] : std::vector(m_sinks))
        sink->OnVisibleChange();
}

void FakeOmniRig::raiseRigTypeChange(int rig)
{
    for (const auto &[cookie, sink] : std::vector(m_sinks))
        sink->OnRigTypeChange(rig);
}

void FakeOmniRig::raiseStatusChange(int rig)
{
    for (const auto &[cookie, sink] : std::vector(m_sinks))
        sink->OnStatusChange(rig);
}

void FakeOmniRig::raiseParamsChange(int rig, std::int32_t params)
{
    for (const auto &[cookie, sink] : std::vector(m_sinks))
        sink->OnParamsChange(rig, params);
}

void FakeOmniRig::raiseCustomReply(int rig, const std::string &command, const std::string &reply)
{
    for (const auto &[cookie, sink] : std::vector(m_sinks))
        sink->OnCustomReply(rig, command, reply);
}

std::shared_ptr<IOmniRigX> FakeOmniRigFactory::GetActiveObject()
{
    ++activeCalls;
    return running ? server : nullptr;
}

std::shared_ptr<IOmniRigX> FakeOmniRigFactory::CreateInstance()
{
    ++createCalls;
    if (creationThrows)
        throw OmniRigError("Server cannot be created");
    if (!creatable)
        return nullptr;
    running = true;
    return server;
}
