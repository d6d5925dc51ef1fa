// RigWriteQueue: the writes for a radio that have not reached it yet, on their way from the GUI thread to the
// rig's worker thread.
//
// Responsibilities: hold at most one write of each kind, the newest: a write that has not reached the radio
// yet is replaced by the next of its kind, so that a radio that hangs for a while gets the last value, not a
// backlog; say when the worker must be told to take the writes (the first write since it last took them);
// hand them all over at once, in the order their kinds first came.
// Collaborations: RigWorker pushes what RigObject writes and takes the writes between the reads of a poll.
// Threads: push() on the GUI thread, take() on the worker's thread.
#pragma once

#include <QtGlobal>

#include <cstdint>
#include <mutex>
#include <vector>

// One write for the radio. Sequence numbers count the writes of each kind; a transmit write's value is 1 to
// key the radio and 0 to unkey it.
struct RigWrite {
    enum Kind { Freq, Mode, Ptt, KindCount } kind;
    std::int64_t value;
    quint64 generation; // the configuration it was made for
    quint64 sequence;
};

class RigWriteQueue {
public:
    // Adds write in place of a waiting one of its kind; true when the worker must be told to take them.
    bool push(const RigWrite &write);
    std::vector<RigWrite> take();

private:
    std::mutex m_mutex; // guards the members below against push() and take() on two threads
    std::vector<RigWrite> m_writes;
    bool m_told = false; // the worker has been told, and has not taken them yet
};
