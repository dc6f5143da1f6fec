// The one step from an adapter's option bytes to the rows of its results
// list, over the options every front end asks for (kRequestedOptions).
#pragma once

#include "core/model/dhcp_option.h"
#include "core/model/lease.h"
#include "core/options/dhcpv4_options.h"

// Each requested option the map holds with data, decoded, in request order.
DhcpOptionList DecodeRequestedOptions(const OptionMap& options);
