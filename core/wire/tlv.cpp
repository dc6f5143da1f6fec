#include "core/wire/tlv.h"

#include "core/wire/byte_order.h"

namespace
{
constexpr std::uint8_t kPad = 0;
constexpr std::uint8_t kEnd = 255;
} // namespace

FieldView::FieldView(Framing framing, const std::uint8_t* data, std::size_t length)
    : m_framing(framing), m_data(data), m_length(data != nullptr ? length : 0)
{
    std::size_t offset = 0;
    for (;;)
    {
        Field field{};
        std::size_t next = 0;
        const Step step = ReadAt(offset, field, next);
        if (step == Step::Cut)
            return;
        if (step == Step::End)
            break;
        if (step == Step::Field)
            ++m_count;
        offset = next;
    }
    m_whole = true;
}

FieldView::Step FieldView::ReadAt(std::size_t offset, Field& field, std::size_t& next) const
{
    const std::size_t left = m_length - offset;
    if (left == 0)
        return Step::End;
    const std::uint8_t* at = m_data + offset;
    std::size_t header = 0;
    std::size_t length = 0;
    switch (m_framing)
    {
    case Framing::TlvPadEnd:
        if (at[0] == kPad)
        {
            next = offset + 1;
            return Step::Skip;
        }
        if (at[0] == kEnd)
        {
            for (std::size_t i = 1; i < left; ++i)
                if (at[i] != kPad)
                    return Step::Cut;
            return Step::End;
        }
        [[fallthrough]];
    case Framing::Tlv:
        if (left < 2)
            return Step::Cut;
        field.tag = at[0];
        header = 2;
        length = at[1];
        break;
    case Framing::Prefixed8:
        header = 1;
        length = at[0];
        if (length == 0)
            return Step::Cut;
        field.tag = 0;
        break;
    case Framing::Prefixed16:
        if (left < 2)
            return Step::Cut;
        header = 2;
        length = ReadBe16(at);
        if (length == 0)
            return Step::Cut;
        field.tag = 0;
        break;
    case Framing::Enterprise:
        if (left < 5)
            return Step::Cut;
        field.tag = ReadBe32(at);
        header = 5;
        length = at[4];
        break;
    case Framing::Tlv16:
        if (left < 4)
            return Step::Cut;
        field.tag = ReadBe16(at);
        header = 4;
        length = ReadBe16(at + 2);
        break;
    }
    if (left - header < length)
        return Step::Cut;
    field.data = at + header;
    field.length = length;
    next = offset + header + length;
    return Step::Field;
}

FieldView::Iterator::Iterator(const FieldView* view, std::size_t offset)
    : m_view(view), m_offset(offset)
{
    Read();
}

FieldView::Iterator& FieldView::Iterator::operator++()
{
    m_offset = m_next;
    Read();
    return *this;
}

// Moves to the next field at or after m_offset; past the last, to the end.
void FieldView::Iterator::Read()
{
    for (;;)
    {
        const Step step = m_view->ReadAt(m_offset, m_field, m_next);
        if (step == Step::Field)
            return;
        if (step != Step::Skip)
        {
            m_offset = m_view->m_length;
            return;
        }
        m_offset = m_next;
    }
}
