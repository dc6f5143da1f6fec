// Wireshark's DHCPv6 dissector as the oracle of the DHCPv6 decoding: every
// row's sample, its edge lengths and hostile options, each in a Reply of its
// own (UDP 547 to 546), read by tshark and by Veyra from the same bytes and
// compared leaf by typed leaf. Where they part ways, Veyra follows the RFC
// and the case is listed below with its reason.
#include "testing/dhcpv6_oracle.h"
#include "testing/dhcpv6_oracle_cases.h"
#include "testing/pcap_writer.h"
#include "testing/scratch_directory.h"
#include "testing/tshark_oracle.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <sstream>

namespace
{
struct KnownDifference
{
    std::vector<std::uint16_t> codes;
    std::vector<std::string> cases;
    const char* reason;
};

const std::vector<KnownDifference>& KnownDifferences()
{
    static const std::vector<KnownDifference> differences = {
        {{3, 4, 5, 9, 25, 26},
         {"one short", "one long", "address overruns its association", "address header cut short",
          "status overruns its address", "status overruns its address in a temporary association",
          "prefix overruns its delegation", "relayed option overruns the message",
          "relayed message cut inside its addresses"},
         "an option's data is exactly its length (RFC 8415 21.1), and so are the options nested "
         "in it; tshark stops at a nested option or fixed field that runs past its parent, or "
         "leaves bytes over, and says nothing (nor shows the options after it); Veyra shows the "
         "parent as malformed hex"},
        {{45, 94, 95, 96},
         {"one long"},
         "the same: a byte after the last nested option is no option (RFC 8415 21.1), and "
         "tshark says nothing"},
        {{6, 15, 16, 17, 43, 56, 111},
         {"one short", "one long", "vendor suboption overruns", "option request of an odd length",
          "ntp address cut short"},
         "the items of these options fill them exactly (16-bit codes, length-prefixed classes, "
         "sub-options of RFC 8415 21.17 and RFC 5908 4, whose address is 16 octets); tshark "
         "ignores a cut item or the bytes left over without complaint"},
        {{25},
         {"prefix longer than 128 bits"},
         "RFC 8415 21.22: a prefix length is 0 to 128; tshark shows 129 without complaint"},
        {{13},
         {"one long"},
         "RFC 8415 21.13: the status message is UTF-8 text of the option's length, with no "
         "terminator; tshark cuts it at a NUL, Veyra keeps every byte (front ends escape it)"},
        {{39, 64, 117, 118},
         {"one short"},
         "a name without its root label: RFC 4704 4.1 makes it a partial name in the client "
         "FQDN, which tshark misreads (it repeats labels); 64, 117 and 118 take a fully "
         "qualified name (RFC 6334, RFC 8156), which tshark shows cut without complaint"},
        {{64, 103, 130},
         {"empty"},
         "an empty name, URI or relationship name is no value of these codes' RFCs (RFC 6334, "
         "RFC 8910, RFC 8156); tshark shows it without complaint"},
        {{117, 118},
         {"one long"},
         "a byte after a name's root label is no part of the name (RFC 8156 4.2.2); tshark "
         "shows the name without complaint"},
        {{24},
         {"name without its root"},
         "RFC 8415 10: names in DHCPv6 are fully qualified, ended by the root label; tshark "
         "shows a partial name in a search list without complaint"},
        {{1},
         {"duid over 130 bytes"},
         "RFC 8415 11.1: a DUID is at most 128 octets after its type; tshark does not check"},
        {{9},
         {"messages relayed 13 deep"},
         "Veyra decodes options nested at most 8 deep (RFC 8415 7.6 limits relays to 8 hops), "
         "deeper ones as hex; tshark reads every level"},
    };
    return differences;
}

const KnownDifference* FindKnown(std::uint16_t code, const std::string& name)
{
    for (const KnownDifference& known : KnownDifferences())
        if (std::find(known.codes.begin(), known.codes.end(), code) != known.codes.end() &&
            std::find(known.cases.begin(), known.cases.end(), name) != known.cases.end())
            return &known;
    return nullptr;
}

class Dhcpv6Oracle : public testing::Test
{
protected:
    void SetUp() override
    {
        const std::string obstacle = TsharkObstacle();
        if (!obstacle.empty())
            GTEST_SKIP() << obstacle;
        ASSERT_FALSE(m_scratch.Path().empty());
    }

    // Each case in a Reply of its own, one frame each, compared.
    Dhcpv6Comparison Compare(const std::vector<Dhcpv6OracleCase>& cases)
    {
        std::vector<std::vector<std::uint8_t>> frames;
        for (const Dhcpv6OracleCase& each : cases)
            frames.push_back(Dhcpv6ReplyFrame(Dhcpv6OracleReply({{each.code, each.data}})));
        const std::string pcap = m_scratch.Path() + "/dhcpv6.pcap";
        EXPECT_TRUE(WriteBytes(pcap, PcapFile(frames)));
        Dhcpv6Comparison comparison;
        std::string error;
        EXPECT_TRUE(CompareDhcpv6WithTshark(pcap, comparison, error)) << error;
        EXPECT_EQ(comparison.messages, cases.size());
        return comparison;
    }

