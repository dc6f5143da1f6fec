// The name servers of the resolver's configuration file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The IPv4 addresses of the "nameserver" lines of resolv.conf text, host
// byte order, in file order, as many as the resolver uses (MAXNS). Other
// lines, comments, IPv6 servers and malformed addresses are passed over.
std::vector<std::uint32_t> ResolvConfNameservers(const std::string& strText);
