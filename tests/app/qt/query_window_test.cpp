// veyra-gui's window, driven in-process on fake services (offscreen).
#include "app/qt/about_box.h"
#include "app/qt/all_option_rows.h"
#include "app/qt/link_widgets.h"
#include "app/qt/query_window.h"
#include "app/qt/servers_dialog.h"
#include "testing/adapter_builder.h"
#include "testing/fake_ipv6.h"
#include "testing/fake_window_services.h"
#include "tests/app/qt/gated_lease_source.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

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

QString WithoutMnemonic(QString text)
{
    return text.remove('&');
}

// How many of the icon's pixels are mostly red, and mostly blue.
std::pair<int, int> RedAndBlue(const QIcon& icon)
{
    const QImage image =
        icon.pixmap(QSize(16, 15)).toImage().convertToFormat(QImage::Format_ARGB32);
    int red = 0;
    int blue = 0;
    for (int y = 0; y < image.height(); ++y)
    {
        for (int x = 0; x < image.width(); ++x)
        {
            const QColor colour = image.pixelColor(x, y);
            if (colour.alpha() < 128)
                continue;
            red += colour.red() > 150 && colour.green() < 100 && colour.blue() < 100 ? 1 : 0;
            blue += colour.blue() > 150 && colour.red() < 100 ? 1 : 0;
        }
    }
    return {red, blue};
}
} // namespace

class QueryWindowTest : public QObject
{
    Q_OBJECT

private:
    FakeWindowServices m_services;

    CFakeLeaseSource& Leases() { return static_cast<CFakeLeaseSource&>(*m_services.m_leases); }
    template <typename T> static T* Child(const QWidget& window, const char* name)
    {
        T* child = window.findChild<T*>(name);
        if (child == nullptr)
            qFatal("no child %s", name);
        return child;
    }
    static const QAbstractItemModel& Results(const QWidget& window)
    {
        return *Child<QTreeView>(window, "results")->model();
    }
    static QStringList Rows(const QWidget& window)
    {
        QStringList rows;
        const QAbstractItemModel& results = Results(window);
        for (int i = 0; i < results.rowCount(); ++i)
            rows << results.index(i, 0).data().toString() + '\t' +
                        results.index(i, 1).data().toString();
        return rows;
    }
    static QIcon RowIcon(const QWidget& window, int row)
    {
        return Results(window).index(row, 0).data(Qt::DecorationRole).value<QIcon>();
    }
    // Sends the request and waits for its answer.
    static void Request(QueryWindow& window)
    {
        Child<QPushButton>(window, "sendRequest")->click();
        QTRY_VERIFY(!window.isRequestRunning());
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
        m_services = FakeWindowServices();
        m_services.m_adapters = {AdapterWith("eth0", "02:00:00:00:00:01"),
                                 AdapterWith("wlan0", "02:00:00:00:00:02")};
        m_services.m_leases = std::make_shared<CFakeLeaseSource>("fake", 0, TestLease());
    }

    void WidgetTreeHasVeyrasTexts()
    {
        const QueryWindow window(m_services);
        QCOMPARE(window.windowTitle(), QString("Veyra"));
        QVERIFY(!window.windowIcon().isNull());
        QCOMPARE(WithoutMnemonic(Child<QPushButton>(window, "sendRequest")->text()),
                 QString("Send DHCP Request"));
        QCOMPARE(WithoutMnemonic(Child<QPushButton>(window, "download")->text()),
                 QString("Download Here"));
        QStringList labels;
        for (const QLabel* label : window.findChildren<QLabel*>())
            labels << label->text();
        QVERIFY(labels.contains("Select &Adapter From List:"));
        QCOMPARE(Child<QLabel>(window, "advertTitle")->text(),
                 QString("<a href=\"https://www.veyra.example/downloads/index.html\">Veyra "
                         "LeaseWatch</a>"));
        QVERIFY(Child<QLabel>(window, "advertText")
                    ->text()
                    .contains(">Veyra LeaseWatch tracks every DHCP lease on your network. Try it "
                              "free today!</a>"));
        QCOMPARE(Child<QWidget>(window, "banner")->sizeHint(), QSize(609, 106));

        const QAbstractItemModel& results = Results(window);
        QCOMPARE(results.columnCount(), 2);
        QCOMPARE(results.headerData(0, Qt::Horizontal).toString(), QString("DHCP Parameter"));
        QCOMPARE(results.headerData(1, Qt::Horizontal).toString(), QString("DHCP Data"));
        QCOMPARE(results.rowCount(), 0);

        QStringList items;
        for (const QAction* action : Child<QMenu>(window, "resultsMenu")->actions())
            items << WithoutMnemonic(action->text());
        QCOMPARE(items, QStringList({"Save As...", "Copy Row...", "Copy All...", "", "Close", "",
                                     "About Veyra..."}));
    }

