#include "linux/process_capabilities.h"

#include <gtest/gtest.h>

#include <fstream>
#include <linux/capability.h>
#include <string>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
constexpr CapabilitySet Bit(int nCapability)
{
    return CapabilitySet{1} << nCapability;
}

struct InformCase
{
    CapabilitySet m_capabilities;
    bool m_bCanSend;
};

const InformCase kInformCases[] = {
    {0, false},
    {Bit(CAP_NET_RAW), true},
    {Bit(CAP_NET_BIND_SERVICE), false},
    {Bit(CAP_NET_ADMIN) | Bit(CAP_NET_BROADCAST), false},
    {Bit(CAP_NET_RAW) | Bit(CAP_NET_BIND_SERVICE), true},
    {~CapabilitySet{0}, true},
    {~(Bit(CAP_NET_RAW)), false},
};

TEST(ProcessCapabilities, InformNeedsOnlyThePacketSocket)
{
    for (const InformCase& test : kInformCases)
        EXPECT_EQ(CanSendInform(test.m_capabilities), test.m_bCanSend)
            << std::hex << test.m_capabilities;
}

// The kernel's own account of the set, in /proc/self/status.
CapabilitySet StatusEffectiveSet()
{
    std::ifstream status("/proc/self/status");
    std::string strLine;
    while (std::getline(status, strLine))
    {
        if (strLine.rfind("CapEff:", 0) == 0)
            return std::stoull(strLine.substr(7), nullptr, 16);
    }
    ADD_FAILURE() << "no CapEff line in /proc/self/status";
    return 0;
}

TEST(ProcessCapabilities, EffectiveSetIsTheKernels)
{
    CapabilitySet capabilities = 0xDEAD;
    ASSERT_EQ(ReadEffectiveCapabilities(capabilities), 0);
    EXPECT_EQ(capabilities, StatusEffectiveSet());
    EXPECT_EQ(ProcessCanSendInform(), CanSendInform(capabilities));
    EXPECT_EQ(ProcessCanDiscoverServers(), CanDiscoverServers(capabilities));
}

// Drops the capability from the effective set only: it stays permitted, and
// a check that read the permitted set would still say yes.
bool DropEffective(int nCapability)
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (syscall(SYS_capget, &header, data) != 0)
        return false;
    data[CAP_TO_INDEX(nCapability)].effective &= ~CAP_TO_MASK(nCapability);
    return syscall(SYS_capset, &header, data) == 0;
}

TEST(ProcessCapabilities, ProcessWithoutRawSocketsCannotAsk)
{
    if (!ProcessCanSendInform())
        GTEST_SKIP() << "this process has not got CAP_NET_RAW";
    // In a child, so that this process keeps its set.
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0)
        _exit(DropEffective(CAP_NET_RAW)
                  ? (ProcessCanSendInform() || ProcessCanDiscoverServers() ? 1 : 0)
                  : 2);
    int nStatus = 0;
    ASSERT_EQ(waitpid(pid, &nStatus, 0), pid);
    ASSERT_TRUE(WIFEXITED(nStatus));
    EXPECT_EQ(WEXITSTATUS(nStatus), 0);
}
} // namespace
