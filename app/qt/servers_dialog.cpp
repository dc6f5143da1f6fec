#include "app/qt/servers_dialog.h"

#include "app/qt/census_table_model.h"
#include "linux/errno_text.h"

#include <QAction>
#include <QBoxLayout>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
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
    : QDialog(parent), m_services(services), m_shownName(shownName)
{
    setWindowTitle("Find DHCP Servers");
    setObjectName("servers");
    m_status = plainLabel("status", this);
    m_status->setText(QString("Looking for DHCP servers, DHCPv6 servers and IPv6 routers on %1...")
                          .arg(shownName));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName("progress");
    m_progress->setRange(0, static_cast<int>(kDefaultDiscoveryWait.count()));
    m_progress->setTextVisible(false);
    m_findings = plainLabel("findings", this);
    m_findings->hide();
    m_warning = plainLabel("warning", this);
    m_warning->hide();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* copyAll = buttons->addButton("Copy &All", QDialogButtonBox::ActionRole);
    copyAll->setObjectName("copyAll");
    connect(copyAll, &QPushButton::clicked, this, &CServersDialog::copyAll);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
    layout->addWidget(m_progress);
    layout->addWidget(m_findings);
    layout->addWidget(m_warning);
    m_tables = new QVBoxLayout;
    layout->addLayout(m_tables, 1);
    layout->addWidget(buttons);
    resize(fontMetrics().averageCharWidth() * 110, fontMetrics().height() * 30);
    setCursor(Qt::BusyCursor);

    // The wait is the census's own; the bar shows how much of it has passed.
    m_started.start();
    connect(&m_ticks, &QTimer::timeout, this, &CServersDialog::showProgress);
    m_ticks.start(100);
    connect(&m_search, &QFutureWatcherBase::finished, this,
            [this]()
            {
                auto [error, result] = m_search.future().takeResult();
                showFound(error, std::move(result));
            });
    m_search.setFuture(QtConcurrent::run(
        [search = services.serverCensus(interfaceName)]()
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
        auto* title = new QLabel(table.title, this);
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
        m_tables->addWidget(title);
        const QString name = listName(table.family);
        if (!table.silences.isEmpty())
        {
            QLabel* silences = plainLabel(name + "Silent", this);
            silences->setText(table.silences.join("\n"));
            m_tables->addWidget(silences);
        }
        auto* model = new CensusTableModel(table.headers, std::move(table.rows), this);
        m_shown.push_back({table.title, table.silences, model});
        if (model->rowCount() == 0)
            continue;
        auto* view = new QTreeView(this);
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
