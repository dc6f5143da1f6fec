#include "core/wire/duid.h"

#include "core/wire/byte_order.h"
#include "core/wire/hex_text.h"

#include <algorithm>
#include <cstdio>

namespace
{
constexpr std::size_t kMinDuid = 2;
constexpr std::size_t kMaxDuid = 130;
constexpr std::size_t kUuidSize = 16;
constexpr std::int64_t kDaysFrom1970To2000 = 10957;

// Days since 1970-01-01 to a civil date (proleptic Gregorian), after
// Howard Hinnant's public-domain algorithm.
void CivilFromDays(std::int64_t days, std::int64_t& year, unsigned& month, unsigned& day)
{
    days += 719468;
    const std::int64_t era = days / 146097;
    const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned shifted = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * shifted + 2) / 5 + 1;
    month = shifted < 10 ? shifted + 3 : shifted - 9;
    year = static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0);
}
} // namespace

std::optional<Duid> ReadDuid(const std::uint8_t* data, std::size_t length)
{
    if (data == nullptr || length < kMinDuid || length > kMaxDuid)
        return std::nullopt;
    Duid duid;
    duid.type = ReadBe16(data);
    std::size_t fixed = 2;
    switch (duid.type)
    {
    case kDuidLlt:
        if (length < 8)
            return std::nullopt;
        duid.hardwareType = ReadBe16(data + 2);
        duid.time = ReadBe32(data + 4);
        fixed = 8;
        break;
    case kDuidEn:
        if (length < 6)
            return std::nullopt;
        duid.enterprise = ReadBe32(data + 2);
        fixed = 6;
        break;
    case kDuidLl:
        if (length < 4)
            return std::nullopt;
        duid.hardwareType = ReadBe16(data + 2);
        fixed = 4;
        break;
    case kDuidUuid:
        if (length != 2 + kUuidSize)
            return std::nullopt;
        break;
    default:
        break;
    }
    duid.rest = data + fixed;
    duid.restLength = length - fixed;
    return duid;
}

std::string DuidTimeText(std::uint32_t secondsSince2000)
{
    const std::int64_t days = secondsSince2000 / 86400 + kDaysFrom1970To2000;
    const std::uint32_t second = secondsSince2000 % 86400;
    std::int64_t year = 0;
    unsigned month = 0;
    unsigned day = 0;
    CivilFromDays(days, year, month, day);
    char text[48];
    std::snprintf(text, sizeof text, "%04lld-%02u-%02u %02u:%02u:%02u UTC",
                  static_cast<long long>(year), month, day, second / 3600, second / 60 % 60,
                  second % 60);
    return text;
}

std::string UuidText(const std::uint8_t* bytes)
{
    std::string text;
    text.reserve(36);
    for (std::size_t i = 0; i < kUuidSize; ++i)
    {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            text += '-';
        AppendHexByte(text, bytes[i]);
    }
    return text;
}

std::vector<std::uint8_t> MakeDuidLl(const std::array<std::uint8_t, 6>& mac)
{
    constexpr std::uint8_t kHardwareEthernet = 1;
    std::vector<std::uint8_t> duid(4 + mac.size());
    duid[1] = kDuidLl;
    duid[3] = kHardwareEthernet;
    std::copy(mac.begin(), mac.end(), duid.begin() + 4);
    return duid;
}
