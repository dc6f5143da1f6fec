// CAdapterInventory: one snapshot of the machine's network adapters.
#pragma once

#include "core/model/adapter_info.h"
#include "win32/ip_helper.h"

class CAdapterInventory
{
public:
    // Empty; nothing is asked of the IP helper yet.
    explicit CAdapterInventory(CIpHelper& ipHelper) : m_pIpHelper(&ipHelper) {}
    virtual ~CAdapterInventory() = default;
    CAdapterInventory(const CAdapterInventory&) = delete;
    CAdapterInventory& operator=(const CAdapterInventory&) = delete;

    // Replaces the snapshot with the adapters the IP helper reports now, in its
    // order. 1 on success; 0 on failure, with the list left empty.
    int EnumerateAdapters();

    // Builds the record of one platform adapter and appends it to the list.
    void AddAdapter(const IP_ADAPTER_INFO& adapter);

    // Fills the autoconfiguration flags and DNS servers of a record from the
    // adapter with the given platform Index; a failure leaves them untouched.
    void QueryPerAdapterInfo(ULONG nIndex, AdapterInfo& info);

    // Appends the non-empty address texts of a chain, in chain order.
    static void CopyAddressList(const IP_ADDR_STRING& first, AddressList& addresses);

    // Bigger answers than this are taken as blocks that cannot be obtained:
    // at over 700 bytes per adapter it leaves room for some 20000 adapters.
    static constexpr ULONG kMaxBlockSize = 16 * 1024 * 1024;
    // Fresh tries when adapters keep appearing between the size query and the
    // call that fills the block.
    static constexpr int kMaxRefills = 3;

    AdapterList m_AdapterList; // read directly by the owner

private:
    CIpHelper* m_pIpHelper;
};
