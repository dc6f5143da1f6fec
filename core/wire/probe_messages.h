// What veyra-probe, the helper that holds CAP_NET_RAW, tells its caller: one
// JSON object per line on its standard output. The caller reads it as
// untrusted input, so every field is checked against its bounds.
//
//   {"event":"opened","status":"CapInh:\t...\n"}
//   {"event":"options","options":{"1":"ffffff00","3":"0a000001"}}
//   {"event":"options6","data":"0017001020010db8..."}
//   {"event":"end","error":0,"unrelayed":0}
//
// A census (core/wire/census.h) says its plan after "opened", then relays
// every frame with the VLAN it came on (none: untagged) and its EtherType:
//
//   {"event":"census","families":7,"carrier":true}
//   {"event":"probe","vlan":10,"mac":"02:..","xid":N,"xid6":N,"ll":"fe80..","duid":"0003.."}
//   {"event":"frame","vlan":10,"type":34525,"data":"60..","source":"02:..","pending":false,"us":N}
//
// "opened" comes once the socket is open and the helper has dropped its
// privileges (status: its capability lines of /proc/self/status); "options"
// holds a DHCPINFORM's answer;
// "options6" a DHCPv6 Reply's options as on the wire (RFC 8415 21.1), in
// their order, a code as often as the Reply holds it; "end" is the last line,
// with 0 or an errno value and the frames not relayed past the bounds below.
#pragma once

#include "core/model/lease.h"
#include "core/model/lease6.h"
#include "core/wire/census.h"
#include "core/wire/dhcp_discovery.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class ProbeEvent
{
    Opened,
    Options,
    Options6,
    Census,
    Probe,
    Frame,
    End,
};

struct ProbeMessage
{
    ProbeEvent m_event = ProbeEvent::End;
    // Opened
    std::string m_strStatus;
    // Census
    unsigned families = 0;
    bool carrier = true;
    // Probe
    VlanProbe probe;
    // Frame
    std::optional<std::uint16_t> vlan;
    std::uint16_t etherType = 0;
    std::vector<std::uint8_t> m_Packet;
    HardwareAddress m_SourceMac{};
    bool m_bChecksumPending = false;
    std::uint64_t m_nMicroseconds = 0;
    // Options
    OptionMap m_mapOptions;
    // Options6
    Dhcpv6Options options6;
    // End
    int m_nError = 0;
    std::uint64_t m_nUnrelayed = 0;
};

// What the helper relays at most; past either bound it only counts frames. A
// census of every VLAN of a trunk: three answers and more per VLAN.
constexpr std::size_t kMaxProbeFrames = 16384;
constexpr std::size_t kMaxProbeFrameBytes = 32 * 1024 * 1024;
// A DUID is at most 128 bytes and its type (RFC 8415 11.1).
constexpr std::size_t kMaxProbeDuidBytes = 130;
// The longest packet, option value or block of DHCPv6 options a line may
// carry, and so the longest line.
constexpr std::size_t kMaxProbeValueBytes = 0xFFFF;
constexpr std::size_t kMaxProbeStatusBytes = 1024;
constexpr std::size_t kMaxProbeLine = 2 * kMaxProbeValueBytes + 2 * kMaxProbeStatusBytes + 256;

// An Ethernet address as the lines write it: "02:00:00:00:00:01".
std::string ProbeMacText(const HardwareAddress& mac);
// Six pairs of hexadecimal digits (either case) joined by colons; empty otherwise.
std::optional<HardwareAddress> ParseProbeMac(std::string_view text);

// The VLANs of a census as veyra-probe's argument: "-" for none (the
// untagged link), otherwise ids and runs as ranges, ascending: "10,20,100-199".
std::string ProbeVlanText(const std::vector<std::uint16_t>& vlans);
// A list as ReadVlanList reads it (ascending, duplicates folded), or "-" for
// none. Empty when anything else.
std::optional<std::vector<std::uint16_t>> ParseProbeVlans(std::string_view text);

// One line, ending in '\n'.
std::string FormatProbeMessage(const ProbeMessage& message);

// One line without its '\n'. Empty when it is longer than kMaxProbeLine, not
// one JSON object, of an unknown event, or when a field is missing, of the
// wrong type or out of its bounds.
std::optional<ProbeMessage> ParseProbeMessage(std::string_view line);
