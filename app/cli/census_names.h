// How every output of a census names its responders and their flags, so that
// a finding on standard error and a row on standard output say the same.
#pragma once

#include "core/wire/census.h"

#include <cstdint>
#include <string>
#include <vector>

std::string AddressText(std::uint32_t address); // host byte order
std::string AddressText(const Ipv6Address& address);
std::string MacString(const HardwareAddress& address);

// DHCPv4: the server id ("none" without one); its path "10.77.0.1
// 02:00:00:77:00:01"; and as a finding names it: the id, with the path's MAC
// where another server has the same id, one without id by its source.
std::string ServerIdText(const DiscoveredServer& server);
std::string ServerPathText(const OfferPath& path);
std::string ServerName(const DiscoveredServer& server);
std::vector<std::string> ServerFlagTexts(const DiscoveredServer& server);

// DHCPv6: the DUID as the DHCPv6 catalogue reads it, and the hex of its bytes.
std::string DuidText(const std::vector<std::uint8_t>& duid);
std::string DuidHex(const std::vector<std::uint8_t>& duid);
std::vector<std::string> Server6FlagTexts(const DiscoveredServer6& server);

// Routers: "fe80::1 02:00:00:77:00:01".
std::string RouterPathText(const AdvertisedRouter& router);
std::vector<std::string> RouterFlagTexts(const AdvertisedRouter& router);

// "a,b" of flag texts.
std::string JoinedFlags(const std::vector<std::string>& flags);
