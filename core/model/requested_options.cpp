#include "core/model/requested_options.h"

#include "core/options/option_decoder.h"

DhcpOptionList DecodeRequestedOptions(const OptionMap& options)
{
    DhcpOptionList decoded;
    for (const std::uint8_t code : kRequestedOptions)
    {
        const auto found = options.find(code);
        if (found == options.end() || found->second.empty())
            continue;
        DhcpOption option;
        DecodeOption(code, found->second.data(), found->second.size(), option);
        decoded.push_back(option);
    }
    return decoded;
}
