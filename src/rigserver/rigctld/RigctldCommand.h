// RigctldCommand: one command line a client of the rigctld protocol sent, as the serving side reads it.
//
// Responsibilities: tell the reply format the client asked for (the plain protocol, or the Extended
// Response Protocol with '+' or another punctuation character as the record separator), the command's long
// name whether it came as a letter ("f") or a long name ("\get_freq"), and its arguments.
// Collaborations: ShareConnection cuts lines from a client's bytes; RigctldResponder answers the command.
// Threads: a plain value, no shared state. Qt-free, like the rest of the protocol.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct RigctldCommand {
    static constexpr std::size_t MaxArgs = 8;

    // The long name ("set_freq"); for a command this server does not know, what the client sent ("\foo",
    // "K"), so that the log can say so.
    std::string name;
    bool known = false;
    std::vector<std::string> args;
    // 0 for the plain protocol; '\n' when the line began with '+'; otherwise the punctuation it began with.
    char separator = 0;
    // More arguments than any command takes: the line is answered with an error.
    bool tooManyArgs = false;

    bool extended() const { return separator != 0; }

    // Reads one line, its line end already cut off. Nothing for a line that asks nothing: an empty one, or a
    // comment ('#'), which rigctld passes over without a reply too.
    static std::optional<RigctldCommand> parse(std::string_view line);
};
