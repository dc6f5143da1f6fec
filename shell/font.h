// CFont: owns one GDI font and deletes it with the object.
#pragma once

#include "platform/platform_types.h"

class CFont
{
public:
    CFont() = default;
    ~CFont() { DeleteObject(); }
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    // Replaces the font held, if any, by one made from the description.
    BOOL CreateFontIndirect(const LOGFONTA* pLogFont)
    {
        DeleteObject();
        m_hFont = ::CreateFontIndirectA(pLogFont);
        return m_hFont != nullptr;
    }
    void DeleteObject()
    {
        if (m_hFont != nullptr)
            ::DeleteObject(m_hFont);
        m_hFont = nullptr;
    }
    HFONT GetSafeHandle() const { return m_hFont; }

private:
    HFONT m_hFont = nullptr;
};
