// The installer (velkor-<version>-win32-setup.exe) under Wine, used as an operator uses it: installed without a
// window, the program started exactly as its Start-menu shortcut starts it, and uninstalled as the list of
// installed programs does it. The program finds the stand-in OmniRig that the fixture registered as OmniRig.
#include "WineTest.h"
#include "omnirig/win/ComApartment.h"
#include "omnirig/win/ComPtr.h"

#include <shlobj.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

PROCESS_INFORMATION start(std::wstring command, const wchar_t *folder = nullptr)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder, &startup, &process);
    return process;
}

// The exit code once the process has ended; ~0 when it did not start or end within a minute.
DWORD exitCode(const PROCESS_INFORMATION &process)
{
    DWORD code = ~0u;
    if (process.hProcess && WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return code;
}

bool within(const std::function<bool()> &done)
{
    for (const ULONGLONG deadline = GetTickCount64() + 30000; !done(); Sleep(50))
        if (GetTickCount64() > deadline)
            return false;
    return true;
}

} // namespace

WINE_TEST(installedStartedAsItsShortcutStartsItAndUninstalled)
{
    const ComApartment apartment;
    const fs::path program = fs::path(_wgetenv(L"LOCALAPPDATA")) / L"Programs\\VELKOR";
    const fs::path settings = fs::path(_wgetenv(L"APPDATA")) / L"VELKOR";
    const fs::path shortcut = fs::path(_wgetenv(L"APPDATA")) / L"Microsoft\\Windows\\Start Menu\\Programs\\VELKOR.lnk";
    const wchar_t *entry = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VELKOR";
    fs::remove_all(settings); // what an earlier run left
    CHECK_EQ(exitCode(start(L"\"Z:" + fs::path(VELKOR_INSTALLER).make_preferred().wstring() + L"\" /S")), 0ul);

    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    CHECK(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                     reinterpret_cast<void **>(link.put()))) &&
          SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(file.put()))) &&
          SUCCEEDED(file->Load(shortcut.c_str(), STGM_READ)));
    wchar_t target[MAX_PATH] = {}, arguments[MAX_PATH] = {}, folder[MAX_PATH] = {};
    link->GetPath(target, MAX_PATH, nullptr, 0);
    link->GetArguments(arguments, MAX_PATH);
    link->GetWorkingDirectory(folder, MAX_PATH);
    CHECK(fs::path(target) == program / L"velkor.exe" && fs::path(folder) == settings);
    const PROCESS_INFORMATION velkor = start(L"\"" + std::wstring(target) + L"\" " + arguments, folder);
    HWND panel = nullptr;
    CHECK(within([&] { return (panel = FindWindowW(L"TSO2VPanel", L"VE2Z")) && IsWindowVisible(panel); }));
    {
        std::ifstream ini(settings / L"VELKOR.INI", std::ios::binary);
        CHECK_EQ(std::string(std::istreambuf_iterator<char>(ini), {}),
                 "[VE2Z]\r\nOFFSET=0\r\nSHIFT=YES\r\nTRACK=0\r\n");
    }

    // While the program runs, the uninstaller (run in place, to have its answer) refuses and takes nothing away.
    CHECK_EQ(exitCode(start(L"\"" + (program / L"uninstall.exe").wstring() + L"\" /S _?=" + program.wstring())), 2ul);
    CHECK(fs::exists(program / L"velkor.exe") && fs::exists(program / L"uninstall.exe") && fs::exists(shortcut));
    PostMessageW(panel, WM_CLOSE, 0, 0);
    CHECK_EQ(exitCode(velkor), 0ul);

    wchar_t uninstall[MAX_PATH] = {};
    DWORD size = sizeof uninstall;
    CHECK(RegGetValueW(HKEY_CURRENT_USER, entry, L"UninstallString", RRF_RT_REG_SZ, nullptr, uninstall, &size) ==
          ERROR_SUCCESS);
    // It copies itself away to remove itself, and returns at once.
    CHECK_EQ(exitCode(start(uninstall + std::wstring(L" /S"))), 0ul);
    CHECK(within([&] { return !fs::exists(program) && !fs::exists(shortcut); }));
    HKEY key = nullptr;
    CHECK(RegOpenKeyExW(HKEY_CURRENT_USER, entry, 0, KEY_READ, &key) == ERROR_FILE_NOT_FOUND);
    CHECK(fs::exists(settings / L"VELKOR.INI"));
    fs::remove_all(settings);
}
