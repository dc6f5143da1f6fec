#include "core/wire/bootp_message.h"

#include "core/wire/byte_order.h"

#include <algorithm>

namespace
{
constexpr std::size_t kOpOffset = 0;
constexpr std::size_t kHardwareTypeOffset = 1;
constexpr std::size_t kHardwareLengthOffset = 2;
constexpr std::size_t kTransactionIdOffset = 4;
constexpr std::size_t kFlagsOffset = 10;
constexpr std::size_t kClientAddressOffset = 12;
constexpr std::size_t kYourAddressOffset = 16;
constexpr std::size_t kServerAddressOffset = 20;
constexpr std::size_t kClientHardwareOffset = 28;
constexpr std::size_t kServerNameOffset = 44;
constexpr std::size_t kServerNameSize = 64;
constexpr std::size_t kFileOffset = 108;
constexpr std::size_t kFileSize = 128;
constexpr std::size_t kCookieOffset = kBootpHeaderSize;
constexpr std::size_t kOptionsOffset = kCookieOffset + 4;

constexpr std::uint8_t kMagicCookie[4] = {99, 130, 83, 99};
constexpr std::uint8_t kOptionPad = 0;
constexpr std::uint8_t kOptionEnd = 255;
constexpr std::size_t kMaxOptionPart = 255;

// Option 52's values (RFC 2132 9.3).
constexpr std::uint8_t kOverloadFile = 1;
constexpr std::uint8_t kOverloadServerName = 2;

void WriteUint32(std::uint8_t* p, std::uint32_t nValue)
{
    p[0] = static_cast<std::uint8_t>(nValue >> 24);
    p[1] = static_cast<std::uint8_t>(nValue >> 16);
    p[2] = static_cast<std::uint8_t>(nValue >> 8);
    p[3] = static_cast<std::uint8_t>(nValue);
}

// Adds the options of one field to the map, joining repeated codes. False when
// an option's length (or the length byte itself) runs past the field.
bool ReadOptionField(const std::uint8_t* pField, std::size_t nSize, OptionMap& options)
{
    std::size_t nAt = 0;
    while (nAt < nSize)
    {
        const std::uint8_t nCode = pField[nAt++];
        if (nCode == kOptionPad)
            continue;
        if (nCode == kOptionEnd)
            return true;
        if (nAt == nSize)
            return false;
        const std::size_t nLength = pField[nAt++];
        if (nLength > nSize - nAt)
            return false;
        OptionBytes& bytes = options[nCode];
        bytes.insert(bytes.end(), pField + nAt, pField + nAt + nLength);
        nAt += nLength;
    }
    return true;
}

void WriteOption(std::uint8_t nCode, const OptionBytes& bytes, std::vector<std::uint8_t>& out)
{
    std::size_t nAt = 0;
    do
    {
        const std::size_t nPart = std::min(kMaxOptionPart, bytes.size() - nAt);
        out.push_back(nCode);
        out.push_back(static_cast<std::uint8_t>(nPart));
        out.insert(out.end(), bytes.begin() + static_cast<std::ptrdiff_t>(nAt),
                   bytes.begin() + static_cast<std::ptrdiff_t>(nAt + nPart));
        nAt += nPart;
    } while (nAt < bytes.size());
}
} // namespace

