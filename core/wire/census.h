// A census of a link's address-givers: DHCPv4 servers, DHCPv6 servers and
// IPv6 routers, untagged or on each of several VLANs of one trunk, asked at
// once and sorted as their answers come. What was asked is the plan; what
// came back, VLAN by VLAN, is the result. Both the command (its own socket)
// and the window (frames relayed by veyra-probe) sort through Census.
#pragma once

#include "core/wire/dhcp_discovery.h"
#include "core/wire/dhcpv6_discovery.h"
#include "core/wire/router_discovery.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

// The families a census asks, as bits.
enum CensusFamily : unsigned
{
    kCensusDhcpv4 = 1,
    kCensusDhcpv6 = 2,
    kCensusRouters = 4,
    kCensusAll = kCensusDhcpv4 | kCensusDhcpv6 | kCensusRouters,
};

// 802.1Q: the VLAN is the low 12 bits of the tag (the rest is priority and
// the drop-eligible bit); 0 and 4095 are reserved.
constexpr std::uint16_t kMaxVlanId = 4094;

// What one VLAN (or the untagged link) is asked with: its own client address,
// transaction ids and DUID, so that each answer tells which VLAN it is for.
struct VlanProbe
{
    std::optional<std::uint16_t> vlan; // empty: untagged
    HardwareAddress clientMac{};
    Ipv6Address linkLocal{};          // the Solicit's and RS's source
    std::uint32_t transactionId = 0;  // the DHCPDISCOVER's xid
    std::uint32_t transactionId6 = 0; // the Solicit's, 24 bits
    std::vector<std::uint8_t> clientDuid;
};

struct CensusPlan
{
    unsigned families = kCensusAll;
    std::vector<VlanProbe> probes; // in the order asked
};

// What a census keeps, whatever arrives: past these bounds answers are only
// counted, so a hostile trunk cannot grow it without end. maxStoredBytes
// bounds what the responders kept hold (Census::StoredBytes), so a census
// holds at most that, one responder more (under 100 KiB) and about 1 KiB per
// VLAN planned: with the defaults and every VLAN, about 37 MiB.
struct CensusLimits
{
    std::size_t maxRespondersPerFamily = 64;       // per VLAN and family
    std::size_t maxResponders = 8192;              // the whole census
    std::size_t maxStoredBytes = 32 * 1024 * 1024; // options and router contents kept
};

// Why a VLAN may have had no answer: what was seen on it.
struct VlanSightings
{
    std::size_t frames = 0;           // every frame taken on this VLAN
    std::size_t icmpErrors = 0;       // ICMP or ICMPv6 errors about our probes
    std::size_t otherVlanAnswers = 0; // answers to this VLAN's probes tagged otherwise
};

struct VlanCensus
{
    VlanProbe probe;
    VlanSightings seen;
    // DHCPv4 (the DHCPDISCOVER's offers)
    std::vector<DiscoveredServer> servers;
    DiscoveryCounts counts;
    std::optional<std::chrono::microseconds> firstOffer;
    // DHCPv6 (the Solicit's Advertises)
    std::vector<DiscoveredServer6> servers6;
    Dhcpv6DiscoveryCounts counts6;
    std::optional<std::chrono::microseconds> firstAdvertise;
    // Routers (every Router Advertisement heard)
    std::vector<AdvertisedRouter> routers;
    RouterDiscoveryCounts routerCounts;
    std::optional<std::chrono::microseconds> firstRouter;
};

struct CensusResult
{
    unsigned families = kCensusAll;
    bool carrier = true;           // the interface had a carrier within the wait
    std::vector<VlanCensus> vlans; // in the plan's order
    std::size_t unplannedFrames =
        0;                   // frames on a VLAN not asked (or untagged when only tagged were)
    std::size_t dropped = 0; // answers past CensusLimits::maxResponders or maxStoredBytes
};

// One received frame, below its Ethernet header (and the 802.1Q tag the
// kernel took off, given as vlan).
struct CensusFrame
{
    std::optional<std::uint16_t> vlan; // the tag's low 12 bits; empty: untagged
    std::uint16_t etherType = 0;       // ETH_P_IP or ETH_P_IPV6
    HardwareAddress sourceMac{};
    bool checksumPending = false; // as for ParseUdpPacket
    // From the send of this VLAN's probe of the frame's family to the kernel's
    // receipt of the frame.
    std::chrono::microseconds at{0};
};

// Sorts the frames of one census by VLAN and family: each VLAN of the plan
// has its own sorter per family, found from the frame's tag in constant time.
// An answer to one VLAN's probe (its xid and client address, or its Solicit's
// transaction id) that came on another VLAN or untagged counts as
// otherVlanAnswers of the VLAN it was meant for, and is sorted where it came.
// A plan's second probe for the same VLAN (or untagged) is kept but gets no
// frames.
class Census
{
public:
    Census(CensusPlan plan, const CensusLimits& limits = CensusLimits());

    // One frame, as the packet below its Ethernet header (IPv4 or IPv6).
    void Take(const CensusFrame& frame, const std::uint8_t* packet, std::size_t size);

    // The sorters' state as they stand (servers and routers so far are in
    // the sorters until the end): for progress and for tests.
    const CensusResult& Result() const { return m_result; }
    // The plan's index of the probe on a VLAN (empty: untagged); empty when
    // none was planned there, or the id is out of range.
    std::optional<std::size_t> Find(std::optional<std::uint16_t> vlan) const;
    const ServerDiscovery& Dhcpv4(std::size_t vlan) const { return m_sorters[vlan].dhcpv4; }
    // Servers and routers kept across the whole census, and the memory they
    // hold (their bytes and the containers' cost), which maxStoredBytes bounds.
    std::size_t Responders() const { return m_responders; }
    std::size_t StoredBytes() const { return m_storedBytes; }

    // Hands the result over at the end, without copying; nothing is kept after.
    CensusResult TakeResult();

private:
    struct Sorters
    {
        ServerDiscovery dhcpv4;
        Dhcpv6ServerDiscovery dhcpv6;
        RouterDiscovery routers;
    };

    // The slot of the probe an answer was meant for, from its transaction id.
    std::optional<std::size_t> Addressee4(const std::uint8_t* packet, std::size_t size) const;
    std::optional<std::size_t> Addressee6(const std::uint8_t* packet, std::size_t size) const;
    void TakeIpv4(const CensusFrame& frame, std::size_t slot, const std::uint8_t* packet,
                  std::size_t size);
    void TakeIpv6(const CensusFrame& frame, std::size_t slot, const std::uint8_t* packet,
                  std::size_t size);
    bool Full() const;
    // Takes one packet into a sorter within the census's bounds; verdict Offer
    // (an answer kept) sets first when it is unset.
    template <typename Sorter, typename Counts>
    void Sort(Sorter& sorter, Counts& counts, const CensusFrame& frame,
              std::optional<std::chrono::microseconds>& first, const std::uint8_t* packet,
              std::size_t size);

    CensusLimits m_limits;
    CensusResult m_result;
    std::vector<Sorters> m_sorters; // in the plan's order
    // Per VLAN id, its slot + 1 (0: not planned); [0] is the untagged link,
    // as no VLAN has id 0.
    std::vector<std::uint16_t> m_slots;
    std::unordered_map<std::uint32_t, std::size_t> m_byXid;
    std::unordered_map<std::uint32_t, std::size_t> m_byXid6;
    std::size_t m_responders = 0;
    std::size_t m_storedBytes = 0;
};
