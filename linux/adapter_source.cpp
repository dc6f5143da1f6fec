#include "linux/adapter_source.h"

#include "core/wire/address_list.h"
#include "core/wire/address_text.h"
#include "core/wire/hex_text.h"
#include "core/wire/ipv6_text.h"
#include "linux/adapter_type_table.h"
#include "linux/device_facts.h"
#include "linux/netlink_snapshot.h"
#include "linux/resolv_conf.h"
#include "platform/bounded_file.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

#include <linux/if_addr.h>

namespace
{
constexpr std::uint8_t kDnsServersOption = 6;
constexpr std::uint8_t kServerIdentifierOption = 54;

// The longest name and description the Windows edition's adapter record
// holds; Linux shows no more of them, and a hostile udev database no more.
constexpr std::size_t kMaxNameText = 259;
constexpr std::size_t kMaxDescriptionText = 131;

CString MaskText(unsigned nPrefixLength)
{
    const unsigned nBits = std::min(nPrefixLength, 32u);
    return DottedQuad(nBits == 0 ? 0 : ~std::uint32_t{0} << (32 - nBits));
}

// The first six bytes in capitals, "00:1A:2B:3C:4D:5E", zeros standing in
// for bytes a shorter address lacks.
CString HardwareAddressText(const std::vector<std::uint8_t>& address)
{
    std::uint8_t first[6] = {};
    std::copy_n(address.begin(), std::min(address.size(), std::size(first)), first);
    return MacText(first, std::size(first), HexCase::Upper);
}

AddressList OptionAddresses(const OptionBytes& bytes)
{
    return Ipv4AddressList(bytes.data(), bytes.size()).Texts();
}

bool HasHardwareAddress(const NetlinkInterface& link)
{
    return std::any_of(link.m_HardwareAddress.begin(), link.m_HardwareAddress.end(),
                       [](std::uint8_t nByte) { return nByte != 0; });
}

bool IsLinkLocal(const Ipv6Address& address)
{
    return address[0] == 0xFE && (address[1] & 0xC0) == 0x80;
}

// The first fe80::/10 address that has passed duplicate address detection.
std::optional<Ipv6Address> LinkLocalOf(const NetlinkInterface& link)
{
    for (const NetlinkAddress6& address : link.ipv6Addresses)
        if (IsLinkLocal(address.address) &&
            (address.flags & (IFA_F_TENTATIVE | IFA_F_DADFAILED)) == 0)
            return address.address;
    return std::nullopt;
}

// The adapter of an interface, without its lease and DNS servers.
AdapterInfo AdapterOf(const NetlinkInterface& link, const DeviceFacts& facts)
{
    AdapterInfo info;
    info.m_nType = AdapterTypeFor(link.m_nArpType, facts.m_bWireless);
    info.m_strAdapterName = link.m_strName.substr(0, kMaxNameText);
    info.m_strDescription = DescribeInterface(facts, link).substr(0, kMaxDescriptionText);
    info.m_strMacAddress = HardwareAddressText(link.m_HardwareAddress);
    if (!link.m_Addresses.empty())
        info.m_strSubnetMask = MaskText(link.m_Addresses.front().m_nPrefixLength);
    info.m_IpAddresses.reserve(link.m_Addresses.size());
    for (const NetlinkAddress& address : link.m_Addresses)
        info.m_IpAddresses.push_back(DottedQuad(address.m_nAddress));
    info.m_Ipv6Addresses.reserve(link.ipv6Addresses.size());
    for (const NetlinkAddress6& address : link.ipv6Addresses)
        info.m_Ipv6Addresses.push_back(Ipv6Text(address.address.data()) + "/" +
                                       std::to_string(address.prefixLength));
    info.m_Gateways.reserve(link.m_Gateways.size());
    for (const std::uint32_t nGateway : link.m_Gateways)
        info.m_Gateways.push_back(DottedQuad(nGateway));
    return info;
}

// The DHCP fields of the adapter from its interface's lease.
void AddLease(const Lease& lease, AdapterInfo& info)
{
    info.m_bDhcpEnabled = 1;
    const auto server = lease.m_mapOptions.find(kServerIdentifierOption);
    if (server != lease.m_mapOptions.end() && server->second.size() == 4)
        info.m_DhcpServers = OptionAddresses(server->second);
    info.m_tLeaseObtained = lease.m_tObtained.value_or(0);
    info.m_tLeaseExpires = lease.m_tExpires.value_or(0);
    const auto dns = lease.m_mapOptions.find(kDnsServersOption);
    if (dns != lease.m_mapOptions.end())
        info.m_DnsServers = OptionAddresses(dns->second);
}
} // namespace

CLinuxAdapterSource::CLinuxAdapterSource(LinuxPaths paths, CLeaseSource& leases)
    : m_paths(std::move(paths)), m_pLeases(&leases)
{
}

int CLinuxAdapterSource::Read(AdapterList& adapters)
{
    adapters.clear();
    m_Interfaces.clear();
    CNetlinkSnapshot snapshot;
    if (const int nError = snapshot.Take())
        return nError;

    // The resolver's servers stand in for every lease that names none; the
    // file is read when the first such adapter turns up.
    std::optional<AddressList> resolverServers;
    adapters.reserve(snapshot.Interfaces().size());
    m_Interfaces.reserve(snapshot.Interfaces().size());
    for (const auto& [nIndex, link] : snapshot.Interfaces())
    {
        if (!HasHardwareAddress(link))
            continue;
        AdapterInfo info = AdapterOf(link, ReadDeviceFacts(m_paths, link));

        LeaseInterface iface;
        iface.m_strName = link.m_strName;
        iface.m_nIndex = nIndex;
        iface.m_IpAddresses.reserve(link.m_Addresses.size());
        for (const NetlinkAddress& address : link.m_Addresses)
            iface.m_IpAddresses.push_back(address.m_nAddress);
        iface.linkLocal = LinkLocalOf(link);
        iface.ipv6Addresses.reserve(link.ipv6Addresses.size());
        for (const NetlinkAddress6& address : link.ipv6Addresses)
            iface.ipv6Addresses.push_back(address.address);
        Lease lease;
        // A source that cannot look (EACCES) is no lease, like a source without one.
        if (m_pLeases->Read(iface, lease) == 0)
            AddLease(lease, info);
        if (info.m_DnsServers.empty())
        {
            if (!resolverServers)
                resolverServers = ResolverServers();
            info.m_DnsServers = *resolverServers;
        }

        adapters.push_back(std::move(info));
        m_Interfaces.push_back(std::move(iface));
    }
    return 0;
}

std::optional<LeaseInterface> CLinuxAdapterSource::Interface(const std::string& strName) const
{
    const auto it = std::find_if(m_Interfaces.begin(), m_Interfaces.end(),
                                 [&strName](const LeaseInterface& iface)
                                 { return iface.m_strName == strName; });
    if (it == m_Interfaces.end())
        return std::nullopt;
    return *it;
}

AddressList CLinuxAdapterSource::ResolverServers() const
{
    AddressList servers;
    std::string strResolvConf;
    if (ReadBoundedFile(m_paths.m_strResolvConf, kMaxFileBytes, SymbolicLinks::Follow,
                        strResolvConf) == 0)
        for (const std::uint32_t nServer : ResolvConfNameservers(strResolvConf))
            servers.push_back(DottedQuad(nServer));
    return servers;
}
