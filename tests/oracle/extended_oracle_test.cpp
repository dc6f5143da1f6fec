// Veyra's extended decoding against Wireshark's DHCP dissector. Every case is
// a DHCPACK that goes the way a real one does: written as dhcpcd's lease, read
// by the dhcpcd lease source and printed by `veyra --all --json`; the same
// message goes to tshark in a pcap file. For each option the two must agree on
// whether the bytes are well-formed and, where tshark has typed fields, on the
// value. Where tshark departs from the RFC that defines a code, Veyra follows
// the RFC and the case is listed below with its reason.
#include "app/cli/all_options_output.h"
#include "core/options/extended_catalogue.h"
#include "core/options/extended_decoder.h"
#include "core/wire/bootp_message.h"
#include "linux/dhcpcd_lease_source.h"
#include "testing/oracle_cases.h"
#include "testing/pcap_writer.h"
#include "testing/scratch_directory.h"
#include "testing/tshark_oracle.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <map>
#include <optional>

namespace
{
using json = nlohmann::json;
using T = ValueType;

// Where Veyra and tshark part ways: every case of the codes listed must
// differ, so that the table stays true. Each is a place where tshark departs
// from the RFC that defines a code, and Veyra follows the RFC.
struct KnownDifference
{
    std::vector<std::uint8_t> codes;
    std::vector<std::string> cases;
    const char* pszReason;
};

const std::vector<KnownDifference>& KnownDifferences()
{
    static const std::vector<KnownDifference> differences = {
        {{3,   4,   5,   6,   7,   8,   9,   10,  11,  12,  14,  15,  17,  18,  21,  25,  33,  40,
          41,  42,  43,  44,  45,  47,  48,  49,  55,  56,  60,  61,  62,  63,  64,  65,  66,  67,
          68,  69,  70,  71,  72,  73,  74,  75,  76,  82,  85,  86,  87,  88,  89,  92,  93,  97,
          98,  99,  100, 101, 108, 112, 113, 114, 118, 119, 120, 122, 124, 125, 136, 137, 138, 139,
          140, 141, 142, 143, 144, 145, 147, 148, 150, 161, 162, 208, 209, 210, 211, 213, 221, 252},
         {"empty"},
         "each of these codes carries at least one item of its type (an address, a character, "
         "a route, a sub-option, a location, a UUID), as RFC 2132 3.5 gives the router option "
         "a minimum length of 4 octets; tshark shows them empty without complaint"},
        {{137, 152, 154, 155},
         {"sample"},
         "tshark shows 137's name in its wire form, length bytes as characters, where RFC 5223 "
         "makes it an RFC 1035 name; and it reads the times of 152, 154 and 155 as NTP "
         "timestamps (seconds since 1900), where RFC 6926 counts seconds since 1970"},
        {{88, 89, 108, 137, 141, 143, 144, 147, 148, 162, 208, 211, 213},
         {"one short", "one long", "255 bytes"},
         "tshark has no dissection for these codes (or, for 137, reads the name as plain text) "
         "and so finds no fault; the lengths break RFC 4280 (88, 89), RFC 8925 (108: 4 bytes), "
         "RFC 5223 (137), RFC 6011 (141), RFC 8572 (143: URIs each after its length), RFC 6225 "
         "(144: 16 bytes), RFC 8973 (147, 148), RFC 9463 (162: instances each after its "
         "length), RFC 5071 (208: the 4-byte magic, 211: 4 bytes) and RFC 5986 (213)"},
        {{143},
         {"uri past the end"},
         "tshark has no dissection for RFC 8572's URI list, so misses a URI that runs past the "
         "option"},
        {{162},
         {"dns instance past the end"},
         "tshark has no dissection for RFC 9463's encrypted DNS instances, so misses one that "
         "runs past the option"},
        {{94},
         {"one long", "255 bytes"},
         "RFC 4578 fixes the network interface identifier at 3 bytes; tshark reads the first "
         "three and ignores the rest"},
        {{97},
         {"one short", "one long", "255 bytes"},
         "RFC 4578 fixes the machine identifier at 17 bytes, type 0 and a UUID; tshark shows a "
         "UUID of any length without complaint"},
        {{99},
         {"one long"},
         "a civic address element type without its length breaks RFC 4776's elements; tshark "
         "stops at it without complaint"},
        {{146},
         {"one short", "one long", "255 bytes"},
         "RFC 6731's domains are RFC 1035 names, each ending with the root label; tshark reads "
         "what follows the servers as text and finds no fault"},
        {{158},
         {"255 bytes"},
         "the bytes are 51 whole lists of one server each, well-formed under RFC 7291; tshark "
         "throws before the end of them"},
        {{90},
         {"one long", "255 bytes"},
         "RFC 3118's configuration token is opaque bytes; tshark shows it as a text that ends "
         "at its first NUL, and Veyra shows every byte"},
        {{80},
         {"one long", "255 bytes"},
         "RFC 4039's rapid commit has no data; tshark does not check its length"},
        {{81},
         {"one long", "255 bytes", "fqdn pointing at itself"},
         "RFC 4702 forbids compression in the client's name and lets nothing follow it; tshark "
         "reads a pointer as the root name and ignores trailing bytes"},
        {{119},
         {"name pointing forward", "name without its root"},
         "RFC 1035 4.1.4 points only to a prior occurrence, and a name ends with the root "
         "label; tshark follows a pointer forward and ends a name at the option's end"},
        {{124},
         {"vendor class past its data"},
         "tshark leaves RFC 3925's vendor classes joined, so it misses one that runs past its "
         "data"},
        {{77},
         {"one short", "one long", "255 bytes", "user class past the end"},
         "bytes that are not RFC 3004's length-prefixed classes: Veyra shows them as one text, "
         "as some clients send plain text in 77; tshark shows the classes it could read"},
        {{79, 151},
         {"255 bytes"},
         "tshark ends a text at its first NUL and drops the rest; Veyra shows every byte"},
    };
    return differences;
}

const KnownDifference* FindKnownDifference(std::uint8_t nCode, const std::string& strCase)
{
    for (const KnownDifference& difference : KnownDifferences())
    {
        if (std::count(difference.codes.begin(), difference.codes.end(), nCode) != 0 &&
            std::count(difference.cases.begin(), difference.cases.end(), strCase) != 0)
            return &difference;
    }
    return nullptr;
}

std::string Hex(const std::vector<std::uint8_t>& bytes)
{
    return HexText(bytes.data(), bytes.size());
}

// A number as tshark writes it: "1500", "-3600", "0x05", or a named value
// such as "Domain Name Server Option (6)".
std::optional<long long> Number(std::string strText)
{
    const std::size_t nOpen = strText.rfind(" (");
    if (nOpen != std::string::npos && !strText.empty() && strText.back() == ')')
        strText = strText.substr(nOpen + 2, strText.size() - nOpen - 3);
    try
    {
        std::size_t nUsed = 0;
        const long long nValue = std::stoll(strText, &nUsed, 0);
        if (nUsed == strText.size())
            return nValue;
    }
    catch (const std::exception&)
    {
    }
    return std::nullopt;
}

// tshark's "0a:0b" as Veyra's "0a0b".
std::string PlainHex(std::string strText)
{
    strText.erase(std::remove(strText.begin(), strText.end(), ':'), strText.end());
    return strText;
}

std::vector<std::uint8_t> HexBytes(const std::string& strText)
{
    const std::string strHex = PlainHex(strText);
    std::vector<std::uint8_t> bytes;
    for (std::size_t n = 0; n + 1 < strHex.size(); n += 2)
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(strHex.substr(n, 2), nullptr, 16)));
    return bytes;
}

