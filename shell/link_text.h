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
    // Opens the maker's home page until SetUrl says otherwise.
    CLinkText();

    void SetUrl(const char* pszUrl) { m_strUrl = pszUrl; }

protected:
    // Gives the control an underlined copy of its font, once per control window.
    void PreSubclassWindow() override;

    HBRUSH CtlColor(HDC hDC, UINT nCtlColor);
    LRESULT OnNcHitTest(POINT point);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT nMessage);
    void OnLButtonDown(UINT nFlags, POINT point);

    COLORREF m_clrText; // pure blue
    HCURSOR m_hCursor;  // the hand, a shared resource cursor; null without resource 131
    CString m_strUrl;   // empty: the control's text, read at the first press
    CFont m_font;       // the underlined font; deleted after the control is gone

    DECLARE_MESSAGE_MAP()
};
