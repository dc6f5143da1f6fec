// Draws veyra-gui's window after a request, on fake services with the lease
// of the README's example, into a PNG: the documentation's screenshots. With
// --ipv6 the adapter has an IPv6 side too, and the list shows its section.
//   veyra_qt_screenshot [--ipv6] FILE.png   (QT_SCALE_FACTOR=2 for the @2x picture)
#include "app/qt/query_window.h"
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
} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const bool ipv6 = argc == 3 && std::strcmp(argv[1], "--ipv6") == 0;
    if (argc != (ipv6 ? 3 : 2))
    {
        std::fprintf(stderr, "usage: veyra_qt_screenshot [--ipv6] FILE.png\n");
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
