// Prints the DHCPv6 lease the Linux sources find for an interface, for the
// namespace tests: "source NAME", then "CODE HEX" per option in order,
// "unmapped NAME" per line that gave no bytes, and "decoded CODE TEXT" (or
// "malformed CODE HEX") per option as the DHCPv6 decoder reads it. Exit 0
// with a lease, else 1.
//
// Usage: veyra_lease6_dump IF [DHCLIENT_DIR]
#include "core/options/dhcpv6_decoder.h"
#include "core/wire/hex_text.h"
#include "linux/adapter_source.h"
#include "linux/lease6_sources.h"
#include "linux/lease_chain.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    LinuxPaths paths;
    if (argc > 2)
        paths.m_DhclientDirs = {argv[2]};
    // The interface as the command sees it, addresses and all.
    CLeaseChain noLeases({});
    CLinuxAdapterSource adapters(paths, noLeases);
    AdapterList list;
    adapters.Read(list);
    const std::optional<LeaseInterface> iface = adapters.Interface(argv[1]);
    const auto sources = MakeLinuxLease6Sources(paths, std::chrono::milliseconds(200));
    Lease6 lease;
    const int result = ReadAdapterLease6(iface, *sources, lease);
    if (result != 0)
    {
        std::printf("error %s\n", std::strerror(result));
        return 1;
    }
    std::printf("source %s\n", lease.source.c_str());
    for (const Dhcpv6Option& option : lease.options)
        std::printf("%u %s\n", option.code,
                    HexText(option.data.data(), option.data.size()).c_str());
    for (const UnmappedOption6& line : lease.unmapped)
        std::printf("unmapped %s\n", line.name.c_str());
    for (const ExtendedOption& option : DecodeAllOptions6(lease.options, ExtendedParts::Text))
        std::printf("%s %u %s\n", option.m_bMalformed ? "malformed" : "decoded", option.m_nCode,
                    option.m_strText.c_str());
    return 0;
}
