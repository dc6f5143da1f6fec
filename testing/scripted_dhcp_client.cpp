#include "testing/scripted_dhcp_client.h"

#include <cstdint>

void CScriptedDhcpClient::SetOption(ULONG nOptionId, std::vector<BYTE> data)
{
    m_options[nOptionId] = std::move(data);
}

void CScriptedDhcpClient::SetInitializeResult(DWORD dwResult, DWORD dwVersion)
{
    m_dwInitializeResult = dwResult;
    m_dwVersion = dwVersion;
}

void CScriptedDhcpClient::MisplaceEntry(ULONG nOptionId, std::ptrdiff_t nOffset, DWORD nBytes)
{
    m_misplaced.push_back({nOptionId, nOffset, nBytes});
}

void CScriptedDhcpClient::MisplaceEntryWhenTooSmall(ULONG nOptionId, std::ptrdiff_t nOffset,
                                                    DWORD nBytes)
{
    m_misplacedWhenTooSmall.push_back({nOptionId, nOffset, nBytes});
}

// The address is made as an integer: a pointer outside the buffer cannot be
// made from it by pointer arithmetic.
void CScriptedDhcpClient::Misplace(const std::vector<MisplacedEntry>& entries,
                                   DHCPCAPI_PARAMS_ARRAY recdParams, LPBYTE pBuffer)
{
    for (const MisplacedEntry& entry : entries)
        for (ULONG i = 0; i < recdParams.nParams; ++i)
        {
            DHCPCAPI_PARAMS& param = recdParams.Params[i];
            if (param.OptionId != entry.nOptionId)
                continue;
            param.Data = reinterpret_cast<LPBYTE>(reinterpret_cast<std::uintptr_t>(pBuffer) +
                                                  static_cast<std::uintptr_t>(entry.nOffset));
            param.nBytesData = entry.nBytes;
        }
}

DWORD CScriptedDhcpClient::Initialize(DWORD* pdwVersion)
{
    ++m_nInitialize;
    *pdwVersion = m_dwVersion;
    return m_dwInitializeResult;
}

DWORD CScriptedDhcpClient::RequestParams(DWORD dwFlags, LPWSTR pszAdapterName,
                                         DHCPCAPI_PARAMS_ARRAY sendParams,
                                         DHCPCAPI_PARAMS_ARRAY recdParams, LPBYTE pBuffer,
                                         LPDWORD pdwSize)
{
    ScriptedDhcpCall call;
    call.dwFlags = dwFlags;
    for (const WCHAR* p = pszAdapterName; *p != 0; ++p)
        call.strAdapterName += *p < 0x80 ? static_cast<char>(*p) : '?';
    call.nSendParams = sendParams.nParams;
    for (ULONG i = 0; i < recdParams.nParams; ++i)
    {
        call.requestedOptions.push_back(recdParams.Params[i].OptionId);
        if (recdParams.Params[i].Data != nullptr || recdParams.Params[i].nBytesData != 0)
            ++call.nEntriesWithData;
    }
    call.dwBufferSize = *pdwSize;
    m_calls.push_back(call);
    if (m_fnProbe)
        m_fnProbe();

    if (m_dwFailure != 0)
        return m_dwFailure;

    const DWORD dwNeeded = ReplySize(m_options, recdParams);
    if (m_nForcedMoreData > 0 || *pdwSize < dwNeeded)
    {
        if (m_nForcedMoreData > 0)
            --m_nForcedMoreData;
        const bool bUnderReport = m_nUnderReportsUsed < m_underReports.size();
        *pdwSize = bUnderReport ? m_underReports[m_nUnderReportsUsed++] : dwNeeded;
        Misplace(m_misplacedWhenTooSmall, recdParams, pBuffer);
        return ERROR_MORE_DATA;
    }

    FillReply(m_options, recdParams, pBuffer);
    Misplace(m_misplaced, recdParams, pBuffer);
    if (m_dwSizeOnSuccess != 0)
        *pdwSize = m_dwSizeOnSuccess;
    return 0;
}
