// CLinkText: turns a static text into a web link: blue underlined text on the
// dialog's face, the hand cursor and a press of the left button that opens the
// address, anywhere in the control's rectangle. No keyboard access and no
// visited state.
#pragma once

#include "shell/font.h"
#include "shell/static_ctrl.h"

class CLinkText : public CStatic
{
public:
    // Opens pszUrl (empty: the control's text) with the module's cursor
    // resource nCursorId, a hand, over the control.
    CLinkText(const char* pszUrl, UINT nCursorId);

protected:
    // Gives the control an underlined copy of its font, once per control window.
    void PreSubclassWindow() override;

    HBRUSH CtlColor(HDC hDC, UINT nCtlColor);
    LRESULT OnNcHitTest(POINT point);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT nMessage);
    void OnLButtonDown(UINT nFlags, POINT point);

    COLORREF m_clrText; // pure blue
    HCURSOR m_hCursor;  // a shared resource cursor; null without the resource
    CString m_strUrl;   // empty: the control's text, read at the first press
    CFont m_font;       // the underlined font; deleted after the control is gone

    DECLARE_MESSAGE_MAP()
};
