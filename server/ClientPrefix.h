// A client's prefix: the block of addresses one party is taken to hold (an IPv4 /24, an IPv6 /56). What a client may
// cost the server (frames checked, uploads, bytes sent) is budgeted per prefix, so that many addresses of one
// network are one client.
#pragma once
#include <string>

namespace ScoreServer {

// "203.0.113.0/24", "2001:db8:0:ab00::/56"; an address that is neither is its own prefix.
std::string ClientPrefix(const std::string& address);

} // namespace ScoreServer
