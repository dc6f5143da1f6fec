// dhclient's lease files: text blocks "lease { ... }", one appended at each
// binding and renewal, with options under their dhclient names.
#pragma once

#include "core/model/lease.h"
#include "core/options/wire_type.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// An option declared in dhclient.conf, "option NAME code N = TYPE;": dhclient
// writes it in its lease under that name, as the type says.
struct DhclientDeclaration
{
    std::string m_strName;
    std::uint8_t m_nCode = 0;
    std::optional<WireType> m_type; // none for a type this program cannot read back
};

// A dhclient.conf holds a few dozen declarations at most.
inline constexpr std::size_t kMaxDhclientDeclarations = 256;

// The declarations of DHCPv4 options in a dhclient.conf (names in an option
// space, "space.name", are left out), at most kMaxDhclientDeclarations.
// Codes 1 to 254; a later declaration of a name replaces an earlier one.
std::vector<DhclientDeclaration> ParseDhclientDeclarations(std::string_view text);

// Reads the LAST complete "lease { }" block whose "interface" statement names
// the interface: 0, or ENOENT when there is none. A block without an interface
// statement belongs to no interface (dhclient always writes one), and a block
// cut off before its closing brace is a write in progress and is ignored.
// "fixed-address" gives the leased address, "option NAME VALUE;" the options
// by the declared names, else by EncodeOptionText's, "expire" (a UTC date,
// "epoch N" or "never") the expiry; comments, other statements and nested
// blocks are skipped. An option line that gives no bytes (a name not known, a
// value that does not parse) is kept in m_Unmapped, with its code where the
// name has one. The last line of a name wins, whether it gives bytes or not.
int ParseDhclientLeases(std::string_view text, std::string_view interfaceName, Lease& lease,
                        const std::vector<DhclientDeclaration>& declared = {});
