// RigLink: the rig worker's hold on its radio: the back end it opened, and the cuts that other threads make
// to end a blocking call to it.
//
// Responsibilities: make and open a back end for one configuration, close it, and let abort() and
// interrupt() reach it from any thread; make one call to the radio, asked once more when its reply went
// missing, and count the commands sent; say how long to wait before the next attempt to open the radio (a
// quarter of a second, doubling up to one second, so a radio that comes back is on line within a couple of
// seconds). A cut spares the radio when the caller's spare() says so, which it asks under the same lock as
// unlessCut() takes, so that keying the radio and cutting it short exclude each other (see RigKeyer).
// Collaborations: RigWorker owns it; its back ends come from the RigBackendFactory it is handed.
// Threads: lives on its rig's worker thread; abort(), interrupt() and commandCount() may be called from any.
#pragma once

#include "rigserver/core/RigBackend.h"
#include "rigserver/core/RigBackendFactory.h"
#include "rigserver/core/RigSettings.h"

#include <QtGlobal>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

class RigLink {
public:
    // Whether a cut is to spare the radio; asked under the cutting lock. Empty: never.
    using Spare = std::function<bool()>;

    // Makes a back end for settings of configuration `generation` and opens it; closes the one open before.
    RigResult open(const RigBackendFactory &backends, const RigSettings &settings, quint64 generation);
    // Closing may talk to the radio; a radio that failed to open is only let go.
    void close();
    bool isOpen() const { return m_open; }
    // What the open radio can do; valid while isOpen().
    const RigCaps &caps() const { return m_backend->caps(); }

    // Runs call(RigBackend &) on the open radio. One reply lost on a noisy line is not a dead radio: with
    // retry, a call that timed out is made once more, unless the link was cut meanwhile.
    template <typename Call> RigResult call(Call call, bool retry = true)
    {
        RigResult result = call(*m_backend);
        tally();
        if (result == RigResult::Timeout && retry && !m_aborted) {
            result = call(*m_backend);
            tally();
        }
        return result;
    }

    // Cuts every call short from now on, unless spare() says not to; false then.
    bool abort(const Spare &spare = {});
    // Cuts short the calls of configurations before `generation`, unless spare() says not to; false then.
    bool interrupt(quint64 generation, const Spare &spare = {});
    bool aborted() const { return m_aborted; }
    // Runs mark under the lock the cuts take, unless the open configuration's calls are cut; false then.
    bool unlessCut(const std::function<void()> &mark);

    // The wait before the next attempt to open, each longer than the last up to the longest.
    int nextBackoffMs();
    // The radio answered: the next failure is waited on for the shortest time again.
    void resetBackoff() { m_backoffMs = 0; }

    // Radio commands sent through this link (read from any thread).
    std::uint64_t commandCount() const { return m_commands.load(); }

private:
    void tally();

    // Guards m_backend and m_generation against the cuts from another thread.
    std::mutex m_mutex;
    std::unique_ptr<RigBackend> m_backend;
    quint64 m_generation = 0; // the configuration m_backend was made for
    bool m_open = false;
    std::atomic<bool> m_aborted{false};
    std::atomic<quint64> m_interruptedBefore{0}; // generations below this one are cut short
    int m_backoffMs = 0;
    std::atomic<std::uint64_t> m_commands{0};
    std::uint64_t m_backendCommands = 0; // m_backend's count as last added to m_commands
};
