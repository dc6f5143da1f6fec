#include "testing/scripted_dhcp_client.h"
#include "win32/dhcp_query.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace
{
using Bytes = std::vector<BYTE>;

std::vector<CString> Parameters(const DhcpOptionList& options)
{
    std::vector<CString> texts;
    for (const DhcpOption& option : options)
        texts.push_back(option.m_strParameter);
    return texts;
}

// The error text names the code in either of its two forms: with the system's
// text, or, where the system has none for it, with the lookup's own error.
bool NamesErrorCode(const CString& strError, DWORD dwCode)
{
    const CString strCode = std::to_string(dwCode);
    return strError.rfind("DHCP Error " + strCode + ": ", 0) == 0 ||
           strError.rfind("DHCP Error: " + strCode + " GetLastError: ", 0) == 0;
}

class DhcpQueryTest : public testing::Test
{
protected:
    void Supply(ULONG nCode, Bytes data) { m_service.SetOption(nCode, std::move(data)); }

    // Runs one request and returns what it wrote on standard output.
    CString Request(bool& bResult,
                    const char* pszAdapter = "{1F2E3D4C-0000-4A5B-9C8D-112233445566}")
    {
        testing::internal::CaptureStdout();
        bResult = m_query.RequestOptions(m_options, pszAdapter);
        CString output = testing::internal::GetCapturedStdout();
        output.erase(std::remove(output.begin(), output.end(), '\r'), output.end());
        return output;
    }

    CScriptedDhcpClient m_service;
    CDhcpQuery m_query{m_service};
    DhcpOptionList m_options;
};

TEST_F(DhcpQueryTest, SuppliedOptionsComeBackInRequestOrder)
{
    // Supplied in an order of their own; the request order decides.
    Supply(51, {0x00, 0x01, 0x51, 0x80});
    Supply(6, {10, 0, 0, 53, 10, 0, 0, 54});
    Supply(3, {10, 0, 0, 1});
    Supply(1, {255, 255, 255, 0});
    Supply(54, {10, 0, 0, 2});
    bool bResult = false;
    Request(bResult);
    ASSERT_TRUE(bResult);
    EXPECT_EQ(Parameters(m_options),
              (std::vector<CString>{"DHCP Server", "Subnet Mask", "DNS Server", "Gateway Address",
                                    "IP Lease Time"}));
    EXPECT_EQ(m_options.front().m_nCode, 54u);
    EXPECT_EQ(m_options.front().m_strData, "10.0.0.2");
}

TEST_F(DhcpQueryTest, RequestCarriesTheFixedListAndFlags)
{
    bool bResult = false;
    Request(bResult, "eth0");
    ASSERT_EQ(m_service.Calls().size(), 1u);
    const ScriptedDhcpCall& call = m_service.Calls().front();
    EXPECT_EQ(call.dwFlags, DHCPCAPI_REQUEST_SYNCHRONOUS);
    EXPECT_EQ(call.strAdapterName, "eth0");
    EXPECT_EQ(call.nSendParams, 0u);
    EXPECT_EQ(call.dwBufferSize, 256u);
    const std::vector<ULONG> kExpected = {
        54, 12, 1,  15, 6,  3,  4,  2,  7,  8,  9,  10, 11, 14, 16, 17, 18, 22, 23, 24, 25, 28, 33,
        35, 36, 37, 38, 39, 41, 42, 43, 44, 46, 47, 48, 49, 50, 51, 52, 55, 58, 59, 60, 61, 66, 67};
    EXPECT_EQ(call.requestedOptions, kExpected);
}

TEST_F(DhcpQueryTest, SuccessWithoutOptionsAppendsNothing)
{
    bool bResult = false;
    Request(bResult);
    EXPECT_TRUE(bResult);
    EXPECT_TRUE(m_options.empty());
}

TEST_F(DhcpQueryTest, ZeroLengthAndUnrequestedOptionsGiveNoRecord)
{
    Supply(15, {});
    Supply(53, {5}); // never asked for
    Supply(12, {'p', 'c', '1'});
    bool bResult = false;
    Request(bResult);
    ASSERT_TRUE(bResult);
    EXPECT_EQ(Parameters(m_options), std::vector<CString>{"Host Name"});
}

TEST_F(DhcpQueryTest, TraceLineIsWrittenOncePerRequest)
{
    m_service.ForceMoreData(3);
    bool bResult = false;
    EXPECT_EQ(Request(bResult, "eth0"), "Getting DHCP Options on Adapter [eth0]\n");
    EXPECT_TRUE(bResult);
    EXPECT_EQ(m_service.Calls().size(), 4u);
}

TEST_F(DhcpQueryTest, MoreDataOnceUsesTheReportedSize)
{
    Supply(12, Bytes(300, 'h'));
    bool bResult = false;
    Request(bResult);
    ASSERT_TRUE(bResult);
    ASSERT_EQ(m_service.Calls().size(), 2u);
    EXPECT_EQ(m_service.Calls()[1].dwBufferSize, 300u);
    EXPECT_EQ(m_options.front().m_strData.size(), 300u);
}

TEST_F(DhcpQueryTest, UnderReportedSizesStillSucceedWithinTheBound)
{
    Supply(12, Bytes(1000, 'h'));
    m_service.UnderReportSizes({26, 30, 34});
    bool bResult = false;
    Request(bResult);
    ASSERT_TRUE(bResult);
    EXPECT_EQ(m_options.size(), 1u);
    EXPECT_LE(m_service.Calls().size(), static_cast<std::size_t>(CDhcpQuery::kMaxRounds));
}

TEST_F(DhcpQueryTest, TheLastOfTheBoundedRoundsMayAnswer)
{
    m_service.ForceMoreData(CDhcpQuery::kMaxRounds - 1);
    bool bResult = false;
    Request(bResult);
    EXPECT_TRUE(bResult);
    EXPECT_EQ(m_service.Calls().size(), static_cast<std::size_t>(CDhcpQuery::kMaxRounds));
}

// A service that lies about sizes or about where an option's bytes are: no
// byte outside the buffer handed to it is read (natively, ASan would catch
// one), an entry it does not place inside that buffer is dropped, every round
// starts from clean entries, and a lie it cannot be asked past fails the
// request.
struct LyingService
{
    const char* pszFault;
    std::function<void(CScriptedDhcpClient&)> fnLie;
    std::vector<CString> answered; // the rows, in request order
    DWORD dwError;                 // 0: answered
    std::size_t nCalls;
};

TEST(DhcpQueryFaults, NothingOutsideTheBufferIsRead)
{
    constexpr auto kEnd = static_cast<std::ptrdiff_t>(CDhcpQuery::kFirstReplySize);
    const std::vector<CString> kAll = {"DHCP Server", "Host Name", "Subnet Mask"};
    const std::vector<CString> kWithoutHostName = {"DHCP Server", "Subnet Mask"};
    const LyingService cases[] = {
        {"reports more bytes than the buffer holds on success",
         [](CScriptedDhcpClient& s) { s.ReportSizeOnSuccess(0xFFFFFFFFu); }, kAll, 0, 1},
        {"points an entry before the buffer",
         [](CScriptedDhcpClient& s) { s.MisplaceEntry(12, -1, 3); }, kWithoutHostName, 0, 1},
        {"points an entry at the buffer's end",
         [=](CScriptedDhcpClient& s) { s.MisplaceEntry(12, kEnd, 1); }, kWithoutHostName, 0, 1},
        {"lets an entry straddle the buffer's end",
         [=](CScriptedDhcpClient& s) { s.MisplaceEntry(12, kEnd - 2, 3); }, kWithoutHostName, 0, 1},
        {"gives an entry more bytes than the buffer",
         [=](CScriptedDhcpClient& s) { s.MisplaceEntry(12, 0, kEnd + 1); }, kWithoutHostName, 0, 1},
        {"gives an entry a length that wraps the address space",
         [](CScriptedDhcpClient& s) { s.MisplaceEntry(12, 8, 0xFFFFFFFFu); }, kWithoutHostName, 0,
         1},
        {"(no lie) places an entry's last byte on the buffer's last",
         [=](CScriptedDhcpClient& s) { s.MisplaceEntry(12, kEnd - 3, 3); }, kAll, 0, 1},
        {"leaves an entry pointing into the buffer of a too-small answer",
         [](CScriptedDhcpClient& s)
         {
             s.ForceMoreData(2);
             s.MisplaceEntryWhenTooSmall(15, 0, 3);
         },
         kAll, 0, 3},
        {"answers \"buffer too small\" forever",
         [](CScriptedDhcpClient& s) { s.ForceMoreData(1 << 30); },
         {},
         ERROR_MORE_DATA,
         CDhcpQuery::kMaxRounds},
        {"asks for more than any DHCP reply",
         [](CScriptedDhcpClient& s)
         {
             s.ForceMoreData(1);
             s.UnderReportSizes({0xFFFFFFF0u});
         },
         {},
         ERROR_NOT_ENOUGH_MEMORY,
         1},
    };
    for (const LyingService& c : cases)
    {
        SCOPED_TRACE(c.pszFault);
        CScriptedDhcpClient service;
        service.SetOption(54, {10, 0, 0, 2});
        service.SetOption(1, {255, 255, 255, 0});
        service.SetOption(12, {'p', 'c', '1'});
        c.fnLie(service);
        CDhcpQuery query(service);
        std::FILE* pTrace = std::tmpfile();
        ASSERT_NE(pTrace, nullptr);
        query.SetTraceStream(pTrace);
        DhcpOptionList options;
        const bool bResult = query.RequestOptions(options, "eth0");
        std::fclose(pTrace);
        EXPECT_EQ(bResult, c.dwError == 0);
        EXPECT_EQ(Parameters(options), c.answered);
        EXPECT_EQ(service.Calls().size(), c.nCalls);
        for (const ScriptedDhcpCall& call : service.Calls())
            EXPECT_EQ(call.nEntriesWithData, 0u) << "a round began with an earlier round's entries";
        if (c.dwError != 0)
        {
            EXPECT_TRUE(NamesErrorCode(query.GetErrorText(), c.dwError)) << query.GetErrorText();
        }
    }
}

TEST_F(DhcpQueryTest, FailureAppendsNothingAndKeepsTheErrorText)
{
    Supply(54, {10, 0, 0, 2});
    m_service.FailWith(ERROR_FILE_NOT_FOUND);
    bool bResult = true;
    Request(bResult);
    EXPECT_FALSE(bResult);
    EXPECT_TRUE(m_options.empty());
    const CString strError = m_query.GetErrorText();
    EXPECT_EQ(strError.rfind("DHCP Error 2: ", 0), 0u) << strError;
    EXPECT_EQ(strError.back(), '\n');

    // A later success leaves the old text in place.
    m_service.FailWith(0);
    Request(bResult);
    EXPECT_TRUE(bResult);
    EXPECT_EQ(m_query.GetErrorText(), strError);
}

TEST_F(DhcpQueryTest, CodeWithoutSystemTextGivesTheFallbackForm)
{
    m_service.FailWith(0x20001234u);
    bool bResult = true;
    Request(bResult);
    EXPECT_FALSE(bResult);
    EXPECT_EQ(m_query.GetErrorText().rfind("DHCP Error: 536875572 GetLastError: ", 0), 0u)
        << m_query.GetErrorText();
}

TEST_F(DhcpQueryTest, NegativeCodesAreShownSigned)
{
    m_service.FailWith(0x80070057u);
    bool bResult = true;
    Request(bResult);
    EXPECT_NE(m_query.GetErrorText().find("-2147024809"), CString::npos) << m_query.GetErrorText();
}

TEST_F(DhcpQueryTest, TwoRequestsAppendTwoSets)
{
    Supply(54, {10, 0, 0, 2});
    Supply(1, {255, 0, 0, 0});
    bool bResult = false;
    Request(bResult);
    Request(bResult);
    EXPECT_EQ(Parameters(m_options),
              (std::vector<CString>{"DHCP Server", "Subnet Mask", "DHCP Server", "Subnet Mask"}));
}

TEST_F(DhcpQueryTest, NullNameFailsWithoutTouchingTheErrorOrTheService)
{
    EXPECT_FALSE(m_query.RequestOptions(m_options, nullptr));
    EXPECT_TRUE(m_query.GetErrorText().empty());
    EXPECT_TRUE(m_service.Calls().empty());
}

TEST_F(DhcpQueryTest, NamesLongerThan127CharactersAreRefusedNotCut)
{
    bool bResult = false;
    Request(bResult, CString(127, 'a').c_str());
    EXPECT_TRUE(bResult);
    EXPECT_EQ(m_service.Calls().back().strAdapterName, CString(127, 'a'));

    EXPECT_EQ(Request(bResult, CString(128, 'a').c_str()), "");
    EXPECT_FALSE(bResult);
    EXPECT_EQ(m_service.Calls().size(), 1u);
    EXPECT_TRUE(NamesErrorCode(m_query.GetErrorText(), 87)) << m_query.GetErrorText();
}

TEST(DhcpQueryLifetime, InitialisesOnConstructionAndCleansUpOnDestruction)
{
    CScriptedDhcpClient service;
    {
        CDhcpQuery query(service);
        EXPECT_EQ(service.InitializeCount(), 1);
        EXPECT_EQ(service.CleanupCount(), 0);
        EXPECT_TRUE(query.GetErrorText().empty());
    }
    EXPECT_EQ(service.CleanupCount(), 1);
}

// Faults: asking or cleaning up an API that was never initialised.
TEST(DhcpQueryLifetime, FailedInitialisationFailsEveryRequestAndIsNotCleanedUp)
{
    CScriptedDhcpClient service;
    service.SetOption(54, {10, 0, 0, 2});
    service.SetInitializeResult(ERROR_ACCESS_DENIED, 0);
    {
        CDhcpQuery query(service);
        EXPECT_EQ(query.GetErrorText().rfind("DHCP Error 5: ", 0), 0u) << query.GetErrorText();
        DhcpOptionList options;
        testing::internal::CaptureStdout();
        EXPECT_FALSE(query.RequestOptions(options, "eth0"));
        EXPECT_FALSE(query.RequestOptions(options, "eth0"));
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "no request announced";
        EXPECT_TRUE(options.empty());
        EXPECT_TRUE(service.Calls().empty());
        EXPECT_EQ(query.GetErrorText().rfind("DHCP Error 5: ", 0), 0u) << query.GetErrorText();
    }
    EXPECT_EQ(service.CleanupCount(), 0);
}
} // namespace
