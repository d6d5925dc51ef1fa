#include "omnirig/win/ComDispatch.h"

#include "omnirig/win/ComError.h"
#include "omnirig/win/ComVariant.h"
#include "omnirig/win/Utf8.h"

namespace {

VARIANT longValue(long value)
{
    VARIANT variant;
    VariantInit(&variant);
    V_VT(&variant) = VT_I4;
    V_I4(&variant) = value;
    return variant;
}

} // namespace

void ComDispatch::invoke(DISPID id, WORD flags, VARIANT *arguments, UINT count, VARTYPE type, VARIANT *result,
                         const char *call) const
{
    DISPID named = DISPID_PROPERTYPUT;
    const bool put = flags == DISPATCH_PROPERTYPUT;
    DISPPARAMS parameters{arguments, put ? &named : nullptr, count, put ? 1u : 0u};
    EXCEPINFO exception{};
    HRESULT hr = m_object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, result, &exception, nullptr);
    if (hr == DISP_E_EXCEPTION) {
        // What the server raised, by its code; the texts it may carry are not the operator's.
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
        hr = FAILED(exception.scode) ? exception.scode : E_FAIL;
    }
    checkCom(hr, call);
    if (result && V_VT(result) != type && FAILED(VariantChangeType(result, result, 0, type))) {
        VariantClear(result);
        throwComError(call, DISP_E_TYPEMISMATCH);
    }
}

long ComDispatch::getLong(DISPID id, const char *call) const
{
    ComVariant value;
    invoke(id, DISPATCH_PROPERTYGET, nullptr, 0, VT_I4, value.put(), call);
    return V_I4(&value.get());
}

bool ComDispatch::getBool(DISPID id, const char *call) const
{
    ComVariant value;
    invoke(id, DISPATCH_PROPERTYGET, nullptr, 0, VT_BOOL, value.put(), call);
    return V_BOOL(&value.get()) != VARIANT_FALSE;
}

std::string ComDispatch::getText(DISPID id, const char *call) const
{
    ComVariant value;
    invoke(id, DISPATCH_PROPERTYGET, nullptr, 0, VT_BSTR, value.put(), call);
    const BSTR text = V_BSTR(&value.get());
    return toUtf8(std::wstring_view(text, text ? SysStringLen(text) : 0));
}

ComPtr<IDispatch> ComDispatch::getObject(DISPID id, const char *call) const
{
    ComVariant value;
    invoke(id, DISPATCH_PROPERTYGET, nullptr, 0, VT_DISPATCH, value.put(), call);
    IDispatch *object = V_DISPATCH(&value.get());
    if (!object)
        throwComError(call, E_POINTER);
    object->AddRef();
    return ComPtr<IDispatch>::adopt(object);
}

void ComDispatch::putLong(DISPID id, long value, const char *call) const
{
    VARIANT argument = longValue(value);
    invoke(id, DISPATCH_PROPERTYPUT, &argument, 1, VT_EMPTY, nullptr, call);
}

void ComDispatch::putBool(DISPID id, bool value, const char *call) const
{
    VARIANT argument;
    VariantInit(&argument);
    V_VT(&argument) = VT_BOOL;
    V_BOOL(&argument) = value ? VARIANT_TRUE : VARIANT_FALSE;
    invoke(id, DISPATCH_PROPERTYPUT, &argument, 1, VT_EMPTY, nullptr, call);
}

bool ComDispatch::askBool(DISPID id, long argument, const char *call) const
{
    VARIANT given = longValue(argument);
    ComVariant value;
    invoke(id, DISPATCH_METHOD, &given, 1, VT_BOOL, value.put(), call);
    return V_BOOL(&value.get()) != VARIANT_FALSE;
}
