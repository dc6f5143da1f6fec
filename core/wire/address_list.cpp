#include "core/wire/address_list.h"

#include "core/wire/address_text.h"

std::vector<CString> Ipv4AddressList::Texts() const
{
    std::vector<CString> texts;
    texts.reserve(m_count);
    for (std::size_t i = 0; i < m_count; ++i)
        texts.push_back(DottedQuad(At(i)));
    return texts;
}
