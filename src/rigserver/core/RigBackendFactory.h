// RigBackendFactory: how the rig server gets a back end for a rig's settings, without knowing any.
//
// Responsibilities: name the radio a rig's settings point at before it has been heard, or say that no back
// end can drive it; make a back end for those settings, as often as the rig (re)opens its radio.
// Collaborations: RigServer hands it to every RigObject, which hands it to its RigWorker. The program's real
// one is HamlibBackendFactory in rigserver/backends; the program wires it in (RigServerFactory), tests may
// wire in their own.
// Threads: called from the GUI thread and from both rigs' worker threads at once, and shared with a worker
// that outlives its rig object: an implementation keeps no state that calls change.
#pragma once

#include "rigserver/core/RigBackend.h"
#include "rigserver/core/RigSettings.h"

#include <memory>
#include <string>

class RigBackendFactory {
public:
    virtual ~RigBackendFactory() = default;

    // What the rig is called before its radio has been heard ("Dummy", "IC-7300", "NET rigctl"), or
    // an empty text for a model no back end can drive. Never opens a radio.
    virtual std::string rigType(const RigSettings &settings) const = 0;
    // A back end for the radio under settings, not opened yet; null when none can be made.
    virtual std::unique_ptr<RigBackend> create(const RigSettings &settings) const = 0;
};
