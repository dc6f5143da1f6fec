// The IPv4 address lists that options carry (RFC 2132 3.3 on: routers, DNS
// and NTP servers, the server identifier): four bytes per address, one after
// the other. The one reader of them for every front end.
#pragma once

#include "platform/cstring.h"

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr std::size_t kIpv4AddressSize = 4;

// The whole addresses of the bytes, read in place; a partial address at the
// end is none.
class Ipv4AddressList
{
public:
    Ipv4AddressList(const std::uint8_t* data, std::size_t length)
        : m_data(data), m_count(data != nullptr ? length / kIpv4AddressSize : 0)
    {
    }

    std::size_t Count() const { return m_count; }
    // The four bytes of address i (below Count()), in network order.
    const std::uint8_t* At(std::size_t i) const { return m_data + i * kIpv4AddressSize; }
    // Each address in dotted-decimal form.
    std::vector<CString> Texts() const;

private:
    const std::uint8_t* m_data;
    std::size_t m_count;
};