bool EndsWith(const std::string& strText, const std::string& strEnd)
{
    return strText.size() >= strEnd.size() &&
           strText.compare(strText.size() - strEnd.size(), strEnd.size(), strEnd) == 0;
}

// tshark writes the root name as "<Root>", Veyra as ".".
std::string DomainName(const std::string& strText)
{
    return strText == "<Root>" ? "." : strText;
}

// What tshark shows that it could not read as the type's value.
json Unreadable(const TsharkOption& option)
{
    json fields = json::array();
    for (const auto& [strName, strText] : option.m_Fields)
        fields.push_back(strName + "=" + strText);
    return {{"unreadable", fields}};
}

json NumberOrUnreadable(const std::string& strText, const TsharkOption& option)
{
    const std::optional<long long> nValue = Number(strText);
    return nValue ? json(*nValue) : Unreadable(option);
}

// A decimal as tshark writes it: "47.5", "0.0009765625".
json Decimal(const std::string& strText, const TsharkOption& option)
{
    try
    {
        std::size_t nUsed = 0;
        const double dValue = std::stod(strText, &nUsed);
        if (nUsed == strText.size())
            return dValue;
    }
    catch (const std::exception&)
    {
    }
    return Unreadable(option);
}

// RFC 3442: a route as tshark splits it, width, significant octets, router.
std::optional<json> ClasslessRoute(const std::vector<std::uint8_t>& route)
{
    if (route.empty() || route[0] > 32)
        return std::nullopt;
    const std::size_t nWidth = route[0];
    const std::size_t nOctets = (nWidth + 7) / 8;
    if (route.size() != 1 + nOctets + 4)
        return std::nullopt;
    std::uint8_t destination[4] = {};
    std::copy_n(route.begin() + 1, nOctets, destination);
    char szRoute[64];
    std::snprintf(szRoute, sizeof szRoute, "%u.%u.%u.%u/%zu", destination[0], destination[1],
                  destination[2], destination[3], nWidth);
    char szRouter[16];
    const std::uint8_t* pRouter = &route[1 + nOctets];
    std::snprintf(szRouter, sizeof szRouter, "%u.%u.%u.%u", pRouter[0], pRouter[1], pRouter[2],
                  pRouter[3]);
    return json{{"destination", szRoute}, {"router", szRouter}};
}

