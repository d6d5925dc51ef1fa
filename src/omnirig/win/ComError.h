// How a failed COM call reaches the panel: as the contract's OmniRigError, with a text an operator can read
// ("IRigX.Freq: OmniRig is no longer running (0x800706BA)").
#pragma once

#include <windows.h>

#include <string>

// call names the member, e.g. "IRigX.Freq".
std::string comErrorText(const char *call, HRESULT result);
[[noreturn]] void throwComError(const char *call, HRESULT result);

inline void checkCom(HRESULT result, const char *call)
{
    if (FAILED(result))
        throwComError(call, result);
}
