#include "IniText.h"

#include <algorithm>

namespace IniText {
namespace {

const QByteArray kByteOrderMark("\xEF\xBB\xBF");

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

bool isAscii(const char *begin, const char *end)
{
    return std::all_of(begin, end, [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// A byte range [begin, end) of the text.
struct Span {
    qsizetype begin;
    qsizetype end;
    bool isEmpty() const { return begin == end; }
};

Span trimmed(const QByteArray &text, Span span)
{
    while (span.begin < span.end && isBlank(text[span.begin]))
        ++span.begin;
    while (span.end > span.begin && isBlank(text[span.end - 1]))
        --span.end;
    return span;
}

qsizetype indexIn(const QByteArray &text, char c, Span span)
{
    const char *end = text.constData() + span.end;
    const char *found = std::find(text.constData() + span.begin, end, c);
    return found == end ? -1 : found - text.constData();
}

// A name as the caller spells it, trimmed as the file's names are, compared without regard to case.
class Name {
public:
    explicit Name(const QString &name) : m_text(trimmedName(name)), m_utf8(m_text.toUtf8())
    {
        m_ascii = isAscii(m_utf8.cbegin(), m_utf8.cend());
    }

    const QString &text() const { return m_text; }

    bool matches(const QByteArray &text, Span span) const
    {
        const char *stored = text.constData() + span.begin;
        const qsizetype size = span.end - span.begin;
        // Most names are ASCII on both sides; only the others need Unicode case folding.
        if (m_ascii && isAscii(stored, stored + size))
            return size == m_utf8.size() && std::equal(stored, stored + size, m_utf8.cbegin(),
                                                       [](char a, char b) { return asciiLower(a) == asciiLower(b); });
        return QString::fromUtf8(stored, size).compare(m_text, Qt::CaseInsensitive) == 0;
    }

private:
    static QString trimmedName(const QString &name)
    {
        qsizetype begin = 0;
        qsizetype end = name.size();
        while (begin < end && name[begin].unicode() < 0x80 && isBlank(char(name[begin].unicode())))
            ++begin;
        while (end > begin && name[end - 1].unicode() < 0x80 && isBlank(char(name[end - 1].unicode())))
            --end;
        return name.mid(begin, end - begin);
    }

    QString m_text;
    QByteArray m_utf8;
    bool m_ascii = true;
};

// Where a key sits in the text, as byte offsets.
struct Location {
    bool sectionFound = false;
    bool keyFound = false;
    Span value{0, 0};       // the trimmed value, quotes included, when keyFound
    qsizetype insertAt = 0; // when only the section was found: the end of its last key line or its header
};

Location locate(const QByteArray &text, const Name &section, const Name &key)
{
    Location location;
    qsizetype pos = text.startsWith(kByteOrderMark) ? kByteOrderMark.size() : 0;
    while (pos < text.size()) {
        const qsizetype newline = text.indexOf('\n', pos);
        const qsizetype contentEnd = newline < 0 ? text.size() : newline;
        const qsizetype lineEnd = newline < 0 ? text.size() : newline + 1;
        const Span line = trimmed(text, {pos, contentEnd});
        pos = lineEnd;
        if (line.isEmpty() || text[line.begin] == ';')
            continue;

        // A '[' line without ']' is not a header; like Windows, it may still hold a key.
        const qsizetype close = text[line.begin] == '[' ? indexIn(text, ']', line) : -1;
        if (close >= 0) {
            // Only the first section of a name counts, so its end ends the search.
            if (location.sectionFound)
                break;
            if (section.matches(text, trimmed(text, {line.begin + 1, close}))) {
                location.sectionFound = true;
                location.insertAt = lineEnd;
            }
            continue;
        }

        const qsizetype equals = location.sectionFound ? indexIn(text, '=', line) : -1;
        if (equals < 0)
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

// New lines follow the file's own line ends, judged by its first one.
QByteArray lineEndOf(const QByteArray &text)
{
    const qsizetype newline = text.indexOf('\n');
    return newline > 0 && text[newline - 1] == '\r' ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
}

bool hasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

} // namespace

std::optional<QString> find(const QByteArray &text, const QString &section, const QString &key)
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
    return QString::fromUtf8(text.constData() + value.begin, value.end - value.begin);
}

bool canStore(const QString &section, const QString &key, const QString &value)
{
    const QString sectionName = Name(section).text();
    const QString keyName = Name(key).text();
    if (sectionName.isEmpty() || keyName.isEmpty())
        return false;
    if (hasLineBreak(sectionName) || hasLineBreak(keyName) || hasLineBreak(value))
        return false;
    if (sectionName.contains(QLatin1Char(']')) || keyName.contains(QLatin1Char('=')))
        return false;
    return !keyName.startsWith(QLatin1Char(';')) && !keyName.startsWith(QLatin1Char('['));
}

QByteArray withValue(const QByteArray &text, const QString &section, const QString &key, const QString &value)
{
    const Name sectionName(section);
    const Name keyName(key);
    const Location location = locate(text, sectionName, keyName);
    QByteArray result = text;
    if (location.keyFound)
        return result.replace(location.value.begin, location.value.end - location.value.begin, value.toUtf8());

    const QByteArray lineEnd = lineEndOf(text);
    const QByteArray keyLine = keyName.text().toUtf8() + '=' + value.toUtf8() + lineEnd;
    const qsizetype bodyStart = text.startsWith(kByteOrderMark) ? kByteOrderMark.size() : 0;
    const bool lastLineOpen = text.size() > bodyStart && !text.endsWith('\n');
    if (location.sectionFound) {
        const bool atOpenEnd = location.insertAt == text.size() && lastLineOpen;
        return result.insert(location.insertAt, (atOpenEnd ? lineEnd : QByteArray()) + keyLine);
    }
    if (lastLineOpen)
        result += lineEnd;
    return result + '[' + sectionName.text().toUtf8() + ']' + lineEnd + keyLine;
}

} // namespace IniText
