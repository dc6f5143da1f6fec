#include "core/model/requested_options.h"

#include "core/options/option_decoder.h"

DhcpOptionList DecodeRequestedOptions(const OptionMap& options)
{
    DhcpOptionList decoded;
    for (const std::uint32_t nCode : kRequestedOptions)
    {
        const auto found = options.find(static_cast<std::uint8_t>(nCode));
        if (found == options.end() || found->second.empty())
            continue;
        DhcpOption option;
        DecodeOption(nCode, found->second.data(), found->second.size(), option);
        decoded.push_back(option);
    }
    return decoded;
}
