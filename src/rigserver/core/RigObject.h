// RigObject: one rig of the rig server, as clients see it (an IRigX).
//
// Responsibilities: answer every read from the last state the worker published, pass writes to the
// worker, and raise the rig-type, status and parameter events when a published state differs from the
// last one. A frequency, mode or transmit state just written is what Freq, Mode and Tx answer until the
// worker publishes a state that has dealt with that write (taken by the radio, or refused and so read back as
// it was), so a read right after a write never sees the value before it. A radio keyed by a write of ours is
// unkeyed before the rig lets go of it: the cuts that hurry a reconfiguration or the end along wait a moment
// for that. Keeps its identity across reconfiguration: configure() restarts the worker on new settings.
// Collaborations: owns a QThread and the RigWorker on it, which makes its back ends through the
// RigBackendFactory it is given; RigServer listens to its signals.
// Threads: GUI thread. No call here ever waits for a radio: destruction waits a moment for the worker to
// let go of it (two, when it is to unkey the radio first, the second after cutting the radio short), and a
// worker that is still caught in a radio call then is left to end on its own.
#pragma once

#include "omnirig/OmniRig_TLB.h"
#include "rigserver/core/RigBackendFactory.h"
#include "rigserver/core/RigSettings.h"
#include "rigserver/core/RigState.h"
#include "rigserver/core/RigWorker.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QThread>

#include <array>
#include <memory>
#include <optional>

class RigObject final : public QObject, public IRigX {
    Q_OBJECT

public:
    // backends makes the radio's back ends; it must not be null.
    RigObject(int rigNumber, const RigSettings &settings, std::shared_ptr<const RigBackendFactory> backends,
              QObject *parent = nullptr);
    ~RigObject() override;

    int rigNumber() const { return m_rigNumber; }
    const RigSettings &settings() const { return m_settings; }
    // The state as the worker last published it, without the writes still on their way.
    const RigState &state() const { return m_state; }

    // Starts polling; until then the radio is left alone.
    void start();
    // Lets go of the radio ahead of destruction, so that the rigs of a server let go of theirs together.
    void stop();
    // Cuts a radio that stop() spared because we had keyed it, once its moment to be unkeyed is up. Called
    // for every rig after stop(), it lets a server's rigs end together; destruction calls it too.
    void cutAfterUnkeying();
    // Worker threads left running at destruction because a radio call would not end; the process must
    // then exit without running static destructors under them.
    static int abandonedThreads();
    // New settings: the radio is closed and opened again on them; raises the rig-type and status events.
    // Settings that only say how the rig is shared are taken without touching the radio.
    void configure(const RigSettings &settings);
    // Radio commands sent so far.
    std::uint64_t commandCount() const { return m_worker->commandCount(); }
    // Keys (PM_TX) or unkeys (PM_RX) the radio; any other value sends nothing. Not part of IRigX, whose
    // shape is OmniRig's: the rig's share with other programs keys the radio through it.
    void SetTx(std::int32_t pm);

    std::string RigType() override { return m_state.rigType; }
    std::int32_t ReadableParams() override { return m_state.readable; }
    bool IsParamReadable(std::int32_t param) override { return param != 0 && (m_state.readable & param) == param; }
    // A configured radio is told its frequency and mode (the worker drops what the radio cannot take), and is
    // keyed where it can be; it has no VFO of its own here.
    bool IsParamWriteable(std::int32_t param) override;
    std::int32_t Status() override { return m_state.status; }
    std::string StatusStr() override { return m_state.statusText; }
    std::int64_t Freq() override { return m_freqWrite ? m_freqWrite->value : m_state.freq; }
    void SetFreq(std::int64_t hertz) override;
    std::int64_t FreqA() override { return 0; }
    void SetFreqA(std::int64_t) override {}
    std::int32_t Tx() override { return m_txWrite ? std::int32_t(m_txWrite->value) : m_state.tx; }
    std::int32_t Mode() override { return m_modeWrite ? std::int32_t(m_modeWrite->value) : m_state.mode; }
    void SetMode(std::int32_t mode) override;

signals:
    void rigTypeChanged(int rigNumber);
    void statusChanged(int rigNumber);
    void paramsChanged(int rigNumber, int params);

private:
    // A write the worker has not dealt with yet.
    struct PendingWrite {
        std::int64_t value;
        quint64 sequence;
    };

    void take(const RigUpdate &update);
    RigState shown() const;

    int m_rigNumber;
    RigSettings m_settings;
    std::shared_ptr<const RigBackendFactory> m_backends;
    RigState m_state;
    std::optional<PendingWrite> m_freqWrite;
    std::optional<PendingWrite> m_modeWrite;
    std::optional<PendingWrite> m_txWrite;
    std::array<quint64, RigWorker::Write::KindCount> m_writeCounts{}; // writes of each kind queued so far
    quint64 m_generation = 1;
    std::unique_ptr<QThread> m_thread;
    RigWorker *m_worker;
    QDeadlineTimer m_stopDeadline{QDeadlineTimer::Forever};
    bool m_cutAtStop = false; // stop() spared a keyed radio; destruction cuts it once its time is up
};
