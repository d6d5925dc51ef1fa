// IDispatch of the stand-in's dual interfaces, from the type information of its own type library (a resource
// of its module, as OmniRig's is of OmniRig.exe): a client that reaches the server only through IDispatch gets
// the same members, by the dispatch ids of the library.
#pragma once

#include <windows.h>

#include <oaidl.h>

// The interface's type information, loaded once; null when the library cannot be loaded.
ITypeInfo *standInTypeInfo(const IID &iid);

// IDispatch's members for an object whose vtable is the interface iid's.
HRESULT standInTypeInfoCount(UINT *count);
HRESULT standInTypeInfoOf(const IID &iid, UINT index, ITypeInfo **info);
HRESULT standInIdsOfNames(const IID &iid, LPOLESTR *names, UINT count, DISPID *ids);
HRESULT standInInvoke(void *object, const IID &iid, DISPID id, WORD flags, DISPPARAMS *params, VARIANT *result,
                      EXCEPINFO *exception, UINT *argumentError);
