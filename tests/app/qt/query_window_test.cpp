// veyra-gui's window, driven in-process on fake services (offscreen).
#include "app/qt/about_box.h"
#include "app/qt/all_option_rows.h"
#include "app/qt/link_widgets.h"
#include "app/qt/query_window.h"
#include "app/qt/servers_dialog.h"
#include "testing/adapter_builder.h"
#include "testing/fake_window_services.h"
#include "tests/app/qt/gated_lease_source.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <cerrno>

namespace
{
Lease TestLease()
{
    Lease lease;
    lease.m_mapOptions = {
        {1, {255, 255, 255, 0}},
        {3, {10, 0, 0, 1}},
        {6, {10, 0, 0, 1, 10, 0, 0, 2}},
        {15, {'l', 'a', 'b', '\t', 't', 'e', 's', 't'}},
        {54, {10, 0, 0, 1}},
    };
    return lease;
}

// The rows TestLease gives, in the window's order; the TAB in a value shows.
const QStringList kTestRows = {"DHCP Server\t10.0.0.1", "Subnet Mask\t255.255.255.0",
                               "Domain Name\tlab\\x09test", "DNS Server\t10.0.0.1 10.0.0.2 ",
                               "Gateway Address\t10.0.0.1"};

QString WithoutMnemonic(QString strText)
{
    return strText.remove('&');
}

// How many of the icon's pixels are mostly red, and mostly blue.
std::pair<int, int> RedAndBlue(const QIcon& icon)
{
    const QImage image =
        icon.pixmap(QSize(16, 15)).toImage().convertToFormat(QImage::Format_ARGB32);
    int nRed = 0;
    int nBlue = 0;
    for (int y = 0; y < image.height(); ++y)
    {
        for (int x = 0; x < image.width(); ++x)
        {
            const QColor colour = image.pixelColor(x, y);
            if (colour.alpha() < 128)
                continue;
            nRed += colour.red() > 150 && colour.green() < 100 && colour.blue() < 100 ? 1 : 0;
            nBlue += colour.blue() > 150 && colour.red() < 100 ? 1 : 0;
        }
    }
    return {nRed, nBlue};
}
} // namespace

class CQueryWindowTest : public QObject
{
    Q_OBJECT

private:
    CFakeWindowServices m_services;

    CFakeLeaseSource& Leases() { return static_cast<CFakeLeaseSource&>(*m_services.m_pLeases); }
    template <typename T> static T* Child(const QWidget& window, const char* pszName)
    {
        T* pChild = window.findChild<T*>(pszName);
        if (pChild == nullptr)
            qFatal("no child %s", pszName);
        return pChild;
    }
    static QStringList Rows(const QWidget& window)
    {
        QStringList rows;
        const auto* pResults = Child<QTreeWidget>(window, "results");
        for (int i = 0; i < pResults->topLevelItemCount(); ++i)
            rows << pResults->topLevelItem(i)->text(0) + '\t' + pResults->topLevelItem(i)->text(1);
        return rows;
    }
    // Sends the request and waits for its answer.
    static void Request(CQueryWindow& window)
    {
        Child<QPushButton>(window, "sendRequest")->click();
        QTRY_VERIFY(!window.IsRequestRunning());
    }
    static void ShowActive(QWidget& window)
    {
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }

private slots:
    void init()
    {
        m_services = CFakeWindowServices();
        m_services.m_adapters = {AdapterWith("eth0", "02:00:00:00:00:01"),
                                 AdapterWith("wlan0", "02:00:00:00:00:02")};
        m_services.m_pLeases = std::make_shared<CFakeLeaseSource>("fake", 0, TestLease());
    }

