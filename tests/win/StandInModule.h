// What differs between the two stand-in servers, the in-process DLL and the out-of-process EXE: the class
// id each serves (the EXE OmniRig's own, as OmniRig.exe does), the module that holds its type libraries, and
// how the objects alive keep the DLL loaded or the EXE running.
#pragma once

#include <windows.h>

const CLSID &standInClass();
// OmniRig's own class, {0839E8C6-ED30-4950-8087-966F970F0CAE}, which the EXE serves.
inline constexpr CLSID OmniRigClass = {0x0839E8C6, 0xED30, 0x4950, {0x80, 0x87, 0x96, 0x6F, 0x97, 0x0F, 0x0C, 0xAE}};
bool standInOutOfProcess();
// The DLL or the EXE; null for the EXE, as GetModuleFileName takes it.
HMODULE standInModule();
// Every COM object of the stand-in holds one lock for its lifetime.
void standInLock();
void standInUnlock();
// The objects alive now.
long standInObjects();
// Stops handing out the class object, before the process is killed on purpose: Wine's rpcss would keep a
// killed server's registration and send every later activation to the dead process.
void standInWithdraw();
