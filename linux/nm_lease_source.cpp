#include "linux/nm_lease_source.h"

#include "core/wire/nm_options.h"

#include <cerrno>
#include <map>
#include <optional>
#include <string>

namespace
{
class CNetworkManagerLeaseSource final : public CLeaseSource
{
public:
    explicit CNetworkManagerLeaseSource(std::chrono::milliseconds timeout) : m_bus(timeout) {}

    const char* Name() const override { return "NetworkManager"; }

    int Read(const LeaseInterface& iface, Lease& lease) override
    {
        if (!m_nOpened)
            m_nOpened = m_bus.Open();
        if (*m_nOpened != 0)
            return *m_nOpened;
        std::map<std::string, std::string> options;
        const int nResult = FetchNetworkManagerOptions(m_bus, iface.m_strName, options);
        if (nResult != 0)
            return nResult;
        return LeaseFromNetworkManager(options, lease) ? 0 : ENOENT;
    }

private:
    CSystemBus m_bus;
    std::optional<int> m_nOpened; // what opening the bus gave, once tried
};
} // namespace

std::unique_ptr<CLeaseSource> MakeNetworkManagerLeaseSource(std::chrono::milliseconds timeout)
{
    return std::make_unique<CNetworkManagerLeaseSource>(timeout);
}
