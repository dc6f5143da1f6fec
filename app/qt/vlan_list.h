// The VLAN field of "Find DHCP Servers...": which VLANs of a trunk to ask.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// The VLANs of "10, 20, 100-199" (ids 1 to 4094, ranges ascending), ascending
// and without duplicates; blank text is the untagged link alone (no VLAN).
// Empty when the text is not such a list.
std::optional<std::vector<std::uint16_t>> parseVlanList(const QString& text);

// "10, 20, 100-199": the ascending VLANs with runs as ranges.
QString vlanRangesText(const std::vector<std::uint16_t>& vlans);
