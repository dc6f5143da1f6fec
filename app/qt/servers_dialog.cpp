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

#include <cstdio>
#include <thread>

namespace
{
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

// Every path the server's offers came by: "10.0.0.1 (02:00:00:00:00:01)".
QString PathsText(const DiscoveredServer& server)
{
    QStringList paths;
    for (const OfferPath& path : server.m_Paths)
        paths << Address(path.m_nSourceAddress) + " (" + MacText(path.m_SourceMac) + ")";
    return paths.join(", ");
}
} // namespace

CServersDialog::CServersDialog(CWindowServices& services, const std::string& strInterface,
                               const QString& strShown, QWidget* pParent)
    : QDialog(pParent), m_pMailbox(std::make_shared<CWorkerMailbox>(this)), m_strShown(strShown)
{
    setWindowTitle("Find DHCP Servers");
    setObjectName("servers");
    m_pStatus = new QLabel(QString("Looking for DHCP servers on %1...").arg(strShown), this);
    m_pStatus->setObjectName("status");
    m_pWarning = new QLabel(this);
    m_pWarning->setObjectName("warning");
    m_pWarning->setWordWrap(true);
    m_pWarning->hide();
    m_pServers = new QTreeWidget(this);
    m_pServers->setObjectName("serverList");
    m_pServers->setHeaderLabels({"DHCP Server", "Offered Address", "Offer From"});
    m_pServers->setRootIsDecorated(false);
    m_pServers->header()->setStretchLastSection(true);
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(m_pStatus);
    pLayout->addWidget(m_pWarning);
    pLayout->addWidget(m_pServers, 1);
    pLayout->addWidget(pButtons);
    resize(fontMetrics().averageCharWidth() * 90, fontMetrics().height() * 16);
    setCursor(Qt::BusyCursor);

    std::thread(
        [pDialog = this, pMailbox = m_pMailbox, fnSearch = services.ServerDiscovery(strInterface)]()
        {
            DiscoveryResult result;
            const int nError = fnSearch(result);
            pMailbox->Post([pDialog, nError, result]() { pDialog->OnSearchDone(nError, result); });
        })
        .detach();
}

CServersDialog::~CServersDialog()
{
    m_pMailbox->Close();
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
            {Address(server.m_nServerId), Address(server.m_nYourAddress), PathsText(server)}));
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
