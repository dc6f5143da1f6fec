// An IP helper that answers from prepared adapters, for tests and benchmarks.
// It writes genuine IP_ADAPTER_INFO chains into the caller's buffer, asks for
// exactly the size they need, can fail each call in each way the platform can,
// and records every call.
#pragma once

#include "platform/cstring.h"
#include "testing/adapter_record_writer.h"
#include "win32/ip_helper.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

// One adapter, built up by chained calls:
//   CPreparedAdapter("{4D36E972-0001}").HardwareAddress({0x00, 0x0C, 0x29, 0xAB, 0xCD, 0xEF})
//       .IpAddress("192.168.1.5", "255.255.255.0").Gateway("192.168.1.1")
// Texts longer than their platform field are cut to fit, with the field's
// terminating zero. A chain left empty is one embedded entry with empty texts.
class CPreparedAdapter
{
public:
    explicit CPreparedAdapter(CString strName) { m_record.m_strName = std::move(strName); }

    CPreparedAdapter& Description(CString strText);
    // The bytes of Address (the first MAX_ADAPTER_ADDRESS_LENGTH are kept);
    // AddressLength becomes their count unless set on its own.
    CPreparedAdapter& HardwareAddress(std::vector<BYTE> bytes);
    CPreparedAdapter& AddressLength(UINT nLength);
    CPreparedAdapter& Type(UINT nType);
    // Without one the adapter gets its position in the chain, counted from 1.
    CPreparedAdapter& Index(DWORD nIndex);
    CPreparedAdapter& DhcpEnabled(UINT bEnabled);
    CPreparedAdapter& HaveWins(BOOL bHaveWins);
    CPreparedAdapter& Lease(std::int64_t tObtained, std::int64_t tExpires);
    CPreparedAdapter& Autoconfig(UINT bEnabled, UINT bActive);

    // Each appends one entry to its chain.
    CPreparedAdapter& IpAddress(CString strAddress, CString strMask);
    CPreparedAdapter& Gateway(CString strAddress);
    CPreparedAdapter& DhcpServer(CString strAddress);
    CPreparedAdapter& PrimaryWinsServer(CString strAddress);
    CPreparedAdapter& SecondaryWinsServer(CString strAddress);
    CPreparedAdapter& DnsServer(CString strAddress);

private:
    friend class CPreparedIpHelper;

    AdapterRecord m_record;
    PerAdapterRecord m_perAdapter;
    std::optional<UINT> m_nAddressLength;
    std::optional<DWORD> m_nIndex;
};

// One call as the prepared helper saw it.
struct PreparedIpHelperCall
{
    ULONG nIndex = 0; // GetPerAdapterInfo only
    bool bBuffer = false;
    ULONG nSize = 0; // the size variable on entry
};

class CPreparedIpHelper final : public CIpHelper
{
public:
    // A call without a buffer (the size query) or with one (the fill).
    enum class Call
    {
        SizeQuery,
        Fill
    };

    // Appends an adapter to the machine's chain.
    void Add(CPreparedAdapter adapter);
    // Adapters that appear one by one, each just after a GetAdaptersInfo call
    // has answered, so that the next call needs more room than it was told.
    void AppearOneByOne(std::vector<CPreparedAdapter> adapters);

    // Every GetAdaptersInfo call of this kind answers dwCode instead and writes
    // nothing (ERROR_BUFFER_OVERFLOW still reports the size needed).
    void AnswerAdaptersInfo(Call call, DWORD dwCode);
    // The same for GetPerAdapterInfo on one adapter index.
    void AnswerPerAdapterInfo(DWORD nIndex, Call call, DWORD dwCode);
    // Bytes to ask for beyond what the records need.
    void PadAdaptersInfo(ULONG nBytes) { m_nAdaptersInfoPad = nBytes; }
    void PadPerAdapterInfo(ULONG nBytes) { m_nPerAdapterInfoPad = nBytes; }

    // The size GetAdaptersInfo asks for now.
    ULONG AdaptersInfoSize() const;

    const std::vector<PreparedIpHelperCall>& AdaptersInfoCalls() const { return m_adaptersCalls; }
    const std::vector<PreparedIpHelperCall>& PerAdapterInfoCalls() const
    {
        return m_perAdapterCalls;
    }
    // Starts the records of calls afresh, so that a long run does not grow them.
    void ForgetCalls();

    DWORD GetAdaptersInfo(PIP_ADAPTER_INFO pAdapterInfo, PULONG pOutBufLen) override;
    DWORD GetPerAdapterInfo(ULONG nIndex, PIP_PER_ADAPTER_INFO pPerAdapterInfo,
                            PULONG pOutBufLen) override;

private:
    DWORD AdaptersInfoAnswer(PIP_ADAPTER_INFO pAdapterInfo, PULONG pOutBufLen);
    const PerAdapterRecord* FindPerAdapter(ULONG nIndex) const;

    AdapterRecords m_adapters;
    std::vector<PerAdapterRecord> m_perAdapter;         // beside m_adapters
    std::unordered_map<ULONG, std::size_t> m_positions; // adapter index to place in m_adapters
    std::vector<CPreparedAdapter> m_appearing;
    std::size_t m_nAppeared = 0;
    std::map<Call, DWORD> m_adaptersAnswers;
    std::map<std::pair<ULONG, Call>, DWORD> m_perAdapterAnswers;
    ULONG m_nAdaptersInfoPad = 0;
    ULONG m_nPerAdapterInfoPad = 0;
    std::vector<PreparedIpHelperCall> m_adaptersCalls;
    std::vector<PreparedIpHelperCall> m_perAdapterCalls;
};
