// The process entry of the Windows program.
#include "VelkorMain.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    return velkorMain(instance, showCommand);
}
