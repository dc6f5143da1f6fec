// The real DHCP client service of the system the tests run on.
#include "core/options/option_decoder.h"
#include "testing/scripted_dhcp_client.h"
#include "win32/dhcp_query.h"

#include <gtest/gtest.h>

#include <clocale>
#include <regex>
#include <vector>

namespace
{
// The first adapter's name, from the IP helper.
CString FirstAdapterName()
{
    ULONG nSize = 0;
    if (GetAdaptersInfo(nullptr, &nSize) != ERROR_BUFFER_OVERFLOW)
        return CString();
    std::vector<BYTE> block(nSize);
    auto* pInfo = reinterpret_cast<IP_ADAPTER_INFO*>(block.data());
    if (GetAdaptersInfo(pInfo, &nSize) != NO_ERROR)
        return CString();
    return pInfo->AdapterName;
}

TEST(DhcpcsvcService, RequestForTheFirstAdapterComesBack)
{
    const CString strAdapter = FirstAdapterName();
    if (strAdapter.empty())
        GTEST_SKIP() << "this machine lists no adapter";

    CDhcpQuery query(PlatformDhcpClientService());
    DhcpOptionList options;
    testing::internal::CaptureStdout();
    const bool bResult = query.RequestOptions(options, strAdapter.c_str());
    CString output = testing::internal::GetCapturedStdout();
    output.erase(std::remove(output.begin(), output.end(), '\r'), output.end());

    EXPECT_EQ(output, "Getting DHCP Options on Adapter [" + strAdapter + "]\n");
    if (bResult)
    {
        for (const DhcpOption& option : options)
            EXPECT_FALSE(option.m_strParameter.empty()) << option.m_nCode;
    }
    else
    {
        EXPECT_TRUE(options.empty());
        EXPECT_EQ(query.GetErrorText().rfind("DHCP Error", 0), 0u) << query.GetErrorText();
    }
}

TEST(DhcpcsvcService, UnknownAdapterFailsWithASystemText)
{
    CDhcpQuery query(PlatformDhcpClientService());
    DhcpOptionList options;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(query.RequestOptions(options, "{00000000-0000-0000-0000-000000000000}"));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(query.GetErrorText().rfind("DHCP Error ", 0), 0u) << query.GetErrorText();
    EXPECT_TRUE(options.empty());
}

TEST(SystemErrorText, SystemTextKeepsItsLineEndBeforeOurs)
{
    CScriptedDhcpClient service;
    service.FailWith(ERROR_ACCESS_DENIED);
    CDhcpQuery query(service);
    DhcpOptionList options;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(query.RequestOptions(options, "eth0"));
    testing::internal::GetCapturedStdout();
    const CString strError = query.GetErrorText();
    EXPECT_EQ(strError.rfind("DHCP Error 5: ", 0), 0u) << strError;
    ASSERT_GT(strError.size(), 17u);
    EXPECT_EQ(strError.substr(strError.size() - 3), "\r\n\n");
}

TEST(LeaseTimeLocale, NamesStayEnglishUnderAnotherLocale)
{
    ASSERT_NE(std::setlocale(LC_ALL, "German"), nullptr);
    const CString strText = FormatLocalTime(1796738587);
    std::setlocale(LC_ALL, "C");
    EXPECT_TRUE(std::regex_match(strText, std::regex("Tuesday, December 0[78], 2026 [0-9:]{8}")))
        << strText;
}
} // namespace
