// CWindowServices: everything the window asks of the machine and of the
// person in front of it, behind one seam. veyra-gui hands in the Linux back
// ends and Qt's dialogs; tests hand in fakes and record the effects.
#pragma once

#include "core/model/adapter_info.h"
#include "linux/dhcp_discover.h"
#include "linux/lease_source.h"

#include <QMessageBox>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QWidget;

class CWindowServices
{
public:
    virtual ~CWindowServices() = default;

    // Replaces the list with the machine's adapters, in the platform's order:
    // 0, or an errno value with the list empty.
    virtual int ReadAdapters(AdapterList& adapters) = 0;
    // The interface behind an adapter of the last ReadAdapters, by its name.
    virtual std::optional<LeaseInterface> Interface(const std::string& strName) const = 0;
    // The lease source of one request, read on a worker thread. The window
    // may be gone before the read ends, so the source owns all it uses.
    virtual std::shared_ptr<CLeaseSource> RequestLeases(bool bInform) = 0;
    // Whether this process may ask the DHCP server itself (DHCPINFORM), and
    // look for every DHCP server on a link: both go through veyra-probe.
    virtual bool CanInform() const = 0;
    virtual bool CanDiscover() const = 0;
    // When it may not ask DHCP servers: how the person gets to (a group to
    // join, a command, logging in again).
    virtual QString ProbeAdvice() const = 0;
    // The search for the DHCP servers on the interface (DHCPDISCOVER), run on
    // a worker thread: 0 when its wait ended, or an errno value. Like a lease
    // source, it owns all it uses.
    virtual std::function<int(DiscoveryResult&)> ServerDiscovery(const std::string& strName) = 0;

    // The path that Save As is to write; empty when the person cancelled.
    virtual QString AskSavePath(QWidget* pParent) = 0;
    virtual void SetClipboardText(const QString& strText) = 0;
    // A message box captioned "Veyra"; the button that closed it.
    virtual QMessageBox::StandardButton
    ShowMessage(QWidget* pParent, QMessageBox::Icon icon, const QString& strText,
                QMessageBox::StandardButtons buttons = QMessageBox::Ok) = 0;
    virtual void OpenUrl(const QUrl& url) = 0;
};
