// Costs of reading the lease texts of Linux DHCP clients. Timings live here,
// never in the tests.
#include "core/wire/dhclient_lease.h"
#include "core/wire/networkd_lease.h"
#include "platform/bounded_file.h"

#include <benchmark/benchmark.h>

#include <string>

namespace
{
// One renewal as dhclient 4.4 appends it.
const std::string kDhclientBlock = R"(lease {
  interface "vcli";
  fixed-address 10.99.0.146;
  option subnet-mask 255.255.255.0;
  option time-offset 3600;
  option static-routes 10.99.5.0 10.99.0.1;
  option routers 10.99.0.1;
  option dhcp-lease-time 600;
  option time-servers 10.99.0.1;
  option tftp-server-name "tftp.lab.test";
  option bootfile-name "pxelinux.0";
  option dhcp-message-type 5;
  option domain-name-servers 10.99.0.1,10.99.0.2;
  option default-ip-ttl 64;
  option dhcp-server-identifier 10.99.0.1;
  option log-servers 10.99.0.1;
  option nis-servers 10.99.0.1;
  option dhcp-renewal-time 300;
  option ntp-servers 10.99.0.1;
  option broadcast-address 10.99.0.255;
  option dhcp-rebinding-time 525;
  option vendor-encapsulated-options 1:4:de:ad:be:ef:2:3:61:62:63;
  option host-name "ignored-by-clients";
  option netbios-name-servers 10.99.0.1;
  option domain-name "lab.test";
  option netbios-node-type 8;
  option netbios-scope "scope1";
  renew 3 2026/12/09 05:46:04;
  rebind 3 2026/12/09 05:50:51;
  expire 3 2026/12/09 05:52:06;
}
)";

const std::string kNetworkdLease = R"(# This is private data. Do not parse.
ADDRESS=10.99.0.146
NETMASK=255.255.255.0
ROUTER=10.99.0.1
SERVER_ADDRESS=10.99.0.1
NEXT_SERVER=10.99.0.1
BROADCAST=10.99.0.255
T1=300
T2=525
LIFETIME=600
DNS=10.99.0.1 10.99.0.2
NTP=10.99.0.1
DOMAINNAME=lab.test
HOSTNAME=ignored-by-clients
STATIC_ROUTES=10.0.0.0/8,10.99.0.1
CLIENTID=01020000990002
VENDOR_SPECIFIC=0104deadbeef0203616263
)";

const std::string kNetworkdJson = R"({"Address": "10.99.0.146", "Netmask": "255.255.255.0",
 "Router": ["10.99.0.1"], "ServerAddress": "10.99.0.1", "Broadcast": "10.99.0.255",
 "T1": 300, "T2": 525, "Lifetime": 600, "DNS": [[10, 99, 0, 1], [10, 99, 0, 2]],
 "NTP": ["10.99.0.1"], "DomainName": "lab.test", "Hostname": "ignored-by-clients",
 "StaticRoutes": "10.0.0.0/8,10.99.0.1", "VendorSpecific": "0104deadbeef0203616263"})";

// The lease file after state.range(0) renewals, up to the largest file read.
void BM_ParseDhclientLeases(benchmark::State& state)
{
    std::string text;
    for (int i = 0; i < state.range(0) && text.size() + kDhclientBlock.size() <= kMaxFileBytes; ++i)
        text += kDhclientBlock;
    state.SetLabel(std::to_string(text.size()) + " bytes");
    for (auto _ : state)
    {
        Lease lease;
        benchmark::DoNotOptimize(ParseDhclientLeases(text, "vcli", lease));
        benchmark::DoNotOptimize(lease);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ParseDhclientLeases)->Arg(2)->Arg(100)->Arg(100000);

void BM_ParseNetworkdLease(benchmark::State& state)
{
    const std::string& text = state.range(0) == 0 ? kNetworkdLease : kNetworkdJson;
    state.SetLabel(state.range(0) == 0 ? "KEY=value" : "JSON");
    for (auto _ : state)
    {
        Lease lease;
        benchmark::DoNotOptimize(ParseNetworkdLease(text, lease));
        benchmark::DoNotOptimize(lease);
    }
}
BENCHMARK(BM_ParseNetworkdLease)->Arg(0)->Arg(1);
} // namespace

BENCHMARK_MAIN();
