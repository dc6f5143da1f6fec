#include "app/qt/servers_dialog.h"

#include "app/qt/census_table_model.h"
#include "app/qt/vlan_list.h"
#include "linux/errno_text.h"

#include <QAction>
#include <QBoxLayout>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTreeView>
#include <QtConcurrentRun>

#include <algorithm>
#include <set>

namespace
{
// The list of each family, by the name tests and Copy find it.
QString listName(CensusFamily family)
{
    switch (family)
    {
    case kCensusDhcpv4:
        return "serverList";
    case kCensusDhcpv6:
        return "server6List";
    default:
        return "routerList";
    }
}

QLabel* plainLabel(const QString& name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    // Peer and adapter texts are never read as markup.
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

QString rowText(const QAbstractItemModel& model, int row)
{
    QStringList cells;
    for (int column = 0; column < model.columnCount(); ++column)
        cells << model.index(row, column).data().toString();
    return cells.join('\t');
}
} // namespace

CServersDialog::CServersDialog(WindowServices& services, const std::string& interfaceName,
                               const QString& shownName, QWidget* parent)
    : QDialog(parent), m_services(services), m_interfaceName(interfaceName), m_shownName(shownName)
{
    setWindowTitle("Find DHCP Servers");
    setObjectName("servers");
    m_vlans = new QLineEdit(this);
    m_vlans->setObjectName("vlans");
    m_vlans->setPlaceholderText("the untagged link; or the VLANs of a trunk, as 10,20,100-199");
    auto* vlansLabel = new QLabel("&VLANs:", this);
    vlansLabel->setBuddy(m_vlans);
    m_searchButton = new QPushButton("&Search", this);
    m_searchButton->setObjectName("search");
    m_searchButton->setDefault(true);
    connect(m_searchButton, &QPushButton::clicked, this, &CServersDialog::search);
    m_status = plainLabel("status", this);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName("progress");
    m_progress->setRange(0, static_cast<int>(kDefaultDiscoveryWait.count()));
    m_progress->setTextVisible(false);
    m_findings = plainLabel("findings", this);
    m_warning = plainLabel("warning", this);
    m_scroller = new QScrollArea(this);
    m_scroller->setWidgetResizable(true);
    m_scroller->setFrameShape(QFrame::NoFrame);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* copyAll = buttons->addButton("Copy &All", QDialogButtonBox::ActionRole);
    copyAll->setObjectName("copyAll");
    copyAll->setAutoDefault(false);
    connect(copyAll, &QPushButton::clicked, this, &CServersDialog::copyAll);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* vlanRow = new QHBoxLayout;
    vlanRow->addWidget(vlansLabel);
    vlanRow->addWidget(m_vlans, 1);
    vlanRow->addWidget(m_searchButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(vlanRow);
    layout->addWidget(m_status);
    layout->addWidget(m_progress);
    layout->addWidget(m_findings);
    layout->addWidget(m_warning);
    layout->addWidget(m_scroller, 1);
    layout->addWidget(buttons);
    resize(fontMetrics().averageCharWidth() * 130, fontMetrics().height() * 32);

    // The wait is the census's own; the bar shows how much of it has passed.
    connect(&m_ticks, &QTimer::timeout, this, &CServersDialog::showProgress);
    connect(&m_census, &QFutureWatcherBase::finished, this,
            [this]()
            {
                auto [error, result] = m_census.future().takeResult();
                showFound(error, std::move(result));
            });
    search();
}

void CServersDialog::search()
{
    const std::optional<std::vector<std::uint16_t>> vlans = parseVlanList(m_vlans->text());
    if (!vlans)
    {
        m_status->setText("VLANs are ids from 1 to 4094 and ranges, as 10,20,100-199.");
        return;
    }
    m_status->setText(
        QString("Looking for DHCP servers, DHCPv6 servers and IPv6 routers on %1%2...")
            .arg(m_shownName,
                 vlans->empty() ? QString()
                                : QString(", VLAN%1 %2")
                                      .arg(vlans->size() == 1 ? "" : "s", vlanRangesText(*vlans))));
    m_findings->clear();
    m_findings->hide();
    m_warning->clear();
    m_warning->hide();
    // A new area drops the last census's tables.
    auto* area = new QWidget;
    m_tables = new QVBoxLayout(area);
    m_tables->setContentsMargins(0, 0, 0, 0);
    m_scroller->setWidget(area);
    m_shown.clear();
    m_searching = true;
    m_vlans->setEnabled(false);
    m_searchButton->setEnabled(false);
    m_progress->setValue(0);
    m_progress->show();
    setCursor(Qt::BusyCursor);
    m_started.start();
    m_ticks.start(100);
    m_census.setFuture(QtConcurrent::run(
        [search = m_services.serverCensus(m_interfaceName, *vlans)]()
        {
            CensusResult result;
            const int error = search(result);
            return std::make_pair(error, std::move(result));
        }));
}

void CServersDialog::showProgress()
{
    m_progress->setValue(
        static_cast<int>(std::min<qint64>(m_started.elapsed(), m_progress->maximum())));
}

void CServersDialog::showFound(int error, CensusResult result)
{
    m_searching = false;
    m_ticks.stop();
    m_progress->hide();
    m_vlans->setEnabled(true);
    m_searchButton->setEnabled(true);
    unsetCursor();
    if (error != 0)
    {
        m_status->setText(
            QString("DHCP Error %1: %2").arg(error).arg(QString::fromStdString(ErrnoText(error))));
        return;
    }
    QString counts = censusCounts(result);
    if (!counts.isEmpty())
        counts[0] = counts[0].toUpper();
    m_status->setText(QString("%1 answered on %2.").arg(counts, m_shownName));
    const QStringList findings = censusFindings(result);
    m_findings->setText(findings.join("\n"));
    m_findings->setVisible(!findings.isEmpty());
    const QStringList warnings = censusWarnings(result);
    m_warning->setText(warnings.join("\n"));
    m_warning->setVisible(!warnings.isEmpty());

    for (CensusTable& table : censusTables(result))
    {
        auto* title = new QLabel(table.title);
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
        m_tables->addWidget(title);
        const QString name = listName(table.family);
        if (!table.silences.isEmpty())
        {
            QLabel* silences = plainLabel(name + "Silent", m_tables->parentWidget());
            silences->setText(table.silences.join("\n"));
            m_tables->addWidget(silences);
        }
        // The models go with the area, when the next census replaces it.
        auto* model =
            new CensusTableModel(table.headers, std::move(table.rows), m_tables->parentWidget());
        m_shown.push_back({table.title, table.silences, model});
        if (model->rowCount() == 0)
            continue;
        auto* view = new QTreeView;
        view->setObjectName(name);
        view->setModel(model);
        view->setRootIsDecorated(false);
        view->setItemsExpandable(false);
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        view->header()->setStretchLastSection(true);
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        auto* copy = new QAction("&Copy", view);
        copy->setShortcut(QKeySequence::Copy);
        copy->setShortcutContext(Qt::WidgetShortcut);
        view->addAction(copy);
        connect(copy, &QAction::triggered, this, [this, view]() { copySelected(view); });
        connect(view, &QWidget::customContextMenuRequested, this,
                [this, view, copy](const QPoint& at)
                {
                    QMenu menu(this);
                    menu.addAction(copy);
                    menu.addAction("Copy &All", this, &CServersDialog::copyAll);
                    menu.exec(view->viewport()->mapToGlobal(at));
                });
        // Each column as wide as its widest cell: the lists scroll sideways.
        view->header()->resizeSections(QHeaderView::ResizeToContents);
        m_tables->addWidget(view, 1);
    }
}

void CServersDialog::copySelected(const QTreeView* view)
{
    std::set<int> rows;
    for (const QModelIndex& index : view->selectionModel()->selectedIndexes())
        rows.insert(index.row());
    QStringList lines;
    for (const int row : rows)
        lines << rowText(*view->model(), row);
    if (!lines.isEmpty())
        m_services.setClipboardText(lines.join('\n') + '\n');
}

void CServersDialog::copyAll()
{
    m_services.setClipboardText(allText());
}

QString CServersDialog::allText() const
{
    QStringList lines = {m_status->text()};
    for (const QLabel* label : {m_findings, m_warning})
    {
        if (!label->text().isEmpty())
            lines << label->text();
    }
    for (const Shown& shown : m_shown)
    {
        lines << QString() << shown.title;
        if (shown.model->rowCount() > 0)
        {
            QStringList headers;
            for (int column = 0; column < shown.model->columnCount(); ++column)
                headers << shown.model->headerData(column, Qt::Horizontal).toString();
            lines << headers.join('\t');
            for (int row = 0; row < shown.model->rowCount(); ++row)
                lines << rowText(*shown.model, row);
        }
        lines << shown.silences;
    }
    return lines.join('\n') + '\n';
}
