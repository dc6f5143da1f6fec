// Reads arbitrary bytes as a networkd lease, in its KEY=value or JSON form.
#include "core/wire/networkd_lease.h"
#include "core/wire/option_value.h"

#include <cerrno>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pInput, std::size_t nSize)
{
    const std::string_view text(reinterpret_cast<const char*>(pInput), nSize);
    Lease lease;
    const int nResult = ParseNetworkdLease(text, lease);

    // Found means something was kept; no option is longer than a message holds.
    const bool bKept = lease.m_nYourAddress || !lease.m_mapOptions.empty();
    if ((nResult == 0) != bKept || (nResult != 0 && nResult != ENOENT && nResult != EBADMSG))
        std::abort();
    for (const auto& [nCode, bytes] : lease.m_mapOptions)
        if (nCode == 0 || nCode == 255 || bytes.empty() || bytes.size() > kMaxOptionBytes)
            std::abort();
    return 0;
}
