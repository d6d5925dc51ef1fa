// RigWorker: drives one radio on its own thread.
//
// Responsibilities: open the radio through a back end, poll frequency, mode and transmit state every
// PollMs (the timer is re-armed after each poll, so polls never pile up), run writes as they arrive, also
// between the reads of a poll, so a write never waits for more than one radio command; turn every failure
// into a status, and reopen with back-off while not on line. A read the radio does not answer is asked
// once more before the link counts as dead, and a value that keeps going unanswered while the others are
// answered is no longer asked for: the rig stays on line without it. Publishes a RigState whenever it
// changed, and whenever writes were dealt with, so the rig object knows which of them the state includes.
// A radio it keyed is never left transmitting by it: before letting go of the radio (new settings, shutdown)
// it tells the radio to receive, and a cut meant to hurry that along spares a keyed radio (see abort()); an
// unkey asked for while the radio was away is sent when it is back.
// Never throws: a failure is a status.
// Collaborations: RigObject creates it, moves it to a QThread and reaches it only by queued calls; it
// answers with the published() signal, delivered queued on the GUI thread. Its back ends come from a
// RigBackendFactory.
// Threads: lives on its rig's worker thread; abort() and interrupt() may be called from any thread.
#pragma once

#include "rigserver/core/RigBackend.h"
#include "rigserver/core/RigBackendFactory.h"
#include "rigserver/core/RigSettings.h"
#include "rigserver/core/RigState.h"

#include <QObject>
#include <QTimer>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class RigWorker final : public QObject {
    Q_OBJECT

public:
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

    // A write for the radio, called from the GUI thread. Writes of one kind that have not reached the radio
    // yet are replaced by the newest, so a radio that hangs for a while gets the last value, not a backlog.
    // Sequence numbers count the writes of each kind; every state published afterwards says up to which
    // one the writes have been dealt with (RigUpdate::written).
    // A transmit write's value is 1 to key the radio and 0 to unkey it.
    struct Write {
        enum Kind { Freq, Mode, Ptt, KindCount } kind;
        std::int64_t value;
        quint64 generation;
        quint64 sequence;
    };
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
    std::uint64_t commandCount() const { return m_commands.load(); }

signals:
    void published(const RigUpdate &update);

private:
    // The values a poll reads.
    enum Value { Frequency, ModeValue, PttValue, ValueCount };

    bool configured() const;
    void attemptOpen();
    void poll();
    bool pollOnce(RigState &next);
    bool asks(Value value) const;
    RigResult read(Value value, RigState &next, bool retry);
    template <typename Call> RigResult retried(Call call, bool retry = true);
    void fail(RigResult result);
    void closeBackend();
    void letGo();
    std::optional<RigResult> send(const Write &write, RigState &next);
    RigResult key(bool transmit);
    bool unkeyAskedWhileAway();
    void scheduleReopen();
    void publish(const RigState &state, bool always = false);
    void flushWrites();
    bool runWrites(RigState *inPoll);
    void tallyCommands();

    std::shared_ptr<const RigBackendFactory> m_backends;
    RigSettings m_settings;
    quint64 m_generation = 0;
    bool m_started = false;
    bool m_hasSettings = false;

    // Guards m_backend and its generation against abort() and interrupt() from another thread, and makes
    // keying the radio and cutting it short exclude each other.
    std::mutex m_backendMutex;
    std::unique_ptr<RigBackend> m_backend;
    quint64 m_backendGeneration = 0;
    bool m_open = false;
    // A write of ours may have keyed the radio (sent, and neither refused nor followed by an unkey it took).
    std::atomic<bool> m_keyed{false};
    bool m_unkeyWhenBack = false; // the last transmit write came while the radio was away, and unkeys it

    // What the reads have taught us under this configuration; kept across reopening.
    std::array<Value, ValueCount> m_readOrder{Frequency, ModeValue, PttValue}; // the last to go unanswered last
    std::array<int, ValueCount> m_strikes{};                                   // unanswered polls in a row
    std::array<bool, ValueCount> m_dropped{};                                  // no longer asked for
    bool m_freqKnown = false;                                                  // a frequency has been read

    RigState m_state;
    QTimer m_pollTimer;
    QTimer m_reopenTimer;
    int m_backoffMs = 0;
    std::mutex m_writesMutex; // guards m_writes and m_flushQueued against queueWrite() from the GUI thread
    std::vector<Write> m_writes;
    bool m_flushQueued = false;
    std::array<quint64, Write::KindCount> m_written{};          // the last write of each kind dealt with
    std::array<quint64, Write::KindCount> m_writtenPublished{}; // ... as last published
    std::atomic<bool> m_aborted{false};
    std::atomic<quint64> m_interruptedBefore{0}; // generations below this one are cut short
    std::atomic<std::uint64_t> m_commands{0};
    std::uint64_t m_backendCommands = 0;
};
