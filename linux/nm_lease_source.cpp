#include "linux/nm_lease_source.h"

#include "core/wire/nm_options.h"
#include "linux/nm_dbus_options.h"

#include <cerrno>
#include <map>
#include <string>

namespace
{
class CNetworkManagerLeaseSource final : public CLeaseSource
{
public:
    const char* Name() const override { return "NetworkManager"; }

    int Read(const LeaseInterface& iface, Lease& lease) override
    {
        std::map<std::string, std::string> options;
        const int nResult = FetchNetworkManagerOptions(iface.m_strName, options);
        if (nResult != 0)
            return nResult;
        return LeaseFromNetworkManager(options, lease) ? 0 : ENOENT;
    }
};
} // namespace

std::unique_ptr<CLeaseSource> MakeNetworkManagerLeaseSource()
{
    return std::make_unique<CNetworkManagerLeaseSource>();
}
