#include "app/win32/about_dlg.h"

#include "app/win32/res/resource.h"
#include "core/model/maker_addresses.h"
#include "shell/data_exchange.h"

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
END_MESSAGE_MAP()

CAboutDlg::CAboutDlg()
    : CDialog(IDD_ABOUTBOX), m_linkAddress(kMakerHomePage, IDC_HAND_CURSOR),
      m_linkNotice(kMakerHomePage, IDC_HAND_CURSOR)
{
}

void CAboutDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ABOUT_ADDRESS, m_linkAddress);
    DDX_Control(pDX, IDC_ABOUT_NOTICE, m_linkNotice);
}
