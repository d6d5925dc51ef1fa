// HamlibRig: one Hamlib rig handle, made, opened, closed and freed so that rigs on several threads at once
// never corrupt what Hamlib keeps for the whole process.
//
// Responsibilities: rig_init and rig_cleanup under the library lock, as every use of Hamlib's tables;
// rig_open and rig_close such that Hamlib's list of opened rigs only ever changes under one process-wide
// gate, while the conversation with the radio runs outside it, so that a radio that does not answer never
// holds up another rig.
//
// Why: Hamlib 4.5 keeps every opened rig on one linked list without a lock. rig_open puts the rig on it
// after opening the port and before the model's own open talks to the radio, and takes it off again when
// that open fails; rig_close takes it off after closing the port. Two threads doing this at once leave a
// freed entry on the list, and a later rig_open or rig_close walks into it (seen: a crash in rig_close in
// about one run in a few hundred of two rigs closing at once; four threads opening and closing in a loop
// crash nearly every time). Holding a lock over the whole of rig_open is no answer: a silent Icom keeps
// it busy for many timeouts. So each handle gets its own copy of its model's capabilities, whose open and
// close step out of the gate exactly for the model's own open and close: the gate covers the port being
// opened and the rig going on the list, then only the failed open's removal, and, in rig_close, the port
// being closed and the rig leaving the list. A copy per handle also keeps what a back end writes into its
// capabilities (Hamlib's network rig does) to that handle.
// What is still shared and not guarded: the text of Hamlib's last debug messages (garbled at worst), and
// the few back ends that reopen a radio by themselves in the middle of a command (an Icom switched on
// through set_powerstat); neither is used here. A network model connects under the gate, which a radio
// host that does not answer holds for at most the rig's timeout, or until the call is cut short.
// Collaborations: HamlibBackend owns one per open attempt and brackets open() and close() with its
// CallInterrupter; HamlibModels provides the library lock.
// Threads: the rig's worker thread; any number of instances on as many threads.
#pragma once

#include <memory>

struct s_rig;

class HamlibRig {
public:
    // A handle for a Hamlib model number; null() when Hamlib does not know the model.
    explicit HamlibRig(int model);
    ~HamlibRig();

    HamlibRig(const HamlibRig &) = delete;
    HamlibRig &operator=(const HamlibRig &) = delete;

    bool null() const { return m_rig == nullptr; }
    s_rig *get() const { return m_rig; }

    // rig_open and rig_close, as described above. close() may be called whether or not the rig is open.
    int open();
    void close();

    struct GuardedCaps;

private:
    s_rig *m_rig = nullptr;
    std::unique_ptr<GuardedCaps> m_caps;
};
