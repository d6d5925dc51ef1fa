// Windows' UTF-16 text to the contract's UTF-8 strings.
#pragma once

#include <string>
#include <string_view>

// An unpaired surrogate becomes U+FFFD rather than failing the whole text.
std::string toUtf8(std::wstring_view text);
