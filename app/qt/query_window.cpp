#include "app/qt/query_window.h"

#include "app/qt/about_box.h"
#include "app/qt/all_option_rows.h"
#include "app/qt/art.h"
#include "app/qt/link_widgets.h"
#include "app/qt/result_model.h"
#include "app/qt/servers_dialog.h"
#include "core/model/adapter_choice.h"
#include "core/model/maker_addresses.h"
#include "core/model/peer_text.h"
#include "core/model/requested_options.h"
#include "core/model/save_name.h"
#include "linux/adapter_lease.h"
#include "linux/errno_text.h"
#include "platform/text_file.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QTreeView>
#include <QtConcurrentRun>

#include <cerrno>

namespace
{
// The strip's images are 16 x 15 pixels; teal is the transparent colour.
constexpr int kImageWidth = 16;
constexpr QRgb kMaskColour = qRgb(0, 128, 128);

// One image of the results list's strip, with a smooth copy for a scale of 2.
QIcon stripIcon(const QImage& strip, int index)
{
    QImage image = strip.copy(index * kImageWidth, 0, kImageWidth, strip.height())
                       .convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
    {
        for (int x = 0; x < image.width(); ++x)
        {
            if (image.pixel(x, y) == kMaskColour)
                image.setPixel(x, y, qRgba(0, 0, 0, 0));
        }
    }
    QIcon icon(QPixmap::fromImage(image));
    QPixmap doubled = QPixmap::fromImage(
        image.scaled(image.size() * 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    doubled.setDevicePixelRatio(2);
    icon.addPixmap(doubled);
    return icon;
}

QString fromBytes(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A peer's text (an interface name) as the window shows it: Qt draws any
// character, so UTF-8 is the charset, whatever the locale.
QString shown(const std::string& text)
{
    return fromBytes(ShownPeerText(text, PeerCharset::Utf8));
}

// Why the DHCPINFORM of a request that found a lease was not answered.
QString unaskedText(int error)
{
    const QString reason = error == ENOENT ? QString("the adapter has no IPv4 address to ask from")
                                           : fromBytes(ErrnoText(error));
    return "The DHCP server could not be asked: " + reason +
           ".\n\nThe rows show what this machine's DHCP clients hold.";
}
} // namespace

QueryWindow::QueryWindow(WindowServices& services, QWidget* parent)
    : QDialog(parent), m_services(services)
{
    setWindowTitle("Veyra");
    setWindowIcon(veyraIcon());

    const QImage strip = resultStripImage();
    m_results =
        new ResultModel(stripIcon(strip, kImageServer), stripIcon(strip, kImageOption), this);

    // Created in the order of the tab chain: the button first, as Veyra.exe.
    m_send = new QPushButton("&Send DHCP Request", this);
    m_send->setObjectName("sendRequest");
    m_send->setDefault(true);

    m_resultView = new QTreeView(this);
    m_resultView->setObjectName("results");
    m_resultView->setModel(m_results);
    m_resultView->setRootIsDecorated(false);
    m_resultView->setItemsExpandable(false);
    m_resultView->setUniformRowHeights(true);
    // The rows' text skips shaping (kerning) where its script does not need
    // it, which halves the cost of painting them; scripts that need shaping
    // are still shaped.
    QFont listFont = m_resultView->font();
    listFont.setStyleStrategy(QFont::PreferNoShaping);
    m_resultView->setFont(listFont);
    m_resultView->setAllColumnsShowFocus(true);
    m_resultView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_resultView->setContextMenuPolicy(Qt::CustomContextMenu);
    m_resultView->header()->setStretchLastSection(true);
    m_resultView->header()->resizeSection(0, fontMetrics().horizontalAdvance('x') * 28);

    auto* adapterLabel = new QLabel("Select &Adapter From List:", this);
    m_adapterChooser = new QComboBox(this);
    m_adapterChooser->setObjectName("adapters");
    m_adapterChooser->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    adapterLabel->setBuddy(m_adapterChooser);

    m_inform = new QCheckBox("Ask the DHCP server (DHCP&INFORM)", this);
    m_inform->setObjectName("inform");
    auto* informReason = new QLabel(this);
    informReason->setObjectName("informReason");
    if (!m_services.canInform())
    {
        const QString why = m_services.probeAdvice();
        m_inform->setEnabled(false);
        m_inform->setToolTip(why);
        informReason->setText("(not allowed for this user)");
        informReason->setToolTip(why);
        informReason->setEnabled(false);
    }

    m_allOptions = new QCheckBox("All &options", this);
    m_allOptions->setObjectName("allOptions");
    m_allOptions->setToolTip("Every option the DHCP server sent, by the extended catalogue, "
                             "instead of the window's 46");

    m_findServers = new QPushButton("Find DHCP Ser&vers...", this);
    m_findServers->setObjectName("findServers");
    m_findServers->setAutoDefault(false);
    if (!m_services.canDiscover())
    {
        m_findServers->setEnabled(false);
        m_findServers->setToolTip(m_services.probeAdvice());
    }

    m_download = new QPushButton("&Download Here", this);
    m_download->setObjectName("download");
    m_download->setAutoDefault(false);

    m_banner = new BannerLabel(bannerImage(), this);
    m_banner->setObjectName("banner");
    m_banner->setAccessibleName("Veyra Labs");
    QLabel* advertTitle = makeLink("Veyra LeaseWatch", kMakerDownloadPage);
    advertTitle->setObjectName("advertTitle");
    advertTitle->setAlignment(Qt::AlignHCenter);
    QLabel* advertText =
        makeLink("Veyra LeaseWatch tracks every DHCP lease on your network. Try it free today!",
                 kMakerDownloadPage);
    advertText->setObjectName("advertText");

    auto* advertRow = new QHBoxLayout;
    advertRow->addWidget(advertText, 1);
    advertRow->addWidget(m_download);
    auto* adapterRow = new QHBoxLayout;
    adapterRow->addWidget(adapterLabel);
    adapterRow->addWidget(m_adapterChooser);
    adapterRow->addStretch(1);
    adapterRow->addWidget(m_send);
    auto* choiceRow = new QHBoxLayout;
    choiceRow->addWidget(m_inform);
    choiceRow->addWidget(informReason);
    choiceRow->addStretch(1);
    choiceRow->addWidget(m_allOptions);
    choiceRow->addWidget(m_findServers);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_banner, 0, Qt::AlignHCenter);
    layout->addWidget(advertTitle);
    layout->addLayout(advertRow);
    layout->addLayout(adapterRow);
    layout->addLayout(choiceRow);
    layout->addWidget(m_resultView, 1);

    m_resultsMenu = new QMenu(this);
    m_resultsMenu->setObjectName("resultsMenu");
    m_resultsMenu->addAction("Save &As...", this, &QueryWindow::saveAs);
    m_resultsMenu->addAction("Copy &Row...", this, &QueryWindow::copyRow);
    m_resultsMenu->addAction("&Copy All...", this, &QueryWindow::copyAll);
    m_resultsMenu->addSeparator();
    m_resultsMenu->addAction("C&lose", this, &QDialog::close);
    m_resultsMenu->addSeparator();
    m_resultsMenu->addAction("A&bout Veyra...", this, &QueryWindow::showAbout);

    connect(m_send, &QPushButton::clicked, this, &QueryWindow::sendRequest);
    connect(m_allOptions, &QCheckBox::toggled, this, &QueryWindow::showRows);
    connect(m_findServers, &QPushButton::clicked, this, &QueryWindow::findServers);
    connect(m_resultView, &QWidget::customContextMenuRequested, this,
            &QueryWindow::showResultsMenu);
    connect(m_download, &QPushButton::clicked, this,
            [this]() { m_services.openUrl(QUrl(kMakerHomePage)); });
    connect(m_banner, &BannerLabel::clicked, this,
            [this]() { m_services.openUrl(QUrl(kMakerLabsHomePage)); });
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this,
            &QueryWindow::showAbout);
    // The menu key opens the list's menu by itself; Shift+F10 is the other
    // key desktops have for it.
    connect(new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), m_resultView, nullptr, nullptr,
                          Qt::WidgetWithChildrenShortcut),
            &QShortcut::activated, this,
            [this]()
            {
                const QModelIndex current = m_resultView->currentIndex();
                showResultsMenu(current.isValid() ? m_resultView->visualRect(current).center()
                                                  : QPoint(0, 0));
            });

    // Veyra.exe's 423 x 379 dialog units, in this desktop's font.
    const QFontMetrics metrics = fontMetrics();
    resize(std::max(sizeHint().width(), 423 * metrics.averageCharWidth() / 4),
           std::max(sizeHint().height(), 379 * metrics.height() / 8));

    fillAdapters();
    m_send->setFocus();
}

