// The census on a Linux interface: one packet socket on the interface (the
// trunk, when VLANs are asked), a DHCPDISCOVER, a Solicit and a Router
// Solicitation per VLAN with an 802.1Q tag (untagged without VLANs), and
// every answer until the wait ends, each VLAN read from the tag the kernel
// took off (PACKET_AUXDATA). It answers Neighbor Solicitations for its own
// link-local addresses where the kernel does not, sends no Request of any
// family, binds no port, creates no interface and leaves a running client
// alone. Needs root or CAP_NET_RAW.
#pragma once

#include "core/wire/census.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct CensusSettings
{
    std::string interfaceName;
    std::chrono::milliseconds wait = kDefaultDiscoveryWait;
    unsigned families = kCensusAll;
    std::vector<std::uint16_t> vlans; // empty: the untagged link alone
    // The client address of every probe; empty: the interface's own.
    std::optional<HardwareAddress> clientMac;
    bool randomClientMac = false; // a fresh random address per VLAN
    // Receive frames to other addresses while the census runs (offers sent
    // to a random client address); also on with randomClientMac.
    bool promiscuous = false;
    CensusLimits limits;
    // Called once the socket is open and the plan made, before anything is
    // sent: the place to give up the privileges that opening it took, and to
    // tell a caller the plan. A non-zero errno value ends the census with it.
    std::function<int(const CensusPlan&)> opened;
    // Every frame as received, before it is sorted: a privileged helper hands
    // them on to an unprivileged caller.
    std::function<void(const CensusFrame&, const std::uint8_t*, std::size_t)> frame;
    // At every frame and at least every tick while waiting, with the time left.
    std::function<void(const Census&, std::chrono::steady_clock::duration)> progress;
    std::chrono::milliseconds tick{100};
    // Asked after each frame: true ends the wait early.
    std::function<bool(const Census&)> done;
};

// Runs the census. A link without a carrier is waited for, at most the wait;
// the probes go out once it has one, and the wait counts from then. 0 when
// the wait ended, with or without answers, or when the carrier never came
// (nothing sent; result.carrier false); ENODEV for
// no such interface, ENOENT when it is not Ethernet, EPERM or EACCES without
// CAP_NET_RAW, other errno values of the socket calls as they come.
int RunCensus(const CensusSettings& settings, CensusResult& result);

// What the DHCPDISCOVER asks for: every code the extended catalogue knows but
// those describing the request itself, in code order, so that each offer
// shows everything a server would give.
std::vector<std::uint8_t> DiscoveryRequestedOptions();

// A fresh random locally administered unicast address; 0 or an errno value.
int RandomLocalMac(HardwareAddress& address);
