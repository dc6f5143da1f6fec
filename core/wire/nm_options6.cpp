#include "core/wire/nm_options6.h"

#include "core/wire/dhcpv6_option_text.h"
#include "core/wire/option_text.h"
#include "core/wire/option_value.h"

#include <algorithm>
#include <set>
#include <string_view>

namespace
{
constexpr std::string_view kPrefix = "dhcp6_";

std::optional<std::string_view> Value(const std::map<std::string, std::string>& options,
                                      const char* name)
{
    const auto entry = options.find(name);
    if (entry == options.end())
        return std::nullopt;
    return std::string_view(entry->second);
}

std::uint32_t Seconds(const std::map<std::string, std::string>& options, const char* name)
{
    const auto value = Value(options, name);
    const auto seconds = value ? ParseDecimalText(*value, 0xFFFFFFFF) : std::nullopt;
    return static_cast<std::uint32_t>(seconds.value_or(0));
}
} // namespace

bool Lease6FromNetworkManager(const std::map<std::string, std::string>& options, Lease6& lease)
{
    if (options.empty())
        return false;
    Lease6 found;
    std::set<std::string> used;
    const auto iaidText = Value(options, "iaid");
    const auto iaid = iaidText ? ParseIaidText(*iaidText) : std::nullopt;
    const std::uint32_t t1 = Seconds(options, "renew");
    const std::uint32_t t2 = Seconds(options, "rebind");
    const std::uint32_t preferred = Seconds(options, "preferred_life");
    const std::uint32_t valid = Seconds(options, "max_life");
    const char* const kTimes[] = {"iaid", "renew", "rebind", "preferred_life", "max_life"};
    if (iaid)
    {
        const auto addressText = Value(options, "ip6_address");
        if (const auto address = addressText ? ParseIpv6Text(*addressText) : std::nullopt)
        {
            found.options.push_back(
                IdentityAssociation(3, *iaid, t1, t2, {IaAddress(*address, preferred, valid)}));
            used.insert("ip6_address");
        }
        const auto prefixText = Value(options, "ip6_prefix");
        const std::size_t slash = prefixText ? prefixText->find('/') : std::string_view::npos;
        if (slash != std::string_view::npos)
        {
            const auto prefix = ParseIpv6Text(prefixText->substr(0, slash));
            const auto length = ParseDecimalText(prefixText->substr(slash + 1), 128);
            if (prefix && length)
            {
                found.options.push_back(IdentityAssociation(
                    25, *iaid, t1, t2,
                    {IaPrefix(*prefix, static_cast<std::uint8_t>(*length), preferred, valid)}));
                used.insert("ip6_prefix");
            }
        }
        if (!found.options.empty())
            used.insert(std::begin(kTimes), std::end(kTimes));
    }
    for (const char* name : {"life_starts", "starts"})
    {
        const auto value = Value(options, name);
        const auto starts = value ? ParseDecimalText(*value, kLatestLeaseTime) : std::nullopt;
        if (starts && !found.obtained)
        {
            found.obtained = static_cast<std::int64_t>(*starts);
            used.insert(name);
        }
    }
    for (const auto& [name, value] : options)
    {
        if (used.count(name) != 0)
            continue;
        std::optional<std::uint16_t> code;
        if (std::string_view(name).substr(0, kPrefix.size()) == kPrefix)
        {
            std::string dashed = name.substr(kPrefix.size());
            std::replace(dashed.begin(), dashed.end(), '_', '-');
            code = Dhcpv6TextCode(dashed);
            if (auto option = EncodeDhcpv6OptionText(dashed, value))
            {
                found.options.push_back(std::move(*option));
                continue;
            }
        }
        found.unmapped.push_back({name, code, value});
    }
    lease = std::move(found);
    return true;
}
