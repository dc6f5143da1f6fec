// CServersDialog: "Find DHCP Servers...": a census of the adapter's link, run
// off the UI thread: every DHCPv4 server that offers an address, every DHCPv6
// server that advertises and every IPv6 router. What is wrong comes first (a
// conflict, a server without id, more than one of a kind: a second giver on a
// link is most often a rogue), then a table per family, with a line where
// none of a family answered. A list of VLANs asks those of a trunk instead
// of the untagged link. Copy and Copy All take what it shows.
#pragma once

#include "app/qt/window_services.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QTimer>

#include <utility>
#include <vector>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QTreeView;
class QVBoxLayout;
class CensusTableModel;

class CServersDialog : public QDialog
{
    Q_OBJECT
public:
    // Starts the census of the untagged link at once; shownName names the
    // adapter as the chooser shows it.
    CServersDialog(WindowServices& services, const std::string& interfaceName,
                   const QString& shownName, QWidget* parent = nullptr);

    bool IsSearching() const { return m_searching; }

    // What the dialog shows as text: the status, the findings, then each
    // family's title, header and rows (cells between tabs) and silent lines.
    QString allText() const;

private:
    // Asks the VLANs of the field (none: the untagged link) anew.
    void search();
    void showFound(int error, CensusResult result);
    void showProgress();
    void copySelected(const QTreeView* view);
    void copyAll();

    WindowServices& m_services;
    const std::string m_interfaceName;
    // The census's errno value and result; it goes with the dialog.
    QFutureWatcher<std::pair<int, CensusResult>> m_census;
    bool m_searching = true;
    QString m_shownName;
    QElapsedTimer m_started;
    QTimer m_ticks;
    QLineEdit* m_vlans;
    QPushButton* m_searchButton;
    QLabel* m_status;
    QProgressBar* m_progress;
    QLabel* m_findings;
    QLabel* m_warning;
    QScrollArea* m_scroller;
    QVBoxLayout* m_tables; // a title, silent lines and a list per family
    struct Shown
    {
        QString title;
        QStringList silences;
        CensusTableModel* model;
    };
    std::vector<Shown> m_shown;
};
