// The Linux adapter source on a real kernel: a network namespace of the
// test's own with veth interfaces. Needs root and iproute2's ip; the
// namespace is always deleted.
#include "linux/adapter_source.h"
#include "platform/file_descriptor.h"
#include "testing/fake_lease_source.h"
#include "testing/scratch_directory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <net/if.h>
#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
class LinuxAdapterSourceTest : public testing::Test
{
protected:
    void SetUp() override
    {
        if (geteuid() != 0)
            GTEST_SKIP() << "creating network namespaces needs root";
        if (std::system("ip -V >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "needs iproute2's ip";
        m_strNamespace = "vyi-t" + std::to_string(getpid());
        ASSERT_TRUE(Ip("netns add " + m_strNamespace));
        m_bCreated = true;

        m_strScratch = m_scratch.Path();
        ASSERT_FALSE(m_strScratch.empty());
        ASSERT_EQ(mkdir((m_strScratch + "/sys").c_str(), 0700), 0);
        ASSERT_EQ(mkdir((m_strScratch + "/run").c_str(), 0700), 0);
        ASSERT_EQ(mkdir((m_strScratch + "/run/udev").c_str(), 0700), 0);
        ASSERT_EQ(mkdir((m_strScratch + "/run/udev/data").c_str(), 0700), 0);
        Write("resolv.conf", "nameserver 10.99.0.53\nnameserver fd00::53\n");
        // The host's sysfs shows the host's interfaces, so an empty tree
        // stands in for it; descriptions then come from udev, alias or kind.
        m_paths.m_strSys = m_strScratch + "/sys";
        m_paths.m_strRun = m_strScratch + "/run";
        m_paths.m_strResolvConf = m_strScratch + "/resolv.conf";
    }

    void TearDown() override
    {
        if (m_bCreated)
            Ip("netns del " + m_strNamespace);
    }

    static bool Ip(const std::string& strArguments)
    {
        return std::system(("ip " + strArguments + " >/dev/null 2>&1").c_str()) == 0;
    }
    bool Inside(const std::string& strArguments) const
    {
        return Ip("-n " + m_strNamespace + " " + strArguments);
    }

    void Write(const std::string& strName, const std::string& strContent) const
    {
        std::ofstream(m_strScratch + "/" + strName) << strContent;
    }

    // Runs fn on a thread that has entered the namespace: netlink sockets
    // belong to the namespace of the thread that opens them.
    template <typename Fn> void RunInside(Fn fn)
    {
        std::thread thread(
            [this, &fn]
            {
                const std::string strPath = "/run/netns/" + m_strNamespace;
                const CFileDescriptor ns(open(strPath.c_str(), O_RDONLY | O_CLOEXEC));
                ASSERT_TRUE(ns.IsOpen());
                ASSERT_EQ(setns(ns.Get(), CLONE_NEWNET), 0);
                fn();
            });
        thread.join();
    }

    std::string m_strNamespace;
    bool m_bCreated = false;
    CScratchDirectory m_scratch;
    std::string m_strScratch;
    LinuxPaths m_paths;
    CFakeLeaseSource m_leases{"fake", ENOENT};
};

TEST_F(LinuxAdapterSourceTest, EveryFieldOfTheAdaptersComesFromTheNamespace)
{
    ASSERT_TRUE(Inside("link add vyi0 address 02:00:5e:10:00:01 type veth peer name vyi0p "
                       "address 02:00:5e:10:00:0b"));
    ASSERT_TRUE(Inside("link set vyi0 alias 'Lab uplink'"));
    ASSERT_TRUE(Inside("link set vyi0p up"));
    ASSERT_TRUE(Inside("link set vyi0 up"));
    ASSERT_TRUE(Inside("addr add 10.77.0.5/24 dev vyi0"));
    ASSERT_TRUE(Inside("addr add 10.77.1.9/16 dev vyi0"));
    ASSERT_TRUE(Inside("route add default via 10.77.0.1 dev vyi0"));

    Lease lease;
    lease.m_mapOptions[54] = {10, 77, 0, 2};
    lease.m_mapOptions[6] = {10, 77, 0, 53, 10, 77, 0, 54};
    lease.m_tObtained = 1796738587;
    lease.m_tExpires = 1796824987;
    m_leases.m_leases["vyi0"] = lease;
    m_leases.m_errors["vyi0p"] = EACCES; // a source that may not look is no lease

    RunInside(
        [this]
        {
            const unsigned nIndex = if_nametoindex("vyi0");
            const unsigned nPeerIndex = if_nametoindex("vyi0p");
            ASSERT_TRUE(nIndex != 0 && nPeerIndex != 0);
            Write("run/udev/data/n" + std::to_string(nPeerIndex),
                  "E:ID_VENDOR_FROM_DATABASE=Acme\nE:ID_MODEL_FROM_DATABASE=Virtual NIC\n");

            CLinuxAdapterSource source(m_paths, m_leases);
            AdapterList adapters;
            ASSERT_EQ(source.Read(adapters), 0);
            ASSERT_EQ(adapters.size(), 2u); // lo has no hardware address

            // In ifindex order: a veth peer is registered before its partner.
            ASSERT_LT(nPeerIndex, nIndex);
            const AdapterInfo& peer = adapters[0];
            const AdapterInfo& uplink = adapters[1];

            EXPECT_EQ(uplink.m_strAdapterName, "vyi0");
            EXPECT_EQ(uplink.m_nType, 6u);
            EXPECT_EQ(uplink.m_strDescription, "Lab uplink");
            EXPECT_EQ(uplink.m_strMacAddress, "02:00:5E:10:00:01");
            EXPECT_EQ(uplink.m_strSubnetMask, "255.255.255.0");
            EXPECT_EQ(uplink.m_IpAddresses, (AddressList{"10.77.0.5", "10.77.1.9"}));
            EXPECT_EQ(uplink.m_Gateways, (AddressList{"10.77.0.1"}));
            EXPECT_EQ(uplink.m_bDhcpEnabled, 1u);
            EXPECT_EQ(uplink.m_DhcpServers, (AddressList{"10.77.0.2"}));
            EXPECT_EQ(uplink.m_tLeaseObtained, 1796738587);
            EXPECT_EQ(uplink.m_tLeaseExpires, 1796824987);
            EXPECT_EQ(uplink.m_DnsServers, (AddressList{"10.77.0.53", "10.77.0.54"}));
            EXPECT_EQ(uplink.m_bAutoconfigEnabled, 0u);
            EXPECT_EQ(uplink.m_bAutoconfigActive, 0u);
            EXPECT_EQ(uplink.m_bHaveWins, 0);
            EXPECT_TRUE(uplink.m_PrimaryWinsServers.empty());
            EXPECT_TRUE(uplink.m_SecondaryWinsServers.empty());

            EXPECT_EQ(peer.m_strAdapterName, "vyi0p");
            EXPECT_EQ(peer.m_nType, 6u);
            EXPECT_EQ(peer.m_strDescription, "Acme Virtual NIC");
            EXPECT_EQ(peer.m_strMacAddress, "02:00:5E:10:00:0B");
            EXPECT_EQ(peer.m_strSubnetMask, "");
            EXPECT_TRUE(peer.m_IpAddresses.empty());
            EXPECT_TRUE(peer.m_Gateways.empty());
            EXPECT_EQ(peer.m_bDhcpEnabled, 0u);
            EXPECT_TRUE(peer.m_DhcpServers.empty());
            EXPECT_EQ(peer.m_tLeaseObtained, 0);
            EXPECT_EQ(peer.m_tLeaseExpires, 0);
            EXPECT_EQ(peer.m_DnsServers, (AddressList{"10.99.0.53"}));
            EXPECT_EQ(peer.m_bAutoconfigEnabled, 0u);
            EXPECT_EQ(peer.m_bHaveWins, 0);

            // The lease source was asked once per adapter, with the
            // interface's index and addresses.
            ASSERT_EQ(m_leases.m_asked.size(), 2u);
            const LeaseInterface& asked = m_leases.m_asked.back();
            EXPECT_EQ(asked.m_strName, "vyi0");
            EXPECT_EQ(asked.m_nIndex, nIndex);
            EXPECT_EQ(asked.m_IpAddresses, (std::vector<std::uint32_t>{0x0A4D0005, 0x0A4D0109}));
        });
}

TEST_F(LinuxAdapterSourceTest, TheLeaseFieldsFollowTheLeaseOptions)
{
    ASSERT_TRUE(Inside("link add vyi0 type veth peer name vyi0p"));
    struct Case
    {
        const char* pszWhat;
        OptionMap options;
        AddressList dhcpServers;
        AddressList dnsServers;
    };
    const Case cases[] = {
        {"no options", {}, {}, {"10.99.0.53"}},
        {"a server identifier of 4 bytes", {{54, {10, 1, 2, 3}}}, {"10.1.2.3"}, {"10.99.0.53"}},
        {"a server identifier too short", {{54, {10, 1, 2}}}, {}, {"10.99.0.53"}},
        {"a server identifier too long", {{54, {10, 1, 2, 3, 4, 5, 6, 7}}}, {}, {"10.99.0.53"}},
        {"no whole DNS server", {{6, {10, 1, 2}}}, {}, {"10.99.0.53"}},
        {"an empty DNS server option", {{6, {}}}, {}, {"10.99.0.53"}},
        {"a partial DNS server at the end", {{6, {10, 1, 2, 4, 10}}}, {}, {"10.1.2.4"}},
        {"a DNS server of 0.0.0.0", {{6, {0, 0, 0, 0}}}, {}, {"0.0.0.0"}},
    };
    RunInside(
        [&]
        {
            CLinuxAdapterSource source(m_paths, m_leases);
            for (const Case& c : cases)
            {
                SCOPED_TRACE(c.pszWhat);
                Lease lease;
                lease.m_mapOptions = c.options;
                m_leases.m_leases["vyi0"] = lease;
                AdapterList adapters;
                ASSERT_EQ(source.Read(adapters), 0);
                ASSERT_EQ(adapters.size(), 2u);
                const AdapterInfo& info = adapters[1];
                ASSERT_EQ(info.m_strAdapterName, "vyi0");
                EXPECT_EQ(info.m_bDhcpEnabled, 1u);
                EXPECT_EQ(info.m_tLeaseObtained, 0); // the lease recorded no times
                EXPECT_EQ(info.m_tLeaseExpires, 0);
                EXPECT_EQ(info.m_DhcpServers, c.dhcpServers);
                EXPECT_EQ(info.m_DnsServers, c.dnsServers);
            }
        });
}

TEST_F(LinuxAdapterSourceTest, EachReadAsksTheLeaseSourceOncePerAdapter)
{
    ASSERT_TRUE(Inside("link add vyi0 type veth peer name vyi0p"));
    ASSERT_TRUE(Inside("link add vyi1 type veth peer name vyi1p"));
    ASSERT_TRUE(Inside("link add vyi2 type veth peer name vyi2p"));
    RunInside(
        [this]
        {
            CLinuxAdapterSource source(m_paths, m_leases);
            for (int nRead = 1; nRead <= 2; ++nRead)
            {
                m_leases.m_asked.clear();
                AdapterList adapters;
                ASSERT_EQ(source.Read(adapters), 0);
                ASSERT_EQ(adapters.size(), 6u);
                std::vector<std::string> asked;
                for (const LeaseInterface& iface : m_leases.m_asked)
                    asked.push_back(iface.m_strName);
                std::vector<std::string> names;
                for (const AdapterInfo& info : adapters)
                    names.push_back(info.m_strAdapterName);
                EXPECT_EQ(asked, names);
            }
            EXPECT_EQ(m_leases.m_nReads, 12);
        });
}

TEST_F(LinuxAdapterSourceTest, InterfaceAnswersForTheAdaptersOfTheLastRead)
{
    ASSERT_TRUE(Inside("link add vyi0 type veth peer name vyi0p"));
    ASSERT_TRUE(Inside("addr add 10.77.0.5/24 dev vyi0"));
    RunInside(
        [this]
        {
            CLinuxAdapterSource source(m_paths, m_leases);
            EXPECT_FALSE(source.Interface("vyi0")); // nothing read yet
            AdapterList adapters;
            ASSERT_EQ(source.Read(adapters), 0);

            const std::optional<LeaseInterface> iface = source.Interface("vyi0");
            ASSERT_TRUE(iface);
            EXPECT_EQ(iface->m_strName, "vyi0");
            EXPECT_EQ(iface->m_nIndex, if_nametoindex("vyi0"));
            EXPECT_EQ(iface->m_IpAddresses, (std::vector<std::uint32_t>{0x0A4D0005}));
            EXPECT_FALSE(source.Interface("lo")); // not an adapter
            EXPECT_FALSE(source.Interface("vyi"));
            EXPECT_FALSE(source.Interface("VYI0"));

            // A later Read answers for the interfaces it saw.
            ASSERT_TRUE(Inside("link set vyi0 name vyi9"));
            ASSERT_EQ(source.Read(adapters), 0);
            EXPECT_FALSE(source.Interface("vyi0"));
            EXPECT_TRUE(source.Interface("vyi9"));
        });
}

// IPv6 addresses in the kernel's order as RFC 5952 texts; the link-local
// address handed to the lease sources is the first that has passed (or
// skipped) duplicate address detection, never a tentative one.
TEST_F(LinuxAdapterSourceTest, Ipv6AddressesAndTheLinkLocalAddress)
{
    ASSERT_TRUE(Inside("link add vyi0 type veth peer name vyi0p"));
    ASSERT_TRUE(Inside("link set vyi0 addrgenmode none"));
    // Down, the link keeps an address with DAD tentative.
    ASSERT_TRUE(Inside("addr add fe80::7/64 dev vyi0"));
    ASSERT_TRUE(Inside("addr add fe80::1/64 dev vyi0 nodad"));
    ASSERT_TRUE(Inside("addr add 2001:db8:0:0:1:0:0:5/64 dev vyi0 nodad"));
    ASSERT_TRUE(Inside("addr add 10.77.0.5/24 dev vyi0"));
    RunInside(
        [this]
        {
            CLinuxAdapterSource source(m_paths, m_leases);
            AdapterList adapters;
            ASSERT_EQ(source.Read(adapters), 0);
            const auto uplink = std::find_if(adapters.begin(), adapters.end(),
                                             [](const AdapterInfo& info)
                                             { return info.m_strAdapterName == "vyi0"; });
            ASSERT_NE(uplink, adapters.end());
            EXPECT_EQ(uplink->m_Ipv6Addresses,
                      (AddressList{"2001:db8::1:0:0:5/64", "fe80::1/64", "fe80::7/64"}));
            EXPECT_EQ(uplink->m_IpAddresses, (AddressList{"10.77.0.5"}));

            const std::optional<LeaseInterface> iface = source.Interface("vyi0");
            ASSERT_TRUE(iface && iface->linkLocal);
            EXPECT_EQ(*iface->linkLocal,
                      (Ipv6Address{0xFE, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}));
            const std::optional<LeaseInterface> peer = source.Interface("vyi0p");
            ASSERT_TRUE(peer);
            EXPECT_FALSE(peer->linkLocal); // down, so no address at all
        });
}

// Linux allows any bytes in a name but '/', ':', blanks and NUL; the name is
// those bytes from the snapshot to the lease source, never a text's
// replacement.
TEST_F(LinuxAdapterSourceTest, ANameThatIsNotUtf8KeepsItsBytes)
{
    const std::string strName = "e\xFFx";
    ASSERT_TRUE(Inside("link add \"$(printf 'e\\377x')\" type veth peer name vyi0p"));
    ASSERT_TRUE(Inside("addr add 10.77.0.5/24 dev \"$(printf 'e\\377x')\""));
    RunInside(
        [this, &strName]
        {
            CLinuxAdapterSource source(m_paths, m_leases);
            AdapterList adapters;
            ASSERT_EQ(source.Read(adapters), 0);
            EXPECT_EQ(std::count_if(adapters.begin(), adapters.end(),
                                    [&strName](const AdapterInfo& adapter)
                                    { return adapter.m_strAdapterName == strName; }),
                      1);
            const std::optional<LeaseInterface> iface = source.Interface(strName);
            ASSERT_TRUE(iface);
            EXPECT_EQ(iface->m_strName, strName);
            EXPECT_EQ(iface->m_nIndex, if_nametoindex(strName.c_str()));
            EXPECT_EQ(iface->m_IpAddresses, (std::vector<std::uint32_t>{0x0A4D0005}));
            EXPECT_FALSE(source.Interface("e\xEF\xBF\xBDx"));
        });
}

TEST_F(LinuxAdapterSourceTest, ARenamedInterfaceIsDescribedAfresh)
{
    ASSERT_TRUE(Inside("link add vyi0 type veth peer name vyi0p"));
    RunInside(
        [this]
        {
            CLinuxAdapterSource source(m_paths, m_leases);
            AdapterList adapters;
            ASSERT_EQ(source.Read(adapters), 0);
            ASSERT_EQ(adapters.size(), 2u);
            EXPECT_EQ(adapters[0].m_strDescription, "veth");

            // The same index under a new name may be another device to udev.
            Write("run/udev/data/n" + std::to_string(if_nametoindex("vyi0p")),
                  "E:ID_MODEL_FROM_DATABASE=Virtual NIC\n");
            ASSERT_TRUE(Inside("link set vyi0p name vyi0q"));
            ASSERT_EQ(source.Read(adapters), 0);
            ASSERT_EQ(adapters.size(), 2u);
            EXPECT_EQ(adapters[0].m_strAdapterName, "vyi0q");
            EXPECT_EQ(adapters[0].m_strDescription, "Virtual NIC");
        });
}

TEST_F(LinuxAdapterSourceTest, ADescriptionIsCutToWhatTheAdapterRecordHolds)
{
    ASSERT_TRUE(Inside("link add vyi0 type veth peer name vyi0p"));
    RunInside(
        [this]
        {
            Write("run/udev/data/n" + std::to_string(if_nametoindex("vyi0p")),
                  "E:ID_MODEL_FROM_DATABASE=" + std::string(300, 'M') + "\n");
            CLinuxAdapterSource source(m_paths, m_leases);
            AdapterList adapters;
            ASSERT_EQ(source.Read(adapters), 0);
            ASSERT_EQ(adapters.size(), 2u);
            EXPECT_EQ(adapters[0].m_strDescription, std::string(131, 'M'));
        });
}

TEST_F(LinuxAdapterSourceTest, NamespaceWithOnlyLoopbackHasNoAdapters)
{
    RunInside(
        [this]
        {
            CLinuxAdapterSource source(m_paths, m_leases);
            AdapterList adapters(1); // a stale list is replaced
            EXPECT_EQ(source.Read(adapters), 0);
            EXPECT_TRUE(adapters.empty());
            EXPECT_EQ(m_leases.m_nReads, 0);
        });
}
} // namespace
