#include "app/cli/handshake_command.h"

#include "app/cli/exit_status.h"
#include "app/cli/handshake_output.h"
#include "core/wire/approved_servers.h"
#include "core/wire/dhcpv6_option_text.h"
#include "linux/errno_text.h"

#include <algorithm>

namespace
{
std::optional<IpAddress> ParseAddress(const std::string& text)
{
    std::uint32_t address = 0;
    if (ParseIpv4Text(text, address))
        return address;
    if (const std::optional<Ipv6Address> address6 = ParseIpv6Text(text))
        return *address6;
    return std::nullopt;
}

std::string Check(const HandshakeCommand& command, bool interfaceGiven, bool serverGiven)
{
    if (!command.relay && !interfaceGiven)
        return "--handshake needs an interface";
    if (!command.relay && serverGiven)
        return "--server goes with --relay";
    if (command.relay && !serverGiven)
        return "--relay needs --server ADDR";
    if (command.relay && command.relay->index() != command.server.index())
        return "--relay and --server take addresses of one family";
    const unsigned relayFamily =
        command.relay && std::holds_alternative<Ipv6Address>(*command.relay) ? kCensusDhcpv6
                                                                             : kCensusDhcpv4;
    if (command.relay && (command.families & relayFamily) == 0)
        return "-4 and -6 name the relay's family";
    if (!command.check && (command.warning || command.critical))
        return "-w and -c need --check";
    if (command.check && command.json)
        return "--check prints one status line; --json is for the exchange";
    if (command.warning && command.critical && *command.warning > *command.critical)
        return "-w is above -c: a step is warned of before it is critical";
    return std::string();
}
} // namespace

std::string ParseHandshakeCommand(const std::vector<std::string>& arguments,
                                  HandshakeCommand& command)
{
    command = HandshakeCommand();
    // A check's wrong arguments are UNKNOWN to its engine, wherever --check stands.
    command.check = std::find(arguments.begin(), arguments.end(), "--check") != arguments.end();
    bool interfaceGiven = false;
    bool serverGiven = false;
    unsigned narrowed = 0;
    for (std::size_t i = 0; i < arguments.size(); ++i)
    {
        const std::string& option = arguments[i];
        const bool takesValue = option == "--interface" || option == "--relay" ||
                                option == "--server" || option == "--wait" ||
                                option == "--client-mac" || option == "-w" || option == "-c";
        if (takesValue && i + 1 == arguments.size())
            return option + " needs a value";
        const std::string value = takesValue ? arguments[++i] : std::string();
        if (option == "--interface")
        {
            if (interfaceGiven || value.empty())
                return "give one interface to --handshake";
            command.interfaceName = value;
            interfaceGiven = true;
        }
        else if (option == "--handshake")
            command.fullExchange = true;
        else if (option == "--relay" || option == "--server")
        {
            const std::optional<IpAddress> address = ParseAddress(value);
            if (!address || (option == "--relay" ? command.relay.has_value() : serverGiven))
                return option + " takes one IPv4 or IPv6 address";
            if (option == "--relay")
                command.relay = address;
            else
                command.server = *address;
            serverGiven = serverGiven || option == "--server";
        }
        else if (option == "-4" || option == "-6")
        {
            const unsigned family = option == "-4" ? kCensusDhcpv4 : kCensusDhcpv6;
            if (narrowed != 0 && narrowed != family)
                return "choose one of -4 and -6 (neither asks both)";
            narrowed = family;
            command.families = family;
        }
        else if (option == "--wait")
        {
            if (!ParseWait(value, command.wait))
                return "--wait takes seconds, more than 0 and at most 600";
        }
        else if (option == "--client-mac")
        {
            if (!ParseClientMac(value, command.clientMac))
                return ClientMacError("taken");
        }
        else if (option == "--check")
            command.check = true;
        else if (option == "-w" || option == "-c")
        {
            if (!ParseMilliseconds(value, option == "-w" ? command.warning : command.critical))
                return option + " takes a step's time in milliseconds, 1 to 600000";
        }
        else if (option == "--json")
            command.json = true;
        else
            return "--handshake does not take " + option;
    }
    if (command.relay)
        command.families =
            std::holds_alternative<Ipv6Address>(*command.relay) ? kCensusDhcpv6 : kCensusDhcpv4;
    if (command.relay && narrowed != 0 && narrowed != command.families)
        return "-4 and -6 name the relay's family";
    return Check(command, interfaceGiven, serverGiven);
}

DiscoverOutcome RunHandshakeCommand(const HandshakeCommand& command,
                                    const HandshakeBackEnd& backEnd)
{
    HandshakeSettings settings;
    settings.interfaceName = command.interfaceName;
    settings.families = command.families;
    settings.wait = command.wait;
    settings.clientMac = command.clientMac;
    settings.fullExchange = command.fullExchange;
    settings.relay = command.relay;
    settings.server = command.server;
    if (backEnd.notice)
        backEnd.notice(HandshakeNotice(command));
    HandshakeResult result;
    const int error = backEnd.handshake(settings, result);
    if (error != 0)
    {
        DiscoverOutcome failure;
        failure.err =
            "veyra: the exchange" +
            (command.interfaceName.empty() ? std::string() : " on " + command.interfaceName) +
            " failed: " + ErrnoText(error) + "\n";
        failure.status = ExitStatusFor(error);
        return command.check ? HandshakeCheckFailure(failure) : failure;
    }
    if (command.check)
        return HandshakeCheck(command, result);
    return command.json ? HandshakeJson(command, result) : HandshakeText(command, result);
}
