#include "app/qt/query_window.h"

#include "app/qt/about_box.h"
#include "app/qt/all_option_rows.h"
#include "app/qt/art.h"
#include "app/qt/link_widgets.h"
#include "app/qt/servers_dialog.h"
#include "core/model/adapter_choice.h"
#include "core/model/maker_addresses.h"
#include "core/model/peer_text.h"
#include "core/model/requested_options.h"
#include "core/model/result_rows.h"
#include "core/model/save_name.h"
#include "core/model/tsv_text.h"
#include "linux/adapter_lease.h"
#include "platform/system_error_text.h"
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
#include <QTreeWidget>

#include <cerrno>
#include <cstring>
#include <thread>

namespace
{
// The strip's images are 16 x 15 pixels; teal is the transparent colour.
constexpr int kImageWidth = 16;
constexpr QRgb kMaskColour = qRgb(0, 128, 128);

// One image of the results list's strip, with a smooth copy for a scale of 2.
QIcon StripIcon(const QImage& strip, int nImage)
{
    QImage image = strip.copy(nImage * kImageWidth, 0, kImageWidth, strip.height())
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

QString FromBytes(const CString& strText)
{
    return QString::fromUtf8(strText.data(), static_cast<qsizetype>(strText.size()));
}

// A peer's text (option data, an interface name) as the window shows it: Qt
// draws any character, so UTF-8 is the charset, whatever the locale.
QString Shown(const CString& strText)
{
    return FromBytes(ShownPeerText(strText, PeerCharset::Utf8));
}
} // namespace

CQueryWindow::CQueryWindow(CWindowServices& services, QWidget* pParent)
    : QDialog(pParent), m_services(services), m_pMailbox(std::make_shared<CWorkerMailbox>(this))
{
    setWindowTitle("Veyra");
    setWindowIcon(VeyraIcon());

    const QImage strip = ResultStripImage();
    m_iconServer = StripIcon(strip, kImageServer);
    m_iconOption = StripIcon(strip, kImageOption);

    // Created in the order of the tab chain: the button first, as Veyra.exe.
    m_pSend = new QPushButton("&Send DHCP Request", this);
    m_pSend->setObjectName("sendRequest");
    m_pSend->setDefault(true);

    m_pResults = new QTreeWidget(this);
    m_pResults->setObjectName("results");
    m_pResults->setColumnCount(2);
    m_pResults->setHeaderLabels({"DHCP Parameter", "DHCP Data"});
    m_pResults->setRootIsDecorated(false);
    m_pResults->setUniformRowHeights(true);
    // The rows' text skips shaping (kerning) where its script does not need
    // it, which halves the cost of painting them; scripts that need shaping
    // are still shaped.
    QFont listFont = m_pResults->font();
    listFont.setStyleStrategy(QFont::PreferNoShaping);
    m_pResults->setFont(listFont);
    m_pResults->setAllColumnsShowFocus(true);
    m_pResults->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pResults->setContextMenuPolicy(Qt::CustomContextMenu);
    m_pResults->header()->setStretchLastSection(true);
    m_pResults->header()->resizeSection(0, fontMetrics().horizontalAdvance('x') * 28);

    auto* pAdapterLabel = new QLabel("Select &Adapter From List:", this);
    m_pAdapters = new QComboBox(this);
    m_pAdapters->setObjectName("adapters");
    m_pAdapters->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    pAdapterLabel->setBuddy(m_pAdapters);

    m_pInform = new QCheckBox("Ask the DHCP server (DHCP&INFORM)", this);
    m_pInform->setObjectName("inform");
    auto* pInformReason = new QLabel(this);
    pInformReason->setObjectName("informReason");
    if (!m_services.CanInform())
    {
        const QString strWhy = m_services.ProbeAdvice();
        m_pInform->setEnabled(false);
        m_pInform->setToolTip(strWhy);
        pInformReason->setText("(not allowed for this user)");
        pInformReason->setToolTip(strWhy);
        pInformReason->setEnabled(false);
    }

    m_pAllOptions = new QCheckBox("All &options", this);
    m_pAllOptions->setObjectName("allOptions");
    m_pAllOptions->setToolTip("Every option the DHCP server sent, by the extended catalogue, "
                              "instead of the window's 46");

    m_pFindServers = new QPushButton("Find DHCP Ser&vers...", this);
    m_pFindServers->setObjectName("findServers");
    m_pFindServers->setAutoDefault(false);
    if (!m_services.CanDiscover())
    {
        m_pFindServers->setEnabled(false);
        m_pFindServers->setToolTip(m_services.ProbeAdvice());
    }

    m_pDownload = new QPushButton("&Download Here", this);
    m_pDownload->setObjectName("download");
    m_pDownload->setAutoDefault(false);

    m_pBanner = new CBannerLabel(BannerImage(), this);
    m_pBanner->setObjectName("banner");
    m_pBanner->setAccessibleName("Veyra Labs");
    QLabel* pAdvertTitle = MakeLink("Veyra LeaseWatch", kMakerDownloadPage);
    pAdvertTitle->setObjectName("advertTitle");
    pAdvertTitle->setAlignment(Qt::AlignHCenter);
    QLabel* pAdvertText =
        MakeLink("Veyra LeaseWatch tracks every DHCP lease on your network. Try it free today!",
                 kMakerDownloadPage);
    pAdvertText->setObjectName("advertText");

    auto* pAdvertRow = new QHBoxLayout;
    pAdvertRow->addWidget(pAdvertText, 1);
    pAdvertRow->addWidget(m_pDownload);
    auto* pAdapterRow = new QHBoxLayout;
    pAdapterRow->addWidget(pAdapterLabel);
    pAdapterRow->addWidget(m_pAdapters);
    pAdapterRow->addStretch(1);
    pAdapterRow->addWidget(m_pSend);
    auto* pChoiceRow = new QHBoxLayout;
    pChoiceRow->addWidget(m_pInform);
    pChoiceRow->addWidget(pInformReason);
    pChoiceRow->addStretch(1);
    pChoiceRow->addWidget(m_pAllOptions);
    pChoiceRow->addWidget(m_pFindServers);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(m_pBanner, 0, Qt::AlignHCenter);
    pLayout->addWidget(pAdvertTitle);
    pLayout->addLayout(pAdvertRow);
    pLayout->addLayout(pAdapterRow);
    pLayout->addLayout(pChoiceRow);
    pLayout->addWidget(m_pResults, 1);

    m_pResultsMenu = new QMenu(this);
    m_pResultsMenu->setObjectName("resultsMenu");
    m_pResultsMenu->addAction("Save &As...", this, &CQueryWindow::OnSaveAs);
    m_pResultsMenu->addAction("Copy &Row...", this, &CQueryWindow::OnCopyRow);
    m_pResultsMenu->addAction("&Copy All...", this, &CQueryWindow::OnCopyAll);
    m_pResultsMenu->addSeparator();
    m_pResultsMenu->addAction("C&lose", this, &QDialog::close);
    m_pResultsMenu->addSeparator();
    m_pResultsMenu->addAction("A&bout Veyra...", this, &CQueryWindow::OnAbout);

    connect(m_pSend, &QPushButton::clicked, this, &CQueryWindow::OnSendRequest);
    connect(m_pAllOptions, &QCheckBox::toggled, this, &CQueryWindow::ShowRows);
    connect(m_pFindServers, &QPushButton::clicked, this, &CQueryWindow::OnFindServers);
    connect(m_pResults, &QWidget::customContextMenuRequested, this, &CQueryWindow::OnResultsMenu);
    connect(m_pDownload, &QPushButton::clicked, this,
            [this]() { m_services.OpenUrl(QUrl(kMakerHomePage)); });
    connect(m_pBanner, &CBannerLabel::Clicked, this,
            [this]() { m_services.OpenUrl(QUrl(kMakerLabsHomePage)); });
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this,
            &CQueryWindow::OnAbout);
    // The menu key opens the list's menu by itself; Shift+F10 is the other
    // key desktops have for it.
    connect(new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), m_pResults, nullptr, nullptr,
                          Qt::WidgetWithChildrenShortcut),
            &QShortcut::activated, this,
            [this]()
            {
                const QTreeWidgetItem* pItem = m_pResults->currentItem();
                OnResultsMenu(pItem != nullptr ? m_pResults->visualItemRect(pItem).center()
                                               : QPoint(0, 0));
            });

    // Veyra.exe's 423 x 379 dialog units, in this desktop's font.
    const QFontMetrics metrics = fontMetrics();
    resize(std::max(sizeHint().width(), 423 * metrics.averageCharWidth() / 4),
           std::max(sizeHint().height(), 379 * metrics.height() / 8));

    FillAdapters();
    m_pSend->setFocus();
}

