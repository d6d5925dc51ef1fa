#include "omnirig/win/ComEventSink.h"

#include "omnirig/win/ComVariant.h"
#include "omnirig/win/OmniRigCom.h"
#include "omnirig/win/Utf8.h"

#include <string>

namespace {

// The index-th argument in declaration order; DISPPARAMS holds the last one first.
const VARIANT *argument(const DISPPARAMS &params, UINT index)
{
    if (!params.rgvarg || index >= params.cArgs)
        return nullptr;
    return &params.rgvarg[params.cArgs - 1 - index];
}

bool longArgument(const DISPPARAMS &params, UINT index, long &value)
{
    const VARIANT *source = argument(params, index);
    ComVariant copy;
    if (!source || !copy.copyFrom(*source) || !copy.changeType(VT_I4))
        return false;
    value = V_I4(&copy.get());
    return true;
}

// A custom command or reply: OmniRig passes bytes as a one-dimensional byte array, text as a string.
std::string bytesArgument(const DISPPARAMS &params, UINT index)
{
    const VARIANT *source = argument(params, index);
    ComVariant copy;
    if (!source || !copy.copyFrom(*source))
        return {};
    const VARIANT &value = copy.get();
    const VARTYPE type = V_VT(&value);
    if (type == (VT_ARRAY | VT_UI1) || type == (VT_ARRAY | VT_I1)) {
        SAFEARRAY *array = V_ARRAY(&value);
        LONG lower = 0;
        LONG upper = -1;
        void *data = nullptr;
        if (!array || SafeArrayGetDim(array) != 1 || FAILED(SafeArrayGetLBound(array, 1, &lower)) ||
            FAILED(SafeArrayGetUBound(array, 1, &upper)) || upper < lower || FAILED(SafeArrayAccessData(array, &data)))
            return {};
        std::string bytes(static_cast<const char *>(data), static_cast<std::size_t>(upper - lower) + 1);
        SafeArrayUnaccessData(array);
        return bytes;
    }
    if (type == VT_EMPTY || type == VT_NULL || !copy.changeType(VT_BSTR))
        return {};
    const BSTR text = V_BSTR(&copy.get());
    return toUtf8(std::wstring_view(text, text ? SysStringLen(text) : 0));
}

} // namespace

ComPtr<ComEventSink> ComEventSink::create(IOmniRigXEvents *handler)
{
    return ComPtr<ComEventSink>::adopt(new ComEventSink(handler));
}

HRESULT ComEventSink::QueryInterface(REFIID iid, void **object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, OmniRig::Com::DIID_IOmniRigXEvents)) {
        *object = static_cast<IDispatch *>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG ComEventSink::AddRef()
{
    return ++m_references;
}

ULONG ComEventSink::Release()
{
    const ULONG left = --m_references;
    if (left == 0)
        delete this;
    return left;
}

HRESULT ComEventSink::GetTypeInfoCount(UINT *count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT ComEventSink::GetTypeInfo(UINT, LCID, ITypeInfo **info)
{
    if (info)
        *info = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT ComEventSink::GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *)
{
    return DISP_E_UNKNOWNNAME;
}

HRESULT ComEventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS *params, VARIANT *result, EXCEPINFO *,
                             UINT *badArgument)
{
    if (result)
        VariantInit(result);
    IOmniRigXEvents *handler = m_handler;
    if (!handler)
        return S_OK;
    // A handler may unsubscribe, and the server then let go of this sink, before the handler returns.
    AddRef();
    const ComPtr<ComEventSink> keepAlive = ComPtr<ComEventSink>::adopt(this);
    const DISPPARAMS none{};
    try {
        return deliver(*handler, id, params ? *params : none, badArgument);
    } catch (...) {
        // The handler stops at its failure, as every event handler of the panel does. Reporting it to the
        // server would gain nothing, and a server that stops raising an event at the first failing sink
        // would keep it from its other clients.
        return S_OK;
    }
}

HRESULT ComEventSink::deliver(IOmniRigXEvents &handler, DISPID id, const DISPPARAMS &params, UINT *badArgument)
{
    // badArgument counts in DISPPARAMS' reversed order.
    const auto bad = [&params, badArgument](UINT index) {
        if (badArgument)
            *badArgument = params.cArgs - 1 - index;
        return DISP_E_TYPEMISMATCH;
    };
    long rig = 0;
    switch (id) {
    case OmniRig::DISPID_OnVisibleChange:
        handler.OnVisibleChange();
        return S_OK;
    case OmniRig::DISPID_OnRigTypeChange:
    case OmniRig::DISPID_OnStatusChange:
        if (!longArgument(params, 0, rig))
            return params.cArgs < 1 ? DISP_E_BADPARAMCOUNT : bad(0);
        if (id == OmniRig::DISPID_OnRigTypeChange)
            handler.OnRigTypeChange(rig);
        else
            handler.OnStatusChange(rig);
        return S_OK;
    case OmniRig::DISPID_OnParamsChange: {
        long changed = 0;
        if (params.cArgs < 2)
            return DISP_E_BADPARAMCOUNT;
        if (!longArgument(params, 0, rig))
            return bad(0);
        if (!longArgument(params, 1, changed))
            return bad(1);
        handler.OnParamsChange(rig, changed);
        return S_OK;
    }
    case OmniRig::DISPID_OnCustomReply:
        if (params.cArgs < 3)
            return DISP_E_BADPARAMCOUNT;
        if (!longArgument(params, 0, rig))
            return bad(0);
        handler.OnCustomReply(rig, bytesArgument(params, 1), bytesArgument(params, 2));
        return S_OK;
    default:
        return S_OK;
    }
}
