#include "app/qt/vlan_list.h"

#include "core/wire/census.h"

#include <QRegularExpression>
#include <QStringList>

#include <bitset>

std::optional<std::vector<std::uint16_t>> parseVlanList(const QString& text)
{
    std::vector<std::uint16_t> vlans;
    if (text.trimmed().isEmpty())
        return vlans;
    // An id has no leading zero; four digits bound it before it is read.
    static const QRegularExpression item(
        R"(^\s*([1-9][0-9]{0,3})(?:\s*-\s*([1-9][0-9]{0,3}))?\s*$)");
    std::bitset<kMaxVlanId + 1> asked;
    for (const QString& part : text.split(','))
    {
        const QRegularExpressionMatch match = item.match(part);
        if (!match.hasMatch())
            return std::nullopt;
        const unsigned first = match.captured(1).toUInt();
        const unsigned last = match.hasCaptured(2) ? match.captured(2).toUInt() : first;
        if (last < first || last > kMaxVlanId)
            return std::nullopt;
        for (unsigned vlan = first; vlan <= last; ++vlan)
            asked.set(vlan);
    }
    for (std::uint16_t vlan = 1; vlan <= kMaxVlanId; ++vlan)
    {
        if (asked.test(vlan))
            vlans.push_back(vlan);
    }
    return vlans;
}

QString vlanRangesText(const std::vector<std::uint16_t>& vlans)
{
    QStringList ranges;
    for (std::size_t first = 0; first < vlans.size();)
    {
        std::size_t last = first;
        while (last + 1 < vlans.size() && vlans[last + 1] == vlans[last] + 1)
            ++last;
        ranges << (last == first ? QString::number(vlans[first])
                                 : QString("%1-%2").arg(vlans[first]).arg(vlans[last]));
        first = last + 1;
    }
    return ranges.join(", ");
}
