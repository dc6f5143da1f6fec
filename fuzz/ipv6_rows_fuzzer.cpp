// A DHCPv6 lease of arbitrary options through the IPv6 rows and the command's
// forms of them: identity associations whose insides are cut or lie about
// their lengths, repeated codes, any bytes. Checks that every row the
// rows form shows is one line, and that the JSON reads back.
#include "app/cli/ipv6_output.h"
#include "app/cli/json_text.h"
#include "core/wire/dhcpv6_message.h"

#include <nlohmann/json.hpp>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size)
{
    if (size == 0)
        return 0;
    Ipv6Part part;
    part.lease.source = "dhcpcd";
    ReadDhcpv6Options(input + 1, size - 1, part.lease.options);
    // The first byte: which options may be cut short, and whether the same
    // options also came as an Information-request's answer.
    if ((input[0] & 1) != 0 && !part.lease.options.empty())
        part.lease.cutOptions.insert(part.lease.options.front().code);
    if ((input[0] & 2) != 0)
    {
        part.informAsked = true;
        part.inform = part.lease;
    }
    const std::string rows = FormatIpv6Rows(part);
    std::size_t lines = 0;
    for (const char c : rows)
        lines += c == '\n' ? 1 : 0;
    if (lines != BuildIpv6Rows(part).size() + 1)
        std::abort();
    (void)nlohmann::json::parse(JsonLine(Ipv6RowsJson(part)));
    (void)nlohmann::json::parse(JsonLine(AllIpv6OptionsJson(part)));
    FormatAllIpv6Tsv(part);
    return 0;
}
