// Vendors' and boot clients' options: RFC 3925's enterprise blocks, client
// and machine identifiers, PXE's and PXELINUX's, and RFC 3118's
// authentication.
#include "core/options/decode/decoders.h"

#include "core/wire/byte_order.h"
#include "core/wire/hex_text.h"

#include <algorithm>
#include <iterator>

namespace
{
void AppendEnterprise(std::string& text, std::uint32_t enterprise)
{
    text += "enterprise ";
    AppendNumber(text, enterprise);
    text += ": ";
}
} // namespace

bool DecodeVendorClasses(const ExtendedRow*, OptionData data, ExtendedOption& option)
{
    const FieldView blocks(Framing::Enterprise, data.data, data.length);
    if (!blocks.IsWhole() || blocks.Count() == 0)
        return false;
    for (const Field& block : blocks)
    {
        const FieldView classes(Framing::Prefixed8, block.data, block.length);
        if (!classes.IsWhole() || classes.Count() == 0)
            return false;
    }
    option.m_value = Array(blocks.Count());
    auto& items = option.m_value.get_ref<Json::array_t&>();
    for (const Field& block : blocks)
    {
        Separate(option.m_strText, items.empty());
        AppendEnterprise(option.m_strText, block.tag);
        const FieldView classes(Framing::Prefixed8, block.data, block.length);
        Json hexes = Array(classes.Count());
        auto& hexItems = hexes.get_ref<Json::array_t&>();
        for (const Field& item : classes)
        {
            std::string hex = HexText(item.data, item.length);
            Separate(option.m_strText, hexItems.empty());
            option.m_strText += hex;
            hexItems.emplace_back(std::move(hex));
        }
        items.push_back(Object("enterprise", block.tag, "data", std::move(hexes)));
    }
    return true;
}

bool DecodeVendorSuboptions(const ExtendedRow*, OptionData data, ExtendedOption& option)
{
    const FieldView blocks(Framing::Enterprise, data.data, data.length);
    if (!blocks.IsWhole() || blocks.Count() == 0)
        return false;
    for (const Field& block : blocks)
        if (!FieldView(Framing::Tlv, block.data, block.length).IsWhole())
            return false;
    option.m_value = Array(blocks.Count());
    auto& items = option.m_value.get_ref<Json::array_t&>();
    for (const Field& block : blocks)
    {
        Separate(option.m_strText, items.empty());
        AppendEnterprise(option.m_strText, block.tag);
        const FieldView entries(Framing::Tlv, block.data, block.length);
        Json suboptions = Array(entries.Count());
        auto& subItems = suboptions.get_ref<Json::array_t&>();
        for (const Field& entry : entries)
        {
            std::string hex = HexText(entry.data, entry.length);
            Separate(option.m_strText, subItems.empty());
            AppendNumber(option.m_strText, entry.tag);
            option.m_strText += '=';
            option.m_strText += hex;
            subItems.push_back(Object("code", entry.tag, "hex", std::move(hex)));
        }
        items.push_back(Object("enterprise", block.tag, "suboptions", std::move(suboptions)));
    }
    return true;
}

bool DecodeClientId(const ExtendedRow*, OptionData data, ExtendedOption& option)
{
    constexpr std::uint8_t kEthernet = 1;
    constexpr std::size_t kEthernetLength = 6;
    if (data.length < 2)
        return false;
    const std::uint8_t type = data.data[0];
    option.m_strText = "type ";
    AppendNumber(option.m_strText, type);
    option.m_strText += ", ";
    if (type == kEthernet && data.length - 1 == kEthernetLength)
    {
        std::string address = MacText(data.data + 1, kEthernetLength);
        option.m_strText += address;
        option.m_value = Object("type", type, "address", std::move(address));
        return true;
    }
    std::string hex = HexText(data.data + 1, data.length - 1);
    option.m_strText += hex;
    option.m_value = Object("type", type, "hex", std::move(hex));
    return true;
}

// RFC 3118 2: protocol, algorithm, replay detection method, 64 bits of replay
// detection, then the protocol's authentication information.
bool DecodeAuthentication(const ExtendedRow*, OptionData data, ExtendedOption& option)
{
    constexpr std::size_t kHeader = 11;
    if (data.length < kHeader)
        return false;
    std::string replay = HexText(data.data + 3, 8);
    std::string information = HexText(data.data + kHeader, data.length - kHeader);
    std::string& text = option.m_strText;
    text = "protocol ";
    AppendNumber(text, data.data[0]);
    text += ", algorithm ";
    AppendNumber(text, data.data[1]);
    text += ", RDM ";
    AppendNumber(text, data.data[2]);
    text += ", replay detection 0x";
    text += replay;
    if (!information.empty())
    {
        text += ", information ";
        text += information;
    }
    option.m_value =
        Object("protocol", data.data[0], "algorithm", data.data[1], "rdm", data.data[2],
               "replay_detection", std::move(replay), "information", std::move(information));
    return true;
}

// RFC 4578 2.5: type 0, then a 16-byte UUID. PXE clients send the UUID of
// their SMBIOS, whose first three fields are little-endian: shown 8-4-4-4-12
// in that reading, as Wireshark shows it.
bool DecodeMachineId(const ExtendedRow*, OptionData data, ExtendedOption& option)
{
    static const std::uint8_t kOrder[] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    if (data.length != 1 + std::size(kOrder) || data.data[0] != 0)
        return false;
    std::string uuid;
    uuid.reserve(36);
    for (std::size_t i = 0; i < std::size(kOrder); ++i)
    {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            uuid += '-';
        AppendHexByte(uuid, data.data[1 + kOrder[i]]);
    }
    option.m_strText = "type 0, UUID ";
    option.m_strText += uuid;
    option.m_value = Object("type", 0, "uuid", std::move(uuid));
    return true;
}

// RFC 4578: the interface type (1 is UNDI), then its major and minor version.
bool DecodeInterfaceId(const ExtendedRow*, OptionData data, ExtendedOption& option)
{
    if (data.length != 3)
        return false;
    std::string& text = option.m_strText;
    if (data.data[0] == 1)
    {
        text = "UNDI ";
    }
    else
    {
        text = "type ";
        AppendNumber(text, data.data[0]);
        text += ", ";
    }
    AppendNumber(text, data.data[1]);
    text += '.';
    AppendNumber(text, data.data[2]);
    option.m_value = Object("type", data.data[0], "major", data.data[1], "minor", data.data[2]);
    return true;
}

// PXELINUX asks the server to confirm its options with these four bytes.
bool DecodePxelinuxMagic(const ExtendedRow*, OptionData data, ExtendedOption& option)
{
    static const std::uint8_t kMagic[] = {0xF1, 0x00, 0x74, 0x7E};
    if (data.length != std::size(kMagic) || !std::equal(data.data, data.data + data.length, kMagic))
        return false;
    option.m_strText = MacText(kMagic, std::size(kMagic));
    option.m_value = option.m_strText;
    return true;
}
