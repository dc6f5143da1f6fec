// The readers of a server's answers to the handshake: what is taken as an
// answer to this client, and what is read of it.
#include "core/wire/bootp_message.h"
#include "core/wire/dhcp_handshake.h"
#include "core/wire/dhcpv6_handshake.h"
#include "core/wire/dhcpv6_message.h"
#include "core/wire/duid.h"

#include <gtest/gtest.h>

namespace
{
constexpr HardwareAddress kMac = {0x02, 0, 0, 0x6a, 0, 1};
constexpr std::uint32_t kXid = 0x01020304;

std::vector<std::uint8_t> Reply(std::uint8_t type, std::uint32_t xid, HardwareAddress mac,
                                std::uint8_t op = kBootReply)
{
    BootpMessage message;
    message.m_nOp = op;
    message.m_nHardwareType = 1;
    message.m_nHardwareLength = 6;
    message.m_nTransactionId = xid;
    std::copy(mac.begin(), mac.end(), message.m_ClientHardware.begin());
    message.m_nYourAddress = 0xC000020A;
    message.m_mapOptions[kOptionMessageType] = {type};
    message.m_mapOptions[kOptionServerId] = {192, 0, 2, 1};
    message.m_mapOptions[kOptionLeaseTime] = {0, 0, 0x0e, 0x10};
    message.m_mapOptions[kOptionMessage] = {'n', 'o'};
    message.m_mapOptions[kOptionSubnetMask] = {255, 255, 255, 0};
    message.m_mapOptions[kOptionRouters] = {192, 0, 2, 1, 192, 0, 2, 2, 192}; // a partial one
    return SerializeBootpMessage(message);
}

TEST(DhcpHandshake, ReadsOnlyAnswersToThisClient)
{
    HardwareAddress other = kMac;
    other[5] = 2;
    std::vector<std::uint8_t> cut = Reply(kDhcpAck, kXid, kMac);
    cut.resize(200);
    const struct
    {
        const char* name;
        std::vector<std::uint8_t> bytes;
        std::uint8_t type; // 0: not taken
    } cases[] = {
        {"offer", Reply(kDhcpOffer, kXid, kMac), kDhcpOffer},
        {"ack", Reply(kDhcpAck, kXid, kMac), kDhcpAck},
        {"nak", Reply(kDhcpNak, kXid, kMac), kDhcpNak},
        {"another transaction", Reply(kDhcpAck, kXid + 1, kMac), 0},
        {"another client", Reply(kDhcpAck, kXid, other), 0},
        {"a request", Reply(kDhcpAck, kXid, kMac, kBootRequest), 0},
        {"an inform's type", Reply(kDhcpInform, kXid, kMac), 0},
        {"cut short", cut, 0},
    };
    DhcpClient client;
    client.mac = kMac;
    client.transactionId = kXid;
    for (const auto& entry : cases)
    {
        const std::optional<DhcpAnswer> answer =
            ReadDhcpAnswer(entry.bytes.data(), entry.bytes.size(), client);
        EXPECT_EQ(answer ? answer->type : 0, entry.type) << entry.name;
        if (!answer)
            continue;
        EXPECT_EQ(answer->address, 0xC000020Au) << entry.name;
        EXPECT_EQ(answer->serverId, 0xC0000201u) << entry.name;
        EXPECT_EQ(answer->leaseTime, 3600u) << entry.name;
        EXPECT_EQ(answer->message, "no") << entry.name;
        EXPECT_EQ(answer->subnetMask, 0xFFFFFF00u) << entry.name;
        EXPECT_EQ(answer->routers, (std::vector<std::uint32_t>{0xC0000201, 0xC0000202}))
            << entry.name;
    }
}

Dhcpv6Option Status(std::uint16_t code, const std::string& text)
{
    OptionBytes data(text.size() + 2);
    data[0] = static_cast<std::uint8_t>(code >> 8);
    data[1] = static_cast<std::uint8_t>(code);
    std::copy(text.begin(), text.end(), data.begin() + 2);
    return {13, data};
}

// An IA_NA with one address and what else is given inside.
Dhcpv6Option IaNa(std::uint32_t iaid, Dhcpv6Options inside)
{
    OptionBytes address(24);
    address[0] = 0x20;
    address[1] = 0x01;
    address[15] = 0x10;
    address[22] = 0x1c; // valid lifetime 7200 s
    address[23] = 0x20;
    inside.insert(inside.begin(), {5, address});
    OptionBytes data = {0, 0, 0, static_cast<std::uint8_t>(iaid), 0, 0, 0, 0, 0, 0, 0, 0};
    WriteDhcpv6Options(inside, data);
    return {3, data};
}

TEST(Dhcpv6Handshake, ReadsStatusAndAddressOfOurIdentityAssociation)
{
    Dhcpv6Client client;
    client.duid = MakeDuidLl(kMac);
    client.transactionId = 0xabcdef;
    client.iaid = 7;
    const Dhcpv6Option clientId{1, client.duid};
    const Dhcpv6Option serverId{2, {0, 3, 0, 1, 1, 2, 3, 4, 5, 6}};
    const struct
    {
        const char* name;
        Dhcpv6Message message;
        bool taken;
        std::uint16_t status;
        std::size_t addresses;
    } cases[] = {
        {"advertise", {kDhcpv6Advertise, 0xabcdef, {clientId, serverId, IaNa(7, {})}}, true, 0, 1},
        {"status inside the IA",
         {kDhcpv6Reply, 0xabcdef, {clientId, serverId, IaNa(7, {Status(2, "none")})}},
         true,
         2,
         1},
        {"the message's status first",
         {kDhcpv6Reply, 0xabcdef, {clientId, Status(5, "multicast"), IaNa(7, {Status(2, "")})}},
         true,
         5,
         1},
        {"another IAID's IA",
         {kDhcpv6Reply, 0xabcdef, {clientId, serverId, IaNa(8, {Status(2, "")})}},
         true,
         0,
         0},
        {"another transaction", {kDhcpv6Reply, 0xabcdee, {clientId, serverId}}, false, 0, 0},
        {"another client", {kDhcpv6Reply, 0xabcdef, {{1, {0, 3}}, serverId}}, false, 0, 0},
        {"no client id", {kDhcpv6Reply, 0xabcdef, {serverId}}, false, 0, 0},
        {"a request", {kDhcpv6Request, 0xabcdef, {clientId, serverId}}, false, 0, 0},
    };
    for (const auto& entry : cases)
    {
        const std::vector<std::uint8_t> bytes = WriteDhcpv6Message(entry.message);
        const std::optional<Dhcpv6Answer> answer =
            ReadDhcpv6Answer(bytes.data(), bytes.size(), client);
        ASSERT_EQ(answer.has_value(), entry.taken) << entry.name;
        if (!answer)
            continue;
        EXPECT_EQ(answer->status, entry.status) << entry.name;
        EXPECT_EQ(answer->addresses.size(), entry.addresses) << entry.name;
        EXPECT_EQ(answer->validLifetime.value_or(0), entry.addresses != 0 ? 7200u : 0u)
            << entry.name;
    }
}

TEST(Dhcpv6Handshake, TakesOnlyTheRelayReplyToItsForward)
{
    const Ipv6Address link = {0x20, 0x01, 0x0d, 0xb8, 0, 0x72, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    const Ipv6Address peer = {0xfe, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x99};
    const Ipv6Address otherPeer = {0xfe, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x98};
    const OptionBytes interfaceId = {'e', 't', 'h'};
    const std::vector<std::uint8_t> inner = {kDhcpv6Reply, 1, 2, 3};
    const auto reply = [&](const Ipv6Address& to, const OptionBytes& echoed, bool withMessage)
    {
        std::vector<std::uint8_t> bytes =
            BuildRelayForward(link, to, echoed, withMessage ? inner : std::vector<std::uint8_t>());
        bytes[0] = kDhcpv6RelayReply;
        if (!withMessage)
            bytes.resize(bytes.size() - 4); // the empty Relay Message option
        return bytes;
    };
    std::vector<std::uint8_t> forward = BuildRelayForward(link, peer, interfaceId, inner);
    std::vector<std::uint8_t> cut = reply(peer, interfaceId, true);
    cut.pop_back();
    std::vector<std::uint8_t> noEcho = reply(peer, {}, true);
    noEcho.erase(noEcho.begin() + 34, noEcho.begin() + 38); // the empty Interface-Id
    const struct
    {
        const char* name;
        std::vector<std::uint8_t> bytes;
        bool taken;
    } cases[] = {
        {"ours", reply(peer, interfaceId, true), true},
        {"no Interface-Id echoed", noEcho, true},
        {"another peer", reply(otherPeer, interfaceId, true), false},
        {"another Interface-Id", reply(peer, {'x'}, true), false},
        {"no relayed message", reply(peer, interfaceId, false), false},
        {"a Relay-forward", forward, false},
        {"cut short", cut, false},
        {"a bare header", std::vector<std::uint8_t>(cut.begin(), cut.begin() + 33), false},
    };
    for (const auto& entry : cases)
    {
        const std::optional<std::vector<std::uint8_t>> message =
            ReadRelayReply(entry.bytes.data(), entry.bytes.size(), peer, interfaceId);
        EXPECT_EQ(message.has_value(), entry.taken) << entry.name;
        if (message)
        {
            EXPECT_EQ(*message, inner) << entry.name;
        }
    }
}
} // namespace
