#include "adapters/prepared_ip_helper.h"

#include <algorithm>
#include <new>

namespace
{
template <std::size_t N> void CopyText(const CString& strText, char (&field)[N])
{
    const std::size_t nLength = std::min(strText.size(), N - 1);
    std::copy_n(strText.data(), nLength, field);
    field[nLength] = '\0';
}

// Entries a chain needs beyond the one embedded in its record.
std::size_t SpareEntries(std::size_t nEntries)
{
    return nEntries > 1 ? nEntries - 1 : 0;
}

// Writes a chain the way the platform does: the first entry into the record,
// the others into spare entries of the same buffer, linked by Next.
template <typename Chain>
void WriteChain(const Chain& chain, IP_ADDR_STRING& first, IP_ADDR_STRING*& pSpare)
{
    IP_ADDR_STRING* pLast = nullptr;
    for (const auto& entry : chain)
    {
        IP_ADDR_STRING* pEntry = pLast == nullptr ? &first : new (pSpare++) IP_ADDR_STRING{};
        if (pLast != nullptr)
            pLast->Next = pEntry;
        CopyText(entry.strAddress, pEntry->IpAddress.String);
        CopyText(entry.strMask, pEntry->IpMask.String);
        pLast = pEntry;
    }
}

template <typename Map, typename Key> const DWORD* Scripted(const Map& answers, const Key& key)
{
    const auto it = answers.find(key);
    return it == answers.end() ? nullptr : &it->second;
}
} // namespace

CPreparedAdapter& CPreparedAdapter::Description(CString strText)
{
    m_strDescription = std::move(strText);
    return *this;
}

CPreparedAdapter& CPreparedAdapter::HardwareAddress(std::vector<BYTE> bytes)
{
    if (bytes.size() > MAX_ADAPTER_ADDRESS_LENGTH)
        bytes.resize(MAX_ADAPTER_ADDRESS_LENGTH);
    m_address = std::move(bytes);
    return *this;
}

CPreparedAdapter& CPreparedAdapter::AddressLength(UINT nLength)
{
    m_nAddressLength = nLength;
    return *this;
}

CPreparedAdapter& CPreparedAdapter::Type(UINT nType)
{
    m_nType = nType;
    return *this;
}

CPreparedAdapter& CPreparedAdapter::Index(DWORD nIndex)
{
    m_nIndex = nIndex;
    return *this;
}

CPreparedAdapter& CPreparedAdapter::DhcpEnabled(UINT bEnabled)
{
    m_bDhcpEnabled = bEnabled;
    return *this;
}

CPreparedAdapter& CPreparedAdapter::HaveWins(BOOL bHaveWins)
{
    m_bHaveWins = bHaveWins;
    return *this;
}

CPreparedAdapter& CPreparedAdapter::Lease(std::int64_t tObtained, std::int64_t tExpires)
{
    m_tLeaseObtained = tObtained;
    m_tLeaseExpires = tExpires;
    return *this;
}

CPreparedAdapter& CPreparedAdapter::Autoconfig(UINT bEnabled, UINT bActive)
{
    m_bAutoconfigEnabled = bEnabled;
    m_bAutoconfigActive = bActive;
    return *this;
}

CPreparedAdapter& CPreparedAdapter::IpAddress(CString strAddress, CString strMask)
{
    m_ipAddresses.push_back({std::move(strAddress), std::move(strMask)});
    return *this;
}

CPreparedAdapter& CPreparedAdapter::Gateway(CString strAddress)
{
    m_gateways.push_back({std::move(strAddress), CString()});
    return *this;
}

CPreparedAdapter& CPreparedAdapter::DhcpServer(CString strAddress)
{
    m_dhcpServers.push_back({std::move(strAddress), CString()});
    return *this;
}

CPreparedAdapter& CPreparedAdapter::PrimaryWinsServer(CString strAddress)
{
    m_primaryWins.push_back({std::move(strAddress), CString()});
    return *this;
}