    void ChooserListsHardwareAddressesInOrderFirstSelected()
    {
        m_services.m_adapters = {AdapterWith("eth1", "02:00:00:00:00:09"),
                                 AdapterWith("eth0", "02:00:00:00:00:01"),
                                 AdapterWith("eth2", "02:00:00:00:00:09")};
        const QueryWindow window(m_services);
        const auto* adapters = Child<QComboBox>(window, "adapters");
        QCOMPARE(adapters->count(), 3);
        QCOMPARE(adapters->itemText(0), QString("02:00:00:00:00:09"));
        QCOMPARE(adapters->itemText(1), QString("02:00:00:00:00:01"));
        QCOMPARE(adapters->itemText(2), QString("02:00:00:00:00:09"));
        QCOMPARE(adapters->currentIndex(), 0);
    }

    void RequestAsksForTheChosenAdapter()
    {
        m_services.m_adapters.push_back(AdapterWith("eth9", "02:00:00:00:00:01"));
        QueryWindow window(m_services);
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
        QueryWindow window(m_services);
        Request(window);
        QCOMPARE(Rows(window), kTestRows);
        const auto [serverRed, serverBlue] = RedAndBlue(RowIcon(window, 0));
        QVERIFY(serverRed >= 10);
        QCOMPARE(serverBlue, 0);
        for (int i = 1; i < Results(window).rowCount(); ++i)
        {
            const auto [red, blue] = RedAndBlue(RowIcon(window, i));
            QCOMPARE(red, 0);
            QVERIFY(blue >= 10);
        }
        // The mask colour is see-through.
        const QImage corner = RowIcon(window, 1).pixmap(QSize(16, 15)).toImage();
        QCOMPARE(qAlpha(corner.pixel(0, 0)), 0);
        QVERIFY(RowIcon(window, 0).availableSizes().contains(QSize(32, 30)) ||
                !RowIcon(window, 0).pixmap(QSize(16, 15), 2.0).isNull());
    }

    void EachRequestClearsTheListFirst()
    {
        QueryWindow window(m_services);
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
        QueryWindow window(m_services);
        // Each change of the rows keeps the model's contract with its views.
        const QAbstractItemModelTester modelTester(
            Child<QTreeView>(window, "results")->model(),
            QAbstractItemModelTester::FailureReportingMode::QtTest);
        auto* allOptions = Child<QCheckBox>(window, "allOptions");
        QVERIFY(!allOptions->isChecked());
        Request(window);
        QCOMPARE(Rows(window), kTestRows);

        // The rows of the same lease change form; no new request goes out.
        allOptions->setChecked(true);
        QCOMPARE(Leases().m_nReads, 1);
        const QStringList extended = {"Subnet Mask\t255.255.255.0",
                                      "Router\t10.0.0.1",
                                      "Domain Name Server\t10.0.0.1, 10.0.0.2",
                                      "Domain Name\tlab\\x09test",
                                      "DHCP Server Identifier\t10.0.0.1",
                                      "Classless Static Route\t10.0.0.0/8 via 10.0.0.1"};
        QCOMPARE(Rows(window), extended);
        for (int i = 0; i < Results(window).rowCount(); ++i)
        {
            const auto [red, blue] = RedAndBlue(RowIcon(window, i));
            QCOMPARE(red > 0, i == 4);
            QCOMPARE(blue > 0, i != 4);
        }
        Child<QMenu>(window, "resultsMenu")->actions().at(2)->trigger();
        QCOMPARE(m_services.m_clipboard.back(),
                 extended.join('\n').replace("lab\\x09test", "lab\\ttest") + '\n');

        // A new request keeps the form chosen.
        Request(window);
        QCOMPARE(Rows(window), extended);
        allOptions->setChecked(false);
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
        const std::vector<ResultRow> rows = buildAllOptionRows(lease);
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
        QueryWindow window(m_services);
        QCOMPARE(Child<QComboBox>(window, "adapters")->count(), 0);
        Child<QPushButton>(window, "sendRequest")->click();
        QVERIFY(!window.isRequestRunning());
        QCOMPARE(m_services.m_messages.size(), std::size_t{1});
        QCOMPARE(m_services.m_messages[0].text, QString("No Interfaces Present"));
        QCOMPARE(m_services.m_messages[0].icon, QMessageBox::Warning);
        QCOMPARE(Leases().m_nReads, 0);
    }

