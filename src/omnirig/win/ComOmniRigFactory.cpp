#include "omnirig/win/ComOmniRigFactory.h"

#include "omnirig/win/ComError.h"
#include "omnirig/win/ComOmniRig.h"
#include "omnirig/win/ComPtr.h"

#include <oleauto.h>

namespace {

std::shared_ptr<IOmniRigX> wrap(const ComPtr<IUnknown> &object, const char *call)
{
    HRESULT result = E_POINTER;
    ComPtr<OmniRig::Com::IOmniRigX> server =
        object.query<OmniRig::Com::IOmniRigX>(OmniRig::Com::IID_IOmniRigX, &result);
    if (server)
        return std::make_shared<ComOmniRig>(std::move(server));
    // No proxy of the interface's vtable to be had (a 64-bit client of the 32-bit server, whose interfaces
    // are registered in the 32-bit view only): its dual interface answers through IDispatch as well.
    ComPtr<IDispatch> dispatch = object.query<IDispatch>(IID_IDispatch);
    if (!dispatch)
        throwComError(call, result);
    return std::make_shared<ComOmniRig>(ComDispatch(std::move(dispatch)));
}

} // namespace

std::shared_ptr<IOmniRigX> ComOmniRigFactory::GetActiveObject()
{
    ComPtr<IUnknown> object;
    const HRESULT result = ::GetActiveObject(m_server, nullptr, object.put());
    if (result == MK_E_UNAVAILABLE)
        return nullptr;
    checkCom(result, "GetActiveObject");
    return wrap(object, "GetActiveObject");
}

std::shared_ptr<IOmniRigX> ComOmniRigFactory::CreateInstance()
{
    ComPtr<IUnknown> object;
    const HRESULT result = CoCreateInstance(m_server, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IUnknown,
                                            reinterpret_cast<void **>(object.put()));
    if (result == REGDB_E_CLASSNOTREG)
        return nullptr;
    checkCom(result, "CoCreateInstance");
    return wrap(object, "CoCreateInstance");
}
