// What the Linux adapter source learns beside rtnetlink: the type table, wireless
// detection, descriptions from hand-made sysfs and udev trees (hostile ones
// included), and resolv.conf.
#include "linux/adapter_type_table.h"
#include "linux/device_facts.h"
#include "linux/resolv_conf.h"
#include "platform/bounded_file.h"
#include "testing/scratch_directory.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include <linux/if_arp.h>
#include <sys/stat.h>

namespace
{
LinuxPaths DataPaths()
{
    LinuxPaths paths;
    paths.m_strSys = VEYRA_LINUX_SYS_DATA "/sys";
    paths.m_strRun = VEYRA_LINUX_SYS_DATA "/run";
    return paths;
}

NetlinkInterface Link(unsigned nIndex, const char* pszName, const char* pszAlias = "",
                      const char* pszKind = "")
{
    NetlinkInterface link;
    link.m_nIndex = nIndex;
    link.m_strName = pszName;
    link.m_strAlias = pszAlias;
    link.m_strKind = pszKind;
    return link;
}

TEST(AdapterTypeTable, LinkTypesMapToThePlatformCodes)
{
    EXPECT_EQ(AdapterTypeFor(ARPHRD_ETHER, false), 6u);
    EXPECT_EQ(AdapterTypeFor(ARPHRD_ETHER, true), 71u);
    EXPECT_EQ(AdapterTypeFor(ARPHRD_IEEE80211_RADIOTAP, false), 71u);
    EXPECT_EQ(AdapterTypeFor(ARPHRD_PPP, false), 23u);
    EXPECT_EQ(AdapterTypeFor(ARPHRD_IEEE802_TR, false), 9u);
    EXPECT_EQ(AdapterTypeFor(ARPHRD_CSLIP, false), 28u);
    EXPECT_EQ(AdapterTypeFor(ARPHRD_IEEE1394, false), 144u);
    EXPECT_EQ(AdapterTypeFor(ARPHRD_IPGRE, false), 131u);
    EXPECT_EQ(AdapterTypeFor(ARPHRD_SIT, false), 131u);
    // Only Ethernet framing turns wireless.
    EXPECT_EQ(AdapterTypeFor(ARPHRD_PPP, true), 23u);
    EXPECT_EQ(AdapterTypeFor(ARPHRD_LOOPBACK, false), 1u);
    EXPECT_EQ(AdapterTypeFor(0xFFFF, false), 1u);
}

TEST(DeviceFacts, WirelessFromTheDirectoryOrAnExactUeventLine)
{
    const LinuxPaths paths = DataPaths();
    EXPECT_TRUE(ReadDeviceFacts(paths, Link(7, "wlan0")).m_bWireless); // wireless directory
    EXPECT_TRUE(ReadDeviceFacts(paths, Link(8, "wlan1")).m_bWireless); // DEVTYPE=wlan
    EXPECT_FALSE(ReadDeviceFacts(paths, Link(2, "eth0")).m_bWireless); // neither
    EXPECT_FALSE(ReadDeviceFacts(paths, Link(6, "eth1")).m_bWireless); // only near misses
    // Without a driver there is no wireless hardware, whatever uevent says.
    EXPECT_FALSE(ReadDeviceFacts(paths, Link(10, "vwlan0")).m_bWireless);
    EXPECT_FALSE(ReadDeviceFacts(paths, Link(9, "gone0")).m_bWireless); // no sysfs entry
    EXPECT_FALSE(ReadDeviceFacts(paths, Link(7, "../net/wlan0")).m_bWireless);
}

TEST(DeviceFacts, DriverIsTheBasenameOfTheDriverLink)
{
    EXPECT_EQ(ReadDeviceFacts(DataPaths(), Link(2, "eth0")).m_strDriver, "e1000e");
    EXPECT_EQ(ReadDeviceFacts(DataPaths(), Link(7, "wlan0")).m_strDriver, "");
    // The snapshot knows the interface sits on no device: no link to look up.
    NetlinkInterface eth0 = Link(2, "eth0");
    eth0.m_bParentDevice = false;
    EXPECT_EQ(ReadDeviceFacts(DataPaths(), eth0).m_strDriver, "");
    eth0.m_bParentDevice = true;
    EXPECT_EQ(ReadDeviceFacts(DataPaths(), eth0).m_strDriver, "e1000e");
}

TEST(DeviceFacts, OnlyPlainNamesAreUsedInPaths)
{
    EXPECT_TRUE(IsPathComponent("eth0"));
    EXPECT_TRUE(IsPathComponent("..."));
    EXPECT_FALSE(IsPathComponent(""));
    EXPECT_FALSE(IsPathComponent("."));
    EXPECT_FALSE(IsPathComponent(".."));
    EXPECT_FALSE(IsPathComponent("a/b"));
    EXPECT_FALSE(IsPathComponent(std::string("a\0b", 3)));
}

// The description as the helper makes it: the facts first, then the link.
std::string Describe(const NetlinkInterface& link, const LinuxPaths& paths = DataPaths())
{
    return DescribeInterface(ReadDeviceFacts(paths, link), link);
}

TEST(InterfaceDescription, UdevNamesComeFirstThenAliasDriverKindAndName)
{
    EXPECT_EQ(Describe(Link(2, "eth0", "Uplink")),
              "Intel Corporation 82540EM Gigabit Ethernet Controller");
    EXPECT_EQ(Describe(Link(4, "eth9")), "Virtual Adapter"); // no final newline
    EXPECT_EQ(Describe(Link(5, "eth0", "  Uplink\n")), "Uplink");
    EXPECT_EQ(Describe(Link(5, "eth0")), "e1000e");
    EXPECT_EQ(Describe(Link(5, "eth0", "", "bond")), "e1000e bond");
    EXPECT_EQ(Describe(Link(5, "veth7", "", "veth")), "veth");
    EXPECT_EQ(Describe(Link(5, "lab9")), "lab9");
    // Empty udev values fall through to the next source.
    EXPECT_EQ(Describe(Link(9, "lab9", "", "dummy")), "dummy");
}

TEST(InterfaceDescription, HostileUdevBytesNeverReachTheText)
{
    // Control bytes and a zero byte in the vendor, bytes above 0x7F in the
    // model, a line of DEL, and a second vendor line that must not win.
    EXPECT_EQ(Describe(Link(3, "eth0")), "Acme Net [31m \xFF\xFE");
    EXPECT_EQ(PrintableText(std::string("\0a\tb\x7F", 5)), "a b");
    EXPECT_EQ(PrintableText("\r\n"), "");
}

TEST(InterfaceDescription, OversizedOrSpecialUdevFilesAreIgnored)
{
    const CScratchDirectory scratch;
    ASSERT_FALSE(scratch.Path().empty());
    ASSERT_EQ(mkdir((scratch.Path() + "/udev").c_str(), 0700), 0);
    ASSERT_EQ(mkdir((scratch.Path() + "/udev/data").c_str(), 0700), 0);
    const std::string strHuge =
        "E:ID_VENDOR_FROM_DATABASE=Huge Vendor\n" + std::string(kMaxFileBytes, 'x');
    std::ofstream(scratch.Path() + "/udev/data/n2") << strHuge;
    ASSERT_EQ(mkfifo((scratch.Path() + "/udev/data/n3").c_str(), 0600), 0);
    ASSERT_EQ(mkdir((scratch.Path() + "/udev/data/n4").c_str(), 0700), 0);

    LinuxPaths paths = DataPaths();
    paths.m_strRun = scratch.Path();
    EXPECT_EQ(Describe(Link(2, "lab2"), paths), "lab2");
    EXPECT_EQ(Describe(Link(3, "lab3"), paths), "lab3"); // a FIFO, not waited on
    EXPECT_EQ(Describe(Link(4, "lab4"), paths), "lab4");
}

TEST(ResolvConf, NameserverLinesInOrderAsManyAsTheResolverUses)
{
    EXPECT_EQ(ResolvConfNameservers("# written by hand\n"
                                    "search lab.example\n"
                                    "nameserver 10.0.0.53\n"
                                    "\tnameserver\t192.168.1.1  # the router\r\n"
                                    "nameserver 10.0.0.54\n"
                                    "nameserver 10.0.0.55\n"),
              (std::vector<std::uint32_t>{0x0A000035, 0xC0A80101, 0x0A000036}));
}

TEST(ResolvConf, OtherLinesAndMalformedAddressesArePassedOver)
{
    EXPECT_EQ(ResolvConfNameservers("nameserver fd00::53\n"
                                    "; nameserver 10.0.0.1\n"
                                    "# nameserver 10.0.0.2\n"
                                    "nameservers 10.0.0.3\n"
                                    "nameserver\n"
                                    "nameserver 10.0.0\n"
                                    "nameserver 10.0.0.256\n"
                                    "nameserver 10.0.0.4x\n"
                                    "options ndots:2 nameserver 10.0.0.5\n"
                                    "nameserver 10.0.0.6"), // no final newline
              (std::vector<std::uint32_t>{0x0A000006}));
    // A zero byte does not end an address early.
    EXPECT_TRUE(ResolvConfNameservers(std::string("nameserver 10.0.0.7\0junk", 24)).empty());
    EXPECT_TRUE(ResolvConfNameservers("").empty());
}
} // namespace
