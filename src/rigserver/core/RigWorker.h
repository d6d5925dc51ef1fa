// RigWorker: drives one radio on its own thread.
//
// Responsibilities: open the radio through a back end, poll frequency, mode and transmit state every
// PollMs (the timer is re-armed after each poll, so polls never pile up), run writes as they arrive, also
// between the reads of a poll, so a write never waits for more than one radio command; turn every failure
// into a status, and reopen with back-off while not on line. Publishes a RigState whenever it changed, and
// whenever writes were dealt with, so the rig object knows which of them the state includes.
// Never throws: a failure is a status.
// It ties together the pieces that each keep one rule: RigLink (opening, back-off, cuts from other threads),
// RigReadPolicy (what a poll asks, retries, values given up on), RigWriteQueue (the newest write of each kind)
// and RigKeyer (a radio keyed by us is unkeyed before we let go of it; a cut meant to hurry that along spares
// a keyed radio, see abort()).
// Collaborations: RigObject creates it and moves it to a QThread. It calls configure(), start() and shutdown()
// there through queued calls, and queueWrite(), abort(), interrupt() and commandCount() directly from the GUI
// thread; the worker answers with the published() signal, delivered queued on the GUI thread. Its back ends
// come from a RigBackendFactory.
// Threads: lives on its rig's worker thread; queueWrite(), abort(), interrupt() and commandCount() may be called
// from any thread.
#pragma once

#include "rigserver/core/RigBackendFactory.h"
#include "rigserver/core/RigKeyer.h"
#include "rigserver/core/RigLink.h"
#include "rigserver/core/RigReadPolicy.h"
#include "rigserver/core/RigSettings.h"
#include "rigserver/core/RigState.h"
#include "rigserver/core/RigWriteQueue.h"

#include <QObject>
#include <QTimer>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

class RigWorker final : public QObject {
    Q_OBJECT

public:
    using Write = RigWrite;

    explicit RigWorker(std::shared_ptr<const RigBackendFactory> backends);
    ~RigWorker() override;

    // The state a rig has under settings before its radio has been heard.
    static RigState initialState(const RigSettings &settings, const RigBackendFactory &backends);
    // Whether a mode write can reach a radio: exactly one of OmniRig's mode flags, each of which every back
    // end can send. Nothing is sent for 0 or anything else.
    static bool writableMode(std::int32_t mode);

    // Queued calls from the rig object.
    void configure(const RigSettings &settings, quint64 generation);
    void start();
    void shutdown();

    // A write for the radio, called from the GUI thread; it waits in a RigWriteQueue. Every state published
    // afterwards says up to which write of each kind the writes have been dealt with (RigUpdate::written).
    void queueWrite(const Write &write);

    // Cuts a blocking radio call short, so shutdown does not wait for a timeout. With unlessKeyed, a radio
    // that a write of ours keyed is spared, so that shutdown can unkey it first: nothing is cut then, and
    // false says so; the caller cuts without unlessKeyed once it has waited long enough.
    bool abort(bool unlessKeyed = false);
    // Cuts short the radio call in progress, and any made before configuration `generation` arrives, so a
    // new configuration does not wait for the radio of the old one; never the radio of that configuration or
    // a later one. Called from the GUI thread, first before that configuration is queued; unlessKeyed as for
    // abort().
    bool interrupt(quint64 generation, bool unlessKeyed = false);

    // Radio commands sent since the worker was made (read from any thread).
    std::uint64_t commandCount() const { return m_link.commandCount(); }

signals:
    void published(const RigUpdate &update);

private:
    bool configured() const;
    RigLink::Spare spareIfKeyed(bool unlessKeyed) const;
    void attemptOpen();
    void poll();
    bool pollOnce(RigState &next);
    RigResult read(RigReadPolicy::Value value, RigState &next, bool retry);
    // Asks the radio for one value with get, and hands take what it answered.
    template <typename T, typename Take> RigResult ask(RigResult (RigBackend::*get)(T &), bool retry, Take take);
    void fail(RigResult result);
    void letGo();
    std::optional<RigResult> send(const Write &write, RigState &next);
    void scheduleReopen();
    void publish(const RigState &state, bool always = false);
    void flushWrites();
    bool runWrites(RigState *inPoll);

    std::shared_ptr<const RigBackendFactory> m_backends;
    RigSettings m_settings;
    quint64 m_generation = 0;
    bool m_started = false;
    bool m_hasSettings = false;

    RigLink m_link;
    RigKeyer m_keyer{m_link};
    RigReadPolicy m_reads;
    RigWriteQueue m_writes;

    RigState m_state;
    QTimer m_pollTimer;
    QTimer m_reopenTimer;
    std::array<quint64, Write::KindCount> m_written{};          // the last write of each kind dealt with
    std::array<quint64, Write::KindCount> m_writtenPublished{}; // ... as last published
};