// tshark's typed fields of an option in the shape of Veyra's typed value
// (extended_decoder.h), or nothing where tshark shows only the bytes.
std::optional<json> TsharkValue(const ExtendedRow& row, const TsharkOption& option)
{
    const auto& fields = option.m_Fields;
    const std::string strHex = Hex(option.m_Value);
    const bool bOnlyBytes =
        std::all_of(fields.begin(), fields.end(),
                    [&](const auto& field) { return PlainHex(field.second) == strHex; });
    if (row.type == T::Bytes || row.type == T::Presence || bOnlyBytes)
        return std::nullopt;

    json texts = json::array();
    for (const auto& field : fields)
        texts.push_back(field.second);
    const auto single = [&]() -> json
    { return fields.size() == 1 ? json(fields[0].second) : Unreadable(option); };
    const auto numbers = [&]() -> json
    {
        json values = json::array();
        for (const auto& field : fields)
            values.push_back(NumberOrUnreadable(field.second, option));
        return values;
    };
    const auto pairs = [&](const char* pszFirst, const char* pszSecond) -> json
    {
        if (fields.size() % 2 != 0)
            return Unreadable(option);
        json values = json::array();
        for (std::size_t n = 0; n < fields.size(); n += 2)
            values.push_back({{pszFirst, fields[n].second}, {pszSecond, fields[n + 1].second}});
        return values;
    };
    const auto named = [&](const char* pszField) -> std::string
    {
        for (const auto& field : fields)
        {
            if (EndsWith(field.first, pszField))
                return field.second;
        }
        return std::string();
    };

    const auto allNamed = [&](const char* pszField)
    {
        json values = json::array();
        for (const auto& field : fields)
        {
            if (EndsWith(field.first, pszField))
                values.push_back(field.second);
        }
        return values;
    };
    const auto namedNumber = [&](const char* pszField)
    { return NumberOrUnreadable(named(pszField), option); };

    switch (row.type)
    {
    case T::Address:
    case T::Text:
        return single();
    case T::Addresses:
        return texts;
    case T::DomainList:
    {
        json names = json::array();
        for (const auto& field : fields)
            names.push_back(DomainName(field.second));
        return names;
    }
    case T::AddressMaskPairs:
        return pairs("address", "mask");
    case T::StaticRoutes:
        return pairs("destination", "router");
    case T::UInt8:
    case T::UInt16:
    case T::UInt32:
    case T::Int32:
    case T::Seconds:
    case T::NamedUInt8:
        return fields.size() == 1 ? NumberOrUnreadable(fields[0].second, option)
                                  : Unreadable(option);
    case T::UInt8List:
    case T::UInt16List:
    case T::ParameterList:
        return numbers();
    case T::Boolean:
    {
        const std::optional<long long> nValue =
            fields.size() == 1 ? Number(fields[0].second) : std::nullopt;
        return nValue ? json(*nValue != 0) : Unreadable(option);
    }
    case T::ClasslessRoutes:
    {
        json routes = json::array();
        for (const auto& field : fields)
        {
            const std::optional<json> route = ClasslessRoute(HexBytes(field.second));
            if (!route)
                return Unreadable(option);
            routes.push_back(*route);
        }
        return routes;
    }
    case T::SipServers:
    {
        json servers = json::array();
        for (const auto& field : fields)
        {
            if (!EndsWith(field.first, ".encoding"))
                servers.push_back(DomainName(field.second));
        }
        return servers;
    }
    case T::ClientFqdn:
        return json{{"flags", NumberOrUnreadable(named("fqdn.flags"), option)},
                    {"rcode1", NumberOrUnreadable(named("fqdn.rcode1"), option)},
                    {"rcode2", NumberOrUnreadable(named("fqdn.rcode2"), option)},
                    {"name", DomainName(named("fqdn.name"))}};
    case T::RelayAgentInfo:
    {
        json suboptions = json::array();
        for (const auto& [strName, strText] : fields)
        {
            if (EndsWith(strName, "agent_information_option.suboption"))
                suboptions.push_back({{"code", NumberOrUnreadable(strText, option)}});
            else if (EndsWith(strName, "agent_information_option.value") && !suboptions.empty() &&
                     !suboptions.back().contains("hex"))
                suboptions.back()["hex"] = PlainHex(strText);
        }
        return suboptions;
    }
    case T::VendorClasses:
    {
        json enterprises = json::array();
        for (const auto& [strName, strText] : fields)
        {
            if (EndsWith(strName, "vi_class.enterprise"))
                enterprises.push_back({{"enterprise", NumberOrUnreadable(strText, option)}});
            else if (EndsWith(strName, "vi_class.data") && !enterprises.empty())
            {
                // tshark leaves the classes of RFC 3925 joined, each after its length.
                json classes = json::array();
                std::size_t n = 0;
                while (n < strText.size())
                {
                    const std::size_t nLength = static_cast<unsigned char>(strText[n]);
                    if (n + 1 + nLength > strText.size())
                        return Unreadable(option);
                    const std::string strClass = strText.substr(n + 1, nLength);
                    classes.push_back(
                        Hex(std::vector<std::uint8_t>(strClass.begin(), strClass.end())));
                    n += 1 + nLength;
                }
                enterprises.back()["data"] = classes;
            }
        }
        return enterprises;
    }
    case T::VendorSuboptions:
    {
        json enterprises = json::array();
        for (const auto& [strName, strText] : fields)
        {
            if (EndsWith(strName, "option.vi.enterprise"))
                enterprises.push_back({{"enterprise", NumberOrUnreadable(strText, option)},
                                       {"suboptions", json::array()}});
            else if (EndsWith(strName, "vendor.suboption") && !enterprises.empty())
                enterprises.back()["suboptions"].push_back(
                    {{"code", NumberOrUnreadable(strText, option)}});
            else if (EndsWith(strName, "vendor.data") && !enterprises.empty() &&
                     !enterprises.back()["suboptions"].empty())
                enterprises.back()["suboptions"].back()["hex"] = PlainHex(strText);
        }
        return enterprises;
    }
    case T::Suboptions:
    case T::DefinedSuboptions:
    {
        json codes = json::array();
        for (const auto& [strName, strText] : fields)
        {
            if (EndsWith(strName, ".suboption"))
                codes.push_back(NumberOrUnreadable(strText, option));
        }
        return codes;
    }
    case T::ClientId:
        return json{{"type", NumberOrUnreadable(named("dhcp.hw.type"), option)},
                    {"address", named("dhcp.hw.mac_addr")}};
    case T::UserClass:
    {
        json classes = json::array();
        for (const auto& [strName, strText] : fields)
        {
            if (EndsWith(strName, "user_class.data"))
            {
                const std::vector<std::uint8_t> bytes = HexBytes(strText);
                classes.push_back(std::string(bytes.begin(), bytes.end()));
            }
        }
        return classes;
    }
    case T::FlagAndAddresses:
    {
        json addresses = json::array();
        for (std::size_t n = 1; n < fields.size(); ++n)
            addresses.push_back(fields[n].second);
        return json{{"mandatory", named("slp_directory_agent.value") != "0"},
                    {"addresses", addresses}};
    }
    case T::FlagAndText:
        return json{{"mandatory", named("slp_service_scope.value") != "0"},
                    {"text", named("slp_service_scope.string")}};
    case T::StatusCode:
        return json{{"code", NumberOrUnreadable(named("status_code"), option)},
                    {"message", named("status_code_message")}};
    case T::IsnsServers:
        return json{{"functions", namedNumber("isns.functions")},
                    {"dd_access", namedNumber("isns.discovery_domain_access")},
                    {"admin_flags", namedNumber("isns.administrative_flags")},
                    {"security_bitmap", namedNumber("isns.server_security_bitmap")},
                    {"addresses", allNamed("_addr")}};
    case T::Authentication:
    {
        // tshark shows a configuration token (protocol 0) as text, other information as hex.
        const std::string strInformation = named("dhcp_authentication.information");
        return json{
            {"protocol", namedNumber("dhcp_authentication.protocol")},
            {"algorithm", namedNumber("dhcp_authentication.algorithm")},
            {"rdm", namedNumber("dhcp_authentication.rdm")},
            {"replay_detection", named("dhcp_authentication.rdm_replay_detection").substr(2)},
            {"information",
             option.m_Value.at(0) == 0
                 ? Hex(std::vector<std::uint8_t>(strInformation.begin(), strInformation.end()))
                 : PlainHex(strInformation)}};
    }
    case T::MachineId:
        // tshark leaves out the type, which RFC 4578 fixes at 0.
        return json{{"type", option.m_Value.at(0)}, {"uuid", named("client_id.uuid")}};
    case T::CivicLocation:
    {
        json elements = json::array();
        const json types = allNamed("civic_location.ca_type");
        const json values = allNamed("civic_location.ca_value");
        if (types.size() != values.size())
            return Unreadable(option);
        for (std::size_t n = 0; n < types.size(); ++n)
            elements.push_back(
                {{"type", NumberOrUnreadable(types[n], option)}, {"value", values[n]}});
        return json{{"what", namedNumber("civic_location.what")},
                    {"country", named("civic_location.country")},
                    {"elements", elements}};
    }
    case T::RdnssSelection:
    {
        // RFC 6731: the preference is the low two bits of the flags.
        const char* const kPreferences[] = {"medium", "high", "reserved", "low"};
        const std::optional<long long> nPreference = Number(named("rdnss.preference"));
        if (!nPreference || *nPreference < 0 || *nPreference > 3)
            return Unreadable(option);
        return json{{"flags", option.m_Value.at(0)},
                    {"preference", kPreferences[*nPreference]},
                    {"primary", named("rdnss.primary_dns")},
                    {"secondary", named("rdnss.secondary_dns")},
                    {"domains", allNamed("rdnss.domain")}};
    }
    case T::PortParameters:
        return json{
            {"offset", namedNumber("portparams.offset")},
            {"psid_length", namedNumber("portparams.psid_length")},
            {"psid", NumberOrUnreadable("0x" + PlainHex(named("portparams.psid")), option)}};
    case T::SixRd:
        return json{{"ipv4_mask_length", namedNumber("6RD.ipv4_mask_len")},
                    {"prefix", named("6RD.prefix") + "/" + named("6RD.prefix_len")},
                    {"border_relays", allNamed("6RD.border_relay_ip")}};
    case T::InterfaceId:
        // tshark shows the UNDI version but not the interface type before it.
        return json{{"type", option.m_Value.at(0)},
                    {"major", namedNumber("client_network_id_major")},
                    {"minor", namedNumber("client_network_id_minor")}};
    case T::DataSource:
    {
        const std::optional<long long> nFlags = Number(named("bulk_lease.data_source"));
        return nFlags ? json{{"remote", (*nFlags & 1) != 0}} : Unreadable(option);
    }
    case T::GeoConf:
        return json{{"latitude", Decimal(named("rfc3825.latitude"), option)},
                    {"longitude", Decimal(named("rfc3825.longitude"), option)},
                    {"altitude", Decimal(named("rfc3825.altitude"), option)},
                    {"altitude_type", namedNumber("rfc3825.altitude_type")},
                    {"latitude_resolution", Decimal(named("rfc3825.latitude_res"), option)},
                    {"longitude_resolution", Decimal(named("rfc3825.longitude_res"), option)},
                    {"altitude_resolution", Decimal(named("rfc3825.altitude_res"), option)}};
    case T::Bytes:
    case T::Presence:
    case T::GeoLoc:
    case T::UriList:
    case T::PcpServers: // tshark shows each list's length, not its addresses
    case T::EncryptedDns:
    case T::PxelinuxMagic:
    case T::VirtualSubnet:
    // DHCPv6's layouts, which no DHCPv4 row has (dhcpv6_oracle_test.cpp)
    case T::Duid:
    case T::IaNa:
    case T::IaTa:
    case T::IaAddress:
    case T::IaPrefix:
    case T::OptionCodes:
    case T::Hundredths:
    case T::RelayMessage:
    case T::Address6:
    case T::Addresses6:
    case T::StatusCode6:
    case T::UserClasses6:
    case T::VendorClass6:
    case T::VendorOptions6:
    case T::DomainList6:
    case T::DomainName6:
    case T::ClientFqdn6:
    case T::NtpServer:
    case T::LinkLayerAddress:
    case T::Options6:
    case T::RemoteId:
        break;
    }
    return std::nullopt;
}

