// CLinuxWindowServices: the window's services on a Linux desktop: the Linux
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

class CLinuxWindowServices final : public CWindowServices
{
public:
    // Starts reading the adapters on a thread of their own, so that the
    // reading overlaps Qt's start-up; the first ReadAdapters waits for it.
    CLinuxWindowServices();

    int ReadAdapters(AdapterList& adapters) override;
    std::optional<LeaseInterface> Interface(const std::string& strName) const override;
    std::shared_ptr<CLeaseSource> RequestLeases(bool bInform) override;
    bool CanInform() const override { return m_probeAccess == ProbeAccess::Usable; }
    bool CanDiscover() const override { return m_probeAccess == ProbeAccess::Usable; }
    QString ProbeAdvice() const override;
    std::function<int(DiscoveryResult&)> ServerDiscovery(const std::string& strName) override;

    QString AskSavePath(QWidget* pParent) override;
    void SetClipboardText(const QString& strText) override;
    QMessageBox::StandardButton ShowMessage(QWidget* pParent, QMessageBox::Icon icon,
                                            const QString& strText,
                                            QMessageBox::StandardButtons buttons) override;
    void OpenUrl(const QUrl& url) override;

private:
    const LinuxPaths m_paths;
    // veyra-probe beside this program's installation, and what this user may do with it.
    const std::string m_strProbePath;
    const ProbeAccess m_probeAccess;
    // The listing's own sources: a request reads fresh ones, as Veyra.exe
    // asks the DHCP client anew each time.
    std::unique_ptr<CRunLeaseSources> m_pListingLeases;
    CLinuxAdapterSource m_adapters;
    // The first Read's status and list, until the first ReadAdapters takes
    // them. Last, so that its destruction waits for the read before the
    // source and its leases go.
    std::future<std::pair<int, AdapterList>> m_firstRead;
};
