#include "app/qt/linux_window_services.h"

#include "app/qt/probe_process.h"
#include "linux/linux_lease_sources.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>

CLinuxWindowServices::CLinuxWindowServices()
    : m_strProbePath(InstalledProbePath()), m_probeAccess(CheckProbe(m_strProbePath)),
      m_pListingLeases(MakeLinuxLeaseSources(m_paths)),
      m_adapters(m_paths, m_pListingLeases->Kept()),
      m_firstRead(std::async(std::launch::async,
                             [this]()
                             {
                                 AdapterList adapters;
                                 const int nError = m_adapters.Read(adapters);
                                 return std::make_pair(nError, std::move(adapters));
                             }))
{
}

int CLinuxWindowServices::ReadAdapters(AdapterList& adapters)
{
    if (!m_firstRead.valid())
        return m_adapters.Read(adapters);
    auto [nError, firstAdapters] = m_firstRead.get();
    adapters = std::move(firstAdapters);
    return nError;
}

std::optional<LeaseInterface> CLinuxWindowServices::Interface(const std::string& strName) const
{
    // The source's interfaces are the first read's once it has ended.
    if (m_firstRead.valid())
        m_firstRead.wait();
    return m_adapters.Interface(strName);
}

std::shared_ptr<CLeaseSource> CLinuxWindowServices::RequestLeases(bool bInform)
{
    // The returned source keeps the whole run of sources alive.
    const bool bAsk = bInform && CanInform();
    std::shared_ptr<CRunLeaseSources> pRun =
        bAsk ? MakeLinuxLeaseSources(m_paths, std::make_unique<CProbeInformSource>(m_strProbePath))
             : MakeLinuxLeaseSources(m_paths);
    CLeaseSource& leases = pRun->Request(bAsk);
    return std::shared_ptr<CLeaseSource>(std::move(pRun), &leases);
}

std::function<int(DiscoveryResult&)>
CLinuxWindowServices::ServerDiscovery(const std::string& strName)
{
    // From the interface's own address, as a client asking for a lease would;
    // the wait is veyra --discover's.
    DiscoverySettings settings;
    settings.m_strInterface = strName;
    return [settings, strProbe = m_strProbePath](DiscoveryResult& result)
    {
        CProbeSession session(settings.m_limits);
        if (const int nError = RunProbe(strProbe, DiscoverProbeArguments(settings), session))
            return nError;
        return session.Finish(result);
    };
}

QString CLinuxWindowServices::ProbeAdvice() const
{
    return QString::fromStdString(::ProbeAdvice(m_probeAccess, m_strProbePath));
}

QString CLinuxWindowServices::AskSavePath(QWidget* pParent)
{
    return QFileDialog::getSaveFileName(pParent, "Save As", QString(), "Text Files (*.txt)");
}

void CLinuxWindowServices::SetClipboardText(const QString& strText)
{
    QGuiApplication::clipboard()->setText(strText);
}

QMessageBox::StandardButton CLinuxWindowServices::ShowMessage(QWidget* pParent,
                                                              QMessageBox::Icon icon,
                                                              const QString& strText,
                                                              QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, "Veyra", strText, buttons, pParent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void CLinuxWindowServices::OpenUrl(const QUrl& url)
{
    QDesktopServices::openUrl(url);
}
