// The process entry of the Windows program.
#include "panel/win32/VelkorMain.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    return velkorMain(instance, showCommand);
}
