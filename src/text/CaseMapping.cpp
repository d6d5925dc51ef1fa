#include "text/CaseMapping.h"

namespace CaseMapping {
namespace {

void append(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

} // namespace

char32_t decode(std::string_view s, std::size_t pos, std::size_t &length)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char first = byte(pos);
    length = 1;
    if (first < 0x80)
        return first;
    const std::size_t size = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC2 ? 2 : 0;
    if (size == 0 || first > 0xF4 || pos + size > s.size())
        return 0x110000 + first;
    char32_t c = first & (0x7F >> size);
    for (std::size_t i = 1; i < size; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80)
            return 0x110000 + first;
        c = (c << 6) | (byte(pos + i) & 0x3F);
    }
    const bool overlong = (size == 3 && c < 0x800) || (size == 4 && c < 0x10000);
    if (overlong || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0x110000 + first;
    length = size;
    return c;
}

char32_t lower(char32_t c)
{
    if (c >= 'A' && c <= 'Z')
        return c + 0x20;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) || (c >= 0x410 && c <= 0x42F))
        return c + 0x20;
    if (c >= 0x400 && c <= 0x40F)
        return c + 0x50;
    // Latin Extended-A pairs capital and small letters side by side, capitals first; the runs from Ĺ to Ň
    // and from Ź to Ž start on an odd code point.
    if ((c >= 0x100 && c <= 0x137 && c != 0x130 && c != 0x131) || (c >= 0x14A && c <= 0x177))
        return c | 1;
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
        return (c & 1) ? c + 1 : c;
    if (c == 0x178)
        return 0xFF;
    if (c == 0x3C2) // final sigma matches sigma
        return 0x3C3;
    return c;
}

char32_t upper(char32_t c)
{
    if (c >= 'a' && c <= 'z')
        return c - 0x20;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) || (c >= 0x430 && c <= 0x44F))
        return c - 0x20;
    if (c == 0x3C2) // final sigma
        return 0x3A3;
    if (c >= 0x450 && c <= 0x45F)
        return c - 0x50;
    if ((c >= 0x100 && c <= 0x137 && c != 0x130 && c != 0x131) || (c >= 0x14A && c <= 0x177))
        return c & ~char32_t(1);
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
        return (c & 1) ? c : c - 1;
    if (c == 0xFF)
        return 0x178;
    return c;
}

std::string toUpper(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t length = 0;
        const char32_t c = decode(text, pos, length);
        if (c >= 0x110000)
            out += text[pos];
        else
            append(out, upper(c));
        pos += length;
    }
    return out;
}

bool equalIgnoringCase(std::string_view a, std::string_view b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        std::size_t lengthA = 0;
        std::size_t lengthB = 0;
        if (lower(decode(a, i, lengthA)) != lower(decode(b, j, lengthB)))
            return false;
        i += lengthA;
        j += lengthB;
    }
    return i == a.size() && j == b.size();
}

} // namespace CaseMapping
