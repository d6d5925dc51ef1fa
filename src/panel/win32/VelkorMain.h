// velkorMain: the Windows program from its entry to its end, for velkor.exe and for the test build that looks
// inside it: the COM apartment, OmniRig's factory, the panel and its message loop.
// Threads: the process's main thread, which becomes the GUI thread.
#pragma once

#include <windows.h>

int velkorMain(HINSTANCE instance, int showCommand);
