#include "core/wire/probe_messages.h"

#include "core/wire/dhcpv6_message.h"
#include "core/wire/ethernet_frame.h"
#include "core/wire/hex_digit.h"
#include "core/wire/hex_text.h"
#include "core/wire/vlan_list.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace
{
using Json = nlohmann::json;

// An errno value is small and positive; anything else is a forgery.
constexpr int kMaxErrno = 4095;
// A wait is at most minutes: an hour bounds any time a packet came.
constexpr std::uint64_t kMaxMicroseconds = 3600ULL * 1000 * 1000;

const char* EventName(ProbeEvent event)
{
    switch (event)
    {
    case ProbeEvent::Opened:
        return "opened";
    case ProbeEvent::Options:
        return "options";
    case ProbeEvent::Options6:
        return "options6";
    case ProbeEvent::Census:
        return "census";
    case ProbeEvent::Probe:
        return "probe";
    case ProbeEvent::Frame:
        return "frame";
    case ProbeEvent::End:
        break;
    }
    return "end";
}

std::string Hex(const std::vector<std::uint8_t>& bytes)
{
    return HexText(bytes.data(), bytes.size());
}

std::optional<std::vector<std::uint8_t>> ReadHex(const Json& value, std::size_t nMaxBytes)
{
    if (!value.is_string())
        return std::nullopt;
    const std::string& strHex = value.get_ref<const std::string&>();
    if (strHex.size() % 2 != 0 || strHex.size() / 2 > nMaxBytes)
        return std::nullopt;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(strHex.size() / 2);
    for (std::size_t nAt = 0; nAt < strHex.size(); nAt += 2)
    {
        const int nHigh = HexDigit(strHex[nAt]);
        const int nLow = HexDigit(strHex[nAt + 1]);
        if (nHigh < 0 || nLow < 0)
            return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(nHigh << 4 | nLow));
    }
    return bytes;
}

std::optional<HardwareAddress> ReadMac(const Json& value)
{
    if (!value.is_string())
        return std::nullopt;
    return ParseProbeMac(value.get_ref<const std::string&>());
}

std::optional<std::uint64_t> ReadCount(const Json& value, std::uint64_t nMax)
{
    if (!value.is_number_unsigned() || value.get<std::uint64_t>() > nMax)
        return std::nullopt;
    return value.get<std::uint64_t>();
}

// Option codes are decimal keys from "0" to "255", written without leading zeros.
std::optional<std::uint8_t> ReadCode(const std::string& strKey)
{
    if (strKey.empty() || strKey.size() > 3 || (strKey.size() > 1 && strKey[0] == '0'))
        return std::nullopt;
    unsigned nCode = 0;
    for (const char c : strKey)
    {
        if (c < '0' || c > '9')
            return std::nullopt;
        nCode = nCode * 10 + static_cast<unsigned>(c - '0');
    }
    if (nCode > 255)
        return std::nullopt;
    return static_cast<std::uint8_t>(nCode);
}

bool ReadOpened(const Json& object, ProbeMessage& message)
{
    const auto status = object.find("status");
    if (status == object.end() || !status->is_string() ||
        status->get_ref<const std::string&>().size() > kMaxProbeStatusBytes)
        return false;
    message.m_strStatus = status->get<std::string>();
    return object.size() == 2;
}

bool ReadPacket(const Json& object, ProbeMessage& message)
{
    const auto data = object.find("data");
    const auto source = object.find("source");
    const auto pending = object.find("pending");
    const auto us = object.find("us");
    if (object.size() != 5 || data == object.end() || source == object.end() ||
        pending == object.end() || us == object.end() || !pending->is_boolean())
        return false;
    std::optional<std::vector<std::uint8_t>> packet = ReadHex(*data, kMaxProbeValueBytes);
    const std::optional<HardwareAddress> sourceMac = ReadMac(*source);
    const std::optional<std::uint64_t> nMicroseconds = ReadCount(*us, kMaxMicroseconds);
    if (!packet || !sourceMac || !nMicroseconds)
        return false;
    message.m_Packet = std::move(*packet);
    message.m_SourceMac = *sourceMac;
    message.m_bChecksumPending = pending->get<bool>();
    message.m_nMicroseconds = *nMicroseconds;
    return true;
}

bool ReadOptions(const Json& object, ProbeMessage& message)
{
    const auto options = object.find("options");
    if (object.size() != 2 || options == object.end() || !options->is_object())
        return false;
    for (const auto& [strKey, value] : options->items())
    {
        const std::optional<std::uint8_t> nCode = ReadCode(strKey);
        std::optional<std::vector<std::uint8_t>> bytes = ReadHex(value, kMaxProbeValueBytes);
        if (!nCode || !bytes || !message.m_mapOptions.emplace(*nCode, std::move(*bytes)).second)
            return false;
    }
    return true;
}