// The part of Veyra's typed value tshark can speak to: tshark's names for
// values and sub-options are its own, and it shows the codes of some
// sub-options only.
json Comparable(const ExtendedRow& row, const json& value)
{
    switch (row.type)
    {
    case T::NamedUInt8:
        return value.value("code", json());
    case T::ParameterList:
    case T::Suboptions:
    case T::DefinedSuboptions:
    {
        if (!value.is_array())
            return value;
        json codes = json::array();
        for (const json& entry : value)
            codes.push_back(entry.value("code", json()));
        return codes;
    }
    case T::GeoConf:
    {
        // tshark shows version 0's resolutions in degrees and metres (RFC 3825).
        if (!value.is_object())
            return value;
        const auto resolution = [&](const char* pszField, int nBase)
        { return std::ldexp(1.0, nBase - value.at(pszField).get<int>()); };
        return json{{"latitude", value.at("latitude")},
                    {"longitude", value.at("longitude")},
                    {"altitude", value.at("altitude")},
                    {"altitude_type", value.at("altitude_type")},
                    {"latitude_resolution", resolution("latitude_uncertainty", 8)},
                    {"longitude_resolution", resolution("longitude_uncertainty", 8)},
                    {"altitude_resolution", resolution("altitude_uncertainty", 21)}};
    }
    case T::RelayAgentInfo:
    {
        json suboptions = value;
        for (json& entry : suboptions)
            entry.erase("name");
        return suboptions;
    }
    default:
        return value;
    }
}

