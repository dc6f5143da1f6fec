// --handshake and --relay: what the arguments mean, and what the command
// shows of an exchange and with which status.
#include "app/cli/handshake_command.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace
{
using Words = std::vector<std::string>;

struct Refused
{
    Words arguments;
    const char* error;
};

TEST(HandshakeCommand, RefusesWhatMakesNoSense)
{
    const Refused cases[] = {
        {{"--handshake"}, "--handshake needs an interface"},
        {{"--handshake", "--interface", "a", "--server", "10.0.0.1"}, "--server goes with --relay"},
        {{"--relay", "10.0.0.1"}, "--relay needs --server ADDR"},
        {{"--relay", "10.0.0.1", "--server", "2001:db8::1"},
         "--relay and --server take addresses of one family"},
        {{"--relay", "10.0.0.1", "--server", "10.0.0.2", "-6"},
         "-4 and -6 name the relay's family"},
        {{"--relay", "10.0.0.300", "--server", "10.0.0.2"},
         "--relay takes one IPv4 or IPv6 address"},
        {{"--handshake", "--interface", "a", "-4", "-6"},
         "choose one of -4 and -6 (neither asks both)"},
        {{"--handshake", "--interface", "a", "-w", "5"}, "-w and -c need --check"},
        {{"--handshake", "--interface", "a", "--check", "-w", "9", "-c", "5"},
         "-w is above -c: a step is warned of before it is critical"},
        {{"--handshake", "--interface", "a", "--check", "--json"},
         "--check prints one status line; --json is for the exchange"},
        {{"--handshake", "--interface", "a", "--client-mac", "00:11:22:33:44:55"},
         "--client-mac takes \"random\" or a locally administered unicast address (second hex "
         "digit 2, 6, A or E), so that no device's lease is taken"},
        {{"--handshake", "--interface", "a", "--vlan", "5"}, "--handshake does not take --vlan"},
    };
    for (const Refused& refused : cases)
    {
        HandshakeCommand command;
        EXPECT_EQ(ParseHandshakeCommand(refused.arguments, command), refused.error)
            << refused.arguments.front();
    }
}

TEST(HandshakeCommand, RelayTakesItsFamilyFromItsAddress)
{
    HandshakeCommand command;
    ASSERT_EQ(
        ParseHandshakeCommand({"--relay", "2001:db8:72::1", "--server", "2001:db8::1"}, command),
        "");
    EXPECT_EQ(command.families, unsigned{kCensusDhcpv6});
    EXPECT_FALSE(command.fullExchange);
    EXPECT_TRUE(command.interfaceName.empty());
}

HandshakeStep Step(const char* sent, const char* answer, StepEnd end, long long us)
{
    HandshakeStep step;
    step.sent = sent;
    step.answer = answer;
    step.end = end;
    if (end == StepEnd::Answered || end == StepEnd::Refused)
        step.time = std::chrono::microseconds(us);
    step.server = "192.0.2.1";
    return step;
}

struct Shown
{
    const char* name;
    std::vector<HandshakeStep> steps;
    std::optional<std::chrono::milliseconds> warning;
    int status;
    int checkStatus;
    const char* lastLine;
    const char* checkLine;
};

// One DHCPv4 exchange per case; the text's last line and the check's line.
TEST(HandshakeCommand, SaysWhereAnExchangeStopped)
{
    HandshakeStep nak = Step("REQUEST", "NAK", StepEnd::Refused, 800);
    nak.text = "wrong\x1b[2J";
    HandshakeStep offer = Step("DISCOVER", "OFFER", StepEnd::Answered, 1500);
    offer.address = "192.0.2.10";
    offer.leaseTime = 3600;
    HandshakeStep ack = Step("REQUEST", "ACK", StepEnd::Answered, 250);
    ack.address = "192.0.2.10";
    const Shown cases[] = {
        {"silent",
         {Step("DISCOVER", "", StepEnd::Silent, 0)},
         std::nullopt,
         5,
         2,
         "DHCPv4: stopped at DISCOVER: no answer",
         "DHCP HANDSHAKE CRITICAL - DHCPv4 DISCOVER: no answer\n"},
        {"nak",
         {offer, nak},
         std::nullopt,
         1,
         2,
         "DHCPv4: stopped at REQUEST: the server refused it (NAK)",
         "DHCP HANDSHAKE CRITICAL - DHCPv4 REQUEST: the server refused it (NAK) | "
         "dhcpv4_discover=1.5ms;;;0 dhcpv4_request=0.8ms;;;0\n"},
        {"slow",
         {offer, ack},
         std::chrono::milliseconds(1),
         0,
         1,
         "DHCPv4 REQUEST: ACK 192.0.2.10 from 192.0.2.1, 0.250 ms",
         "DHCP HANDSHAKE WARNING - DHCPv4 DISCOVER took 1.5 ms (over -w 1 ms) | "
         "dhcpv4_discover=1.5ms;1;;0 dhcpv4_request=0.25ms;1;;0\n"},
    };
    for (const Shown& shown : cases)
    {
        HandshakeResult result;
        result.exchanges.push_back({false, shown.steps});
        HandshakeCommand command;
        command.warning = shown.warning;
        const auto backEnd = [&result](const HandshakeSettings&, HandshakeResult& out)
        {
            out = result;
            return 0;
        };
        const DiscoverOutcome text = RunHandshakeCommand(command, {backEnd, nullptr});
        EXPECT_EQ(text.status, shown.status) << shown.name;
        const std::string out = text.out.substr(0, text.out.size() - 1);
        EXPECT_EQ(out.substr(out.rfind('\n') + 1), shown.lastLine) << shown.name;
        command.check = true;
        const DiscoverOutcome check = RunHandshakeCommand(command, {backEnd, nullptr});
        EXPECT_EQ(check.status, shown.checkStatus) << shown.name;
        EXPECT_EQ(check.out, shown.checkLine) << shown.name;
    }
    // A NAK's message is the server's text: shown escaped.
    HandshakeResult result;
    result.exchanges.push_back({false, {offer, nak}});
    const DiscoverOutcome text = RunHandshakeCommand(
        HandshakeCommand(), {[&result](const HandshakeSettings&, HandshakeResult& out)
                             {
                                 out = result;
                                 return 0;
                             },
                             nullptr});
    EXPECT_NE(text.out.find("NAK from 192.0.2.1, 0.800 ms: \"wrong\\x1B[2J\""), std::string::npos)
        << text.out;
}

TEST(HandshakeCommand, AFailureToRunIsUnknownToACheck)
{
    HandshakeCommand command;
    command.interfaceName = "eth9";
    command.check = true;
    const DiscoverOutcome outcome = RunHandshakeCommand(
        command, {[](const HandshakeSettings&, HandshakeResult&) { return EPERM; }, nullptr});
    EXPECT_EQ(outcome.status, 3);
    EXPECT_EQ(outcome.out.rfind("DHCP HANDSHAKE UNKNOWN - the exchange on eth9 failed: ", 0), 0u)
        << outcome.out;
}
TEST(HandshakeCommand, JsonHoldsEveryStep)
{
    HandshakeResult result;
    result.clientMac = {0x02, 0, 0, 0x6a, 0, 1};
    result.exchanges.push_back({true,
                                {Step("Solicit", "Advertise", StepEnd::Answered, 1500),
                                 Step("Request", "", StepEnd::Silent, 0)}});
    HandshakeCommand command;
    command.json = true;
    const DiscoverOutcome outcome =
        RunHandshakeCommand(command, {[&result](const HandshakeSettings&, HandshakeResult& out)
                                      {
                                          out = result;
                                          return 0;
                                      },
                                      nullptr});
    EXPECT_EQ(outcome.status, 5);
    const nlohmann::json document = nlohmann::json::parse(outcome.out);
    EXPECT_EQ(document["client_mac"], "02:00:00:6a:00:01");
    const nlohmann::json& steps = document["exchanges"][0]["steps"];
    EXPECT_EQ(document["exchanges"][0]["family"], "dhcpv6");
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0]["time_ms"], 1.5);
    EXPECT_EQ(steps[0]["end"], "answered");
    EXPECT_EQ(steps[1]["end"], "no answer");
    EXPECT_TRUE(steps[1]["time_ms"].is_null());
    EXPECT_TRUE(steps[1]["answer"].is_null());
}
} // namespace
