// veyra-gui's window services for tests and benchmarks: prepared adapters, a
// lease source of the caller's choice (a CFakeLeaseSource unless another is
// handed in), and a record of every effect the window asked for.
#pragma once

#include "app/qt/window_services.h"
#include "testing/fake_lease_source.h"

#include <vector>

struct ShownMessage
{
    QMessageBox::Icon m_icon;
    QString m_strText;
    QMessageBox::StandardButtons m_buttons;
};

class CFakeWindowServices final : public CWindowServices
{
public:
    int ReadAdapters(AdapterList& adapters) override
    {
        adapters = m_adapters;
        return 0;
    }
    // Each adapter's interface has its list position plus one as ifindex;
    // m_vanished names those that went away after the listing.
    std::optional<LeaseInterface> Interface(const std::string& strName) const override
    {
        for (std::size_t i = 0; i < m_adapters.size(); ++i)
        {
            if (m_adapters[i].m_strAdapterName == strName && m_strVanished != strName)
                return LeaseInterface{strName, static_cast<unsigned>(i + 1), {0x0A000002}};
        }
        return std::nullopt;
    }
    std::shared_ptr<CLeaseSource> RequestLeases(bool bInform) override
    {
        m_asks.push_back(bInform);
        return m_pLeases;
    }
    bool CanInform() const override { return m_bCanInform; }
    bool CanDiscover() const override { return m_bCanDiscover; }
    QString ProbeAdvice() const override { return m_strProbeAdvice; }
    std::function<int(DiscoveryResult&)> ServerDiscovery(const std::string& strName) override
    {
        m_discoveredOn.push_back(strName);
        return [nError = m_nDiscoveryError, found = m_discovery](DiscoveryResult& result)
        {
            result = found;
            return nError;
        };
    }

    QString AskSavePath(QWidget*) override
    {
        ++m_nSaveDialogs;
        return m_strSavePath;
    }
    void SetClipboardText(const QString& strText) override { m_clipboard.push_back(strText); }
    QMessageBox::StandardButton ShowMessage(QWidget*, QMessageBox::Icon icon,
                                            const QString& strText,
                                            QMessageBox::StandardButtons buttons) override
    {
        m_messages.push_back({icon, strText, buttons});
        return m_answer;
    }
    void OpenUrl(const QUrl& url) override { m_urls.push_back(url.toString()); }

    AdapterList m_adapters;
    std::string m_strVanished;
    std::shared_ptr<CLeaseSource> m_pLeases = std::make_shared<CFakeLeaseSource>("fake");
    bool m_bCanInform = false;
    bool m_bCanDiscover = false;
    QString m_strProbeAdvice = "Add yourself to the veyra group, then log in again.";
    DiscoveryResult m_discovery; // what every discovery finds
    int m_nDiscoveryError = 0;
    QString m_strSavePath; // what the save dialog answers; empty is Cancel
    QMessageBox::StandardButton m_answer = QMessageBox::Ok;

    std::vector<bool> m_asks; // each request's "ask the server", in order
    std::vector<std::string> m_discoveredOn;
    int m_nSaveDialogs = 0;
    std::vector<QString> m_clipboard;
    std::vector<ShownMessage> m_messages;
    std::vector<QString> m_urls;
};
