// WindowServices: everything the window asks of the machine and of the
// person in front of it, behind one seam. veyra-gui hands in the Linux back
// ends and Qt's dialogs; tests hand in fakes and record the effects.
#pragma once

#include "core/model/adapter_info.h"
#include "core/model/ipv6_rows.h"
#include "core/wire/census.h"
#include "linux/lease_source.h"

#include <QMessageBox>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QWidget;

class WindowServices
{
public:
    virtual ~WindowServices() = default;

    // Replaces the list with the machine's adapters, in the platform's order:
    // 0, or an errno value with the list empty.
    virtual int readAdapters(AdapterList& adapters) = 0;
    // The interface behind an adapter of the last readAdapters, by its name.
    virtual std::optional<LeaseInterface> leaseInterface(const std::string& name) const = 0;
    // The lease source of one request, read on a worker thread. The window
    // may be gone before the read ends, so the source owns all it uses.
    virtual std::shared_ptr<CLeaseSource> requestLeases(bool inform) = 0;
    // The IPv6 side of one request, read on the same worker thread: the
    // DHCPv6 lease, the router advertisements and, where inform, the answer
    // to an Information-request. It owns all it uses, as the lease source.
    virtual std::function<Ipv6Part(const std::optional<LeaseInterface>&)>
    requestIpv6(bool inform) = 0;
    // Whether this process may ask the DHCP server itself (DHCPINFORM), and
    // look for every DHCP server on a link: both go through veyra-probe.
    virtual bool canInform() const = 0;
    virtual bool canDiscover() const = 0;
    // When it may not ask DHCP servers: how the person gets to (a group to
    // join, a command, logging in again).
    virtual QString probeAdvice() const = 0;
    // The census of the interface's link (DHCPv4 and DHCPv6 servers, IPv6
    // routers), untagged or on those VLANs of a trunk, run on a worker thread
    // for kDefaultDiscoveryWait: 0 when its wait ended, or an errno value.
    // Like a lease source, it owns all it uses.
    virtual std::function<int(CensusResult&)>
    serverCensus(const std::string& name, const std::vector<std::uint16_t>& vlans) = 0;

    // The path that Save As is to write; empty when the person cancelled.
    virtual QString askSavePath(QWidget* parent) = 0;
    virtual void setClipboardText(const QString& text) = 0;
    // A message box captioned "Veyra"; the button that closed it.
    virtual QMessageBox::StandardButton
    showMessage(QWidget* parent, QMessageBox::Icon icon, const QString& text,
                QMessageBox::StandardButtons buttons = QMessageBox::Ok) = 0;
    virtual void openUrl(const QUrl& url) = 0;
};
