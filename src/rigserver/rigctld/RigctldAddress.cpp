#include "rigserver/rigctld/RigctldAddress.h"

namespace RigctldAddress {

bool splitHostPort(const std::string &hostPort, std::string &host, std::string &port)
{
    host = "localhost";
    port = "4532";
    if (hostPort.empty())
        return true;
    std::string rest;
    if (hostPort.front() == '[') {
        const std::size_t close = hostPort.find(']');
        if (close == std::string::npos || close == 1)
            return false;
        host = hostPort.substr(1, close - 1);
        rest = hostPort.substr(close + 1);
        if (!rest.empty() && rest.front() != ':')
            return false;
    } else {
        const std::size_t colon = hostPort.rfind(':');
        if (colon != std::string::npos && hostPort.find(':') != colon)
            return false; // a bare IPv6 address needs brackets
        host = hostPort.substr(0, colon);
        if (colon != std::string::npos)
            rest = hostPort.substr(colon);
        if (host.empty())
            return false;
    }
    if (!rest.empty()) {
        port = rest.substr(1);
        if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos)
            return false;
        const long number = std::stol(port);
        if (number < 1 || number > 65535)
            return false;
    }
    return true;
}

} // namespace RigctldAddress
