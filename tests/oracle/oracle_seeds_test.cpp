// The oracle's edge and hostile cases seed the fuzzers: the committed corpus
// holds each as OracleSeeds makes it, and no seed of a case that is gone.
#include "testing/oracle_cases.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

namespace
{
const std::filesystem::path kCorpus = VEYRA_FUZZ_CORPUS;
constexpr const char* kRewrite = "write them again: veyra_oracle_seeds fuzz/corpus";

TEST(OracleSeeds, AreInTheCorpus)
{
    std::set<std::filesystem::path> made;
    for (const SeedFile& seed : OracleSeeds())
    {
        const std::filesystem::path file = kCorpus / seed.m_strPath;
        EXPECT_TRUE(made.insert(file).second) << "two seeds named " << seed.m_strPath;
        std::ifstream stream(file, std::ios::binary);
        const std::vector<std::uint8_t> committed((std::istreambuf_iterator<char>(stream)),
                                                  std::istreambuf_iterator<char>());
        EXPECT_TRUE(stream.is_open() && committed == seed.m_Bytes)
            << seed.m_strPath << " is missing or out of date; " << kRewrite;
    }

    for (const char* pszFuzzer :
         {"extended_option", "bootp_message", "dhcpv6_option", "dhcpv6_message"})
    {
        for (const auto& entry : std::filesystem::directory_iterator(kCorpus / pszFuzzer))
        {
            if (entry.path().filename().string().rfind("oracle_", 0) != 0)
                continue;
            EXPECT_EQ(made.count(entry.path()), 1u)
                << entry.path() << " seeds a case the suite no longer has";
        }
    }
}
} // namespace