enum class Outcome
{
    Typed,      // both decoded the value, and the values agree
    BytesOnly,  // tshark shows the bytes only, and they agree
    Malformed,  // both find the bytes malformed
    Difference, // they disagree
};

struct Comparison
{
    Outcome m_outcome = Outcome::Difference;
    std::string m_strDetail;
};

Comparison Compare(const ExtendedRow& row, const json& veyra, const TsharkOption& tshark)
{
    const bool bVeyraMalformed = veyra.value("malformed", false);
    const bool bTsharkMalformed = !tshark.m_Complaints.empty();
    const std::string strTsharkSays = bTsharkMalformed ? "tshark: " + tshark.m_Complaints.front()
                                                       : std::string("tshark: well-formed");
    if (veyra.value("hex", std::string()) != Hex(tshark.m_Value))
        return {Outcome::Difference, "the bytes differ: veyra " +
                                         veyra.value("hex", std::string()) + ", tshark " +
                                         Hex(tshark.m_Value)};
    if (bVeyraMalformed != bTsharkMalformed)
        return {Outcome::Difference,
                (bVeyraMalformed ? "veyra: malformed; " : "veyra: well-formed; ") + strTsharkSays +
                    "; veyra's value " + veyra.value("value", json()).dump()};
    if (bVeyraMalformed)
        return {Outcome::Malformed, std::string()};
    const std::optional<json> tsharkValue = TsharkValue(row, tshark);
    if (!tsharkValue)
        return {Outcome::BytesOnly, std::string()};
    const json veyraValue = Comparable(row, veyra.value("value", json()));
    if (veyraValue != *tsharkValue)
        return {Outcome::Difference,
                "veyra " + veyraValue.dump() + ", tshark " + tsharkValue->dump()};
    return {Outcome::Typed, std::string()};
}

