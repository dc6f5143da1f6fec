// CServersDialog: "Find DHCP Servers...": every DHCP server that offers an
// address on the adapter's link, found off the UI thread: its findings first
// (a server id offered by more than one server, an offer without server id),
// then each server with its offer and flags, and a warning when more than one
// answers (a second server on a link is most often a rogue).
#pragma once

#include "app/qt/window_services.h"
#include "app/qt/worker_mailbox.h"

#include <QDialog>

#include <memory>

class QLabel;
class ServerTableModel;

class CServersDialog : public QDialog
{
    Q_OBJECT
public:
    // Starts the search on the interface at once; shownName names the adapter
    // as the chooser shows it.
    CServersDialog(CWindowServices& services, const std::string& interfaceName,
                   const QString& shownName, QWidget* parent = nullptr);
    ~CServersDialog() override;

    bool IsSearching() const { return m_searching; }

private:
    void showFound(int error, DiscoveryResult result);

    std::shared_ptr<CWorkerMailbox> m_mailbox;
    bool m_searching = true;
    QString m_shownName;
    QLabel* m_status;
    QLabel* m_findings;
    QLabel* m_warning;
    ServerTableModel* m_servers;
};
