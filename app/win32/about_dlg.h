// CAboutDlg: the about box: product name and version, and the copyright line and
// the maker's web address as links to the maker's home page.
#pragma once

#include "shell/dialog.h"
#include "shell/link_text.h"

class CAboutDlg : public CDialog
{
public:
    CAboutDlg();

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    CLinkText m_linkAddress; // control 1010, the web address
    CLinkText m_linkNotice;  // control 1008, the copyright line

    DECLARE_MESSAGE_MAP()
};
