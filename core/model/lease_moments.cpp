#include "core/model/lease_moments.h"

#include "core/options/option_decoder.h"
#include "core/wire/byte_order.h"

#include <limits>

namespace
{
constexpr std::uint8_t kLeaseTimeOption = 51;
constexpr std::uint8_t kRenewalTimeOption = 58;
constexpr std::uint8_t kRebindingTimeOption = 59;

std::optional<std::uint32_t> SecondsOption(const OptionMap& options, std::uint8_t nCode)
{
    const auto option = options.find(nCode);
    if (option == options.end() || option->second.size() != 4)
        return std::nullopt;
    return ReadBe32(option->second.data());
}

std::optional<std::int64_t> After(std::int64_t tStart, std::optional<std::uint32_t> nSeconds)
{
    if (!nSeconds || *nSeconds == kInfiniteLease ||
        tStart > std::numeric_limits<std::int64_t>::max() - *nSeconds)
        return std::nullopt;
    return tStart + *nSeconds;
}
} // namespace

std::int64_t MomentAfter(std::int64_t tStart, std::uint32_t nSeconds)
{
    constexpr std::int64_t tLast = std::numeric_limits<std::int64_t>::max();
    return tStart > tLast - nSeconds ? tLast : tStart + nSeconds;
}

LeaseMoments LeaseMomentsOf(const Lease& lease)
{
    LeaseMoments moments;
    if (!lease.m_tObtained)
        return moments;
    moments.m_tObtained = lease.m_tObtained;
    const std::optional<std::uint32_t> nLease = SecondsOption(lease.m_mapOptions, kLeaseTimeOption);
    // A client never renews a lease without end, whatever T1 and T2 say.
    if (nLease == kInfiniteLease)
        return moments;
    std::optional<std::uint32_t> nRenewal = SecondsOption(lease.m_mapOptions, kRenewalTimeOption);
    std::optional<std::uint32_t> nRebinding =
        SecondsOption(lease.m_mapOptions, kRebindingTimeOption);
    if (nLease && !nRenewal)
        nRenewal = static_cast<std::uint32_t>(*nLease / 2);
    if (nLease && !nRebinding)
        nRebinding = static_cast<std::uint32_t>(std::uint64_t{*nLease} * 7 / 8);
    moments.m_tRenewal = After(*lease.m_tObtained, nRenewal);
    moments.m_tRebinding = After(*lease.m_tObtained, nRebinding);
    moments.m_tExpiry = After(*lease.m_tObtained, nLease);
    return moments;
}
