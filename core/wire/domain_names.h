// RFC 1035 domain names in DHCP options (RFC 3397 and the options that follow
// it): labels, each after its length byte, ended by the root label, with
// compression pointers that refer to earlier bytes of the same option.
//
// The bytes are untrusted: a pointer must point strictly backwards from where
// it stands, which rules out loops, and every name is bounded as RFC 1035 bounds it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// RFC 1035 2.3.4: label and name limits, in octets of the wire form.
inline constexpr std::size_t kMaxDomainLabel = 63;
inline constexpr std::size_t kMaxDomainName = 255;

// The names of a list that fills the bytes exactly ("lab.example", without the
// final dot; the root name alone is "."), or nullopt when the bytes are empty
// or hold anything else: a label of 64 octets or more, a name longer than 255
// octets, a pointer that does not point strictly backwards, a name cut short.
// Labels keep their bytes as they are, dots and zero bytes included.
std::optional<std::vector<std::string>> ReadDomainList(const std::uint8_t* pData,
                                                       std::size_t nLength);

// One name in uncompressed wire form (RFC 4702's client FQDN): labels up to the
// root label, or up to the end of the bytes for a partial name, which gets no
// final dot either way. Nullopt for a pointer, a label of 64 octets or more, a
// name longer than 255 octets or a label cut short, or bytes after the root label.
std::optional<std::string> ReadUncompressedName(const std::uint8_t* pData, std::size_t nLength);
