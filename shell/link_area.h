// CLinkArea: turns a static control that reports clicks (SS_NOTIFY), such as a
// picture, into a web link: the hand cursor over it, and a press of the left
// button opens the address.
#pragma once

#include "shell/static_ctrl.h"

class CLinkArea : public CStatic
{
public:
    // Opens the home page of the maker's second web site until SetUrl says otherwise.
    CLinkArea();

    void SetUrl(const char* pszUrl) { m_strUrl = pszUrl; }

protected:
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT nMessage);
    void OnLButtonDown(UINT nFlags, POINT point);

    HCURSOR m_hCursor; // the hand, a shared resource cursor; null without resource 131
    CString m_strUrl;  // empty: the control's text, read at the first press

    DECLARE_MESSAGE_MAP()
};
