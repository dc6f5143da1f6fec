// The window's and the command line's reading of veyra-probe's output: any
// line is refused or read within the bounds, and a line read writes back to
// one that reads the same; a census's VLAN list reads back from its text.
#include "core/wire/probe_messages.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pInput, std::size_t nSize)
{
    const std::string_view line(reinterpret_cast<const char*>(pInput), nSize);
    if (const std::optional<std::vector<std::uint16_t>> vlans = ParseProbeVlans(line))
    {
        std::vector<std::uint16_t> sorted = *vlans;
        std::sort(sorted.begin(), sorted.end());
        if (ParseProbeVlans(ProbeVlanText(*vlans)) != sorted)
            std::abort();
    }
    const std::optional<ProbeMessage> message = ParseProbeMessage(line);
    if (!message)
        return 0;
    std::size_t options6Bytes = 0;
    for (const Dhcpv6Option& option : message->options6)
        options6Bytes += 4 + option.data.size();
    if (message->m_Packet.size() > kMaxProbeValueBytes || options6Bytes > kMaxProbeValueBytes ||
        message->m_strStatus.size() > kMaxProbeStatusBytes || message->m_nError < 0)
        std::abort();
    std::string strAgain = FormatProbeMessage(*message);
    strAgain.pop_back();
    const std::optional<ProbeMessage> again = ParseProbeMessage(strAgain);
    if (!again || again->m_Packet != message->m_Packet ||
        again->m_mapOptions != message->m_mapOptions || again->m_event != message->m_event ||
        again->options6.size() != message->options6.size())
        std::abort();
    for (std::size_t i = 0; i < message->options6.size(); ++i)
    {
        if (again->options6[i].code != message->options6[i].code ||
            again->options6[i].data != message->options6[i].data)
            std::abort();
    }
    return 0;
}