// Veyra's and tshark's reading of one case.
struct Reading
{
    OracleCase m_case;
    std::optional<json> m_veyra; // the option's object in `veyra --all --json`
    std::optional<TsharkOption> m_tshark;
};

class ExtendedOracle : public testing::Test
{
protected:
    void SetUp() override
    {
        const std::string strObstacle = TsharkObstacle();
        if (!strObstacle.empty())
            GTEST_SKIP() << strObstacle;
        ASSERT_FALSE(m_scratch.Path().empty());
        m_paths.m_strDhcpcd = m_scratch.Path();
        m_iface.m_strName = "vora";
        m_iface.m_IpAddresses = {kOracleLeasedAddress};
    }

    // Veyra's option objects of one reply, by code: the dhcpcd lease source
    // reads it, and `veyra --all --json` prints it.
    std::map<std::uint8_t, json> VeyraOptions(const std::vector<std::uint8_t>& message)
    {
        EXPECT_TRUE(WriteBytes(m_scratch.Path() + "/vora.lease", message));
        Lease lease;
        EXPECT_EQ(MakeDhcpcdLeaseSource(m_paths)->Read(m_iface, lease), 0);
        const json document = json::parse(FormatAllJson(m_iface.m_strName, lease));
        std::map<std::uint8_t, json> options;
        for (const json& option : document.at("options"))
            options[option.at("code").get<std::uint8_t>()] = option;
        return options;
    }

