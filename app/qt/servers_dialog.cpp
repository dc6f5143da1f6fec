#include "app/qt/servers_dialog.h"

#include "app/qt/server_table_model.h"
#include "linux/errno_text.h"

#include <QBoxLayout>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTreeView>
#include <QtConcurrentRun>

#include <algorithm>

namespace
{
// One sentence per finding: each server id more than one server names, and
// each server without id.
QStringList findingsOf(const std::vector<DiscoveredServer>& servers)
{
    QStringList findings;
    for (auto it = servers.begin(); it != servers.end(); ++it)
    {
        if ((it->flags & kServerNoId) != 0)
        {
            findings << QString("An offer without server id (against RFC 2131) came from %1.")
                            .arg(offerPathText(it->path));
            continue;
        }
        if ((it->flags & kServerConflict) == 0 ||
            std::any_of(servers.begin(), it,
                        [&it](const DiscoveredServer& earlier)
                        { return earlier.serverId == it->serverId; }))
            continue;
        QStringList paths;
        for (auto same = it; same != servers.end(); ++same)
        {
            if (same->serverId == it->serverId)
                paths << offerPathText(same->path);
        }
        findings << QString("Conflict: offers for server id %1 came from %2 with different "
                            "sources or settings. One may be a rogue using the real server's id.")
                        .arg(serverIdText(*it), paths.join(", "));
    }
    return findings;
}
} // namespace

CServersDialog::CServersDialog(WindowServices& services, const std::string& interfaceName,
                               const QString& shownName, QWidget* parent)
    : QDialog(parent), m_shownName(shownName)
{
    setWindowTitle("Find DHCP Servers");
    setObjectName("servers");
    m_status = new QLabel(QString("Looking for DHCP servers on %1...").arg(shownName), this);
    m_status->setObjectName("status");
    m_status->setTextFormat(Qt::PlainText);
    m_findings = new QLabel(this);
    m_findings->setObjectName("findings");
    m_findings->setTextFormat(Qt::PlainText);
    m_findings->setWordWrap(true);
    m_findings->hide();
    m_warning = new QLabel(this);
    m_warning->setObjectName("warning");
    m_warning->setTextFormat(Qt::PlainText);
    m_warning->setWordWrap(true);
    m_warning->hide();
    m_servers = new ServerTableModel(this);
    auto* serverList = new QTreeView(this);
    serverList->setObjectName("serverList");
    serverList->setModel(m_servers);
    serverList->setRootIsDecorated(false);
    serverList->setItemsExpandable(false);
    serverList->header()->setStretchLastSection(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
    layout->addWidget(m_findings);
    layout->addWidget(m_warning);
    layout->addWidget(serverList, 1);
    layout->addWidget(buttons);
    resize(fontMetrics().averageCharWidth() * 90, fontMetrics().height() * 16);
    setCursor(Qt::BusyCursor);

    connect(&m_search, &QFutureWatcherBase::finished, this,
            [this]()
            {
                auto [error, result] = m_search.future().takeResult();
                showFound(error, std::move(result));
            });
    m_search.setFuture(QtConcurrent::run(
        [search = services.serverDiscovery(interfaceName)]()
        {
            DiscoveryResult result;
            const int error = search(result);
            return std::make_pair(error, std::move(result));
        }));
}

void CServersDialog::showFound(int error, DiscoveryResult result)
{
    m_searching = false;
    unsetCursor();
    if (error != 0)
    {
        m_status->setText(
            QString("DHCP Error %1: %2").arg(error).arg(QString::fromStdString(ErrnoText(error))));
        return;
    }
    const QStringList findings = findingsOf(result.m_servers);
    m_findings->setText(findings.join("\n"));
    m_findings->setVisible(!findings.isEmpty());
    const auto count = static_cast<int>(result.m_servers.size());
    m_status->setText(count == 0 ? QString("No DHCP server answered on %1.").arg(m_shownName)
                                 : QString("%1 DHCP server%2 answered on %3.")
                                       .arg(count)
                                       .arg(count == 1 ? "" : "s")
                                       .arg(m_shownName));
    if (count > 1)
    {
        m_warning->setText("More than one DHCP server answered. Only one should serve a "
                           "link: the others may be rogue servers.");
        m_warning->show();
    }
    m_servers->setServers(std::move(result.m_servers));
}