QLabel* QueryWindow::makeLink(const char* text, const char* address)
{
    auto* label = new LinkLabel(text, address, this);
    connect(label, &QLabel::linkActivated, this,
            [this](const QString& link) { m_services.openUrl(QUrl(link)); });
    return label;
}

void QueryWindow::fillAdapters()
{
    // After a failure the list is empty, and so is the chooser.
    m_services.readAdapters(m_adapters);
    for (const AdapterInfo& adapter : m_adapters)
        m_adapterChooser->addItem(shown(adapter.m_strMacAddress));
    if (!m_adapters.empty())
        m_adapterChooser->setCurrentIndex(0);
}

void QueryWindow::sendRequest()
{
    if (isRequestRunning())
        return;
    m_haveLease = false;
    m_haveIpv6 = false;
    showRows();

    const std::string adapterName = chosenAdapterName();
    if (adapterName.empty())
    {
        m_services.showMessage(this, QMessageBox::Warning, "No Interfaces Present");
        return;
    }

    m_requested = adapterName;
    m_refocusSend = m_send->hasFocus();
    m_send->setEnabled(false);
    setCursor(Qt::BusyCursor);
    // The read owns what it uses: the window may be gone before it ends.
    m_request = new QFutureWatcher<Answer>(this);
    connect(m_request, &QFutureWatcherBase::finished, this,
            [this]()
            {
                const Answer answer = m_request->result();
                endRequest();
                showAnswer(answer);
            });
    const bool inform = m_inform->isChecked();
    m_request->setFuture(QtConcurrent::run(
        [leases = m_services.requestLeases(inform), readIpv6 = m_services.requestIpv6(inform),
         iface = m_services.leaseInterface(adapterName)]()
        {
            Answer answer{0, Lease(), Ipv6Part()};
            answer.error = ReadAdapterLease(iface, *leases, answer.lease);
            answer.ipv6 = readIpv6(iface);
            return answer;
        }));
}

