// "Find DHCP Servers..." on its own, in-process under QTest on Qt's offscreen
// platform: its findings, rows, silent lines and copies from what a census found.
#include "app/qt/census_table_model.h"
#include "app/qt/servers_dialog.h"
#include "app/qt/vlan_list.h"
#include "core/wire/dhcpv6_option_text.h"
#include "testing/fake_window_services.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include <numeric>

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

Ipv6Address Address(const char* text)
{
    return *ParseIpv6Text(text);
}

OptionBytes Bytes(std::initializer_list<OptionBytes> parts)
{
    OptionBytes bytes;
    for (const OptionBytes& part : parts)
        bytes.insert(bytes.end(), part.begin(), part.end());
    return bytes;
}

OptionBytes AddressBytes(const char* text)
{
    const Ipv6Address address = Address(text);
    return OptionBytes(address.begin(), address.end());
}

// A DHCPv6 server of DUID-LL 02:00:00:00:00:<last> offering one address,
// one prefix and one DNS server.
DiscoveredServer6 Server6(std::uint8_t last, const char* from, unsigned flags)
{
    const OptionBytes iaid = {0, 0, 0, 1, 0, 0, 0x0E, 0x10, 0, 0, 0x15, 0x18}; // T1 3600, T2 5400
    const OptionBytes lifetimes = {0, 0, 0x1C, 0x20, 0, 0, 0x2A, 0x30};        // 7200, 10800
    DiscoveredServer6 server;
    server.duid = {0, 3, 0, 1, 2, 0, 0, 0, 0, last};
    server.path = {Address(from), {2, 0, 0, 0, 0, last}};
    server.preference = 255;
    server.flags = flags;
    server.options = {
        {2, server.duid},
        {3, Bytes({iaid, {0, 5, 0, 24}, AddressBytes("2001:db8::100"), lifetimes})},
        {25, Bytes({iaid, {0, 26, 0, 25}, lifetimes, {56}, AddressBytes("2001:db8:100::")})},
        {23, AddressBytes("2001:db8::53")},
        {24, {3, 'l', 'a', 'b', 0, 1, 0x1B, 0}}};
    return server;
}

AdvertisedRouter Router(const char* address, const HardwareAddress& mac, unsigned flags)
{
    AdvertisedRouter router;
    router.address = Address(address);
    router.mac = mac;
    router.linkLayerOption = kServerMac;
    router.managed = true;
    router.otherConfig = true;
    router.preference = RouterPreference::High;
    router.lifetime = 1800;
    router.prefixes = {{Address("2001:db8::"), 64, true, true, 86400, 14400},
                       {Address("2001:db8:1::"), 64, true, false, 0xFFFFFFFF, 0}};
    router.mtu = 1500;
    router.dnsServers = {{600, {Address("2001:db8::53"), Address("2001:db8::54")}}};
    router.searchLists = {{600, {"lab.example", "bad\x1b.example"}}};
    router.flags = flags;
    return router;
}

const QAbstractItemModel& List(const CServersDialog& dialog, const char* name)
{
    return *dialog.findChild<QTreeView*>(name)->model();
}

QString Cell(const CServersDialog& dialog, int row, int column, const char* name = "serverList")
{
    return List(dialog, name).index(row, column).data().toString();
}

QString Text(const CServersDialog& dialog, const char* label)
{
    return dialog.findChild<QLabel*>(label)->text();
}
} // namespace

Q_DECLARE_METATYPE(VlanCensus)
Q_DECLARE_METATYPE(std::optional<std::vector<std::uint16_t>>)

