#include "linux/process_capabilities.h"

#include <cerrno>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace
{
constexpr CapabilitySet Bit(int nCapability)
{
    return CapabilitySet{1} << nCapability;
}
} // namespace

int ReadEffectiveCapabilities(CapabilitySet& capabilities)
{
    // Version 3 splits the 64 bits of each set over two records (libc has no
    // wrapper; libcap would be a dependency for one call).
    __user_cap_header_struct header{};
    header.version = _LINUX_CAPABILITY_VERSION_3;
    header.pid = 0;
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (syscall(SYS_capget, &header, data) != 0)
        return errno;
    capabilities = CapabilitySet{data[0].effective} | (CapabilitySet{data[1].effective} << 32);
    return 0;
}

bool CanSendInform(CapabilitySet capabilities)
{
    return (capabilities & Bit(CAP_NET_RAW)) != 0;
}

bool CanDiscoverServers(CapabilitySet capabilities)
{
    return (capabilities & Bit(CAP_NET_RAW)) != 0;
}

bool ProcessCanSendInform()
{
    CapabilitySet capabilities = 0;
    return ReadEffectiveCapabilities(capabilities) == 0 && CanSendInform(capabilities);
}

bool ProcessCanDiscoverServers()
{
    CapabilitySet capabilities = 0;
    return ReadEffectiveCapabilities(capabilities) == 0 && CanDiscoverServers(capabilities);
}
