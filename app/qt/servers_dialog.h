// CServersDialog: "Find DHCP Servers...": every DHCP server that offers an
// address on the adapter's link, found off the UI thread: its findings first
// (a server id offered by more than one server, an offer without server id),
// then each server with its offer and flags, and a warning when more than one
// answers (a second server on a link is most often a rogue).
#pragma once

#include "app/qt/window_services.h"

#include <QDialog>
#include <QFutureWatcher>

class QLabel;
class QTreeWidget;

class CServersDialog : public QDialog
{
    Q_OBJECT
public:
    // Starts the search on the interface at once; strShown names the adapter
    // as the chooser shows it.
    CServersDialog(WindowServices& services, const std::string& strInterface,
                   const QString& strShown, QWidget* pParent = nullptr);

    bool IsSearching() const { return m_bSearching; }

private:
    void OnSearchDone(int nError, const DiscoveryResult& result);

    // The search's errno value and findings; it goes with the dialog.
    QFutureWatcher<std::pair<int, DiscoveryResult>> m_search;
    bool m_bSearching = true;
    QString m_strShown;
    QLabel* m_pStatus;
    QLabel* m_pFindings;
    QLabel* m_pWarning;
    QTreeWidget* m_pServers;
};
