// The out-of-process stand-in: a 32-bit EXE registered and found as OmniRig.exe is. "/RegServer" registers
// OmniRig's class under LocalServer32 with the ProgID "OmniRig.OmniRigX", and the type libraries inside the
// EXE (its resources 1 and 2: OmniRig's interfaces and IStandInControl), from this 32-bit process, so under
// win32 only; the universal marshaler builds the proxies of their interfaces from them. "/UnregServer" undoes
// that. COM starts it with -Embedding; it serves every activation with a new server object and is never in the
// running object table, so a client reaches it through CoCreateInstance alone.
#include "OmniRigStandIn.h"
#include "StandInControl.h"
#include "StandInFactory.h"
#include "StandInModule.h"
#include "StandInRegistry.h"
#include "StandInState.h"
#include "omnirig/win/ComPtr.h"

#include <atomic>
#include <cstdio>
#include <string>
#include <utility>

namespace {

constexpr const wchar_t *ProgId = L"OmniRig.OmniRigX";

DWORD g_classCookie = 0;
std::atomic<long> g_objects{0};
// With its last object gone the process lingers a moment, so that a client that comes straight after is served
// here rather than by a process that is ending (Wine keeps handing a class object out until it is revoked);
// then it withdraws its class object, and ends once activations already on their way have been answered.
constexpr UINT LingerMs = 3000;
constexpr UINT LastCallsMs = 500;
UINT_PTR g_linger = 0;
bool g_withdrawn = false;

void CALLBACK endIfIdle(HWND, UINT, UINT_PTR, DWORD)
{
    KillTimer(nullptr, std::exchange(g_linger, 0));
    if (g_objects != 0)
        return;
    if (!g_withdrawn) {
        g_withdrawn = true;
        standInWithdraw();
        g_linger = SetTimer(nullptr, 0, LastCallsMs, endIfIdle);
        return;
    }
    PostQuitMessage(0);
}

bool isSwitch(const char *argument, const char *name)
{
    return (argument[0] == '/' || argument[0] == '-') && lstrcmpiA(argument + 1, name) == 0;
}

// path names the module, and after a backslash the library's resource when it is not the first.
HRESULT registerLibrary(const std::wstring &path)
{
    ComPtr<ITypeLib> library;
    HRESULT result = LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.put());
    // Registered under the path as given: Wine's own registration would leave out the resource's number.
    if (SUCCEEDED(result))
        result = RegisterTypeLib(library.get(), std::wstring(path).data(), nullptr);
    return result;
}

int registerServer()
{
    const std::wstring path = modulePath(nullptr);
    HRESULT result = registerClass(OmniRigClass, L"LocalServer32", L"\"" + path + L"\"", nullptr);
    if (SUCCEEDED(result))
        result = registerProgId(OmniRigClass, ProgId);
    if (SUCCEEDED(result))
        result = registerLibrary(path);
    if (SUCCEEDED(result))
        result = registerLibrary(path + L"\\2");
    if (FAILED(result))
        std::fprintf(stderr, "registration failed: 0x%08lX\n", static_cast<unsigned long>(result));
    return FAILED(result) ? 1 : 0;
}

int unregisterServer()
{
    UnRegisterTypeLib(LIBID_OmniRigStandIn, 1, 0, LOCALE_NEUTRAL, SYS_WIN32);
    UnRegisterTypeLib(LIBID_StandInControl, 1, 0, LOCALE_NEUTRAL, SYS_WIN32);
    unregisterProgId(ProgId);
    return FAILED(unregisterClass(OmniRigClass)) ? 1 : 0;
}

int serve()
{
    // Started by COM, it may be handed its first client's folder: it keeps none of its clients' folders busy.
    const std::wstring path = modulePath(nullptr);
    SetCurrentDirectoryW(path.substr(0, path.find_last_of(L"\\/") + 1).c_str());
    const ComPtr<StandInFactory> factory = ComPtr<StandInFactory>::adopt(new StandInFactory);
    HRESULT result = CoRegisterClassObject(OmniRigClass, factory.get(), CLSCTX_LOCAL_SERVER,
                                           REGCLS_MULTIPLEUSE | REGCLS_SUSPENDED, &g_classCookie);
    if (SUCCEEDED(result))
        result = CoResumeClassObjects();
    if (FAILED(result))
        return 1;
    // Ends a moment after the last object has gone (standInUnlock).
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    standInWithdraw();
    return 0;
}

} // namespace

const CLSID &standInClass()
{
    return OmniRigClass;
}

bool standInOutOfProcess()
{
    return true;
}

HMODULE standInModule()
{
    return nullptr;
}

void standInLock()
{
    ++g_objects;
    CoAddRefServerProcess();
    if (g_linger)
        KillTimer(nullptr, std::exchange(g_linger, 0));
}

void standInUnlock()
{
    // With its last object gone the stand-in starts afresh, as a new process of OmniRig would.
    if (--g_objects == 0)
        StandInState::instance().reset();
    if (CoReleaseServerProcess() == 0 && !g_linger)
        g_linger = SetTimer(nullptr, 0, g_withdrawn ? LastCallsMs : LingerMs, endIfIdle);
}

long standInObjects()
{
    return g_objects;
}

void standInWithdraw()
{
    if (g_classCookie)
        CoRevokeClassObject(std::exchange(g_classCookie, 0));
}

int main(int argc, char **argv)
{
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 1;
    int exitCode = 0;
    if (argc > 1 && isSwitch(argv[1], "RegServer"))
        exitCode = registerServer();
    else if (argc > 1 && isSwitch(argv[1], "UnregServer"))
        exitCode = unregisterServer();
    else
        exitCode = serve();
    CoUninitialize();
    return exitCode;
}
