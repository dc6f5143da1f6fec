#include "linux/networkd_lease6_source.h"

#include <cerrno>

namespace
{
class NetworkdLease6Source final : public Lease6Source
{
public:
    const char* Name() const override { return "networkd"; }
    int Read(const LeaseInterface&, Lease6&) override { return ENOENT; }
};
} // namespace

std::unique_ptr<Lease6Source> MakeNetworkdLease6Source(const LinuxPaths&)
{
    return std::make_unique<NetworkdLease6Source>();
}
