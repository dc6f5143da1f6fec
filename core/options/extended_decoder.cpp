#include "core/options/extended_decoder.h"

#include "core/wire/address_text.h"
#include "core/wire/byte_order.h"
#include "core/wire/classless_routes.h"
#include "core/wire/domain_names.h"
#include "core/wire/geolocation.h"
#include "core/wire/ipv6_text.h"
#include "platform/utf8.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <optional>
#include <utility>

namespace
{
using T = ValueType;
using json = nlohmann::json;

constexpr std::size_t kAddressSize = 4;
constexpr std::uint32_t kInfiniteSeconds = 0xFFFFFFFFu;

// The bytes of one option as a decoder sees them.
struct Data
{
    const std::uint8_t* p;
    std::size_t n;
};

std::string RawText(const std::uint8_t* pData, std::size_t nLength)
{
    return std::string(reinterpret_cast<const char*>(pData), nLength);
}

// A JSON string must be UTF-8; the exact bytes stay in "hex".
json JsonText(const std::string& strText)
{
    for (const char c : strText)
        if (static_cast<unsigned char>(c) >= 0x80)
            return ReplaceMalformedUtf8(strText);
    return strText;
}

// An array with room for its items: growing it moves every item built so far.
json Array(std::size_t nItems)
{
    json array = json::array();
    array.get_ref<json::array_t&>().reserve(nItems);
    return array;
}

// An object of two members. nlohmann's initializer lists copy each member
// once more; a lease has hundreds of them.
json Object(const char* pszKey1, json value1, const char* pszKey2, json value2)
{
    json object(json::value_t::object);
    object.emplace(pszKey1, std::move(value1));
    object.emplace(pszKey2, std::move(value2));
    return object;
}

// An object of the members, keys and values in turn, each moved in once
// (see Object).
void AddMembers(json&) {}

template <typename Value, typename... Rest>
void AddMembers(json& object, const char* pszKey, Value&& value, Rest&&... rest)
{
    object.emplace(pszKey, std::forward<Value>(value));
    AddMembers(object, std::forward<Rest>(rest)...);
}

template <typename... Pairs> json Members(Pairs&&... members)
{
    json object(json::value_t::object);
    AddMembers(object, std::forward<Pairs>(members)...);
    return object;
}

// ", " before every item of a list text but the first.
void Separate(std::string& strText, std::size_t nItem)
{
    if (nItem != 0)
        strText += ", ";
}

std::string Join(const std::vector<std::string>& items)
{
    std::string strText;
    for (const std::string& strItem : items)
    {
        if (!strText.empty())
            strText += ", ";
        strText += strItem;
    }
    return strText;
}

// One entry of a code-length-data sequence.
struct Tlv
{
    std::uint8_t nCode;
    const std::uint8_t* pData;
    std::size_t nLength;
};

// Entries that fill the bytes exactly. With bPadAndEnd, RFC 2132's pad (0) is
// skipped and end (255) ends the sequence, after which only pad may follow.
bool ReadTlvs(Data data, bool bPadAndEnd, std::vector<Tlv>& entries)
{
    std::size_t i = 0;
    while (i < data.n)
    {
        const std::uint8_t nCode = data.p[i];
        if (bPadAndEnd && nCode == 0)
        {
            ++i;
            continue;
        }
        if (bPadAndEnd && nCode == 255)
        {
            for (++i; i < data.n; ++i)
                if (data.p[i] != 0)
                    return false;
            return true;
        }
        if (data.n - i < 2 || data.n - i - 2 < data.p[i + 1])
            return false;
        entries.push_back({nCode, data.p + i + 2, data.p[i + 1]});
        i += 2u + data.p[i + 1];
    }
    return true;
}

// Length-prefixed items (RFC 3004, RFC 3925) that fill the bytes exactly, none empty.
bool ReadPrefixedItems(Data data, std::vector<Data>& items)
{
    std::size_t i = 0;
    while (i < data.n)
    {
        const std::size_t nItem = data.p[i];
        if (nItem == 0 || data.n - i - 1 < nItem)
            return false;
        items.push_back({data.p + i + 1, nItem});
        i += 1 + nItem;
    }
    return !items.empty();
}

// The whole addresses of the bytes as a JSON array, their text appended to strText.
json AddressArray(Data data, std::string& strText)
{
    json addresses = Array(data.n / kAddressSize);
    for (std::size_t i = 0; i + kAddressSize <= data.n; i += kAddressSize)
    {
        std::string strAddress = DottedQuad(data.p + i);
        Separate(strText, i);
        strText += strAddress;
        addresses.push_back(std::move(strAddress));
    }
    return addresses;
}

bool IsAddressList(Data data, std::size_t nMinimum)
{
    return data.n >= nMinimum && data.n % kAddressSize == 0;
}

bool DecodeBytes(const ExtendedRow*, Data data, ExtendedOption& option)
{
    option.m_strText = HexText(data.p, data.n);
    option.m_value = option.m_strText;
    return true;
}

bool DecodeAddress(const ExtendedRow*, Data data, ExtendedOption& option)
{
    if (data.n != kAddressSize)
        return false;
    option.m_strText = DottedQuad(data.p);
    option.m_value = option.m_strText;
    return true;
}

bool DecodeAddresses(const ExtendedRow*, Data data, ExtendedOption& option)
{
    if (!IsAddressList(data, kAddressSize))
        return false;
    option.m_value = AddressArray(data, option.m_strText);
    return true;
}

// Pairs of addresses, named by the keys and joined by the word between them.
bool DecodePairs(Data data, const char* pszFirst, const char* pszSecond, const char* pszBetween,
                 ExtendedOption& option)
{
    if (data.n == 0 || data.n % (2 * kAddressSize) != 0)
        return false;
    option.m_value = Array(data.n / (2 * kAddressSize));
    for (std::size_t i = 0; i < data.n; i += 2 * kAddressSize)
    {
        std::string strFirst = DottedQuad(data.p + i);
        std::string strSecond = DottedQuad(data.p + i + kAddressSize);
        Separate(option.m_strText, i);
        option.m_strText += strFirst;
        option.m_strText += pszBetween;
        option.m_strText += strSecond;
        option.m_value.push_back(
            Object(pszFirst, std::move(strFirst), pszSecond, std::move(strSecond)));
    }
    return true;
}

bool DecodeAddressMaskPairs(const ExtendedRow*, Data data, ExtendedOption& option)
{
    return DecodePairs(data, "address", "mask", " mask ", option);
}

bool DecodeStaticRoutes(const ExtendedRow*, Data data, ExtendedOption& option)
{
    return DecodePairs(data, "destination", "router", " via ", option);
}

template <typename Number> void SetNumber(Number nValue, ExtendedOption& option)
{
    option.m_strText = std::to_string(nValue);
    option.m_value = nValue;
}

bool DecodeUInt8(const ExtendedRow*, Data data, ExtendedOption& option)
{
    if (data.n != 1)
        return false;
    SetNumber(unsigned{data.p[0]}, option);
    return true;
}

bool DecodeUInt16(const ExtendedRow*, Data data, ExtendedOption& option)
{
    if (data.n != 2)
        return false;
    SetNumber(unsigned{ReadBe16(data.p)}, option);
    return true;
}

bool DecodeUInt32(const ExtendedRow*, Data data, ExtendedOption& option)
{
    if (data.n != 4)
        return false;
    SetNumber(ReadBe32(data.p), option);
    return true;
}

bool DecodeInt32(const ExtendedRow*, Data data, ExtendedOption& option)
{
    if (data.n != 4)
        return false;
    // Two's complement without relying on implementation-defined conversion.
    const std::uint32_t nBits = ReadBe32(data.p);
    const std::int64_t nValue =
        nBits < 0x80000000u ? std::int64_t{nBits} : std::int64_t{nBits} - 0x100000000;
    SetNumber(nValue, option);
    return true;
}

bool DecodeNumberList(Data data, std::size_t nSize, ExtendedOption& option)
{
    if (data.n == 0 || data.n % nSize != 0)
        return false;
    option.m_value = Array(data.n / nSize);
    for (std::size_t i = 0; i < data.n; i += nSize)
    {
        const unsigned nValue = nSize == 1 ? data.p[i] : ReadBe16(data.p + i);
        Separate(option.m_strText, i);
        option.m_strText += std::to_string(nValue);
        option.m_value.push_back(nValue);
    }
    return true;
}

bool DecodeUInt8List(const ExtendedRow*, Data data, ExtendedOption& option)
{
    return DecodeNumberList(data, 1, option);
}

bool DecodeUInt16List(const ExtendedRow*, Data data, ExtendedOption& option)
{
    return DecodeNumberList(data, 2, option);
}

bool DecodeBoolean(const ExtendedRow*, Data data, ExtendedOption& option)
{
    if (data.n != 1 || data.p[0] > 1)
        return false;
    option.m_strText = data.p[0] != 0 ? "true" : "false";
    option.m_value = data.p[0] != 0;
    return true;
}

// RFC 2132 2: a receiver deletes the trailing NULs of NVT ASCII; the hex keeps them.
Data WithoutTrailingNuls(Data data)
{
    while (data.n > 0 && data.p[data.n - 1] == 0)
        --data.n;
    return data;
}

bool DecodeText(const ExtendedRow*, Data data, ExtendedOption& option)
{
    data = WithoutTrailingNuls(data);
    if (data.n == 0)
        return false;
    option.m_strText = RawText(data.p, data.n);
    option.m_value = JsonText(option.m_strText);
    return true;
}

bool DecodeSeconds(const ExtendedRow*, Data data, ExtendedOption& option)
{
    if (data.n != 4)
        return false;
    const std::uint32_t nSeconds = ReadBe32(data.p);
    option.m_strText = DurationText(nSeconds);
    option.m_value = nSeconds;
    return true;
}

bool DecodeNamedUInt8(const ExtendedRow* pRow, Data data, ExtendedOption& option)
{
    if (data.n != 1)
        return false;
    const char* pszName = FindValueName(pRow->pValueNames, data.p[0]);
    option.m_strText = std::to_string(data.p[0]);
    option.m_value = Object("code", data.p[0], "name", nullptr);
    if (pszName != nullptr)
    {
        option.m_strText = std::string(pszName) + " (" + option.m_strText + ")";
        option.m_value["name"] = pszName;
    }
    return true;
}

bool DecodeClasslessRoutes(const ExtendedRow*, Data data, ExtendedOption& option)
{
    const std::optional<std::vector<ClasslessRoute>> routes = ReadClasslessRoutes(data.p, data.n);
    if (!routes)
        return false;
    option.m_value = Array(routes->size());
    for (std::size_t i = 0; i < routes->size(); ++i)
    {
        const ClasslessRoute& route = (*routes)[i];
        std::string strDestination = DottedQuad(route.nDestination);
        strDestination += '/';
        strDestination += std::to_string(route.nPrefixLength);
        std::string strRouter = DottedQuad(route.nRouter);
        Separate(option.m_strText, i);
        option.m_strText += strDestination;
        option.m_strText += " via ";
        option.m_strText += strRouter;
        option.m_value.push_back(
            Object("destination", std::move(strDestination), "router", std::move(strRouter)));
    }
    return true;
}

void SetNames(const std::vector<std::string>& names, ExtendedOption& option)
{
    option.m_strText = Join(names);
    option.m_value = Array(names.size());
    for (const std::string& strName : names)
        option.m_value.push_back(JsonText(strName));
}

bool DecodeDomainList(const ExtendedRow*, Data data, ExtendedOption& option)
{
    const std::optional<std::vector<std::string>> names = ReadDomainList(data.p, data.n);
    if (!names)
        return false;
    SetNames(*names, option);
    return true;
}

// RFC 3361: the encoding byte says what follows.
bool DecodeSipServers(const ExtendedRow* pRow, Data data, ExtendedOption& option)
{
    if (data.n < 2)
        return false;
    const Data rest{data.p + 1, data.n - 1};
    if (data.p[0] == 0)
        return DecodeDomainList(pRow, rest, option);
    if (data.p[0] == 1)
        return DecodeAddresses(pRow, rest, option);
    return false;
}

// RFC 4702 2.1: the flags' letters, lowest bit first.
std::string FqdnFlagText(std::uint8_t nFlags)
{
    static const char kLetters[] = {'S', 'O', 'E', 'N'};
    std::string strLetters;
    for (std::size_t i = 0; i < std::size(kLetters); ++i)
    {
        if ((static_cast<unsigned>(nFlags) >> i & 1u) == 0)
            continue;
        if (!strLetters.empty())
            strLetters += ' ';
        strLetters += kLetters[i];
    }
    static const char kDigits[] = "0123456789abcdef";
    std::string strText = "flags 0x";
    strText += kDigits[nFlags >> 4];
    strText += kDigits[nFlags & 0x0F];
    if (!strLetters.empty())
        strText += " (" + strLetters + ")";
    return strText;
}

bool DecodeClientFqdn(const ExtendedRow*, Data data, ExtendedOption& option)
{
    constexpr std::uint8_t kCanonical = 0x04; // E: the name is in wire form
    if (data.n < 3)
        return false;
    const std::uint8_t nFlags = data.p[0];
    std::string strName;
    if ((nFlags & kCanonical) != 0)
    {
        const std::optional<std::string> name = ReadUncompressedName(data.p + 3, data.n - 3);
        if (!name)
            return false;
        strName = *name;
    }
    else
    {
        strName = RawText(data.p + 3, data.n - 3);
    }
    option.m_strText = strName + ", " + FqdnFlagText(nFlags) + ", rcode1 " +
                       std::to_string(data.p[1]) + ", rcode2 " + std::to_string(data.p[2]);
    option.m_value = {{"flags", nFlags},
                      {"rcode1", data.p[1]},
                      {"rcode2", data.p[2]},
                      {"name", JsonText(strName)}};
    return true;
}

// RFC 3046 and the sub-options registered after it.
constexpr ValueName kRelayAgentSuboptions[] = {
    {1, "Agent Circuit ID"},
    {2, "Agent Remote ID"},
    {5, "Link Selection"},
    {6, "Subscriber ID"},
    {7, "RADIUS Attributes"},
    {8, "Authentication"},
    {9, "Vendor-Specific Information"},
    {10, "Relay Agent Flags"},
    {11, "Server Identifier Override"},
    {12, "Relay Agent Identifier"},
    {151, "Virtual Subnet Selection"},
    {152, "Virtual Subnet Selection Control"},
    {0, nullptr},
};

bool DecodeRelayAgentInfo(const ExtendedRow*, Data data, ExtendedOption& option)
{
    std::vector<Tlv> entries;
    if (data.n == 0 || !ReadTlvs(data, false, entries))
        return false;
    std::vector<std::string> texts;
    option.m_value = json::array();
    for (const Tlv& entry : entries)
    {
        const char* pszName = FindValueName(kRelayAgentSuboptions, entry.nCode);
        const std::string strHex = HexText(entry.pData, entry.nLength);
        texts.push_back((pszName != nullptr ? std::string(pszName)
                                            : "Sub-option " + std::to_string(entry.nCode)) +
                        " " + strHex);
        option.m_value.push_back({{"code", entry.nCode},
                                  {"name", pszName != nullptr ? json(pszName) : json(nullptr)},
                                  {"hex", strHex}});
    }
    option.m_strText = Join(texts);
    return true;
}

// RFC 3925: blocks of enterprise number, length and that many bytes, which
// fill the option exactly.
struct EnterpriseBlock
{
    std::uint32_t nEnterprise;
    Data data;
};

bool ReadEnterpriseBlocks(Data data, std::vector<EnterpriseBlock>& blocks)
{
    constexpr std::size_t kHeader = 5;
    std::size_t i = 0;
    while (i < data.n)
    {
        if (data.n - i < kHeader || data.n - i - kHeader < data.p[i + 4])
            return false;
        blocks.push_back({ReadBe32(data.p + i), {data.p + i + kHeader, data.p[i + 4]}});
        i += kHeader + data.p[i + 4];
    }
    return !blocks.empty();
}

bool DecodeVendorClasses(const ExtendedRow*, Data data, ExtendedOption& option)
{
    std::vector<EnterpriseBlock> blocks;
    if (!ReadEnterpriseBlocks(data, blocks))
        return false;
    std::vector<std::string> texts;
    option.m_value = json::array();
    for (const EnterpriseBlock& block : blocks)
    {
        std::vector<Data> items;
        if (!ReadPrefixedItems(block.data, items))
            return false;
        std::vector<std::string> hexes;
        for (const Data& item : items)
            hexes.push_back(HexText(item.p, item.n));
        texts.push_back("enterprise " + std::to_string(block.nEnterprise) + ": " + Join(hexes));
        option.m_value.push_back(Object("enterprise", block.nEnterprise, "data", hexes));
    }
    option.m_strText = Join(texts);
    return true;
}

bool DecodeVendorSuboptions(const ExtendedRow*, Data data, ExtendedOption& option)
{
    std::vector<EnterpriseBlock> blocks;
    if (!ReadEnterpriseBlocks(data, blocks))
        return false;
    std::vector<std::string> texts;
    option.m_value = json::array();
    for (const EnterpriseBlock& block : blocks)
    {
        std::vector<Tlv> entries;
        if (!ReadTlvs(block.data, false, entries))
            return false;
        std::vector<std::string> subTexts;
        json suboptions = json::array();
        for (const Tlv& entry : entries)
        {
            const std::string strHex = HexText(entry.pData, entry.nLength);
            subTexts.push_back(std::to_string(entry.nCode) + "=" + strHex);
            suboptions.push_back(Object("code", entry.nCode, "hex", strHex));
        }
        texts.push_back("enterprise " + std::to_string(block.nEnterprise) + ": " + Join(subTexts));
        option.m_value.push_back(
            Object("enterprise", block.nEnterprise, "suboptions", std::move(suboptions)));
    }
    option.m_strText = Join(texts);
    return true;
}

void SetSuboptions(const std::vector<Tlv>& entries, ExtendedOption& option)
{
    option.m_value = Array(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
    {
        std::string strHex = HexText(entries[i].pData, entries[i].nLength);
        Separate(option.m_strText, i);
        option.m_strText += std::to_string(entries[i].nCode);
        option.m_strText += '=';
        option.m_strText += strHex;
        option.m_value.push_back(Object("code", entries[i].nCode, "hex", std::move(strHex)));
    }
}

// Vendors define option 43's content: sub-options where the bytes read as
// them, else the bytes as they are.
bool DecodeSuboptions(const ExtendedRow* pRow, Data data, ExtendedOption& option)
{
    if (data.n == 0)
        return false;
    std::vector<Tlv> entries;
    if (!ReadTlvs(data, true, entries))
        return DecodeBytes(pRow, data, option);
    SetSuboptions(entries, option);
    return true;
}

// RFC 2242 and RFC 3495 define their options as nothing but sub-options.
bool DecodeDefinedSuboptions(const ExtendedRow*, Data data, ExtendedOption& option)
{
    std::vector<Tlv> entries;
    if (!ReadTlvs(data, false, entries) || entries.empty())
        return false;
    SetSuboptions(entries, option);
    return true;
}

bool DecodeClientId(const ExtendedRow*, Data data, ExtendedOption& option)
{
    constexpr std::uint8_t kEthernet = 1;
    constexpr std::size_t kEthernetLength = 6;
    if (data.n < 2)
        return false;
    const std::uint8_t nType = data.p[0];
    option.m_strText = "type " + std::to_string(nType) + ", ";
    if (nType == kEthernet && data.n - 1 == kEthernetLength)
    {
        std::string strAddress;
        for (std::size_t i = 1; i < data.n; ++i)
        {
            if (i > 1)
                strAddress += ':';
            strAddress += HexText(data.p + i, 1);
        }
        option.m_strText += strAddress;
        option.m_value = Object("type", nType, "address", strAddress);
        return true;
    }
    const std::string strHex = HexText(data.p + 1, data.n - 1);
    option.m_strText += strHex;
    option.m_value = Object("type", nType, "hex", strHex);
    return true;
}

bool DecodeParameterList(const ExtendedRow*, Data data, ExtendedOption& option)
{
    if (data.n == 0)
        return false;
    option.m_value = Array(data.n);
    for (std::size_t i = 0; i < data.n; ++i)
    {
        const ExtendedRow* pRow = FindExtendedRow(data.p[i]);
        Separate(option.m_strText, i);
        option.m_strText += std::to_string(data.p[i]);
        if (pRow != nullptr)
        {
            option.m_strText += " (";
            option.m_strText += pRow->pszName;
            option.m_strText += ')';
        }
        option.m_value.push_back(Object("code", data.p[i], "name",
                                        pRow != nullptr ? json(pRow->pszName) : json(nullptr)));
    }
    return true;
}

// RFC 3004's classes where the bytes hold them; many clients send plain text.
bool DecodeUserClass(const ExtendedRow* pRow, Data data, ExtendedOption& option)
{
    std::vector<Data> items;
    if (!ReadPrefixedItems(data, items))
        return DecodeText(pRow, data, option);
    std::vector<std::string> classes;
    for (const Data& item : items)
        classes.push_back(RawText(item.p, item.n));
    SetNames(classes, option);
    return true;
}

// RFC 2610: the first byte says whether the client must use what follows.
std::string MandatoryText(bool bMandatory, const std::string& strRest)
{
    return bMandatory ? strRest + " (mandatory)" : strRest;
}

bool DecodeFlagAndAddresses(const ExtendedRow*, Data data, ExtendedOption& option)
{
    if (data.n == 0 || data.p[0] > 1)
        return false;
    const Data rest{data.p + 1, data.n - 1};
    if (!IsAddressList(rest, 0))
        return false;
    std::string strAddresses;
    json addresses = AddressArray(rest, strAddresses);
    option.m_strText = MandatoryText(data.p[0] != 0, strAddresses);
    option.m_value = Object("mandatory", data.p[0] != 0, "addresses", std::move(addresses));
    return true;
}

bool DecodeFlagAndText(const ExtendedRow*, Data data, ExtendedOption& option)
{
    if (data.n == 0 || data.p[0] > 1)
        return false;
    const Data text = WithoutTrailingNuls({data.p + 1, data.n - 1});
    const std::string strText = RawText(text.p, text.n);
    option.m_strText = MandatoryText(data.p[0] != 0, strText);
    option.m_value = Object("mandatory", data.p[0] != 0, "text", JsonText(strText));
    return true;
}

bool DecodePresence(const ExtendedRow*, Data data, ExtendedOption& option)
{
    if (data.n != 0)
        return false;
    option.m_strText = "present";
    option.m_value = true;
    return true;
}

bool DecodeStatusCode(const ExtendedRow*, Data data, ExtendedOption& option)
{
    if (data.n == 0)
        return false;
    const Data message = WithoutTrailingNuls({data.p + 1, data.n - 1});
    const std::string strMessage = RawText(message.p, message.n);
    option.m_strText = std::to_string(data.p[0]);
    if (!strMessage.empty())
        option.m_strText += ": " + strMessage;
    option.m_value = Object("code", data.p[0], "message", JsonText(strMessage));
    return true;
}

// "0x" and the hex of a number of nDigits digits.
std::string HexNumber(std::uint64_t nValue, int nDigits)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string strText = "0x";
    for (int nShift = 4 * (nDigits - 1); nShift >= 0; nShift -= 4)
        strText += kDigits[nValue >> nShift & 0x0Fu];
    return strText;
}

// RFC 4174: functions, DD access and administrative flags (16 bits each), the
// server security bitmap (32 bits), then the primary server, the heartbeat
// originator and the secondary servers.
bool DecodeIsnsServers(const ExtendedRow*, Data data, ExtendedOption& option)
{
    constexpr std::size_t kHeader = 10;
    if (data.n < kHeader || !IsAddressList({data.p + kHeader, data.n - kHeader}, 0))
        return false;
    const unsigned nFunctions = ReadBe16(data.p);
    const unsigned nDdAccess = ReadBe16(data.p + 2);
    const unsigned nAdminFlags = ReadBe16(data.p + 4);
    const std::uint32_t nSecurity = ReadBe32(data.p + 6);
    std::string strAddresses;
    json addresses = AddressArray({data.p + kHeader, data.n - kHeader}, strAddresses);
    option.m_strText = "functions " + HexNumber(nFunctions, 4) + ", DD access " +
                       HexNumber(nDdAccess, 4) + ", admin flags " + HexNumber(nAdminFlags, 4) +
                       ", security bitmap " + HexNumber(nSecurity, 8);
    if (!strAddresses.empty())
        option.m_strText += ", servers " + strAddresses;
    option.m_value =
        Members("functions", nFunctions, "dd_access", nDdAccess, "admin_flags", nAdminFlags,
                "security_bitmap", nSecurity, "addresses", std::move(addresses));
    return true;
}

// RFC 3118 2: protocol, algorithm, replay detection method, 64 bits of replay
// detection, then the protocol's authentication information.
bool DecodeAuthentication(const ExtendedRow*, Data data, ExtendedOption& option)
{
    constexpr std::size_t kHeader = 11;
    if (data.n < kHeader)
        return false;
    const std::string strReplay = HexText(data.p + 3, 8);
    const std::string strInformation = HexText(data.p + kHeader, data.n - kHeader);
    option.m_strText = "protocol " + std::to_string(data.p[0]) + ", algorithm " +
                       std::to_string(data.p[1]) + ", RDM " + std::to_string(data.p[2]) +
                       ", replay detection 0x" + strReplay;
    if (!strInformation.empty())
        option.m_strText += ", information " + strInformation;
    option.m_value = Members("protocol", data.p[0], "algorithm", data.p[1], "rdm", data.p[2],
                             "replay_detection", strReplay, "information", strInformation);
    return true;
}

// RFC 4578 2.5: type 0, then a 16-byte UUID. PXE clients send the UUID of
// their SMBIOS, whose first three fields are little-endian: shown 8-4-4-4-12
// in that reading, as Wireshark shows it.
bool DecodeMachineId(const ExtendedRow*, Data data, ExtendedOption& option)
{
    static const std::uint8_t kOrder[] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    if (data.n != 1 + std::size(kOrder) || data.p[0] != 0)
        return false;
    std::string strUuid;
    for (std::size_t i = 0; i < std::size(kOrder); ++i)
    {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            strUuid += '-';
        strUuid += HexText(data.p + 1 + kOrder[i], 1);
    }
    option.m_strText = "type 0, UUID " + strUuid;
    option.m_value = Object("type", 0, "uuid", std::move(strUuid));
    return true;
}

// RFC 4776 3.1: whom the location describes.
constexpr ValueName kCivicWhat[] = {
    {0, "DHCP server"},
    {1, "network element"},
    {2, "client"},
    {0, nullptr},
};

// RFC 4776 3.1: what, a two-letter country code, then elements of type,
// length and UTF-8 value (RFC 4776 3.4).
bool DecodeCivicLocation(const ExtendedRow*, Data data, ExtendedOption& option)
{
    constexpr std::size_t kHeader = 3;
    std::vector<Tlv> elements;
    if (data.n < kHeader || !ReadTlvs({data.p + kHeader, data.n - kHeader}, false, elements))
        return false;
    const char* pszWhat = FindValueName(kCivicWhat, data.p[0]);
    const std::string strCountry = RawText(data.p + 1, 2);
    option.m_strText = "what " + std::to_string(data.p[0]);
    if (pszWhat != nullptr)
        option.m_strText += std::string(" (") + pszWhat + ")";
    option.m_strText += ", country " + strCountry;
    json values = Array(elements.size());
    for (const Tlv& element : elements)
    {
        const std::string strValue = RawText(element.pData, element.nLength);
        option.m_strText += ", " + std::to_string(element.nCode) + "=" + strValue;
        values.push_back(Object("type", element.nCode, "value", JsonText(strValue)));
    }
    option.m_value =
        Members("what", data.p[0], "country", JsonText(strCountry), "elements", std::move(values));
    return true;
}

// A coordinate or altitude for people: at most six decimals, no trailing zeros.
std::string DecimalText(double dValue)
{
    char szText[32];
    std::snprintf(szText, sizeof szText, "%.6f", dValue);
    std::string strText = szText;
    strText.erase(strText.find_last_not_of('0') + 1);
    if (strText.back() == '.')
        strText.pop_back();
    return strText == "-0" ? "0" : strText;
}

// RFC 6225 2.2.1's datums and 2.4's altitude types.
constexpr ValueName kDatums[] = {
    {1, "WGS84"},
    {2, "NAD83/NAVD88"},
    {3, "NAD83/MLLW"},
    {0, nullptr},
};
constexpr ValueName kAltitudeTypes[] = {
    {0, "none"},
    {1, "metres"},
    {2, "floors"},
    {0, nullptr},
};

bool DecodeLocation(Data data, bool bVersionOneOnly, ExtendedOption& option)
{
    const std::optional<Geolocation> location = ReadGeolocation(data.p, data.n);
    if (!location || location->nVersion > 1 || (bVersionOneOnly && location->nVersion != 1))
        return false;
    const char* pszDatum = FindValueName(kDatums, location->nDatum);
    const char* pszAltitudeType = FindValueName(kAltitudeTypes, location->nAltitudeType);
    option.m_strText = "latitude " + DecimalText(location->dLatitude) + ", longitude " +
                       DecimalText(location->dLongitude) + ", altitude " +
                       DecimalText(location->dAltitude) + " (type " +
                       std::to_string(location->nAltitudeType);
    if (pszAltitudeType != nullptr)
        option.m_strText += std::string(", ") + pszAltitudeType;
    option.m_strText += "), uncertainty " + std::to_string(location->nLatitudeUncertainty) + "/" +
                        std::to_string(location->nLongitudeUncertainty) + "/" +
                        std::to_string(location->nAltitudeUncertainty) + ", datum " +
                        std::to_string(location->nDatum);
    if (pszDatum != nullptr)
        option.m_strText += std::string(" (") + pszDatum + ")";
    option.m_strText += ", version " + std::to_string(location->nVersion);
    option.m_value = Members(
        "latitude", location->dLatitude, "latitude_uncertainty", location->nLatitudeUncertainty,
        "longitude", location->dLongitude, "longitude_uncertainty", location->nLongitudeUncertainty,
        "altitude_type", location->nAltitudeType, "altitude", location->dAltitude,
        "altitude_uncertainty", location->nAltitudeUncertainty, "version", location->nVersion,
        "datum", location->nDatum);
    return true;
}

bool DecodeGeoConf(const ExtendedRow*, Data data, ExtendedOption& option)
{
    return DecodeLocation(data, false, option);
}

bool DecodeGeoLoc(const ExtendedRow*, Data data, ExtendedOption& option)
{
    return DecodeLocation(data, true, option);
}

// RFC 8572 8.2: URIs, each after its 16-bit length; none empty.
bool DecodeUriList(const ExtendedRow*, Data data, ExtendedOption& option)
{
    std::vector<std::string> uris;
    std::size_t i = 0;
    while (i < data.n)
    {
        if (data.n - i < 2)
            return false;
        const std::size_t nUri = ReadBe16(data.p + i);
        if (nUri == 0 || data.n - i - 2 < nUri)
            return false;
        uris.push_back(RawText(data.p + i + 2, nUri));
        i += 2 + nUri;
    }
    if (uris.empty())
        return false;
    SetNames(uris, option);
    return true;
}

// RFC 6731 4.2: the low two bits of the first byte are the preference.
constexpr ValueName kPreferences[] = {
    {0, "medium"}, {1, "high"}, {2, "reserved"}, {3, "low"}, {0, nullptr},
};

// RFC 6731 4.2: flags, primary and secondary server, then the domains and
// networks the servers know, as RFC 1035 names.
bool DecodeRdnssSelection(const ExtendedRow*, Data data, ExtendedOption& option)
{
    constexpr std::size_t kHeader = 1 + 2 * kAddressSize;
    if (data.n < kHeader)
        return false;
    std::vector<std::string> domains;
    if (data.n > kHeader)
    {
        std::optional<std::vector<std::string>> names =
            ReadDomainList(data.p + kHeader, data.n - kHeader);
        if (!names)
            return false;
        domains = std::move(*names);
    }
    const char* pszPreference =
        FindValueName(kPreferences, static_cast<std::uint8_t>(data.p[0] & 0x03u));
    std::string strPrimary = DottedQuad(data.p + 1);
    std::string strSecondary = DottedQuad(data.p + 1 + kAddressSize);
    option.m_strText = std::string("preference ") + pszPreference + ", primary " + strPrimary +
                       ", secondary " + strSecondary;
    if (!domains.empty())
        option.m_strText += ", " + Join(domains);
    json names = Array(domains.size());
    for (const std::string& strName : domains)
        names.push_back(JsonText(strName));
    option.m_value =
        Members("flags", data.p[0], "preference", pszPreference, "primary", std::move(strPrimary),
                "secondary", std::move(strSecondary), "domains", std::move(names));
    return true;
}

// RFC 7291 4: lists of servers, each after its length in bytes; the lists
// are shown apart by "; ".
bool DecodePcpServers(const ExtendedRow*, Data data, ExtendedOption& option)
{
    std::vector<Data> lists;
    if (!ReadPrefixedItems(data, lists))
        return false;
    option.m_value = Array(lists.size());
    for (std::size_t i = 0; i < lists.size(); ++i)
    {
        if (!IsAddressList(lists[i], kAddressSize))
            return false;
        if (i != 0)
            option.m_strText += "; ";
        option.m_value.push_back(AddressArray(lists[i], option.m_strText));
    }
    return true;
}

// RFC 7618 4: PSID offset (0 to 15), PSID length (0 to 16), and the 16-bit
// PSID field as sent.
bool DecodePortParameters(const ExtendedRow*, Data data, ExtendedOption& option)
{
    if (data.n != 4 || data.p[0] > 15 || data.p[1] > 16)
        return false;
    const unsigned nPsid = ReadBe16(data.p + 2);
    option.m_strText = "offset " + std::to_string(data.p[0]) + ", PSID length " +
                       std::to_string(data.p[1]) + ", PSID " + HexNumber(nPsid, 4);
    option.m_value = Members("offset", data.p[0], "psid_length", data.p[1], "psid", nPsid);
    return true;
}

// RFC 9463 6.1: instances, each after its 16-bit length: priority, the
// authentication domain name after its length, and unless the instance ends
// there (ADN-only mode) addresses after their length and SvcParams.
bool DecodeEncryptedDns(const ExtendedRow*, Data data, ExtendedOption& option)
{
    json instances = json::array();
    std::string strText;
    std::size_t i = 0;
    while (i < data.n)
    {
        if (data.n - i < 2 || data.n - i - 2 < ReadBe16(data.p + i))
            return false;
        const Data instance{data.p + i + 2, ReadBe16(data.p + i)};
        i += 2 + instance.n;
        if (instance.n < 3 || instance.n - 3 < instance.p[2])
            return false;
        const std::optional<std::string> adn = ReadUncompressedName(instance.p + 3, instance.p[2]);
        if (!adn || adn->empty())
            return false;
        const unsigned nPriority = ReadBe16(instance.p);
        std::size_t nAt = 3u + instance.p[2];
        std::string strAddresses;
        json addresses = json::array();
        std::string strParams;
        if (nAt < instance.n)
        {
            const std::size_t nAddresses = instance.p[nAt++];
            const Data list{instance.p + nAt, nAddresses};
            if (instance.n - nAt < nAddresses || !IsAddressList(list, kAddressSize))
                return false;
            addresses = AddressArray(list, strAddresses);
            nAt += nAddresses;
            strParams = HexText(instance.p + nAt, instance.n - nAt);
        }
        if (!strText.empty())
            strText += "; ";
        strText += "priority " + std::to_string(nPriority) + ", " + *adn;
        if (!strAddresses.empty())
            strText += ", " + strAddresses;
        if (!strParams.empty())
            strText += ", SvcParams " + strParams;
        instances.push_back(Members("priority", nPriority, "adn", JsonText(*adn), "addresses",
                                    std::move(addresses), "svcparams", std::move(strParams)));
    }
    if (instances.empty())
        return false;
    option.m_strText = std::move(strText);
    option.m_value = std::move(instances);
    return true;
}

// PXELINUX asks the server to confirm its options with these four bytes.
bool DecodePxelinuxMagic(const ExtendedRow*, Data data, ExtendedOption& option)
{
    static const std::uint8_t kMagic[] = {0xF1, 0x00, 0x74, 0x7E};
    if (data.n != std::size(kMagic) || !std::equal(data.p, data.p + data.n, kMagic))
        return false;
    option.m_strText = "f1:00:74:7e";
    option.m_value = option.m_strText;
    return true;
}

// RFC 5969 7.1.1: IPv4 mask length, 6rd prefix length, the 16-byte prefix,
// then one or more border relays.
bool DecodeSixRd(const ExtendedRow*, Data data, ExtendedOption& option)
{
    constexpr std::size_t kHeader = 2 + 16;
    if (data.n < kHeader || !IsAddressList({data.p + kHeader, data.n - kHeader}, kAddressSize) ||
        data.p[0] > 32 || data.p[1] > 128)
        return false;
    const std::string strPrefix = Ipv6Text(data.p + 2) + "/" + std::to_string(data.p[1]);
    std::string strRelays;
    json relays = AddressArray({data.p + kHeader, data.n - kHeader}, strRelays);
    option.m_strText = "IPv4 mask length " + std::to_string(data.p[0]) + ", 6rd prefix " +
                       strPrefix + ", border relays " + strRelays;
    option.m_value = Members("ipv4_mask_length", data.p[0], "prefix", strPrefix, "border_relays",
                             std::move(relays));
    return true;
}

// RFC 6607 3.1: a type, then a VPN name (0), an RFC 2685 VPN-ID of OUI and
// index (1), or nothing for the global, default VPN (255).
bool DecodeVirtualSubnet(const ExtendedRow*, Data data, ExtendedOption& option)
{
    constexpr std::size_t kVpnIdSize = 7;
    if (data.n == 0)
        return false;
    const std::uint8_t nType = data.p[0];
    const Data rest{data.p + 1, data.n - 1};
    if (nType == 0 && rest.n != 0)
    {
        const std::string strName = RawText(rest.p, rest.n);
        option.m_strText = "VPN name " + strName;
        option.m_value = Object("type", nType, "name", JsonText(strName));
        return true;
    }
    if (nType == 1 && rest.n == kVpnIdSize)
    {
        const std::string strOui = HexText(rest.p, 3);
        const std::uint32_t nIndex = ReadBe32(rest.p + 3);
        option.m_strText = "VPN-ID " + strOui + ":" + HexNumber(nIndex, 8).substr(2);
        option.m_value = Members("type", nType, "oui", strOui, "index", nIndex);
        return true;
    }
    if (nType == 255 && rest.n == 0)
    {
        option.m_strText = "global, default VPN";
        option.m_value = Members("type", nType);
        return true;
    }
    return false;
}

// RFC 4578: the interface type (1 is UNDI), then its major and minor version.
bool DecodeInterfaceId(const ExtendedRow*, Data data, ExtendedOption& option)
{
    if (data.n != 3)
        return false;
    const std::string strVersion = std::to_string(data.p[1]) + "." + std::to_string(data.p[2]);
    option.m_strText = data.p[0] == 1 ? "UNDI " + strVersion
                                      : "type " + std::to_string(data.p[0]) + ", " + strVersion;
    option.m_value = Members("type", data.p[0], "major", data.p[1], "minor", data.p[2]);
    return true;
}

// RFC 6926: R, the lowest bit, says another server supplied the state; the
// other bits must be zero and are ignored.
bool DecodeDataSource(const ExtendedRow*, Data data, ExtendedOption& option)
{
    if (data.n != 1)
        return false;
    const bool bRemote = (data.p[0] & 0x01u) != 0;
    option.m_strText = bRemote ? "remote" : "local";
    option.m_value = Members("remote", bRemote);
    return true;
}

// One decoder per value type, in the order of the enumeration; false when the
// bytes do not fit the type.
struct TypeDecoder
{
    ValueType type;
    bool (*pfnDecode)(const ExtendedRow* pRow, Data data, ExtendedOption& option);
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
} // namespace

ExtendedOption DecodeExtendedOption(std::uint8_t nCode, const std::uint8_t* pData,
                                    std::size_t nLength)
{
    if (pData == nullptr)
        nLength = 0;
    const Data data{pData, nLength};
    ExtendedOption option;
    option.m_nCode = nCode;
    const ExtendedRow* pRow = FindExtendedRow(nCode);
    option.m_strName = pRow != nullptr ? pRow->pszName : "Option " + std::to_string(nCode);
    const ValueType type = pRow != nullptr ? pRow->type : T::Bytes;
    if (!kDecoders[static_cast<std::size_t>(type)].pfnDecode(pRow, data, option))
    {
        option.m_bMalformed = true;
        DecodeBytes(pRow, data, option);
    }
    return option;
}

std::vector<ExtendedOption> DecodeAllOptions(const OptionMap& options)
{
    std::vector<ExtendedOption> decoded;
    decoded.reserve(options.size());
    for (const auto& [nCode, bytes] : options)
        decoded.push_back(DecodeExtendedOption(nCode, bytes.data(), bytes.size()));
    return decoded;
}

std::string DurationText(std::uint32_t nSeconds)
{
    std::string strText = std::to_string(nSeconds) + " s";
    if (nSeconds == kInfiniteSeconds)
        return strText + " (infinite)";
    static const struct
    {
        std::uint32_t nSeconds;
        const char* pszUnit;
    } kUnits[] = {{86400, "d"}, {3600, "h"}, {60, "min"}, {1, "s"}};
    if (nSeconds < 60)
        return strText;
    std::string strParts;
    std::uint32_t nLeft = nSeconds;
    for (const auto& unit : kUnits)
    {
        const std::uint32_t nCount = nLeft / unit.nSeconds;
        nLeft %= unit.nSeconds;
        if (nCount == 0)
            continue;
        if (!strParts.empty())
            strParts += ' ';
        strParts += std::to_string(nCount) + " " + unit.pszUnit;
    }
    return strText + " (" + strParts + ")";
}

nlohmann::json ExtendedOptionJson(const ExtendedOption& option, const OptionBytes& bytes)
{
    json object(json::value_t::object);
    object.emplace("code", option.m_nCode);
    object.emplace("name", option.m_strName);
    object.emplace("value", option.m_value);
    object.emplace("text", JsonText(option.m_strText));
    object.emplace("hex", HexText(bytes.data(), bytes.size()));
    if (option.m_bMalformed)
        object["malformed"] = true;
    return object;
}
