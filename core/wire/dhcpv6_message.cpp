#include "core/wire/dhcpv6_message.h"

#include "core/wire/byte_order.h"

#include <algorithm>

namespace
{
constexpr std::size_t kOptionHeader = 4;

std::uint16_t Read16(const std::uint8_t* data)
{
    return static_cast<std::uint16_t>(data[0] << 8 | data[1]);
}

void Append16(std::vector<std::uint8_t>& bytes, std::size_t value)
{
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    bytes.push_back(static_cast<std::uint8_t>(value));
}
} // namespace

bool ReadDhcpv6Options(const std::uint8_t* data, std::size_t length, Dhcpv6Options& options)
{
    std::size_t offset = 0;
    while (offset < length)
    {
        if (length - offset < kOptionHeader)
            return false;
        const std::uint16_t code = Read16(data + offset);
        const std::size_t size = Read16(data + offset + 2);
        offset += kOptionHeader;
        if (length - offset < size)
            return false;
        options.push_back({code, OptionBytes(data + offset, data + offset + size)});
        offset += size;
    }
    return true;
}

std::optional<Dhcpv6Message> ParseDhcpv6Message(const std::uint8_t* data, std::size_t length)
{
    if (length < 4)
        return std::nullopt;
    Dhcpv6Message message;
    message.type = data[0];
    message.transactionId = std::uint32_t{data[1]} << 16 | std::uint32_t{data[2]} << 8 | data[3];
    if (!ReadDhcpv6Options(data + 4, length - 4, message.options))
        return std::nullopt;
    return message;
}

void WriteDhcpv6Options(const Dhcpv6Options& options, std::vector<std::uint8_t>& bytes)
{
    for (const Dhcpv6Option& option : options)
    {
        const std::size_t size = std::min(option.data.size(), kMaxDhcpv6OptionData);
        Append16(bytes, option.code);
        Append16(bytes, size);
        bytes.insert(bytes.end(), option.data.data(), option.data.data() + size);
    }
}

std::vector<std::uint8_t> WriteDhcpv6Message(const Dhcpv6Message& message)
{
    std::vector<std::uint8_t> bytes{message.type,
                                    static_cast<std::uint8_t>(message.transactionId >> 16),
                                    static_cast<std::uint8_t>(message.transactionId >> 8),
                                    static_cast<std::uint8_t>(message.transactionId)};
    WriteDhcpv6Options(message.options, bytes);
    return bytes;
}

std::vector<LeasedAddressLifetimes> LeasedAddressesWithLifetimes(const Dhcpv6Options& options)
{
    constexpr std::uint16_t kIaNa = 3;
    constexpr std::uint16_t kIaTa = 4;
    constexpr std::uint16_t kIaAddress = 5;
    std::vector<LeasedAddressLifetimes> addresses;
    for (const Dhcpv6Option& option : options)
    {
        // IAID, T1 and T2 before an IA_NA's options; the IAID alone before an IA_TA's.
        const std::size_t header = option.code == kIaNa ? 12 : option.code == kIaTa ? 4 : 0;
        if (header == 0 || option.data.size() < header)
            continue;
        Dhcpv6Options inside;
        ReadDhcpv6Options(option.data.data() + header, option.data.size() - header, inside);
        for (const Dhcpv6Option& address : inside)
        {
            if (address.code != kIaAddress || address.data.size() < 24)
                continue;
            LeasedAddressLifetimes& leased = addresses.emplace_back();
            std::copy_n(address.data.begin(), leased.address.size(), leased.address.begin());
            leased.preferred = ReadBe32(address.data.data() + 16);
            leased.valid = ReadBe32(address.data.data() + 20);
        }
    }
    return addresses;
}

std::vector<Ipv6Address> LeasedAddresses(const Dhcpv6Options& options)
{
    std::vector<Ipv6Address> addresses;
    for (const LeasedAddressLifetimes& leased : LeasedAddressesWithLifetimes(options))
        addresses.push_back(leased.address);
    return addresses;
}

std::optional<std::uint32_t> ShortestValidLifetime(const Dhcpv6Options& options)
{
    constexpr std::uint16_t kIaPd = 25;
    constexpr std::uint16_t kIaPrefix = 26;
    constexpr std::uint32_t kInfinite = 0xFFFFFFFF;
    std::vector<std::uint32_t> lifetimes;
    for (const LeasedAddressLifetimes& leased : LeasedAddressesWithLifetimes(options))
        lifetimes.push_back(leased.valid);
    for (const Dhcpv6Option& option : options)
    {
        // IAID, T1 and T2 before an IA_PD's options.
        if (option.code != kIaPd || option.data.size() < 12)
            continue;
        Dhcpv6Options inside;
        ReadDhcpv6Options(option.data.data() + 12, option.data.size() - 12, inside);
        // IAPREFIX: preferred, valid, length, prefix (16).
        for (const Dhcpv6Option& prefix : inside)
        {
            if (prefix.code == kIaPrefix && prefix.data.size() >= 25)
                lifetimes.push_back(ReadBe32(prefix.data.data() + 4));
        }
    }
    std::optional<std::uint32_t> shortest;
    for (const std::uint32_t valid : lifetimes)
    {
        if (valid != kInfinite && (!shortest || valid < *shortest))
            shortest = valid;
    }
    return shortest;
}
