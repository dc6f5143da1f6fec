// ServerTableModel: the servers a discovery found, one row each, as "Find
// DHCP Servers..." lists them: the server, the address offered, where the
// offer came from, the routers, DNS servers and subnet mask it offers, and
// its flags.
#pragma once

#include "core/wire/dhcp_discovery.h"

#include <QAbstractTableModel>

#include <vector>

class ServerTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column
    {
        ServerColumn,
        OfferedColumn,
        FromColumn,
        RoutersColumn,
        DnsColumn,
        MaskColumn,
        FlagsColumn,
        ColumnCount,
    };

    using QAbstractTableModel::QAbstractTableModel;

    void setServers(std::vector<DiscoveredServer> servers);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    std::vector<DiscoveredServer> m_servers;
};

// How the dialog names a server's path: "10.0.0.1 (02:00:00:00:00:01)".
QString offerPathText(const OfferPath& path);
// A server's id, or "(none)".
QString serverIdText(const DiscoveredServer& server);
