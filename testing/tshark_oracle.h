// Wireshark's dissectors as an oracle: runs tshark on a pcap file and reads
// its JSON output, keeping every field in the order tshark wrote it.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// One field of tshark's JSON output. Unlike a JSON object, it keeps repeated
// names (tshark writes a router list as one "dhcp.option.router" per address)
// and their order. An array's elements have empty names.
struct TsharkNode
{
    std::string m_strName;
    std::string m_strText; // a leaf's value
    std::vector<TsharkNode> m_Children;

    // The first node of that name at or below this one, depth first; null
    // when there is none.
    const TsharkNode* Find(const std::string& strName) const;
};

// One option of a DHCP message as the dissector shows it.
struct TsharkOption
{
    std::uint8_t m_nCode = 0;
    std::vector<std::uint8_t> m_Value; // the option's data bytes
    // Every field the dissector made of those bytes, depth first, suboption
    // fields included: the typed view of the option. Empty when tshark has no
    // dissection for the code.
    std::vector<std::pair<std::string, std::string>> m_Fields;
    // The dissector's errors about the option: its expert info of error
    // severity, a name it could not read, or the exception that stopped it.
    std::vector<std::string> m_Complaints;

    // The texts of every field of that name, in order.
    std::vector<std::string> Texts(const std::string& strField) const;
};

// Why the oracle cannot run here, or empty when it can.
std::string TsharkObstacle();

// Dissects every frame of a pcap file with tshark, under the default
// preferences (the user's own are ignored) and those given as "name:value".
// Fills frames with each frame's "layers" node; false, with the reason in
// strError, when tshark fails or writes something that is not JSON. With
// withBytes, every field has a sibling "<field>_raw" holding its bytes' hex
// first (tshark -x).
bool RunTshark(const std::string& strPcap, const std::vector<std::string>& preferences,
               std::vector<TsharkNode>& frames, std::string& strError, bool withBytes = false);

// The options of the DHCP message in one frame's layers, in message order,
// without pad and end. Empty when the frame holds no DHCP message.
std::vector<TsharkOption> DhcpOptions(const TsharkNode& layers);
