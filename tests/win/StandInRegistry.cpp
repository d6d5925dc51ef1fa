#include "StandInRegistry.h"

#include <objbase.h>

namespace {

std::wstring guidText(const CLSID &clsid)
{
    wchar_t text[40] = {};
    StringFromGUID2(clsid, text, 40);
    return text;
}

std::wstring classKey(const CLSID &clsid)
{
    return L"CLSID\\" + guidText(clsid);
}

HRESULT setValue(HKEY key, const wchar_t *name, const std::wstring &value)
{
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return HRESULT_FROM_WIN32(
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()), bytes));
}

HRESULT setKey(const std::wstring &name, const std::wstring &value, const wchar_t *threadingModel = nullptr)
{
    HKEY key = nullptr;
    LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, name.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS)
        return HRESULT_FROM_WIN32(status);
    HRESULT result = setValue(key, nullptr, value);
    if (SUCCEEDED(result) && threadingModel)
        result = setValue(key, L"ThreadingModel", threadingModel);
    RegCloseKey(key);
    return result;
}

HRESULT deleteTree(const std::wstring &name)
{
    const LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, name.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(status);
}

} // namespace

std::wstring modulePath(HMODULE module)
{
    std::wstring path(MAX_PATH, L'\0');
    const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length);
    return path;
}

HRESULT registerClass(const CLSID &clsid, const wchar_t *serverKey, const std::wstring &command,
                      const wchar_t *threadingModel)
{
    return setKey(classKey(clsid) + L"\\" + serverKey, command, threadingModel);
}

HRESULT unregisterClass(const CLSID &clsid)
{
    return deleteTree(classKey(clsid));
}

HRESULT registerProgId(const CLSID &clsid, const wchar_t *progId)
{
    HRESULT result = setKey(std::wstring(progId) + L"\\CLSID", guidText(clsid));
    if (SUCCEEDED(result))
        result = setKey(classKey(clsid) + L"\\ProgID", progId);
    return result;
}

HRESULT unregisterProgId(const wchar_t *progId)
{
    return deleteTree(progId);
}
