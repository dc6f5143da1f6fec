#include "core/wire/domain_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
using Bytes = std::vector<std::uint8_t>;
using Names = std::vector<std::string>;

// A label of the given length, all 'a', with its length byte.
Bytes Label(std::size_t nLength)
{
    Bytes label(nLength + 1, 'a');
    label[0] = static_cast<std::uint8_t>(nLength);
    return label;
}

// A name of labels of the given lengths, with the root label.
Bytes Name(std::initializer_list<std::size_t> lengths)
{
    Bytes name;
    for (const std::size_t nLength : lengths)
    {
        const Bytes label = Label(nLength);
        name.insert(name.end(), label.begin(), label.end());
    }
    name.push_back(0);
    return name;
}

std::optional<Names> Read(const Bytes& bytes)
{
    return ReadDomainList(bytes.data(), bytes.size());
}

TEST(ReadDomainList, ReadsPlainAndCompressedNames)
{
    const struct
    {
        const char* pszWhat;
        Bytes bytes;
        Names names;
    } kCases[] = {
        {"one", {3, 'l', 'a', 'b', 2, 'e', 'x', 0}, {"lab.ex"}},
        {"root", {0}, {"."}},
        {"suffix pointer",
         {2, 'e', 'x', 0, 1, 'a', 0xC0, 0, 1, 'b', 0xC0, 4},
         {"ex", "a.ex", "b.a.ex"}},
        {"whole-name pointer", {1, 'a', 0, 0xC0, 0}, {"a", "a"}},
        {"bytes kept", {3, 'a', '.', 0xFF, 0}, {"a.\xFF"}},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(Read(c.bytes), c.names) << c.pszWhat;
}

TEST(ReadDomainList, RefusesHostileBytes)
{
    const struct
    {
        const char* pszWhat;
        Bytes bytes;
    } kCases[] = {
        {"empty", {}},
        {"pointer to itself", {0xC0, 0}},
        {"pointer loop through a label", {1, 'a', 0xC0, 0}},
        {"two pointers in a ring", {1, 'a', 0xC0, 4, 0xC0, 0}},
        {"forward pointer", {0xC0, 2, 0}},
        {"pointer past the end", {0xC0, 9}},
        {"pointer cut short", {1, 'a', 0, 0xC0}},
        {"label of 64", Label(64)},
        {"reserved 10 form", {0x80, 0}},
        {"label cut short", {5, 'a', 'b'}},
        {"no root label", {1, 'a'}},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(Read(c.bytes), std::nullopt) << c.pszWhat;
    EXPECT_EQ(ReadDomainList(nullptr, 4), std::nullopt);
}

TEST(ReadDomainList, BoundsNamesAt255Octets)
{
    // 3 x 63-octet labels and one of 61: 4 * 1 + 250 + 1 = 255 octets.
    const Bytes longest = Name({63, 63, 63, 61});
    ASSERT_EQ(longest.size(), kMaxDomainName);
    ASSERT_TRUE(Read(longest));
    EXPECT_EQ(Read(longest)->at(0).size(), 253u);
    EXPECT_EQ(Read(Name({63, 63, 63, 62})), std::nullopt);

    // The bound holds across pointers as well: 192 octets before, 64 after.
    Bytes compressed = Name({63, 63, 63});
    compressed.pop_back();
    compressed.push_back(0);
    Bytes second = Label(63);
    compressed.insert(compressed.end(), second.begin(), second.end());
    compressed.insert(compressed.end(), {0xC0, 0});
    EXPECT_EQ(Read(compressed), std::nullopt);
}

TEST(ReadUncompressedName, ReadsWholeAndPartialNames)
{
    const Bytes whole{4, 'h', 'o', 's', 't', 2, 'e', 'x', 0};
    EXPECT_EQ(ReadUncompressedName(whole.data(), whole.size()), "host.ex");
    EXPECT_EQ(ReadUncompressedName(whole.data(), 5), "host");
    EXPECT_EQ(ReadUncompressedName(whole.data(), 0), "");

    const Bytes pointer{1, 'a', 0xC0, 0};
    EXPECT_EQ(ReadUncompressedName(pointer.data(), pointer.size()), std::nullopt);
    const Bytes trailing{1, 'a', 0, 1};
    EXPECT_EQ(ReadUncompressedName(trailing.data(), trailing.size()), std::nullopt);
    EXPECT_EQ(ReadUncompressedName(whole.data(), 3), std::nullopt);
    const Bytes tooLong = Name({63, 63, 63, 62});
    EXPECT_EQ(ReadUncompressedName(tooLong.data(), tooLong.size()), std::nullopt);
    const Bytes wideLabel = Label(64);
    EXPECT_EQ(ReadUncompressedName(wideLabel.data(), wideLabel.size()), std::nullopt);
}
} // namespace
