// Reads arbitrary bytes as a reply of dhcpcd's control socket: its framing,
// then each state block as a lease.
#include "core/wire/option_value.h"
#include "linux/dhcpcd_control_socket.h"

#include <cerrno>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pInput, std::size_t nSize)
{
    const std::string_view reply(reinterpret_cast<const char*>(pInput), nSize);
    std::vector<std::string_view> states;
    std::size_t nNeeded = 0;
    const int nSplit = SplitDhcpcdReply(reply, states, nNeeded);
    if (nSplit == EAGAIN && nNeeded == 0)
        std::abort();
    if (nSplit != 0 && nSplit != EAGAIN && nSplit != EBADMSG)
        std::abort();

    for (const std::string_view state : states)
    {
        // Every block lies inside the reply and within its bound.
        if (state.size() > kMaxDhcpcdStateBytes || state.data() < reply.data() ||
            state.data() + state.size() > reply.data() + reply.size())
            std::abort();
        Lease lease;
        const int nResult = LeaseFromDhcpcdState(state, "vcli", lease);
        if ((nResult == 0) != lease.m_nYourAddress.has_value() ||
            (nResult != 0 && nResult != ENOENT && nResult != EBADMSG))
            std::abort();
        // Only an option marked as cut may have come without bytes.
        for (const auto& [nCode, bytes] : lease.m_mapOptions)
            if (nCode == 0 || nCode == 255 || bytes.size() > kMaxOptionBytes ||
                (bytes.empty() && lease.m_CutOptions.count(nCode) == 0))
                std::abort();
        for (const std::uint8_t nCut : lease.m_CutOptions)
            if (lease.m_mapOptions.count(nCut) == 0)
                std::abort();
    }
    return 0;
}
