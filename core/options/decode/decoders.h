// What the decoders of the extended catalogue's value types share (internal
// to core/options): the bytes a decoder is given, the one-line text it
// appends to, and the ordered JSON it builds, each member in the order
// extended_decoder.h documents.
//
// A decoder writes option.m_strText and, where the context asks for it,
// option.m_value; it returns false where the bytes do not fit its type, and
// the dispatch then shows the hex.
#pragma once

#include "core/options/extended_decoder.h"
#include "core/wire/address_list.h"
#include "core/wire/tlv.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

using Json = nlohmann::ordered_json;

// The bytes of one option (or a part of it) as a decoder reads them.
struct OptionData
{
    const std::uint8_t* data;
    std::size_t length;
};

// What a decoder is told besides the bytes.
struct DecodeContext
{
    const ValueName* names; // the row's value names (NamedUInt8), or null
    bool typed;             // build the typed value too, not just the text
    unsigned depth = 0;     // how deep in DHCPv6 options nested in options this one is
};

using Decoder = bool (*)(const DecodeContext& context, OptionData data, ExtendedOption& option);

constexpr std::size_t kAddressSize = kIpv4AddressSize;

// --- Texts, appended in place: a lease has hundreds of them.

void AppendNumber(std::string& text, std::uint64_t value);
void AppendSignedNumber(std::string& text, std::int64_t value);
void AppendDottedQuad(std::string& text, const std::uint8_t* address);
// "0x" and the number in digits (4 or 8) lowercase hex digits.
void AppendHexNumber(std::string& text, std::uint32_t value, int digits);
// The bytes' lowercase hex digits (core/wire/hex_text.h's).
void AppendHex(std::string& text, const std::uint8_t* data, std::size_t length);
// ", " before every item of a list text but the first.
inline void Separate(std::string& text, bool first)
{
    if (!first)
        text += ", ";
}

std::string RawText(OptionData data);
// RFC 2132 2: a receiver deletes the trailing NULs of NVT ASCII; the hex keeps them.
OptionData WithoutTrailingNuls(OptionData data);

// --- JSON values.

// An array with room for its items: growing it moves every item built so far.
Json Array(std::size_t items);

inline void AppendMembers(Json::object_t&) {}

template <typename Value, typename... Rest>
void AppendMembers(Json::object_t& pairs, const char* key, Value&& value, Rest&&... rest)
{
    pairs.emplace_back(key, Json(std::forward<Value>(value)));
    AppendMembers(pairs, std::forward<Rest>(rest)...);
}

// An object of the members, keys and values in turn, in that order. The
// keys are distinct, so each is appended without a search.
template <typename... Members> Json Object(Members&&... members)
{
    Json object(Json::value_t::object);
    auto& pairs = object.get_ref<Json::object_t&>();
    pairs.reserve(sizeof...(Members) / 2);
    AppendMembers(pairs, std::forward<Members>(members)...);
    return object;
}

// --- Addresses.

bool IsAddressList(OptionData data, std::size_t minimum);
// The whole addresses of the bytes appended ", "-separated to the text, and
// as a JSON array where typed (else null).
Json AppendAddresses(OptionData data, std::string& text, bool typed);

// --- The catalogue, asked in one place (dispatch.cpp).

// The registered name of an option code, or nullptr.
const char* OptionName(std::uint8_t code);

// The decoder of a DHCPv4 value type (extended_decoder.cpp), which DHCPv6
// rows of the same layout share.
Decoder DecoderOf(ValueType type);

// --- DHCPv6 options inside options (dhcpv6_decoder.cpp).

// Options nest at most this deep in a message: deeper ones are malformed.
constexpr unsigned kMaxNesting6 = 8;

// The registered name of a DHCPv6 option code, or nullptr.
const char* OptionName6(std::uint16_t code);

// The DHCPv6 options that fill the bytes exactly, decoded one level deeper
// than the context: appended to the text as "{Name: text; Name: text}" and,
// where typed, to the array (made here) as {"code", "name", "value"}, with
// "malformed": true for each that does not fit its type. False when the bytes
// are not whole options or would nest too deep.
bool AppendOptions6(const DecodeContext& context, OptionData data, std::string& text, Json& array);

// --- One decoder per value type, by family.

// numbers.cpp
bool DecodeUInt8(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeUInt16(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeUInt32(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeInt32(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeUInt8List(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeUInt16List(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeBoolean(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeSeconds(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeNamedUInt8(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodePresence(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeDataSource(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodePortParameters(const DecodeContext&, OptionData, ExtendedOption&);

// addresses.cpp
bool DecodeAddress(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeAddresses(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeAddressMaskPairs(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeStaticRoutes(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeFlagAndAddresses(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodePcpServers(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeIsnsServers(const DecodeContext&, OptionData, ExtendedOption&);

// routes.cpp
bool DecodeClasslessRoutes(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeSixRd(const DecodeContext&, OptionData, ExtendedOption&);

// names.cpp
bool DecodeText(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeDomainList(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeSipServers(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeClientFqdn(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeUserClass(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeFlagAndText(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeStatusCode(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeUriList(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeRdnssSelection(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeEncryptedDns(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeVirtualSubnet(const DecodeContext&, OptionData, ExtendedOption&);

// containers.cpp
bool DecodeBytes(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeRelayAgentInfo(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeSuboptions(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeDefinedSuboptions(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeParameterList(const DecodeContext&, OptionData, ExtendedOption&);

// vendor.cpp
bool DecodeVendorClasses(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeVendorSuboptions(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeClientId(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeAuthentication(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeMachineId(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeInterfaceId(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodePxelinuxMagic(const DecodeContext&, OptionData, ExtendedOption&);

// identities.cpp (DHCPv6)
bool DecodeDuid(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeLinkLayerAddress(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeRemoteId(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeUserClasses6(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeVendorClass6(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeVendorOptions6(const DecodeContext&, OptionData, ExtendedOption&);

// associations.cpp (DHCPv6)
bool DecodeIaNa(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeIaTa(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeIaAddress(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeIaPrefix(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeOptions6(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeRelayMessage(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeStatusCode6(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeOptionCodes(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeHundredths(const DecodeContext&, OptionData, ExtendedOption&);

// ipv6.cpp (DHCPv6)
bool DecodeAddress6(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeAddresses6(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeDomainList6(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeDomainName6(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeClientFqdn6(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeNtpServer(const DecodeContext&, OptionData, ExtendedOption&);

// locations.cpp
bool DecodeCivicLocation(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeGeoConf(const DecodeContext&, OptionData, ExtendedOption&);
bool DecodeGeoLoc(const DecodeContext&, OptionData, ExtendedOption&);
