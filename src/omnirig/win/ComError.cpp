#include "omnirig/win/ComError.h"

#include "omnirig/OmniRig_TLB.h"
#include "omnirig/win/Utf8.h"

#include <array>
#include <cstdio>
#include <cwctype>

namespace {

constexpr HRESULT fromWin32(DWORD code)
{
    return static_cast<HRESULT>((code & 0xFFFF) | (FACILITY_WIN32 << 16) | 0x80000000u);
}

// What a call on a proxy returns once the server's process has ended or dropped the object.
bool serverGone(HRESULT result)
{
    switch (result) {
    case RPC_E_DISCONNECTED:
    case RPC_E_SERVER_DIED:
    case RPC_E_SERVER_DIED_DNE:
    case CO_E_OBJNOTCONNECTED:
    case fromWin32(RPC_S_SERVER_UNAVAILABLE):
    case fromWin32(RPC_S_CALL_FAILED):
    case fromWin32(RPC_S_CALL_FAILED_DNE):
        return true;
    default:
        return false;
    }
}

std::string systemText(HRESULT result)
{
    wchar_t *buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(result), 0, reinterpret_cast<wchar_t *>(&buffer), 0, nullptr);
    std::wstring text(buffer ? buffer : L"", length);
    LocalFree(buffer);
    // The system's texts end in a full stop and a line break; the panel's error display adds its own stop.
    while (!text.empty() && (iswspace(text.back()) || text.back() == L'.'))
        text.pop_back();
    return toUtf8(text);
}

} // namespace

std::string comErrorText(const char *call, HRESULT result)
{
    std::array<char, 16> code{};
    std::snprintf(code.data(), code.size(), "0x%08lX", static_cast<unsigned long>(result));
    std::string reason = serverGone(result) ? "OmniRig is no longer running" : systemText(result);
    if (reason.empty())
        return std::string(call) + " failed (" + code.data() + ")";
    return std::string(call) + ": " + reason + " (" + code.data() + ")";
}

void throwComError(const char *call, HRESULT result)
{
    throw OmniRigError(comErrorText(call, result));
}