CQueryWindow::~CQueryWindow()
{
    // A request still out finds no window to post to.
    m_pMailbox->Close();
}

QLabel* CQueryWindow::MakeLink(const char* pszText, const char* pszAddress)
{
    auto* pLabel = new CLinkLabel(pszText, pszAddress, this);
    connect(pLabel, &QLabel::linkActivated, this, &CQueryWindow::OnLinkActivated);
    return pLabel;
}

void CQueryWindow::FillAdapters()
{
    // After a failure the list is empty, and so is the chooser.
    m_services.ReadAdapters(m_adapters);
    for (const AdapterInfo& adapter : m_adapters)
        m_pAdapters->addItem(Shown(adapter.m_strMacAddress));
    if (!m_adapters.empty())
        m_pAdapters->setCurrentIndex(0);
}

void CQueryWindow::OnSendRequest()
{
    if (m_bRunning)
        return;
    m_bHaveLease = false;
    ShowRows();

    const CString strAdapterName = ChosenAdapterName();
    if (strAdapterName.empty())
    {
        m_services.ShowMessage(this, QMessageBox::Warning, "No Interfaces Present");
        return;
    }

    m_strRequested = strAdapterName;
    m_bRunning = true;
    m_bRefocusSend = m_pSend->hasFocus();
    m_pSend->setEnabled(false);
    setCursor(Qt::BusyCursor);
    std::thread(
        [pWindow = this, pMailbox = m_pMailbox,
         pLeases = m_services.RequestLeases(m_pInform->isChecked()),
         iface = m_services.Interface(strAdapterName)]()
        {
            Lease lease;
            const int nError = ReadAdapterLease(iface, *pLeases, lease);
            pMailbox->Post([pWindow, nError, lease]() { pWindow->OnRequestDone(nError, lease); });
        })
        .detach();
}

