// One row per option code: everything the program knows of one DHCP option,
// for the window, the Linux editions and the requests each of them makes.
// dhcpv4_options.h instantiates it for DHCPv4's 8-bit codes; a DHCPv6 table
// would for 16-bit ones.
#pragma once

#include "core/options/rendering.h"
#include "core/options/value_type.h"
#include "core/options/wire_type.h"

#include <cstddef>
#include <cstdint>
#include <optional>

// Marks of a row, or'ed together.
enum OptionMark : unsigned
{
    // Describes the message rather than the network: a client never names it
    // in a parameter request list.
    kMessageOption = 1u << 0,
    // The server's own row, which the results list shows with its own image.
    kServerRow = 1u << 1,
    // DHCPv6: a code a client never names in its Option Request (RFC 8415
    // 21.7 and 24, IANA's "Client ORO" column): the message's own framing,
    // what only a client or a relay sends, what comes only inside other options.
    kNotRequested = 1u << 2,
};

// What the window shows for a code, and where it asks for it. A row without a
// parameter text shows as kUnknownOption, without data.
struct WindowColumn
{
    const char* parameter = nullptr; // byte for byte as the Windows program has always shown it
    Rendering rendering = Rendering::NameOnly;
    std::uint8_t requestOrder = 0;    // its place in the window's request, 1 first; 0: not asked
    const ValueName* names = nullptr; // Rendering::NamedValue only
};

// How a client's text of a value type is read back, where the client writes
// no form of its own.
constexpr WireType DefaultWireType(ValueType type)
{
    switch (type)
    {
    case ValueType::Address:
        return WireType::Address;
    case ValueType::Addresses:
        return WireType::Addresses;
    case ValueType::AddressMaskPairs:
    case ValueType::StaticRoutes:
        return WireType::AddressPairs;
    case ValueType::UInt8:
    case ValueType::NamedUInt8:
        return WireType::UInt8;
    case ValueType::UInt16:
        return WireType::UInt16;
    case ValueType::UInt32:
    case ValueType::Seconds:
        return WireType::UInt32;
    case ValueType::Int32:
        return WireType::Int32;
    case ValueType::UInt8List:
    case ValueType::ParameterList:
        return WireType::UInt8List;
    case ValueType::UInt16List:
        return WireType::UInt16List;
    case ValueType::Boolean:
        return WireType::Boolean;
    case ValueType::Text:
        return WireType::Text;
    case ValueType::ClasslessRoutes:
        return WireType::ClasslessRoutes;
    case ValueType::DomainList:
        return WireType::DomainList;
    case ValueType::SipServers:
        return WireType::SipServers;
    default:
        return WireType::Bytes;
    }
}

template <typename Code> struct OptionRow
{
    // nCode, pszName, type and pValueNames are named as the extended decoder
    // reads them.
    Code nCode;
    const char* pszName = nullptr; // what --all and JSON show; null for pad and end
    ValueType type = ValueType::Bytes;
    WindowColumn window = {};
    const ValueName* pValueNames = nullptr; // ValueType::NamedUInt8 only
    unsigned marks = 0;
    // Where clients write the value otherwise than its type says.
    std::optional<WireType> ownWireType = std::nullopt;

    constexpr bool Has(OptionMark mark) const { return (marks & mark) != 0; }
    constexpr WireType Wire() const { return ownWireType.value_or(DefaultWireType(type)); }
};

// The rows of one protocol's options, in rising code order.
template <typename Code> class OptionTable
{
public:
    using Row = OptionRow<Code>;

    template <std::size_t N>
    constexpr explicit OptionTable(const Row (&rows)[N]) : m_rows(rows), m_size(N)
    {
    }

    constexpr const Row* begin() const { return m_rows; }
    constexpr const Row* end() const { return m_rows + m_size; }
    constexpr std::size_t size() const { return m_size; }

    // The row of a code, or null. A code too wide for the table is never
    // folded into it.
    constexpr const Row* Find(std::uint32_t code) const
    {
        std::size_t low = 0;
        std::size_t high = m_size;
        while (low < high)
        {
            const std::size_t middle = low + (high - low) / 2;
            if (std::uint32_t{m_rows[middle].nCode} < code)
                low = middle + 1;
            else
                high = middle;
        }
        return low < m_size && std::uint32_t{m_rows[low].nCode} == code ? m_rows + low : nullptr;
    }

private:
    const Row* m_rows;
    std::size_t m_size;
};
