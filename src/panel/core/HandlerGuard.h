// HandlerGuard: the one place where the panel's failures end.
//
// Every entry point (a control's handler, a timer tick, a menu command, start-up) runs through run(): a
// failure ends the handler where it happened, nothing is rolled back, and the message goes to the general
// error display; then the program goes on with the next message. Handlers run for the rig server's events
// go through quiet(): they stop at the failure too, but show nothing, since the server raises them again.
// A handler that another one runs (a control set from code) is a plain call: its failure ends the caller too.
// Threads: the panel's thread only.
#pragma once

#include <exception>
#include <functional>
#include <stdexcept>
#include <utility>

class HandlerGuard {
public:
    // Gets the failure itself, so that a display may tell one kind from another.
    using Display = std::function<void(const std::exception &failure)>;

    explicit HandlerGuard(Display display) : m_display(std::move(display)) {}

    template <typename Handler> void run(Handler &&handler)
    {
        try {
            handler();
        } catch (const std::exception &error) {
            m_display(error);
        } catch (...) {
            m_display(std::runtime_error("Unexpected failure"));
        }
    }

    template <typename Handler> void quiet(Handler &&handler)
    {
        try {
            handler();
        } catch (...) {
            // The handler has stopped where it failed; the next event or tick starts afresh.
        }
    }

private:
    Display m_display;
};
