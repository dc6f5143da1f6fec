#include "core/wire/geolocation.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
using Bytes = std::vector<std::uint8_t>;

std::optional<Geolocation> Read(const Bytes& bytes)
{
    return ReadGeolocation(bytes.data(), bytes.size());
}

TEST(ReadGeolocation, ReadsEveryFieldAtItsBits)
{
    // Latitude 47.5 and longitude -8.25, each uncertainty 18; altitude 400.5 m
    // with uncertainty 15; version 1, WGS84.
    const std::optional<Geolocation> location =
        Read({0x48, 0x5F, 0, 0, 0, 0x4B, 0xEF, 0x80, 0, 0, 0x13, 0xC0, 0x01, 0x90, 0x80, 0x41});
    ASSERT_TRUE(location);
    EXPECT_EQ(location->dLatitude, 47.5);
    EXPECT_EQ(location->nLatitudeUncertainty, 18);
    EXPECT_EQ(location->dLongitude, -8.25);
    EXPECT_EQ(location->nLongitudeUncertainty, 18);
    EXPECT_EQ(location->nAltitudeType, 1);
    EXPECT_EQ(location->nAltitudeUncertainty, 15);
    EXPECT_EQ(location->dAltitude, 400.5);
    EXPECT_EQ(location->nVersion, 1);
    EXPECT_EQ(location->nDatum, 1);
}

TEST(ReadGeolocation, SignsAndExtremes)
{
    const struct
    {
        const char* pszWhat;
        Bytes bytes;
        double dLatitude;
        double dLongitude;
        double dAltitude;
    } kCases[] = {
        {"SouthPoleDateLine",
         {0x03, 0x4C, 0, 0, 0, 0x01, 0x68, 0, 0, 0, 0, 0, 0, 0, 0, 0x02},
         -90,
         180,
         0},
        // The smallest step of each, below zero: every field bit set.
        {"AllOnes",
         {0x03, 0xFF, 0xFF, 0xFF, 0xFF, 0x03, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x3F, 0xFF, 0xFF, 0xFF,
          0x01},
         -1.0 / (1 << 25),
         -1.0 / (1 << 25),
         -1.0 / 256},
        {"AltitudeMinusOneAndAHalf",
         {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x10, 0x3F, 0xFF, 0xFE, 0x80, 0x41},
         0,
         0,
         -1.5},
        // The uncertainty bits next to each value do not leak into it.
        {"UncertaintiesAllOnes",
         {0xFC, 0, 0, 0, 0, 0xFC, 0, 0, 0, 0, 0x0F, 0xC0, 0, 0, 0, 0x41},
         0,
         0,
         0},
    };
    for (const auto& c : kCases)
    {
        const std::optional<Geolocation> location = Read(c.bytes);
        ASSERT_TRUE(location) << c.pszWhat;
        EXPECT_EQ(location->dLatitude, c.dLatitude) << c.pszWhat;
        EXPECT_EQ(location->dLongitude, c.dLongitude) << c.pszWhat;
        EXPECT_EQ(location->dAltitude, c.dAltitude) << c.pszWhat;
    }
}

TEST(ReadGeolocation, OnlySixteenBytes)
{
    EXPECT_FALSE(Read({}));
    EXPECT_FALSE(Read(Bytes(15)));
    EXPECT_FALSE(Read(Bytes(17)));
    EXPECT_FALSE(ReadGeolocation(nullptr, 16));
    EXPECT_TRUE(Read(Bytes(16)));
}
} // namespace
