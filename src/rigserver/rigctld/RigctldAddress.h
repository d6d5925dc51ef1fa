// Where a rigctld server listens, as a rig's Port setting names it: "host:port", "[v6-address]:port", "host"
// (port 4532) or empty (localhost:4532). Our rigctld client connects there, and the settings window checks what
// an operator typed against the same reading.
// Threads: a plain function, no shared state. Qt-free.
#pragma once

#include <string>

namespace RigctldAddress {

// Splits hostPort into a host and a port number between 1 and 65535; false for text that names no host and
// port (a bare IPv6 address without brackets, a port that is not a number).
bool splitHostPort(const std::string &hostPort, std::string &host, std::string &port);

} // namespace RigctldAddress
