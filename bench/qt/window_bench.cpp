// veyra-gui's window on a lease source that answers at once: from "Send DHCP
// Request" to the 46 rows in the list (worker thread and queued result
// included), and the resident memory that 1000 requests leave behind.
#include "app/qt/query_window.h"
#include "core/model/requested_options.h"
#include "testing/adapter_builder.h"
#include "testing/fake_window_services.h"

#include <QApplication>
#include <QPushButton>
#include <QTreeView>

#include <benchmark/benchmark.h>

#include <fstream>
#include <unistd.h>

namespace
{
Lease FullLease()
{
    Lease lease;
    for (const std::uint32_t nCode : kRequestedOptions)
        lease.m_mapOptions[static_cast<std::uint8_t>(nCode)] = {10, 0, 0,
                                                                static_cast<std::uint8_t>(nCode)};
    return lease;
}

class BenchWindow
{
public:
    BenchWindow()
    {
        m_services.m_adapters = {AdapterWith("eth0", "02:00:00:00:00:01")};
        m_services.m_leases = std::make_shared<CFakeLeaseSource>("fake", 0, FullLease());
        m_window = std::make_unique<QueryWindow>(m_services);
        m_window->show();
        m_send = m_window->findChild<QPushButton*>("sendRequest");
        m_results = m_window->findChild<QTreeView*>("results")->model();
    }

    // One request, until its rows are in the list; the number of rows.
    int request()
    {
        m_send->click();
        while (m_window->isRequestRunning())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return m_results->rowCount();
    }

private:
    FakeWindowServices m_services;
    std::unique_ptr<QueryWindow> m_window;
    QPushButton* m_send;
    QAbstractItemModel* m_results;
};

long ResidentKiB()
{
    std::ifstream statm("/proc/self/statm");
    long nPages = 0;
    long nResident = 0;
    statm >> nPages >> nResident;
    return nResident * (sysconf(_SC_PAGESIZE) / 1024);
}

void BM_RequestToRows(benchmark::State& state)
{
    BenchWindow window;
    for (auto _ : state)
    {
        if (window.request() != static_cast<int>(kRequestedOptions.size()))
            state.SkipWithError("the list does not hold 46 rows");
    }
}
BENCHMARK(BM_RequestToRows)->Unit(benchmark::kMicrosecond);

void BM_ResidentGrowthOver1000Requests(benchmark::State& state)
{
    BenchWindow window;
    // The first requests fill the allocator's and Qt's caches.
    for (int i = 0; i < 20; ++i)
        window.request();
    const long nBefore = ResidentKiB();
    for (auto _ : state)
    {
        for (int i = 0; i < 1000; ++i)
            window.request();
    }
    state.counters["rss_before_KiB"] = static_cast<double>(nBefore);
    state.counters["rss_growth_KiB"] = static_cast<double>(ResidentKiB() - nBefore);
}
BENCHMARK(BM_ResidentGrowthOver1000Requests)->Iterations(1)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
