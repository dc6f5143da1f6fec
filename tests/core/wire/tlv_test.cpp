#include "core/wire/tlv.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace
{
using Bytes = std::vector<std::uint8_t>;
// Each field's tag, and its data as an offset into the bytes and a length.
using Fields = std::vector<std::pair<std::uint32_t, std::pair<std::size_t, std::size_t>>>;

struct FramingCase
{
    const char* what;
    Framing framing;
    Bytes bytes;
    bool whole;
    Fields fields; // of a whole view
};

const FramingCase kCases[] = {
    {"TlvEmpty", Framing::Tlv, {}, true, {}},
    {"TlvOne", Framing::Tlv, {1, 2, 'a', 'b'}, true, {{1, {2, 2}}}},
    {"TlvTwoAndEmptyData", Framing::Tlv, {1, 0, 9, 1, 'x'}, true, {{1, {2, 0}}, {9, {4, 1}}}},
    {"TlvLoneCode", Framing::Tlv, {1}, false, {}},
    {"TlvDataPastEnd", Framing::Tlv, {1, 3, 'a', 'b'}, false, {}},
    {"TlvSecondCut", Framing::Tlv, {1, 0, 2}, false, {}},
    {"TlvPadIsACode", Framing::Tlv, {0, 0}, true, {{0, {2, 0}}}},
    {"PadEndOnlyPad", Framing::TlvPadEnd, {0, 0}, true, {}},
    {"PadEndPadsAround", Framing::TlvPadEnd, {0, 1, 1, 'a', 0, 255}, true, {{1, {3, 1}}}},
    {"PadEndPadAfterEnd", Framing::TlvPadEnd, {2, 0, 255, 0, 0}, true, {{2, {2, 0}}}},
    {"PadEndDataAfterEnd", Framing::TlvPadEnd, {255, 1}, false, {}},
    {"PadEndLengthPastEnd", Framing::TlvPadEnd, {1, 2, 'a'}, false, {}},
    {"PadEndLengthByteMissing", Framing::TlvPadEnd, {0, 1}, false, {}},
    {"Prefixed8Two", Framing::Prefixed8, {2, 'a', 'b', 1, 'c'}, true, {{0, {1, 2}}, {0, {4, 1}}}},
    {"Prefixed8EmptyItem", Framing::Prefixed8, {0}, false, {}},
    {"Prefixed8Cut", Framing::Prefixed8, {3, 'a'}, false, {}},
    {"Prefixed16One", Framing::Prefixed16, {0, 2, 'a', 'b'}, true, {{0, {2, 2}}}},
    {"Prefixed16LoneByte", Framing::Prefixed16, {0}, false, {}},
    {"Prefixed16EmptyItem", Framing::Prefixed16, {0, 0}, false, {}},
    {"Prefixed16Cut", Framing::Prefixed16, {1, 0, 'a'}, false, {}},
    {"EnterpriseTwo",
     Framing::Enterprise,
     {0, 0, 0x11, 0x8B, 1, 'a', 0x80, 0, 0, 1, 0},
     true,
     {{4491, {5, 1}}, {0x80000001u, {11, 0}}}},
    {"EnterpriseShortHeader", Framing::Enterprise, {0, 0, 0, 9}, false, {}},
    {"EnterpriseDataPastEnd", Framing::Enterprise, {0, 0, 0, 9, 2, 'a'}, false, {}},
    {"Tlv16TwoAndEmptyData",
     Framing::Tlv16,
     {0x01, 0x00, 0, 1, 'a', 0, 9, 0, 0},
     true,
     {{0x0100, {4, 1}}, {9, {9, 0}}}},
    {"Tlv16LengthCut", Framing::Tlv16, {0, 1, 0}, false, {}},
    {"Tlv16DataPastEnd", Framing::Tlv16, {0, 1, 0x01, 0x00, 'a'}, false, {}},
    {"Tlv16HighLengthByte", Framing::Tlv16, {0, 1, 0x01, 0x01, 'a'}, false, {}},
};

std::string CaseName(const testing::TestParamInfo<FramingCase>& param)
{
    return param.param.what;
}

class FieldViewFraming : public testing::TestWithParam<FramingCase>
{
};

TEST_P(FieldViewFraming, FindsTheFieldsOrRefusesTheBytes)
{
    const FramingCase& c = GetParam();
    const FieldView view(c.framing, c.bytes.data(), c.bytes.size());
    ASSERT_EQ(view.IsWhole(), c.whole);
    if (!c.whole)
        return;
    EXPECT_EQ(view.Count(), c.fields.size());
    Fields fields;
    for (const Field& field : view)
        fields.push_back(
            {field.tag, {static_cast<std::size_t>(field.data - c.bytes.data()), field.length}});
    EXPECT_EQ(fields, c.fields);
}

INSTANTIATE_TEST_SUITE_P(Wire, FieldViewFraming, testing::ValuesIn(kCases), CaseName);

TEST(FieldView, NoDataIsEmptyWhateverTheLength)
{
    const FieldView view(Framing::Tlv, nullptr, 5);
    EXPECT_TRUE(view.IsWhole());
    EXPECT_EQ(view.Count(), 0u);
    EXPECT_FALSE(view.begin() != view.end());
}
} // namespace
