// ComOmniRigFactory: finds OmniRig through COM, for the Windows client.
//
// Responsibilities: GetActiveObject gives the server already running (registered in the running object
// table; OmniRig itself never is), or null when there is none; CreateInstance starts one in process or out of
// process (or reaches OmniRig's running process, which makes a new server object), or gives null when the class
// is not registered at all (OmniRig is not installed). Either throws OmniRigError when a server is there but
// fails: it cannot be started, or it offers neither IOmniRigX nor IDispatch.
// Collaborations: TOmniRigX asks it in that order; ComOmniRig wraps what it finds.
// Threads: a thread that has entered a single-threaded apartment (ComApartment).
#pragma once

#include "omnirig/OmniRig_TLB.h"
#include "omnirig/win/OmniRigCom.h"

class ComOmniRigFactory final : public IOmniRigFactory {
public:
    // Another class id stands in for OmniRig's in tests.
    explicit ComOmniRigFactory(const CLSID &server = OmniRig::Com::CLSID_OmniRigX) : m_server(server) {}

    std::shared_ptr<IOmniRigX> GetActiveObject() override;
    std::shared_ptr<IOmniRigX> CreateInstance() override;

private:
    CLSID m_server;
};
