#include "omnirig/win/ComRig.h"

#include "omnirig/win/ComBstr.h"
#include "omnirig/win/ComError.h"

#include <limits>

namespace Com = OmniRig::Com;

ComRig::ComRig(ComPtr<Com::IRigX> rig, ComPtr<IUnknown> identity)
    : m_rig(std::move(rig)), m_identity(std::move(identity))
{
}

std::int32_t ComRig::readLong(HRESULT (STDMETHODCALLTYPE Com::IRigX::*getter)(long *), const char *call)
{
    long value = 0;
    checkCom((m_rig.get()->*getter)(&value), call);
    return value;
}

std::string ComRig::RigType()
{
    ComBstr text;
    checkCom(m_rig->get_RigType(text.put()), "IRigX.RigType");
    return text.toUtf8();
}

std::int32_t ComRig::ReadableParams()
{
    return readLong(&Com::IRigX::get_ReadableParams, "IRigX.ReadableParams");
}

bool ComRig::IsParamReadable(std::int32_t param)
{
    VARIANT_BOOL readable = VARIANT_FALSE;
    checkCom(m_rig->IsParamReadable(param, &readable), "IRigX.IsParamReadable");
    // True is -1, but any non-zero value is taken as true.
    return readable != VARIANT_FALSE;
}

std::int32_t ComRig::Status()
{
    return readLong(&Com::IRigX::get_Status, "IRigX.Status");
}

std::string ComRig::StatusStr()
{
    ComBstr text;
    checkCom(m_rig->get_StatusStr(text.put()), "IRigX.StatusStr");
    return text.toUtf8();
}

std::int64_t ComRig::Freq()
{
    return readLong(&Com::IRigX::get_Freq, "IRigX.Freq");
}

void ComRig::SetFreq(std::int64_t hertz)
{
    if (hertz < std::numeric_limits<long>::min() || hertz > std::numeric_limits<long>::max())
        throw OmniRigError("IRigX.Freq: " + std::to_string(hertz) + " Hz is beyond OmniRig's range (up to " +
                           std::to_string(std::numeric_limits<long>::max()) + " Hz)");
    checkCom(m_rig->put_Freq(static_cast<long>(hertz)), "IRigX.Freq");
}

std::int32_t ComRig::Tx()
{
    return readLong(&Com::IRigX::get_Tx, "IRigX.Tx");
}

std::int32_t ComRig::Mode()
{
    return readLong(&Com::IRigX::get_Mode, "IRigX.Mode");
}

void ComRig::SetMode(std::int32_t mode)
{
    checkCom(m_rig->put_Mode(mode), "IRigX.Mode");
}