    void FailuresInVeyrasWords_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("vanished");
        QTest::addColumn<QString>("text");
        QTest::newRow("only root may read") << EACCES << ""
                                            << "DHCP Error 13: Permission denied (EACCES)";
        QTest::newRow("no answer") << ETIMEDOUT << ""
                                   << "DHCP Error 110: Connection timed out (ETIMEDOUT)";
        QTest::newRow("no source has a lease")
            << ENOENT << ""
            << "DHCP Error 61: No data available (ENODATA)\n\nNo DHCP client on this machine "
               "keeps a "
               "lease for eth0.";
        QTest::newRow("adapter gone") << 0 << "eth0"
                                      << "DHCP Error 19: No such device (ENODEV)";
        QTest::newRow("errno without a name") << 4000 << ""
                                              << "DHCP Error 4000: error 4000";
    }
    void FailuresInVeyrasWords()
    {
        QFETCH(int, error);
        QFETCH(QString, vanished);
        QFETCH(QString, text);
        Leases().m_errors["eth0"] = error;
        m_services.m_vanished = vanished.toStdString();
        QueryWindow window(m_services);
        Request(window);
        QCOMPARE(m_services.m_messages.size(), std::size_t{1});
        QCOMPARE(m_services.m_messages[0].text, text);
        QCOMPARE(m_services.m_messages[0].icon, QMessageBox::Warning);
        QCOMPARE(Rows(window), QStringList());
    }

    void CopyWritesStandardTsv()
    {
        QueryWindow window(m_services);
        Request(window);
        auto* menu = Child<QMenu>(window, "resultsMenu");
        QAction* copyRow = menu->actions().at(1);
        QAction* copyAll = menu->actions().at(2);

        // Without a selected row nothing is copied.
        copyRow->trigger();
        QCOMPARE(m_services.m_clipboard.size(), std::size_t{0});

        auto* results = Child<QTreeView>(window, "results");
        results->setCurrentIndex(results->model()->index(2, 0));
        copyRow->trigger();
        QCOMPARE(m_services.m_clipboard.back(), QString("Domain Name\tlab\\ttest\n"));

        copyAll->trigger();
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
        QueryWindow window(m_services);
        Request(window);
        QCOMPARE(Rows(window), kTestRows);
        QCOMPARE(m_services.m_messages.size(), std::size_t{1});
        QVERIFY(m_services.m_messages[0].text.startsWith(
            "The DHCP server could not be asked: Operation not permitted (EPERM)."));
    }

    void PeerTextIsShownEscapedAndPlain()
    {
        // A server's value and an interface's name that would draw, hide and
        // reorder text, or format it as rich text.
        Lease lease;
        lease.m_mapOptions[15] = {'a', 0x1B, '[', '3', '1', 'm', 0xE2, 0x80, 0xAE, 'b', '\t', 'c'};
        Leases() = CFakeLeaseSource("fake", 0, lease);
        m_services.m_adapters = {AdapterWith("<b>e\x1B</b>", "02:00:00:00:00:01")};
        QueryWindow window(m_services);
        Request(window);
        QCOMPARE(Rows(window), QStringList{"Domain Name\ta\\x1B[31m\\u202Eb\\x09c"});
        Child<QMenu>(window, "resultsMenu")->actions().at(2)->trigger();
        QCOMPARE(m_services.m_clipboard.back(), QString("Domain Name\ta\\x1B[31m\\u202Eb\\tc\n"));

        Leases().m_errors["<b>e\x1B</b>"] = ENODATA;
        Request(window);
        QCOMPARE(m_services.m_messages.back().text,
                 QString("DHCP Error 61: No data available (ENODATA)\n\nNo DHCP client on this "
                         "machine keeps a lease for <b>e\\x1B</b>."));

        // The about box's texts are plain; its links are the maker's own.
        const AboutBox about(m_services);
        for (const QLabel* label : about.findChildren<QLabel*>())
        {
            if (qobject_cast<const LinkLabel*>(label) == nullptr && !label->text().isEmpty())
                QCOMPARE(label->textFormat(), Qt::PlainText);
        }
    }

    void CopyAllOfEmptyListIsEmptyText()
    {
        QueryWindow window(m_services);
        Child<QMenu>(window, "resultsMenu")->actions().at(2)->trigger();
        QCOMPARE(m_services.m_clipboard, std::vector<QString>{QString()});
    }

    void SaveAsWritesTsvAndAsksBeforeReplacing()
    {
        QTemporaryDir directory;
        QVERIFY(directory.isValid());
        QueryWindow window(m_services);
        Request(window);
        QAction* saveAs = Child<QMenu>(window, "resultsMenu")->actions().at(0);
        const QString written = directory.filePath("options.txt");
        const QByteArray expected = "DHCP Server\t10.0.0.1\nSubnet Mask\t255.255.255.0\nDomain "
                                    "Name\tlab\\ttest\nDNS Server\t10.0.0.1 10.0.0.2 \nGateway "
                                    "Address\t10.0.0.1\n";
        auto ReadWritten = [&written]()
        {
            QFile file(written);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
        };

        // Cancel writes nothing.
        saveAs->trigger();
        QCOMPARE(m_services.m_saveDialogs, 1);
        QCOMPARE(ReadWritten(), QByteArray("(none)"));

        // ".txt" is appended to a name without an extension.
        m_services.m_savePath = directory.filePath("options");
        saveAs->trigger();
        QCOMPARE(ReadWritten(), expected);
        QVERIFY(m_services.m_messages.empty());

        // That name exists now: No keeps the file as it was.
        QFile::resize(written, 3);
        m_services.m_answer = QMessageBox::No;
        saveAs->trigger();
        QCOMPARE(m_services.m_messages.size(), std::size_t{1});
        QCOMPARE(m_services.m_messages[0].text,
                 written + " already exists.\nDo you want to replace it?");
        QCOMPARE(m_services.m_messages[0].buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(ReadWritten(), expected.left(3));
        m_services.m_answer = QMessageBox::Yes;
        saveAs->trigger();
        QCOMPARE(ReadWritten(), expected);

        // The name as chosen was asked about by the save dialog itself.
        m_services.m_savePath = written;
        saveAs->trigger();
        QCOMPARE(m_services.m_messages.size(), std::size_t{2});
    }

    void SaveFailureNamesFileAndReason()
    {
        QTemporaryDir directory;
        QueryWindow window(m_services);
        Request(window);
        m_services.m_savePath = directory.filePath("missing/options.txt");
        Child<QMenu>(window, "resultsMenu")->actions().at(0)->trigger();
        QCOMPARE(m_services.m_messages.size(), std::size_t{1});
        QCOMPARE(m_services.m_messages[0].text,
                 m_services.m_savePath +
                     "\nThe list could not be saved: No such file or directory.");
    }

    void LinksOpenTheMakersPages()
    {
        QueryWindow window(m_services);
        ShowActive(window);
        Child<QPushButton>(window, "download")->click();
        auto* banner = Child<QWidget>(window, "banner");
        QTest::mouseClick(banner, Qt::LeftButton, {}, QPoint(20, 20));
        auto* title = Child<QLabel>(window, "advertTitle");
        QTest::mouseClick(title, Qt::LeftButton, {}, title->rect().center());
        auto* text = Child<QLabel>(window, "advertText");
        QTest::mouseClick(
            text, Qt::LeftButton, {},
            QPoint(text->fontMetrics().horizontalAdvance("Veyra"), text->height() / 2));
        QCOMPARE(
            m_services.m_urls,
            std::vector<QString>({"https://www.veyra.example/", "https://www.veyra-labs.example/",
                                  "https://www.veyra.example/downloads/index.html",
                                  "https://www.veyra.example/downloads/index.html"}));
    }

    void AboutOnF1AndFromTheMenu()
    {
        QueryWindow window(m_services);
        ShowActive(window);
        QTest::keyClick(&window, Qt::Key_F1);
        auto* about = window.findChild<AboutBox*>();
        QVERIFY(about != nullptr);
        QTRY_VERIFY(about->isVisible());
        // OK has the focus and is the default button.
        auto* ok = about->findChild<QPushButton*>();
        QCOMPARE(about->focusWidget(), ok);
        QVERIFY(ok->isDefault());
        QCOMPARE(about->windowTitle(), QString("About Veyra"));
        QCOMPARE(Child<QLabel>(*about, "version")->text(),
                 QString("Veyra Version " VEYRA_EXPECTED_VERSION));
        QStringList links;
        for (QLabel* label : about->findChildren<QLabel*>())
        {
            if (label->text().startsWith("<a href=\"https://www.veyra.example/\">"))
                links << label->text();
        }
        QCOMPARE(links, QStringList({"<a href=\"https://www.veyra.example/\">Copyright \u00A9 "
                                     "2026 Veyra Software</a>",
                                     "<a href=\"https://www.veyra.example/\">"
                                     "https://www.veyra.example/</a>"}));
        QPointer<AboutBox> closed(about);
        QTest::keyClick(ok, Qt::Key_Return);
        QTRY_VERIFY(closed.isNull());

        Child<QMenu>(window, "resultsMenu")->actions().back()->trigger();
        QTRY_VERIFY(window.findChild<AboutBox*>() != nullptr);
    }

    void InformOfferedOnlyWithTheCapability()
    {
        {
            QueryWindow window(m_services);
            auto* inform = Child<QCheckBox>(window, "inform");
            QVERIFY(!inform->isEnabled());
            QCOMPARE(inform->toolTip(), m_services.m_probeAdvice);
            QCOMPARE(Child<QLabel>(window, "informReason")->text(),
                     QString("(not allowed for this user)"));
            Request(window);
            QCOMPARE(m_services.m_asks, std::vector<bool>{false});
        }
        m_services.m_canInform = true;
        m_services.m_asks.clear();
        QueryWindow window(m_services);
        auto* inform = Child<QCheckBox>(window, "inform");
        QVERIFY(inform->isEnabled());
        QVERIFY(!inform->isChecked());
        QCOMPARE(Child<QLabel>(window, "informReason")->text(), QString());
        Request(window);
        inform->setChecked(true);
        Request(window);
        QCOMPARE(m_services.m_asks, std::vector<bool>({false, true}));
    }

    void FindServersOfferedOnlyWithTheCapability()
    {
        const QueryWindow window(m_services);
        const auto* find = Child<QPushButton>(window, "findServers");
        QVERIFY(!find->isEnabled());
        QCOMPARE(find->toolTip(), m_services.m_probeAdvice);
    }

    void FindServersListsThemAndWarnsOfMoreThanOne_data()
    {
        QTest::addColumn<int>("servers");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("status");
        const char* const kRest = ", no DHCPv6 server and no IPv6 router answered on "
                                  "02:00:00:00:00:02 (wlan0).";
        QTest::newRow("none") << 0 << 0 << QString("No DHCP server") + kRest;
        QTest::newRow("one") << 1 << 0 << QString("1 DHCP server") + kRest;
        QTest::newRow("two") << 2 << 0 << QString("2 DHCP servers") + kRest;
        QTest::newRow("no permission")
            << 0 << EPERM << "DHCP Error 1: Operation not permitted (EPERM)";
    }
    void FindServersListsThemAndWarnsOfMoreThanOne()
    {
        QFETCH(int, servers);
        QFETCH(int, error);
        QFETCH(QString, status);
        m_services.m_canDiscover = true;
        m_services.m_censusError = error;
        for (int i = 0; i < servers; ++i)
        {
            DiscoveredServer server;
            server.serverId = 0x0A000001 + static_cast<std::uint32_t>(i);
            server.offer.m_nYourAddress = 0x0A000064;
            server.path = {*server.serverId, {2, 0, 0, 0, 0, static_cast<std::uint8_t>(i)}};
            m_services.m_census.vlans[0].servers.push_back(server);
        }
        QueryWindow window(m_services);
        Child<QComboBox>(window, "adapters")->setCurrentIndex(1);
        Child<QPushButton>(window, "findServers")->click();
        auto* dialog = window.findChild<CServersDialog*>();
        QVERIFY(dialog != nullptr);
        QTRY_VERIFY(!dialog->IsSearching());
        QCOMPARE(m_services.m_censusOn, std::vector<std::string>{"wlan0"});
        QCOMPARE(Child<QLabel>(*dialog, "status")->text(), status);
        // A family without answers has no list.
        const auto* view = dialog->findChild<QTreeView*>("serverList");
        QCOMPARE(view != nullptr, servers > 0);
        if (servers > 0)
        {
            const QAbstractItemModel* list = view->model();
            QCOMPARE(list->rowCount(), servers);
            QCOMPARE(list->index(0, 0).data().toString(), QString("10.0.0.1"));
            QCOMPARE(list->index(0, 1).data().toString(), QString("10.0.0.100"));
            QCOMPARE(list->index(0, 2).data().toString(), QString("10.0.0.1 (02:00:00:00:00:00)"));
        }
        QCOMPARE(!Child<QLabel>(*dialog, "warning")->isHidden(), servers > 1);
    }

    void KeyboardOnly()
    {
        m_services.m_canInform = true;
        QueryWindow window(m_services);
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
        QTRY_VERIFY(!window.isRequestRunning());
        QCOMPARE(Leases().m_strAskedFor, std::string("wlan0"));
        QTest::keyClick(&window, Qt::Key_D, Qt::AltModifier);
        QTRY_COMPARE(m_services.m_urls.size(), std::size_t{2});
        QCOMPARE(m_services.m_urls.back(), QString("https://www.veyra.example/"));

        // The list's menu from the keyboard, and its items by their letters.
        auto* results = Child<QTreeView>(window, "results");
        results->setFocus();
        QTest::keyClick(results, Qt::Key_End);
        QTest::keyClick(results, Qt::Key_Home);
        QTest::keyClick(results, Qt::Key_F10, Qt::ShiftModifier);
        auto* menu = Child<QMenu>(window, "resultsMenu");
        QTRY_VERIFY(menu->isVisible());
        QTest::keyClick(menu, Qt::Key_R);
        QTRY_VERIFY(!menu->isVisible());
        QCOMPARE(m_services.m_clipboard, std::vector<QString>{"DHCP Server\t10.0.0.1\n"});

        // Escape closes the window.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!window.isVisible());
    }

    void RequestRunsOffTheUiThread()
    {
        auto destroyed = std::make_shared<std::atomic<bool>>(false);
        auto gate = std::make_shared<GatedLeaseSource>(m_services.m_leases, destroyed);
        m_services.m_leases = gate;
        QueryWindow window(m_services);
        ShowActive(window);
        auto* send = Child<QPushButton>(window, "sendRequest");
        send->click();
        QTRY_VERIFY(gate->isWaiting());
        QVERIFY(window.isRequestRunning());
        QVERIFY(!send->isEnabled());
        QCOMPARE(window.cursor().shape(), Qt::BusyCursor);
        // The window still answers: the chooser moves while the read waits.
        QTest::keyClick(Child<QComboBox>(window, "adapters"), Qt::Key_Down);
        QCOMPARE(Child<QComboBox>(window, "adapters")->currentIndex(), 1);

        gate->open();
        QTRY_COMPARE(Rows(window), kTestRows);
        QVERIFY(send->isEnabled());
        QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(QApplication::focusWidget(), send);
    }

    void ClosingDuringARequestDropsItsResult_data()
    {
        QTest::addColumn<bool>("destroyed");
        QTest::newRow("closed") << false;
        QTest::newRow("closed and destroyed") << true;
    }
    void ClosingDuringARequestDropsItsResult()
    {
        QFETCH(bool, destroyed);
        const auto inner = std::static_pointer_cast<CFakeLeaseSource>(m_services.m_leases);
        inner->m_errors["eth0"] = EACCES; // a result that would show a message
        auto sourceGone = std::make_shared<std::atomic<bool>>(false);
        auto gate = std::make_shared<GatedLeaseSource>(inner, sourceGone);
        m_services.m_leases = gate;
        // A failed check must not leave the worker, and so the test, waiting.
        const auto openAtLast = qScopeGuard(
            [weakGate = std::weak_ptr<GatedLeaseSource>(gate)]()
            {
                if (const auto stillThere = weakGate.lock())
                    stillThere->open();
            });
        auto window = std::make_unique<QueryWindow>(m_services);
        ShowActive(*window);
        Child<QPushButton>(*window, "sendRequest")->click();
        QTRY_VERIFY(gate->isWaiting());
        window->close();
        QVERIFY(!window->isRequestRunning());
        if (destroyed)
            window.reset();
        // Only the worker holds the source now; it reads after the window closed.
        m_services.m_leases.reset();
        gate->open();
        gate.reset();
        // The source goes after the answer is posted: nothing is left to come.
        QTRY_VERIFY(sourceGone->load());
        QCoreApplication::processEvents();
        QCOMPARE(inner->m_nReads, 1);
        QVERIFY(m_services.m_messages.empty());
        if (window)
            QVERIFY(Child<QPushButton>(*window, "sendRequest")->isEnabled());
    }

    // The IPv6 side follows the IPv4 rows as a section of the same list,
    // and Copy All carries it.
    void Ipv6SectionFollowsTheIpv4Rows()
    {
        m_services.m_ipv6 = fake_ipv6::SamplePart();
        m_services.m_canInform = true;
        QueryWindow window(m_services);
        Child<QCheckBox>(window, "inform")->setChecked(true);
        Request(window);
        QCOMPARE(m_services.m_asks6, std::vector<bool>{true});
        const QStringList rows = Rows(window);
        QCOMPARE(rows.mid(0, kTestRows.size()), kTestRows);
        const QStringList opening = {"IPv6\t",
                                     "DHCPv6 Lease\tdhcpcd, obtained 2026-12-08T14:03:07+00:00"};
        QCOMPARE(rows.mid(kTestRows.size(), 2), opening);
        for (const char* row :
             {"DHCPv6 Information-request\tanswered", "Router Advertisements\treceived",
              "Router\tfe80::1, preference high, lifetime 1800 s, metric 1024",
              "Prefix\t2001:db8:99::/64, on-link, autonomous, valid 86400 s, preferred 14400 s",
              "DNSSL\tlab.example, x\\u202Ey\\x1B[1m (dhcpcd)"})
            QVERIFY2(rows.contains(row), row);
        // The rows that open a section are bold and have no option's image.
        const QModelIndex heading = Results(window).index(static_cast<int>(kTestRows.size()), 0);
        QVERIFY(heading.data(Qt::FontRole).value<QFont>().bold());
        QVERIFY(heading.data(Qt::DecorationRole).isNull());
        QVERIFY(!Results(window).index(0, 0).data(Qt::FontRole).isValid());

        Child<QMenu>(window, "resultsMenu")->actions().at(2)->trigger();
        const QString copied = m_services.m_clipboard.back();
        QVERIFY(copied.startsWith(kTestRows.join('\n').replace("lab\\x09test", "lab\\ttest") +
                                  "\nIPv6\t\nDHCPv6 Lease\tdhcpcd, obtained "));
        QVERIFY(copied.endsWith("\nDNSSL\tlab.example, x\\u202Ey\\x1B[1m (dhcpcd)\n"));

        // "All options" changes the IPv4 rows alone.
        Child<QCheckBox>(window, "allOptions")->setChecked(true);
        const QStringList extended = Rows(window);
        QCOMPARE(extended.size() - extended.indexOf("IPv6\t"), rows.size() - kTestRows.size());
        QCOMPARE(extended.back(), rows.back());
    }

    // An adapter without IPv6 shows its IPv4 rows as before.
    void NoIpv6NoSection()
    {
        m_services.m_ipv6.routersError = EACCES;
        m_services.m_ipv6.routers.received = true;
        QueryWindow window(m_services);
        Request(window);
        QCOMPARE(Rows(window), kTestRows);
        QCOMPARE(m_services.m_asks6, std::vector<bool>{false});
    }

    // Without an IPv4 lease, the IPv6 section is the answer: no failure.
    void Ipv6AloneIsAnAnswer()
    {
        m_services.m_leases = std::make_shared<CFakeLeaseSource>("fake", ENODATA);
        m_services.m_ipv6 = FakeWindowServices::NoIpv6();
        m_services.m_ipv6.routers = fake_ipv6::SampleRouters();
        QueryWindow window(m_services);
        Request(window);
        QVERIFY(m_services.m_messages.empty());
        const QStringList rows = Rows(window);
        QCOMPARE(rows.mid(0, 3),
                 (QStringList{"IPv6\t", "DHCPv6 Lease\tnone", "Router Advertisements\treceived"}));
        // The next request's failure clears it.
        m_services.m_ipv6 = FakeWindowServices::NoIpv6();
        Request(window);
        QCOMPARE(Results(window).rowCount(), 0);
        QCOMPARE(m_services.m_messages.size(), std::size_t{1});
    }
};

QTEST_MAIN(QueryWindowTest)
#include "query_window_test.moc"
