// BootpMessage: one BOOTP/DHCP message (RFC 951, RFC 2131) as read from the
// wire or a lease file, and its writer.
#pragma once

#include "core/model/lease.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

struct BootpMessage
{
    std::uint8_t m_nOp = 0; // 1 BOOTREQUEST, 2 BOOTREPLY
    std::uint8_t m_nHardwareType = 0;
    std::uint8_t m_nHardwareLength = 0;
    std::uint32_t m_nTransactionId = 0;
    std::uint16_t flags = 0; // kBroadcastFlag or none (RFC 2131 figure 2)
    // Addresses in host byte order: 10.99.0.146 is 0x0A630092.
    std::uint32_t m_nClientAddress = 0; // ciaddr
    std::uint32_t m_nYourAddress = 0;   // yiaddr
    std::uint32_t m_nServerAddress = 0; // siaddr
    std::array<std::uint8_t, 16> m_ClientHardware{};
    // Every option but pad, end and overload (52), repeated codes joined in the
    // order options field, file, sname (RFC 3396).
    OptionMap m_mapOptions;
};

constexpr std::uint8_t kBootRequest = 1;
constexpr std::uint8_t kBootReply = 2;
constexpr std::size_t kBootpHeaderSize = 236;
// The one flag RFC 2131 defines: answer by broadcast, the client cannot take
// a unicast yet.
constexpr std::uint16_t kBroadcastFlag = 0x8000;
// RFC 951: a BOOTP message is never shorter, whatever its options.
constexpr std::size_t kMinBootpMessage = 300;
// Nothing larger is one UDP datagram, nor a lease.
constexpr std::size_t kMaxBootpMessage = 64 * 1024;

// Option codes (RFC 2132) the Linux sources act on.
constexpr std::uint8_t kOptionRequestedAddress = 50;
constexpr std::uint8_t kOptionLeaseTime = 51;
constexpr std::uint8_t kOptionOverload = 52;
constexpr std::uint8_t kOptionMessageType = 53;
constexpr std::uint8_t kOptionServerId = 54;
constexpr std::uint8_t kOptionParameterList = 55;
constexpr std::uint8_t kOptionMaxMessageSize = 57;
constexpr std::uint8_t kOptionRenewalTime = 58;
constexpr std::uint8_t kOptionRebindingTime = 59;
constexpr std::uint8_t kOptionClientId = 61;

// DHCP message types (option 53).
constexpr std::uint8_t kDhcpAck = 5;
constexpr std::uint8_t kDhcpNak = 6;
constexpr std::uint8_t kDhcpInform = 8;

// Reads a message. Empty when it is shorter than the header and magic cookie,
// larger than kMaxBootpMessage, has another cookie, or any option's length runs
// past the end of its field: a damaged message is refused whole rather than
// believed in part. A missing end option ends the field at its last byte.
std::optional<BootpMessage> ParseBootpMessage(const std::uint8_t* pData, std::size_t nSize);

// The message type (option 53), or 0 when it has none of one byte.
std::uint8_t MessageType(const BootpMessage& message);

// Writes a message with every option in the options field, options longer than
// 255 bytes split in parts (RFC 3396), padded to kMinBootpMessage bytes.
std::vector<std::uint8_t> SerializeBootpMessage(const BootpMessage& message);

// What a DHCPINFORM says about the client asking.
struct InformRequest
{
    std::uint8_t m_nHardwareType = 1; // Ethernet
    std::vector<std::uint8_t> m_HardwareAddress;
    std::uint32_t m_nTransactionId = 0;
    std::uint32_t m_nClientAddress = 0; // the interface's address, host byte order
    std::vector<std::uint8_t> m_RequestedOptions;
    std::uint16_t m_nMaxMessageSize = 1500;
};

// A DHCPINFORM (RFC 2131 3.4): ciaddr set, flags 0, client identifier of
// hardware type and address, the parameter request list and the largest reply
// the client takes. Hardware addresses longer than chaddr's 16 bytes are cut.
std::vector<std::uint8_t> BuildInformRequest(const InformRequest& request);
