// CLinuxIpHelper: the platform's two adapter queries answered from Linux's own
// sources: the kernel over rtnetlink, sysfs and udev for descriptions and
// types, the DHCP lease sources, and resolv.conf.
#pragma once

#include "linux/device_facts.h"
#include "linux/lease_source.h"
#include "linux/linux_paths.h"
#include "testing/adapter_record_writer.h"
#include "win32/ip_helper.h"

#include <string>
#include <unordered_map>
#include <vector>

class CLinuxIpHelper final : public CIpHelper
{
public:
    // leases is read for every interface; it must outlive the helper.
    CLinuxIpHelper(LinuxPaths paths, CLeaseSource& leases);

    // One adapter per interface with a hardware address, in ifindex order.
    // Each call takes a fresh snapshot, so a fill call that finds more than
    // its buffer holds answers ERROR_BUFFER_OVERFLOW with the new size.
    // Failures are errno values.
    DWORD GetAdaptersInfo(PIP_ADAPTER_INFO pAdapterInfo, PULONG pOutBufLen) override;

    // Answers from the snapshot of the last GetAdaptersInfo call, which the
    // inventory makes just before; an index that snapshot lacks takes a
    // fresh one. ENODEV for an interface that is not an adapter.
    DWORD GetPerAdapterInfo(ULONG nIndex, PIP_PER_ADAPTER_INFO pPerAdapterInfo,
                            PULONG pOutBufLen) override;

private:
    struct KnownDevice
    {
        std::string m_strName;
        DeviceFacts m_facts;
    };

    // Replaces the adapters with those of the machine now: 0 or an errno value.
    int Describe();

    LinuxPaths m_paths;
    CLeaseSource* m_pLeases;
    AdapterRecords m_adapters;
    std::vector<PerAdapterRecord> m_perAdapter;         // beside m_adapters
    std::unordered_map<ULONG, std::size_t> m_positions; // ifindex to place in m_adapters
    // The device facts of the last snapshot's interfaces by ifindex, with the
    // name they were read under: the calls of one enumeration read sysfs and
    // udev once.
    std::unordered_map<unsigned, KnownDevice> m_knownDevices;
};
