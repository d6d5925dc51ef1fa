#include "StandInRigFace.h"

#include "StandInDispatch.h"

namespace {

constexpr long Unknown = 0x1; // PM_UNKNOWN

HRESULT give(LONG *target, long value)
{
    if (!target)
        return E_POINTER;
    *target = value;
    return S_OK;
}

HRESULT giveText(BSTR *target, const wchar_t *text, std::size_t length)
{
    if (!target)
        return E_POINTER;
    *target = text ? SysAllocStringLen(text, static_cast<UINT>(length)) : nullptr;
    return S_OK;
}

HRESULT giveBool(VARIANT_BOOL *target, bool value)
{
    if (!target)
        return E_POINTER;
    *target = value ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

} // namespace

HRESULT StandInRigFace::GetTypeInfoCount(UINT *count)
{
    return standInTypeInfoCount(count);
}

HRESULT StandInRigFace::GetTypeInfo(UINT index, LCID, ITypeInfo **info)
{
    return standInTypeInfoOf(IID_IRigX, index, info);
}

HRESULT StandInRigFace::GetIDsOfNames(REFIID, LPOLESTR *names, UINT count, LCID, DISPID *ids)
{
    return standInIdsOfNames(IID_IRigX, names, count, ids);
}

HRESULT StandInRigFace::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS *params, VARIANT *result,
                               EXCEPINFO *exception, UINT *argumentError)
{
    return standInInvoke(static_cast<IRigX *>(this), IID_IRigX, id, flags, params, result, exception, argumentError);
}

HRESULT StandInRigFace::get_RigType(BSTR *value)
{
    if (rig().shown)
        return giveText(value, rig().shown->type.data(), rig().shown->type.size());
    const wchar_t *type = rig().definition ? rig().definition->type : L"NONE";
    return giveText(value, type, wcslen(type));
}

HRESULT StandInRigFace::get_ReadableParams(LONG *value)
{
    if (rig().shown)
        return give(value, rig().shown->readable);
    return give(value, rig().definition ? rig().definition->readable : 0);
}

HRESULT StandInRigFace::get_WriteableParams(LONG *value)
{
    return give(value, rig().definition ? rig().definition->writeable : 0);
}

HRESULT StandInRigFace::IsParamReadable(LONG param, VARIANT_BOOL *value)
{
    LONG readable = 0;
    get_ReadableParams(&readable);
    // True when any of the bits asked about is readable.
    return giveBool(value, (readable & param) != 0);
}

HRESULT StandInRigFace::IsParamWriteable(LONG param, VARIANT_BOOL *value)
{
    LONG writeable = 0;
    get_WriteableParams(&writeable);
    return giveBool(value, (writeable & param) != 0);
}

HRESULT StandInRigFace::get_Status(LONG *value)
{
    return give(value, rig().shown ? rig().shown->status : rig().status);
}

HRESULT StandInRigFace::get_StatusStr(BSTR *value)
{
    if (rig().shown) {
        const auto &text = rig().shown->statusText;
        return giveText(value, text ? text->data() : nullptr, text ? text->size() : 0);
    }
    const wchar_t *text = StandInState::statusText(rig().status);
    return giveText(value, text, wcslen(text));
}

HRESULT StandInRigFace::get_Freq(LONG *value)
{
    return give(value, rig().shown ? rig().shown->freq : rig().freq);
}

HRESULT StandInRigFace::put_Freq(LONG value)
{
    StandInState::instance().writeFrequency(m_index, 0x2, value);
    return S_OK;
}

HRESULT StandInRigFace::get_FreqA(LONG *value)
{
    return give(value, rig().freqA);
}

HRESULT StandInRigFace::put_FreqA(LONG value)
{
    StandInState::instance().writeFrequency(m_index, 0x4, value);
    return S_OK;
}

HRESULT StandInRigFace::get_FreqB(LONG *value)
{
    return give(value, rig().freqB);
}

HRESULT StandInRigFace::put_FreqB(LONG value)
{
    StandInState::instance().writeFrequency(m_index, 0x8, value);
    return S_OK;
}

HRESULT StandInRigFace::get_Vfo(LONG *value)
{
    return give(value, Unknown);
}

HRESULT StandInRigFace::get_Split(LONG *value)
{
    return give(value, Unknown);
}

HRESULT StandInRigFace::get_Tx(LONG *value)
{
    return give(value, rig().shown ? rig().shown->tx : rig().tx);
}

HRESULT StandInRigFace::get_Mode(LONG *value)
{
    return give(value, rig().shown ? rig().shown->mode : rig().mode);
}

HRESULT StandInRigFace::put_Mode(LONG value)
{
    StandInState::instance().writeMode(m_index, value);
    return S_OK;
}

HRESULT StandInRigFace::SendCustomCommand(VARIANT command, LONG, VARIANT)
{
    StandInState::instance().sendCustom(m_index, m_server, command);
    return S_OK;
}
