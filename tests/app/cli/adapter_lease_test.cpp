#include "app/cli/adapter_lease.h"
#include "app/cli/exit_status.h"
#include "app/cli/result_output.h"
#include "core/model/requested_options.h"
#include "linux/lease_memo.h"
#include "testing/adapter_builder.h"
#include "testing/fake_lease_source.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <set>
#include <vector>

namespace
{
const LeaseInterface kVcli{"vcli", 2, {0x0A630092}};

Lease SampleLease()
{
    Lease lease;
    lease.m_mapOptions = {{54, {10, 99, 0, 1}},
                          {1, {255, 255, 255, 0}},
                          {6, {10, 99, 0, 1, 10, 99, 0, 2}},
                          {15, {'l', 'a', 'b', '.', 't', 'e', 's', 't'}},
                          {12, {}},    // supplied with zero length: no row
                          {150, {1}}}; // never asked for
    return lease;
}

TEST(AdapterLease, TheRowsAreTheRequestedOptionsOfTheInterfacesLease)
{
    CFakeLeaseSource source("dhcpcd", 0, SampleLease());
    Lease lease;
    ASSERT_EQ(0, ReadAdapterLease(kVcli, source, lease));
    EXPECT_EQ("vcli", source.m_strAskedFor);
    EXPECT_EQ("DHCP Server\t10.99.0.1\t\rSubnet Mask\t255.255.255.0\t\r"
              "Domain Name\tlab.test\t\rDNS Server\t10.99.0.1 10.99.0.2 \t\r",
              FormatCopyAll(DecodeRequestedOptions(lease.m_mapOptions)));
}

TEST(AdapterLease, InterfaceNamesKeepTheirUtf8Bytes)
{
    CFakeLeaseSource source("dhcpcd", 0, SampleLease());
    Lease lease;
    ASSERT_EQ(0, ReadAdapterLease(LeaseInterface{"wlan\xC3\xA9", 3, {}}, source, lease));
    EXPECT_EQ("wlan\xC3\xA9", source.m_strAskedFor);
}

TEST(AdapterLease, NoInterfaceAsksNoSource)
{
    CFakeLeaseSource source("dhcpcd", 0, SampleLease());
    Lease lease;
    EXPECT_EQ(ENODEV, ReadAdapterLease(std::nullopt, source, lease));
    EXPECT_EQ(0, source.m_nReads);
}

TEST(AdapterNamed, ANameOrTheChoosersAddressText)
{
    const AdapterList adapters = {AdapterWith("eth0", "02:00:00:99:00:01"),
                                  AdapterWith("vlan7", "02:00:00:99:00:02"),
                                  AdapterWith("vlan8", "02:00:00:99:00:02"),
                                  AdapterWith("02:00:00:99:00:01", "02:00:00:99:00:09"),
                                  AdapterWith("e\xFFx", "02:00:00:99:00:0A")};
    const struct
    {
        const char* pszFault;
        std::string strArgument;
        const char* pszMeant;
    } kCases[] = {
        {"an exact name", "eth0", "eth0"},
        {"a name's bytes, not UTF-8", "e\xFFx", "e\xFFx"},
        {"the hardware address text", "02:00:00:99:00:0A", "e\xFFx"},
        {"an address two adapters share means the first", "02:00:00:99:00:02", "vlan7"},
        {"a name that looks like an address is a name first", "02:00:00:99:00:01",
         "02:00:00:99:00:01"},
        {"an address in other letters", "02:00:00:99:00:0a", ""},
        {"a name's prefix", "eth", ""},
        {"the name with the byte replaced", "e\xEF\xBF\xBDx", ""},
        {"nothing", "", ""},
    };
    for (const auto& test : kCases)
        EXPECT_EQ(test.pszMeant, AdapterNamed(adapters, test.strArgument)) << test.pszFault;
    EXPECT_EQ("", AdapterNamed({}, "eth0"));
}

struct FailureCase
{
    int nSourceResult; // what the lease sources answered
    int nError;        // what the request makes of it
    ExitStatus status;
    const char* pszText;
};

TEST(AdapterLease, FailuresAreTheCLibrarysCodesTextsAndExitStatuses)
{
    const FailureCase kCases[] = {
        {ENOENT, ENODATA, kExitNoLease,
         "DHCP Error 61: No data available\n"
         "veyra: no DHCP lease found for vcli; --inform asks the DHCP server itself\n"},
        {EACCES, EACCES, kExitNoPermission, "DHCP Error 13: Permission denied\n"},
        {EPERM, EPERM, kExitNoPermission, "DHCP Error 1: Operation not permitted\n"},
        {ETIMEDOUT, ETIMEDOUT, kExitFailed, "DHCP Error 110: Connection timed out\n"},
        {EBADMSG, EBADMSG, kExitFailed, "DHCP Error 74: Bad message\n"},
    };
    for (const FailureCase& test : kCases)
    {
        CFakeLeaseSource source("dhcpcd", test.nSourceResult, SampleLease());
        Lease lease;
        lease.m_mapOptions[1] = {1};
        EXPECT_EQ(test.nError, ReadAdapterLease(kVcli, source, lease));
        EXPECT_TRUE(lease.m_mapOptions.empty()) << "a failed read leaves no stale lease";
        EXPECT_EQ(test.status, ExitStatusFor(test.nError)) << test.pszText;
        EXPECT_EQ(test.pszText, RequestFailureText(test.nError, "vcli", false));
    }
}

TEST(ExitStatus, TheUsersTextsForEachFailure)
{
    EXPECT_EQ(kExitNoAdapter, ExitStatusFor(ENODEV));
    EXPECT_EQ("DHCP Error 19: No such device\n", RequestFailureText(ENODEV, "vcli", false));
    // Who already asked the server is not told to.
    EXPECT_EQ("DHCP Error 61: No data available\nveyra: no DHCP lease found for vcli\n",
              RequestFailureText(ENODATA, "vcli", true));
    EXPECT_EQ("DHCP Error: 100000 GetLastError: 22\n", RequestFailureText(100000, "vcli", false));
    EXPECT_EQ("No Interfaces Present\n"
              "veyra: no network adapter is named vye-none or has that hardware address\n",
              NoSuchAdapterText("vye-none"));
}
// The kept leases' rows are shown, and the DHCPINFORM asked for says why it
// was not made; a request that did not ask says nothing of it.
TEST(AdapterLease, AnInformThatCouldNotBeMadeIsReportedBesideTheKeptRows)
{
    const struct
    {
        int nInform;
        ExitStatus status;
        const char* pszText;
    } kCases[] = {
        {EPERM, kExitNoPermission,
         "veyra: could not ask the DHCP server: Operation not permitted: it needs root or "
         "CAP_NET_RAW\n"},
        {EACCES, kExitNoPermission,
         "veyra: could not ask the DHCP server: Permission denied: it needs root or "
         "CAP_NET_RAW\n"},
        {ETIMEDOUT, kExitFailed,
         "veyra: could not ask the DHCP server: no answer (Connection timed out)\n"},
        {ENOENT, kExitFailed,
         "veyra: could not ask the DHCP server: vcli has no IPv4 address to ask from\n"},
        {ENETDOWN, kExitFailed, "veyra: could not ask the DHCP server: Network is down\n"},
    };
    for (const auto& test : kCases)
    {
        std::vector<std::unique_ptr<CLeaseSource>> kept;
        kept.push_back(std::make_unique<CFakeLeaseSource>("dhcpcd", 0, SampleLease()));
        CRunLeaseSources sources(std::move(kept),
                                 std::make_unique<CFakeLeaseSource>("inform", test.nInform));
        Lease lease;
        ASSERT_EQ(0, ReadAdapterLease(kVcli, sources.Request(true), lease)) << test.pszText;
        EXPECT_EQ(SampleLease().m_mapOptions, lease.m_mapOptions);
        EXPECT_EQ(test.nInform, InformAnswer(lease));
        EXPECT_EQ(test.status, ExitStatusFor(InformAnswer(lease)));
        EXPECT_EQ(test.pszText, UnaskedText(InformAnswer(lease), "vcli"));
        ASSERT_EQ(0, ReadAdapterLease(kVcli, sources.Request(false), lease));
        EXPECT_EQ(0, InformAnswer(lease));
    }
}
// The window's rows cannot show a cut or an unmapped line: standard error says
// what --all would show.
TEST(AdapterLease, NotesForWhatTheWindowsRowsCannotShow)
{
    const UnmappedOption kLine{"site-thing", std::nullopt, "1:2", "dhclient"};
    const struct
    {
        std::set<std::uint8_t> cut;
        std::vector<UnmappedOption> unmapped;
        const char* pszText;
    } kCases[] = {
        {{}, {}, ""},
        {{67},
         {},
         "veyra: option 67 may be cut short: dhcpcd's socket passes a text on only up to its "
         "first NUL or byte above 0x7F\n"},
        {{209, 67},
         {kLine, kLine},
         "veyra: options 67, 209 may be cut short: dhcpcd's socket passes a text on only up to "
         "its first NUL or byte above 0x7F\n"
         "veyra: 2 option lines of the lease gave no bytes; --all shows them as written\n"},
        {{},
         {kLine},
         "veyra: 1 option line of the lease gave no bytes; --all shows it as written\n"},
    };
    for (const auto& test : kCases)
    {
        Lease lease = SampleLease();
        lease.m_CutOptions = test.cut;
        lease.m_Unmapped = test.unmapped;
        EXPECT_EQ(test.pszText, LeaseNotesText(lease));
    }
}
} // namespace
