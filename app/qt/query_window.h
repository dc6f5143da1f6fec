// QueryWindow: veyra-gui's main window, the Linux desktop's Veyra. It lists
// the machine's adapters by hardware address, asks for the chosen adapter's
// DHCP options on "Send DHCP Request" without blocking, and shows one row per
// option; the rows can be copied and saved as standard tab-separated text.
#pragma once

#include "app/qt/window_services.h"
#include "core/model/ipv6_rows.h"
#include "core/model/lease.h"

#include <QDialog>
#include <QFutureWatcher>

class BannerLabel;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QTreeView;
class ResultModel;

class QueryWindow : public QDialog
{
    Q_OBJECT
public:
    // Reads the adapters at once; the services must outlive the window.
    explicit QueryWindow(WindowServices& services, QWidget* parent = nullptr);

    // Whether a request is out: the button is disabled and the cursor busy.
    bool isRequestRunning() const { return m_request != nullptr; }

    // Closing the window drops the answer of a request still out.
    void done(int result) override;

private:
    // A request's answer: 0 and the lease, or an errno value; and the
    // adapter's IPv6 side.
    struct Answer
    {
        int error;
        Lease lease;
        Ipv6Part ipv6;
    };

    void sendRequest();
    void showAnswer(const Answer& answer);
    void endRequest();
    void showResultsMenu(const QPoint& point);
    void saveAs();
    void copyRow();
    void copyAll();
    void showAbout();
    void findServers();

    void fillAdapters();
    // The platform name of the adapter the chooser shows; empty for none.
    std::string chosenAdapterName() const;
    // The rows of the last request's lease, in the form the check box
    // chooses, then its IPv6 section where it has one.
    void showRows();
    QString failureText(int error, const std::string& adapter) const;
    QLabel* makeLink(const char* text, const char* address);

    WindowServices& m_services;
    AdapterList m_adapters; // as the chooser lists them
    Lease m_lease;          // the last request's, when m_haveLease
    bool m_haveLease = false;
    Ipv6Part m_ipv6; // the last request's, when m_haveIpv6
    bool m_haveIpv6 = false;
    std::string m_requested; // the platform name of the adapter last asked about
    // The request out, if any.
    QFutureWatcher<Answer>* m_request = nullptr;
    bool m_refocusSend = false; // the button had the focus when the request went out
    ResultModel* m_results;
    BannerLabel* m_banner;
    QPushButton* m_download;
    QComboBox* m_adapterChooser;
    QPushButton* m_send;
    QCheckBox* m_inform;
    QCheckBox* m_allOptions;
    QPushButton* m_findServers;
    QTreeView* m_resultView;
    QMenu* m_resultsMenu;
};