    void WidgetTreeHasVeyrasTexts()
    {
        const CQueryWindow window(m_services);
        QCOMPARE(window.windowTitle(), QString("Veyra"));
        QVERIFY(!window.windowIcon().isNull());
        QCOMPARE(WithoutMnemonic(Child<QPushButton>(window, "sendRequest")->text()),
                 QString("Send DHCP Request"));
        QCOMPARE(WithoutMnemonic(Child<QPushButton>(window, "download")->text()),
                 QString("Download Here"));
        QStringList labels;
        for (const QLabel* pLabel : window.findChildren<QLabel*>())
            labels << pLabel->text();
        QVERIFY(labels.contains("Select &Adapter From List:"));
        QCOMPARE(Child<QLabel>(window, "advertTitle")->text(),
                 QString("<a href=\"https://www.veyra.example/downloads/index.html\">Veyra "
                         "LeaseWatch</a>"));
        QVERIFY(Child<QLabel>(window, "advertText")
                    ->text()
                    .contains(">Veyra LeaseWatch tracks every DHCP lease on your network. Try it "
                              "free today!</a>"));
        QCOMPARE(Child<QWidget>(window, "banner")->sizeHint(), QSize(609, 106));

        const auto* pResults = Child<QTreeWidget>(window, "results");
        QCOMPARE(pResults->columnCount(), 2);
        QCOMPARE(pResults->headerItem()->text(0), QString("DHCP Parameter"));
        QCOMPARE(pResults->headerItem()->text(1), QString("DHCP Data"));
        QCOMPARE(pResults->topLevelItemCount(), 0);

        QStringList items;
        for (const QAction* pAction : Child<QMenu>(window, "resultsMenu")->actions())
            items << WithoutMnemonic(pAction->text());
        QCOMPARE(items, QStringList({"Save As...", "Copy Row...", "Copy All...", "", "Close", "",
                                     "About Veyra..."}));
    }

    void ChooserListsHardwareAddressesInOrderFirstSelected()
    {
        m_services.m_adapters = {AdapterWith("eth1", "02:00:00:00:00:09"),
                                 AdapterWith("eth0", "02:00:00:00:00:01"),
                                 AdapterWith("eth2", "02:00:00:00:00:09")};
        const CQueryWindow window(m_services);
        const auto* pAdapters = Child<QComboBox>(window, "adapters");
        QCOMPARE(pAdapters->count(), 3);
        QCOMPARE(pAdapters->itemText(0), QString("02:00:00:00:00:09"));
        QCOMPARE(pAdapters->itemText(1), QString("02:00:00:00:00:01"));
        QCOMPARE(pAdapters->itemText(2), QString("02:00:00:00:00:09"));
        QCOMPARE(pAdapters->currentIndex(), 0);
    }

    void RequestAsksForTheChosenAdapter()
    {
        m_services.m_adapters.push_back(AdapterWith("eth9", "02:00:00:00:00:01"));
        CQueryWindow window(m_services);
        Request(window);
        QCOMPARE(Leases().m_strAskedFor, std::string("eth0"));
        Child<QComboBox>(window, "adapters")->setCurrentIndex(1);
        Request(window);
        QCOMPARE(Leases().m_strAskedFor, std::string("wlan0"));
        // Two adapters show the same text: the first of them is meant.
        Child<QComboBox>(window, "adapters")->setCurrentIndex(2);
        Request(window);
        QCOMPARE(Leases().m_strAskedFor, std::string("eth0"));
        QCOMPARE(Leases().m_asked.back().m_nIndex, 1u);
    }

    void RowsInWindowOrderWithServerTriangle()
    {
        CQueryWindow window(m_services);
        Request(window);
        QCOMPARE(Rows(window), kTestRows);
        const auto* pResults = Child<QTreeWidget>(window, "results");
        const auto [nServerRed, nServerBlue] = RedAndBlue(pResults->topLevelItem(0)->icon(0));
        QVERIFY(nServerRed >= 10);
        QCOMPARE(nServerBlue, 0);
        for (int i = 1; i < pResults->topLevelItemCount(); ++i)
        {
            const auto [nRed, nBlue] = RedAndBlue(pResults->topLevelItem(i)->icon(0));
            QCOMPARE(nRed, 0);
            QVERIFY(nBlue >= 10);
        }
        // The mask colour is see-through.
        const QImage corner = pResults->topLevelItem(1)->icon(0).pixmap(QSize(16, 15)).toImage();
        QCOMPARE(qAlpha(corner.pixel(0, 0)), 0);
        QVERIFY(pResults->topLevelItem(0)->icon(0).availableSizes().contains(QSize(32, 30)) ||
                !pResults->topLevelItem(0)->icon(0).pixmap(QSize(16, 15), 2.0).isNull());
    }

