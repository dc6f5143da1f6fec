#include "linux/dhcpv6_inform.h"

#include <cerrno>

namespace
{
class Inform6Source final : public Lease6Source
{
public:
    const char* Name() const override { return "inform"; }
    int Read(const LeaseInterface&, Lease6&) override { return ENOENT; }
};
} // namespace

std::unique_ptr<Lease6Source> MakeInform6Source(const Inform6Settings&)
{
    return std::make_unique<Inform6Source>();
}
