#include "testing/reply_buffer.h"

#include <cstring>

DWORD ReplySize(const ReplyOptions& options, const DHCPCAPI_PARAMS_ARRAY& recdParams)
{
    DWORD dwNeeded = 0;
    for (ULONG i = 0; i < recdParams.nParams; ++i)
    {
        const auto it = options.find(recdParams.Params[i].OptionId);
        if (it != options.end())
            dwNeeded += static_cast<DWORD>(it->second.size());
    }
    return dwNeeded;
}

void FillReply(const ReplyOptions& options, DHCPCAPI_PARAMS_ARRAY recdParams, LPBYTE pBuffer)
{
    BYTE* pNext = pBuffer;
    for (ULONG i = 0; i < recdParams.nParams; ++i)
    {
        DHCPCAPI_PARAMS& param = recdParams.Params[i];
        const auto it = options.find(param.OptionId);
        if (it == options.end())
            continue;
        param.Data = pNext;
        param.nBytesData = static_cast<DWORD>(it->second.size());
        if (!it->second.empty())
            std::memcpy(pNext, it->second.data(), it->second.size());
        pNext += it->second.size();
    }
}