    void EachRequestClearsTheListFirst()
    {
        CQueryWindow window(m_services);
        Request(window);
        Leases().m_errors["eth0"] = EACCES;
        Request(window);
        QCOMPARE(Rows(window), QStringList());
        // Picking another adapter keeps the rows of the last request.
        Leases().m_errors.clear();
        Request(window);
        Child<QComboBox>(window, "adapters")->setCurrentIndex(1);
        QCOMPARE(Rows(window), kTestRows);
    }

    void AllOptionsSwitchesToTheExtendedCatalogue()
    {
        Lease lease = TestLease();
        lease.m_mapOptions[121] = {8, 10, 10, 0, 0, 1};
        Leases() = CFakeLeaseSource("fake", 0, lease);
        CQueryWindow window(m_services);
        auto* pAllOptions = Child<QCheckBox>(window, "allOptions");
        QVERIFY(!pAllOptions->isChecked());
        Request(window);
        QCOMPARE(Rows(window), kTestRows);

        // The rows of the same lease change form; no new request goes out.
        pAllOptions->setChecked(true);
        QCOMPARE(Leases().m_nReads, 1);
        const QStringList extended = {"Subnet Mask\t255.255.255.0",
                                      "Router\t10.0.0.1",
                                      "Domain Name Server\t10.0.0.1, 10.0.0.2",
                                      "Domain Name\tlab\\x09test",
                                      "DHCP Server Identifier\t10.0.0.1",
                                      "Classless Static Route\t10.0.0.0/8 via 10.0.0.1"};
        QCOMPARE(Rows(window), extended);
        const auto* pResults = Child<QTreeWidget>(window, "results");
        for (int i = 0; i < pResults->topLevelItemCount(); ++i)
        {
            const auto [nRed, nBlue] = RedAndBlue(pResults->topLevelItem(i)->icon(0));
            QCOMPARE(nRed > 0, i == 4);
            QCOMPARE(nBlue > 0, i != 4);
        }
        Child<QMenu>(window, "resultsMenu")->actions().at(2)->trigger();
        QCOMPARE(m_services.m_clipboard.back(),
                 extended.join('\n').replace("lab\\x09test", "lab\\ttest") + '\n');

        // A new request keeps the form chosen.
        Request(window);
        QCOMPARE(Rows(window), extended);
        pAllOptions->setChecked(false);
        QCOMPARE(Rows(window), kTestRows);
    }

    // An option that may be cut says so, and each line kept as written
    // follows the options as a row of its name and its text.
    void AllOptionRowsKeepEveryLineOfALease()
    {
        Lease lease;
        lease.m_mapOptions = {{67, {'/', 'e', 'x', 't'}}, {54, {10, 0, 0, 1}}};
        lease.m_CutOptions = {67};
        lease.m_Unmapped = {{"site-thing", std::nullopt, "1:2:3", "dhclient"}};
        const std::vector<ResultRow> rows = BuildAllOptionRows(lease);
        QCOMPARE(rows.size(), std::size_t{3});
        QCOMPARE(rows[0].strData, CString("10.0.0.1"));
        QCOMPARE(rows[0].nImage, kImageServer);
        QCOMPARE(rows[1].strData, CString("/ext [may be cut short]"));
        QCOMPARE(rows[2].strParameter, CString("site-thing"));
        QCOMPARE(rows[2].strData, CString("1:2:3"));
        QCOMPARE(rows[2].nImage, kImageOption);
    }

