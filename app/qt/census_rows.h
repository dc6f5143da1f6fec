// A census as "Find DHCP Servers..." shows it: what is wrong first (a second
// giver of a kind, a conflict, a server without id), then a table per family
// asked (DHCPv4 servers, DHCPv6 servers, IPv6 routers) with a row of details
// per responder, VLAN by VLAN, and a line for each VLAN where none of the
// family answered, with what was seen there instead. Peer texts go through
// the peer text rule.
#pragma once

#include "core/wire/census.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

struct CensusTable
{
    CensusFamily family;
    QString title; // "DHCPv4 servers", "DHCPv6 servers", "IPv6 routers"
    QStringList headers;
    QList<QStringList> rows;
    QStringList silences; // "No DHCPv6 server answered: 2 Advertises to another client."
};

// The tables of the families the census asked, in the order above.
std::vector<CensusTable> censusTables(const CensusResult& result);

// One sentence per conflict and per server without id (an Advertise
// without server DUID is dropped, so those are counted), DHCPv4's first.
QStringList censusFindings(const CensusResult& result);

// One sentence per family where more than one answered on a VLAN, naming
// the VLANs on a trunk.
QStringList censusWarnings(const CensusResult& result);

// "2 DHCP servers, 1 DHCPv6 server and no IPv6 router", of the families
// asked, across all VLANs.
QString censusCounts(const CensusResult& result);
