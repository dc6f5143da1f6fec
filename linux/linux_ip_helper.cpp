#include "linux/linux_ip_helper.h"

#include "linux/adapter_type_table.h"
#include "linux/netlink_snapshot.h"
#include "linux/resolv_conf.h"
#include "platform/bounded_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <limits>

namespace
{
constexpr std::uint8_t kDnsServersOption = 6;
constexpr std::uint8_t kServerIdentifierOption = 54;

CString DottedText(std::uint32_t nAddress)
{
    return std::to_string(nAddress >> 24) + "." + std::to_string((nAddress >> 16) & 0xFF) + "." +
           std::to_string((nAddress >> 8) & 0xFF) + "." + std::to_string(nAddress & 0xFF);
}

CString MaskText(unsigned nPrefixLength)
{
    const unsigned nBits = std::min(nPrefixLength, 32u);
    return DottedText(nBits == 0 ? 0 : ~std::uint32_t{0} << (32 - nBits));
}

// The addresses of an option that lists IPv4 addresses; a partial one at the end is dropped.
AddressEntries OptionAddresses(const OptionBytes& bytes)
{
    AddressEntries entries;
    for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4)
        entries.push_back(
            {DottedText(std::uint32_t{bytes[i]} << 24 | std::uint32_t{bytes[i + 1]} << 16 |
                        std::uint32_t{bytes[i + 2]} << 8 | bytes[i + 3]),
             CString()});
    return entries;
}

// The record of an interface, without its lease.
AdapterRecord RecordOf(const NetlinkInterface& link, const DeviceFacts& facts)
{
    AdapterRecord record;
    record.m_strName = link.m_strName;
    record.m_strDescription = DescribeInterface(facts, link);
    record.m_address = link.m_HardwareAddress;
    record.m_nAddressLength = static_cast<UINT>(
        std::min<std::size_t>(link.m_HardwareAddress.size(), MAX_ADAPTER_ADDRESS_LENGTH));
    record.m_nIndex = link.m_nIndex;
    record.m_nType = AdapterTypeFor(link.m_nArpType, facts.m_bWireless);
    for (const NetlinkAddress& address : link.m_Addresses)
        record.m_IpAddresses.push_back(
            {DottedText(address.m_nAddress), MaskText(address.m_nPrefixLength)});
    for (const std::uint32_t nGateway : link.m_Gateways)
        record.m_Gateways.push_back({DottedText(nGateway), CString()});
    return record;
}

// The DHCP fields of the records from the interface's lease.
void AddLease(const Lease& lease, AdapterRecord& record, PerAdapterRecord& perAdapter)
{
    record.m_bDhcpEnabled = 1;
    const auto server = lease.m_mapOptions.find(kServerIdentifierOption);
    if (server != lease.m_mapOptions.end() && server->second.size() == 4)
        record.m_DhcpServers = OptionAddresses(server->second);
    record.m_tLeaseObtained = lease.m_tObtained.value_or(0);
    record.m_tLeaseExpires = lease.m_tExpires.value_or(0);
    const auto dns = lease.m_mapOptions.find(kDnsServersOption);
    if (dns != lease.m_mapOptions.end())
        perAdapter.m_DnsServers = OptionAddresses(dns->second);
}

bool HasHardwareAddress(const NetlinkInterface& link)
{
    return std::any_of(link.m_HardwareAddress.begin(), link.m_HardwareAddress.end(),
                       [](std::uint8_t nByte) { return nByte != 0; });
}

// An errno value as an answer. ECONNREFUSED shares its number with
// ERROR_BUFFER_OVERFLOW, which would pass for a size answer.
DWORD ErrorAnswer(int nError)
{
    return nError == static_cast<int>(ERROR_BUFFER_OVERFLOW) ? EPROTO : static_cast<DWORD>(nError);
}

// The size in *pOutBufLen, or an error when it does not fit the platform's
// size variable.
DWORD AnswerSize(std::size_t nNeeded, PULONG pOutBufLen)
{
    if (nNeeded > std::numeric_limits<ULONG>::max())
        return EOVERFLOW;
    *pOutBufLen = static_cast<ULONG>(nNeeded);
    return ERROR_BUFFER_OVERFLOW;
}
} // namespace

