// CLinkArea: turns a static control that reports clicks (SS_NOTIFY), such as a
// picture, into a web link: the hand cursor over it, and a press of the left
// button opens the address.
#pragma once

#include "shell/static_ctrl.h"

class CLinkArea : public CStatic
{
public:
    // Opens pszUrl (empty: the control's text) with the module's cursor
    // resource nCursorId, a hand, over the control.
    CLinkArea(const char* pszUrl, UINT nCursorId);

protected:
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT nMessage);
    void OnLButtonDown(UINT nFlags, POINT point);

    HCURSOR m_hCursor; // a shared resource cursor; null without the resource
    CString m_strUrl;  // empty: the control's text, read at the first press

    DECLARE_MESSAGE_MAP()
};
