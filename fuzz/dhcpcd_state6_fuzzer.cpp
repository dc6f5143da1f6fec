// Reads arbitrary bytes as a reply of dhcpcd's control socket to "-6": its
// framing, then each state block as a DHCPv6 lease.
#include "core/wire/dhcpv6_message.h"
#include "linux/dhcpcd_control_socket.h"
#include "linux/dhcpcd_state6.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size)
{
    const std::string_view reply(reinterpret_cast<const char*>(input), size);
    std::vector<std::string_view> states;
    std::size_t needed = 0;
    SplitDhcpcdReply(reply, states, needed);
    for (const std::string_view state : states)
    {
        Lease6 lease;
        const int result = Lease6FromDhcpcdState(state, "vcli", lease);
        if (result != 0 && result != ENOENT && result != EBADMSG)
            std::abort();
        if (result != 0 && (!lease.options.empty() || !lease.unmapped.empty()))
            std::abort();
        for (const Dhcpv6Option& option : lease.options)
        {
            if (option.data.size() > kMaxDhcpv6OptionData)
                std::abort();
            const std::size_t head = option.code == 4 ? 4 : 12;
            Dhcpv6Options inside;
            if ((option.code == 3 || option.code == 4 || option.code == 25) &&
                (option.data.size() < head ||
                 !ReadDhcpv6Options(option.data.data() + head, option.data.size() - head, inside)))
                std::abort();
        }
        // Only a text may be cut, and only one the lease holds.
        for (const std::uint16_t cut : lease.cutOptions)
            if (std::none_of(lease.options.begin(), lease.options.end(),
                             [cut](const Dhcpv6Option& option) { return option.code == cut; }))
                std::abort();
    }
    return 0;
}