    // Each message as one frame of a pcap file, through tshark: its options by code.
    std::vector<std::map<std::uint8_t, TsharkOption>>
    TsharkOptions(const std::vector<std::vector<std::uint8_t>>& messages)
    {
        std::vector<std::vector<std::uint8_t>> frames;
        for (const std::vector<std::uint8_t>& message : messages)
            frames.push_back(EthernetFrame(DhcpReplyDatagram(message)));
        const std::string strPcap = m_scratch.Path() + "/replies.pcap";
        EXPECT_TRUE(WriteBytes(strPcap, PcapFile(frames)));
        std::vector<TsharkNode> dissected;
        std::string strError;
        EXPECT_TRUE(RunTshark(strPcap, {}, dissected, strError)) << strError;
        EXPECT_EQ(dissected.size(), messages.size());
        std::vector<std::map<std::uint8_t, TsharkOption>> options(messages.size());
        for (std::size_t n = 0; n < dissected.size() && n < messages.size(); ++n)
        {
            for (TsharkOption& option : DhcpOptions(dissected[n]))
                options[n].emplace(option.m_nCode, std::move(option));
        }
        return options;
    }

    // Each case in a DHCPACK of its own: a hostile option makes tshark give
    // up on the rest of a message.
    std::vector<Reading> ReadEach(const std::vector<OracleCase>& cases)
    {
        std::vector<std::vector<std::uint8_t>> messages;
        std::vector<Reading> readings;
        for (const OracleCase& oracleCase : cases)
        {
            messages.push_back(OracleAck({{oracleCase.m_nCode, oracleCase.m_Data}}));
            Reading& reading = readings.emplace_back();
            reading.m_case = oracleCase;
            std::map<std::uint8_t, json> veyra = VeyraOptions(messages.back());
            if (veyra.count(oracleCase.m_nCode) != 0)
                reading.m_veyra = veyra[oracleCase.m_nCode];
        }
        const std::vector<std::map<std::uint8_t, TsharkOption>> tshark = TsharkOptions(messages);
        for (std::size_t n = 0; n < readings.size() && n < tshark.size(); ++n)
        {
            const auto found = tshark[n].find(readings[n].m_case.m_nCode);
            if (found != tshark[n].end())
                readings[n].m_tshark = found->second;
        }
        return readings;
    }

    CScratchDirectory m_scratch;
    LinuxPaths m_paths;
    LeaseInterface m_iface;
};

// Compares every reading; a difference must be listed, and a listed one must
// still differ. The codes of the readings, by outcome.
using Outcomes = std::map<Outcome, std::vector<std::uint8_t>>;

Outcomes CheckReadings(const std::vector<Reading>& readings)
{
    Outcomes outcomes;
    for (const Reading& reading : readings)
    {
        const OracleCase& oracleCase = reading.m_case;
        SCOPED_TRACE("option " + std::to_string(oracleCase.m_nCode) + ", " + oracleCase.m_strName +
                     ": " + Hex(oracleCase.m_Data));
        if (!reading.m_veyra || !reading.m_tshark)
        {
            ADD_FAILURE() << (reading.m_veyra ? "tshark" : "veyra") << " did not show the option";
            continue;
        }
        const ExtendedRow* pRow = FindExtendedRow(oracleCase.m_nCode);
        const ExtendedRow unknownRow = {oracleCase.m_nCode, "", T::Bytes};
        const Comparison comparison =
            Compare(pRow != nullptr ? *pRow : unknownRow, *reading.m_veyra, *reading.m_tshark);
        const KnownDifference* pKnown =
            FindKnownDifference(oracleCase.m_nCode, oracleCase.m_strName);
        if (comparison.m_outcome == Outcome::Difference && pKnown == nullptr)
            ADD_FAILURE() << comparison.m_strDetail;
        if (comparison.m_outcome != Outcome::Difference && pKnown != nullptr)
            ADD_FAILURE() << "listed as a difference, but veyra and tshark agree";
        outcomes[comparison.m_outcome].push_back(oracleCase.m_nCode);
    }
    return outcomes;
}

std::string Codes(const std::vector<std::uint8_t>& codes)
{
    std::string strCodes;
    for (const std::uint8_t nCode : codes)
        strCodes += (strCodes.empty() ? "" : " ") + std::to_string(nCode);
    return strCodes;
}

