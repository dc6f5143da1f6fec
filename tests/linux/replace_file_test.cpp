#include "linux/replace_file.h"

#include "testing/scratch_directory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
std::string Contents(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// The names in the folder, so that a temporary file left behind shows.
std::vector<std::string> Names(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(ReplaceFile, AReaderOfTheOldFileKeepsItWhole)
{
    CScratchDirectory scratch;
    ASSERT_FALSE(scratch.Path().empty());
    const std::string path = scratch.Path() + "/veyra-eth0.prom";
    ASSERT_EQ(0, ReplaceFile(path, "old\n"));
    const int reader = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_LE(0, reader);
    const mode_t mask = umask(077);
    const std::string text(1 << 20, 'n');
    EXPECT_EQ(0, ReplaceFile(path, text));
    umask(mask);
    char old[8] = {};
    EXPECT_EQ(4, read(reader, old, sizeof old));
    close(reader);
    EXPECT_STREQ("old\n", old);
    EXPECT_EQ(text, Contents(path));
    struct stat status = {};
    ASSERT_EQ(0, stat(path.c_str(), &status));
    EXPECT_EQ(0644u, status.st_mode & 07777);
    EXPECT_EQ(std::vector<std::string>{"veyra-eth0.prom"}, Names(scratch.Path()));
}

TEST(ReplaceFile, ASymbolicLinkIsReplacedNotFollowed)
{
    CScratchDirectory scratch;
    ASSERT_FALSE(scratch.Path().empty());
    const std::string target = scratch.Path() + "/target";
    const std::string path = scratch.Path() + "/veyra.prom";
    std::ofstream(target) << "kept";
    ASSERT_EQ(0, symlink(target.c_str(), path.c_str()));
    EXPECT_EQ(0, ReplaceFile(path, "new"));
    EXPECT_EQ("kept", Contents(target));
    EXPECT_FALSE(std::filesystem::is_symlink(path));
    EXPECT_EQ("new", Contents(path));
}

TEST(ReplaceFile, AFailureLeavesTheOldFileAndNoTemporaryFile)
{
    CScratchDirectory scratch;
    ASSERT_FALSE(scratch.Path().empty());
    const std::string folder = scratch.Path() + "/a.prom";
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    std::ofstream(folder + "/inside") << "kept";
    const struct
    {
        std::string path;
        int error;
    } cases[] = {
        {folder, EISDIR},                             // rename refuses a folder
        {scratch.Path() + "/missing/a.prom", ENOENT}, // no folder for the temporary file
        {scratch.Path() + "/", EISDIR},               // no name at all
    };
    for (const auto& failure : cases)
    {
        EXPECT_EQ(failure.error, ReplaceFile(failure.path, "new")) << failure.path;
        EXPECT_EQ(std::vector<std::string>{"a.prom"}, Names(scratch.Path())) << failure.path;
        EXPECT_EQ("kept", Contents(folder + "/inside"));
    }
}

TEST(ReplaceFile, TakesTheLongestNameTheFolderTakes)
{
    CScratchDirectory scratch;
    ASSERT_FALSE(scratch.Path().empty());
    const std::string path = scratch.Path() + "/" + std::string(NAME_MAX - 5, 'v') + ".prom";
    EXPECT_EQ(0, ReplaceFile(path, "long"));
    EXPECT_EQ("long", Contents(path));
    EXPECT_EQ(1u, Names(scratch.Path()).size());
}
} // namespace
