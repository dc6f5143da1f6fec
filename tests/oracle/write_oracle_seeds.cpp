// Writes the oracle suite's cases into the fuzzers' seed corpus:
//   veyra_oracle_seeds fuzz/corpus
// OracleSeeds.AreInTheCorpus tells when they need writing again.
#include "testing/oracle_cases.h"
#include "testing/pcap_writer.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: veyra_oracle_seeds CORPUS_DIR\n");
        return 2;
    }
    const std::filesystem::path corpus = argv[1];
    const std::vector<SeedFile> seeds = OracleSeeds();
    for (const SeedFile& seed : seeds)
    {
        const std::filesystem::path file = corpus / seed.m_strPath;
        std::error_code error;
        std::filesystem::create_directories(file.parent_path(), error);
        if (!WriteBytes(file.string(), seed.m_Bytes))
        {
            std::fprintf(stderr, "veyra_oracle_seeds: cannot write %s\n", file.c_str());
            return 1;
        }
    }
    std::printf("veyra_oracle_seeds: %zu seeds in %s\n", seeds.size(), corpus.c_str());
    return 0;
}
