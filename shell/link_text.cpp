#include "shell/link_text.h"

#include "shell/module_resources.h"
#include "shell/open_address.h"

BEGIN_MESSAGE_MAP(CLinkText, CStatic)
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_NCHITTEST()
    ON_WM_SETCURSOR()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

CLinkText::CLinkText(const char* pszUrl, UINT nCursorId)
    : m_clrText(RGB(0, 0, 255)), m_hCursor(LoadModuleCursor(nCursorId)), m_strUrl(pszUrl)
{
}

void CLinkText::PreSubclassWindow()
{
    // A control without a font of its own draws with the system font: underline that.
    HFONT hFont = GetFont();
    if (hFont == nullptr)
        hFont = static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
    LOGFONTA logFont;
    if (::GetObjectA(hFont, sizeof logFont, &logFont) == sizeof logFont)
    {
        logFont.lfUnderline = TRUE;
        if (m_font.CreateFontIndirect(&logFont))
            SetFont(&m_font, TRUE);
    }
    CStatic::PreSubclassWindow();
}

// The kind of control the dialog asks about does not matter.
HBRUSH CLinkText::CtlColor(HDC hDC, UINT)
{
    ::SetTextColor(hDC, m_clrText);
    ::SetBkMode(hDC, TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

// A plain static text lets the mouse fall through to the dialog: claim the whole
// rectangle, blank space after the text included.
LRESULT CLinkText::OnNcHitTest(POINT)
{
    return HTCLIENT;
}

BOOL CLinkText::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT nMessage)
{
    if (m_hCursor == nullptr)
        return CStatic::OnSetCursor(pWnd, nHitTest, nMessage);
    ::SetCursor(m_hCursor);
    return TRUE;
}

// The press opens the link, not the release.
void CLinkText::OnLButtonDown(UINT nFlags, POINT point)
{
    if (m_strUrl.empty())
        GetWindowText(m_strUrl);
    OpenAddress(m_strUrl.c_str());
    CStatic::OnLButtonDown(nFlags, point);
}
