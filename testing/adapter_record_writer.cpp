#include "testing/adapter_record_writer.h"

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
std::size_t SpareEntries(const AddressEntries& chain)
{
    return chain.size() > 1 ? chain.size() - 1 : 0;
}

// Writes a chain the way the platform does: the first entry into the record,
// the others into spare entries of the same buffer, linked by Next.
void WriteChain(const AddressEntries& chain, IP_ADDR_STRING& first, IP_ADDR_STRING*& pSpare)
{
    IP_ADDR_STRING* pLast = nullptr;
    for (const AddressEntry& entry : chain)
    {
        IP_ADDR_STRING* pEntry = pLast == nullptr ? &first : new (pSpare++) IP_ADDR_STRING{};
        if (pLast != nullptr)
            pLast->Next = pEntry;
        CopyText(entry.m_strAddress, pEntry->IpAddress.String);
        CopyText(entry.m_strMask, pEntry->IpMask.String);
        pLast = pEntry;
    }
}
} // namespace

std::size_t AdaptersInfoSize(const AdapterRecords& adapters)
{
    std::size_t nSpare = 0;
    for (const AdapterRecord& adapter : adapters)
        nSpare += SpareEntries(adapter.m_IpAddresses) + SpareEntries(adapter.m_Gateways) +
                  SpareEntries(adapter.m_DhcpServers) + SpareEntries(adapter.m_PrimaryWinsServers) +
                  SpareEntries(adapter.m_SecondaryWinsServers);
    return adapters.size() * sizeof(IP_ADAPTER_INFO) + nSpare * sizeof(IP_ADDR_STRING);
}

void WriteAdaptersInfo(const AdapterRecords& adapters, PIP_ADAPTER_INFO pBuffer)
{
    IP_ADAPTER_INFO* pRecords = pBuffer;
    auto* pSpare = reinterpret_cast<IP_ADDR_STRING*>(pRecords + adapters.size());
    for (std::size_t i = 0; i < adapters.size(); ++i)
    {
        const AdapterRecord& adapter = adapters[i];
        auto* pRecord = new (pRecords + i) IP_ADAPTER_INFO{};
        if (i + 1 < adapters.size())
            pRecord->Next = pRecords + i + 1;
        CopyText(adapter.m_strName, pRecord->AdapterName);
        CopyText(adapter.m_strDescription, pRecord->Description);
        std::copy_n(adapter.m_address.begin(),
                    std::min<std::size_t>(adapter.m_address.size(), MAX_ADAPTER_ADDRESS_LENGTH),
                    pRecord->Address);
        pRecord->AddressLength = adapter.m_nAddressLength;
        pRecord->Index = adapter.m_nIndex;
        pRecord->Type = adapter.m_nType;
        pRecord->DhcpEnabled = adapter.m_bDhcpEnabled;
        pRecord->HaveWins = adapter.m_bHaveWins;
        pRecord->LeaseObtained =
            static_cast<decltype(pRecord->LeaseObtained)>(adapter.m_tLeaseObtained);
        pRecord->LeaseExpires =
            static_cast<decltype(pRecord->LeaseExpires)>(adapter.m_tLeaseExpires);
        WriteChain(adapter.m_IpAddresses, pRecord->IpAddressList, pSpare);
        WriteChain(adapter.m_Gateways, pRecord->GatewayList, pSpare);
        WriteChain(adapter.m_DhcpServers, pRecord->DhcpServer, pSpare);
        WriteChain(adapter.m_PrimaryWinsServers, pRecord->PrimaryWinsServer, pSpare);
        WriteChain(adapter.m_SecondaryWinsServers, pRecord->SecondaryWinsServer, pSpare);
    }
}

std::size_t PerAdapterInfoSize(const PerAdapterRecord& record)
{
    return sizeof(IP_PER_ADAPTER_INFO) + SpareEntries(record.m_DnsServers) * sizeof(IP_ADDR_STRING);
}

void WritePerAdapterInfo(const PerAdapterRecord& record, PIP_PER_ADAPTER_INFO pBuffer)
{
    auto* pInfo = new (pBuffer) IP_PER_ADAPTER_INFO{};
    pInfo->AutoconfigEnabled = record.m_bAutoconfigEnabled;
    pInfo->AutoconfigActive = record.m_bAutoconfigActive;
    pInfo->CurrentDnsServer = &pInfo->DnsServerList;
    auto* pSpare = reinterpret_cast<IP_ADDR_STRING*>(pInfo + 1);
    WriteChain(record.m_DnsServers, pInfo->DnsServerList, pSpare);
}
