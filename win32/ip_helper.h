// The IP helper, behind a narrow interface of our own: the two adapter queries
// of the platform's iphlpapi, with its record layouts and its two-call contract.
#pragma once

#include "platform/platform_types.h"

class CIpHelper
{
public:
    virtual ~CIpHelper() = default;

    // GetAdaptersInfo: called with no buffer, answers ERROR_BUFFER_OVERFLOW
    // with the size needed in *pOutBufLen (ERROR_NO_DATA when the machine has
    // no adapters); called with a buffer of that size, fills it with a chain of
    // IP_ADAPTER_INFO linked by Next and answers NO_ERROR. Any other answer is
    // a failure.
    virtual DWORD GetAdaptersInfo(PIP_ADAPTER_INFO pAdapterInfo, PULONG pOutBufLen) = 0;

    // GetPerAdapterInfo for the adapter with the given Index, with the same
    // two calls; the buffer then holds one IP_PER_ADAPTER_INFO.
    virtual DWORD GetPerAdapterInfo(ULONG nIndex, PIP_PER_ADAPTER_INFO pPerAdapterInfo,
                                    PULONG pOutBufLen) = 0;
};

#ifdef _WIN32
// The operating system's own IP helper, iphlpapi.dll.
CIpHelper& PlatformIpHelper();
#endif