// The options whole to the last byte, none cut short.
bool ReadOptions6(const Json& object, ProbeMessage& message)
{
    const auto data = object.find("data");
    if (object.size() != 2 || data == object.end())
        return false;
    const std::optional<std::vector<std::uint8_t>> bytes = ReadHex(*data, kMaxProbeValueBytes);
    return bytes && ReadDhcpv6Options(bytes->data(), bytes->size(), message.options6);
}

// The options as a Reply holds them; the caller keeps within
// kMaxProbeValueBytes, as any Reply's options do.
std::vector<std::uint8_t> Dhcpv6OptionBytes(const Dhcpv6Options& options)
{
    std::vector<std::uint8_t> bytes;
    for (const Dhcpv6Option& option : options)
    {
        const auto size = static_cast<std::uint16_t>(option.data.size());
        bytes.insert(bytes.end(),
                     {static_cast<std::uint8_t>(option.code >> 8),
                      static_cast<std::uint8_t>(option.code), static_cast<std::uint8_t>(size >> 8),
                      static_cast<std::uint8_t>(size)});
        bytes.insert(bytes.end(), option.data.begin(), option.data.begin() + size);
    }
    return bytes;
}

// A VLAN member, when present, is a VLAN id; absent, the untagged link.
bool ReadVlan(const Json& object, std::optional<std::uint16_t>& vlan)
{
    const auto member = object.find("vlan");
    if (member == object.end())
        return true;
    const std::optional<std::uint64_t> id = ReadCount(*member, kMaxVlanId);
    if (!id || *id == 0)
        return false;
    vlan = static_cast<std::uint16_t>(*id);
    return true;
}

bool ReadCensus(const Json& object, ProbeMessage& message)
{
    const auto families = object.find("families");
    const auto carrier = object.find("carrier");
    if (object.size() != 3 || families == object.end() || carrier == object.end() ||
        !carrier->is_boolean())
        return false;
    const std::optional<std::uint64_t> bits = ReadCount(*families, kCensusAll);
    if (!bits || *bits == 0)
        return false;
    message.families = static_cast<unsigned>(*bits);
    message.carrier = carrier->get<bool>();
    return true;
}

bool ReadProbe(const Json& object, ProbeMessage& message)
{
    VlanProbe& probe = message.probe;
    const auto mac = object.find("mac");
    const auto xid = object.find("xid");
    const auto xid6 = object.find("xid6");
    const auto linkLocal = object.find("ll");
    const auto duid = object.find("duid");
    if (mac == object.end() || xid == object.end() || xid6 == object.end() ||
        linkLocal == object.end() || duid == object.end() || !ReadVlan(object, probe.vlan) ||
        object.size() != (probe.vlan ? 7U : 6U))
        return false;
    const std::optional<HardwareAddress> clientMac = ReadMac(*mac);
    const std::optional<std::uint64_t> id = ReadCount(*xid, 0xFFFFFFFF);
    const std::optional<std::uint64_t> id6 = ReadCount(*xid6, 0xFFFFFF);
    const std::optional<std::vector<std::uint8_t>> address = ReadHex(*linkLocal, 16);
    std::optional<std::vector<std::uint8_t>> clientDuid = ReadHex(*duid, kMaxProbeDuidBytes);
    if (!clientMac || !id || !id6 || !address || address->size() != 16 || !clientDuid)
        return false;
    probe.clientMac = *clientMac;
    probe.transactionId = static_cast<std::uint32_t>(*id);
    probe.transactionId6 = static_cast<std::uint32_t>(*id6);
    std::copy(address->begin(), address->end(), probe.linkLocal.begin());
    probe.clientDuid = std::move(*clientDuid);
    return true;
}

// A frame is a packet with the VLAN it came on and its EtherType.
bool ReadFrame(const Json& object, ProbeMessage& message)
{
    const auto type = object.find("type");
    if (type == object.end() || !ReadVlan(object, message.vlan))
        return false;
    const std::optional<std::uint64_t> etherType = ReadCount(*type, 0xFFFF);
    if (!etherType || (*etherType != kEtherTypeIpv4 && *etherType != kEtherTypeIpv6))
        return false;
    message.etherType = static_cast<std::uint16_t>(*etherType);
    Json packet = object;
    packet.erase("type");
    packet.erase("vlan");
    return ReadPacket(packet, message);
}

bool ReadEnd(const Json& object, ProbeMessage& message)
{
    const auto error = object.find("error");
    const auto unrelayed = object.find("unrelayed");
    if (object.size() != 3 || error == object.end() || unrelayed == object.end())
        return false;
    const std::optional<std::uint64_t> nError = ReadCount(*error, kMaxErrno);
    const std::optional<std::uint64_t> nUnrelayed = ReadCount(*unrelayed, UINT64_MAX);
    if (!nError || !nUnrelayed)
        return false;
    message.m_nError = static_cast<int>(*nError);
    message.m_nUnrelayed = *nUnrelayed;
    return true;
}
} // namespace

