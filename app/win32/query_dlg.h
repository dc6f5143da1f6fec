// CQueryDlg: Veyra's main window. It lists the machine's adapters, asks the
// DHCP client service for the chosen adapter's options on "Send DHCP Request"
// and shows one row per option; the rows can be copied and saved.
#pragma once

#include "shell/combo_box.h"
#include "shell/dialog.h"
#include "shell/image_list.h"
#include "shell/link_area.h"
#include "shell/link_text.h"
#include "shell/list_ctrl.h"
#include "win32/adapter_inventory.h"
#include "win32/dhcp_query.h"
#include "win32/winsock_init.h"

class CQueryDlg : public CDialog
{
public:
    // On the operating system's DHCP client service and IP helper.
    explicit CQueryDlg(CWnd* pParent = nullptr);
    // On the given services, which must outlive the dialog.
    CQueryDlg(CDhcpClientService& dhcpService, CIpHelper& ipHelper, CWnd* pParent = nullptr);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnSendRequest();
    void OnSelchangeAdapter();
    void OnDownloadHere();
    void OnCopyAll();
    void OnRclickResultList(NMHDR* pNMHDR, LRESULT* pResult);
    void OnSaveAs();
    void OnCopyRow();

    // All rows: each cell followed by TAB, each row ended by CR.
    CString BuildListText(const CListCtrl& list) const;
    // The selected row's cells joined by TAB, onto the clipboard. False when no
    // row is selected (the clipboard is left alone) or the clipboard did not
    // take the text.
    bool CopySelectedRow(const CListCtrl& list);
    // Asks for a file and writes all rows into it. False when the file cannot
    // be written, which the user has been told; true otherwise, also when the
    // user cancels. The working directory is the same afterwards.
    bool SaveListAsText(const CListCtrl& list);

    // Destroyed in reverse order: the controls' wrappers first, the image list,
    // which the results list shares, last.
    CImageList m_imageList;
    CDhcpQuery m_query;
    CWinsockInit m_winsock;
    CAdapterInventory m_adapters;
    CString m_strAdapter; // the chooser's text last read: a hardware address text
    CLinkArea m_banner;
    CLinkText m_advertText;
    CLinkText m_advertTitle;
    CComboBox m_comboAdapters;
    CListCtrl m_listResults;
    int m_nAdapter; // the chooser's selected index, -1 for none
    HICON m_hIcon;

    DECLARE_MESSAGE_MAP()
};
