#include "core/wire/geolocation.h"

#include "core/wire/byte_order.h"

namespace
{
constexpr std::size_t kLocationSize = 16;

// The value of the low nBits of nField read as two's complement, scaled by
// 2^-nFractionBits: RFC 6225 2.2's fixed point.
double FixedPoint(std::uint64_t nField, unsigned nBits, unsigned nFractionBits)
{
    const std::uint64_t nSign = std::uint64_t{1} << (nBits - 1);
    const std::int64_t nValue =
        static_cast<std::int64_t>(nField & (nSign - 1)) - static_cast<std::int64_t>(nField & nSign);
    return static_cast<double>(nValue) / static_cast<double>(std::uint64_t{1} << nFractionBits);
}

// Six bits of uncertainty, then a 34-bit coordinate with 25 fraction bits.
double Coordinate(const std::uint8_t* p, std::uint8_t& nUncertainty)
{
    nUncertainty = static_cast<std::uint8_t>(p[0] >> 2);
    const std::uint64_t nField = std::uint64_t{p[0] & 0x03u} << 32 | ReadBe32(p + 1);
    return FixedPoint(nField, 34, 25);
}
} // namespace

std::optional<Geolocation> ReadGeolocation(const std::uint8_t* pData, std::size_t nLength)
{
    if (pData == nullptr || nLength != kLocationSize)
        return std::nullopt;
    Geolocation location;
    location.dLatitude = Coordinate(pData, location.nLatitudeUncertainty);
    location.dLongitude = Coordinate(pData + 5, location.nLongitudeUncertainty);
    // AType (4 bits), AltUnc (6 bits), then a 30-bit altitude with 8 fraction bits.
    location.nAltitudeType = static_cast<std::uint8_t>(pData[10] >> 4);
    location.nAltitudeUncertainty =
        static_cast<std::uint8_t>((pData[10] & 0x0Fu) << 2 | pData[11] >> 6);
    location.dAltitude = FixedPoint(ReadBe32(pData + 11) & 0x3FFFFFFFu, 30, 8);
    location.nVersion = static_cast<std::uint8_t>(pData[15] >> 6);
    location.nDatum = static_cast<std::uint8_t>(pData[15] & 0x07u);
    return location;
}
