// Routes: RFC 3442's classless routes and RFC 5969's 6rd.
#include "core/options/decode/decoders.h"

#include "core/wire/classless_routes.h"
#include "core/wire/ipv6_text.h"

#include <optional>
#include <vector>

bool DecodeClasslessRoutes(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    const std::optional<std::vector<ClasslessRoute>> routes =
        ReadClasslessRoutes(data.data, data.length);
    if (!routes)
        return false;
    if (context.typed)
        option.m_value = Array(routes->size());
    std::string& text = option.m_strText;
    text.reserve(routes->size() * 40);
    for (const ClasslessRoute& route : *routes)
    {
        const std::uint8_t destination[] = {static_cast<std::uint8_t>(route.nDestination >> 24),
                                            static_cast<std::uint8_t>(route.nDestination >> 16),
                                            static_cast<std::uint8_t>(route.nDestination >> 8),
                                            static_cast<std::uint8_t>(route.nDestination)};
        const std::uint8_t router[] = {static_cast<std::uint8_t>(route.nRouter >> 24),
                                       static_cast<std::uint8_t>(route.nRouter >> 16),
                                       static_cast<std::uint8_t>(route.nRouter >> 8),
                                       static_cast<std::uint8_t>(route.nRouter)};
        Separate(text, &route == &routes->front());
        const std::size_t destinationStart = text.size();
        AppendDottedQuad(text, destination);
        text += '/';
        AppendNumber(text, route.nPrefixLength);
        const std::size_t destinationEnd = text.size();
        text += " via ";
        const std::size_t routerStart = text.size();
        AppendDottedQuad(text, router);
        if (context.typed)
            option.m_value.push_back(Object(
                "destination", text.substr(destinationStart, destinationEnd - destinationStart),
                "router", text.substr(routerStart)));
    }
    return true;
}

// RFC 5969 7.1.1: IPv4 mask length, 6rd prefix length, the 16-byte prefix,
// then one or more border relays.
bool DecodeSixRd(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    constexpr std::size_t kHeader = 2 + 16;
    if (data.length < kHeader)
        return false;
    const OptionData relays{data.data + kHeader, data.length - kHeader};
    if (!IsAddressList(relays, kAddressSize) || data.data[0] > 32 || data.data[1] > 128)
        return false;
    std::string prefix = Ipv6Text(data.data + 2);
    prefix += '/';
    AppendNumber(prefix, data.data[1]);
    std::string& text = option.m_strText;
    text = "IPv4 mask length ";
    AppendNumber(text, data.data[0]);
    text += ", 6rd prefix ";
    text += prefix;
    text += ", border relays ";
    Json relayArray = AppendAddresses(relays, text, context.typed);
    if (context.typed)
        option.m_value = Object("ipv4_mask_length", data.data[0], "prefix", std::move(prefix),
                                "border_relays", std::move(relayArray));
    return true;
}
