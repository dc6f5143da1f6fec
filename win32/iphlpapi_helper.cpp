// The IP helper of Windows, iphlpapi.dll.
#include "win32/ip_helper.h"

namespace
{
class CIphlpapiHelper final : public CIpHelper
{
public:
    DWORD GetAdaptersInfo(PIP_ADAPTER_INFO pAdapterInfo, PULONG pOutBufLen) override
    {
        return ::GetAdaptersInfo(pAdapterInfo, pOutBufLen);
    }

    DWORD GetPerAdapterInfo(ULONG nIndex, PIP_PER_ADAPTER_INFO pPerAdapterInfo,
                            PULONG pOutBufLen) override
    {
        return ::GetPerAdapterInfo(nIndex, pPerAdapterInfo, pOutBufLen);
    }
};
} // namespace

CIpHelper& PlatformIpHelper()
{
    static CIphlpapiHelper s_helper;
    return s_helper;
}
