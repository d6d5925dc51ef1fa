// CallInterrupter: lets another thread cut short a blocking library call (Hamlib's) that offers no way to
// cancel it, so that closing the program or choosing another radio never waits on a radio that does not
// answer.
//
// Responsibilities: while a call runs inside a Scope and interrupt() has been called, the calling thread
// gets a signal every few milliseconds, which ends its select(), read() or sleep with EINTR, and the port's
// descriptor is replaced by one on which every read and write fails at once. The descriptor number stays
// allocated, so the library still closes exactly what it opened and no other file can take the number.
// The replacement is made by the signal handler, on the calling thread itself, and only while the number
// still names the device that was watched: the library cannot close it meanwhile, so nothing races.
// Collaborations: HamlibBackend brackets each Hamlib call with a Scope and names its port with watch().
// Threads: Scope and watch() on the thread that makes the calls; interrupt() and interrupted() on any.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <ctime>
#include <mutex>

class CallInterrupter {
public:
    CallInterrupter() = default;
    ~CallInterrupter();

    CallInterrupter(const CallInterrupter &) = delete;
    CallInterrupter &operator=(const CallInterrupter &) = delete;

    // Brackets one blocking call. A call that has been interrupted beforehand is not made (proceed() is
    // false) unless it must run anyway, as a close that frees what the library holds; such a call is
    // interrupted from its start.
    class Scope {
    public:
        explicit Scope(CallInterrupter &owner, bool evenIfInterrupted = false);
        ~Scope();
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;
        bool proceed() const { return m_proceed; }

    private:
        CallInterrupter &m_owner;
        bool m_proceed;
    };

    // The descriptor the library keeps for the port (read when the signal comes, as it may change during a
    // call) and the device it must name to be cut off. Null forgets the port.
    void watch(const int *descriptor, dev_t device, ino_t inode);
    void forget() { watch(nullptr, 0, 0); }

    void interrupt();
    bool interrupted() const { return m_interrupted.load(); }

private:
    static void onSignal(int);

    bool enter(bool evenIfInterrupted);
    void leave();
    void startNudging();
    void stopNudging();
    void cutPort() const;

    std::atomic<bool> m_interrupted{false};
    std::mutex m_mutex; // guards the call's state below against interrupt() from another thread
    bool m_inCall = false;
    pid_t m_callThread = 0;
    bool m_nudging = false;
    timer_t m_timer{};

    // Read by the signal handler on the calling thread; written on that thread between calls.
    const int *m_descriptor = nullptr;
    dev_t m_device = 0;
    ino_t m_inode = 0;
};
