// The DHCP client service of Windows, dhcpcsvc.dll.
#include "win32/dhcp_client_service.h"

namespace
{
class CDhcpcsvcClient final : public CDhcpClientService
{
public:
    DWORD Initialize(DWORD* pdwVersion) override { return DhcpCApiInitialize(pdwVersion); }

    DWORD RequestParams(DWORD dwFlags, LPWSTR pszAdapterName, DHCPCAPI_PARAMS_ARRAY sendParams,
                        DHCPCAPI_PARAMS_ARRAY recdParams, LPBYTE pBuffer, LPDWORD pdwSize) override
    {
        return DhcpRequestParams(dwFlags, nullptr, pszAdapterName, nullptr, sendParams, recdParams,
                                 pBuffer, pdwSize, nullptr);
    }

    void Cleanup() override { DhcpCApiCleanup(); }
};
} // namespace

CDhcpClientService& PlatformDhcpClientService()
{
    static CDhcpcsvcClient s_client;
    return s_client;
}
