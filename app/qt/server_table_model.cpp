#include "app/qt/server_table_model.h"

#include "core/options/well_formed_option.h"
#include "core/wire/address_text.h"
#include "core/wire/hex_text.h"

#include <QStringList>

namespace
{
QString addressText(std::uint32_t address)
{
    return QString::fromStdString(DottedQuad(address));
}

// The option's text as the extended decoder writes it (an address list with
// ", " between), empty where the offer has none it can read.
QString offeredText(const DiscoveredServer& server, std::uint8_t code)
{
    const std::optional<ExtendedOption> option = WellFormedOption(server.offer.m_mapOptions, code);
    return option ? QString::fromStdString(option->m_strText) : QString();
}

QString flagsText(const DiscoveredServer& server)
{
    QStringList flags;
    if ((server.flags & kServerConflict) != 0)
        flags << "conflict";
    if ((server.flags & kServerNoId) != 0)
        flags << "no server id";
    return flags.join(", ");
}

QString cellText(const DiscoveredServer& server, int column)
{
    switch (column)
    {
    case ServerTableModel::ServerColumn:
        return serverIdText(server);
    case ServerTableModel::OfferedColumn:
        return addressText(server.offer.m_nYourAddress.value_or(0));
    case ServerTableModel::FromColumn:
        return offerPathText(server.path);
    case ServerTableModel::RoutersColumn:
        return offeredText(server, kOptionRouters);
    case ServerTableModel::DnsColumn:
        return offeredText(server, kOptionDnsServers);
    case ServerTableModel::MaskColumn:
        return offeredText(server, kOptionSubnetMask);
    case ServerTableModel::FlagsColumn:
        return flagsText(server);
    }
    return QString();
}
} // namespace

QString offerPathText(const OfferPath& path)
{
    return addressText(path.address) + " (" +
           QString::fromStdString(MacText(path.mac.data(), path.mac.size(), HexCase::Upper)) + ")";
}

QString serverIdText(const DiscoveredServer& server)
{
    return server.serverId ? addressText(*server.serverId) : QString("(none)");
}

void ServerTableModel::setServers(std::vector<DiscoveredServer> servers)
{
    beginResetModel();
    m_servers = std::move(servers);
    endResetModel();
}

int ServerTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_servers.size());
}

int ServerTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ServerTableModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount())
        return QVariant();
    return cellText(m_servers[static_cast<std::size_t>(index.row())], index.column());
}

QVariant ServerTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char* const kHeaders[ColumnCount] = {
        "DHCP Server", "Offered Address", "Offer From", "Routers",
        "DNS Servers", "Subnet Mask",     "Flags"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= ColumnCount)
        return QVariant();
    return QString(kHeaders[section]);
}