CString CQueryWindow::ChosenAdapterName() const
{
    const int nAdapter = m_pAdapters->currentIndex();
    if (nAdapter < 0 || static_cast<std::size_t>(nAdapter) >= m_adapters.size())
        return CString();
    return AdapterNameFor(m_adapters,
                          m_adapters[static_cast<std::size_t>(nAdapter)].m_strMacAddress);
}

void CQueryWindow::OnFindServers()
{
    const CString strAdapterName = ChosenAdapterName();
    if (strAdapterName.empty())
    {
        m_services.ShowMessage(this, QMessageBox::Warning, "No Interfaces Present");
        return;
    }
    auto* pDialog =
        new CServersDialog(m_services, strAdapterName,
                           m_pAdapters->currentText() + " (" + Shown(strAdapterName) + ")", this);
    pDialog->setAttribute(Qt::WA_DeleteOnClose);
    pDialog->open();
}

void CQueryWindow::OnRequestDone(int nError, const Lease& lease)
{
    m_bRunning = false;
    unsetCursor();
    m_pSend->setEnabled(true);
    if (m_bRefocusSend)
        m_pSend->setFocus();
    if (nError != 0)
    {
        m_services.ShowMessage(this, QMessageBox::Warning, FailureText(nError, m_strRequested));
        return;
    }
    m_lease = lease;
    m_bHaveLease = true;
    ShowRows();
    // The rows come from the machine's DHCP clients; a server that could not
    // be asked must not pass for one that had nothing to add.
    if (const int nInform = InformAnswer(lease))
        m_services.ShowMessage(this, QMessageBox::Warning, UnaskedText(nInform));
}

