#include "panel/core/HexStr.h"

#include "text/CaseMapping.h"

bool IsNumericText(std::string_view text)
{
    if (text.empty())
        return false;
    for (const char c : text)
        if (c != ',' && c != '-' && c != '.' && (c < '0' || c > '9'))
            return false;
    return true;
}

std::string UpperCaseText(std::string_view text)
{
    return CaseMapping::toUpper(text);
}
