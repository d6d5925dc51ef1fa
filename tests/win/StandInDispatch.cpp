#include "StandInDispatch.h"

#include "StandInModule.h"
#include "StandInRegistry.h"
#include "omnirig/win/ComPtr.h"

#include <map>

ITypeInfo *standInTypeInfo(const IID &iid)
{
    static ComPtr<ITypeLib> library = [] {
        ComPtr<ITypeLib> loaded;
        LoadTypeLibEx(modulePath(standInModule()).c_str(), REGKIND_NONE, loaded.put());
        return loaded;
    }();
    static std::map<GUID, ComPtr<ITypeInfo>, bool (*)(const GUID &, const GUID &)> infos(
        [](const GUID &a, const GUID &b) { return memcmp(&a, &b, sizeof a) < 0; });
    auto found = infos.find(iid);
    if (found == infos.end()) {
        ComPtr<ITypeInfo> info;
        if (library)
            library->GetTypeInfoOfGuid(iid, info.put());
        found = infos.emplace(iid, std::move(info)).first;
    }
    return found->second.get();
}

HRESULT standInTypeInfoCount(UINT *count)
{
    if (!count)
        return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT standInTypeInfoOf(const IID &iid, UINT index, ITypeInfo **info)
{
    if (!info)
        return E_POINTER;
    *info = nullptr;
    if (index != 0)
        return DISP_E_BADINDEX;
    ITypeInfo *found = standInTypeInfo(iid);
    if (!found)
        return TYPE_E_CANTLOADLIBRARY;
    found->AddRef();
    *info = found;
    return S_OK;
}

HRESULT standInIdsOfNames(const IID &iid, LPOLESTR *names, UINT count, DISPID *ids)
{
    ITypeInfo *info = standInTypeInfo(iid);
    return info ? DispGetIDsOfNames(info, names, count, ids) : TYPE_E_CANTLOADLIBRARY;
}

HRESULT standInInvoke(void *object, const IID &iid, DISPID id, WORD flags, DISPPARAMS *params, VARIANT *result,
                      EXCEPINFO *exception, UINT *argumentError)
{
    ITypeInfo *info = standInTypeInfo(iid);
    return info ? DispInvoke(object, info, id, flags, params, result, exception, argumentError)
                : TYPE_E_CANTLOADLIBRARY;
}
