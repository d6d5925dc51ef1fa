#include "omnirig/win/ComRig.h"

#include "omnirig/win/ComBstr.h"
#include "omnirig/win/ComError.h"

#include <limits>

namespace Com = OmniRig::Com;
namespace Id = OmniRig::Com::RigDispId;

ComRig::ComRig(ComPtr<Com::IRigX> rig, ComPtr<IUnknown> identity)
    : m_rig(std::move(rig)), m_identity(std::move(identity))
{
}

ComRig::ComRig(ComDispatch rig, ComPtr<IUnknown> identity) : m_dispatch(std::move(rig)), m_identity(std::move(identity))
{
}

std::int32_t ComRig::readLong(Getter getter, DISPID id, const char *call)
{
    if (m_dispatch)
        return m_dispatch->getLong(id, call);
    long value = 0;
    checkCom((m_rig.get()->*getter)(&value), call);
    return value;
}

void ComRig::writeLong(Setter setter, DISPID id, long value, const char *call)
{
    if (m_dispatch)
        return m_dispatch->putLong(id, value, call);
    checkCom((m_rig.get()->*setter)(value), call);
}

bool ComRig::ask(Question question, DISPID id, std::int32_t param, const char *call)
{
    if (m_dispatch)
        return m_dispatch->askBool(id, param, call);
    VARIANT_BOOL answer = VARIANT_FALSE;
    checkCom((m_rig.get()->*question)(param, &answer), call);
    // True is -1, but any non-zero value is taken as true.
    return answer != VARIANT_FALSE;
}

std::string ComRig::readText(HRESULT (STDMETHODCALLTYPE Com::IRigX::*getter)(BSTR *), DISPID id, const char *call)
{
    if (m_dispatch)
        return m_dispatch->getText(id, call);
    ComBstr text;
    checkCom((m_rig.get()->*getter)(text.put()), call);
    return text.toUtf8();
}

void ComRig::writeHertz(Setter setter, DISPID id, std::int64_t hertz, const char *call)
{
    if (hertz < std::numeric_limits<long>::min() || hertz > std::numeric_limits<long>::max())
        throw OmniRigError(std::string(call) + ": " + std::to_string(hertz) + " Hz is beyond OmniRig's range (up to " +
                           std::to_string(std::numeric_limits<long>::max()) + " Hz)");
    writeLong(setter, id, static_cast<long>(hertz), call);
}

std::string ComRig::RigType()
{
    return readText(&Com::IRigX::get_RigType, Id::RigType, "IRigX.RigType");
}

std::int32_t ComRig::ReadableParams()
{
    return readLong(&Com::IRigX::get_ReadableParams, Id::ReadableParams, "IRigX.ReadableParams");
}

bool ComRig::IsParamReadable(std::int32_t param)
{
    return ask(&Com::IRigX::IsParamReadable, Id::IsParamReadable, param, "IRigX.IsParamReadable");
}

bool ComRig::IsParamWriteable(std::int32_t param)
{
    return ask(&Com::IRigX::IsParamWriteable, Id::IsParamWriteable, param, "IRigX.IsParamWriteable");
}

std::int32_t ComRig::Status()
{
    return readLong(&Com::IRigX::get_Status, Id::Status, "IRigX.Status");
}

std::string ComRig::StatusStr()
{
    return readText(&Com::IRigX::get_StatusStr, Id::StatusStr, "IRigX.StatusStr");
}

std::int64_t ComRig::Freq()
{
    return readLong(&Com::IRigX::get_Freq, Id::Freq, "IRigX.Freq");
}

void ComRig::SetFreq(std::int64_t hertz)
{
    writeHertz(&Com::IRigX::put_Freq, Id::Freq, hertz, "IRigX.Freq");
}

std::int64_t ComRig::FreqA()
{
    return readLong(&Com::IRigX::get_FreqA, Id::FreqA, "IRigX.FreqA");
}

void ComRig::SetFreqA(std::int64_t hertz)
{
    writeHertz(&Com::IRigX::put_FreqA, Id::FreqA, hertz, "IRigX.FreqA");
}

std::int32_t ComRig::Tx()
{
    return readLong(&Com::IRigX::get_Tx, Id::Tx, "IRigX.Tx");
}

std::int32_t ComRig::Mode()
{
    return readLong(&Com::IRigX::get_Mode, Id::Mode, "IRigX.Mode");
}

void ComRig::SetMode(std::int32_t mode)
{
    writeLong(&Com::IRigX::put_Mode, Id::Mode, mode, "IRigX.Mode");
}
