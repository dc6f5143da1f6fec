#include "linux/dhcpcd_state6.h"

#include "core/wire/dhcpv6_option_text.h"
#include "core/wire/option_value.h"
#include "linux/dhcpcd_control_socket.h"

#include <algorithm>
#include <cerrno>
#include <map>
#include <string>
#include <vector>

namespace
{
// The socket gives the variables of dhcpcd's hooks: the lease's after "new_".
constexpr std::string_view kNew = "new_";
constexpr std::string_view kPrefix = "dhcp6_";
// dhcpcd numbers identity associations and their addresses from 1; more than
// this many of either is not a Reply's.
constexpr std::uint64_t kMaxIndex = 256;

constexpr std::uint16_t kStatusCode = 13;

// An address or prefix of an identity association, from its variables.
struct AddressParts
{
    std::optional<Ipv6Address> address;
    std::optional<std::uint8_t> length; // a prefix's
    std::uint32_t preferred = 0;
    std::uint32_t valid = 0;
};

struct StatusParts
{
    std::uint16_t status = 0;
    std::string message;
};

struct IaParts
{
    std::string name; // "dhcp6_ia_na1"
    std::uint16_t code = 0;
    std::optional<OptionBytes> iaid;
    std::uint32_t t1 = 0;
    std::uint32_t t2 = 0;
    std::map<std::uint64_t, AddressParts> addresses;
    std::optional<StatusParts> status;
};

// Reads "NAME<digits>" from the front of text: the index, with the rest
// after the digits left in text.
std::optional<std::uint64_t> TakeIndexed(std::string_view& text, std::string_view name)
{
    if (text.substr(0, name.size()) != name)
        return std::nullopt;
    std::size_t end = name.size();
    while (end < text.size() && text[end] >= '0' && text[end] <= '9')
        ++end;
    const auto index = ParseDecimalText(text.substr(name.size(), end - name.size()), kMaxIndex);
    if (!index)
        return std::nullopt;
    text.remove_prefix(end);
    return index;
}

std::optional<std::uint32_t> ParseUInt32(std::string_view text)
{
    const auto value = ParseDecimalText(text, 0xFFFFFFFF);
    if (!value)
        return std::nullopt;
    return static_cast<std::uint32_t>(*value);
}

// "status_code" or "status_code_message" into the parts; false for another name.
bool ApplyStatus(std::string_view rest, std::string_view value, std::optional<StatusParts>& status)
{
    if (rest == "status_code")
    {
        const auto code = ParseDecimalText(value, 0xFFFF);
        if (!code)
            return false;
        status.emplace().status = static_cast<std::uint16_t>(*code);
        return true;
    }
    if (rest == "status_code_message" && status)
    {
        status->message = std::string(value);
        return true;
    }
    return false;
}

// One variable after "ia_na1_" or the like; false when it gives nothing.
bool ApplyIaVariable(std::string_view rest, std::string_view value, IaParts& ia)
{
    if (rest == "iaid")
        return (ia.iaid = ParseIaidText(value)).has_value();
    if (rest == "t1" || rest == "t2")
    {
        const auto seconds = ParseUInt32(value);
        if (seconds)
            (rest == "t1" ? ia.t1 : ia.t2) = *seconds;
        return seconds.has_value();
    }
    if (ApplyStatus(rest, value, ia.status))
        return true;
    const bool isPrefix = ia.code == 25;
    const auto index = TakeIndexed(rest, isPrefix ? "prefix" : "ia_addr");
    if (!index)
        return false;
    AddressParts& parts = ia.addresses[*index];
    if (rest.empty())
    {
        // A prefix may come with its length after a slash.
        const std::size_t slash = value.find('/');
        if (isPrefix && slash != std::string_view::npos)
        {
            const auto length = ParseDecimalText(value.substr(slash + 1), 128);
            if (!length)
                return false;
            parts.length = static_cast<std::uint8_t>(*length);
        }
        return (parts.address = ParseIpv6Text(value.substr(0, slash))).has_value();
    }
    if (rest == "_length" && isPrefix)
    {
        const auto length = ParseDecimalText(value, 128);
        if (length)
            parts.length = static_cast<std::uint8_t>(*length);
        return length.has_value();
    }
    if (rest == "_pltime" || rest == "_vltime")
    {
        const auto seconds = ParseUInt32(value);
        if (seconds)
            (rest == "_pltime" ? parts.preferred : parts.valid) = *seconds;
        return seconds.has_value();
    }
    return false;
}

// The identity association's option, or nullopt when a part is missing.
std::optional<Dhcpv6Option> BuildIa(const IaParts& ia)
{
    if (!ia.iaid)
        return std::nullopt;
    Dhcpv6Options inside;
    for (const auto& [index, parts] : ia.addresses)
    {
        if (!parts.address || (ia.code == 25 && !parts.length))
            return std::nullopt;
        inside.push_back(ia.code == 25
                             ? IaPrefix(*parts.address, *parts.length, parts.preferred, parts.valid)
                             : IaAddress(*parts.address, parts.preferred, parts.valid));
    }
    if (ia.status)
        inside.push_back(StatusCode(ia.status->status, ia.status->message));
    return IdentityAssociation(ia.code, *ia.iaid, ia.t1, ia.t2, inside);
}
} // namespace

