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

bool DecodeVendorClasses(const DecodeContext& context, OptionData data, ExtendedOption& option)
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
    if (context.typed)
        option.m_value = Array(blocks.Count());
    for (const Field& block : blocks)
    {
        Separate(option.m_strText, option.m_strText.empty());
        AppendEnterprise(option.m_strText, block.tag);
        const FieldView classes(Framing::Prefixed8, block.data, block.length);
        Json hexes = context.typed ? Array(classes.Count()) : Json();
        bool first = true;
        for (const Field& item : classes)
        {
            Separate(option.m_strText, first);
            first = false;
            const std::size_t start = option.m_strText.size();
            AppendHex(option.m_strText, item.data, item.length);
            if (context.typed)
                hexes.push_back(option.m_strText.substr(start));
        }
        if (context.typed)
            option.m_value.push_back(Object("enterprise", block.tag, "data", std::move(hexes)));
    }
    return true;
}

bool DecodeVendorSuboptions(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    const FieldView blocks(Framing::Enterprise, data.data, data.length);
    if (!blocks.IsWhole() || blocks.Count() == 0)
        return false;
    for (const Field& block : blocks)
        if (!FieldView(Framing::Tlv, block.data, block.length).IsWhole())
            return false;
    if (context.typed)
        option.m_value = Array(blocks.Count());
    for (const Field& block : blocks)
    {
        Separate(option.m_strText, option.m_strText.empty());
        AppendEnterprise(option.m_strText, block.tag);
        const FieldView entries(Framing::Tlv, block.data, block.length);
        Json suboptions = context.typed ? Array(entries.Count()) : Json();
        bool first = true;
        for (const Field& entry : entries)
        {
            Separate(option.m_strText, first);
            first = false;
            AppendNumber(option.m_strText, entry.tag);
            option.m_strText += '=';
            const std::size_t start = option.m_strText.size();
            AppendHex(option.m_strText, entry.data, entry.length);
            if (context.typed)
                suboptions.push_back(
                    Object("code", entry.tag, "hex", option.m_strText.substr(start)));
        }
        if (context.typed)
            option.m_value.push_back(
                Object("enterprise", block.tag, "suboptions", std::move(suboptions)));
    }
    return true;
}

bool DecodeClientId(const DecodeContext& context, OptionData data, ExtendedOption& option)
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
        if (context.typed)
            option.m_value = Object("type", type, "address", std::move(address));
        return true;
    }
    const std::size_t start = option.m_strText.size();
    AppendHex(option.m_strText, data.data + 1, data.length - 1);
    if (context.typed)
        option.m_value = Object("type", type, "hex", option.m_strText.substr(start));
    return true;
}

// RFC 3118 2: protocol, algorithm, replay detection method, 64 bits of replay
// detection, then the protocol's authentication information.
bool DecodeAuthentication(const DecodeContext& context, OptionData data, ExtendedOption& option)
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
    if (context.typed)
        option.m_value =
            Object("protocol", data.data[0], "algorithm", data.data[1], "rdm", data.data[2],
                   "replay_detection", std::move(replay), "information", std::move(information));
    return true;
}

// RFC 4578 2.5: type 0, then a 16-byte UUID. PXE clients send the UUID of
// their SMBIOS, whose first three fields are little-endian: shown 8-4-4-4-12
// in that reading, as Wireshark shows it.
bool DecodeMachineId(const DecodeContext& context, OptionData data, ExtendedOption& option)
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
    if (context.typed)
        option.m_value = Object("type", 0, "uuid", std::move(uuid));
    return true;
}

// RFC 4578: the interface type (1 is UNDI), then its major and minor version.
bool DecodeInterfaceId(const DecodeContext& context, OptionData data, ExtendedOption& option)
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
    if (context.typed)
        option.m_value = Object("type", data.data[0], "major", data.data[1], "minor", data.data[2]);
    return true;
}

// PXELINUX asks the server to confirm its options with these four bytes.
bool DecodePxelinuxMagic(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    static const std::uint8_t kMagic[] = {0xF1, 0x00, 0x74, 0x7E};
    if (data.length != std::size(kMagic) || !std::equal(data.data, data.data + data.length, kMagic))
        return false;
    option.m_strText = MacText(kMagic, std::size(kMagic));
    if (context.typed)
        option.m_value = option.m_strText;
    return true;
}
