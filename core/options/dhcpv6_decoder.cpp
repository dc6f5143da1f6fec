// The dispatch from a DHCPv6 code's value type to its decoder, the names of
// codes, and the decoding of options nested in options.
#include "core/options/dhcpv6_decoder.h"

#include "core/options/decode/decoders.h"
#include "core/options/dhcpv6_options.h"

#include <array>
#include <memory>

namespace
{
using T = ValueType;

struct TypeDecoder
{
    ValueType type;
    Decoder decode;
};

// The decoders of DHCPv6's own value types, in the order of the enumeration
// from Duid; the types before it are DHCPv4's, whose decoders rows of the
// same layout share.
constexpr TypeDecoder kDecoders6[] = {
    {T::Duid, DecodeDuid},
    {T::IaNa, DecodeIaNa},
    {T::IaTa, DecodeIaTa},
    {T::IaAddress, DecodeIaAddress},
    {T::IaPrefix, DecodeIaPrefix},
    {T::OptionCodes, DecodeOptionCodes},
    {T::Hundredths, DecodeHundredths},
    {T::RelayMessage, DecodeRelayMessage},
    {T::Address6, DecodeAddress6},
    {T::Addresses6, DecodeAddresses6},
    {T::StatusCode6, DecodeStatusCode6},
    {T::UserClasses6, DecodeUserClasses6},
    {T::VendorClass6, DecodeVendorClass6},
    {T::VendorOptions6, DecodeVendorOptions6},
    {T::DomainList6, DecodeDomainList6},
    {T::DomainName6, DecodeDomainName6},
    {T::ClientFqdn6, DecodeClientFqdn6},
    {T::NtpServer, DecodeNtpServer},
    {T::LinkLayerAddress, DecodeLinkLayerAddress},
    {T::Options6, DecodeOptions6},
    {T::RemoteId, DecodeRemoteId},
};

constexpr std::size_t kFirst6 = static_cast<std::size_t>(T::Duid);

constexpr bool IsIndexedByType()
{
    for (std::size_t i = 0; i < std::size(kDecoders6); ++i)
        if (static_cast<std::size_t>(kDecoders6[i].type) != kFirst6 + i)
            return false;
    return static_cast<std::size_t>(T::RemoteId) + 1 == kFirst6 + std::size(kDecoders6);
}
static_assert(IsIndexedByType(), "one decoder per DHCPv6 value type, in the enumeration's order");

Decoder DecoderOf6(ValueType type)
{
    const auto index = static_cast<std::size_t>(type);
    return index >= kFirst6 ? kDecoders6[index - kFirst6].decode : DecoderOf(type);
}

// The row of a code: a table of every code that may have one answers at
// once, where a search would mispredict its way down.
constexpr std::size_t kDirectCodes = kDhcpv6RowCodeLimit;

const Dhcpv6Row* RowOf(std::uint16_t code)
{
    static const std::array<const Dhcpv6Row*, kDirectCodes> kRows = []
    {
        std::array<const Dhcpv6Row*, kDirectCodes> rows{};
        for (const Dhcpv6Row& row : kDhcpv6Options)
            rows[row.nCode] = &row;
        return rows;
    }();
    return code < kDirectCodes ? kRows[code] : nullptr;
}

// "Option 65535": the longest name of a code without a row.
constexpr std::size_t kUnnamedSize = 12;

// The name of each code: its row's, or "Option N"; made once for all 65,536
// codes, so that a decoded option only points at it.
std::string_view NameOf(std::uint16_t code, const Dhcpv6Row* row)
{
    static const std::unique_ptr<char[]> kUnnamed = []
    {
        auto names = std::make_unique<char[]>(std::size_t{0x10000} * kUnnamedSize);
        for (std::size_t i = 0; i <= 0xFFFF; ++i)
        {
            std::string name = "Option ";
            AppendNumber(name, i);
            name.copy(names.get() + i * kUnnamedSize, kUnnamedSize);
        }
        return names;
    }();
    if (row != nullptr)
        return row->pszName;
    const char* name = kUnnamed.get() + std::size_t{code} * kUnnamedSize;
    return {name, code >= 10000  ? 12u
                  : code >= 1000 ? 11u
                  : code >= 100  ? 10u
                  : code >= 10   ? 9u
                                 : 8u};
}

void Decode(std::uint16_t code, OptionData data, bool typed, unsigned depth, ExtendedOption& option)
{
    const Dhcpv6Row* row = RowOf(code);
    option.m_nCode = code;
    option.m_name = NameOf(code, row);
    const ValueType type = row != nullptr ? row->type : T::Bytes;
    const DecodeContext context{row != nullptr ? row->pValueNames : nullptr, typed, depth};
    if (!DecoderOf6(type)(context, data, option))
    {
        option.m_bMalformed = true;
        DecodeBytes(context, data, option);
    }
}
} // namespace

const char* OptionName6(std::uint16_t code)
{
    const Dhcpv6Row* row = RowOf(code);
    return row != nullptr ? row->pszName : nullptr;
}

bool AppendOptions6(const DecodeContext& context, OptionData data, std::string& text, Json& array)
{
    const FieldView options(Framing::Tlv16, data.data, data.length);
    if (context.depth + 1 >= kMaxNesting6 || !options.IsWhole())
        return false;
    if (context.typed)
        array = Array(options.Count());
    text += '{';
    bool first = true;
    for (const Field& field : options)
    {
        ExtendedOption nested;
        Decode(static_cast<std::uint16_t>(field.tag), {field.data, field.length}, context.typed,
               context.depth + 1, nested);
        if (!first)
            text += "; ";
        first = false;
        text += nested.m_name;
        text += ": ";
        text += nested.m_strText;
        if (!context.typed)
            continue;
        Json entry = Object("code", nested.m_nCode, "name", nested.m_name, "value",
                            std::move(nested.m_value));
        if (nested.m_bMalformed)
            entry.get_ref<Json::object_t&>().emplace_back("malformed", true);
        array.get_ref<Json::array_t&>().push_back(std::move(entry));
    }
    text += '}';
    return true;
}

ExtendedOption DecodeDhcpv6Option(std::uint16_t code, const std::uint8_t* data, std::size_t length)
{
    ExtendedOption option;
    Decode(code, {data, data != nullptr ? length : 0}, true, 0, option);
    return option;
}

std::vector<ExtendedOption> DecodeAllOptions6(const Dhcpv6Options& options, ExtendedParts parts)
{
    std::vector<ExtendedOption> decoded(options.size());
    auto option = decoded.begin();
    for (const Dhcpv6Option& each : options)
        Decode(each.code, {each.data.data(), each.data.size()},
               parts == ExtendedParts::TextAndValue, 0, *option++);
    return decoded;
}
