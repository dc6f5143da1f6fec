// CServersDialog: "Find DHCP Servers...": every DHCP server that offers an
// address on the adapter's link, found off the UI thread: its findings first
// (a server id offered by more than one server, an offer without server id),
// then each server with its offer and flags, and a warning when more than one
// answers (a second server on a link is most often a rogue).
#pragma once

#include "app/qt/window_services.h"

#include <QDialog>
#include <QFutureWatcher>

#include <utility>

class QLabel;
class ServerTableModel;

class CServersDialog : public QDialog
{
    Q_OBJECT
public:
    // Starts the search on the interface at once; shownName names the adapter
    // as the chooser shows it.
    CServersDialog(WindowServices& services, const std::string& interfaceName,
                   const QString& shownName, QWidget* parent = nullptr);

    bool IsSearching() const { return m_searching; }

private:
    void showFound(int error, DiscoveryResult result);

    // The search's errno value and findings; it goes with the dialog.
    QFutureWatcher<std::pair<int, DiscoveryResult>> m_search;
    bool m_searching = true;
    QString m_shownName;
    QLabel* m_status;
    QLabel* m_findings;
    QLabel* m_warning;
    ServerTableModel* m_servers;
};
