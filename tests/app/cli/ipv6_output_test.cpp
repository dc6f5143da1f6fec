// The IPv6 part of `veyra ADAPTER` in its forms, and the exit status of a
// request of one family or both.
#include "app/cli/exit_status.h"
#include "app/cli/ipv6_output.h"
#include "testing/fake_ipv6.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <regex>
#include <sstream>

namespace
{
using Cells = std::vector<std::pair<std::string, std::string>>;

// The rows form's lines as parameter and data: the columns are two or more
// spaces apart, and their widths follow the catalogue's names.
Cells ColumnCells(const std::string& text)
{
    static const std::regex kLine("^(\\S.*?|  \\S.*?)(?:  +(.*))?$");
    Cells cells;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
    {
        std::smatch match;
        EXPECT_TRUE(std::regex_match(line, match, kLine)) << line;
        cells.emplace_back(match[1], match[2]);
    }
    return cells;
}

bool Has(const Cells& cells, const std::string& parameter, const std::string& data)
{
    return std::find(cells.begin(), cells.end(), std::make_pair(parameter, data)) != cells.end();
}

TEST(Ipv6Output, RowsShowEachPartAndItsPeersTextsEscaped)
{
    const Cells cells = ColumnCells(FormatIpv6Rows(fake_ipv6::SamplePart()));
    ASSERT_FALSE(cells.empty());
    EXPECT_EQ(std::make_pair(std::string("IPv6 Parameter"), std::string("IPv6 Data")),
              cells.front());
    const std::pair<const char*, const char*> kRows[] = {
        {"DHCPv6 Lease", "dhcpcd, obtained 2026-12-08T14:03:07+00:00"},
        {"DHCPv6 Information-request", "answered"},
        {"Router Advertisements", "received"},
        {"Managed (M)", "yes"},
        {"Other Configuration (O)", "yes"},
        {"Router", "fe80::1, preference high, lifetime 1800 s, metric 1024"},
        {"Router", "fe80::2, preference low, lifetime infinite, metric 1024"},
        {"Prefix", "2001:db8:99::/64, on-link, autonomous, valid 86400 s, preferred 14400 s"},
        {"Prefix", "2001:db8:99:1::/64, valid infinite"},
        {"MTU", "1500"},
        {"RDNSS", "2001:db8:99::53, 2001:db8:99::54 (dhcpcd)"},
        {"DNSSL", "lab.example, x\\u202Ey\\x1B[1m (dhcpcd)"},
        {"dhcp6_x\\xFF", "a\\x1B]0;t\\x07"},
    };
    for (const auto& [parameter, data] : kRows)
        EXPECT_TRUE(Has(cells, parameter, data)) << parameter << ": " << data;
    // An identity association on a line (the catalogue names it), each
    // address or prefix indented under it; the IA_PD's timers are infinite.
    for (const char* ia : {"IAID 1, T1 1800 s, T2 2880 s", "IAID 2, T1 infinite, T2 infinite"})
    {
        const auto row = std::find_if(cells.begin(), cells.end(),
                                      [ia](const auto& cell) { return cell.second == ia; });
        ASSERT_NE(cells.end(), row) << ia;
        EXPECT_NE("  ", row->first.substr(0, 2)) << ia;
        EXPECT_EQ("  ", (row + 1)->first.substr(0, 2)) << ia;
    }
    // An IA whose inside does not read whole is one option, as decoded.
    for (const auto& cell : cells)
        EXPECT_EQ(std::string::npos, cell.second.find("IAID 3")) << cell.second;
    // A value that may be cut short says so.
    EXPECT_EQ(1, std::count_if(cells.begin(), cells.end(),
                               [](const auto& cell)
                               { return cell.second.find(kMayBeCutMark) != std::string::npos; }));
}

TEST(Ipv6Output, MissingPartsSayNone)
{
    Ipv6Part part;
    part.leaseError = ENODATA;
    part.informAsked = true;
    part.informError = ETIMEDOUT;
    part.routersError = EACCES;
    EXPECT_EQ("IPv6 Parameter              IPv6 Data\n"
              "DHCPv6 Lease                none\n"
              "DHCPv6 Information-request  no answer\n"
              "Router Advertisements       none received\n",
              FormatIpv6Rows(part));
    EXPECT_FALSE(HasIpv6Findings(part));
}

TEST(Ipv6Output, WhatCountsAsSomethingToShow)
{
    const auto with = [](auto change)
    {
        Ipv6Part part;
        part.leaseError = ENODATA;
        change(part);
        return HasIpv6Findings(part);
    };
    EXPECT_FALSE(with([](Ipv6Part&) {}));
    EXPECT_TRUE(with([](Ipv6Part& part) { part.leaseError = 0; }));
    EXPECT_TRUE(with([](Ipv6Part& part) { part.informAsked = true; }));
    EXPECT_FALSE(with(
        [](Ipv6Part& part)
        {
            part.informAsked = true;
            part.informError = ETIMEDOUT;
        }));
    EXPECT_TRUE(with([](Ipv6Part& part) { part.routers.received = true; }));
    EXPECT_TRUE(with([](Ipv6Part& part) { part.routers.prefixes.emplace_back(); }));
    EXPECT_FALSE(with(
        [](Ipv6Part& part)
        {
            part.routers.received = true;
            part.routersError = EIO;
        }));
}

TEST(Ipv6Output, TsvAndCopyAllOpenWithTheIpv6Row)
{
    Ipv6Part part;
    part.leaseError = ENODATA;
    part.routers.received = true;
    part.routers.searchDomains = {"a\tb\r"};
    EXPECT_EQ("IPv6\t\n"
              "DHCPv6 Lease\tnone\n"
              "Router Advertisements\treceived\n"
              "Managed (M)\tno\n"
              "Other Configuration (O)\tno\n"
              "DNSSL\ta\\tb\\r\n",
              FormatIpv6Tsv(part));
    EXPECT_EQ("IPv6\t\t\rDHCPv6 Lease\tnone\t\rRouter Advertisements\treceived\t\r"
              "Managed (M)\tno\t\rOther Configuration (O)\tno\t\rDNSSL\ta\tb\r\t\r",
              FormatIpv6CopyAll(part));
    EXPECT_EQ("IPv6\t\t\\x0D\nDHCPv6 Lease\tnone\t\\x0D\nRouter Advertisements\treceived\t\\x0D\n"
              "Managed (M)\tno\t\\x0D\nOther Configuration (O)\tno\t\\x0D\n"
              "DNSSL\ta\\x09b\\x0D\t\\x0D\n",
              FormatIpv6CopyAllShown(part));
}

TEST(Ipv6Output, AllOptionsKeepEachOptionWholeWithItsCode)
{
    const std::string text = FormatAllIpv6Rows(fake_ipv6::SamplePart());
    const std::string tsv = FormatAllIpv6Tsv(fake_ipv6::SamplePart());
    EXPECT_EQ(0u, tsv.find("\tIPv6\t\n\tDHCPv6 Lease\tdhcpcd, obtained 2026-12-08T14:03:07+00:00\n"
                           "1\t"))
        << tsv;
    EXPECT_NE(std::string::npos, tsv.find("\n\tDHCPv6 Information-request\tanswered\n2\t")) << tsv;
    EXPECT_NE(std::string::npos, tsv.find("\n\tdhcp6_x\\xFF\ta\\x1B]0;t\\x07\n")) << tsv;
    EXPECT_NE(std::string::npos, tsv.find("\n\tMTU\t1500\n")) << tsv;
    // Each option on one line: as many coded lines as options.
    std::size_t coded = 0;
    std::istringstream lines(tsv);
    for (std::string line; std::getline(lines, line);)
        coded += !line.empty() && line[0] != '\t';
    EXPECT_EQ(fake_ipv6::SampleLease6().options.size() + fake_ipv6::SampleInform6().options.size(),
              coded);
    EXPECT_EQ(0u, text.find("Code  ")) << text;
}

TEST(ExitStatus, EitherFamilysLeaseIsEnough)
{
    const FamilyOutcome leased{0, 0};
    const FamilyOutcome none{ENODATA, 0};
    const FamilyOutcome denied{EACCES, 0};
    const FamilyOutcome unasked{0, ETIMEDOUT};
    const struct
    {
        std::optional<FamilyOutcome> ipv4;
        std::optional<FamilyOutcome> ipv6;
        ExitStatus status;
    } cases[] = {
        {leased, std::nullopt, kExitDone},
        {none, std::nullopt, kExitNoLease},
        {std::nullopt, none, kExitNoLease},
        {std::nullopt, denied, kExitNoPermission},
        {leased, none, kExitDone},
        {none, leased, kExitDone},
        // Neither: the IPv4 failure speaks first.
        {denied, none, kExitNoPermission},
        {none, denied, kExitNoLease},
        // A lease, but a question --inform asked went unanswered.
        {unasked, std::nullopt, kExitFailed},
        {std::nullopt, FamilyOutcome{0, EPERM}, kExitNoPermission},
        {leased, FamilyOutcome{ENODATA, ETIMEDOUT}, kExitFailed},
    };
    for (const auto& test : cases)
        EXPECT_EQ(test.status, RequestStatus(test.ipv4, test.ipv6))
            << (test.ipv4 ? test.ipv4->lease : -1) << " " << (test.ipv6 ? test.ipv6->lease : -1);
}

TEST(ExitStatus, Ipv6TextsNameTheirProtocol)
{
    EXPECT_EQ("DHCPv6 Error 61: No data available (ENODATA)\n"
              "veyra: no DHCPv6 lease found for v\\x1B; --inform asks the DHCPv6 server itself\n",
              Lease6FailureText(ENODATA, "v\x1b", false));
    EXPECT_EQ("veyra: could not ask the DHCPv6 servers: vcli has no IPv6 link-local address to "
              "ask from\n",
              Unasked6Text(ENOENT, "vcli"));
}
} // namespace
