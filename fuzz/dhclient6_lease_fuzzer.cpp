// Reads arbitrary bytes as dhclient -6's lease file, for the interface the
// seeds name.
#include "core/wire/dhclient6_lease.h"
#include "core/wire/dhcpv6_message.h"
#include "core/wire/option_text.h"

#include <cerrno>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(input), size);
    Lease6 lease;
    const int result = ParseDhclient6Leases(text, "vcli", lease);
    if (result != 0 && result != ENOENT)
        std::abort();
    // Nothing is kept from a text without a lease for the interface.
    if (result == ENOENT && (!lease.options.empty() || !lease.unmapped.empty() || lease.obtained))
        std::abort();
    if (lease.obtained && (*lease.obtained < 0 || *lease.obtained > kLatestLeaseTime))
        std::abort();
    for (const Dhcpv6Option& option : lease.options)
    {
        if (option.data.size() > kMaxDhcpv6OptionData)
            std::abort();
        // An identity association holds options to its last byte, after its
        // IAID and times (an IA_TA has no times).
        const std::size_t head = option.code == 4 ? 4 : 12;
        Dhcpv6Options inside;
        if ((option.code == 3 || option.code == 4 || option.code == 25) &&
            (option.data.size() < head ||
             !ReadDhcpv6Options(option.data.data() + head, option.data.size() - head, inside)))
            std::abort();
    }
    return 0;
}
