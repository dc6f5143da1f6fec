// LinuxWindowServices: the window's services on a Linux desktop: the Linux
// back ends, and Qt's own dialogs, clipboard and web browser. What needs
// CAP_NET_RAW runs in veyra-probe; the window holds no capability.
#pragma once

#include "app/qt/window_services.h"
#include "linux/adapter_source.h"
#include "linux/lease_memo.h"
#include "linux/linux_paths.h"
#include "linux/probe_client.h"

#include <future>
#include <utility>

class LinuxWindowServices final : public WindowServices
{
public:
    // Starts reading the adapters on a thread of their own, so that the
    // reading overlaps Qt's start-up; the first readAdapters waits for it.
    LinuxWindowServices();

    int readAdapters(AdapterList& adapters) override;
    std::optional<LeaseInterface> leaseInterface(const std::string& name) const override;
    std::shared_ptr<CLeaseSource> requestLeases(bool inform) override;
    std::function<Ipv6Part(const std::optional<LeaseInterface>&)> requestIpv6(bool inform) override;
    bool canInform() const override { return m_probeAccess == ProbeAccess::Usable; }
    bool canDiscover() const override { return m_probeAccess == ProbeAccess::Usable; }
    QString probeAdvice() const override;
    std::function<int(CensusResult&)>
    serverCensus(const std::string& name, const std::vector<std::uint16_t>& vlans) override;

    QString askSavePath(QWidget* parent) override;
    void setClipboardText(const QString& text) override;
    QMessageBox::StandardButton showMessage(QWidget* parent, QMessageBox::Icon icon,
                                            const QString& text,
                                            QMessageBox::StandardButtons buttons) override;
    void openUrl(const QUrl& url) override;

private:
    const LinuxPaths m_paths;
    // veyra-probe beside this program's installation, and what this user may do with it.
    const std::string m_probePath;
    const ProbeAccess m_probeAccess;
    // The listing's own sources: a request reads fresh ones, as Veyra.exe
    // asks the DHCP client anew each time.
    std::unique_ptr<CRunLeaseSources> m_listingLeases;
    CLinuxAdapterSource m_adapters;
    // The first read's status and list, until the first readAdapters takes
    // them. Last, so that its destruction waits for the read before the
    // source and its leases go.
    std::future<std::pair<int, AdapterList>> m_firstRead;
};