    // Every difference is a listed case, and every listed case differs.
    void ExpectOnlyKnownDifferences(const std::vector<Dhcpv6OracleCase>& cases,
                                    const Dhcpv6Comparison& comparison)
    {
        std::set<std::size_t> differing;
        for (const Dhcpv6Difference& difference : comparison.differences)
        {
            ASSERT_GE(difference.frame, 1u);
            ASSERT_LE(difference.frame, cases.size());
            const Dhcpv6OracleCase& each = cases[difference.frame - 1];
            differing.insert(difference.frame - 1);
            EXPECT_NE(FindKnown(each.code, each.name), nullptr)
                << "option " << each.code << " (" << each.name << ") " << difference.where
                << ": Veyra " << difference.veyra << ", tshark " << difference.tshark;
        }
        for (std::size_t i = 0; i < cases.size(); ++i)
        {
            if (differing.count(i) == 0)
            {
                EXPECT_EQ(FindKnown(cases[i].code, cases[i].name), nullptr)
                    << "option " << cases[i].code << " (" << cases[i].name
                    << ") is listed as differing but agrees with tshark now";
            }
        }
    }

    CScratchDirectory m_scratch;
};

TEST_F(Dhcpv6Oracle, AgreesOnEveryRowsSample)
{
    const std::vector<Dhcpv6OracleCase> cases = Dhcpv6SampleCases();
    const Dhcpv6Comparison comparison = Compare(cases);
    ExpectOnlyKnownDifferences(cases, comparison);
    RecordProperty("options", static_cast<int>(comparison.options));
    RecordProperty("leaves", static_cast<int>(comparison.leaves));
    std::printf("DHCPv6 oracle, samples: %zu options and %zu typed leaves compared\n",
                comparison.options, comparison.leaves);
}

TEST_F(Dhcpv6Oracle, AgreesAtEdgeLengths)
{
    const std::vector<Dhcpv6OracleCase> cases = Dhcpv6EdgeCases();
    const Dhcpv6Comparison comparison = Compare(cases);
    ExpectOnlyKnownDifferences(cases, comparison);
    std::printf("DHCPv6 oracle, edges: %zu options and %zu typed leaves compared\n",
                comparison.options, comparison.leaves);
}

TEST_F(Dhcpv6Oracle, AgreesOnHostileOptions)
{
    const std::vector<Dhcpv6OracleCase> cases = Dhcpv6HostileCases();
    const Dhcpv6Comparison comparison = Compare(cases);
    ExpectOnlyKnownDifferences(cases, comparison);
    std::printf("DHCPv6 oracle, hostile: %zu options and %zu typed leaves compared\n",
                comparison.options, comparison.leaves);
}

// The codes the dissector names (tshark -G values), one row each: the table
// holds every one up to 143 and nothing tshark cannot read. 165 to 167 are
// codes of drafts that never reached the registry.
TEST_F(Dhcpv6Oracle, HasARowForEveryCodeTheDissectorNames)
{
    constexpr unsigned long kLastRegistered = 143;
    const std::unique_ptr<FILE, int (*)(FILE*)> values(popen("tshark -G values 2>/dev/null", "r"),
                                                       pclose);
    ASSERT_NE(values, nullptr);
    std::set<unsigned long> named;
    char line[512];
    while (std::fgets(line, sizeof line, values.get()) != nullptr)
    {
        std::istringstream fields(line);
        std::string kind;
        std::string field;
        unsigned long code = 0;
        if (std::getline(fields, kind, '\t') && kind == "V" && std::getline(fields, field, '\t') &&
            field == "dhcpv6.option.type" && fields >> code && code <= kLastRegistered)
            named.insert(code);
    }
    ASSERT_FALSE(named.empty());
    std::set<unsigned long> rows;
    for (const Dhcpv6Row& row : kDhcpv6Options)
        rows.insert(row.nCode);
    EXPECT_EQ(rows, named);
}

// Every row's sample in one Reply, as a server's would hold them.
TEST_F(Dhcpv6Oracle, ComparesAWholeReply)
{
    Dhcpv6Options options;
    for (const Dhcpv6OracleCase& sample : Dhcpv6SampleCases())
        if (FindKnown(sample.code, sample.name) == nullptr)
            options.push_back({sample.code, sample.data});
    const std::string pcap = m_scratch.Path() + "/reply.pcap";
    ASSERT_TRUE(WriteBytes(pcap, PcapFile({Dhcpv6ReplyFrame(Dhcpv6OracleReply(options))})));
    Dhcpv6Comparison comparison;
    std::string error;
    ASSERT_TRUE(CompareDhcpv6WithTshark(pcap, comparison, error)) << error;
    EXPECT_EQ(comparison.messages, 1u);
    EXPECT_GE(comparison.options, options.size());
    for (const Dhcpv6Difference& difference : comparison.differences)
        ADD_FAILURE() << difference.where << ": Veyra " << difference.veyra << ", tshark "
                      << difference.tshark;
}
} // namespace
