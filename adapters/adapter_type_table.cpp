#include "adapters/adapter_type_table.h"

#include "adapters/bounded_file.h"

#include <linux/if_arp.h>
#include <sys/stat.h>

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

bool Exists(const std::string& strPath)
{
    struct stat status;
    return stat(strPath.c_str(), &status) == 0;
}

// True when a line of the text is exactly strLine.
bool HasLine(const std::string& strText, const std::string& strLine)
{
    for (std::size_t nAt = strText.find(strLine); nAt != std::string::npos;
         nAt = strText.find(strLine, nAt + 1))
    {
        const std::size_t nEnd = nAt + strLine.size();
        if ((nAt == 0 || strText[nAt - 1] == '\n') &&
            (nEnd == strText.size() || strText[nEnd] == '\n'))
            return true;
    }
    return false;
}
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

bool IsWireless(const LinuxPaths& paths, const std::string& strName)
{
    if (!IsPathComponent(strName))
        return false;
    const std::string strDevice = paths.m_strSys + "/class/net/" + strName;
    if (Exists(strDevice + "/wireless"))
        return true;
    std::string strUevent;
    return ReadBoundedFile(strDevice + "/uevent", strUevent) == 0 &&
           HasLine(strUevent, "DEVTYPE=wlan");
}

bool IsPathComponent(const std::string& strName)
{
    return !strName.empty() && strName != "." && strName != ".." &&
           strName.find_first_of(std::string("/\0", 2)) == std::string::npos;
}
