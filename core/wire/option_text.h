// DHCP options by the names dhclient writes in its lease file (and
// NetworkManager, with '_' for '-'), turned back into the option's bytes.
#pragma once

#include "core/model/lease.h"
#include "core/wire/option_value.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

// The code and bytes of an option given by its dhclient name ("domain-name-servers")
// or as "option-NNN" / "unknown-NNN" with a hex value; nullopt for a name not
// known or a value that does not parse.
std::optional<std::pair<std::uint8_t, OptionBytes>> EncodeOptionText(std::string_view name,
                                                                     std::string_view value);

// The code of an option given by its dhclient name, also of one whose text
// EncodeOptionText cannot read (dhcp-options(5) writes a few options in forms
// of their own); nullopt for a name not known.
std::optional<std::uint8_t> OptionTextCode(std::string_view name);

// The latest moment a lease file may name: 9999-12-31 23:59:59 UTC.
inline constexpr std::int64_t kLatestLeaseTime = 253402300799;

// The lease time (option 51) in seconds, when there is one and it is finite.
std::optional<std::uint32_t> FiniteLeaseSeconds(const OptionMap& options);

// Sets m_tObtained to the expiry less the lease time (option 51), when both are
// known and the lease is finite: the clients record only when a lease ends.
void DeriveLeaseStart(Lease& lease);
