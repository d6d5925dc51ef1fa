#include "omnirig/win/ComApartment.h"

#include "omnirig/win/ComError.h"

ComApartment::ComApartment()
{
    // S_FALSE (already in an apartment of this kind) also counts and is undone like S_OK.
    checkCom(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE), "CoInitializeEx");
}

ComApartment::~ComApartment()
{
    CoUninitialize();
}
