// Draws veyra-gui's window after a request, on fake services with the lease
// of the README's example, into a PNG: the documentation's screenshots.
//   veyra_qt_screenshot FILE.png   (QT_SCALE_FACTOR=2 for the @2x picture)
#include "app/qt/query_window.h"
#include "testing/adapter_builder.h"
#include "testing/fake_window_services.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <cstdio>

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
} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: veyra_qt_screenshot FILE.png\n");
        return 2;
    }
    FakeWindowServices services;
    services.m_adapters = {AdapterWith("enp3s0", "52:54:00:12:34:56"),
                           AdapterWith("wlp2s0", "52:54:00:AB:CD:EF")};
    services.m_leases = std::make_shared<CFakeLeaseSource>("fake", 0, ExampleLease());
    services.m_canInform = true;
    services.m_canDiscover = true;
    QueryWindow window(services);
    window.show();
    window.findChild<QPushButton*>("sendRequest")->click();
    if (!QTest::qWaitFor([&window]() { return !window.isRequestRunning(); }))
        return 1;
    return window.grab().save(argv[1]) ? 0 : 1;
}
