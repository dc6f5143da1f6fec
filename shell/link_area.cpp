#include "shell/link_area.h"

#include "shell/module_resources.h"
#include "shell/open_address.h"

BEGIN_MESSAGE_MAP(CLinkArea, CStatic)
    ON_WM_SETCURSOR()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

CLinkArea::CLinkArea(const char* pszUrl, UINT nCursorId)
    : m_hCursor(LoadModuleCursor(nCursorId)), m_strUrl(pszUrl)
{
}

BOOL CLinkArea::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT nMessage)
{
    if (m_hCursor == nullptr)
        return CStatic::OnSetCursor(pWnd, nHitTest, nMessage);
    ::SetCursor(m_hCursor);
    return TRUE;
}

// The press opens the link, not the release.
void CLinkArea::OnLButtonDown(UINT nFlags, POINT point)
{
    if (m_strUrl.empty())
        GetWindowText(m_strUrl);
    OpenAddress(m_strUrl.c_str());
    CStatic::OnLButtonDown(nFlags, point);
}
