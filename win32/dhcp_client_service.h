// The DHCP client service, behind a narrow interface of our own: the three
// operations of the platform's DHCP client API, with its record layouts.
#pragma once

#include "platform/platform_types.h"

class CDhcpClientService
{
public:
    virtual ~CDhcpClientService() = default;

    // DhcpCApiInitialize: 0, or a system error code; fills the version.
    virtual DWORD Initialize(DWORD* pdwVersion) = 0;

    // DhcpRequestParams without the reserved, class-id and request-id arguments,
    // which this program always passes as null. 0 on success, ERROR_MORE_DATA
    // with *pdwSize set to the size needed, or a system error code.
    virtual DWORD RequestParams(DWORD dwFlags, LPWSTR pszAdapterName,
                                DHCPCAPI_PARAMS_ARRAY sendParams, DHCPCAPI_PARAMS_ARRAY recdParams,
                                LPBYTE pBuffer, LPDWORD pdwSize) = 0;

    // DhcpCApiCleanup.
    virtual void Cleanup() = 0;
};

#ifdef _WIN32
// The operating system's own DHCP client service.
CDhcpClientService& PlatformDhcpClientService();
#endif