std::string ProbeMacText(const HardwareAddress& mac)
{
    return MacText(mac.data(), mac.size());
}

std::optional<HardwareAddress> ParseProbeMac(std::string_view text)
{
    HardwareAddress mac{};
    if (text.size() != mac.size() * 3 - 1)
        return std::nullopt;
    for (std::size_t nByte = 0; nByte < mac.size(); ++nByte)
    {
        const std::size_t nAt = nByte * 3;
        const int nHigh = HexDigit(text[nAt]);
        const int nLow = HexDigit(text[nAt + 1]);
        if (nHigh < 0 || nLow < 0 || (nByte + 1 < mac.size() && text[nAt + 2] != ':'))
            return std::nullopt;
        mac[nByte] = static_cast<std::uint8_t>(nHigh << 4 | nLow);
    }
    return mac;
}

std::string ProbeVlanText(const std::vector<std::uint16_t>& vlans)
{
    return vlans.empty() ? "-" : VlanListText(vlans);
}

std::optional<std::vector<std::uint16_t>> ParseProbeVlans(std::string_view text)
{
    std::vector<std::uint16_t> vlans;
    if (text != "-" && ReadVlanList(text, vlans))
        return std::nullopt;
    return vlans;
}

std::string FormatProbeMessage(const ProbeMessage& message)
{
    Json object = {{"event", EventName(message.m_event)}};
    switch (message.m_event)
    {
    case ProbeEvent::Opened:
        object["status"] = message.m_strStatus;
        break;
    case ProbeEvent::Options:
        object["options"] = Json::object();
        for (const auto& [nCode, bytes] : message.m_mapOptions)
            object["options"][std::to_string(nCode)] = Hex(bytes);
        break;
    case ProbeEvent::Options6:
        object["data"] = Hex(Dhcpv6OptionBytes(message.options6));
        break;
    case ProbeEvent::Census:
        object["families"] = message.families;
        object["carrier"] = message.carrier;
        break;
    case ProbeEvent::Probe:
        if (message.probe.vlan)
            object["vlan"] = *message.probe.vlan;
        object["mac"] = ProbeMacText(message.probe.clientMac);
        object["xid"] = message.probe.transactionId;
        object["xid6"] = message.probe.transactionId6;
        object["ll"] = HexText(message.probe.linkLocal.data(), message.probe.linkLocal.size());
        object["duid"] = Hex(message.probe.clientDuid);
        break;
    case ProbeEvent::Frame:
        if (message.vlan)
            object["vlan"] = *message.vlan;
        object["type"] = message.etherType;
        object["data"] = Hex(message.m_Packet);
        object["source"] = ProbeMacText(message.m_SourceMac);
        object["pending"] = message.m_bChecksumPending;
        object["us"] = message.m_nMicroseconds;
        break;
    case ProbeEvent::End:
        object["error"] = message.m_nError;
        object["unrelayed"] = message.m_nUnrelayed;
        break;
    }
    // Status texts are the kernel's; replace anything that is not UTF-8.
    return object.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::optional<ProbeMessage> ParseProbeMessage(std::string_view line)
{
    if (line.size() > kMaxProbeLine)
        return std::nullopt;
    const Json object = Json::parse(line, nullptr, false);
    if (!object.is_object())
        return std::nullopt;
    const auto event = object.find("event");
    if (event == object.end() || !event->is_string())
        return std::nullopt;
    const std::string& strEvent = event->get_ref<const std::string&>();
    ProbeMessage message;
    bool bRead = false;
    if (strEvent == "opened")
    {
        message.m_event = ProbeEvent::Opened;
        bRead = ReadOpened(object, message);
    }
    else if (strEvent == "options")
    {
        message.m_event = ProbeEvent::Options;
        bRead = ReadOptions(object, message);
    }
    else if (strEvent == "options6")
    {
        message.m_event = ProbeEvent::Options6;
        bRead = ReadOptions6(object, message);
    }
    else if (strEvent == "census")
    {
        message.m_event = ProbeEvent::Census;
        bRead = ReadCensus(object, message);
    }
    else if (strEvent == "probe")
    {
        message.m_event = ProbeEvent::Probe;
        bRead = ReadProbe(object, message);
    }
    else if (strEvent == "frame")
    {
        message.m_event = ProbeEvent::Frame;
        bRead = ReadFrame(object, message);
    }
    else if (strEvent == "end")
    {
        message.m_event = ProbeEvent::End;
        bRead = ReadEnd(object, message);
    }
    if (!bRead)
        return std::nullopt;
    return message;
}
