#include "linux/adapter_lease.h"
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
    lease.m_mapOptions = {{54, {10, 99, 0, 1}}, {1, {255, 255, 255, 0}}, {15, {'l', 'a', 'b'}}};
    return lease;
}

TEST(AdapterLease, TheLeaseIsTheInterfacesOwn)
{
    CFakeLeaseSource source("dhcpcd", 0, SampleLease());
    Lease lease;
    ASSERT_EQ(0, ReadAdapterLease(kVcli, source, lease));
    EXPECT_EQ("vcli", source.m_strAskedFor);
    EXPECT_EQ(SampleLease().m_mapOptions, lease.m_mapOptions);
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
        const char* fault;
        std::string argument;
        const char* meant;
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
        EXPECT_EQ(test.meant, AdapterNamed(adapters, test.argument)) << test.fault;
    EXPECT_EQ("", AdapterNamed({}, "eth0"));
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
        const char* text;
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
        EXPECT_EQ(test.text, LeaseNotesText(lease));
    }
}
} // namespace
