// The mark on Windows: a named shared-memory section of 32 bytes, read-only, backed by the page file. Its
// name lives in the session's own namespace, so another user's session neither sees nor blocks it, and the
// system removes the section with the last handle, when the process ends, however it ends.
#include "panel/platform/InstanceMarker.h"

#include <windows.h>

bool InstanceMarker::claim(const std::string &name)
{
    if (m_handle != -1)
        return true;
    const HANDLE section = ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READONLY, 0, 32, name.c_str());
    if (!section)
        return true; // no mark to be had: this copy runs unmarked rather than refused
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(section);
        return false;
    }
    m_handle = reinterpret_cast<std::intptr_t>(section);
    return true;
}

void InstanceMarker::release()
{
    if (m_handle != -1)
        ::CloseHandle(reinterpret_cast<HANDLE>(m_handle));
    m_handle = -1;
}
