// What an adapter learned from IPv6 router advertisements (RFC 4861): the
// routers the kernel keeps default routes through, the prefixes it made
// on-link routes and addresses of, and the DNS options (RFC 8106) a client
// took from them. None of this comes from DHCPv6.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// 16 bytes in network byte order.
using Ipv6Address = std::array<std::uint8_t, 16>;

// RFC 4191 2.1.
enum class RouterPreference
{
    Low,
    Medium,
    High,
};

struct LearnedRouter
{
    Ipv6Address address{}; // the router's link-local address
    RouterPreference preference = RouterPreference::Medium;
    // Seconds left of the router's lifetime; empty when the route never expires.
    std::optional<std::uint32_t> lifetime;
    std::uint32_t metric = 0;
};

struct LearnedPrefix
{
    Ipv6Address prefix{};
    std::uint8_t length = 0;
    bool onLink = false;     // the kernel made an on-link route of it (L flag)
    bool autonomous = false; // the kernel formed an address in it (A flag, SLAAC)
    // Seconds left; empty when infinite. Only an address formed in the prefix
    // carries a preferred lifetime: it means nothing unless autonomous.
    std::optional<std::uint32_t> validLifetime;
    std::optional<std::uint32_t> preferredLifetime;
};

struct RouterAdvertisements
{
    // The interface has taken in an advertisement, with its M and O flags.
    bool received = false;
    bool managed = false;     // M: addresses from DHCPv6
    bool otherConfig = false; // O: other configuration from DHCPv6
    std::vector<LearnedRouter> routers;
    std::vector<LearnedPrefix> prefixes;
    std::optional<std::uint32_t> mtu;
    // RDNSS and DNSSL, where a client holds them; the kernel keeps neither.
    std::vector<Ipv6Address> dnsServers;
    std::vector<std::string> searchDomains;
    std::string dnsSource; // the client that held them; empty when none did
};
