#include "rigserver/rigctld/RigctldProtocol.h"

#include <charconv>
#include <cmath>

namespace {

std::string_view trimmed(std::string_view s)
{
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && isSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

bool isRprt(std::string_view line, int &code)
{
    constexpr std::string_view tag = "RPRT ";
    if (line.substr(0, tag.size()) != tag)
        return false;
    const std::string_view number = trimmed(line.substr(tag.size()));
    const char *end = number.data() + number.size();
    const auto [ptr, ec] = std::from_chars(number.data(), end, code);
    return ec == std::errc() && ptr == end && !number.empty();
}

} // namespace

std::optional<std::string_view> RigctldReply::value(std::string_view key) const
{
    for (const auto &[k, v] : records)
        if (k == key)
            return std::string_view(v);
    return std::nullopt;
}

RigctldReplyReader::RigctldReplyReader(std::string expectedCommand) : m_expected(std::move(expectedCommand)) {}

RigctldReplyReader::State RigctldReplyReader::fail(std::string why)
{
    m_error = std::move(why);
    m_state = State::Malformed;
    return m_state;
}

RigctldReplyReader::State RigctldReplyReader::feed(std::string_view bytes)
{
    if (m_state != State::NeedMore)
        return m_state;
    m_total += bytes.size();
    while (!bytes.empty()) {
        const std::size_t nl = bytes.find('\n');
        if (nl == std::string_view::npos) {
            if (m_partial.size() + bytes.size() > MaxLine)
                return fail("line too long");
            m_partial.append(bytes);
            break;
        }
        if (m_partial.size() + nl > MaxLine)
            return fail("line too long");
        m_partial.append(bytes.substr(0, nl));
        bytes.remove_prefix(nl + 1);
        const std::string line = std::move(m_partial);
        m_partial.clear();
        if (takeLine(line) != State::NeedMore)
            return m_state;
    }
    if (m_total > MaxReply)
        return fail("reply too long");
    return m_state;
}

RigctldReplyReader::State RigctldReplyReader::takeLine(std::string_view line)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    int code = 0;
    if (!m_sawEcho) {
        // rigctld answers a command it cannot run with a bare RPRT and no echo.
        if (isRprt(line, code)) {
            m_reply.code = code;
            m_state = State::Complete;
            return m_state;
        }
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos || line.substr(0, colon) != m_expected)
            return fail("unexpected echo");
        m_reply.command = m_expected;
        m_sawEcho = true;
        return m_state;
    }
    if (isRprt(line, code)) {
        m_reply.code = code;
        m_state = State::Complete;
        return m_state;
    }
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos)
        return m_state; // dump_caps has blank lines and continuation lines
    if (m_reply.records.size() >= MaxRecords)
        return fail("too many records");
    m_reply.records.emplace_back(std::string(trimmed(line.substr(0, colon))),
                                 std::string(trimmed(line.substr(colon + 1))));
    return m_state;
}

namespace RigctldValues {

std::optional<std::int64_t> parseFrequency(std::string_view text)
{
    text = trimmed(text);
    if (text.empty() || text.size() > 64)
        return std::nullopt;
    double value = 0;
    const char *end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || !std::isfinite(value) || value < 0 || value > 1e12)
        return std::nullopt;
    return static_cast<std::int64_t>(std::llround(value));
}

std::optional<bool> parsePtt(std::string_view text)
{
    text = trimmed(text);
    if (text.size() != 1 || text[0] < '0' || text[0] > '3')
        return std::nullopt;
    return text[0] != '0';
}

bool parseYes(std::string_view text)
{
    return trimmed(text) == "Y";
}

} // namespace RigctldValues
