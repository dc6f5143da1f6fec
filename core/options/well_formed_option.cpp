#include "core/options/well_formed_option.h"

std::optional<ExtendedOption> WellFormedOption(const OptionMap& options, std::uint8_t code)
{
    const auto found = options.find(code);
    if (found == options.end())
        return std::nullopt;
    ExtendedOption option = DecodeExtendedOption(code, found->second.data(), found->second.size());
    if (option.m_bMalformed)
        return std::nullopt;
    return option;
}
