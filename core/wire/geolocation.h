// RFC 6225 coordinate-based location (options 123 and 144): latitude,
// longitude and altitude as two's complement fixed point, each with its
// uncertainty (RFC 3825's resolution in version 0), the altitude's type,
// the version and the datum, in 16 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

struct Geolocation
{
    double dLatitude = 0;                   // degrees, north positive
    double dLongitude = 0;                  // degrees, east positive
    double dAltitude = 0;                   // in the unit of nAltitudeType
    std::uint8_t nLatitudeUncertainty = 0;  // the 6-bit field as sent
    std::uint8_t nLongitudeUncertainty = 0; // the 6-bit field as sent
    std::uint8_t nAltitudeUncertainty = 0;  // the 6-bit field as sent
    std::uint8_t nAltitudeType = 0;         // 0 none, 1 metres, 2 floors
    std::uint8_t nVersion = 0;              // 0 for RFC 3825's layout, 1 for RFC 6225's
    std::uint8_t nDatum = 0;                // 1 WGS84, 2 NAD83 with NAVD88, 3 NAD83 with MLLW
};

// The location in exactly 16 bytes, or nullopt for any other length.
std::optional<Geolocation> ReadGeolocation(const std::uint8_t* pData, std::size_t nLength);
