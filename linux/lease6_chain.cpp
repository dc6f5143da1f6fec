#include "linux/lease6_chain.h"

#include <cerrno>

int Lease6Chain::Read(const LeaseInterface& iface, Lease6& lease)
{
    lease = Lease6();
    bool found = false;
    int failure = 0;
    for (const std::unique_ptr<Lease6Source>& source : m_sources)
    {
        Lease6 candidate;
        const int result = source->Read(iface, candidate);
        lease.answers[source->Name()] = result;
        if (result == 0 && !found)
        {
            lease.options = std::move(candidate.options);
            lease.unmapped = std::move(candidate.unmapped);
            lease.cutOptions = std::move(candidate.cutOptions);
            lease.obtained = candidate.obtained;
            lease.source = source->Name();
            found = true;
        }
        else if (result != 0 && result != ENOENT && failure == 0)
        {
            failure = result;
        }
    }
    if (found)
        return 0;
    return failure != 0 ? failure : ENOENT;
}
