// The reply side of rigctld's Extended Response Protocol ("+" commands): a block that echoes the command's
// long name, then "Key: value" records, then "RPRT n".
//
// Responsibilities: frame one reply from bytes that arrive in any pieces, refuse what cannot be a reply
// (a wrong echo, an endless line, a reply without end), and parse the values we read.
// Threads: plain values, no shared state. Qt-free, so it can be fuzzed on its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct RigctldReply {
    std::string command;                                      // the echoed long name, "get_freq"
    std::vector<std::pair<std::string, std::string>> records; // "Frequency" -> "14074000"
    int code = 0;                                             // RPRT n: 0 or a negative Hamlib error

    // The value of the first record named key, if there is one.
    std::optional<std::string_view> value(std::string_view key) const;
};

class RigctldReplyReader {
public:
    enum class State { NeedMore, Complete, Malformed };

    static constexpr std::size_t MaxLine = 4096;
    static constexpr std::size_t MaxReply = 256 * 1024;
    static constexpr std::size_t MaxRecords = 2048;

    // expectedCommand is the long name the first line must echo ("get_freq").
    explicit RigctldReplyReader(std::string expectedCommand);

    // Takes the next bytes. Once Complete or Malformed, further bytes are not looked at.
    State feed(std::string_view bytes);
    State state() const { return m_state; }
    const RigctldReply &reply() const { return m_reply; }
    // Why the reply was refused, for the log.
    const std::string &error() const { return m_error; }

private:
    State takeLine(std::string_view line);
    State fail(std::string why);

    std::string m_expected;
    std::string m_partial;
    std::size_t m_total = 0;
    bool m_sawEcho = false;
    State m_state = State::NeedMore;
    RigctldReply m_reply;
    std::string m_error;
};

namespace RigctldValues {

// A frequency as rigctld prints it ("14074000" or "14074000.000000"), in whole hertz; nothing for text that
// is not a frequency a radio can have (negative, not a number, above 1 THz).
std::optional<std::int64_t> parseFrequency(std::string_view text);

// A PTT value: 0 is receive, 1 to 3 transmit (plain, mic, data).
std::optional<bool> parsePtt(std::string_view text);

// "Y" or "N" of a dump_caps "Can ..." line.
bool parseYes(std::string_view text);

} // namespace RigctldValues
