#include "testing/dhcpv6_oracle.h"

#include "core/options/dhcpv6_decoder.h"
#include "core/options/dhcpv6_options.h"
#include "core/wire/dhcpv6_message.h"
#include "testing/tshark_oracle.h"

#include <arpa/inet.h>

#include <ctime>
#include <optional>
#include <utility>

namespace
{
using Json = nlohmann::ordered_json;
// A typed leaf: tshark's field name (or "name" for any domain name field, or
// "" for any field at all) and its text.
using Leaves = std::vector<std::pair<std::string, std::string>>;

constexpr unsigned long kSeverityError = 0x00800000;
constexpr const char* kOptionTree = "dhcpv6.option.type_str_tree";
constexpr const char* kAnyField = "";
constexpr const char* kAnyName = "name";

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string Without(std::string text, char dropped)
{
    std::string kept;
    for (const char c : text)
        if (c != dropped)
            kept += c;
    return kept;
}

std::string Number(const Json& value)
{
    return value.is_number() ? std::to_string(value.get<long long>()) : value.dump();
}

std::string HexToDecimal(const std::string& hex)
{
    try
    {
        return std::to_string(std::stoull(hex, nullptr, 16));
    }
    catch (const std::exception&)
    {
        return hex;
    }
}

std::string Text(const Json& value)
{
    return value.is_string() ? value.get<std::string>() : value.dump();
}

// tshark's fields that hold a domain name, full or partial.
bool IsNameField(const std::string& field)
{
    static const char* const kNames[] = {"dhcpv6.tld",
                                         "dhcpv6.search_list_entry",
                                         "dhcpv6.client_domain",
                                         "dhcpv6.aftr_name",
                                         "dhcpv6.partial_name_preceded_by_fqdn",
                                         "dhcpv6.root_only_domain_name",
                                         "dhcpv6.decoded_portion"};
    for (const char* name : kNames)
        if (field == name)
            return true;
    return EndsWith(field, "_fqdn") || EndsWith(field, ".fqdn") ||
           EndsWith(field, ".dns_hostname") || EndsWith(field, ".dns_zonename");
}

// One of tshark's leaves as Veyra writes it: numbers in decimal, bytes without
// colons, names without their final dot.
std::pair<std::string, std::string> Normalised(const std::string& field, const std::string& text)
{
    if (IsNameField(field))
        return {kAnyName,
                EndsWith(text, ".") && text != "." ? text.substr(0, text.size() - 1) : text};
    if (field == "dhcpv6.iaid" || field == "dhcpv6.iata" || field == "dhcpv6.client_fqdn_flags")
        return {field, HexToDecimal(text)};
    if (field == "dhcpv6.xid")
        return {field, text.compare(0, 2, "0x") == 0 ? text.substr(2) : text};
    if (text.size() > 2 && text.compare(0, 2, "0x") == 0)
        return {field, HexToDecimal(text.substr(2))};
    if (EndsWith(field, "link_layer_addr"))
        return {field, Without(text, ':')};
    if (EndsWith(field, ".identifier") || EndsWith(field, "opaque_data") ||
        EndsWith(field, "option_data") || EndsWith(field, "duiduuid.bytes") ||
        EndsWith(field, "replay_detection") || field == "dhcpv6.remoteid_enterprise_id")
        return {field, Without(text, ':')};
    return {field, text};
}

void Complaints(const TsharkNode& node, std::vector<std::string>& complaints)
{
    if (node.m_strName == "_ws.expert")
    {
        const TsharkNode* severity = node.Find("_ws.expert.severity");
        const TsharkNode* message = node.Find("_ws.expert.message");
        if (severity != nullptr && std::stoul(severity->m_strText) >= kSeverityError)
            complaints.push_back(message != nullptr ? message->m_strText : "expert info");
        return;
    }
    if (node.m_strName == "_ws.malformed")
        complaints.push_back("malformed");
    for (const TsharkNode& child : node.m_Children)
        Complaints(child, complaints);
}

// The typed leaves of one option's tree, without those of nested options.
void CollectLeaves(const TsharkNode& node, Leaves& leaves)
{
    for (const TsharkNode& child : node.m_Children)
    {
        const std::string& name = child.m_strName;
        if (name == kOptionTree || EndsWith(name, "_raw") || name.compare(0, 4, "_ws.") == 0 ||
            name == "dhcpv6.option.type" || name == "dhcpv6.option.length" ||
            name == "dhcpv6.duid.bytes" || EndsWith(name, ".length") ||
            name.find(".flags.") != std::string::npos)
            continue;
        if (child.m_Children.empty())
            leaves.push_back(Normalised(name, child.m_strText));
        else
            CollectLeaves(child, leaves);
    }
}

// The option trees at one level: of a message, or nested in an option (in a
// relayed message, inside its "dhcpv6" node).
std::vector<const TsharkNode*> OptionTrees(const TsharkNode& node)
{
    std::vector<const TsharkNode*> trees;
    for (const TsharkNode& child : node.m_Children)
    {
        if (child.m_strName == kOptionTree)
            trees.push_back(&child);
        else if (child.m_strName == "dhcpv6")
            return OptionTrees(child);
    }
    return trees;
}

void Add(Leaves& leaves, const char* field, std::string text)
{
    leaves.emplace_back(field, std::move(text));
}

// Veyra's value as the leaves tshark shows of it. Nullopt where the two
// cannot be compared leaf by leaf (tshark shows no typed field of its own,
// or the value is hex).
std::optional<Leaves> ExpectedLeaves(std::uint16_t code, const Json& value)
{
    const Dhcpv6Row* row = kDhcpv6Options.Find(code);
    if (row == nullptr)
        return std::nullopt;
    Leaves leaves;
    using T = ValueType;
    switch (row->type)
    {
    case T::Duid:
    {
        const long long type = value.value("type", 0LL);
        Add(leaves, "dhcpv6.duid.type", std::to_string(type));
        if (type == 1 || type == 3)
        {
            const char* hardware = type == 1 ? "dhcpv6.duidllt.hwtype" : "dhcpv6.duidll.hwtype";
            Add(leaves, hardware, Number(value["hardware_type"]));
        }
        if (type == 1)
        {
            // tshark's absolute time: "Jan  1, 2026 00:00:00.000000000 UTC".
            const std::time_t time = 946684800 + value["time"].get<std::time_t>();
            std::tm parts{};
            gmtime_r(&time, &parts);
            char text[64];
            std::strftime(text, sizeof text, "%b %e, %Y %H:%M:%S.000000000 UTC", &parts);
            Add(leaves, "dhcpv6.duidllt.time", text);
            Add(leaves, "dhcpv6.duidllt.link_layer_addr",
                Without(Text(value["link_layer_address"]), ':'));
        }
        if (type == 3)
            Add(leaves, "dhcpv6.duidll.link_layer_addr",
                Without(Text(value["link_layer_address"]), ':'));
        if (type == 2)
        {
            Add(leaves, "dhcpv6.duiden.enterprise", Number(value["enterprise"]));
            Add(leaves, "dhcpv6.duiden.identifier", Text(value["identifier"]));
        }
        if (type == 4)
            Add(leaves, "dhcpv6.duiduuid.bytes", Without(Text(value["uuid"]), '-'));
        return leaves;
    }
    case T::IaNa:
        Add(leaves, "dhcpv6.iaid", Number(value["iaid"]));
        Add(leaves, "dhcpv6.iaid.t1", Number(value["t1"]));
        Add(leaves, "dhcpv6.iaid.t2", Number(value["t2"]));
        return leaves;
    case T::IaTa:
        Add(leaves, "dhcpv6.iata", Number(value["iaid"]));
        return leaves;
    case T::IaAddress:
        Add(leaves, "dhcpv6.iaaddr.ip", Text(value["address"]));
        Add(leaves, "dhcpv6.iaaddr.pref_lifetime", Number(value["preferred_lifetime"]));
        Add(leaves, "dhcpv6.iaaddr.valid_lifetime", Number(value["valid_lifetime"]));
        return leaves;
    case T::IaPrefix:
    {
        const std::string prefix = Text(value["prefix"]);
        const std::size_t slash = prefix.find('/');
        Add(leaves, "dhcpv6.iaprefix.pref_lifetime", Number(value["preferred_lifetime"]));
        Add(leaves, "dhcpv6.iaprefix.valid_lifetime", Number(value["valid_lifetime"]));
        Add(leaves, "dhcpv6.iaprefix.pref_len", prefix.substr(slash + 1));
        Add(leaves, "dhcpv6.iaprefix.pref_addr", prefix.substr(0, slash));
        return leaves;
    }
    case T::StatusCode6:
        Add(leaves, "dhcpv6.status_code", Number(value["code"]));
        if (!Text(value["message"]).empty())
            Add(leaves, "dhcpv6.status_msg", Text(value["message"]));
        return leaves;
    case T::OptionCodes:
        for (const Json& each : value)
            Add(leaves, "dhcpv6.requested_option_code", Number(each["code"]));
        return leaves;
    case T::Hundredths:
        Add(leaves, "dhcpv6.elapsed_time", std::to_string(value.get<long long>() * 10));
        return leaves;
    case T::RelayMessage:
        Add(leaves, "dhcpv6.msgtype", Number(value["msg_type"]));
        if (value.contains("transaction_id"))
        {
            Add(leaves, "dhcpv6.xid", Text(value["transaction_id"]));
            return leaves;
        }
        Add(leaves, "dhcpv6.hopcount", Number(value["hop_count"]));
        Add(leaves, "dhcpv6.linkaddr", Text(value["link_address"]));
        Add(leaves, "dhcpv6.peeraddr", Text(value["peer_address"]));
        return leaves;
    case T::Address6:
        Add(leaves, kAnyField, Text(value));
        return leaves;
    case T::Addresses6:
        for (const Json& each : value)
            Add(leaves, kAnyField, Text(each));
        return leaves;
    case T::DomainList6:
        for (const Json& each : value)
            Add(leaves, kAnyName, Text(each));
        return leaves;
    case T::DomainName6:
        Add(leaves, kAnyName, Text(value));
        return leaves;
    case T::ClientFqdn6:
        Add(leaves, "dhcpv6.client_fqdn_flags", Number(value["flags"]));
        if (!Text(value["name"]).empty())
            Add(leaves, kAnyName, Text(value["name"]));
        return leaves;
    case T::NtpServer:
        for (const Json& each : value)
        {
            const long long sub = each["code"].get<long long>();
            Add(leaves, "dhcpv6.ntpserver.option.type", std::to_string(sub));
            if (sub == 1)
                Add(leaves, "dhcpv6.ntpserver.addr", Text(each["value"]));
            else if (sub == 2)
                Add(leaves, "dhcpv6.ntpserver.mc_addr", Text(each["value"]));
            else if (sub == 3)
                Add(leaves, kAnyName, Text(each["value"]));
        }
        return leaves;
    case T::VendorOptions6:
        Add(leaves, "dhcpv6.vendoropts.enterprise", Number(value["enterprise"]));
        for (const Json& each : value["suboptions"])
        {
            Add(leaves, "dhcpv6.vendoropts.enterprise.option_code", Number(each["code"]));
            Add(leaves, "dhcpv6.vendoropts.enterprise.option_data", Text(each["hex"]));
        }
        return leaves;
    case T::VendorClass6:
        Add(leaves, "dhcpv6.vendorclass.enterprise", Number(value["enterprise"]));
        return leaves;
    case T::UserClasses6:
        for (const Json& each : value)
        {
            const std::string text = Text(each);
            Add(leaves, "dhcpv6.userclass.opaque_data",
                HexText(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
        }
        return leaves;
    case T::RemoteId:
        Add(leaves, "dhcpv6.remoteid.enterprise", Number(value["enterprise"]));
        Add(leaves, "dhcpv6.remoteid_enterprise_id", Text(value["remote_id"]));
        return leaves;
    case T::Authentication:
        Add(leaves, "dhcpv6.auth.protocol", Number(value["protocol"]));
        Add(leaves, "dhcpv6.auth.algorithm", Number(value["algorithm"]));
        Add(leaves, "dhcpv6.auth.rdm", Number(value["rdm"]));
        Add(leaves, "dhcpv6.auth.replay_detection", Text(value["replay_detection"]));
        return leaves;
    case T::UInt8:
    case T::UInt16:
    case T::UInt32:
    case T::Seconds:
    case T::Text:
        Add(leaves, kAnyField, value.is_string() ? Text(value) : Number(value));
        return leaves;
    case T::NamedUInt8:
        Add(leaves, kAnyField, Number(value["code"]));
        return leaves;
    case T::UInt16List:
        for (const Json& each : value)
            Add(leaves, kAnyField, Number(each));
        return leaves;
    case T::Options6:
    case T::Presence:
        return leaves;
    default:
        return std::nullopt;
    }
}

class Comparer
{
public:
    Comparer(std::size_t frame, Dhcpv6Comparison& comparison)
        : m_frame(frame), m_comparison(comparison)
    {
    }

    void Options(const std::string& where, const Json& veyra, const TsharkNode& tshark)
    {
        const std::vector<const TsharkNode*> trees = OptionTrees(tshark);
        if (trees.size() != veyra.size())
            Differ(where + "options", std::to_string(veyra.size()), std::to_string(trees.size()));
        for (std::size_t i = 0; i < veyra.size() && i < trees.size(); ++i)
            Option(where, i, veyra[i], *trees[i]);
    }

private:
    void Option(const std::string& outer, std::size_t index, const Json& veyra,
                const TsharkNode& tree)
    {
        const auto code = veyra["code"].get<std::uint16_t>();
        const std::string where =
            outer + "option " + std::to_string(code) + " #" + std::to_string(index);
        ++m_comparison.options;
        const TsharkNode* type = tree.Find("dhcpv6.option.type");
        if (type == nullptr || type->m_strText != std::to_string(code))
        {
            Differ(where + ": code", std::to_string(code), type != nullptr ? type->m_strText : "");
            return;
        }
        std::vector<std::string> complaints;
        for (const TsharkNode& child : tree.m_Children)
            if (child.m_strName != kOptionTree)
                Complaints(child, complaints);
        Leaves shown;
        CollectLeaves(tree, shown);
        // Nothing but code and length: tshark has no dissection of these
        // bytes. A row of hex claims no structure for tshark to gainsay.
        const Dhcpv6Row* row = kDhcpv6Options.Find(code);
        if ((shown.empty() && OptionTrees(tree).empty() && complaints.empty()) || row == nullptr ||
            row->type == ValueType::Bytes)
            return;
        const bool malformed = veyra.value("malformed", false);
        if (malformed != !complaints.empty())
        {
            Differ(where + ": malformed", malformed ? "malformed" : "well-formed",
                   complaints.empty() ? "no complaint" : complaints.front());
            return;
        }
        if (malformed)
            return;
        const Json& value = veyra["value"];
        const std::optional<Leaves> expected = ExpectedLeaves(code, value);
        if (expected)
            Compare(where, *expected, shown);
        if (value.is_array() && row->type == ValueType::Options6)
            Options(where + " > ", value, tree);
        else if (value.is_object() && value.contains("options"))
            Options(where + " > ", value["options"], tree);
    }

    void Compare(const std::string& where, const Leaves& expected, const Leaves& shown)
    {
        bool any = false;
        for (const auto& leaf : expected)
            any = any || leaf.first == kAnyField;
        Leaves kept;
        for (const auto& leaf : shown)
        {
            bool known = any;
            for (const auto& each : expected)
                known = known || each.first == leaf.first;
            if (known)
                kept.push_back(leaf);
        }
        for (std::size_t i = 0; i < expected.size() || i < kept.size(); ++i)
        {
            const std::string field = i < expected.size() ? expected[i].first : kept[i].first;
            const std::string mine = i < expected.size() ? expected[i].second : "(none)";
            const std::string theirs = i < kept.size() ? kept[i].second : "(none)";
            ++m_comparison.leaves;
            if (mine != theirs || (i < kept.size() && i < expected.size() && !any &&
                                   kept[i].first != expected[i].first))
                Differ(where + ": " + (field.empty() ? "value" : field), mine, theirs);
        }
    }

    void Differ(std::string where, std::string veyra, std::string tshark)
    {
        m_comparison.differences.push_back(
            {m_frame, std::move(where), std::move(veyra), std::move(tshark)});
    }

    std::size_t m_frame;
    Dhcpv6Comparison& m_comparison;
};

// The DHCPv6 message's bytes in a frame's layers, from tshark -x.
std::optional<std::vector<std::uint8_t>> MessageBytes(const TsharkNode& layers)
{
    for (const TsharkNode& layer : layers.m_Children)
    {
        if (layer.m_strName != "dhcpv6_raw" || layer.m_Children.empty())
            continue;
        const std::string& hex = layer.m_Children.front().m_strText;
        std::vector<std::uint8_t> bytes;
        for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
            bytes.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
        return bytes;
    }
    return std::nullopt;
}
} // namespace

bool CompareDhcpv6WithTshark(const std::string& pcapPath, Dhcpv6Comparison& comparison,
                             std::string& error)
{
    std::vector<TsharkNode> frames;
    if (!RunTshark(pcapPath, {}, frames, error, true))
        return false;
    for (std::size_t i = 0; i < frames.size(); ++i)
    {
        const TsharkNode* layer = nullptr;
        for (const TsharkNode& each : frames[i].m_Children)
            if (each.m_strName == "dhcpv6" && layer == nullptr)
                layer = &each;
        const std::optional<std::vector<std::uint8_t>> bytes = MessageBytes(frames[i]);
        if (layer == nullptr || !bytes)
            continue;
        const std::optional<Dhcpv6Message> message =
            ParseDhcpv6Message(bytes->data(), bytes->size());
        if (!message)
        {
            error = "frame " + std::to_string(i + 1) + ": the DHCPv6 message does not parse";
            return false;
        }
        ++comparison.messages;
        Json options = Json::array();
        for (const ExtendedOption& option : DecodeAllOptions6(message->options))
        {
            Json entry = {{"code", option.m_nCode}, {"value", option.m_value}};
            if (option.m_bMalformed)
                entry["malformed"] = true;
            options.push_back(std::move(entry));
        }
        Comparer(i + 1, comparison).Options("", options, *layer);
    }
    return true;
}
