#include "win32/adapter_inventory.h"

#include "core/wire/hex_text.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <utility>

namespace
{
// A block of the size an IP helper call asked for, or null when it cannot be
// had. A size above the limit is refused like an allocation that failed. The
// block starts zeroed, so a platform that fills less than it said leaves null
// links behind rather than stray bytes.
std::unique_ptr<BYTE[]> ObtainBlock(ULONG nSize)
{
    if (nSize > CAdapterInventory::kMaxBlockSize)
        return nullptr;
    return std::unique_ptr<BYTE[]>(new (std::nothrow) BYTE[nSize]());
}

// True when a whole, aligned record of type T lies at p inside the block.
template <typename T> bool RecordInside(const T* p, const BYTE* pBlock, ULONG nBlockSize)
{
    const auto nStart = reinterpret_cast<std::uintptr_t>(pBlock);
    const auto nAt = reinterpret_cast<std::uintptr_t>(p);
    return nAt >= nStart && nAt - nStart <= nBlockSize &&
           sizeof(T) <= nBlockSize - (nAt - nStart) && (nAt - nStart) % alignof(T) == 0;
}

// The text of a fixed-size platform field: up to its first zero byte, and
// never past the end of the field.
template <std::size_t N> CString FieldText(const char (&field)[N])
{
    return CString(field, std::find(field, field + N, '\0'));
}

// The first six bytes, whatever the adapter's real address length, in
// capitals: "00:1A:2B:3C:4D:5E".
CString HardwareAddressText(const BYTE (&address)[MAX_ADAPTER_ADDRESS_LENGTH])
{
    static_assert(MAX_ADAPTER_ADDRESS_LENGTH >= 6, "an Ethernet address fits the record");
    return MacText(address, 6, HexCase::Upper);
}
} // namespace

int CAdapterInventory::EnumerateAdapters()
{
    m_AdapterList.clear();

    ULONG nSize = 0;
    DWORD dwResult = m_pIpHelper->GetAdaptersInfo(nullptr, &nSize);

    // An adapter that appears between the size query and the call that fills
    // the block makes that call answer ERROR_BUFFER_OVERFLOW with the new size:
    // try again with it, a few times, rather than report a machine without
    // adapters.
    std::unique_ptr<BYTE[]> block;
    ULONG nBlockSize = 0;
    for (int nFill = 0; dwResult == ERROR_BUFFER_OVERFLOW && nFill <= kMaxRefills; ++nFill)
    {
        nBlockSize = nSize;
        block = ObtainBlock(nBlockSize);
        if (!block)
        {
            std::fputs("\n Insufficient Memory ", stdout);
            std::fflush(stdout);
            return 0;
        }
        dwResult =
            m_pIpHelper->GetAdaptersInfo(reinterpret_cast<PIP_ADAPTER_INFO>(block.get()), &nSize);
    }
    if (dwResult != NO_ERROR)
        return 0;

    // A first answer of NO_ERROR carries no block and so no adapters. The walk
    // reads only records that lie wholly inside the block, and no more of them
    // than it can hold, so a broken chain cannot lead it astray.
    const std::size_t nCapacity = nBlockSize / sizeof(IP_ADAPTER_INFO);
    const auto* pAdapter = reinterpret_cast<const IP_ADAPTER_INFO*>(block.get());
    for (std::size_t n = 0; pAdapter != nullptr && n < nCapacity; ++n, pAdapter = pAdapter->Next)
    {
        if (!RecordInside(pAdapter, block.get(), nBlockSize))
            break;
        AddAdapter(*pAdapter);
    }
    return 1;
}

void CAdapterInventory::AddAdapter(const IP_ADAPTER_INFO& adapter)
{
    AdapterInfo info;
    info.m_strMacAddress = HardwareAddressText(adapter.Address);
    info.m_strDescription = FieldText(adapter.Description);
    info.m_nType = adapter.Type;
    info.m_strSubnetMask = FieldText(adapter.IpAddressList.IpMask.String);
    info.m_strAdapterName = FieldText(adapter.AdapterName);
    info.m_tLeaseObtained = adapter.LeaseObtained;
    info.m_tLeaseExpires = adapter.LeaseExpires;

    CopyAddressList(adapter.IpAddressList, info.m_IpAddresses);
    CopyAddressList(adapter.GatewayList, info.m_Gateways);

    // The platform may leave stale entries behind a cleared flag.
    info.m_bHaveWins = adapter.HaveWins;
    if (adapter.HaveWins != 0)
    {
        CopyAddressList(adapter.PrimaryWinsServer, info.m_PrimaryWinsServers);
        CopyAddressList(adapter.SecondaryWinsServer, info.m_SecondaryWinsServers);
    }
    info.m_bDhcpEnabled = adapter.DhcpEnabled;
    if (adapter.DhcpEnabled != 0)
        CopyAddressList(adapter.DhcpServer, info.m_DhcpServers);

    QueryPerAdapterInfo(adapter.Index, info);
    m_AdapterList.push_back(std::move(info));
}

void CAdapterInventory::QueryPerAdapterInfo(ULONG nIndex, AdapterInfo& info)
{
    ULONG nSize = 0;
    if (m_pIpHelper->GetPerAdapterInfo(nIndex, nullptr, &nSize) != ERROR_BUFFER_OVERFLOW)
        return;

    const ULONG nBlockSize = nSize;
    const std::unique_ptr<BYTE[]> block = ObtainBlock(nBlockSize);
    if (!block)
        return;
    auto* pInfo = reinterpret_cast<PIP_PER_ADAPTER_INFO>(block.get());
    if (m_pIpHelper->GetPerAdapterInfo(nIndex, pInfo, &nSize) != NO_ERROR ||
        !RecordInside(pInfo, block.get(), nBlockSize))
        return;

    info.m_bAutoconfigEnabled = pInfo->AutoconfigEnabled;
    info.m_bAutoconfigActive = pInfo->AutoconfigActive;
    CopyAddressList(pInfo->DnsServerList, info.m_DnsServers);
}

void CAdapterInventory::CopyAddressList(const IP_ADDR_STRING& first, AddressList& addresses)
{
    for (const IP_ADDR_STRING* pEntry = &first; pEntry != nullptr; pEntry = pEntry->Next)
    {
        CString strAddress = FieldText(pEntry->IpAddress.String);
        if (!strAddress.empty())
            addresses.push_back(std::move(strAddress));
    }
}
