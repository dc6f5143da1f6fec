// CLinuxDhcpClient: the DHCP client service of a Linux machine. Linux has no
// DHCP client API, so the options come from what its DHCP clients keep of the
// interface's lease, through a chain of lease sources.
#pragma once

#include "linux/lease_source.h"
#include "win32/dhcp_client_service.h"

#include <functional>
#include <optional>
#include <string>

// The interface of that name with its index and IPv4 addresses, or nothing
// when there is no such interface.
std::optional<LeaseInterface> FindLeaseInterface(const std::string& strName);

class CLinuxDhcpClient final : public CDhcpClientService
{
public:
    using InterfaceFinder = std::function<std::optional<LeaseInterface>(const std::string&)>;

    explicit CLinuxDhcpClient(CLeaseSource& leases,
                              InterfaceFinder findInterface = FindLeaseInterface)
        : m_pLeases(&leases), m_findInterface(std::move(findInterface))
    {
    }

    DWORD Initialize(DWORD* pdwVersion) override;
    // Answers with errno values: ENODEV for no such interface, ENODATA when no
    // source has a lease for it, or the first source's failure (EACCES...).
    DWORD RequestParams(DWORD dwFlags, LPWSTR pszAdapterName, DHCPCAPI_PARAMS_ARRAY sendParams,
                        DHCPCAPI_PARAMS_ARRAY recdParams, LPBYTE pBuffer, LPDWORD pdwSize) override;
    void Cleanup() override {}

    // The lease the last request answered from: each option's raw bytes and
    // the source that supplied them.
    const Lease& LastLease() const { return m_lastLease; }
    // What the last request answered: 0 or the errno value.
    DWORD LastResult() const { return m_dwLastResult; }

private:
    DWORD ReadLease(const std::string& strInterface);

    CLeaseSource* m_pLeases;
    InterfaceFinder m_findInterface;
    Lease m_lastLease;
    DWORD m_dwLastResult = 0;
    // The interface whose lease a "buffer too small" answer left in
    // m_lastLease, so that the caller's next round reuses it rather than
    // asking every source (and the network) again.
    std::string m_strPendingInterface;
};
