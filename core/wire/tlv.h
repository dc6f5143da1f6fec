// The framings inside one option's bytes: sub-options (RFC 2132 3's code,
// length, data; RFC 8415 21.1's 16-bit code and length), length-prefixed items (RFC 3004, RFC 3925,
// RFC 7291, RFC 8572, RFC 9463) and RFC 3925's enterprise blocks.
//
// A FieldView reads the bytes in place: it allocates nothing, never reads past
// the length it was given, and tells whether the fields fill the bytes
// exactly before anyone iterates them.
#pragma once

#include <cstddef>
#include <cstdint>

enum class Framing
{
    Tlv,        // code (1), length (1), data
    TlvPadEnd,  // the same; pad (0) is skipped, end (255) ends, and only pad may follow it
    Prefixed8,  // length (1), data; no item empty
    Prefixed16, // length (2, big-endian), data; no item empty
    Enterprise, // enterprise number (4, big-endian), length (1), data
    Tlv16,      // code (2), length (2), both big-endian, data: DHCPv6 (RFC 8415 21.1)
};

// One field: the code or enterprise number (0 for prefixed items) and its data.
struct Field
{
    std::uint32_t tag;
    const std::uint8_t* data;
    std::size_t length;
};

class FieldView
{
public:
    class Iterator
    {
    public:
        Iterator(const FieldView* view, std::size_t offset);
        const Field& operator*() const { return m_field; }
        const Field* operator->() const { return &m_field; }
        Iterator& operator++();
        bool operator!=(const Iterator& other) const { return m_offset != other.m_offset; }

    private:
        void Read();

        const FieldView* m_view;
        std::size_t m_offset; // where m_field starts; the view's end when done
        std::size_t m_next = 0;
        Field m_field{};
    };

    FieldView(Framing framing, const std::uint8_t* data, std::size_t length);

    // The fields fill the bytes exactly (for TlvPadEnd: up to end, then pad).
    bool IsWhole() const { return m_whole; }
    // The fields a whole view holds (pad and end are none).
    std::size_t Count() const { return m_count; }

    // Iterate only a whole view.
    Iterator begin() const { return Iterator(this, 0); }
    Iterator end() const { return Iterator(this, m_length); }

private:
    enum class Step
    {
        Field, // one field read
        Skip,  // pad
        End,   // end option, or no bytes left
        Cut,   // the header or data runs past the bytes
    };
    // Reads what stands at offset; next is where the following one starts.
    Step ReadAt(std::size_t offset, Field& field, std::size_t& next) const;

    Framing m_framing;
    const std::uint8_t* m_data;
    std::size_t m_length;
    std::size_t m_count = 0;
    bool m_whole = false;
};
