#include "win32/dhcp_query.h"

#include "core/model/lease.h"
#include "platform/system_error_text.h"
#include "platform/wide_text.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>

namespace
{
// A reply larger than this is no DHCP reply: even with option overload and
// long options (RFC 3396) a message stays far below it.
constexpr DWORD kMaxReplySize = 1024 * 1024;

// The size for the next round: what the service asks for. A service that
// under-reports what it needs gets a buffer that doubles instead, up to the
// largest reply, so that the bounded rounds are enough.
DWORD NextReplySize(DWORD dwCurrent, DWORD dwReported)
{
    if (dwReported > dwCurrent)
        return dwReported;
    return dwCurrent >= kMaxReplySize / 2 ? std::max(dwCurrent, kMaxReplySize) : dwCurrent * 2;
}

CString SignedDecimal(DWORD dwValue)
{
    const auto nValue = static_cast<long long>(dwValue);
    return std::to_string(dwValue < 0x80000000u ? nValue : nValue - 0x100000000LL);
}

// True when the entry's bytes lie wholly inside the reply buffer.
bool DataInsideBuffer(const DHCPCAPI_PARAMS& param, const BYTE* pBuffer, DWORD dwSize)
{
    const auto nStart = reinterpret_cast<std::uintptr_t>(pBuffer);
    const auto nData = reinterpret_cast<std::uintptr_t>(param.Data);
    return param.Data != nullptr && nData >= nStart && nData - nStart <= dwSize &&
           param.nBytesData <= dwSize - (nData - nStart);
}
} // namespace

CDhcpQuery::CDhcpQuery(CDhcpClientService& service) : m_pService(&service)
{
    m_dwInitializeResult = m_pService->Initialize(&m_dwVersion);
    if (m_dwInitializeResult != 0)
        FormatError(m_dwInitializeResult);
}

// The API is cleaned up only after it was initialised.
CDhcpQuery::~CDhcpQuery()
{
    if (m_dwInitializeResult == 0)
        m_pService->Cleanup();
}

bool CDhcpQuery::RequestOptions(DhcpOptionList& options, const char* pszAdapterName)
{
    if (pszAdapterName == nullptr)
        return false;
    // Without an initialised API nothing can be asked: every request fails
    // with the reason it could not be initialised.
    if (m_dwInitializeResult != 0)
    {
        FormatError(m_dwInitializeResult);
        return false;
    }

    WCHAR szWideName[kAdapterNameCapacity];
    if (!ToWideText(pszAdapterName, szWideName, kAdapterNameCapacity))
    {
        FormatError(ERROR_INVALID_PARAMETER);
        return false;
    }

    std::array<DHCPCAPI_PARAMS, kRequestedOptionCount> params;
    std::fprintf(m_pTrace, "Getting DHCP Options on Adapter [%s]\n", pszAdapterName);
    std::fflush(m_pTrace);

    return CallService(szWideName, params, options);
}

bool CDhcpQuery::CallService(WCHAR* pszAdapterName,
                             std::array<DHCPCAPI_PARAMS, kRequestedOptionCount>& params,
                             DhcpOptionList& options)
{
    const DHCPCAPI_PARAMS_ARRAY sendParams{0, nullptr};
    const DHCPCAPI_PARAMS_ARRAY recdParams{static_cast<ULONG>(params.size()), params.data()};

    DWORD dwSize = kFirstReplySize;
    for (int nRound = 1;; ++nRound)
    {
        std::unique_ptr<BYTE[]> pBuffer;
        if (dwSize <= kMaxReplySize)
            pBuffer.reset(new (std::nothrow) BYTE[dwSize]());
        if (!pBuffer)
        {
            FormatError(ERROR_NOT_ENOUGH_MEMORY);
            return false;
        }

        // Entries written in an earlier round point into a buffer since freed.
        for (std::size_t i = 0; i < params.size(); ++i)
            params[i] = DHCPCAPI_PARAMS{0, kRequestedOptions[i], FALSE, nullptr, 0};

        DWORD dwNeeded = dwSize;
        const DWORD dwResult =
            m_pService->RequestParams(DHCPCAPI_REQUEST_SYNCHRONOUS, pszAdapterName, sendParams,
                                      recdParams, pBuffer.get(), &dwNeeded);
        if (dwResult == ERROR_MORE_DATA && nRound < kMaxRounds)
        {
            dwSize = NextReplySize(dwSize, dwNeeded);
            continue;
        }
        if (dwResult != 0)
        {
            FormatError(dwResult);
            return false;
        }

        // Keyed by the code asked for in each entry, each asked for once: what
        // the service writes back in an entry cannot move its bytes elsewhere.
        OptionMap reply;
        for (std::size_t i = 0; i < params.size(); ++i)
        {
            const DHCPCAPI_PARAMS& param = params[i];
            if (param.nBytesData == 0 || !DataInsideBuffer(param, pBuffer.get(), dwSize))
                continue;
            reply[kRequestedOptions[i]].assign(param.Data, param.Data + param.nBytesData);
        }
        const DhcpOptionList decoded = DecodeRequestedOptions(reply);
        options.insert(options.end(), decoded.begin(), decoded.end());
        return true;
    }
}

void CDhcpQuery::FormatError(DWORD dwCode)
{
    CString strText;
    DWORD dwLookupError = 0;
    if (LookupSystemErrorText(dwCode, strText, dwLookupError))
        m_strError = "DHCP Error " + SignedDecimal(dwCode) + ": " + strText + "\n";
    else
        m_strError = "DHCP Error: " + SignedDecimal(dwCode) +
                     " GetLastError: " + SignedDecimal(dwLookupError);
}
