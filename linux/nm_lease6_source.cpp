#include "linux/nm_lease6_source.h"

#include "core/wire/nm_options6.h"

#include <cerrno>
#include <map>
#include <optional>
#include <string>

namespace
{
class NetworkManagerLease6Source final : public Lease6Source
{
public:
    explicit NetworkManagerLease6Source(std::chrono::milliseconds timeout) : m_bus(timeout) {}

    const char* Name() const override { return "NetworkManager"; }

    int Read(const LeaseInterface& iface, Lease6& lease) override
    {
        if (!m_opened)
            m_opened = m_bus.Open();
        if (*m_opened != 0)
            return *m_opened;
        std::map<std::string, std::string> options;
        const int result =
            FetchNetworkManagerOptions(m_bus, iface.m_strName, options, NmDhcpFamily::Ipv6);
        if (result != 0)
            return result;
        return Lease6FromNetworkManager(options, lease) ? 0 : ENOENT;
    }

private:
    CSystemBus m_bus;
    std::optional<int> m_opened; // what opening the bus gave, once tried
};
} // namespace

std::unique_ptr<Lease6Source> MakeNetworkManagerLease6Source(std::chrono::milliseconds timeout)
{
    return std::make_unique<NetworkManagerLease6Source>(timeout);
}
