// Draws veyra-gui's window after a request, on fake services with the lease
// of the README's example, into a PNG: the documentation's screenshots. With
// --ipv6 the adapter has an IPv6 side too, and the list shows its section;
// --census draws "Find DHCP Servers..." after a census with a rogue instead.
//   veyra_qt_screenshot [--ipv6|--census] FILE.png   (QT_SCALE_FACTOR=2 for @2x)
#include "app/qt/query_window.h"
#include "app/qt/servers_dialog.h"
#include "testing/adapter_builder.h"
#include "testing/fake_ipv6.h"
#include "testing/fake_window_services.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include <cstdio>
#include <cstring>

namespace
{
OptionBytes Text(const char* pszText)
{
    return OptionBytes(pszText, pszText + std::char_traits<char>::length(pszText));
}

Lease ExampleLease()
{
    Lease lease;
    lease.m_mapOptions = {
        {54, {10, 99, 0, 1}},
        {1, {255, 255, 255, 0}},
        {15, Text("lab.test")},
        {6, {10, 99, 0, 1, 10, 99, 0, 2}},
        {3, {10, 99, 0, 1}},
        {2, {0, 0, 0x0E, 0x10}},
        {28, {10, 99, 0, 255}},
        {42, {10, 99, 0, 1}},
        {46, {8}},
        {51, {0, 0, 0x0E, 0x10}},
        {58, {0, 0, 0x07, 0x08}},
        {59, {0, 0, 0x0C, 0x4E}},
    };
    return lease;
}

// The tests' IPv6 side without its hostile parts: the identities, both
// identity associations, the DNS server, a clean domain list, two routers.
Ipv6Part ExampleIpv6()
{
    Ipv6Part part = fake_ipv6::SamplePart();
    const Dhcpv6Options sample = part.lease.options;
    part.lease.options = {sample[0],
                          sample[1],
                          sample[2],
                          sample[3],
                          sample[5],
                          {24, fake_ipv6::Text(std::string_view("\x03lab\x07"
                                                                "example\x00",
                                                                13))}};
    part.lease.unmapped.clear();
    part.lease.cutOptions.clear();
    part.informAsked = false;
    part.routers.searchDomains = {"lab.example"};
    return part;
}
// The lab's server, a rogue under its id, its DHCPv6 server and its router.
CensusResult ExampleCensus()
{
    VlanCensus link;
    link.seen.frames = 9;
    for (const std::uint8_t last : {std::uint8_t{1}, std::uint8_t{66}})
    {
        DiscoveredServer server;
        server.serverId = 0x0A630001;
        server.path = {0x0A630000u + last, {2, 0, 0, 0x99, 0, last}};
        server.flags = kServerConflict;
        server.offer = ExampleLease();
        server.offer.m_nYourAddress = 0x0A630092;
        server.offer.m_mapOptions[3] = {10, 99, 0, last};
        link.servers.push_back(server);
    }
    const Lease6 lease = fake_ipv6::SampleLease6();
    DiscoveredServer6 server6;
    server6.duid = lease.options[1].data;
    server6.path = {fake_ipv6::LinkLocal(1), {2, 0, 0, 0x99, 0, 1}};
    server6.options = {lease.options[1], lease.options[2], lease.options[3], lease.options[5]};
    link.servers6 = {server6};
    AdvertisedRouter router;
    router.address = fake_ipv6::LinkLocal(1);
    router.mac = {2, 0, 0, 0x99, 0, 1};
    router.otherConfig = true;
    router.lifetime = 1800;
    router.prefixes = {{fake_ipv6::Lab(0, 0), 64, true, true, 86400, 14400}};
    router.mtu = 1500;
    router.dnsServers = {{600, {fake_ipv6::Lab(0, 1)}}};
    router.searchLists = {{600, {"lab.example"}}};
    link.routers = {router};
    return {kCensusAll, true, {link}, 0, 0};
}
} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const bool ipv6 = argc == 3 && std::strcmp(argv[1], "--ipv6") == 0;
    const bool census = argc == 3 && std::strcmp(argv[1], "--census") == 0;
    if (argc != (ipv6 || census ? 3 : 2))
    {
        std::fprintf(stderr, "usage: veyra_qt_screenshot [--ipv6|--census] FILE.png\n");
        return 2;
    }
    FakeWindowServices services;
    services.m_adapters = {AdapterWith("enp3s0", "52:54:00:12:34:56"),
                           AdapterWith("wlp2s0", "52:54:00:AB:CD:EF")};
    services.m_leases = std::make_shared<CFakeLeaseSource>("fake", 0, ExampleLease());
    services.m_canInform = true;
    services.m_canDiscover = true;
    if (ipv6)
        services.m_ipv6 = ExampleIpv6();
    if (census)
    {
        services.m_census = ExampleCensus();
        CServersDialog dialog(services, "enp3s0", "52:54:00:12:34:56 (enp3s0)");
        dialog.show();
        // The lists show once the dialog has taken the census in.
        if (!QTest::qWaitFor(
                [&dialog]()
                {
                    const auto* routers = dialog.findChild<QTreeView*>("routerList");
                    return routers != nullptr && routers->isVisible();
                }))
            return 1;
        return dialog.grab().save(argv[argc - 1]) ? 0 : 1;
    }
    QueryWindow window(services);
    window.show();
    window.findChild<QPushButton*>("sendRequest")->click();
    if (!QTest::qWaitFor([&window]() { return !window.isRequestRunning(); }))
        return 1;
    if (ipv6)
    {
        // The section's first row at the top of the list.
        auto* results = window.findChild<QTreeView*>("results");
        const QAbstractItemModel& rows = *results->model();
        for (int row = 0; row < rows.rowCount(); ++row)
        {
            if (rows.index(row, 0).data().toString() == kIpv6Heading)
                results->scrollTo(rows.index(row, 0), QAbstractItemView::PositionAtTop);
        }
    }
    return window.grab().save(argv[argc - 1]) ? 0 : 1;
}