CLinuxIpHelper::CLinuxIpHelper(LinuxPaths paths, CLeaseSource& leases)
    : m_paths(std::move(paths)), m_pLeases(&leases)
{
}

int CLinuxIpHelper::Describe()
{
    m_adapters.clear();
    m_perAdapter.clear();
    m_positions.clear();
    CNetlinkSnapshot snapshot;
    if (const int nError = snapshot.Take())
        return nError;

    // The resolver's servers stand in for every lease that names none.
    std::string strResolvConf;
    AddressEntries resolverServers;
    if (ReadBoundedFile(m_paths.m_strResolvConf, kMaxFileBytes, SymbolicLinks::Follow,
                        strResolvConf) == 0)
        for (const std::uint32_t nServer : ResolvConfNameservers(strResolvConf))
            resolverServers.push_back({DottedText(nServer), CString()});

    std::unordered_map<unsigned, KnownDevice> knownDevices;
    for (const auto& [nIndex, link] : snapshot.Interfaces())
    {
        if (!HasHardwareAddress(link))
            continue;
        KnownDevice& device = knownDevices[nIndex];
        const auto known = m_knownDevices.find(nIndex);
        if (known != m_knownDevices.end() && known->second.m_strName == link.m_strName)
            device = std::move(known->second);
        else
            device = {link.m_strName, ReadDeviceFacts(m_paths, link)};
        AdapterRecord record = RecordOf(link, device.m_facts);

        PerAdapterRecord perAdapter;
        LeaseInterface iface;
        iface.m_strName = link.m_strName;
        iface.m_nIndex = nIndex;
        for (const NetlinkAddress& address : link.m_Addresses)
            iface.m_IpAddresses.push_back(address.m_nAddress);
        Lease lease;
        // A source that cannot look (EACCES) is no lease, like a source without one.
        if (m_pLeases->Read(iface, lease) == 0)
            AddLease(lease, record, perAdapter);
        if (perAdapter.m_DnsServers.empty())
            perAdapter.m_DnsServers = resolverServers;

        m_positions.emplace(nIndex, m_adapters.size());
        m_adapters.push_back(std::move(record));
        m_perAdapter.push_back(std::move(perAdapter));
    }
    m_knownDevices = std::move(knownDevices);
    return 0;
}

DWORD CLinuxIpHelper::GetAdaptersInfo(PIP_ADAPTER_INFO pAdapterInfo, PULONG pOutBufLen)
{
    if (pOutBufLen == nullptr)
        return EINVAL;
    if (const int nError = Describe())
        return ErrorAnswer(nError);
    if (m_adapters.empty())
        return ERROR_NO_DATA;
    const std::size_t nNeeded = AdaptersInfoSize(m_adapters);
    if (pAdapterInfo == nullptr || *pOutBufLen < nNeeded)
        return AnswerSize(nNeeded, pOutBufLen);
    WriteAdaptersInfo(m_adapters, pAdapterInfo);
    return NO_ERROR;
}

DWORD CLinuxIpHelper::GetPerAdapterInfo(ULONG nIndex, PIP_PER_ADAPTER_INFO pPerAdapterInfo,
                                        PULONG pOutBufLen)
{
    if (pOutBufLen == nullptr)
        return EINVAL;
    if (m_positions.count(nIndex) == 0)
        if (const int nError = Describe())
            return ErrorAnswer(nError);
    const auto it = m_positions.find(nIndex);
    if (it == m_positions.end())
        return ENODEV;
    const PerAdapterRecord& record = m_perAdapter[it->second];
    const std::size_t nNeeded = PerAdapterInfoSize(record);
    if (pPerAdapterInfo == nullptr || *pOutBufLen < nNeeded)
        return AnswerSize(nNeeded, pOutBufLen);
    WritePerAdapterInfo(record, pPerAdapterInfo);
    return NO_ERROR;
}