class CServersDialogTest : public QObject
{
    Q_OBJECT
private slots:
    void FindingsFirstThenEachServerWithItsFlags()
    {
        FakeWindowServices services;
        // A census of DHCPv4 alone shows what the discovery showed.
        services.m_census.families = kCensusDhcpv4;
        services.m_census.vlans[0].servers = {
            Server(0x0A000001, 0x0A000001, kServerMac, 1, kServerConflict),
            Server(0x0A000001, 0x0A000042, kRogueMac, 66, kServerConflict),
            Server(std::nullopt, 0x0A000005, kRogueMac, 5, kServerNoId)};
        // A mask of two addresses is malformed: no mask is shown for it.
        services.m_census.vlans[0].servers[2].offer.m_mapOptions[1] = {255, 255, 255, 0,
                                                                       255, 0,   0,   0};
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
        QCOMPARE(Text(dialog, "status"), QString("3 DHCP servers answered on <b>wlan0</b>."));
        QCOMPARE(Text(dialog, "warning"),
                 QString("More than one DHCP server answered. Only one should serve a link: the "
                         "others may be rogue servers."));
        QVERIFY(dialog.findChild<QTreeView*>("server6List") == nullptr);

        QCOMPARE(List(dialog, "serverList").rowCount(), 3);
        const QStringList rogue = {
            "10.0.0.1",  "10.0.0.100",         "10.0.0.66 (02:00:00:00:00:66)",
            "10.0.0.66", "10.0.0.1, 10.0.0.2", "255.255.255.0",
            "conflict"};
        for (int i = 0; i < rogue.size(); ++i)
            QCOMPARE(Cell(dialog, 1, i), rogue[i]);
        QCOMPARE(Cell(dialog, 2, 0), QString("(none)"));
        QCOMPARE(Cell(dialog, 2, 5), QString());
        QCOMPARE(Cell(dialog, 2, 6), QString("no server id"));
        QCOMPARE(List(dialog, "serverList").headerData(2, Qt::Horizontal).toString(),
                 QString("Offer From"));
    }

    void ErrorsAreInErrnoTerms()
    {
        FakeWindowServices services;
        services.m_censusError = EACCES;
        CServersDialog dialog(services, "wlan0", "wlan0");
        QTRY_VERIFY(!dialog.IsSearching());
        QCOMPARE(Text(dialog, "status"), QString("DHCP Error 13: Permission denied (EACCES)"));
        QVERIFY(dialog.findChild<QTreeView*>("serverList") == nullptr);
    }

    void NoFindingsForOneGiverOfEachKind()
    {
        FakeWindowServices services;
        services.m_census.vlans[0].servers = {Server(0x0A000001, 0x0A000001, kServerMac, 1, 0)};
        services.m_census.vlans[0].servers6 = {Server6(1, "fe80::1", 0)};
        services.m_census.vlans[0].routers = {Router("fe80::1", kServerMac, 0)};
        CServersDialog dialog(services, "wlan0", "wlan0");
        QTRY_VERIFY(!dialog.IsSearching());
        QVERIFY(dialog.findChild<QLabel*>("findings")->isHidden());
        QVERIFY(dialog.findChild<QLabel*>("warning")->isHidden());
        QVERIFY(dialog.findChild<QProgressBar*>("progress")->isHidden());
        QCOMPARE(Text(dialog, "status"),
                 QString("1 DHCP server, 1 DHCPv6 server and 1 IPv6 router answered on wlan0."));
        QCOMPARE(Cell(dialog, 0, 6), QString());
    }

