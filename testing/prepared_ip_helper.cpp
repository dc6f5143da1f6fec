#include "testing/prepared_ip_helper.h"

namespace
{
template <typename Map, typename Key> const DWORD* Scripted(const Map& answers, const Key& key)
{
    const auto it = answers.find(key);
    return it == answers.end() ? nullptr : &it->second;
}
} // namespace

CPreparedAdapter& CPreparedAdapter::Description(CString strText)
{
    m_record.m_strDescription = std::move(strText);
    return *this;
}

CPreparedAdapter& CPreparedAdapter::HardwareAddress(std::vector<BYTE> bytes)
{
    if (bytes.size() > MAX_ADAPTER_ADDRESS_LENGTH)
        bytes.resize(MAX_ADAPTER_ADDRESS_LENGTH);
    m_record.m_address = std::move(bytes);
    return *this;
}

CPreparedAdapter& CPreparedAdapter::AddressLength(UINT nLength)
{
    m_nAddressLength = nLength;
    return *this;
}

CPreparedAdapter& CPreparedAdapter::Type(UINT nType)
{
    m_record.m_nType = nType;
    return *this;
}

CPreparedAdapter& CPreparedAdapter::Index(DWORD nIndex)
{
    m_nIndex = nIndex;
    return *this;
}

CPreparedAdapter& CPreparedAdapter::DhcpEnabled(UINT bEnabled)
{
    m_record.m_bDhcpEnabled = bEnabled;
    return *this;
}

CPreparedAdapter& CPreparedAdapter::HaveWins(BOOL bHaveWins)
{
    m_record.m_bHaveWins = bHaveWins;
    return *this;
}

CPreparedAdapter& CPreparedAdapter::Lease(std::int64_t tObtained, std::int64_t tExpires)
{
    m_record.m_tLeaseObtained = tObtained;
    m_record.m_tLeaseExpires = tExpires;
    return *this;
}

CPreparedAdapter& CPreparedAdapter::Autoconfig(UINT bEnabled, UINT bActive)
{
    m_perAdapter.m_bAutoconfigEnabled = bEnabled;
    m_perAdapter.m_bAutoconfigActive = bActive;
    return *this;
}

CPreparedAdapter& CPreparedAdapter::IpAddress(CString strAddress, CString strMask)
{
    m_record.m_IpAddresses.push_back({std::move(strAddress), std::move(strMask)});
    return *this;
}

CPreparedAdapter& CPreparedAdapter::Gateway(CString strAddress)
{
    m_record.m_Gateways.push_back({std::move(strAddress), CString()});
    return *this;
}

CPreparedAdapter& CPreparedAdapter::DhcpServer(CString strAddress)
{
    m_record.m_DhcpServers.push_back({std::move(strAddress), CString()});
    return *this;
}

CPreparedAdapter& CPreparedAdapter::PrimaryWinsServer(CString strAddress)
{
    m_record.m_PrimaryWinsServers.push_back({std::move(strAddress), CString()});
    return *this;
}

CPreparedAdapter& CPreparedAdapter::SecondaryWinsServer(CString strAddress)
{
    m_record.m_SecondaryWinsServers.push_back({std::move(strAddress), CString()});
    return *this;
}

CPreparedAdapter& CPreparedAdapter::DnsServer(CString strAddress)
{
    m_perAdapter.m_DnsServers.push_back({std::move(strAddress), CString()});
    return *this;
}

void CPreparedIpHelper::Add(CPreparedAdapter adapter)
{
    AdapterRecord& record = adapter.m_record;
    record.m_nIndex = adapter.m_nIndex.value_or(static_cast<DWORD>(m_adapters.size() + 1));
    record.m_nAddressLength =
        adapter.m_nAddressLength.value_or(static_cast<UINT>(record.m_address.size()));
    m_positions.emplace(record.m_nIndex, m_adapters.size()); // the first one keeps an index
    m_adapters.push_back(std::move(record));
    m_perAdapter.push_back(std::move(adapter.m_perAdapter));
}

