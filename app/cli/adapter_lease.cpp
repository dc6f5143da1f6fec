#include "app/cli/adapter_lease.h"

#include "core/model/adapter_choice.h"

#include <cerrno>

int ReadAdapterLease(const std::optional<LeaseInterface>& iface, CLeaseSource& leases, Lease& lease)
{
    lease = Lease();
    if (!iface)
        return ENODEV;
    const int nResult = leases.Read(*iface, lease);
    // To the user, "no source has a lease" is no data rather than no file.
    return nResult == ENOENT ? ENODATA : nResult;
}

int InformAnswer(const Lease& lease)
{
    const auto answer = lease.m_mapAnswers.find("inform");
    return answer != lease.m_mapAnswers.end() ? answer->second : 0;
}

std::string LeaseNotesText(const Lease& lease)
{
    std::string strText;
    if (!lease.m_CutOptions.empty())
    {
        std::string strCodes;
        for (const std::uint8_t nCode : lease.m_CutOptions)
            strCodes += (strCodes.empty() ? "" : ", ") + std::to_string(nCode);
        strText += "veyra: option" + std::string(lease.m_CutOptions.size() > 1 ? "s " : " ") +
                   strCodes +
                   " may be cut short: dhcpcd's socket passes a text on only up to its first "
                   "NUL or byte above 0x7F\n";
    }
    if (lease.m_Unmapped.size() == 1)
        strText += "veyra: 1 option line of the lease gave no bytes; --all shows it as written\n";
    else if (!lease.m_Unmapped.empty())
        strText += "veyra: " + std::to_string(lease.m_Unmapped.size()) +
                   " option lines of the lease gave no bytes; --all shows them as written\n";
    return strText;
}

std::string AdapterNamed(const AdapterList& adapters, const std::string& strArgument)
{
    for (const AdapterInfo& adapter : adapters)
    {
        if (adapter.m_strAdapterName == strArgument)
            return strArgument;
    }
    return AdapterNameFor(adapters, strArgument);
}
