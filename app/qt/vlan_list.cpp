#include "app/qt/vlan_list.h"

#include "core/wire/vlan_list.h"

std::optional<std::vector<std::uint16_t>> parseVlanList(const QString& text)
{
    std::vector<std::uint16_t> vlans;
    if (!text.trimmed().isEmpty() && ReadVlanList(text.toStdString(), vlans))
        return std::nullopt;
    return vlans;
}

QString vlanRangesText(const std::vector<std::uint16_t>& vlans)
{
    return QString::fromStdString(VlanListText(vlans, ", "));
}
