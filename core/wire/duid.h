// DHCP Unique Identifiers (RFC 8415 11, RFC 6355): a 16-bit type, then a
// layout of that type. Read in place from untrusted bytes; nothing is read
// past the length given.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum DuidType : std::uint16_t
{
    kDuidLlt = 1,  // link-layer address plus time
    kDuidEn = 2,   // enterprise number plus an identifier
    kDuidLl = 3,   // link-layer address
    kDuidUuid = 4, // RFC 6355: a 16-byte UUID
};

// The parts of a DUID. Which fields mean something depends on the type; an
// unknown type keeps its bytes after the type in rest.
struct Duid
{
    std::uint16_t type = 0;
    std::uint16_t hardwareType = 0;     // LLT, LL
    std::uint32_t time = 0;             // LLT: seconds since 2000-01-01 00:00:00 UTC
    std::uint32_t enterprise = 0;       // EN
    const std::uint8_t* rest = nullptr; // LLT, LL: the address; EN: the identifier;
    std::size_t restLength = 0;         // UUID: the 16 bytes; else what follows the type
};

// RFC 8415 11.1: a DUID is 2 to 130 bytes; the type's fixed fields must be
// whole, a UUID exactly 16 bytes. Nullopt otherwise.
std::optional<Duid> ReadDuid(const std::uint8_t* data, std::size_t length);

// "2026-12-10 19:40:47 UTC" for a DUID-LLT's time.
std::string DuidTimeText(std::uint32_t secondsSince2000);

// "8-4-4-4-12" lowercase hex of 16 bytes in network order (RFC 4122 3).
std::string UuidText(const std::uint8_t* bytes);

// A DUID-LL of an Ethernet address (RFC 8415 11.4): type 3, hardware type 1,
// the address.
std::vector<std::uint8_t> MakeDuidLl(const std::array<std::uint8_t, 6>& mac);
