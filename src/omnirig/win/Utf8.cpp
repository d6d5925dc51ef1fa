#include "omnirig/win/Utf8.h"

#include <windows.h>

#include <limits>

std::string toUtf8(std::wstring_view text)
{
    if (text.empty() || text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max() / 3))
        return {};
    const int length = static_cast<int>(text.size());
    // At most 3 bytes per UTF-16 unit: a surrogate pair (2 units) gives 4 bytes.
    std::string result(text.size() * 3, '\0');
    const int written = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, result.data(),
                                            static_cast<int>(result.size()), nullptr, nullptr);
    result.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
    return result;
}
