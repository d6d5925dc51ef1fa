#include "ini/IniText.h"

#include "text/CaseMapping.h"

#include <algorithm>
#include <cstddef>

namespace IniText {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// A byte range [begin, end) of the text.
struct Span {
    std::size_t begin;
    std::size_t end;
    bool isEmpty() const { return begin == end; }
};

Span trimmed(std::string_view text, Span span)
{
    while (span.begin < span.end && isBlank(text[span.begin]))
        ++span.begin;
    while (span.end > span.begin && isBlank(text[span.end - 1]))
        --span.end;
    return span;
}

std::string_view trimmedName(std::string_view name)
{
    const Span span = trimmed(name, {0, name.size()});
    return name.substr(span.begin, span.end - span.begin);
}

std::size_t indexIn(std::string_view text, char c, Span span)
{
    const std::size_t found = text.substr(0, span.end).find(c, span.begin);
    return found == std::string_view::npos ? std::string_view::npos : found;
}

// A name as the caller spells it, trimmed as the file's names are, compared without regard to case.
class Name {
public:
    explicit Name(std::string_view name) : m_text(trimmedName(name)) {}

    std::string_view text() const { return m_text; }
    bool matches(std::string_view text, Span span) const
    {
        return sameName(text.substr(span.begin, span.end - span.begin), m_text);
    }

private:
    std::string_view m_text;
};

// Where a key sits in the text, as byte offsets.
struct Location {
    bool sectionFound = false;
    bool keyFound = false;
    Span value{0, 0};         // the trimmed value, quotes included, when keyFound
    std::size_t insertAt = 0; // when only the section was found: the end of its last key line or its header
};

Location locate(std::string_view text, const Name &section, const Name &key)
{
    Location location;
    std::size_t pos = text.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    while (pos < text.size()) {
        const std::size_t newline = text.find('\n', pos);
        const std::size_t contentEnd = newline == std::string_view::npos ? text.size() : newline;
        const std::size_t lineEnd = newline == std::string_view::npos ? text.size() : newline + 1;
        const Span line = trimmed(text, {pos, contentEnd});
        pos = lineEnd;
        if (line.isEmpty() || text[line.begin] == ';')
            continue;

        // A '[' line without ']' is not a header; like Windows, it may still hold a key.
        const std::size_t close = text[line.begin] == '[' ? indexIn(text, ']', line) : std::string_view::npos;
        if (close != std::string_view::npos) {
            // Only the first section of a name counts, so its end ends the search.
            if (location.sectionFound)
                break;
            if (section.matches(text, trimmed(text, {line.begin + 1, close}))) {
                location.sectionFound = true;
                location.insertAt = lineEnd;
            }
            continue;
        }

        const std::size_t equals = location.sectionFound ? indexIn(text, '=', line) : std::string_view::npos;
        if (equals == std::string_view::npos)
            continue;
        location.insertAt = lineEnd;
        if (key.matches(text, trimmed(text, {line.begin, equals}))) {
            location.keyFound = true;
            location.value = trimmed(text, {equals + 1, line.end});
            if (location.value.isEmpty())
                location.value = {equals + 1, equals + 1};
            return location;
        }
    }
    return location;
}

// New lines follow the file's own line ends, judged by its first one; a text without one takes the given one.
std::string_view lineEndOf(std::string_view text, std::string_view newLineEnd)
{
    const std::size_t newline = text.find('\n');
    if (newline == std::string_view::npos)
        return newLineEnd;
    return newline > 0 && text[newline - 1] == '\r' ? "\r\n" : "\n";
}

bool hasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

} // namespace

bool sameName(std::string_view a, std::string_view b)
{
    return CaseMapping::equalIgnoringCase(a, b);
}

std::optional<std::string> find(std::string_view text, std::string_view section, std::string_view key)
{
    const Location location = locate(text, Name(section), Name(key));
    if (!location.keyFound)
        return std::nullopt;
    Span value = location.value;
    if (value.end - value.begin >= 2) {
        const char first = text[value.begin];
        if ((first == '"' || first == '\'') && text[value.end - 1] == first) {
            ++value.begin;
            --value.end;
        }
    }
    return std::string(text.substr(value.begin, value.end - value.begin));
}

bool canStore(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string_view sectionName = trimmedName(section);
    const std::string_view keyName = trimmedName(key);
    if (sectionName.empty() || keyName.empty())
        return false;
    if (hasLineBreak(sectionName) || hasLineBreak(keyName) || hasLineBreak(value))
        return false;
    if (sectionName.find(']') != std::string_view::npos || keyName.find('=') != std::string_view::npos)
        return false;
    return keyName.front() != ';' && keyName.front() != '[';
}

std::string withValue(std::string_view text, std::string_view section, std::string_view key, std::string_view value,
                      std::string_view newLineEnd)
{
    const Name sectionName(section);
    const Name keyName(key);
    const Location location = locate(text, sectionName, keyName);
    std::string result(text);
    if (location.keyFound)
        return result.replace(location.value.begin, location.value.end - location.value.begin, value);

    const std::string_view lineEnd = lineEndOf(text, newLineEnd);
    std::string keyLine = std::string(keyName.text()) + '=' + std::string(value) + std::string(lineEnd);
    const std::size_t bodyStart = text.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    const bool lastLineOpen = text.size() > bodyStart && !text.ends_with('\n');
    if (location.sectionFound) {
        const bool atOpenEnd = location.insertAt == text.size() && lastLineOpen;
        return result.insert(location.insertAt, (atOpenEnd ? std::string(lineEnd) : std::string()) + keyLine);
    }
    if (lastLineOpen)
        result += lineEnd;
    return result + '[' + std::string(sectionName.text()) + ']' + std::string(lineEnd) + keyLine;
}

} // namespace IniText
