// RigKeyer: keys and unkeys the radio for the rig worker, so that no radio a write of ours keyed is left
// transmitting by us.
//
// Responsibilities: know whether the radio may be keyed by us (a key was sent, and neither refused nor
// followed by an unkey the radio took: a command that went unanswered may have been taken); mark it keyed
// before the command goes, under the lock the link's cuts take, so that a cut either comes first and nothing
// is sent, or sees the radio keyed and spares it for the unkeying; remember an unkey asked for while the radio
// was away and send it when the radio is back; unkey the radio before the worker lets go of it.
// Collaborations: RigWorker owns it and asks keyed() when it is to spare the radio from a cut; the radio is
// reached through the worker's RigLink.
// Threads: the worker's thread; keyed() from any.
#pragma once

#include "rigserver/core/RigBackend.h"
#include "rigserver/core/RigLink.h"

#include <atomic>

class RigKeyer {
public:
    explicit RigKeyer(RigLink &link) : m_link(link) {}

    bool keyed() const { return m_keyed; }

    // Keys (transmit) or unkeys the open radio.
    RigResult key(bool transmit);
    // A transmit write came while the radio was away; the last one decides, and an unkey is kept for the
    // radio's return if we may have keyed it.
    void askedWhileAway(bool transmit);
    // Sends the unkey kept while the radio was away, once; Ok when none was kept.
    RigResult unkeyAskedWhileAway();
    // Unkeys a radio we keyed, with one try, before the worker lets go of it; a radio that does not answer is
    // let go anyway. Afterwards nothing is keyed and nothing kept.
    void letGo();

private:
    RigLink &m_link;
    std::atomic<bool> m_keyed{false};
    bool m_unkeyWhenBack = false;
};
