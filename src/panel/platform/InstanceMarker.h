// InstanceMarker: the mark by which a copy of the program knows that another copy runs in the same user
// session. It belongs to the session: another user can neither take it nor block it, and the system frees it
// when its process ends, also on kill -9, so that a crashed copy never keeps the next one out.
// Each platform has its own file, chosen by the build: InstanceMarker_linux.cpp holds an exclusive lock on a
// file in the user's private runtime folder; InstanceMarker_win.cpp a named shared-memory section of the
// session's namespace.
// Collaborations: the panel claims it at start-up and releases it as it closes, before the rig server is taken
// down, so that a copy started right after closing is never refused.
// Threads: the panel's thread.
#pragma once

#include "panel/core/PanelFace.h"

#include <cstdint>
#include <string>

class InstanceMarker final : public Panel::InstanceMark {
public:
    InstanceMarker() = default;
    ~InstanceMarker() override;

    InstanceMarker(const InstanceMarker &) = delete;
    InstanceMarker &operator=(const InstanceMarker &) = delete;

    // "VELKOR" for the program. Tests give each of their processes a name of its own, so that they can run
    // side by side and beside a running program.
    static std::string defaultName();
    static void setDefaultName(const std::string &name);

    // Takes the mark for as long as this object lives or until release(). False only when another copy in
    // this session holds it; any other failure leaves this copy running unmarked rather than refusing it.
    bool claim() override { return claim(defaultName()); }
    bool claim(const std::string &name);
    // Gives the mark up; a later copy may then claim it while this process is still ending.
    void release() override;

private:
    // The platform's handle of the held mark (a descriptor, a HANDLE), -1 while none is held.
    std::intptr_t m_handle = -1;
};
