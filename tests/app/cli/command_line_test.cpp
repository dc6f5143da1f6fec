#include "app/cli/command_line.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
using namespace std::chrono_literals;

TEST(CommandLine, ReadsTheAdapterTheFormatAndTheFlags)
{
    const CommandLine list = ParseCommandLine({});
    EXPECT_TRUE(list.adapter.empty());
    EXPECT_TRUE(list.m_strError.empty());

    const CommandLine json = ParseCommandLine({"--inform", "vcli", "--json", "--all"});
    EXPECT_EQ("vcli", json.adapter);
    EXPECT_EQ(OutputFormat::Json, json.format);
    EXPECT_TRUE(json.inform);
    EXPECT_TRUE(json.all);
    EXPECT_TRUE(json.m_strError.empty());

    EXPECT_EQ(OutputFormat::CopyAll, ParseCommandLine({"vcli", "--copy-all"}).format);
    EXPECT_EQ(OutputFormat::Tsv, ParseCommandLine({"--tsv", "vcli"}).format);
    EXPECT_TRUE(ParseCommandLine({"--help"}).help);
    EXPECT_TRUE(ParseCommandLine({"--discover", "vcli", "--help"}).help);
    EXPECT_TRUE(ParseCommandLine({"-h", "--bogus"}).help);
    EXPECT_TRUE(ParseCommandLine({"--version"}).version);
    EXPECT_EQ(AddressFamilies::Both, json.families);
    EXPECT_EQ(AddressFamilies::Ipv6, ParseCommandLine({"vcli", "-6", "-6"}).families);
    EXPECT_EQ(AddressFamilies::Ipv4, ParseCommandLine({"-4", "--json"}).families);
    // The adapter list has a JSON form.
    EXPECT_TRUE(ParseCommandLine({"--json"}).m_strError.empty());
}

TEST(CommandLine, RefusesWhatMakesNoSense)
{
    const std::vector<std::vector<std::string>> kCases = {
        {"vcli", "--tsv", "--json"},
        {"vcli", "--copy-all", "--tsv"},
        {"vcli", "eth0"},
        {"vcli", "--verbose"},
        {"--tsv"},
        {"--copy-all"},
        {"--all"},
        {"--inform"},
        {"--json", "--all"},
        {"vcli", "--all", "--copy-all"},
    };
    for (const auto& arguments : kCases)
        EXPECT_FALSE(ParseCommandLine(arguments).m_strError.empty())
            << testing::PrintToString(arguments);
}

TEST(CommandLine, NamesWhatItRefuses)
{
    const struct
    {
        std::vector<std::string> arguments;
        const char* error;
    } cases[] = {
        // An unknown option is named before what the words after it would say.
        {{"--bogus", "/tmp/x", "vlan0"}, "unknown option '--bogus'"},
        {{"vlan0", "vlan1", "--bogus=1"}, "unknown option '--bogus=1'"},
        {{"-x", "vlan0"}, "unknown option '-x'"},
        {{"--c", "vlan0"}, "ambiguous option '--c'"}, // --copy-all or --client-mac
        {{"vlan0", "--json=yes"}, "--json takes no value"},
        {{"--discover"}, "--discover needs a value"},
        {{"vlan0", "--wait", "3"}, "--wait needs --discover"},
        {{"vlan0", "eth0"}, "give one adapter"},
        {{"vlan0", ""}, "give one adapter"},
        {{"--discover", "e", "--", "--json"}, "--discover does not take --json"},
        {{"--discover", "e", "--inform"}, "--discover does not take --inform"},
        {{"vcli", "--tsv", "--json"}, "choose one of --tsv, --copy-all and --json"},
        {{"-4", "vcli", "-6"}, "choose one of -4 and -6"},
        {{"--discover", "e", "-6", "-4"}, "choose one of -4 and -6 (neither asks every family)"},
        {{"vcli", "-46x"}, "unknown option '-x'"},
    };
    for (const auto& test : cases)
        EXPECT_EQ(test.error, ParseCommandLine(test.arguments).m_strError)
            << testing::PrintToString(test.arguments);
}

TEST(CommandLine, HelpWinsWhereverItStands)
{
    const std::vector<std::vector<std::string>> cases = {
        {"--bogus", "-h"}, {"--he"}, {"--discover", "e", "--wait", "--help"}, {"--", "-h"}};
    for (const auto& arguments : cases)
        EXPECT_TRUE(ParseCommandLine(arguments).help) << testing::PrintToString(arguments);
}

TEST(CommandLine, ReadsTheSameWhateverCameBeforeAndWhateverTheEnvironment)
{
    // Options after the adapter, as ever, even where POSIX would stop at it.
    ASSERT_EQ(0, setenv("POSIXLY_CORRECT", "1", 1));
    const CommandLine first = ParseCommandLine({"vcli", "--all", "--ts"});
    const CommandLine again = ParseCommandLine({"vcli", "--all", "--ts"});
    ASSERT_EQ(0, unsetenv("POSIXLY_CORRECT"));
    for (const CommandLine& command : {first, again})
    {
        EXPECT_EQ("vcli", command.adapter);
        EXPECT_TRUE(command.all);
        EXPECT_EQ(OutputFormat::Tsv, command.format);
        EXPECT_TRUE(command.m_strError.empty()) << command.m_strError;
    }
    // "--" ends the options: an adapter may look like one.
    EXPECT_EQ("-odd", ParseCommandLine({"--json", "--", "-odd"}).adapter);
    const CommandLine joined =
        ParseCommandLine({"--disc=eth0", "--wait=0.5", "--expect", "10.77.0.1"});
    EXPECT_TRUE(joined.m_strError.empty()) << joined.m_strError;
    EXPECT_EQ("eth0", joined.census.interfaceName);
    EXPECT_EQ(500ms, joined.census.wait);
    EXPECT_EQ(1u, joined.census.approved.size());
}
} // namespace
