// velkor_probe.exe: velkor.exe with a window into it for the panel's tests. Wine gives another process no
// access to a window's menus, so the menus are read here, inside, and written to a file the test names: a
// WM_COPYDATA to the panel with ProbeQuery as its dwData and the file's path (UTF-16) as its data. The file
// holds the system menu's entries, then the tray menu's, then the icon the notification area shows.
#include "panel/win32/VE2Z.h"
#include "panel/win32/VelkorMain.h"
#include "text/win32/WinText.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr ULONG_PTR ProbeQuery = 0x564B5052; // "VKPR"

std::string entries(HMENU menu, const char *title)
{
    std::string text = std::string(title) + "\n";
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        wchar_t caption[256] = {};
        item.dwTypeData = caption;
        item.cch = 255;
        GetMenuItemInfoW(menu, UINT(i), TRUE, &item);
        if (item.fType & MFT_SEPARATOR)
            text += "-\n";
        else
            text += std::to_string(item.wID) + "\t" + WinText::utf8(caption) + "\n";
    }
    return text;
}

bool answer(TSO2VPanel &panel, UINT message, WPARAM, LPARAM lParam, LRESULT &result)
{
    if (message != WM_COPYDATA)
        return false;
    const auto *data = reinterpret_cast<const COPYDATASTRUCT *>(lParam);
    if (data->dwData != ProbeQuery)
        return false;
    const std::wstring path(static_cast<const wchar_t *>(data->lpData), data->cbData / sizeof(wchar_t));
    std::string text = entries(GetSystemMenu(panel.handle(), FALSE), "system menu");
    text += entries(panel.trayMenu(), "tray menu");
    const char *icon = !panel.trayIconAdded()                            ? "none"
                       : panel.trayIcon() == panel.omniRigIcon()         ? "OMNIRIG"
                       : panel.trayIcon() && panel.trayIcon() != nullptr ? "MAINICON"
                                                                         : "empty";
    text += std::string("tray icon\n") + icon + "\n";
    std::ofstream(std::filesystem::path(path), std::ios::binary) << text;
    result = TRUE;
    return true;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    TSO2VPanel::setMessageHook(&answer);
    return velkorMain(instance, showCommand);
}