    void NoInterfacesPresent()
    {
        m_services.m_adapters.clear();
        CQueryWindow window(m_services);
        QCOMPARE(Child<QComboBox>(window, "adapters")->count(), 0);
        Child<QPushButton>(window, "sendRequest")->click();
        QVERIFY(!window.IsRequestRunning());
        QCOMPARE(m_services.m_messages.size(), std::size_t{1});
        QCOMPARE(m_services.m_messages[0].m_strText, QString("No Interfaces Present"));
        QCOMPARE(m_services.m_messages[0].m_icon, QMessageBox::Warning);
        QCOMPARE(Leases().m_nReads, 0);
    }

    void FailuresInVeyrasWords_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("vanished");
        QTest::addColumn<QString>("text");
        QTest::newRow("only root may read") << EACCES << ""
                                            << "DHCP Error 13: Permission denied";
        QTest::newRow("no answer") << ETIMEDOUT << ""
                                   << "DHCP Error 110: Connection timed out";
        QTest::newRow("no source has a lease")
            << ENOENT << ""
            << "DHCP Error 61: No data available\n\nNo DHCP client on this machine keeps a "
               "lease for eth0.";
        QTest::newRow("adapter gone") << 0 << "eth0"
                                      << "DHCP Error 19: No such device";
        QTest::newRow("errno without text") << 4000 << ""
                                            << "DHCP Error: 4000 GetLastError: 22";
    }
    void FailuresInVeyrasWords()
    {
        QFETCH(int, error);
        QFETCH(QString, vanished);
        QFETCH(QString, text);
        Leases().m_errors["eth0"] = error;
        m_services.m_strVanished = vanished.toStdString();
        CQueryWindow window(m_services);
        Request(window);
        QCOMPARE(m_services.m_messages.size(), std::size_t{1});
        QCOMPARE(m_services.m_messages[0].m_strText, text);
        QCOMPARE(m_services.m_messages[0].m_icon, QMessageBox::Warning);
        QCOMPARE(Rows(window), QStringList());
    }

    void CopyWritesStandardTsv()
    {
        CQueryWindow window(m_services);
        Request(window);
        auto* pMenu = Child<QMenu>(window, "resultsMenu");
        QAction* pCopyRow = pMenu->actions().at(1);
        QAction* pCopyAll = pMenu->actions().at(2);

        // Without a selected row nothing is copied.
        pCopyRow->trigger();
        QCOMPARE(m_services.m_clipboard.size(), std::size_t{0});

        auto* pResults = Child<QTreeWidget>(window, "results");
        pResults->setCurrentItem(pResults->topLevelItem(2));
        pCopyRow->trigger();
        QCOMPARE(m_services.m_clipboard.back(), QString("Domain Name\tlab\\ttest\n"));

        pCopyAll->trigger();
        QCOMPARE(m_services.m_clipboard.back(),
                 QString("DHCP Server\t10.0.0.1\nSubnet Mask\t255.255.255.0\nDomain "
                         "Name\tlab\\ttest\nDNS Server\t10.0.0.1 10.0.0.2 \nGateway "
                         "Address\t10.0.0.1\n"));
    }

    void UnaskedServerIsReportedBesideTheRows()
    {
        Lease lease = TestLease();
        lease.m_mapAnswers["inform"] = EPERM;
        Leases() = CFakeLeaseSource("fake", 0, lease);
        CQueryWindow window(m_services);
        Request(window);
        QCOMPARE(Rows(window), kTestRows);
        QCOMPARE(m_services.m_messages.size(), std::size_t{1});
        QVERIFY(m_services.m_messages[0].m_strText.startsWith(
            "The DHCP server could not be asked: Operation not permitted."));
    }

    void PeerTextIsShownEscapedAndPlain()
    {
        // A server's value and an interface's name that would draw, hide and
        // reorder text, or format it as rich text.
        Lease lease;
        lease.m_mapOptions[15] = {'a', 0x1B, '[', '3', '1', 'm', 0xE2, 0x80, 0xAE, 'b', '\t', 'c'};
        Leases() = CFakeLeaseSource("fake", 0, lease);
        m_services.m_adapters = {AdapterWith("<b>e\x1B</b>", "02:00:00:00:00:01")};
        CQueryWindow window(m_services);
        Request(window);
        QCOMPARE(Rows(window), QStringList{"Domain Name\ta\\x1B[31m\\u202Eb\\x09c"});
        Child<QMenu>(window, "resultsMenu")->actions().at(2)->trigger();
        QCOMPARE(m_services.m_clipboard.back(), QString("Domain Name\ta\\x1B[31m\\u202Eb\\tc\n"));

        Leases().m_errors["<b>e\x1B</b>"] = ENODATA;
        Request(window);
        QCOMPARE(m_services.m_messages.back().m_strText,
                 QString("DHCP Error 61: No data available\n\nNo DHCP client on this machine "
                         "keeps a lease for <b>e\\x1B</b>."));

        // The about box's texts are plain; its links are the maker's own.
        const CAboutBox about(m_services);
        for (const QLabel* pLabel : about.findChildren<QLabel*>())
        {
            if (qobject_cast<const CLinkLabel*>(pLabel) == nullptr && !pLabel->text().isEmpty())
                QCOMPARE(pLabel->textFormat(), Qt::PlainText);
        }
    }

    void CopyAllOfEmptyListIsEmptyText()
    {
        CQueryWindow window(m_services);
        Child<QMenu>(window, "resultsMenu")->actions().at(2)->trigger();
        QCOMPARE(m_services.m_clipboard, std::vector<QString>{QString()});
    }

    void SaveAsWritesTsvAndAsksBeforeReplacing()
    {
        QTemporaryDir directory;
        QVERIFY(directory.isValid());
        CQueryWindow window(m_services);
        Request(window);
        QAction* pSaveAs = Child<QMenu>(window, "resultsMenu")->actions().at(0);
        const QString strWritten = directory.filePath("options.txt");
        const QByteArray expected = "DHCP Server\t10.0.0.1\nSubnet Mask\t255.255.255.0\nDomain "
                                    "Name\tlab\\ttest\nDNS Server\t10.0.0.1 10.0.0.2 \nGateway "
                                    "Address\t10.0.0.1\n";
        auto ReadWritten = [&strWritten]()
        {
            QFile file(strWritten);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
        };

        // Cancel writes nothing.
        pSaveAs->trigger();
        QCOMPARE(m_services.m_nSaveDialogs, 1);
        QCOMPARE(ReadWritten(), QByteArray("(none)"));

        // ".txt" is appended to a name without an extension.
        m_services.m_strSavePath = directory.filePath("options");
        pSaveAs->trigger();
        QCOMPARE(ReadWritten(), expected);
        QVERIFY(m_services.m_messages.empty());

        // That name exists now: No keeps the file as it was.
        QFile::resize(strWritten, 3);
        m_services.m_answer = QMessageBox::No;
        pSaveAs->trigger();
        QCOMPARE(m_services.m_messages.size(), std::size_t{1});
        QCOMPARE(m_services.m_messages[0].m_strText,
                 strWritten + " already exists.\nDo you want to replace it?");
        QCOMPARE(m_services.m_messages[0].m_buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(ReadWritten(), expected.left(3));
        m_services.m_answer = QMessageBox::Yes;
        pSaveAs->trigger();
        QCOMPARE(ReadWritten(), expected);

        // The name as chosen was asked about by the save dialog itself.
        m_services.m_strSavePath = strWritten;
        pSaveAs->trigger();
        QCOMPARE(m_services.m_messages.size(), std::size_t{2});
    }

    void SaveFailureNamesFileAndReason()
    {
        QTemporaryDir directory;
        CQueryWindow window(m_services);
        Request(window);
        m_services.m_strSavePath = directory.filePath("missing/options.txt");
        Child<QMenu>(window, "resultsMenu")->actions().at(0)->trigger();
        QCOMPARE(m_services.m_messages.size(), std::size_t{1});
        QCOMPARE(m_services.m_messages[0].m_strText,
                 m_services.m_strSavePath +
                     "\nThe list could not be saved: No such file or directory.");
    }

    void LinksOpenTheMakersPages()
    {
        CQueryWindow window(m_services);
        ShowActive(window);
        Child<QPushButton>(window, "download")->click();
        auto* pBanner = Child<QWidget>(window, "banner");
        QTest::mouseClick(pBanner, Qt::LeftButton, {}, QPoint(20, 20));
        auto* pTitle = Child<QLabel>(window, "advertTitle");
        QTest::mouseClick(pTitle, Qt::LeftButton, {}, pTitle->rect().center());
        auto* pText = Child<QLabel>(window, "advertText");
        QTest::mouseClick(
            pText, Qt::LeftButton, {},
            QPoint(pText->fontMetrics().horizontalAdvance("Veyra"), pText->height() / 2));
        QCOMPARE(
            m_services.m_urls,
            std::vector<QString>({"https://www.veyra.example/", "https://www.veyra-labs.example/",
                                  "https://www.veyra.example/downloads/index.html",
                                  "https://www.veyra.example/downloads/index.html"}));
    }

    void AboutOnF1AndFromTheMenu()
    {
        CQueryWindow window(m_services);
        ShowActive(window);
        QTest::keyClick(&window, Qt::Key_F1);
        auto* pAbout = window.findChild<CAboutBox*>();
        QVERIFY(pAbout != nullptr);
        QTRY_VERIFY(pAbout->isVisible());
        // OK has the focus and is the default button.
        auto* pOk = pAbout->findChild<QPushButton*>();
        QCOMPARE(pAbout->focusWidget(), pOk);
        QVERIFY(pOk->isDefault());
        QCOMPARE(pAbout->windowTitle(), QString("About Veyra"));
        QCOMPARE(Child<QLabel>(*pAbout, "version")->text(),
                 QString("Veyra Version " VEYRA_EXPECTED_VERSION));
        QStringList links;
        for (QLabel* pLabel : pAbout->findChildren<QLabel*>())
        {
            if (pLabel->text().startsWith("<a href=\"https://www.veyra.example/\">"))
                links << pLabel->text();
        }
        QCOMPARE(links, QStringList({"<a href=\"https://www.veyra.example/\">Copyright \u00A9 "
                                     "2026 Veyra Software</a>",
                                     "<a href=\"https://www.veyra.example/\">"
                                     "https://www.veyra.example/</a>"}));
        QPointer<CAboutBox> pClosed(pAbout);
        QTest::keyClick(pOk, Qt::Key_Return);
        QTRY_VERIFY(pClosed.isNull());

        Child<QMenu>(window, "resultsMenu")->actions().back()->trigger();
        QTRY_VERIFY(window.findChild<CAboutBox*>() != nullptr);
    }

    void InformOfferedOnlyWithTheCapability()
    {
        {
            CQueryWindow window(m_services);
            auto* pInform = Child<QCheckBox>(window, "inform");
            QVERIFY(!pInform->isEnabled());
            QCOMPARE(pInform->toolTip(), m_services.m_strProbeAdvice);
            QCOMPARE(Child<QLabel>(window, "informReason")->text(),
                     QString("(not allowed for this user)"));
            Request(window);
            QCOMPARE(m_services.m_asks, std::vector<bool>{false});
        }
        m_services.m_bCanInform = true;
        m_services.m_asks.clear();
        CQueryWindow window(m_services);
        auto* pInform = Child<QCheckBox>(window, "inform");
        QVERIFY(pInform->isEnabled());
        QVERIFY(!pInform->isChecked());
        QCOMPARE(Child<QLabel>(window, "informReason")->text(), QString());
        Request(window);
        pInform->setChecked(true);
        Request(window);
        QCOMPARE(m_services.m_asks, std::vector<bool>({false, true}));
    }

    void FindServersOfferedOnlyWithTheCapability()
    {
        const CQueryWindow window(m_services);
        const auto* pFind = Child<QPushButton>(window, "findServers");
        QVERIFY(!pFind->isEnabled());
        QCOMPARE(pFind->toolTip(), m_services.m_strProbeAdvice);
    }

    void FindServersListsThemAndWarnsOfMoreThanOne_data()
    {
        QTest::addColumn<int>("servers");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("status");
        QTest::newRow("none") << 0 << 0 << "No DHCP server answered on 02:00:00:00:00:02 (wlan0).";
        QTest::newRow("one") << 1 << 0 << "1 DHCP server answered on 02:00:00:00:00:02 (wlan0).";
        QTest::newRow("two") << 2 << 0 << "2 DHCP servers answered on 02:00:00:00:00:02 (wlan0).";
        QTest::newRow("no permission")
            << 0 << EPERM << "DHCP Error 1: Operation not permitted (EPERM)";
    }
    void FindServersListsThemAndWarnsOfMoreThanOne()
    {
        QFETCH(int, servers);
        QFETCH(int, error);
        QFETCH(QString, status);
        m_services.m_bCanDiscover = true;
        m_services.m_nDiscoveryError = error;
        for (int i = 0; i < servers; ++i)
        {
            DiscoveredServer server;
            server.serverId = 0x0A000001 + static_cast<std::uint32_t>(i);
            server.offer.m_nYourAddress = 0x0A000064;
            server.path = {*server.serverId, {2, 0, 0, 0, 0, static_cast<std::uint8_t>(i)}};
            m_services.m_discovery.m_servers.push_back(server);
        }
        CQueryWindow window(m_services);
        Child<QComboBox>(window, "adapters")->setCurrentIndex(1);
        Child<QPushButton>(window, "findServers")->click();
        auto* pDialog = window.findChild<CServersDialog*>();
        QVERIFY(pDialog != nullptr);
        QTRY_VERIFY(!pDialog->IsSearching());
        QCOMPARE(m_services.m_discoveredOn, std::vector<std::string>{"wlan0"});
        QCOMPARE(Child<QLabel>(*pDialog, "status")->text(), status);
        const QAbstractItemModel* pList = Child<QTreeView>(*pDialog, "serverList")->model();
        QCOMPARE(pList->rowCount(), servers);
        if (servers > 0)
        {
            QCOMPARE(pList->index(0, 0).data().toString(), QString("10.0.0.1"));
            QCOMPARE(pList->index(0, 1).data().toString(), QString("10.0.0.100"));
            QCOMPARE(pList->index(0, 2).data().toString(), QString("10.0.0.1 (02:00:00:00:00:00)"));
        }
        QCOMPARE(!Child<QLabel>(*pDialog, "warning")->isHidden(), servers > 1);
    }

    void KeyboardOnly()
    {
        m_services.m_bCanInform = true;
        CQueryWindow window(m_services);
        ShowActive(window);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("sendRequest"));

        // Enter sends the request, from the button and from the chooser.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_COMPARE(Rows(window), kTestRows);

        QStringList chain;
        for (int i = 0; i < 9; ++i)
        {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            chain << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(chain, QStringList({"results", "adapters", "inform", "allOptions", "download",
                                     "banner", "advertTitle", "advertText", "sendRequest"}));

        // The banner opens its page from the keyboard too.
        Child<QWidget>(window, "banner")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(m_services.m_urls, std::vector<QString>{"https://www.veyra-labs.example/"});

        // Mnemonics: Alt+A goes to the chooser, whose arrow keys pick.
        QTest::keyClick(&window, Qt::Key_A, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("adapters"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(Child<QComboBox>(window, "adapters")->currentIndex(), 1);
        // A button's mnemonic clicks it after a short animation.
        QTest::keyClick(&window, Qt::Key_I, Qt::AltModifier);
        QTRY_VERIFY(Child<QCheckBox>(window, "inform")->isChecked());
        QTest::keyClick(&window, Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE(m_services.m_asks, std::vector<bool>({false, true}));
        QTRY_VERIFY(!window.IsRequestRunning());
        QCOMPARE(Leases().m_strAskedFor, std::string("wlan0"));
        QTest::keyClick(&window, Qt::Key_D, Qt::AltModifier);
        QTRY_COMPARE(m_services.m_urls.size(), std::size_t{2});
        QCOMPARE(m_services.m_urls.back(), QString("https://www.veyra.example/"));

        // The list's menu from the keyboard, and its items by their letters.
        auto* pResults = Child<QTreeWidget>(window, "results");
        pResults->setFocus();
        QTest::keyClick(pResults, Qt::Key_End);
        QTest::keyClick(pResults, Qt::Key_Home);
        QTest::keyClick(pResults, Qt::Key_F10, Qt::ShiftModifier);
        auto* pMenu = Child<QMenu>(window, "resultsMenu");
        QTRY_VERIFY(pMenu->isVisible());
        QTest::keyClick(pMenu, Qt::Key_R);
        QTRY_VERIFY(!pMenu->isVisible());
        QCOMPARE(m_services.m_clipboard, std::vector<QString>{"DHCP Server\t10.0.0.1\n"});

        // Escape closes the window.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!window.isVisible());
    }

    void RequestRunsOffTheUiThread()
    {
        auto pDestroyed = std::make_shared<std::atomic<bool>>(false);
        auto pGate = std::make_shared<CGatedLeaseSource>(m_services.m_pLeases, pDestroyed);
        m_services.m_pLeases = pGate;
        CQueryWindow window(m_services);
        ShowActive(window);
        auto* pSend = Child<QPushButton>(window, "sendRequest");
        pSend->click();
        QTRY_VERIFY(pGate->IsWaiting());
        QVERIFY(window.IsRequestRunning());
        QVERIFY(!pSend->isEnabled());
        QCOMPARE(window.cursor().shape(), Qt::BusyCursor);
        // The window still answers: the chooser moves while the read waits.
        QTest::keyClick(Child<QComboBox>(window, "adapters"), Qt::Key_Down);
        QCOMPARE(Child<QComboBox>(window, "adapters")->currentIndex(), 1);

        pGate->Open();
        QTRY_COMPARE(Rows(window), kTestRows);
        QVERIFY(pSend->isEnabled());
        QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(QApplication::focusWidget(), pSend);
    }

    void ClosingDuringARequestDropsItsResult()
    {
        const auto pInner = std::static_pointer_cast<CFakeLeaseSource>(m_services.m_pLeases);
        pInner->m_errors["eth0"] = EACCES; // a result that would show a message
        auto pDestroyed = std::make_shared<std::atomic<bool>>(false);
        auto pGate = std::make_shared<CGatedLeaseSource>(pInner, pDestroyed);
        m_services.m_pLeases = pGate;
        {
            CQueryWindow window(m_services);
            ShowActive(window);
            Child<QPushButton>(window, "sendRequest")->click();
            QTRY_VERIFY(pGate->IsWaiting());
            window.close();
        }
        // Only the worker holds the source now; it reads after the window is gone.
        m_services.m_pLeases.reset();
        pGate->Open();
        pGate.reset();
        QTRY_VERIFY(pDestroyed->load());
        QCoreApplication::processEvents();
        QCOMPARE(pInner->m_nReads, 1);
        QVERIFY(m_services.m_messages.empty());
    }
};

QTEST_MAIN(CQueryWindowTest)
#include "query_window_test.moc"
