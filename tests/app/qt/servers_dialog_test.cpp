// "Find DHCP Servers..." on its own, in-process under QTest on Qt's offscreen
// platform: its findings and flags from what the discovery found.
#include "app/qt/servers_dialog.h"
#include "testing/fake_window_services.h"

#include <QLabel>
#include <QTest>
#include <QTreeView>

namespace
{
constexpr HardwareAddress kServerMac = {0x02, 0, 0, 0, 0, 0x01};
constexpr HardwareAddress kRogueMac = {0x02, 0, 0, 0, 0, 0x66};

DiscoveredServer Server(std::optional<std::uint32_t> nId, std::uint32_t nFrom,
                        const HardwareAddress& mac, std::uint8_t nRouter, unsigned nFlags)
{
    DiscoveredServer server;
    server.serverId = nId;
    server.path = {nFrom, mac};
    server.offers = 1;
    server.flags = nFlags;
    server.offer.m_nYourAddress = 0x0A000064;
    server.offer.m_mapOptions = {
        {1, {255, 255, 255, 0}}, {3, {10, 0, 0, nRouter}}, {6, {10, 0, 0, 1, 10, 0, 0, 2}}};
    return server;
}

QString Cell(const CServersDialog& dialog, int row, int column)
{
    const auto* list = dialog.findChild<QTreeView*>("serverList");
    return list->model()->index(row, column).data().toString();
}

int Rows(const CServersDialog& dialog)
{
    return dialog.findChild<QTreeView*>("serverList")->model()->rowCount();
}
} // namespace

class CServersDialogTest : public QObject
{
    Q_OBJECT
private slots:
    void FindingsFirstThenEachServerWithItsFlags()
    {
        FakeWindowServices services;
        services.m_discovery.m_servers = {
            Server(0x0A000001, 0x0A000001, kServerMac, 1, kServerConflict),
            Server(0x0A000001, 0x0A000042, kRogueMac, 66, kServerConflict),
            Server(std::nullopt, 0x0A000005, kRogueMac, 5, kServerNoId)};
        // A mask of two addresses is malformed: no mask is shown for it.
        services.m_discovery.m_servers[2].offer.m_mapOptions[1] = {255, 255, 255, 0, 255, 0, 0, 0};
        CServersDialog dialog(services, "wlan0", "<b>wlan0</b>");
        QTRY_VERIFY(!dialog.IsSearching());

        const auto* pFindings = dialog.findChild<QLabel*>("findings");
        QVERIFY(pFindings != nullptr);
        QVERIFY(!pFindings->isHidden());
        QCOMPARE(pFindings->text(),
                 QString("Conflict: offers for server id 10.0.0.1 came from 10.0.0.1 "
                         "(02:00:00:00:00:01), 10.0.0.66 (02:00:00:00:00:66) with different "
                         "sources or settings. One may be a rogue using the real server's id.\n"
                         "An offer without server id (against RFC 2131) came from 10.0.0.5 "
                         "(02:00:00:00:00:66)."));
        // Peer and adapter texts are never read as markup.
        for (const char* pszLabel : {"status", "findings", "warning"})
            QCOMPARE(dialog.findChild<QLabel*>(pszLabel)->textFormat(), Qt::PlainText);
        QCOMPARE(dialog.findChild<QLabel*>("status")->text(),
                 QString("3 DHCP servers answered on <b>wlan0</b>."));

        QCOMPARE(Rows(dialog), 3);
        const QStringList rogue = {
            "10.0.0.1",  "10.0.0.100",         "10.0.0.66 (02:00:00:00:00:66)",
            "10.0.0.66", "10.0.0.1, 10.0.0.2", "255.255.255.0",
            "conflict"};
        for (int i = 0; i < rogue.size(); ++i)
            QCOMPARE(Cell(dialog, 1, i), rogue[i]);
        QCOMPARE(Cell(dialog, 2, 0), QString("(none)"));
        QCOMPARE(Cell(dialog, 2, 5), QString());
        QCOMPARE(Cell(dialog, 2, 6), QString("no server id"));
        const auto* header = dialog.findChild<QTreeView*>("serverList")->model();
        QCOMPARE(header->headerData(2, Qt::Horizontal).toString(), QString("Offer From"));
    }

    void ErrorsAreInErrnoTerms()
    {
        FakeWindowServices services;
        services.m_discoveryError = EACCES;
        CServersDialog dialog(services, "wlan0", "wlan0");
        QTRY_VERIFY(!dialog.IsSearching());
        QCOMPARE(dialog.findChild<QLabel*>("status")->text(),
                 QString("DHCP Error 13: Permission denied (EACCES)"));
        QCOMPARE(Rows(dialog), 0);
    }

    void NoFindingsForOneGoodServer()
    {
        FakeWindowServices services;
        services.m_discovery.m_servers = {Server(0x0A000001, 0x0A000001, kServerMac, 1, 0)};
        CServersDialog dialog(services, "wlan0", "wlan0");
        QTRY_VERIFY(!dialog.IsSearching());
        QVERIFY(dialog.findChild<QLabel*>("findings")->isHidden());
        QVERIFY(dialog.findChild<QLabel*>("warning")->isHidden());
        QCOMPARE(Cell(dialog, 0, 6), QString());
    }
};

QTEST_MAIN(CServersDialogTest)
#include "servers_dialog_test.moc"
