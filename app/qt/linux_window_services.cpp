#include "app/qt/linux_window_services.h"

#include "app/qt/probe_process.h"
#include "linux/lease6_sources.h"
#include "linux/linux_lease_sources.h"
#include "linux/router_advertisements_source.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>

#include <cerrno>

LinuxWindowServices::LinuxWindowServices()
    : m_probePath(InstalledProbePath()), m_probeAccess(CheckProbe(m_probePath)),
      m_listingLeases(MakeLinuxLeaseSources(m_paths)), m_adapters(m_paths, m_listingLeases->Kept()),
      m_firstRead(std::async(std::launch::async,
                             [this]()
                             {
                                 AdapterList adapters;
                                 const int error = m_adapters.Read(adapters);
                                 return std::make_pair(error, std::move(adapters));
                             }))
{
}

int LinuxWindowServices::readAdapters(AdapterList& adapters)
{
    if (!m_firstRead.valid())
        return m_adapters.Read(adapters);
    auto [error, firstAdapters] = m_firstRead.get();
    adapters = std::move(firstAdapters);
    return error;
}

std::optional<LeaseInterface> LinuxWindowServices::leaseInterface(const std::string& name) const
{
    // The source's interfaces are the first read's once it has ended.
    if (m_firstRead.valid())
        m_firstRead.wait();
    return m_adapters.Interface(name);
}

std::shared_ptr<CLeaseSource> LinuxWindowServices::requestLeases(bool inform)
{
    // The returned source keeps the whole run of sources alive.
    const bool ask = inform && canInform();
    std::shared_ptr<CRunLeaseSources> run =
        ask ? MakeLinuxLeaseSources(m_paths, std::make_unique<ProbeInformSource>(m_probePath))
            : MakeLinuxLeaseSources(m_paths);
    CLeaseSource& leases = run->Request(ask);
    return std::shared_ptr<CLeaseSource>(std::move(run), &leases);
}

std::function<Ipv6Part(const std::optional<LeaseInterface>&)>
LinuxWindowServices::requestIpv6(bool inform)
{
    // The Information-request goes through veyra-probe, as the DHCPINFORM does.
    return [paths = m_paths, ask = inform && canInform(),
            probe = m_probePath](const std::optional<LeaseInterface>& iface)
    {
        Ipv6Part part;
        part.leaseError = ReadAdapterLease6(iface, *MakeLinuxLease6Sources(paths), part.lease);
        part.routersError = iface ? ReadRouterAdvertisements(paths, *iface, part.routers) : ENODEV;
        part.informAsked = ask;
        if (ask)
            part.informError = iface ? ProbeInform6Source(probe).Read(*iface, part.inform) : ENODEV;
        part.inform.source = "inform";
        return part;
    };
}

std::function<int(CensusResult&)>
LinuxWindowServices::serverCensus(const std::string& name, const std::vector<std::uint16_t>& vlans)
{
    // From the interface's own address, as a client asking for a lease would;
    // the wait is veyra --discover's.
    CensusSettings settings;
    settings.interfaceName = name;
    settings.vlans = vlans;
    return [arguments = CensusProbeArguments(settings), limits = settings.limits,
            probe = m_probePath](CensusResult& result)
    {
        CProbeSession session(limits);
        if (const int error = runProbe(probe, arguments, session))
            return error;
        return session.Finish(result);
    };
}

QString LinuxWindowServices::probeAdvice() const
{
    return QString::fromStdString(ProbeAdvice(m_probeAccess, m_probePath));
}

QString LinuxWindowServices::askSavePath(QWidget* parent)
{
    return QFileDialog::getSaveFileName(parent, "Save As", QString(), "Text Files (*.txt)");
}

void LinuxWindowServices::setClipboardText(const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
}

QMessageBox::StandardButton LinuxWindowServices::showMessage(QWidget* parent,
                                                             QMessageBox::Icon icon,
                                                             const QString& text,
                                                             QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, "Veyra", text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void LinuxWindowServices::openUrl(const QUrl& url)
{
    QDesktopServices::openUrl(url);
}