void QueryWindow::done(int result)
{
    if (isRequestRunning())
        endRequest();
    QDialog::done(result);
}

void QueryWindow::endRequest()
{
    // An answer still to come finds nobody connected, and its watcher goes
    // once it has returned from the signal that may have brought us here.
    m_request->disconnect(this);
    m_request->deleteLater();
    m_request = nullptr;
    unsetCursor();
    m_send->setEnabled(true);
    if (m_refocusSend)
        m_send->setFocus();
}

std::string QueryWindow::chosenAdapterName() const
{
    const int index = m_adapterChooser->currentIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= m_adapters.size())
        return std::string();
    return AdapterNameFor(m_adapters, m_adapters[static_cast<std::size_t>(index)].m_strMacAddress);
}

void QueryWindow::findServers()
{
    const std::string adapterName = chosenAdapterName();
    if (adapterName.empty())
    {
        m_services.showMessage(this, QMessageBox::Warning, "No Interfaces Present");
        return;
    }
    auto* dialog =
        new CServersDialog(m_services, adapterName,
                           m_adapterChooser->currentText() + " (" + shown(adapterName) + ")", this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void QueryWindow::showAnswer(const Answer& answer)
{
    // Without an IPv4 lease, the IPv6 section alone is an answer.
    m_ipv6 = answer.ipv6;
    m_haveIpv6 = HasIpv6Findings(answer.ipv6);
    if (answer.error != 0)
    {
        showRows();
        if (!m_haveIpv6)
            m_services.showMessage(this, QMessageBox::Warning,
                                   failureText(answer.error, m_requested));
        return;
    }
    m_lease = answer.lease;
    m_haveLease = true;
    showRows();
    // The rows come from the machine's DHCP clients; a server that could not
    // be asked must not pass for one that had nothing to add.
    if (const int inform = InformAnswer(answer.lease))
        m_services.showMessage(this, QMessageBox::Warning, unaskedText(inform));
}

void QueryWindow::showRows()
{
    std::vector<ResultRow> rows;
    if (m_haveLease)
        rows = m_allOptions->isChecked()
                   ? buildAllOptionRows(m_lease)
                   : BuildResultRows(DecodeRequestedOptions(m_lease.m_mapOptions));
    if (m_haveIpv6)
    {
        rows.push_back({kIpv6Heading, "", kImageAdapter});
        const std::vector<ResultRow> ipv6 = BuildIpv6Rows(m_ipv6);
        rows.insert(rows.end(), ipv6.begin(), ipv6.end());
    }
    m_results->setRows(rows);
}

QString QueryWindow::failureText(int error, const std::string& adapter) const
{
    // Veyra.exe's words, with the errno value's text and name.
    QString text = QString("DHCP Error %1: %2").arg(error).arg(fromBytes(ErrnoText(error)));
    if (error == ENODATA)
    {
        text += "\n\nNo DHCP client on this machine keeps a lease for " + shown(adapter) + ".";
        if (m_inform->isEnabled() && !m_inform->isChecked())
            text += " \"Ask the DHCP server\" asks the server itself.";
    }
    return text;
}

void QueryWindow::showResultsMenu(const QPoint& point)
{
    m_resultsMenu->popup(m_resultView->viewport()->mapToGlobal(point));
}

void QueryWindow::saveAs()
{
    const QString chosen = m_services.askSavePath(this);
    if (chosen.isEmpty())
        return;
    const std::string chosenPath = QFile::encodeName(chosen).toStdString();
    const std::string path = SavePathFor(chosenPath);
    const QString shownPath = QFile::decodeName(path.c_str());
    // The save dialog asked about replacing the name as chosen; a name that
    // ".txt" extends to an existing file is asked about here.
    if (path != chosenPath && QFileInfo::exists(shownPath) &&
        m_services.showMessage(this, QMessageBox::Warning,
                               shownPath + " already exists.\nDo you want to replace it?",
                               QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    std::string reason;
    if (!WriteTextFile(path, m_results->tsvText(), reason))
        m_services.showMessage(this, QMessageBox::Warning,
                               shownPath + "\nThe list could not be saved: " + fromBytes(reason) +
                                   ".");
}

void QueryWindow::copyRow()
{
    const QModelIndexList selected = m_resultView->selectionModel()->selectedRows();
    if (selected.isEmpty())
        return;
    m_services.setClipboardText(fromBytes(m_results->tsvRow(selected.front().row())));
}

void QueryWindow::copyAll()
{
    m_services.setClipboardText(fromBytes(m_results->tsvText()));
}

void QueryWindow::showAbout()
{
    auto* about = new AboutBox(m_services, this);
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->open();
}
