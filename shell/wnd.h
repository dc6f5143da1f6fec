// CWnd: a window of ours, or a control's window subclassed to one of our objects.
// Messages reach the object's message map; what the map does not handle goes to
// the window's default processing.
#pragma once

#include "platform/cstring.h"
#include "shell/message_map.h"

class CFont;

class CWnd : public CCmdTarget
{
public:
    CWnd() = default;
    // An object destroyed before its window gives the window back its own procedure.
    ~CWnd() override;

    // The object attached to a window through SubclassWindow or a dialog of ours.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // Routes the control's messages through this object from now on, until the
    // window is destroyed. Calls PreSubclassWindow first. False if this object
    // already has a window or the window already belongs to another object.
    BOOL SubclassWindow(HWND hWnd);
    // Lets the window go: its own procedure back, no object attached.
    HWND Detach();

    LRESULT SendMessage(UINT nMessage, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(m_hWnd, nMessage, wParam, lParam);
    }
    HWND GetDlgItem(int nID) const { return ::GetDlgItem(m_hWnd, nID); }
    void GetWindowText(CString& rString) const;
    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
    HICON SetIcon(HICON hIcon, BOOL bBigIcon)
    {
        return reinterpret_cast<HICON>(SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL,
                                                   reinterpret_cast<LPARAM>(hIcon)));
    }
    HMENU GetSystemMenu(BOOL bRevert) const { return ::GetSystemMenu(m_hWnd, bRevert); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    // FALSE holds back the window's drawing while it changes much; TRUE lets it
    // draw again, after which Invalidate has the changes shown.
    void SetRedraw(BOOL bRedraw = TRUE) { SendMessage(WM_SETREDRAW, static_cast<WPARAM>(bRedraw)); }
    void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
    void GetClientRect(RECT* pRect) const { ::GetClientRect(m_hWnd, pRect); }
    void GetWindowRect(RECT* pRect) const { ::GetWindowRect(m_hWnd, pRect); }
    // Centres the window over its owner, or on its monitor's work area when it has
    // no visible owner, keeping it inside that work area.
    void CenterWindow();

    HWND m_hWnd = nullptr;

protected:
    virtual void PreSubclassWindow() {}

    // Default processing of the message being handled now.
    LRESULT Default();
    virtual LRESULT DefWindowProc(UINT nMessage, WPARAM wParam, LPARAM lParam);

    // Finds and calls the handler of a message: the control's reflected colour
    // request first, then this object's map. False when nothing handled it.
    virtual bool OnWndMsg(UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT& lResult);
    // Every message of the window passes here; it keeps the message for Default.
    bool HandleMessage(UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT& lResult);
    // Called after the window's last message: the object lets it go, and the
    // application forgets its main window.
    void OnFinalMessage();

    void Attach(HWND hWnd);

    // Default handlers, for a map entry's handler to fall back on.
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT nMessage);
    LRESULT OnNcHitTest(POINT point);
    void OnLButtonDown(UINT nFlags, POINT point);

private:
    static LRESULT CALLBACK SubclassProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
    bool ReflectCtlColor(UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT& lResult);

    struct CurrentMessage
    {
        UINT nMessage;
        WPARAM wParam;
        LPARAM lParam;
    };
    CurrentMessage m_current{};
    WNDPROC m_pfnSuper = nullptr; // the subclassed control's own procedure
};
