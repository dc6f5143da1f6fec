#include "app/qt/servers_dialog.h"

#include "core/wire/address_text.h"
#include "platform/system_error_text.h"

#include <QBoxLayout>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QtConcurrentRun>

#include <algorithm>
#include <cstdio>

namespace
{
constexpr std::uint8_t kOptionSubnetMask = 1;
constexpr std::uint8_t kOptionRouters = 3;
constexpr std::uint8_t kOptionDnsServers = 6;

QString Address(std::uint32_t nAddress)
{
    return QString::fromStdString(DottedQuad(nAddress));
}

QString MacText(const HardwareAddress& mac)
{
    char szText[18];
    std::snprintf(szText, sizeof szText, "%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2],
                  mac[3], mac[4], mac[5]);
    return szText;
}

QString SourceText(const OfferPath& source)
{
    return Address(source.m_nSourceAddress) + " (" + MacText(source.m_SourceMac) + ")";
}

QString IdText(const DiscoveredServer& server)
{
    return server.m_nServerId ? Address(*server.m_nServerId) : QString("(none)");
}

// Every whole address of an address-list option, or the one of a mask.
QString AddressesText(const DiscoveredServer& server, std::uint8_t nCode)
{
    QStringList addresses;
    const auto option = server.m_mapOptions.find(nCode);
    for (std::size_t i = 0; option != server.m_mapOptions.end() && i + 4 <= option->second.size();
         i += 4)
        addresses << QString::fromStdString(DottedQuad(option->second.data() + i));
    return addresses.join(", ");
}

QString FlagsText(const DiscoveredServer& server)
{
    QStringList flags;
    if ((server.m_nFlags & kServerConflict) != 0)
        flags << "conflict";
    if ((server.m_nFlags & kServerNoId) != 0)
        flags << "no server id";
    return flags.join(", ");
}

// One sentence per finding: each server id more than one server names, and
// each server without id.
QStringList Findings(const std::vector<DiscoveredServer>& servers)
{
    QStringList findings;
    for (auto it = servers.begin(); it != servers.end(); ++it)
    {
        if ((it->m_nFlags & kServerNoId) != 0)
        {
            findings << QString("An offer without server id (against RFC 2131) came from %1.")
                            .arg(SourceText(it->m_source));
            continue;
        }
        if ((it->m_nFlags & kServerConflict) == 0 ||
            std::any_of(servers.begin(), it,
                        [&it](const DiscoveredServer& earlier)
                        { return earlier.m_nServerId == it->m_nServerId; }))
            continue;
        QStringList sources;
        for (auto same = it; same != servers.end(); ++same)
        {
            if (same->m_nServerId == it->m_nServerId)
                sources << SourceText(same->m_source);
        }
        findings << QString("Conflict: offers for server id %1 came from %2 with different "
                            "sources or settings. One may be a rogue using the real server's id.")
                        .arg(IdText(*it), sources.join(", "));
    }
    return findings;
}
} // namespace

CServersDialog::CServersDialog(WindowServices& services, const std::string& strInterface,
                               const QString& strShown, QWidget* pParent)
    : QDialog(pParent), m_strShown(strShown)
{
    setWindowTitle("Find DHCP Servers");
    setObjectName("servers");
    m_pStatus = new QLabel(QString("Looking for DHCP servers on %1...").arg(strShown), this);
    m_pStatus->setObjectName("status");
    m_pStatus->setTextFormat(Qt::PlainText);
    m_pFindings = new QLabel(this);
    m_pFindings->setObjectName("findings");
    m_pFindings->setTextFormat(Qt::PlainText);
    m_pFindings->setWordWrap(true);
    m_pFindings->hide();
    m_pWarning = new QLabel(this);
    m_pWarning->setObjectName("warning");
    m_pWarning->setTextFormat(Qt::PlainText);
    m_pWarning->setWordWrap(true);
    m_pWarning->hide();
    m_pServers = new QTreeWidget(this);
    m_pServers->setObjectName("serverList");
    m_pServers->setHeaderLabels({"DHCP Server", "Offered Address", "Offer From", "Routers",
                                 "DNS Servers", "Subnet Mask", "Flags"});
    m_pServers->setRootIsDecorated(false);
    m_pServers->header()->setStretchLastSection(true);
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(m_pStatus);
    pLayout->addWidget(m_pFindings);
    pLayout->addWidget(m_pWarning);
    pLayout->addWidget(m_pServers, 1);
    pLayout->addWidget(pButtons);
    resize(fontMetrics().averageCharWidth() * 90, fontMetrics().height() * 16);
    setCursor(Qt::BusyCursor);

    connect(&m_search, &QFutureWatcherBase::finished, this,
            [this]()
            {
                const auto [nError, result] = m_search.result();
                OnSearchDone(nError, result);
            });
    m_search.setFuture(QtConcurrent::run(
        [fnSearch = services.serverDiscovery(strInterface)]()
        {
            DiscoveryResult result;
            const int nError = fnSearch(result);
            return std::make_pair(nError, std::move(result));
        }));
}

void CServersDialog::OnSearchDone(int nError, const DiscoveryResult& result)
{
    m_bSearching = false;
    unsetCursor();
    if (nError != 0)
    {
        CString strSystemText;
        DWORD dwLookupError = 0;
        m_pStatus->setText(
            LookupSystemErrorText(static_cast<DWORD>(nError), strSystemText, dwLookupError)
                ? QString("DHCP Error %1: %2")
                      .arg(nError)
                      .arg(QString::fromStdString(strSystemText))
                : QString("DHCP Error: %1 GetLastError: %2").arg(nError).arg(dwLookupError));
        return;
    }
    for (const DiscoveredServer& server : result.m_servers)
        m_pServers->addTopLevelItem(new QTreeWidgetItem(
            {IdText(server), Address(server.m_nYourAddress), SourceText(server.m_source),
             AddressesText(server, kOptionRouters), AddressesText(server, kOptionDnsServers),
             AddressesText(server, kOptionSubnetMask), FlagsText(server)}));
    const QStringList findings = Findings(result.m_servers);
    m_pFindings->setText(findings.join("\n"));
    m_pFindings->setVisible(!findings.isEmpty());
    const auto nServers = static_cast<int>(result.m_servers.size());
    m_pStatus->setText(nServers == 0 ? QString("No DHCP server answered on %1.").arg(m_strShown)
                                     : QString("%1 DHCP server%2 answered on %3.")
                                           .arg(nServers)
                                           .arg(nServers == 1 ? "" : "s")
                                           .arg(m_strShown));
    if (nServers > 1)
    {
        m_pWarning->setText("More than one DHCP server answered. Only one should serve a "
                            "link: the others may be rogue servers.");
        m_pWarning->show();
    }
}
