// veyra-gui's window services for tests and benchmarks: prepared adapters, a
// lease source of the caller's choice (a CFakeLeaseSource unless another is
// handed in), and a record of every effect the window asked for.
#pragma once

#include "app/qt/window_services.h"
#include "testing/fake_lease_source.h"

#include <cerrno>

#include <vector>

struct ShownMessage
{
    QMessageBox::Icon icon;
    QString text;
    QMessageBox::StandardButtons buttons;
};

class FakeWindowServices final : public WindowServices
{
public:
    // An adapter on a network without IPv6: no lease, no router.
    static Ipv6Part NoIpv6()
    {
        Ipv6Part part;
        part.leaseError = ENODATA;
        return part;
    }

    int readAdapters(AdapterList& adapters) override
    {
        adapters = m_adapters;
        return 0;
    }
    // Each adapter's interface has its list position plus one as ifindex;
    // m_vanished names one that went away after the listing.
    std::optional<LeaseInterface> leaseInterface(const std::string& name) const override
    {
        for (std::size_t i = 0; i < m_adapters.size(); ++i)
        {
            if (m_adapters[i].m_strAdapterName == name && m_vanished != name)
                return LeaseInterface{name, static_cast<unsigned>(i + 1), {0x0A000002}};
        }
        return std::nullopt;
    }
    std::shared_ptr<CLeaseSource> requestLeases(bool inform) override
    {
        m_asks.push_back(inform);
        return m_leases;
    }
    std::function<Ipv6Part(const std::optional<LeaseInterface>&)> requestIpv6(bool inform) override
    {
        m_asks6.push_back(inform);
        return [part = m_ipv6](const std::optional<LeaseInterface>&) { return part; };
    }
    bool canInform() const override { return m_canInform; }
    bool canDiscover() const override { return m_canDiscover; }
    QString probeAdvice() const override { return m_probeAdvice; }
    std::function<int(CensusResult&)> serverCensus(const std::string& name,
                                                   const std::vector<std::uint16_t>& vlans) override
    {
        m_censusOn.push_back(name);
        m_censusVlans.push_back(vlans);
        return [error = m_censusError, found = m_census](CensusResult& result)
        {
            result = found;
            return error;
        };
    }

    QString askSavePath(QWidget*) override
    {
        ++m_saveDialogs;
        return m_savePath;
    }
    void setClipboardText(const QString& text) override { m_clipboard.push_back(text); }
    QMessageBox::StandardButton showMessage(QWidget*, QMessageBox::Icon icon, const QString& text,
                                            QMessageBox::StandardButtons buttons) override
    {
        m_messages.push_back({icon, text, buttons});
        return m_answer;
    }
    void openUrl(const QUrl& url) override { m_urls.push_back(url.toString()); }

    AdapterList m_adapters;
    std::string m_vanished;
    std::shared_ptr<CLeaseSource> m_leases = std::make_shared<CFakeLeaseSource>("fake");
    // Every request's IPv6 side, whether it asks or not.
    Ipv6Part m_ipv6 = NoIpv6();
    bool m_canInform = false;
    bool m_canDiscover = false;
    QString m_probeAdvice = "Add yourself to the veyra group, then log in again.";
    // What every census finds: the untagged link alone unless a test adds VLANs.
    CensusResult m_census{kCensusAll, true, {VlanCensus{}}, 0, 0};
    int m_censusError = 0;
    QString m_savePath; // what the save dialog answers; empty is Cancel
    QMessageBox::StandardButton m_answer = QMessageBox::Ok;

    std::vector<bool> m_asks; // each request's "ask the server", in order
    std::vector<bool> m_asks6;
    std::vector<std::string> m_censusOn;
    std::vector<std::vector<std::uint16_t>> m_censusVlans; // each census's, in order
    int m_saveDialogs = 0;
    std::vector<QString> m_clipboard;
    std::vector<ShownMessage> m_messages;
    std::vector<QString> m_urls;
};
