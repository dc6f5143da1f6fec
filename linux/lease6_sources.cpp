#include "linux/lease6_sources.h"

#include <cerrno>

namespace
{
class NoLease6Sources final : public Lease6Source
{
public:
    const char* Name() const override { return "none"; }
    int Read(const LeaseInterface&, Lease6&) override { return ENOENT; }
};
} // namespace

std::unique_ptr<Lease6Source> MakeLinuxLease6Sources(const LinuxPaths&, std::chrono::milliseconds)
{
    return std::make_unique<NoLease6Sources>();
}

int ReadAdapterLease6(const std::optional<LeaseInterface>& iface, Lease6Source& leases,
                      Lease6& lease)
{
    if (!iface)
        return ENODEV;
    const int error = leases.Read(*iface, lease);
    return error == ENOENT ? ENODATA : error;
}
