#include "app/cli/exit_status.h"
#include "app/cli/result_output.h"
#include "core/model/requested_options.h"
#include "linux/adapter_lease.h"
#include "linux/lease_memo.h"
#include "testing/fake_lease_source.h"

#include <gtest/gtest.h>

#include <cerrno>
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

TEST(AdapterRequest, TheRowsAreTheRequestedOptionsOfTheInterfacesLease)
{
    CFakeLeaseSource source("dhcpcd", 0, SampleLease());
    Lease lease;
    ASSERT_EQ(0, ReadAdapterLease(kVcli, source, lease));
    EXPECT_EQ("DHCP Server\t10.99.0.1\t\rSubnet Mask\t255.255.255.0\t\r"
              "Domain Name\tlab.test\t\rDNS Server\t10.99.0.1 10.99.0.2 \t\r",
              FormatCopyAll(DecodeRequestedOptions(lease.m_mapOptions)));
}

TEST(AdapterRequest, FailuresAreTheCLibrarysCodesTextsAndExitStatuses)
{
    const struct
    {
        int sourceResult; // what the lease sources answered
        int error;        // what the request makes of it
        ExitStatus status;
        const char* text;
    } kCases[] = {
        {ENOENT, ENODATA, kExitNoLease,
         "DHCP Error 61: No data available (ENODATA)\n"
         "veyra: no DHCP lease found for vcli; --inform asks the DHCP server itself\n"},
        {EACCES, EACCES, kExitNoPermission, "DHCP Error 13: Permission denied (EACCES)\n"},
        {EPERM, EPERM, kExitNoPermission, "DHCP Error 1: Operation not permitted (EPERM)\n"},
        {ETIMEDOUT, ETIMEDOUT, kExitFailed, "DHCP Error 110: Connection timed out (ETIMEDOUT)\n"},
        {EBADMSG, EBADMSG, kExitFailed, "DHCP Error 74: Bad message (EBADMSG)\n"},
    };
    for (const auto& test : kCases)
    {
        CFakeLeaseSource source("dhcpcd", test.sourceResult, SampleLease());
        Lease lease;
        lease.m_mapOptions[1] = {1};
        EXPECT_EQ(test.error, ReadAdapterLease(kVcli, source, lease));
        EXPECT_TRUE(lease.m_mapOptions.empty()) << "a failed read leaves no stale lease";
        EXPECT_EQ(test.status, ExitStatusFor(test.error)) << test.text;
        EXPECT_EQ(test.text, RequestFailureText(test.error, "vcli", false));
    }
}

TEST(ExitStatus, TheUsersTextsForEachFailure)
{
    EXPECT_EQ(kExitNoAdapter, ExitStatusFor(ENODEV));
    EXPECT_EQ("DHCP Error 19: No such device (ENODEV)\n",
              RequestFailureText(ENODEV, "vcli", false));
    // Who already asked the server is not told to.
    EXPECT_EQ("DHCP Error 61: No data available (ENODATA)\nveyra: no DHCP lease found for vcli\n",
              RequestFailureText(ENODATA, "vcli", true));
    // Linux words only, also for a value the C library has no name for.
    EXPECT_EQ("DHCP Error 100000: error 100000\n", RequestFailureText(100000, "vcli", false));
    EXPECT_EQ("No Interfaces Present\n"
              "veyra: no network adapter is named vye-none or has that hardware address\n",
              NoSuchAdapterText("vye-none"));
}

// The kept leases' rows are shown, and the DHCPINFORM asked for says why it
// was not made; a request that did not ask says nothing of it.
TEST(AdapterRequest, AnInformThatCouldNotBeMadeIsReportedBesideTheKeptRows)
{
    const struct
    {
        int inform;
        ExitStatus status;
        const char* text;
    } kCases[] = {
        {EPERM, kExitNoPermission,
         "veyra: could not ask the DHCP server: Operation not permitted (EPERM): it needs root "
         "or CAP_NET_RAW\n"},
        {EACCES, kExitNoPermission,
         "veyra: could not ask the DHCP server: Permission denied (EACCES): it needs root or "
         "CAP_NET_RAW\n"},
        {ETIMEDOUT, kExitFailed,
         "veyra: could not ask the DHCP server: no answer: Connection timed out (ETIMEDOUT)\n"},
        {ENOENT, kExitFailed,
         "veyra: could not ask the DHCP server: vcli has no IPv4 address to ask from\n"},
        {ENETDOWN, kExitFailed,
         "veyra: could not ask the DHCP server: Network is down (ENETDOWN)\n"},
    };
    for (const auto& test : kCases)
    {
        std::vector<std::unique_ptr<CLeaseSource>> kept;
        kept.push_back(std::make_unique<CFakeLeaseSource>("dhcpcd", 0, SampleLease()));
        CRunLeaseSources sources(std::move(kept),
                                 std::make_unique<CFakeLeaseSource>("inform", test.inform));
        Lease lease;
        ASSERT_EQ(0, ReadAdapterLease(kVcli, sources.Request(true), lease)) << test.text;
        EXPECT_EQ(SampleLease().m_mapOptions, lease.m_mapOptions);
        EXPECT_EQ(test.inform, InformAnswer(lease));
        EXPECT_EQ(test.status, ExitStatusFor(InformAnswer(lease)));
        EXPECT_EQ(test.text, UnaskedText(InformAnswer(lease), "vcli"));
        ASSERT_EQ(0, ReadAdapterLease(kVcli, sources.Request(false), lease));
        EXPECT_EQ(0, InformAnswer(lease));
    }
}
} // namespace
