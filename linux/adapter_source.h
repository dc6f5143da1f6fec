// CLinuxAdapterSource: the machine's adapters in Veyra's own terms, from one
// rtnetlink snapshot (links, IPv4 addresses, default routes), sysfs and udev
// facts, resolv.conf, and each interface's lease.
#pragma once

#include "core/model/adapter_info.h"
#include "linux/lease_source.h"
#include "linux/linux_paths.h"

#include <optional>
#include <string>
#include <vector>

class CLinuxAdapterSource
{
public:
    // leases is asked once per adapter in each Read; it must outlive the source.
    CLinuxAdapterSource(LinuxPaths paths, CLeaseSource& leases);

    // Replaces the list with one adapter per interface that has a hardware
    // address, in ifindex order: 0, or the errno of the failure with the list
    // left empty. A lease source that cannot look (EACCES) counts as no lease.
    int Read(AdapterList& adapters);

    // The interface behind an adapter of the last Read, by its exact name,
    // with its index, IPv4 addresses and link-local address as that snapshot
    // saw them.
    std::optional<LeaseInterface> Interface(const std::string& strName) const;

private:
    // The IPv4 name servers of resolv.conf, as address texts.
    AddressList ResolverServers() const;

    LinuxPaths m_paths;
    CLeaseSource* m_pLeases;
    std::vector<LeaseInterface> m_Interfaces; // beside the last list read
};
