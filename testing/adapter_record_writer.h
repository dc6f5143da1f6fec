// Writes adapters into a caller's buffer the way the platform's IP helper
// does: genuine IP_ADAPTER_INFO chains and IP_PER_ADAPTER_INFO records, with
// every address entry beyond the embedded ones inside the same buffer.
#pragma once

#include "platform/cstring.h"
#include "platform/platform_types.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// One IP_ADDR_STRING's texts. Texts longer than the platform's field are cut
// to fit, with the field's terminating zero.
struct AddressEntry
{
    CString m_strAddress;
    CString m_strMask;
};
// A chain left empty is written as one embedded entry with empty texts.
using AddressEntries = std::vector<AddressEntry>;

// The fields of one IP_ADAPTER_INFO.
struct AdapterRecord
{
    CString m_strName;
    CString m_strDescription;
    std::vector<BYTE> m_address; // the first MAX_ADAPTER_ADDRESS_LENGTH bytes are written
    UINT m_nAddressLength = 0;
    DWORD m_nIndex = 0;
    UINT m_nType = 0;
    UINT m_bDhcpEnabled = 0;
    BOOL m_bHaveWins = 0;
    std::int64_t m_tLeaseObtained = 0;
    std::int64_t m_tLeaseExpires = 0;
    AddressEntries m_IpAddresses;
    AddressEntries m_Gateways;
    AddressEntries m_DhcpServers;
    AddressEntries m_PrimaryWinsServers;
    AddressEntries m_SecondaryWinsServers;
};
using AdapterRecords = std::vector<AdapterRecord>;

// The fields of one IP_PER_ADAPTER_INFO.
struct PerAdapterRecord
{
    UINT m_bAutoconfigEnabled = 0;
    UINT m_bAutoconfigActive = 0;
    AddressEntries m_DnsServers;
};

// The bytes the chain of these adapters needs: the records, then the spare
// address entries. Zero for no adapters.
std::size_t AdaptersInfoSize(const AdapterRecords& adapters);

// Writes the chain into a buffer of at least AdaptersInfoSize bytes, aligned
// for IP_ADAPTER_INFO: the records in order, linked by Next, then every spare
// address entry.
void WriteAdaptersInfo(const AdapterRecords& adapters, PIP_ADAPTER_INFO pBuffer);

std::size_t PerAdapterInfoSize(const PerAdapterRecord& record);

// Writes the record into a buffer of at least PerAdapterInfoSize bytes, with
// its spare DNS entries right behind it.
void WritePerAdapterInfo(const PerAdapterRecord& record, PIP_PER_ADAPTER_INFO pBuffer);
