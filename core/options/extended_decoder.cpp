// The dispatch from a code's value type to its decoder (core/options/decode/),
// and the one place the decoders ask the extended catalogue.
#include "core/options/extended_decoder.h"

#include "core/options/decode/decoders.h"

#include <array>
#include <iterator>

namespace
{
using T = ValueType;

// One decoder per value type, in the order of the enumeration.
struct TypeDecoder
{
    ValueType type;
    Decoder decode;
};

constexpr TypeDecoder kDecoders[] = {
    {T::Bytes, DecodeBytes},
    {T::Address, DecodeAddress},
    {T::Addresses, DecodeAddresses},
    {T::AddressMaskPairs, DecodeAddressMaskPairs},
    {T::StaticRoutes, DecodeStaticRoutes},
    {T::UInt8, DecodeUInt8},
    {T::UInt16, DecodeUInt16},
    {T::UInt32, DecodeUInt32},
    {T::Int32, DecodeInt32},
    {T::UInt8List, DecodeUInt8List},
    {T::UInt16List, DecodeUInt16List},
    {T::Boolean, DecodeBoolean},
    {T::Text, DecodeText},
    {T::Seconds, DecodeSeconds},
    {T::NamedUInt8, DecodeNamedUInt8},
    {T::ClasslessRoutes, DecodeClasslessRoutes},
    {T::DomainList, DecodeDomainList},
    {T::SipServers, DecodeSipServers},
    {T::ClientFqdn, DecodeClientFqdn},
    {T::RelayAgentInfo, DecodeRelayAgentInfo},
    {T::VendorClasses, DecodeVendorClasses},
    {T::VendorSuboptions, DecodeVendorSuboptions},
    {T::Suboptions, DecodeSuboptions},
    {T::ClientId, DecodeClientId},
    {T::ParameterList, DecodeParameterList},
    {T::UserClass, DecodeUserClass},
    {T::FlagAndAddresses, DecodeFlagAndAddresses},
    {T::FlagAndText, DecodeFlagAndText},
    {T::Presence, DecodePresence},
    {T::StatusCode, DecodeStatusCode},
    {T::IsnsServers, DecodeIsnsServers},
    {T::Authentication, DecodeAuthentication},
    {T::MachineId, DecodeMachineId},
    {T::CivicLocation, DecodeCivicLocation},
    {T::GeoConf, DecodeGeoConf},
    {T::GeoLoc, DecodeGeoLoc},
    {T::UriList, DecodeUriList},
    {T::RdnssSelection, DecodeRdnssSelection},
    {T::PcpServers, DecodePcpServers},
    {T::PortParameters, DecodePortParameters},
    {T::EncryptedDns, DecodeEncryptedDns},
    {T::PxelinuxMagic, DecodePxelinuxMagic},
    {T::SixRd, DecodeSixRd},
    {T::VirtualSubnet, DecodeVirtualSubnet},
    {T::InterfaceId, DecodeInterfaceId},
    {T::DefinedSuboptions, DecodeDefinedSuboptions},
    {T::DataSource, DecodeDataSource},
};

constexpr bool IsIndexedByType()
{
    for (std::size_t i = 0; i < std::size(kDecoders); ++i)
        if (static_cast<std::size_t>(kDecoders[i].type) != i)
            return false;
    return static_cast<std::size_t>(T::DataSource) + 1 == std::size(kDecoders);
}
static_assert(IsIndexedByType(), "one decoder per value type, in the enumeration's order");

// The catalogue's row of each code, looked up once: a lease asks for dozens.
const ExtendedRow* RowOf(std::uint8_t code)
{
    static const std::array<const ExtendedRow*, 256> kRows = []
    {
        std::array<const ExtendedRow*, 256> rows{};
        for (std::size_t i = 0; i < rows.size(); ++i)
            rows[i] = FindExtendedRow(static_cast<std::uint8_t>(i));
        return rows;
    }();
    return kRows[code];
}

// The name of each code: its row's, or "Option NNN"; made once, so that a
// decoded option only points at it.
std::string_view NameOf(std::uint8_t code)
{
    static const std::array<std::string, 256> kNames = []
    {
        std::array<std::string, 256> names;
        for (std::size_t i = 0; i < names.size(); ++i)
        {
            const ExtendedRow* row = RowOf(static_cast<std::uint8_t>(i));
            if (row != nullptr)
            {
                names[i] = row->pszName;
            }
            else
            {
                names[i] = "Option ";
                AppendNumber(names[i], static_cast<std::uint32_t>(i));
            }
        }
        return names;
    }();
    return kNames[code];
}

void Decode(std::uint8_t code, OptionData data, bool typed, ExtendedOption& option)
{
    option.m_nCode = code;
    option.m_name = NameOf(code);
    const ExtendedRow* row = RowOf(code);
    const ValueType type = row != nullptr ? row->type : T::Bytes;
    const DecodeContext context{row != nullptr ? row->pValueNames : nullptr, typed};
    if (!kDecoders[static_cast<std::size_t>(type)].decode(context, data, option))
    {
        option.m_bMalformed = true;
        DecodeBytes(context, data, option);
    }
}
} // namespace

Decoder DecoderOf(ValueType type)
{
    const auto index = static_cast<std::size_t>(type);
    return index < std::size(kDecoders) ? kDecoders[index].decode : DecodeBytes;
}

const char* OptionName(std::uint8_t code)
{
    const ExtendedRow* row = RowOf(code);
    return row != nullptr ? row->pszName : nullptr;
}

ExtendedOption DecodeExtendedOption(std::uint8_t code, const std::uint8_t* data, std::size_t length)
{
    ExtendedOption option;
    Decode(code, {data, data != nullptr ? length : 0}, true, option);
    return option;
}

std::vector<ExtendedOption> DecodeAllOptions(const OptionMap& options, ExtendedParts parts)
{
    std::vector<ExtendedOption> decoded(options.size());
    auto option = decoded.begin();
    for (const auto& [code, bytes] : options)
        Decode(code, {bytes.data(), bytes.size()}, parts == ExtendedParts::TextAndValue, *option++);
    return decoded;
}

nlohmann::ordered_json ExtendedOptionJson(const ExtendedOption& option, const OptionBytes& bytes)
{
    Json object = Object("code", option.m_nCode, "name", option.m_name, "value", option.m_value,
                         "text", option.m_strText, "hex", HexText(bytes.data(), bytes.size()));
    if (option.m_bMalformed)
        object.get_ref<Json::object_t&>().emplace_back("malformed", true);
    return object;
}
