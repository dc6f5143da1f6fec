// CLinuxWindowServices: the window's services on a Linux desktop: the Linux
// back ends, and Qt's own dialogs, clipboard and web browser.
#pragma once

#include "app/qt/window_services.h"
#include "linux/adapter_source.h"
#include "linux/lease_memo.h"
#include "linux/linux_paths.h"

class CLinuxWindowServices final : public CWindowServices
{
public:
    CLinuxWindowServices();

    int ReadAdapters(AdapterList& adapters) override;
    std::optional<LeaseInterface> Interface(const std::string& strName) const override;
    std::shared_ptr<CLeaseSource> RequestLeases(bool bInform) override;
    bool CanInform() const override { return m_bCanInform; }
    bool CanDiscover() const override { return m_bCanDiscover; }
    std::function<int(DiscoveryResult&)> ServerDiscovery(const std::string& strName) override;

    QString AskSavePath(QWidget* pParent) override;
    void SetClipboardText(const QString& strText) override;
    QMessageBox::StandardButton ShowMessage(QWidget* pParent, QMessageBox::Icon icon,
                                            const QString& strText,
                                            QMessageBox::StandardButtons buttons) override;
    void OpenUrl(const QUrl& url) override;

private:
    const LinuxPaths m_paths;
    const bool m_bCanInform;
    const bool m_bCanDiscover;
    // The listing's own sources: a request reads fresh ones, as Veyra.exe
    // asks the DHCP client anew each time.
    std::unique_ptr<CRunLeaseSources> m_pListingLeases;
    CLinuxAdapterSource m_adapters;
};
