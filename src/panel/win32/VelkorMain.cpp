#include "panel/win32/VelkorMain.h"

#include "omnirig/TOmniRigX.h"
#include "omnirig/win/ComApartment.h"
#include "omnirig/win/ComOmniRigFactory.h"
#include "panel/win32/VE2Z.h"
#include "text/win32/WinText.h"

#include <shellapi.h>

#include <exception>
#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::string> commandLine()
{
    std::vector<std::string> arguments;
    int count = 0;
    if (LPWSTR *words = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i)
            arguments.push_back(WinText::utf8(words[i]));
        LocalFree(words);
    }
    return arguments;
}

std::string currentDirectory()
{
    std::wstring folder(MAX_PATH, L'\0');
    DWORD length = GetCurrentDirectoryW(DWORD(folder.size()), folder.data());
    if (length > folder.size()) {
        folder.resize(length);
        length = GetCurrentDirectoryW(DWORD(folder.size()), folder.data());
    }
    folder.resize(length);
    return WinText::utf8(folder);
}

} // namespace

int velkorMain(HINSTANCE instance, int showCommand)
{
    try {
        // OmniRig's events come to this thread through its messages.
        const ComApartment apartment;
        TSO2VPanel::setApplicationTitle("Velkor using OmniRig");
        TOmniRigX::setDefaultFactory(std::make_shared<ComOmniRigFactory>());
        int code = 1;
        {
            TSO2VPanel panel(instance, commandLine(), currentDirectory());
            if (!panel.startupEnded()) {
                panel.show(showCommand);
                code = panel.run();
            }
        }
        TOmniRigX::setDefaultFactory(nullptr);
        return code;
    } catch (const std::exception &error) {
        MessageBoxW(nullptr, WinText::wide(error.what()).c_str(), L"VELKOR", MB_OK | MB_ICONSTOP);
        return 1;
    }
}