void CQueryWindow::ShowRows()
{
    m_pResults->clear();
    m_rows.clear();
    if (!m_bHaveLease)
        return;
    QList<QTreeWidgetItem*> items;
    for (const ResultRow& row : m_pAllOptions->isChecked()
                                    ? BuildAllOptionRows(m_lease)
                                    : BuildResultRows(DecodeRequestedOptions(m_lease.m_mapOptions)))
    {
        auto* pItem = new QTreeWidgetItem({Shown(row.strParameter), Shown(row.strData)});
        pItem->setIcon(0, row.nImage == kImageServer ? m_iconServer : m_iconOption);
        items.append(pItem);
        m_rows.push_back({row.strParameter, row.strData});
    }
    m_pResults->addTopLevelItems(items);
}

QString CQueryWindow::FailureText(int nError, const CString& strAdapter) const
{
    // Veyra.exe's words, with the system's text for the errno value.
    CString strSystemText;
    DWORD dwLookupError = 0;
    QString strText =
        LookupSystemErrorText(static_cast<DWORD>(nError), strSystemText, dwLookupError)
            ? QString("DHCP Error %1: %2").arg(nError).arg(FromBytes(strSystemText))
            : QString("DHCP Error: %1 GetLastError: %2").arg(nError).arg(dwLookupError);
    if (nError == ENODATA)
    {
        strText +=
            "\n\nNo DHCP client on this machine keeps a lease for " + Shown(strAdapter) + ".";
        if (m_pInform->isEnabled() && !m_pInform->isChecked())
            strText += " \"Ask the DHCP server\" asks the server itself.";
    }
    return strText;
}

QString CQueryWindow::UnaskedText(int nError) const
{
    QString strReason = QString::fromLocal8Bit(std::strerror(nError));
    if (nError == ENOENT)
        strReason = "the adapter has no IPv4 address to ask from";
    return "The DHCP server could not be asked: " + strReason +
           ".\n\nThe rows show what this machine's DHCP clients hold.";
}

void CQueryWindow::OnResultsMenu(const QPoint& point)
{
    m_pResultsMenu->popup(m_pResults->viewport()->mapToGlobal(point));
}

void CQueryWindow::OnSaveAs()
{
    const QString strChosen = m_services.AskSavePath(this);
    if (strChosen.isEmpty())
        return;
    const CString strChosenPath = QFile::encodeName(strChosen).toStdString();
    const CString strPath = SavePathFor(strChosenPath);
    const QString strShownPath = QFile::decodeName(strPath.c_str());
    // The save dialog asked about replacing the name as chosen; a name that
    // ".txt" extends to an existing file is asked about here.
    if (strPath != strChosenPath && QFileInfo::exists(strShownPath) &&
        m_services.ShowMessage(this, QMessageBox::Warning,
                               strShownPath + " already exists.\nDo you want to replace it?",
                               QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    CString strReason;
    if (!WriteTextFile(strPath, BuildTsvText(m_rows), strReason))
        m_services.ShowMessage(this, QMessageBox::Warning,
                               strShownPath +
                                   "\nThe list could not be saved: " + FromBytes(strReason) + ".");
}

void CQueryWindow::OnCopyRow()
{
    const QList<QTreeWidgetItem*> selected = m_pResults->selectedItems();
    if (selected.isEmpty())
        return;
    const int nRow = m_pResults->indexOfTopLevelItem(selected.front());
    m_services.SetClipboardText(FromBytes(BuildTsvRow(m_rows[static_cast<std::size_t>(nRow)])));
}

void CQueryWindow::OnCopyAll()
{
    m_services.SetClipboardText(FromBytes(BuildTsvText(m_rows)));
}

void CQueryWindow::OnAbout()
{
    auto* pAbout = new CAboutBox(m_services, this);
    pAbout->setAttribute(Qt::WA_DeleteOnClose);
    pAbout->open();
}

void CQueryWindow::OnLinkActivated(const QString& strLink)
{
    m_services.OpenUrl(QUrl(strLink));
}
