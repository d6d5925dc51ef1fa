// Registering a stand-in's class under HKEY_CLASSES_ROOT (Wine reads classes only from there, not from a
// user's own classes).
#pragma once

#include <windows.h>

#include <string>

std::wstring modulePath(HMODULE module);
// CLSID\{class}\<serverKey> = command, with ThreadingModel when given.
HRESULT registerClass(const CLSID &clsid, const wchar_t *serverKey, const std::wstring &command,
                      const wchar_t *threadingModel);
HRESULT unregisterClass(const CLSID &clsid);
// <progId>\CLSID = {class}, and CLSID\{class}\ProgID = progId.
HRESULT registerProgId(const CLSID &clsid, const wchar_t *progId);
HRESULT unregisterProgId(const wchar_t *progId);
