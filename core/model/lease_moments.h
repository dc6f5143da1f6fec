// When the client of a lease renews it, rebinds it and loses it (RFC 2131,
// 4.4.5), as moments in calendar time.
#pragma once

#include "core/model/lease.h"

#include <cstdint>
#include <optional>

struct LeaseMoments
{
    // Seconds since 1970-01-01 00:00:00 UTC; each is empty where the lease
    // does not say, and every one but m_tObtained is empty for a lease
    // without end.
    std::optional<std::int64_t> m_tObtained;
    std::optional<std::int64_t> m_tRenewal;   // T1: option 58, else half the lease time
    std::optional<std::int64_t> m_tRebinding; // T2: option 59, else 7/8 of the lease time
    std::optional<std::int64_t> m_tExpiry;    // option 51
};

// The moment nSeconds after tStart, or the last moment 64-bit time holds
// where that is later: a lease file's time is whatever its owner set.
std::int64_t MomentAfter(std::int64_t tStart, std::uint32_t nSeconds);

// The moments of a lease that knows when it was obtained; none otherwise. A
// time option of other than four bytes counts as absent, and a moment past
// the end of 64-bit time as unknown.
LeaseMoments LeaseMomentsOf(const Lease& lease);
