// A DHCP client service that answers from prepared option bytes, for tests and
// benchmarks. It can answer "buffer too small", fail with chosen codes, lie
// about sizes and about where an option's bytes are, and it records every call.
#pragma once

#include "platform/cstring.h"
#include "testing/reply_buffer.h"
#include "win32/dhcp_client_service.h"

#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

struct ScriptedDhcpCall
{
    DWORD dwFlags = 0;
    CString strAdapterName; // the wide name, each character below 0x80 kept, others as '?'
    ULONG nSendParams = 0;
    std::vector<ULONG> requestedOptions;
    std::size_t nEntriesWithData = 0; // entries handed in already pointing at bytes
    DWORD dwBufferSize = 0;
};

class CScriptedDhcpClient final : public CDhcpClientService
{
public:
    // The bytes the "server" supplied for an option; an empty vector is an
    // option that comes back with zero length.
    void SetOption(ULONG nOptionId, std::vector<BYTE> data);
    // Answer ERROR_MORE_DATA to the next n requests whatever the buffer size.
    void ForceMoreData(int nRounds) { m_nForcedMoreData = nRounds; }
    // Sizes to report, one per "buffer too small" answer, before the true size.
    void UnderReportSizes(std::vector<DWORD> sizes) { m_underReports = std::move(sizes); }
    // Fail every request with this code (0: succeed).
    void FailWith(DWORD dwCode) { m_dwFailure = dwCode; }
    void SetInitializeResult(DWORD dwResult, DWORD dwVersion);
    // The size written to *pdwSize on success (0: left as the caller set it).
    void ReportSizeOnSuccess(DWORD dwSize) { m_dwSizeOnSuccess = dwSize; }
    // Points the option's entry at nOffset bytes from the start of the buffer
    // handed in, which may lie outside it, with nBytes bytes: in every
    // successful answer, or in every "buffer too small" answer.
    void MisplaceEntry(ULONG nOptionId, std::ptrdiff_t nOffset, DWORD nBytes);
    void MisplaceEntryWhenTooSmall(ULONG nOptionId, std::ptrdiff_t nOffset, DWORD nBytes);
    // Runs inside every request, before it is answered: lets a test look at
    // the caller while the call is in progress.
    void RunDuringRequests(std::function<void()> fnProbe) { m_fnProbe = std::move(fnProbe); }

    const std::vector<ScriptedDhcpCall>& Calls() const { return m_calls; }
    int InitializeCount() const { return m_nInitialize; }
    int CleanupCount() const { return m_nCleanup; }

    DWORD Initialize(DWORD* pdwVersion) override;
    DWORD RequestParams(DWORD dwFlags, LPWSTR pszAdapterName, DHCPCAPI_PARAMS_ARRAY sendParams,
                        DHCPCAPI_PARAMS_ARRAY recdParams, LPBYTE pBuffer, LPDWORD pdwSize) override;
    void Cleanup() override { ++m_nCleanup; }

private:
    struct MisplacedEntry
    {
        ULONG nOptionId;
        std::ptrdiff_t nOffset;
        DWORD nBytes;
    };
    static void Misplace(const std::vector<MisplacedEntry>& entries,
                         DHCPCAPI_PARAMS_ARRAY recdParams, LPBYTE pBuffer);

    ReplyOptions m_options;
    DWORD m_dwSizeOnSuccess = 0;
    std::vector<MisplacedEntry> m_misplaced;
    std::vector<MisplacedEntry> m_misplacedWhenTooSmall;
    int m_nForcedMoreData = 0;
    std::vector<DWORD> m_underReports;
    std::size_t m_nUnderReportsUsed = 0;
    DWORD m_dwFailure = 0;
    DWORD m_dwInitializeResult = 0;
    DWORD m_dwVersion = 2;
    int m_nInitialize = 0;
    int m_nCleanup = 0;
    std::vector<ScriptedDhcpCall> m_calls;
    std::function<void()> m_fnProbe;
};