void CPreparedIpHelper::AppearOneByOne(std::vector<CPreparedAdapter> adapters)
{
    m_appearing = std::move(adapters);
    m_nAppeared = 0;
}

void CPreparedIpHelper::AnswerAdaptersInfo(Call call, DWORD dwCode)
{
    m_adaptersAnswers[call] = dwCode;
}

void CPreparedIpHelper::AnswerPerAdapterInfo(DWORD nIndex, Call call, DWORD dwCode)
{
    m_perAdapterAnswers[{nIndex, call}] = dwCode;
}

void CPreparedIpHelper::ForgetCalls()
{
    m_adaptersCalls.clear();
    m_perAdapterCalls.clear();
}

ULONG CPreparedIpHelper::AdaptersInfoSize() const
{
    return static_cast<ULONG>(::AdaptersInfoSize(m_adapters) + m_nAdaptersInfoPad);
}

DWORD CPreparedIpHelper::GetAdaptersInfo(PIP_ADAPTER_INFO pAdapterInfo, PULONG pOutBufLen)
{
    m_adaptersCalls.push_back({0, pAdapterInfo != nullptr, *pOutBufLen});
    const DWORD dwAnswer = AdaptersInfoAnswer(pAdapterInfo, pOutBufLen);
    // An adapter that appears now is seen by the next call.
    if (m_nAppeared < m_appearing.size())
        Add(m_appearing[m_nAppeared++]);
    return dwAnswer;
}

DWORD CPreparedIpHelper::AdaptersInfoAnswer(PIP_ADAPTER_INFO pAdapterInfo, PULONG pOutBufLen)
{
    const ULONG nNeeded = AdaptersInfoSize();
    const Call call = pAdapterInfo == nullptr ? Call::SizeQuery : Call::Fill;
    if (const DWORD* pScripted = Scripted(m_adaptersAnswers, call))
    {
        if (*pScripted == ERROR_BUFFER_OVERFLOW)
            *pOutBufLen = nNeeded;
        return *pScripted;
    }
    if (m_adapters.empty())
        return ERROR_NO_DATA;
    if (pAdapterInfo == nullptr || *pOutBufLen < nNeeded)
    {
        *pOutBufLen = nNeeded;
        return ERROR_BUFFER_OVERFLOW;
    }
    WriteAdaptersInfo(m_adapters, pAdapterInfo);
    return NO_ERROR;
}

const PerAdapterRecord* CPreparedIpHelper::FindPerAdapter(ULONG nIndex) const
{
    const auto it = m_positions.find(nIndex);
    return it == m_positions.end() ? nullptr : &m_perAdapter[it->second];
}

DWORD CPreparedIpHelper::GetPerAdapterInfo(ULONG nIndex, PIP_PER_ADAPTER_INFO pPerAdapterInfo,
                                           PULONG pOutBufLen)
{
    m_perAdapterCalls.push_back({nIndex, pPerAdapterInfo != nullptr, *pOutBufLen});

    const PerAdapterRecord* pRecord = FindPerAdapter(nIndex);
    const ULONG nNeeded =
        pRecord != nullptr ? static_cast<ULONG>(PerAdapterInfoSize(*pRecord) + m_nPerAdapterInfoPad)
                           : 0;
    const Call call = pPerAdapterInfo == nullptr ? Call::SizeQuery : Call::Fill;
    if (const DWORD* pScripted = Scripted(m_perAdapterAnswers, std::make_pair(nIndex, call)))
    {
        if (*pScripted == ERROR_BUFFER_OVERFLOW)
            *pOutBufLen = nNeeded;
        return *pScripted;
    }
    if (pRecord == nullptr)
        return ERROR_INVALID_PARAMETER;
    if (pPerAdapterInfo == nullptr || *pOutBufLen < nNeeded)
    {
        *pOutBufLen = nNeeded;
        return ERROR_BUFFER_OVERFLOW;
    }

    WritePerAdapterInfo(*pRecord, pPerAdapterInfo);
    return NO_ERROR;
}