int Lease6FromDhcpcdState(std::string_view state, std::string_view interfaceName, Lease6& lease)
{
    std::vector<std::string_view> variables;
    if (SplitDhcpcdVariables(state, variables) != 0)
        return EBADMSG;
    if (DhcpcdVariable(variables, "interface") != interfaceName ||
        DhcpcdVariable(variables, "protocol") != std::string_view("dhcp6"))
        return ENOENT;

    static constexpr std::pair<std::string_view, std::uint16_t> kIas[] = {
        {"ia_na", 3}, {"ia_ta", 4}, {"ia_pd", 25}};
    Lease6 found;
    // Where each identity association and the status code go among the
    // options, once all their variables are read.
    std::map<std::pair<std::uint16_t, std::uint64_t>, std::pair<std::size_t, IaParts>> ias;
    std::optional<std::size_t> statusSlot;
    std::optional<StatusParts> status;
    for (std::string_view variable : variables)
    {
        if (variable.substr(0, kNew.size()) != kNew)
            continue; // dhcpcd's own variables
        variable.remove_prefix(kNew.size());
        if (variable.substr(0, kPrefix.size()) != kPrefix)
            continue;
        const std::size_t equals = variable.find('=');
        const std::string_view name = variable.substr(kPrefix.size(), equals - kPrefix.size());
        const std::string_view value = variable.substr(equals + 1);
        bool applied = false;
        std::optional<std::uint16_t> code;
        for (const auto& [iaName, iaCode] : kIas)
        {
            std::string_view rest = name;
            const auto index = TakeIndexed(rest, iaName);
            if (!index || rest.empty() || rest.front() != '_')
                continue;
            code = iaCode;
            auto [slot, inserted] = ias.try_emplace({iaCode, *index});
            if (inserted)
            {
                slot->second.first = found.options.size();
                slot->second.second.code = iaCode;
                slot->second.second.name =
                    std::string(variable.substr(0, kPrefix.size() + name.size() - rest.size()));
                found.options.push_back({iaCode, {}});
            }
            applied = ApplyIaVariable(rest.substr(1), value, slot->second.second);
            break;
        }
        if (!code && ApplyStatus(name, value, status))
        {
            code = kStatusCode;
            applied = true;
            if (!statusSlot)
            {
                statusSlot = found.options.size();
                found.options.push_back({kStatusCode, {}});
            }
        }
        if (!code)
        {
            std::string dashed(name);
            std::replace(dashed.begin(), dashed.end(), '_', '-');
            code = Dhcpv6TextCode(dashed);
            // dhcpcd passes a text on as its bytes, up to the first NUL or
            // byte above 0x7F.
            if (code && IsDhcpv6TextOption(dashed))
            {
                found.options.push_back({*code, OptionBytes(value.begin(), value.end())});
                found.cutOptions.insert(*code);
                applied = true;
            }
            else if (auto option = EncodeDhcpv6OptionText(dashed, value))
            {
                found.options.push_back(std::move(*option));
                applied = true;
            }
        }
        if (!applied)
            found.unmapped.push_back(
                {std::string(variable.substr(0, equals)), code, std::string(value)});
    }
    for (const auto& [key, entry] : ias)
    {
        const auto& [slot, parts] = entry;
        if (auto option = BuildIa(parts))
            found.options[slot] = std::move(*option);
        else
            found.unmapped.push_back({parts.name, key.first, {}});
    }
    if (statusSlot)
    {
        found.options[*statusSlot] = StatusCode(status->status, status->message);
        // A message is a text dhcpcd may have cut.
        if (!status->message.empty())
            found.cutOptions.insert(kStatusCode);
    }
    // A slot of an identity association that did not build is left out.
    found.options.erase(std::remove_if(found.options.begin(), found.options.end(),
                                       [](const Dhcpv6Option& option) {
                                           return option.data.empty() &&
                                                  (option.code == 3 || option.code == 4 ||
                                                   option.code == 25);
                                       }),
                        found.options.end());
    if (found.options.empty() && found.unmapped.empty())
        return ENOENT;
    lease = std::move(found);
    return 0;
}
