#include "core/wire/address_text.h"

#include "core/wire/byte_order.h"

CString DottedQuad(std::uint32_t nAddress)
{
    CString strText;
    for (int nShift = 24; nShift >= 0; nShift -= 8)
    {
        if (nShift != 24)
            strText += '.';
        strText += std::to_string(nAddress >> nShift & 0xFF);
    }
    return strText;
}

CString DottedQuad(const std::uint8_t* pAddress)
{
    return DottedQuad(ReadBe32(pAddress));
}
