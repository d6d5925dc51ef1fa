#include "rigserver/rigctld/RigctldCommand.h"

#include <array>
#include <utility>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The letters of the commands this server serves, with their long names.
constexpr std::array<std::pair<char, std::string_view>, 13> letters = {{
    {'f', "get_freq"},
    {'F', "set_freq"},
    {'m', "get_mode"},
    {'M', "set_mode"},
    {'v', "get_vfo"},
    {'V', "set_vfo"},
    {'t', "get_ptt"},
    {'T', "set_ptt"},
    {'s', "get_split_vfo"},
    {'S', "set_split_vfo"},
    {'1', "dump_caps"},
    {'q', "quit"},
    {'Q', "quit"},
}};

// Long names served beyond those of the letters.
constexpr std::array<std::string_view, 4> longOnly = {"dump_state", "chk_vfo", "get_powerstat", "get_lock_mode"};

bool isKnownLongName(std::string_view name)
{
    for (const auto &[letter, longName] : letters)
        if (longName == name && name != "quit")
            return true;
    for (const std::string_view other : longOnly)
        if (other == name)
            return true;
    return false;
}

// Punctuation that starts the Extended Response Protocol; rigctld keeps '\', '?', '_' and '#' for other
// uses and treats '+' as a newline separator.
bool isSeparator(char c)
{
    static constexpr std::string_view punctuation = "!\"$%&'()*+,-./:;<=>@[]^`{|}~";
    return punctuation.find(c) != std::string_view::npos;
}

} // namespace

std::optional<RigctldCommand> RigctldCommand::parse(std::string_view line)
{
    while (!line.empty() && isBlank(line.front()))
        line.remove_prefix(1);
    while (!line.empty() && isBlank(line.back()))
        line.remove_suffix(1);
    if (line.empty() || line.front() == '#')
        return std::nullopt;

    RigctldCommand command;
    if (isSeparator(line.front())) {
        command.separator = line.front() == '+' ? '\n' : line.front();
        line.remove_prefix(1);
        if (line.empty())
            return std::nullopt;
    }
    std::string_view rest;
    if (line.front() == '\\') {
        const std::size_t end = line.find_first_of(" \t");
        const std::string_view name = line.substr(1, end == std::string_view::npos ? end : end - 1);
        rest = end == std::string_view::npos ? std::string_view() : line.substr(end);
        command.known = isKnownLongName(name);
        command.name = command.known ? std::string(name) : std::string(line.substr(0, name.size() + 1));
    } else {
        rest = line.substr(1);
        command.name = std::string(1, line.front());
        for (const auto &[letter, longName] : letters) {
            if (letter == line.front()) {
                command.name = longName;
                command.known = true;
            }
        }
    }
    while (!rest.empty()) {
        while (!rest.empty() && isBlank(rest.front()))
            rest.remove_prefix(1);
        if (rest.empty())
            break;
        std::size_t end = 0;
        while (end < rest.size() && !isBlank(rest[end]))
            ++end;
        if (command.args.size() == MaxArgs) {
            command.tooManyArgs = true;
            break;
        }
        command.args.emplace_back(rest.substr(0, end));
        rest.remove_prefix(end);
    }
    return command;
}
