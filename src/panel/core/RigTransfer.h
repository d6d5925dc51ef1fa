// RigTransfer: what the panel exists for. A>B copies Rig1's frequency and mode to Rig2, B>A Rig2's to
// Rig1, A<>B exchanges them, and follow() keeps one rig on the other. Rig1 is VFO A and Rig2 VFO B: the
// offset is added on the way to Rig2 and taken off on the way to Rig1, so with the offset on Rig2 sits that
// many hertz from Rig1 whichever way a copy went.
//
// The order of checks, reads and writes is part of the behaviour: a failing call (OmniRigError) ends an
// operation where it happens, and what was written stays written. A frequency a rig cannot take (below
// 0 Hz, or past what 64 bits hold) is never written, nor one computed from a rig that does not report its
// frequency as readable, or that reads 0 Hz (a rig on line whose radio has not told its frequency yet); the
// operation stops before its first write instead, so that an exchange never stops half done for that reason.
// A rig read and tuned through VFO A only (FreqA readable or writeable where Freq is not) is read and tuned
// there.
// Collaborations: the panel's handlers call these with the root interface of its rig-server client.
// Threads: the rig server's thread (the GUI thread).
#pragma once

#include "omnirig/OmniRig_TLB.h"

#include <cstdint>
#include <optional>

namespace RigTransfer {

// hertz + offset, or nothing when that is below zero or does not fit.
std::optional<std::int64_t> shifted(std::int64_t hertz, std::int64_t offset);

// Whether no radio is configured for the rig: its type name is "NONE" in any case. Only a rig that is
// configured and on line takes part in a copy.
bool isNone(IRigX &rig);

void copyAToB(IOmniRigX &server, int offset);
void copyBToA(IOmniRigX &server, int offset);
void swap(IOmniRigX &server, int offset);
// Moves follower to master's frequency plus offset (minus it when master is not Rig1) and to master's mode;
// writes nothing when it is there already.
void follow(IOmniRigX &server, IRigX *master, IRigX *follower, int offset);

} // namespace RigTransfer