std::optional<BootpMessage> ParseBootpMessage(const std::uint8_t* pData, std::size_t nSize)
{
    if (pData == nullptr || nSize < kOptionsOffset || nSize > kMaxBootpMessage)
        return std::nullopt;
    if (!std::equal(std::begin(kMagicCookie), std::end(kMagicCookie), pData + kCookieOffset))
        return std::nullopt;

    BootpMessage message;
    message.m_nOp = pData[kOpOffset];
    message.m_nHardwareType = pData[kHardwareTypeOffset];
    message.m_nHardwareLength = pData[kHardwareLengthOffset];
    message.m_nTransactionId = ReadBe32(pData + kTransactionIdOffset);
    message.flags = ReadBe16(pData + kFlagsOffset);
    message.m_nClientAddress = ReadBe32(pData + kClientAddressOffset);
    message.m_nYourAddress = ReadBe32(pData + kYourAddressOffset);
    message.m_nServerAddress = ReadBe32(pData + kServerAddressOffset);
    std::copy_n(pData + kClientHardwareOffset, message.m_ClientHardware.size(),
                message.m_ClientHardware.begin());

    OptionMap& options = message.m_mapOptions;
    if (!ReadOptionField(pData + kOptionsOffset, nSize - kOptionsOffset, options))
        return std::nullopt;

    // Only the options field may say that file and sname hold options too, and
    // only with one byte of 1, 2 or 3; otherwise they are plain text fields.
    std::uint8_t nOverload = 0;
    const auto overload = options.find(kOptionOverload);
    if (overload != options.end())
    {
        if (overload->second.size() == 1 && overload->second[0] <= 3)
            nOverload = overload->second[0];
        options.erase(overload);
    }
    if ((nOverload & kOverloadFile) != 0 &&
        !ReadOptionField(pData + kFileOffset, kFileSize, options))
        return std::nullopt;
    if ((nOverload & kOverloadServerName) != 0 &&
        !ReadOptionField(pData + kServerNameOffset, kServerNameSize, options))
        return std::nullopt;
    // An overload option inside file or sname has no meaning.
    options.erase(kOptionOverload);
    return message;
}

std::uint8_t MessageType(const BootpMessage& message)
{
    const auto type = message.m_mapOptions.find(kOptionMessageType);
    if (type == message.m_mapOptions.end() || type->second.size() != 1)
        return 0;
    return type->second[0];
}

std::vector<std::uint8_t> SerializeBootpMessage(const BootpMessage& message)
{
    std::vector<std::uint8_t> out(kOptionsOffset);
    out[kOpOffset] = message.m_nOp;
    out[kHardwareTypeOffset] = message.m_nHardwareType;
    out[kHardwareLengthOffset] = message.m_nHardwareLength;
    WriteUint32(&out[kTransactionIdOffset], message.m_nTransactionId);
    out[kFlagsOffset] = static_cast<std::uint8_t>(message.flags >> 8);
    out[kFlagsOffset + 1] = static_cast<std::uint8_t>(message.flags);
    WriteUint32(&out[kClientAddressOffset], message.m_nClientAddress);
    WriteUint32(&out[kYourAddressOffset], message.m_nYourAddress);
    WriteUint32(&out[kServerAddressOffset], message.m_nServerAddress);
    std::copy(message.m_ClientHardware.begin(), message.m_ClientHardware.end(),
              out.begin() + kClientHardwareOffset);
    std::copy(std::begin(kMagicCookie), std::end(kMagicCookie), out.begin() + kCookieOffset);

    for (const auto& [nCode, bytes] : message.m_mapOptions)
    {
        if (nCode != kOptionPad && nCode != kOptionEnd && nCode != kOptionOverload)
            WriteOption(nCode, bytes, out);
    }
    out.push_back(kOptionEnd);
    if (out.size() < kMinBootpMessage)
        out.resize(kMinBootpMessage, kOptionPad);
    return out;
}

std::vector<std::uint8_t> BuildInformRequest(const InformRequest& request)
{
    BootpMessage message;
    message.m_nOp = kBootRequest;
    message.m_nHardwareType = request.m_nHardwareType;
    const std::size_t nHardwareLength =
        std::min(request.m_HardwareAddress.size(), message.m_ClientHardware.size());
    message.m_nHardwareLength = static_cast<std::uint8_t>(nHardwareLength);
    std::copy_n(request.m_HardwareAddress.begin(), nHardwareLength,
                message.m_ClientHardware.begin());
    message.m_nTransactionId = request.m_nTransactionId;
    message.m_nClientAddress = request.m_nClientAddress;

    OptionMap& options = message.m_mapOptions;
    options[kOptionMessageType] = {kDhcpInform};
    OptionBytes& clientId = options[kOptionClientId];
    clientId.push_back(request.m_nHardwareType);
    clientId.insert(clientId.end(), request.m_HardwareAddress.begin(),
                    request.m_HardwareAddress.begin() +
                        static_cast<std::ptrdiff_t>(nHardwareLength));
    options[kOptionParameterList] = request.m_RequestedOptions;
    options[kOptionMaxMessageSize] = {static_cast<std::uint8_t>(request.m_nMaxMessageSize >> 8),
                                      static_cast<std::uint8_t>(request.m_nMaxMessageSize)};
    return SerializeBootpMessage(message);
}
