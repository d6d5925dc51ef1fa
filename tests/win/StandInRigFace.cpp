#include "StandInRigFace.h"

namespace {

HRESULT give(LONG *target, long value)
{
    if (!target)
        return E_POINTER;
    *target = value;
    return S_OK;
}

} // namespace

HRESULT StandInRigFace::GetTypeInfoCount(UINT *count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT StandInRigFace::get_RigType(BSTR *value)
{
    if (!value)
        return E_POINTER;
    *value = SysAllocStringLen(rig().type.data(), static_cast<UINT>(rig().type.size()));
    return S_OK;
}

HRESULT StandInRigFace::get_ReadableParams(LONG *value)
{
    return give(value, rig().readable);
}

HRESULT StandInRigFace::IsParamReadable(LONG param, VARIANT_BOOL *value)
{
    if (!value)
        return E_POINTER;
    *value = (rig().readable & param) == param ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT StandInRigFace::get_Status(LONG *value)
{
    return give(value, rig().status);
}

HRESULT StandInRigFace::get_StatusStr(BSTR *value)
{
    if (!value)
        return E_POINTER;
    const auto &text = rig().statusText;
    *value = text ? SysAllocStringLen(text->data(), static_cast<UINT>(text->size())) : nullptr;
    return S_OK;
}

HRESULT StandInRigFace::get_Freq(LONG *value)
{
    return give(value, rig().freq);
}

HRESULT StandInRigFace::put_Freq(LONG value)
{
    rig().freq = value;
    written(0x2); // FREQ
    return S_OK;
}

HRESULT StandInRigFace::get_Tx(LONG *value)
{
    return give(value, rig().tx);
}

HRESULT StandInRigFace::get_Mode(LONG *value)
{
    return give(value, rig().mode);
}

HRESULT StandInRigFace::put_Mode(LONG value)
{
    rig().mode = value;
    written(value);
    return S_OK;
}

void StandInRigFace::written(long params)
{
    if (!m_state->eventOnWrite)
        return;
    StandInEvent event;
    event.id = 4; // ParamsChange
    event.rig = m_index + 1;
    event.params = params;
    m_state->raise(event);
}
