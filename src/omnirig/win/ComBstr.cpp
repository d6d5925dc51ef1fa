#include "omnirig/win/ComBstr.h"

#include "omnirig/win/Utf8.h"

std::string ComBstr::toUtf8() const
{
    return ::toUtf8(std::wstring_view(m_text, m_text ? SysStringLen(m_text) : 0));
}
