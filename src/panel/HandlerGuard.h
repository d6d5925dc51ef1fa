// HandlerGuard: the one place where the panel's failures end.
//
// Every entry point (a control's handler, a timer tick, a menu command, start-up) runs through run(): a
// failure ends the handler where it happened, nothing is rolled back, and the message goes to the general
// error display; then the program goes on with the next message. Handlers run for the rig server's events
// go through quiet(): they stop at the failure too, but show nothing, since the server raises them again.
//
// A handler that runs because another handler set a control from code (inside fromCode()) fails into that
// handler, which then ends there as well, as if it had called the first one itself. No exception ever
// crosses a Qt signal: each is caught in the slot and, if need be, thrown again after the emission.
// Threads: GUI thread only.
#pragma once

#include <QString>

#include <exception>
#include <functional>
#include <utility>

class HandlerGuard {
public:
    using Display = std::function<void(const QString &message)>;

    explicit HandlerGuard(Display display) : m_display(std::move(display)) {}

    template <typename Handler> void run(Handler &&handler)
    {
        if (m_codeChanges > 0)
            return keep(handler);
        QString failure;
        try {
            handler();
            return;
        } catch (const std::exception &error) {
            failure = QString::fromUtf8(error.what());
        } catch (...) {
            failure = QStringLiteral("Unexpected failure");
        }
        m_display(failure);
    }

    template <typename Handler> void quiet(Handler &&handler)
    {
        if (m_codeChanges > 0)
            return keep(handler);
        try {
            handler();
        } catch (...) {
            // The handler has stopped where it failed; the next event or tick starts afresh.
        }
    }

    // Runs change (a control set from code); a handler it set off that failed throws its failure here.
    template <typename Change> void fromCode(Change &&change)
    {
        ++m_codeChanges;
        struct Leave {
            int &depth;
            ~Leave() { --depth; }
        } leave{m_codeChanges};
        change();
        if (m_pending)
            std::rethrow_exception(std::exchange(m_pending, nullptr));
    }

private:
    template <typename Handler> void keep(Handler &handler)
    {
        try {
            handler();
        } catch (...) {
            if (!m_pending)
                m_pending = std::current_exception();
        }
    }

    Display m_display;
    int m_codeChanges = 0;
    std::exception_ptr m_pending;
};
