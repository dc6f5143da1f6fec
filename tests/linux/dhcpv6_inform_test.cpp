// The Information-request's answers before anything is sent.
#include "linux/dhcpv6_inform.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <unistd.h>

namespace
{
constexpr Ipv6Address kLinkLocal = {0xfe, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};

struct Inform6Case
{
    const char* name;
    const char* interfaceName;
    bool hasLinkLocal;
    int asRoot;   // what root gets
    int asOthers; // what a user without CAP_NET_RAW gets
};

TEST(Inform6Source, RefusesWhatItCannotAskFrom)
{
    const Inform6Case cases[] = {
        {"no link-local address", "lo", false, ENOENT, ENOENT},
        {"no such interface", "vyq-absent", true, ENODEV, EPERM},
        {"not Ethernet", "lo", true, ENOENT, EPERM},
    };
    for (const Inform6Case& test : cases)
    {
        bool opened = false;
        Inform6Settings settings;
        settings.opened = [&opened]()
        {
            opened = true;
            return 0;
        };
        LeaseInterface iface;
        iface.m_strName = test.interfaceName;
        if (test.hasLinkLocal)
            iface.linkLocal = kLinkLocal;
        Lease6 lease;
        EXPECT_EQ(MakeInform6Source(settings)->Read(iface, lease),
                  geteuid() == 0 ? test.asRoot : test.asOthers)
            << test.name;
        EXPECT_FALSE(opened) << test.name;
        EXPECT_TRUE(lease.options.empty()) << test.name;
    }
}
} // namespace