// The outcomes on one line, for the suite's log.
void PrintOutcomes(const char* pszWhat, std::size_t nCases, Outcomes& outcomes)
{
    std::printf("tshark oracle: %zu %s: %zu typed, %zu on bytes only, %zu malformed to both, "
                "%zu listed differences\n",
                nCases, pszWhat, outcomes[Outcome::Typed].size(),
                outcomes[Outcome::BytesOnly].size(), outcomes[Outcome::Malformed].size(),
                outcomes[Outcome::Difference].size());
}

// The edge cases a lease can carry: a lease is a DHCPACK, so option 53 keeps
// its one byte, and 52 (which lays out the message) never reaches one.
std::vector<OracleCase> LeaseEdgeCases()
{
    std::vector<OracleCase> cases;
    for (const OracleCase& edge : EdgeCases())
    {
        if (edge.m_nCode != kOptionMessageType && edge.m_nCode != kOptionOverload)
            cases.push_back(edge);
    }
    return cases;
}

// A listed difference names cases the suite compares: no stale entry hides.
TEST(ExtendedOracleTable, EveryListedCaseIsCompared)
{
    std::vector<OracleCase> compared = SampleCases();
    for (const std::vector<OracleCase>& more : {LeaseEdgeCases(), HostileCases()})
        compared.insert(compared.end(), more.begin(), more.end());
    for (const KnownDifference& difference : KnownDifferences())
    {
        for (const std::uint8_t nCode : difference.codes)
        {
            for (const std::string& strCase : difference.cases)
            {
                EXPECT_TRUE(std::any_of(compared.begin(), compared.end(),
                                        [&](const OracleCase& oracleCase) {
                                            return oracleCase.m_nCode == nCode &&
                                                   oracleCase.m_strName == strCase;
                                        }))
                    << "option " << int(nCode) << ", " << strCase;
            }
        }
    }
}

// Every row's sample, all in one DHCPACK as a server would send them.
TEST_F(ExtendedOracle, EveryRowInOneReply)
{
    OptionMap options;
    for (const OracleCase& sample : SampleCases())
    {
        // The overload option lays out the message; it is never an option of a lease.
        if (sample.m_nCode != kOptionOverload)
            options[sample.m_nCode] = sample.m_Data;
    }
    const std::vector<std::uint8_t> message = OracleAck(options);
    std::map<std::uint8_t, json> veyra = VeyraOptions(message);
    std::map<std::uint8_t, TsharkOption> tshark = TsharkOptions({message}).at(0);

    std::vector<Reading> readings;
    for (const auto& [nCode, data] : options)
    {
        Reading& reading = readings.emplace_back();
        reading.m_case = {"sample", nCode, data};
        if (veyra.count(nCode) != 0)
            reading.m_veyra = veyra[nCode];
        if (tshark.count(nCode) != 0)
            reading.m_tshark = tshark.at(nCode);
    }
    Outcomes outcomes = CheckReadings(readings);

    const std::size_t nRows = static_cast<std::size_t>(ExtendedRowsEnd() - ExtendedRowsBegin());
    EXPECT_TRUE(outcomes[Outcome::Malformed].empty()) << "a sample the RFC calls well-formed";
    EXPECT_EQ(readings.size(), nRows - 1);
    PrintOutcomes("catalogue codes in one reply", readings.size(), outcomes);
    const std::string strSummary =
        "on bytes only: " + Codes(outcomes[Outcome::BytesOnly]) +
        "; listed differences: " + Codes(outcomes[Outcome::Difference]) +
        "; not compared: 52 (it lays out the message, and no lease holds it)";
    std::printf("tshark oracle: %s\n", strSummary.c_str());
    RecordProperty("summary", strSummary);
}

TEST_F(ExtendedOracle, EdgeLengths)
{
    const std::vector<OracleCase> cases = LeaseEdgeCases();
    Outcomes outcomes = CheckReadings(ReadEach(cases));
    PrintOutcomes("edge lengths", cases.size(), outcomes);
    EXPECT_FALSE(outcomes[Outcome::Malformed].empty());
}

TEST_F(ExtendedOracle, HostileBytes)
{
    const std::vector<OracleCase> cases = HostileCases();
    Outcomes outcomes = CheckReadings(ReadEach(cases));
    PrintOutcomes("hostile options", cases.size(), outcomes);
    EXPECT_FALSE(outcomes[Outcome::Malformed].empty());
}
} // namespace
