// From the DHCP client service's answer to the rows of the results list, and
// the text Copy All and Save As make of them. Timings live here, never in the
// tests.
#include "core/model/list_text.h"
#include "core/model/requested_options.h"
#include "core/model/result_rows.h"
#include "testing/scripted_dhcp_client.h"
#include "win32/dhcp_query.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace
{
// A service that answers every one of the 46 requested options at once.
void ScriptFullAnswer(CScriptedDhcpClient& service)
{
    for (const DWORD nCode : kRequestedOptions)
        service.SetOption(nCode, {10, 0, 0, static_cast<BYTE>(nCode)});
}

// Each request writes its trace line: send standard output away meanwhile.
class CQuietStdout
{
public:
    CQuietStdout() : m_nSaved(dup(STDOUT_FILENO)), m_nNull(open("/dev/null", O_WRONLY))
    {
        std::fflush(stdout);
        dup2(m_nNull, STDOUT_FILENO);
    }
    ~CQuietStdout()
    {
        std::fflush(stdout);
        dup2(m_nSaved, STDOUT_FILENO);
        close(m_nNull);
        close(m_nSaved);
    }
    CQuietStdout(const CQuietStdout&) = delete;
    CQuietStdout& operator=(const CQuietStdout&) = delete;

private:
    int m_nSaved;
    int m_nNull;
};

// What "Send DHCP Request" does apart from the list view: request, decode,
// and the rows with their images.
void BM_RequestToRows46(benchmark::State& state)
{
    CScriptedDhcpClient service;
    ScriptFullAnswer(service);
    CDhcpQuery query(service);
    const CQuietStdout quiet;
    for (auto _ : state)
    {
        DhcpOptionList options;
        query.RequestOptions(options, "eth0");
        std::vector<ResultRow> rows = BuildResultRows(options);
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK(BM_RequestToRows46);

// Copy All and Save As over 46 rows as the list gives them back.
void BM_ListText46(benchmark::State& state)
{
    CScriptedDhcpClient service;
    ScriptFullAnswer(service);
    CDhcpQuery query(service);
    DhcpOptionList options;
    {
        const CQuietStdout quiet;
        query.RequestOptions(options, "eth0");
    }
    CellTable table;
    for (const ResultRow& row : BuildResultRows(options))
        table.push_back({row.strParameter, row.strData});
    for (auto _ : state)
    {
        CString strText = BuildListText(table);
        benchmark::DoNotOptimize(strText);
    }
}
BENCHMARK(BM_ListText46);
} // namespace

BENCHMARK_MAIN();
