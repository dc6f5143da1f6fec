// CDhcpQuery: the program's single point of contact with the DHCP client service.
#pragma once

#include "core/model/dhcp_option.h"
#include "core/model/requested_options.h"
#include "platform/cstring.h"
#include "win32/dhcp_client_service.h"

#include <array>
#include <cstddef>
#include <cstdio>

class CDhcpQuery
{
public:
    // Initialises the service's interface; a failure is kept as the error text,
    // and every request fails with it.
    explicit CDhcpQuery(CDhcpClientService& service);
    virtual ~CDhcpQuery();
    CDhcpQuery(const CDhcpQuery&) = delete;
    CDhcpQuery& operator=(const CDhcpQuery&) = delete;

    // Asks the service for the options of one adapter (its platform name) and
    // appends each supplied option, decoded, in request order. False on failure,
    // with the error text set; nothing is appended then.
    bool RequestOptions(DhcpOptionList& options, const char* pszAdapterName);

    // Where the line announcing each request goes; standard output unless a
    // caller needs that for its data.
    void SetTraceStream(std::FILE* pTrace) { m_pTrace = pTrace; }

    // The text of the last failure.
    CString GetErrorText() const { return m_strError; }

    // The options asked for, in the order their rows appear: those of every front end.
    static constexpr const auto& kRequestedOptions = ::kRequestedOptions;

    static constexpr DWORD kFirstReplySize = 256;
    // Most answers of "buffer too small" honoured in one request.
    static constexpr int kMaxRounds = 16;
    // Wide characters of an adapter name, with its terminating zero.
    static constexpr std::size_t kAdapterNameCapacity = 128;

private:
    void FormatError(DWORD dwCode);
    bool CallService(WCHAR* pszAdapterName,
                     std::array<DHCPCAPI_PARAMS, kRequestedOptionCount>& params,
                     DhcpOptionList& options);

    DWORD m_dwVersion = 0;
    DWORD m_dwInitializeResult = 0;
    CString m_strError;
    CDhcpClientService* m_pService;
    std::FILE* m_pTrace = stdout;
};
