// DhcpOption: one decoded DHCP option, as one row of the results shows it.
#pragma once

#include "platform/cstring.h"

#include <cstdint>
#include <list>

class DhcpOption
{
public:
    DhcpOption() = default;
    DhcpOption(const DhcpOption&) = default;
    DhcpOption& operator=(const DhcpOption&) = default;
    virtual ~DhcpOption() = default;

    std::uint32_t m_nCode = 0;
    CString m_strParameter; // shown under "DHCP Parameter"
    CString m_strData;      // shown under "DHCP Data"; may be empty
};

// The decoded options of one request, in request order. The caller owns it;
// a request only appends.
using DhcpOptionList = std::list<DhcpOption>;
