#include "core/wire/dhcpcd_router_dns.h"

#include <algorithm>
#include <cerrno>
#include <optional>

#include <arpa/inet.h>

namespace
{
// "nd<digits>_<kind><digits>_<field>"
bool IsRouterVariable(std::string_view name, std::string_view kind, std::string_view field)
{
    const auto skipDigits = [](std::string_view& text)
    {
        const std::size_t nDigits = text.find_first_not_of("0123456789");
        if (nDigits == 0 || nDigits == std::string_view::npos)
            return false;
        text.remove_prefix(nDigits);
        return true;
    };
    if (name.substr(0, 2) != "nd")
        return false;
    name.remove_prefix(2);
    if (!skipDigits(name) || name.substr(0, 1) != "_" || name.substr(1, kind.size()) != kind)
        return false;
    name.remove_prefix(1 + kind.size());
    return skipDigits(name) && name.size() == field.size() + 1 && name[0] == '_' &&
           name.substr(1) == field;
}

// Calls add(word) for each space-separated word of value.
template <typename Add> void ForEachWord(std::string_view value, Add add)
{
    while (!value.empty())
    {
        const std::size_t nStart = value.find_first_not_of(' ');
        if (nStart == std::string_view::npos)
            return;
        value.remove_prefix(nStart);
        const std::size_t nEnd = std::min(value.find(' '), value.size());
        add(value.substr(0, nEnd));
        value.remove_prefix(nEnd);
    }
}

std::optional<Ipv6Address> ParseIpv6(std::string_view text)
{
    char buffer[INET6_ADDRSTRLEN] = {};
    if (text.size() >= sizeof buffer)
        return std::nullopt;
    std::copy(text.begin(), text.end(), buffer);
    Ipv6Address address;
    if (inet_pton(AF_INET6, buffer, address.data()) != 1)
        return std::nullopt;
    return address;
}

template <typename T> void AddOnce(std::vector<T>& items, T item, std::size_t nMax)
{
    if (items.size() < nMax && std::find(items.begin(), items.end(), item) == items.end())
        items.push_back(std::move(item));
}
} // namespace

int RouterDnsFromDhcpcdState(std::string_view state, std::string_view interfaceName,
                             std::vector<Ipv6Address>& servers, std::vector<std::string>& domains)
{
    if (state.empty() || state.back() != '\0')
        return EBADMSG;
    std::vector<std::pair<std::string_view, std::string_view>> variables;
    for (std::size_t nStart = 0; nStart < state.size();)
    {
        const std::size_t nEnd = state.find('\0', nStart);
        const std::string_view variable = state.substr(nStart, nEnd - nStart);
        const std::size_t nEquals = variable.find('=');
        if (nEquals == std::string_view::npos)
            return EBADMSG;
        variables.emplace_back(variable.substr(0, nEquals), variable.substr(nEquals + 1));
        nStart = nEnd + 1;
    }
    const auto has = [&variables](std::string_view name, std::string_view value)
    {
        return std::find(variables.begin(), variables.end(), std::pair(name, value)) !=
               variables.end();
    };
    if (!has("interface", interfaceName) || !has("protocol", "ra"))
        return ENOENT;

    for (const auto& [name, value] : variables)
    {
        if (IsRouterVariable(name, "rdnss", "servers"))
            ForEachWord(value,
                        [&servers](std::string_view word)
                        {
                            if (const auto address = ParseIpv6(word))
                                AddOnce(servers, *address, kMaxRouterDnsServers);
                        });
        else if (IsRouterVariable(name, "dnssl", "search"))
            ForEachWord(value,
                        [&domains](std::string_view word)
                        {
                            if (word.size() <= kMaxSearchDomainText)
                                AddOnce(domains, std::string(word), kMaxRouterSearchDomains);
                        });
    }
    return 0;
}