    void EachFamilysRowAsShown_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QStringList>("cells");
        QTest::newRow("DHCPv6") << "server6List"
                                << QStringList{"LL, hardware 1, 02:00:00:00:00:07",
                                               "fe80::7 (02:00:00:00:00:07)",
                                               "255",
                                               "2001:db8::100",
                                               "2001:db8:100::/56",
                                               "2001:db8::53",
                                               "lab, \\x1B",
                                               ""};
        QTest::newRow("router") << "routerList"
                                << QStringList{
                                       "fe80::1",
                                       "02:00:00:00:00:66 (option: 02:00:00:00:00:01)",
                                       "1800 s",
                                       "high",
                                       "M, O",
                                       "2001:db8::/64 (on-link, autonomous, valid 86400 s, "
                                       "preferred 14400 s); 2001:db8:1::/64 (on-link, valid "
                                       "infinite, preferred 0 s)",
                                       "1500",
                                       "2001:db8::53, 2001:db8::54 (600 s)",
                                       "lab.example, bad\\x1B.example (600 s)",
                                       ""};
    }
    void EachFamilysRowAsShown()
    {
        QFETCH(QString, list);
        QFETCH(QStringList, cells);
        FakeWindowServices services;
        services.m_census.vlans[0].servers6 = {Server6(7, "fe80::7", 0)};
        services.m_census.vlans[0].routers = {Router("fe80::1", kRogueMac, 0)};
        CServersDialog dialog(services, "wlan0", "wlan0");
        QTRY_VERIFY(!dialog.IsSearching());
        const QAbstractItemModel& model = List(dialog, list.toUtf8().constData());
        QCOMPARE(model.columnCount(), cells.size());
        for (int i = 0; i < cells.size(); ++i)
            QCOMPARE(model.index(0, i).data().toString(), cells[i]);
    }

    void FindingsOfEveryFamilyComeFirst()
    {
        FakeWindowServices services;
        VlanCensus& link = services.m_census.vlans[0];
        link.servers6 = {Server6(1, "fe80::1", kServer6Conflict),
                         Server6(1, "fe80::66", kServer6Conflict)};
        link.servers6[1].path.mac = kRogueMac;
        link.counts6.noServerId = 2;
        link.routers = {Router("fe80::1", kServerMac, kRouterConflict),
                        Router("fe80::1", kRogueMac, kRouterConflict)};
        CServersDialog dialog(services, "wlan0", "wlan0");
        QTRY_VERIFY(!dialog.IsSearching());
        QCOMPARE(Text(dialog, "findings"),
                 QString("Conflict: Advertises for DUID LL, hardware 1, "
                         "02:00:00:00:00:01 came from fe80::1 (02:00:00:00:00:01), fe80::66 "
                         "(02:00:00:00:00:66). One may be a rogue using the real server's DUID.\n"
                         "2 Advertises without server DUID (against RFC 8415) dropped.\n"
                         "Conflict: advertisements for router fe80::1 came from "
                         "02:00:00:00:00:01, 02:00:00:00:00:66. One may be a rogue using the "
                         "real router's address."));
        QCOMPARE(Text(dialog, "warning"),
                 QString("More than one DHCPv6 server answered. Only one should serve a link: "
                         "the others may be rogue servers.\n"
                         "More than one IPv6 router answered. Hosts choose among them by "
                         "preference: one not meant to serve the link may be a rogue."));
        QCOMPARE(Cell(dialog, 1, 7, "server6List"), QString("conflict"));
        QCOMPARE(Cell(dialog, 1, 9, "routerList"), QString("conflict"));
    }

    void SilentFamiliesSayWhatCameInstead_data()
    {
        QTest::addColumn<VlanCensus>("link");
        QTest::addColumn<bool>("carrier");
        QTest::addColumn<QString>("silent");
        VlanCensus quiet;
        quiet.seen.frames = 40;
        QTest::newRow("quiet link") << quiet << true << "No DHCPv6 server answered.";
        QTest::newRow("empty link")
            << VlanCensus{} << true << "No DHCPv6 server answered: nothing at all was received.";
        QTest::newRow("no carrier")
            << VlanCensus{} << false
            << "No DHCPv6 server answered: the adapter had no carrier during the wait.";
        VlanCensus other = quiet;
        other.counts6.otherClient = 2;
        other.counts6.malformed = 1;
        other.seen.icmpErrors = 1;
        other.probe.vlan = 20;
        other.seen.otherVlanAnswers = 3;
        QTest::newRow("answers to others")
            << other << true
            << "No DHCPv6 server answered on VLAN 20: 2 Advertises to another client; 1 "
               "malformed reply; 1 ICMP error about the probes; 3 answers tagged with another "
               "VLAN.";
    }
    void SilentFamiliesSayWhatCameInstead()
    {
        QFETCH(VlanCensus, link);
        QFETCH(bool, carrier);
        QFETCH(QString, silent);
        FakeWindowServices services;
        services.m_census.vlans = {link};
        services.m_census.carrier = carrier;
        CServersDialog dialog(services, "wlan0", "wlan0");
        QTRY_VERIFY(!dialog.IsSearching());
        QCOMPARE(Text(dialog, "server6ListSilent"), silent);
        QVERIFY(dialog.findChild<QTreeView*>("server6List") == nullptr);
    }

    void CopyAllAndCopyTakeWhatItShows()
    {
        FakeWindowServices services;
        services.m_census.families = kCensusDhcpv4 | kCensusRouters;
        VlanCensus tagged;
        tagged.probe.vlan = 10;
        tagged.seen.frames = 1;
        tagged.servers = {Server(0x0A000001, 0x0A000001, kServerMac, 1, 0)};
        services.m_census.vlans = {tagged, tagged};
        services.m_census.vlans[1].probe.vlan = 20;
        CServersDialog dialog(services, "wlan0", "wlan0");
        QTRY_VERIFY(!dialog.IsSearching());
        const QString server = "10.0.0.1\t10.0.0.100\t10.0.0.1 (02:00:00:00:00:01)\t10.0.0.1\t"
                               "10.0.0.1, 10.0.0.2\t255.255.255.0\t\n";
        QCOMPARE(dialog.allText(),
                 "2 DHCP servers and no IPv6 router answered on wlan0.\n\nDHCPv4 servers\n"
                 "VLAN\tDHCP Server\tOffered Address\tOffer From\tRouters\tDNS Servers\t"
                 "Subnet Mask\tFlags\n10\t" +
                     server + "20\t" + server +
                     "\nIPv6 routers\nNo IPv6 router answered on VLANs 10, 20.\n");
        dialog.findChild<QPushButton*>("copyAll")->click();
        auto* list = dialog.findChild<QTreeView*>("serverList");
        list->selectionModel()->select(list->model()->index(1, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        list->actions().front()->trigger();
        QCOMPARE(services.m_clipboard, (std::vector<QString>{dialog.allText(), "20\t" + server}));
    }

    void VlanListsAskThoseVlans_data()
    {
        using Vlans = std::optional<std::vector<std::uint16_t>>;
        QTest::addColumn<QString>("text");
        QTest::addColumn<Vlans>("vlans");
        QTest::newRow("blank") << " " << Vlans(std::vector<std::uint16_t>{});
        QTest::newRow("ranges") << "100-103, 20,10 ,20-20"
                                << Vlans(std::vector<std::uint16_t>{10, 20, 100, 101, 102, 103});
        std::vector<std::uint16_t> every(kMaxVlanId);
        std::iota(every.begin(), every.end(), std::uint16_t{1});
        QTest::newRow("whole range") << "1-4094" << Vlans(every);
        for (const char* bad : {"0", "4095", "010", "12345", "20-10", "10,", "10-", "-", "a"})
            QTest::newRow(bad) << bad << Vlans();
    }
    void VlanListsAskThoseVlans()
    {
        QFETCH(QString, text);
        QFETCH(std::optional<std::vector<std::uint16_t>>, vlans);
        const auto parsed = parseVlanList(text);
        QCOMPARE(parsed, vlans);

        FakeWindowServices services;
        CServersDialog dialog(services, "trunk0", "trunk0");
        QTRY_VERIFY(!dialog.IsSearching());
        // Enter in the field searches: Search is the default button.
        dialog.show();
        auto* field = dialog.findChild<QLineEdit*>("vlans");
        field->setText(text);
        QTest::keyClick(field, Qt::Key_Return);
        QTRY_VERIFY(!dialog.IsSearching());
        // The first census is of the untagged link; a bad list asks nothing.
        QCOMPARE(services.m_censusVlans.front(), std::vector<std::uint16_t>{});
        QCOMPARE(services.m_censusVlans.size(), std::size_t{parsed ? 2u : 1u});
        if (parsed)
            QCOMPARE(services.m_censusVlans.back(), *parsed);
        // A census's tables replace the last one's: one model per family.
        QCOMPARE(dialog.findChildren<CensusTableModel*>().size(), 3);
        if (!parsed)
            QCOMPARE(Text(dialog, "status"),
                     QString("VLANs are ids from 1 to 4094 and ranges, as 10,20,100-199."));
    }

    void VlanRangesAreShownAsRanges()
    {
        QCOMPARE(vlanRangesText({}), QString());
        QCOMPARE(vlanRangesText({7}), QString("7"));
        QCOMPARE(vlanRangesText({10, 11, 12, 20, 30, 31}), QString("10-12, 20, 30-31"));
    }
};

QTEST_MAIN(CServersDialogTest)
#include "servers_dialog_test.moc"
