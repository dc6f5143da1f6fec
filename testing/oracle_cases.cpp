#include "testing/oracle_cases.h"

#include "testing/dhcpv6_oracle_cases.h"

#include "core/wire/bootp_message.h"

#include <algorithm>
#include <iterator>

namespace
{
using T = ValueType;

// "lab.example" as an RFC 1035 name.
const OptionBytes kLabName = {3, 'l', 'a', 'b', 7, 'e', 'x', 'a', 'm', 'p', 'l', 'e', 0};

OptionBytes Join(std::initializer_list<OptionBytes> parts)
{
    OptionBytes joined;
    for (const OptionBytes& part : parts)
        joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

OptionBytes Text(const char* pszText)
{
    return OptionBytes(pszText, pszText + std::char_traits<char>::length(pszText));
}

// Where a code's RFC gives its data more structure than the row's type reads,
// or fixes values the type's general sample would not meet.
struct CodeSample
{
    std::uint8_t nCode;
    OptionBytes data;
};

const std::vector<CodeSample>& CodeSamples()
{
    static const std::vector<CodeSample> samples = {
        {53, {5}}, // DHCPACK: the message must stay a lease
        // RFC 2242: NSQ_BROADCAST on, one preferred DSS server.
        {63, {5, 1, 1, 6, 4, 10, 1, 2, 3}},
        {93, {0, 0, 0, 7}},   // RFC 4578: x86 BIOS, EFI BC
        {117, {0, 6, 0, 41}}, // RFC 2937: DNS, then NIS
        // RFC 3495: the primary and secondary DHCP servers of the telephony provider.
        {122, {1, 4, 10, 1, 2, 3, 2, 4, 10, 1, 2, 4}},
        // RFC 5678: sub-option 1, one address; sub-option 1, one name.
        {139, {1, 4, 10, 1, 2, 3}},
        {140, Join({{1, 13}, kLabName})},
    };
    return samples;
}
} // namespace

OptionBytes OracleTypeSample(ValueType type)
{
    switch (type)
    {
    case T::Bytes:
        return {0x01, 0x02, 0x03};
    case T::Address:
        return {10, 1, 2, 3};
    case T::Addresses:
        return {10, 1, 2, 3, 10, 1, 2, 4};
    case T::AddressMaskPairs:
        return {10, 1, 0, 0, 255, 255, 0, 0, 10, 2, 0, 0, 255, 255, 255, 0};
    case T::StaticRoutes:
        return {10, 1, 0, 0, 10, 0, 0, 1, 10, 2, 0, 0, 10, 0, 0, 2};
    case T::UInt8:
        return {64};
    case T::UInt16:
        return {0x05, 0xDC};
    case T::UInt32:
        return {0x6B, 0x18, 0x0E, 0x1B};
    case T::Int32:
        return {0xFF, 0xFF, 0xF1, 0xF0}; // -3600
    case T::UInt8List:
        return {1, 2};
    case T::UInt16List:
        return {0x00, 0x07, 0x00, 0x09};
    case T::Boolean:
        return {1};
    case T::Text:
        return Text("lab.example");
    case T::Seconds:
        return {0x00, 0x00, 0x0E, 0x10};
    case T::NamedUInt8:
        return {1};
    case T::ClasslessRoutes:
        // 10.0.0.0/8 via 10.0.0.1, the default route via 10.99.0.1.
        return {8, 10, 10, 0, 0, 1, 0, 10, 99, 0, 1};
    case T::DomainList:
        // The second name points into the first (RFC 1035 4.1.4).
        return Join({kLabName, {4, 'c', 'o', 'r', 'p', 0xC0, 4}});
    case T::SipServers:
        return Join({{0}, kLabName});
    case T::ClientFqdn:
        // Server updates the A record, canonical wire encoding.
        return Join({{0x05, 0, 0}, {4, 'h', 'o', 's', 't'}, kLabName});
    case T::RelayAgentInfo:
        return {1, 3, 'e', 't', 'h', 2, 2, 0xAB, 0xCD};
    case T::VendorClasses:
        // Enterprise 32473, kept for documentation (RFC 5612).
        return Join({{0, 0, 0x7E, 0xD9, 16, 7}, Text("class-a"), {7}, Text("class-b")});
    case T::VendorSuboptions:
        return {0, 0, 0x7E, 0xD9, 6, 1, 1, 0x01, 2, 1, 0x02};
    case T::Suboptions:
        return {1, 2, 0x0A, 0x0B, 2, 1, 0x05};
    case T::ClientId:
        return {1, 0x02, 0x00, 0x00, 0x63, 0x00, 0x92};
    case T::ParameterList:
        return {1, 3, 6, 15};
    case T::UserClass:
        return Join({{7}, Text("class-a"), {7}, Text("class-b")});
    case T::FlagAndAddresses:
        return {1, 10, 0, 0, 5};
    case T::FlagAndText:
        return Join({{0}, Text("scope-a,scope-b")});
    case T::Presence:
        return {};
    case T::StatusCode:
        return Join({{0}, Text("all is well")});
    case T::IsnsServers:
        // RFC 4174: functions, DD access, administrative flags, security
        // bitmap, then the primary server.
        return {0, 1, 0, 1, 0, 1, 0, 0, 0, 1, 10, 1, 2, 3};
    case T::Authentication:
        // RFC 3118: configuration token protocol, replay detection, token.
        return Join({{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, Text("token")});
    case T::MachineId:
        return {0,    0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
    case T::CivicLocation:
        // RFC 4776: the client's location, in DE, state BY.
        return {2, 'D', 'E', 1, 2, 'B', 'Y'};
    case T::GeoConf:
        // RFC 6225: 47.5 N and 8.25 E, each to 18 bits, 400.5 m to 15 bits,
        // version 0 and datum WGS84.
        return {0x48, 0x5F, 0x00, 0x00, 0x00, 0x48, 0x10, 0x80,
                0x00, 0x00, 0x13, 0xC0, 0x01, 0x90, 0x80, 0x01};
    case T::GeoLoc:
        // The same in version 1, the only one option 144 carries.
        return {0x48, 0x5F, 0x00, 0x00, 0x00, 0x48, 0x10, 0x80,
                0x00, 0x00, 0x13, 0xC0, 0x01, 0x90, 0x80, 0x41};
    case T::UriList:
        return Join({{0, 21}, Text("https://sztp.example/")});
    case T::RdnssSelection:
        // RFC 6731: high preference, two servers, one domain.
        return Join({{0x01, 10, 1, 2, 3, 10, 1, 2, 4}, kLabName});
    case T::PcpServers:
        return {4, 10, 1, 2, 3}; // RFC 7291: one list of one server
    case T::PortParameters:
        return {6, 6, 0, 0x34}; // RFC 7618: offset, PSID length, PSID
    case T::EncryptedDns:
        // RFC 9463: one instance of priority 1, its ADN, one address and
        // the SvcParam alpn=dot.
        return Join(
            {{0, 29, 0, 1, 13}, kLabName, {4, 10, 1, 2, 3}, {0, 1, 0, 4, 3, 'd', 'o', 't'}});
    case T::PxelinuxMagic:
        return {0xF1, 0x00, 0x74, 0x7E};
    case T::SixRd:
        // RFC 5969: IPv4 mask length, 6rd prefix length, prefix, one relay.
        return {0, 32, 0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 10, 1, 2, 3};
    case T::VirtualSubnet:
        return Join({{0}, Text("vpn-a")}); // RFC 6607: a VPN name
    case T::InterfaceId:
        return {1, 3, 16}; // RFC 4578: UNDI 3.16
    case T::DefinedSuboptions:
        // RFC 2242: NSQ_BROADCAST on, one preferred DSS server.
        return {5, 1, 1, 6, 4, 10, 1, 2, 3};
    case T::DataSource:
        return {1}; // RFC 6926: the remote flag
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
        break; // DHCPv6's layouts, which no DHCPv4 row has (dhcpv6_oracle_cases.cpp)
    }
    return {};
}

namespace
{
// "route cut short" as "121_route_cut_short".
std::string SeedName(const OracleCase& oracleCase)
{
    std::string strName = "oracle_" + std::to_string(oracleCase.m_nCode) + "_";
    for (const char c : oracleCase.m_strName)
        strName += c == ' ' || c == '-' ? '_' : c;
    return strName;
}

SeedFile OptionSeed(const OracleCase& oracleCase)
{
    SeedFile seed = {"extended_option/" + SeedName(oracleCase), {oracleCase.m_nCode}};
    seed.m_Bytes.insert(seed.m_Bytes.end(), oracleCase.m_Data.begin(), oracleCase.m_Data.end());
    return seed;
}

// The sample repeated to nLength bytes; zeros for an empty sample.
OptionBytes Cycled(const OptionBytes& sample, std::size_t nLength)
{
    OptionBytes data(nLength, 0);
    for (std::size_t i = 0; i < nLength && !sample.empty(); ++i)
        data[i] = sample[i % sample.size()];
    return data;
}
} // namespace

OptionBytes OracleSample(const ExtendedRow& row)
{
    for (const CodeSample& sample : CodeSamples())
    {
        if (sample.nCode == row.nCode)
            return sample.data;
    }
    return OracleTypeSample(row.type);
}

std::vector<OracleCase> SampleCases()
{
    std::vector<OracleCase> cases;
    for (const ExtendedRow* pRow = ExtendedRowsBegin(); pRow != ExtendedRowsEnd(); ++pRow)
        cases.push_back({"sample", pRow->nCode, OracleSample(*pRow)});
    return cases;
}

std::vector<OracleCase> EdgeCases()
{
    std::vector<OracleCase> cases;
    for (const ExtendedRow* pRow = ExtendedRowsBegin(); pRow != ExtendedRowsEnd(); ++pRow)
    {
        const OptionBytes sample = OracleSample(*pRow);
        const std::size_t nSample = sample.size();
        const std::pair<const char*, std::size_t> lengths[] = {
            {"empty", 0},
            {"one short", nSample > 0 ? nSample - 1 : 0},
            {"one long", nSample + 1},
            {"255 bytes", 255},
        };
        std::vector<std::size_t> taken = {nSample};
        for (const auto& [pszName, nLength] : lengths)
        {
            if (std::find(taken.begin(), taken.end(), nLength) != taken.end())
                continue;
            taken.push_back(nLength);
            cases.push_back({pszName, pRow->nCode, Cycled(sample, nLength)});
        }
    }
    return cases;
}

std::vector<OracleCase> HostileCases()
{
    return {
        {"route cut inside its destination", 121, {24, 10, 99}},
        {"route cut inside its router", 121, {8, 10, 10, 0, 0}},
        {"route wider than 32 bits", 121, {33, 1, 2, 3, 4, 5, 10, 0, 0, 1}},
        {"name pointing at itself", 119, {0xC0, 0x00}},
        {"names pointing at each other", 119, {0xC0, 0x02, 0xC0, 0x00}},
        {"name pointing forward", 119, Join({{0xC0, 0x02}, kLabName})},
        {"label past the end", 119, {5, 'a', 'b'}},
        {"name without its root", 119, {3, 'l', 'a', 'b'}},
        {"suboption past the end", 82, {1, 9, 'a', 'b', 'c'}},
        {"suboption without its length", 82, {1, 3, 'e', 't', 'h', 2}},
        {"vendor data past the end", 125, {0, 0, 0x7E, 0xD9, 9, 1, 1, 0xAB}},
        {"vendor suboption past its data", 125, {0, 0, 0x7E, 0xD9, 3, 1, 5, 0xAB}},
        {"enterprise cut short", 125, {0, 0, 0x7E}},
        {"vendor class past its data", 124, {0, 0, 0x7E, 0xD9, 3, 7, 'a', 'b'}},
        {"vendor class data past the end", 124, {0, 0, 0x7E, 0xD9, 9, 2, 'a', 'b'}},
        {"fqdn pointing at itself", 81, {0x05, 0, 0, 0xC0, 0x03}},
        {"fqdn label past the end", 81, {0x05, 0, 0, 9, 'h', 'o', 's', 't'}},
        {"user class past the end", 77, {9, 'c', 'l', 'a', 's', 's'}},
        {"sip servers of an unknown encoding", 120, {2, 10, 1, 2, 3}},
        {"sip server address cut short", 120, {1, 10, 1, 2}},
        {"client id cut inside its address", 61, {1, 0x02, 0x00, 0x00}},
        {"vendor suboption past the end", 43, {1, 5, 0xAA}},
        {"directory agent address cut short", 78, {1, 10, 0, 0}},
        {"status message that is not UTF-8", 151, {0, 'o', 0xFF, 'k'}},
        {"text that is not UTF-8", 15, {'l', 'a', 'b', 0xC3, '.', 0xE2, 0x82}},
        {"text with a trailing NUL", 15, Join({Text("lab.example"), {0}})},
        {"uri past the end", 143, Join({{0, 30}, Text("https://sztp.example/")})},
        {"civic element past the end", 99, {2, 'D', 'E', 1, 5, 'B', 'Y'}},
        {"dns instance past the end", 162, {0, 40, 0, 1, 13, 3, 'l', 'a', 'b'}},
        {"sub-option past the end", 63, {5, 1, 1, 6, 9, 10, 1, 2, 3}},
    };
}

std::vector<std::uint8_t> OracleAck(const OptionMap& options)
{
    BootpMessage message;
    message.m_nOp = kBootReply;
    message.m_nHardwareType = 1;
    message.m_nHardwareLength = 6;
    message.m_nTransactionId = 0x5EED0001;
    message.m_nYourAddress = kOracleLeasedAddress;
    message.m_nServerAddress = 0x0A630001;
    const std::uint8_t kClientMac[] = {0x02, 0x00, 0x00, 0x63, 0x00, 0x92};
    std::copy(std::begin(kClientMac), std::end(kClientMac), message.m_ClientHardware.begin());
    message.m_mapOptions = options;
    message.m_mapOptions[kOptionMessageType] = {kDhcpAck};
    return SerializeBootpMessage(message);
}

std::vector<SeedFile> OracleSeeds()
{
    std::vector<SeedFile> seeds;
    std::vector<std::pair<ValueType, OptionBytes>> layouts;
    for (const OracleCase& edge : EdgeCases())
    {
        const ValueType type = FindExtendedRow(edge.m_nCode)->type;
        if (std::find(layouts.begin(), layouts.end(), std::make_pair(type, edge.m_Data)) !=
            layouts.end())
            continue;
        layouts.emplace_back(type, edge.m_Data);
        seeds.push_back(OptionSeed(edge));
    }

    OptionMap samples;
    for (const OracleCase& sample : SampleCases())
        samples[sample.m_nCode] = sample.m_Data;
    seeds.push_back({"bootp_message/oracle_every_row", OracleAck(samples)});
    for (const OracleCase& hostile : HostileCases())
    {
        seeds.push_back(OptionSeed(hostile));
        seeds.push_back(
            {"bootp_message/" + SeedName(hostile), OracleAck({{hostile.m_nCode, hostile.m_Data}})});
    }
    std::vector<SeedFile> dhcpv6 = Dhcpv6OracleSeeds();
    seeds.insert(seeds.end(), std::make_move_iterator(dhcpv6.begin()),
                 std::make_move_iterator(dhcpv6.end()));
    return seeds;
}
