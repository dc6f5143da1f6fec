// One option of a map, decoded by the extended decoder where its bytes fit
// its type: the value a summary shows beside other things (a server's subnet
// mask, routers, DNS servers and lease time), leaving malformed bytes to the
// forms that show every option.
#pragma once

#include "core/model/lease.h"
#include "core/options/extended_decoder.h"

#include <cstdint>
#include <optional>

// Empty where the map has no such option or its bytes do not fit its type.
std::optional<ExtendedOption> WellFormedOption(const OptionMap& options, std::uint8_t code);
