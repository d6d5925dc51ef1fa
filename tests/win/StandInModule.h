// What differs between the two stand-in servers, the in-process DLL and the out-of-process EXE: the class
// id each serves, and how the objects alive keep the DLL loaded or the EXE running.
#pragma once

#include <windows.h>

const CLSID &standInClass();
bool standInOutOfProcess();
// Every COM object of the stand-in holds one lock for its lifetime.
void standInLock();
void standInUnlock();
// Stops handing out the class object, before the process is killed on purpose: Wine's rpcss would keep a
// killed server's registration and send every later activation to the dead process.
void standInWithdraw();
