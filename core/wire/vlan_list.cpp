#include "core/wire/vlan_list.h"

#include <algorithm>
#include <bitset>

namespace
{
std::string_view Trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Four digits at most bound the value before it is compared.
std::optional<unsigned> ReadVlanId(std::string_view text)
{
    text = Trimmed(text);
    if (text.empty() || text.size() > 4 || text[0] == '0')
        return std::nullopt;
    unsigned id = 0;
    for (const char c : text)
    {
        if (c < '0' || c > '9')
            return std::nullopt;
        id = id * 10 + static_cast<unsigned>(c - '0');
    }
    if (id > kMaxVlanId)
        return std::nullopt;
    return id;
}
} // namespace

std::optional<VlanListError> ReadVlanList(std::string_view text, std::vector<std::uint16_t>& vlans)
{
    std::bitset<kMaxVlanId + 1> asked;
    for (const std::uint16_t vlan : vlans)
        asked.set(vlan);
    for (std::size_t at = 0; at <= text.size();)
    {
        const std::size_t comma = std::min(text.find(',', at), text.size());
        const std::string_view item = text.substr(at, comma - at);
        const std::size_t dash = item.find('-');
        const std::optional<unsigned> first = ReadVlanId(item.substr(0, dash));
        const std::optional<unsigned> last =
            dash == std::string_view::npos ? first : ReadVlanId(item.substr(dash + 1));
        if (!first || !last || *last < *first)
            return VlanListError{std::string(item), first && last};
        for (unsigned id = *first; id <= *last; ++id)
            asked.set(id);
        at = comma + 1;
    }
    vlans.clear();
    for (std::uint16_t vlan = 1; vlan <= kMaxVlanId; ++vlan)
    {
        if (asked.test(vlan))
            vlans.push_back(vlan);
    }
    return std::nullopt;
}

std::string VlanListText(std::vector<std::uint16_t> vlans, std::string_view separator)
{
    std::sort(vlans.begin(), vlans.end());
    vlans.erase(std::unique(vlans.begin(), vlans.end()), vlans.end());
    std::string text;
    for (std::size_t first = 0; first < vlans.size();)
    {
        std::size_t last = first;
        while (last + 1 < vlans.size() && vlans[last + 1] == vlans[last] + 1)
            ++last;
        if (!text.empty())
            text += separator;
        text += std::to_string(vlans[first]);
        if (last > first)
            text += "-" + std::to_string(vlans[last]);
        first = last + 1;
    }
    return text;
}
