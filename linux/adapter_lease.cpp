#include "linux/adapter_lease.h"

#include "core/model/adapter_choice.h"

#include <cerrno>

int ReadAdapterLease(const std::optional<LeaseInterface>& iface, CLeaseSource& leases, Lease& lease)
{
    lease = Lease();
    if (!iface)
        return ENODEV;
    const int result = leases.Read(*iface, lease);
    // To the user, "no source has a lease" is no data rather than no file.
    return result == ENOENT ? ENODATA : result;
}

int InformAnswer(const Lease& lease)
{
    const auto answer = lease.m_mapAnswers.find("inform");
    return answer != lease.m_mapAnswers.end() ? answer->second : 0;
}

std::string LeaseNotesText(const Lease& lease)
{
    std::string text;
    if (!lease.m_CutOptions.empty())
    {
        std::string codes;
        for (const std::uint8_t code : lease.m_CutOptions)
            codes += (codes.empty() ? "" : ", ") + std::to_string(code);
        text += "veyra: option" + std::string(lease.m_CutOptions.size() > 1 ? "s " : " ") + codes +
                " may be cut short: dhcpcd's socket passes a text on only up to its first "
                "NUL or byte above 0x7F\n";
    }
    if (lease.m_Unmapped.size() == 1)
        text += "veyra: 1 option line of the lease gave no bytes; --all shows it as written\n";
    else if (!lease.m_Unmapped.empty())
        text += "veyra: " + std::to_string(lease.m_Unmapped.size()) +
                " option lines of the lease gave no bytes; --all shows them as written\n";
    return text;
}

std::string AdapterNamed(const AdapterList& adapters, const std::string& argument)
{
    for (const AdapterInfo& adapter : adapters)
    {
        if (adapter.m_strAdapterName == argument)
            return argument;
    }
    return AdapterNameFor(adapters, argument);
}
