// CDialog: a modal dialog made from a dialog template of the program's module.
#pragma once

#include "shell/wnd.h"

class CDataExchange;

class CDialog : public CWnd
{
public:
    CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Creates the dialog, runs its modal loop and returns the code it ended with
    // once its window is destroyed; -1 when it cannot be created. The owner is the
    // parent given at construction, else the application's main window.
    virtual INT_PTR DoModal();
    void EndDialog(int nResult) { ::EndDialog(m_hWnd, nResult); }

    // Exchanges the members with the controls: TRUE saves the controls into the
    // members, FALSE loads the members into the controls. FALSE when an exchanged
    // control is missing from the dialog.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // Runs when the window and its controls exist and before it shows: the default
    // loads the members into the controls. TRUE lets the system set the focus.
    virtual BOOL OnInitDialog();

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    // IDOK: saves the controls into the members, then ends the dialog with IDOK.
    virtual void OnOK();
    // IDCANCEL (also Escape and the close box): ends the dialog with IDCANCEL.
    virtual void OnCancel();
    // F1: the help command, for the dialog's map or the application's.
    BOOL OnHelpInfo(HELPINFO* pHelpInfo);

    LRESULT DefWindowProc(UINT nMessage, WPARAM wParam, LPARAM lParam) override;
    bool OnWndMsg(UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;

    DECLARE_MESSAGE_MAP()

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
    BOOL InitDialog(HWND hWnd);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    // Set while Default passes the current message to the system's dialog
    // procedure, which calls ours first: that call must decline the message.
    bool m_bPassToDefault = false;
};
