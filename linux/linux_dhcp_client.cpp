#include "linux/linux_dhcp_client.h"

#include "testing/reply_buffer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace
{
// Appends one code point as UTF-8, the system code page of Linux.
void AppendUtf8(char32_t cp, std::string& text)
{
    if (cp < 0x80)
    {
        text += static_cast<char>(cp);
        return;
    }
    if (cp < 0x800)
    {
        text += static_cast<char>(0xC0 | (cp >> 6));
    }
    else
    {
        if (cp < 0x10000)
        {
            text += static_cast<char>(0xE0 | (cp >> 12));
        }
        else
        {
            text += static_cast<char>(0xF0 | (cp >> 18));
            text += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        }
        text += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    }
    text += static_cast<char>(0x80 | (cp & 0x3F));
}

// The 8-bit name of a wide (UTF-16) one; an unpaired surrogate becomes U+FFFD.
std::string NarrowName(const WCHAR* pszName)
{
    std::string strName;
    for (const WCHAR* p = pszName; *p != 0; ++p)
    {
        char32_t cp = *p;
        if (cp >= 0xD800 && cp < 0xDC00 && p[1] >= 0xDC00 && p[1] < 0xE000)
            cp = 0x10000 + ((cp - 0xD800) << 10) + (*++p - 0xDC00);
        else if (cp >= 0xD800 && cp < 0xE000)
            cp = 0xFFFD;
        AppendUtf8(cp, strName);
    }
    return strName;
}
} // namespace

std::optional<LeaseInterface> FindLeaseInterface(const std::string& strName)
{
    LeaseInterface iface;
    iface.m_strName = strName;
    iface.m_nIndex = if_nametoindex(strName.c_str());
    if (iface.m_nIndex == 0)
        return std::nullopt;
    ifaddrs* pAddresses = nullptr;
    if (getifaddrs(&pAddresses) == 0)
    {
        for (const ifaddrs* p = pAddresses; p != nullptr; p = p->ifa_next)
        {
            if (p->ifa_addr == nullptr || p->ifa_addr->sa_family != AF_INET ||
                strName != p->ifa_name)
                continue;
            const auto* pInet = reinterpret_cast<const sockaddr_in*>(p->ifa_addr);
            iface.m_IpAddresses.push_back(ntohl(pInet->sin_addr.s_addr));
        }
        freeifaddrs(pAddresses);
    }
    return iface;
}

DWORD CLinuxDhcpClient::Initialize(DWORD* pdwVersion)
{
    *pdwVersion = 2;
    return 0;
}

DWORD CLinuxDhcpClient::ReadLease(const std::string& strInterface)
{
    m_lastLease = Lease();
    const std::optional<LeaseInterface> iface = m_findInterface(strInterface);
    if (!iface)
        return ENODEV;
    const int nResult = m_pLeases->Read(*iface, m_lastLease);
    if (nResult == ENOENT)
        return ENODATA;
    return static_cast<DWORD>(nResult);
}

DWORD CLinuxDhcpClient::RequestParams(DWORD /*dwFlags*/, LPWSTR pszAdapterName,
                                      DHCPCAPI_PARAMS_ARRAY /*sendParams*/,
                                      DHCPCAPI_PARAMS_ARRAY recdParams, LPBYTE pBuffer,
                                      LPDWORD pdwSize)
{
    const std::string strInterface = NarrowName(pszAdapterName);
    const bool bPending = !m_strPendingInterface.empty() && m_strPendingInterface == strInterface;
    m_strPendingInterface.clear();
    if (!bPending)
    {
        m_dwLastResult = ReadLease(strInterface);
        if (m_dwLastResult != 0)
            return m_dwLastResult;
    }

    ReplyOptions options;
    for (const auto& [nCode, bytes] : m_lastLease.m_mapOptions)
        options.emplace(nCode, bytes);
    const DWORD dwNeeded = ReplySize(options, recdParams);
    if (*pdwSize < dwNeeded)
    {
        *pdwSize = dwNeeded;
        m_strPendingInterface = strInterface;
        return ERROR_MORE_DATA;
    }
    FillReply(options, recdParams, pBuffer);
    return 0;
}
