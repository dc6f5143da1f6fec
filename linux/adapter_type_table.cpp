#include "linux/adapter_type_table.h"

#include <linux/if_arp.h>

namespace
{
constexpr unsigned kOther = 1;      // MIB_IF_TYPE_OTHER
constexpr unsigned kEthernet = 6;   // MIB_IF_TYPE_ETHERNET
constexpr unsigned kTokenRing = 9;  // MIB_IF_TYPE_TOKENRING
constexpr unsigned kPpp = 23;       // MIB_IF_TYPE_PPP
constexpr unsigned kSlip = 28;      // MIB_IF_TYPE_SLIP
constexpr unsigned kIeee80211 = 71; // IF_TYPE_IEEE80211
constexpr unsigned kTunnel = 131;   // IF_TYPE_TUNNEL
constexpr unsigned kIeee1394 = 144; // IF_TYPE_IEEE1394

struct TypeRow
{
    unsigned nArpType;
    unsigned nAdapterType;
};

constexpr TypeRow kTypes[] = {
    {ARPHRD_ETHER, kEthernet},
    {ARPHRD_IEEE80211, kIeee80211},
    {ARPHRD_IEEE80211_PRISM, kIeee80211},
    {ARPHRD_IEEE80211_RADIOTAP, kIeee80211},
    {ARPHRD_IEEE802_TR, kTokenRing},
    {ARPHRD_PPP, kPpp},
    {ARPHRD_SLIP, kSlip},
    {ARPHRD_CSLIP, kSlip},
    {ARPHRD_SLIP6, kSlip},
    {ARPHRD_CSLIP6, kSlip},
    {ARPHRD_IEEE1394, kIeee1394},
    {ARPHRD_TUNNEL, kTunnel},
    {ARPHRD_TUNNEL6, kTunnel},
    {ARPHRD_SIT, kTunnel},
    {ARPHRD_IPGRE, kTunnel},
    {ARPHRD_IP6GRE, kTunnel},
};
} // namespace

unsigned AdapterTypeFor(unsigned nArpType, bool bWireless)
{
    if (nArpType == ARPHRD_ETHER && bWireless)
        return kIeee80211;
    for (const TypeRow& row : kTypes)
        if (row.nArpType == nArpType)
            return row.nAdapterType;
    return kOther;
}