CPreparedAdapter& CPreparedAdapter::SecondaryWinsServer(CString strAddress)
{
    m_secondaryWins.push_back({std::move(strAddress), CString()});
    return *this;
}

CPreparedAdapter& CPreparedAdapter::DnsServer(CString strAddress)
{
    m_dnsServers.push_back({std::move(strAddress), CString()});
    return *this;
}

void CPreparedIpHelper::Add(CPreparedAdapter adapter)
{
    if (!adapter.m_nIndex)
        adapter.m_nIndex = static_cast<DWORD>(m_adapters.size() + 1);
    m_positions.emplace(*adapter.m_nIndex, m_adapters.size()); // the first one keeps an index
    m_adapters.push_back(std::move(adapter));
}

void CPreparedIpHelper::AppearOneByOne(std::vector<CPreparedAdapter> adapters)
{
    m_appearing = std::move(adapters);
    m_nAppeared = 0;
}

void CPreparedIpHelper::AnswerAdaptersInfo(Call call, DWORD dwCode)
{
    m_adaptersAnswers[call] = dwCode;
}

void CPreparedIpHelper::AnswerPerAdapterInfo(DWORD nIndex, Call call, DWORD dwCode)
{
    m_perAdapterAnswers[{nIndex, call}] = dwCode;
}

void CPreparedIpHelper::ForgetCalls()
{
    m_adaptersCalls.clear();
    m_perAdapterCalls.clear();
}

ULONG CPreparedIpHelper::AdaptersInfoSize() const
{
    std::size_t nSpare = 0;
    for (const CPreparedAdapter& adapter : m_adapters)
        nSpare += SpareEntries(adapter.m_ipAddresses.size()) +
                  SpareEntries(adapter.m_gateways.size()) +
                  SpareEntries(adapter.m_dhcpServers.size()) +
                  SpareEntries(adapter.m_primaryWins.size()) +
                  SpareEntries(adapter.m_secondaryWins.size());
    return static_cast<ULONG>(m_adapters.size() * sizeof(IP_ADAPTER_INFO) +
                              nSpare * sizeof(IP_ADDR_STRING) + m_nAdaptersInfoPad);
}

ULONG CPreparedIpHelper::PerAdapterInfoSize(const CPreparedAdapter& adapter) const
{
    return static_cast<ULONG>(sizeof(IP_PER_ADAPTER_INFO) +
                              SpareEntries(adapter.m_dnsServers.size()) * sizeof(IP_ADDR_STRING) +
                              m_nPerAdapterInfoPad);
}

DWORD CPreparedIpHelper::GetAdaptersInfo(PIP_ADAPTER_INFO pAdapterInfo, PULONG pOutBufLen)
{
    m_adaptersCalls.push_back({0, pAdapterInfo != nullptr, *pOutBufLen});
    const DWORD dwAnswer = AdaptersInfoAnswer(pAdapterInfo, pOutBufLen);
    // An adapter that appears now is seen by the next call.
    if (m_nAppeared < m_appearing.size())
        Add(m_appearing[m_nAppeared++]);
    return dwAnswer;
}

DWORD CPreparedIpHelper::AdaptersInfoAnswer(PIP_ADAPTER_INFO pAdapterInfo, PULONG pOutBufLen)
{
    const ULONG nNeeded = AdaptersInfoSize();
    const Call call = pAdapterInfo == nullptr ? Call::SizeQuery : Call::Fill;
    if (const DWORD* pScripted = Scripted(m_adaptersAnswers, call))
    {
        if (*pScripted == ERROR_BUFFER_OVERFLOW)
            *pOutBufLen = nNeeded;
        return *pScripted;
    }
    if (m_adapters.empty())
        return ERROR_NO_DATA;
    if (pAdapterInfo == nullptr || *pOutBufLen < nNeeded)
    {
        *pOutBufLen = nNeeded;
        return ERROR_BUFFER_OVERFLOW;
    }
    WriteAdapters(reinterpret_cast<BYTE*>(pAdapterInfo));
    return NO_ERROR;
}

