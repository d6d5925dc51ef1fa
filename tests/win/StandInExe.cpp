// The out-of-process stand-in: an EXE that COM starts with -Embedding. "/RegServer" registers its class, and
// OmniRig's own class, so that a program looking for OmniRig (velkor.exe in the panel's tests) starts and
// finds it, and the type libraries beside it, from which the universal marshaler builds the proxies of
// OmniRig's interfaces and of IStandInControl; "/UnregServer" undoes that.
#include "OmniRigStandIn.h"
#include "StandInControl.h"
#include "StandInFactory.h"
#include "StandInModule.h"
#include "StandInRegistry.h"
#include "omnirig/win/ComPtr.h"

#include <cstdio>
#include <string>
#include <utility>

namespace {

DWORD g_classCookie = 0;
DWORD g_omniRigCookie = 0;

const CLSID &exeClass()
{
    return CLSID_StandInExe;
}

bool isSwitch(const char *argument, const char *name)
{
    return (argument[0] == '/' || argument[0] == '-') && lstrcmpiA(argument + 1, name) == 0;
}

std::wstring folderOf(const std::wstring &path)
{
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

HRESULT registerLibrary(const std::wstring &path)
{
    ComPtr<ITypeLib> library;
    return LoadTypeLibEx(path.c_str(), REGKIND_REGISTER, library.put());
}

int registerServer()
{
    const std::wstring path = modulePath(nullptr);
    const std::wstring folder = folderOf(path);
    HRESULT result = registerClass(exeClass(), L"LocalServer32", L"\"" + path + L"\"", nullptr);
    if (SUCCEEDED(result))
        result = registerClass(OmniRigClass, L"LocalServer32", L"\"" + path + L"\"", nullptr);
    if (SUCCEEDED(result))
        result = registerLibrary(folder + L"OmniRigStandIn.tlb");
    if (SUCCEEDED(result))
        result = registerLibrary(folder + L"StandInControl.tlb");
    if (FAILED(result))
        std::fprintf(stderr, "registration failed: 0x%08lX\n", static_cast<unsigned long>(result));
    return FAILED(result) ? 1 : 0;
}

int unregisterServer()
{
    UnRegisterTypeLib(LIBID_OmniRigStandIn, 1, 0, LOCALE_NEUTRAL, SYS_WIN64);
    UnRegisterTypeLib(LIBID_StandInControl, 1, 0, LOCALE_NEUTRAL, SYS_WIN64);
    unregisterClass(OmniRigClass);
    return FAILED(unregisterClass(exeClass())) ? 1 : 0;
}

int serve()
{
    const ComPtr<StandInFactory> factory = ComPtr<StandInFactory>::adopt(new StandInFactory);
    HRESULT result = CoRegisterClassObject(exeClass(), factory.get(), CLSCTX_LOCAL_SERVER,
                                           REGCLS_MULTIPLEUSE | REGCLS_SUSPENDED, &g_classCookie);
    if (SUCCEEDED(result))
        result = CoRegisterClassObject(OmniRigClass, factory.get(), CLSCTX_LOCAL_SERVER,
                                       REGCLS_MULTIPLEUSE | REGCLS_SUSPENDED, &g_omniRigCookie);
    if (SUCCEEDED(result))
        result = CoResumeClassObjects();
    if (FAILED(result))
        return 1;
    // Ends when the last object has gone (standInUnlock).
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
    return exeClass();
}

bool standInOutOfProcess()
{
    return true;
}

void standInLock()
{
    CoAddRefServerProcess();
}

void standInUnlock()
{
    // At zero COM stops handing out this process's class object, so a new activation starts a new process.
    if (CoReleaseServerProcess() == 0)
        PostQuitMessage(0);
}

void standInWithdraw()
{
    if (g_classCookie)
        CoRevokeClassObject(std::exchange(g_classCookie, 0));
    if (g_omniRigCookie)
        CoRevokeClassObject(std::exchange(g_omniRigCookie, 0));
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
