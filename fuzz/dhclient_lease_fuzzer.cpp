// Reads arbitrary bytes as a dhclient lease file, for the interface the seeds
// name, with the option names the same bytes declare as a dhclient.conf.
#include "core/wire/dhclient_lease.h"
#include "core/wire/option_text.h"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pInput, std::size_t nSize)
{
    const std::string_view text(reinterpret_cast<const char*>(pInput), nSize);
    const std::vector<DhclientDeclaration> declared = ParseDhclientDeclarations(text);
    if (declared.size() > kMaxDhclientDeclarations)
        std::abort();
    for (const DhclientDeclaration& declaration : declared)
        if (declaration.m_nCode == 0 || declaration.m_nCode == 255 ||
            declaration.m_strName.find('.') != std::string::npos)
            std::abort();
    Lease lease;
    const int nResult = ParseDhclientLeases(text, "vcli", lease, declared);

    if (nResult != 0 && nResult != ENOENT)
        std::abort();
    // Nothing is kept from a text without a lease for the interface.
    if (nResult == ENOENT &&
        (lease.m_nYourAddress || !lease.m_mapOptions.empty() || !lease.m_Unmapped.empty()))
        std::abort();
    for (const auto& [nCode, bytes] : lease.m_mapOptions)
        if (nCode == 0 || nCode == 255 || bytes.empty() || bytes.size() > kMaxOptionBytes)
            std::abort();
    if (lease.m_tExpires && (*lease.m_tExpires < 0 || *lease.m_tExpires > kLatestLeaseTime))
        std::abort();
    return 0;
}