// The records first, in chain order, then every spare address entry.
void CPreparedIpHelper::WriteAdapters(BYTE* pBuffer) const
{
    auto* pRecords = reinterpret_cast<IP_ADAPTER_INFO*>(pBuffer);
    auto* pSpare = reinterpret_cast<IP_ADDR_STRING*>(pRecords + m_adapters.size());
    for (std::size_t i = 0; i < m_adapters.size(); ++i)
    {
        const CPreparedAdapter& adapter = m_adapters[i];
        auto* pRecord = new (pRecords + i) IP_ADAPTER_INFO{};
        if (i + 1 < m_adapters.size())
            pRecord->Next = pRecords + i + 1;
        CopyText(adapter.m_strName, pRecord->AdapterName);
        CopyText(adapter.m_strDescription, pRecord->Description);
        std::copy(adapter.m_address.begin(), adapter.m_address.end(), pRecord->Address);
        pRecord->AddressLength =
            adapter.m_nAddressLength.value_or(static_cast<UINT>(adapter.m_address.size()));
        pRecord->Index = *adapter.m_nIndex;
        pRecord->Type = adapter.m_nType;
        pRecord->DhcpEnabled = adapter.m_bDhcpEnabled;
        pRecord->HaveWins = adapter.m_bHaveWins;
        pRecord->LeaseObtained =
            static_cast<decltype(pRecord->LeaseObtained)>(adapter.m_tLeaseObtained);
        pRecord->LeaseExpires =
            static_cast<decltype(pRecord->LeaseExpires)>(adapter.m_tLeaseExpires);
        WriteChain(adapter.m_ipAddresses, pRecord->IpAddressList, pSpare);
        WriteChain(adapter.m_gateways, pRecord->GatewayList, pSpare);
        WriteChain(adapter.m_dhcpServers, pRecord->DhcpServer, pSpare);
        WriteChain(adapter.m_primaryWins, pRecord->PrimaryWinsServer, pSpare);
        WriteChain(adapter.m_secondaryWins, pRecord->SecondaryWinsServer, pSpare);
    }
}

const CPreparedAdapter* CPreparedIpHelper::FindAdapter(ULONG nIndex) const
{
    const auto it = m_positions.find(nIndex);
    return it == m_positions.end() ? nullptr : &m_adapters[it->second];
}

DWORD CPreparedIpHelper::GetPerAdapterInfo(ULONG nIndex, PIP_PER_ADAPTER_INFO pPerAdapterInfo,
                                           PULONG pOutBufLen)
{
    m_perAdapterCalls.push_back({nIndex, pPerAdapterInfo != nullptr, *pOutBufLen});

    const CPreparedAdapter* pAdapter = FindAdapter(nIndex);
    const ULONG nNeeded = pAdapter != nullptr ? PerAdapterInfoSize(*pAdapter) : 0;
    const Call call = pPerAdapterInfo == nullptr ? Call::SizeQuery : Call::Fill;
    if (const DWORD* pScripted = Scripted(m_perAdapterAnswers, std::make_pair(nIndex, call)))
    {
        if (*pScripted == ERROR_BUFFER_OVERFLOW)
            *pOutBufLen = nNeeded;
        return *pScripted;
    }
    if (pAdapter == nullptr)
        return ERROR_INVALID_PARAMETER;
    if (pPerAdapterInfo == nullptr || *pOutBufLen < nNeeded)
    {
        *pOutBufLen = nNeeded;
        return ERROR_BUFFER_OVERFLOW;
    }

    auto* pInfo = new (pPerAdapterInfo) IP_PER_ADAPTER_INFO{};
    pInfo->AutoconfigEnabled = pAdapter->m_bAutoconfigEnabled;
    pInfo->AutoconfigActive = pAdapter->m_bAutoconfigActive;
    pInfo->CurrentDnsServer = &pInfo->DnsServerList;
    auto* pSpare = reinterpret_cast<IP_ADDR_STRING*>(pInfo + 1);
    WriteChain(pAdapter->m_dnsServers, pInfo->DnsServerList, pSpare);
    return NO_ERROR;
}
