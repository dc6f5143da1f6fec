// CQueryWindow: veyra-gui's main window, the Linux desktop's Veyra. It lists
// the machine's adapters by hardware address, asks for the chosen adapter's
// DHCP options on "Send DHCP Request" without blocking, and shows one row per
// option; the rows can be copied and saved as standard tab-separated text.
#pragma once

#include "app/qt/window_services.h"
#include "app/qt/worker_mailbox.h"
#include "core/model/lease.h"
#include "core/model/list_text.h"

#include <QDialog>
#include <QIcon>

#include <memory>

class CBannerLabel;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QTreeWidget;

class CQueryWindow : public QDialog
{
    Q_OBJECT
public:
    // Reads the adapters at once; the services must outlive the window.
    explicit CQueryWindow(CWindowServices& services, QWidget* pParent = nullptr);
    ~CQueryWindow() override;

    // Whether a request is out: the button is disabled and the cursor busy.
    bool IsRequestRunning() const { return m_bRunning; }

private:
    void OnSendRequest();
    void OnRequestDone(int nError, const Lease& lease);
    void OnResultsMenu(const QPoint& point);
    void OnSaveAs();
    void OnCopyRow();
    void OnCopyAll();
    void OnAbout();
    void OnFindServers();
    void OnLinkActivated(const QString& strLink);

    void FillAdapters();
    // The platform name of the adapter the chooser shows; empty for none.
    CString ChosenAdapterName() const;
    // The rows of the last request's lease, in the form the check box chooses.
    void ShowRows();
    // Why the DHCPINFORM of a request that found a lease was not answered.
    QString UnaskedText(int nError) const;
    QString FailureText(int nError, const CString& strAdapter) const;
    QLabel* MakeLink(const char* pszText, const char* pszAddress);

    CWindowServices& m_services;
    AdapterList m_adapters; // as the chooser lists them
    CellTable m_rows;       // the list's cells, byte for byte, in display order
    Lease m_lease;          // the last request's, when m_bHaveLease
    bool m_bHaveLease = false;
    CString m_strRequested; // the platform name of the adapter last asked about
    std::shared_ptr<CWorkerMailbox> m_pMailbox;
    bool m_bRunning = false;
    bool m_bRefocusSend = false; // the button had the focus when the request went out
    QIcon m_iconServer;
    QIcon m_iconOption;
    CBannerLabel* m_pBanner;
    QPushButton* m_pDownload;
    QComboBox* m_pAdapters;
    QPushButton* m_pSend;
    QCheckBox* m_pInform;
    QCheckBox* m_pAllOptions;
    QPushButton* m_pFindServers;
    QTreeWidget* m_pResults;
    QMenu* m_pResultsMenu;
};
