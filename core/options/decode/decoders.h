// What the decoders of the extended catalogue's value types share (internal
// to core/options): the bytes a decoder is given, the one-line text it
// appends to, and the ordered JSON it builds, each member in the order
// extended_decoder.h documents.
//
// A decoder writes option.m_strText and option.m_value and returns false
// where the bytes do not fit its type; the dispatch then shows the hex.
#pragma once

#include "core/options/extended_decoder.h"
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

using Decoder = bool (*)(const ExtendedRow* row, OptionData data, ExtendedOption& option);

constexpr std::size_t kAddressSize = 4;

// --- Texts, appended in place: a lease has hundreds of them.

void AppendNumber(std::string& text, std::uint64_t value);
void AppendSignedNumber(std::string& text, std::int64_t value);
void AppendDottedQuad(std::string& text, const std::uint8_t* address);
// "0x" and the number in digits lowercase hex digits.
void AppendHexNumber(std::string& text, std::uint32_t value, int digits);
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

// A JSON string must be UTF-8: each malformed byte becomes U+FFFD (the
// exact bytes stay in "hex").
Json JsonText(std::string text);

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
// The whole addresses of the bytes as a JSON array, their text appended
// ", "-separated.
Json AddressArray(OptionData data, std::string& text);

// --- The catalogue, asked in one place (dispatch.cpp).

// The registered name of an option code, or nullptr.
const char* OptionName(std::uint8_t code);

// --- One decoder per value type, by family.

// numbers.cpp
bool DecodeUInt8(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeUInt16(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeUInt32(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeInt32(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeUInt8List(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeUInt16List(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeBoolean(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeSeconds(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeNamedUInt8(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodePresence(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeDataSource(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodePortParameters(const ExtendedRow*, OptionData, ExtendedOption&);

// addresses.cpp
bool DecodeAddress(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeAddresses(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeAddressMaskPairs(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeStaticRoutes(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeFlagAndAddresses(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodePcpServers(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeIsnsServers(const ExtendedRow*, OptionData, ExtendedOption&);

// routes.cpp
bool DecodeClasslessRoutes(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeSixRd(const ExtendedRow*, OptionData, ExtendedOption&);

// names.cpp
bool DecodeText(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeDomainList(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeSipServers(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeClientFqdn(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeUserClass(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeFlagAndText(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeStatusCode(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeUriList(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeRdnssSelection(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeEncryptedDns(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeVirtualSubnet(const ExtendedRow*, OptionData, ExtendedOption&);

// containers.cpp
bool DecodeBytes(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeRelayAgentInfo(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeSuboptions(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeDefinedSuboptions(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeParameterList(const ExtendedRow*, OptionData, ExtendedOption&);

// vendor.cpp
bool DecodeVendorClasses(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeVendorSuboptions(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeClientId(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeAuthentication(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeMachineId(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeInterfaceId(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodePxelinuxMagic(const ExtendedRow*, OptionData, ExtendedOption&);

// locations.cpp
bool DecodeCivicLocation(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeGeoConf(const ExtendedRow*, OptionData, ExtendedOption&);
bool DecodeGeoLoc(const ExtendedRow*, OptionData, ExtendedOption&);
