// CServersDialog: "Find DHCP Servers...": a census of the adapter's link, run
// off the UI thread: every DHCPv4 server that offers an address, every DHCPv6
// server that advertises and every IPv6 router. What is wrong comes first (a
// conflict, a server without id, more than one of a kind: a second giver on a
// link is most often a rogue), then a table per family, with a line where
// none of a family answered. Copy and Copy All take what it shows.
#pragma once

#include "app/qt/window_services.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QTimer>

#include <utility>
#include <vector>

class QLabel;
class QProgressBar;
class QTreeView;
class QVBoxLayout;
class CensusTableModel;

class CServersDialog : public QDialog
{
    Q_OBJECT
public:
    // Starts the census on the interface at once; shownName names the adapter
    // as the chooser shows it.
    CServersDialog(WindowServices& services, const std::string& interfaceName,
                   const QString& shownName, QWidget* parent = nullptr);

    bool IsSearching() const { return m_searching; }

    // What the dialog shows as text: the status, the findings, then each
    // family's title, header and rows (cells between tabs) and silent lines.
    QString allText() const;

private:
    void showFound(int error, CensusResult result);
    void showProgress();
    void copySelected(const QTreeView* view);
    void copyAll();

    WindowServices& m_services;
    // The census's errno value and result; it goes with the dialog.
    QFutureWatcher<std::pair<int, CensusResult>> m_search;
    bool m_searching = true;
    QString m_shownName;
    QElapsedTimer m_started;
    QTimer m_ticks;
    QLabel* m_status;
    QProgressBar* m_progress;
    QLabel* m_findings;
    QLabel* m_warning;
    QVBoxLayout* m_tables; // a title, silent lines and a list per family
    struct Shown
    {
        QString title;
        QStringList silences;
        CensusTableModel* model;
    };
    std::vector<Shown> m_shown;
};
