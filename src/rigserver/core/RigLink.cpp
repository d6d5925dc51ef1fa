#include "rigserver/core/RigLink.h"

#include <algorithm>

namespace {

constexpr int FirstBackoffMs = 250;
constexpr int MaxBackoffMs = 1000;

} // namespace

RigResult RigLink::open(const RigBackendFactory &backends, const RigSettings &settings, quint64 generation)
{
    close();
    std::unique_ptr<RigBackend> backend = backends.create(settings);
    if (!backend)
        return RigResult::PortError;
    {
        std::lock_guard lock(m_mutex);
        m_backend = std::move(backend);
        m_generation = generation;
        // abort() or interrupt() may have come while it was made.
        if (m_aborted || m_interruptedBefore.load() > generation)
            m_backend->abort();
    }
    m_backendCommands = 0;
    const RigResult result = m_backend->open();
    tally();
    m_open = result == RigResult::Ok;
    return result;
}

void RigLink::close()
{
    // Closing may talk to the radio, so the back end stays where abort() can reach it until it is closed.
    if (m_backend && m_open)
        m_backend->close();
    m_open = false;
    std::unique_ptr<RigBackend> old;
    {
        std::lock_guard lock(m_mutex);
        old = std::move(m_backend);
    }
}

bool RigLink::abort(const Spare &spare)
{
    std::lock_guard lock(m_mutex);
    if (spare && spare())
        return false;
    m_aborted = true;
    if (m_backend)
        m_backend->abort();
    return true;
}

bool RigLink::interrupt(quint64 generation, const Spare &spare)
{
    std::lock_guard lock(m_mutex);
    if (spare && spare())
        return false;
    // A cut that comes late, after a newer one, must not lift what the newer one cut.
    if (generation > m_interruptedBefore)
        m_interruptedBefore = generation;
    if (m_backend && m_generation < generation)
        m_backend->abort();
    return true;
}

bool RigLink::unlessCut(const std::function<void()> &mark)
{
    std::lock_guard lock(m_mutex);
    if (m_aborted || m_interruptedBefore.load() > m_generation)
        return false;
    mark();
    return true;
}

int RigLink::nextBackoffMs()
{
    m_backoffMs = m_backoffMs == 0 ? FirstBackoffMs : std::min(m_backoffMs * 2, MaxBackoffMs);
    return m_backoffMs;
}

void RigLink::tally()
{
    if (!m_backend)
        return;
    const std::uint64_t now = m_backend->commandCount();
    m_commands.fetch_add(now - m_backendCommands);
    m_backendCommands = now;
}
