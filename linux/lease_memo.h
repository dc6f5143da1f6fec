// CLeaseMemo: a lease source asked at most once per interface in a run. The
// listing and the request of one run ask about the same interfaces; a source
// behind a bus must not be asked twice.
#pragma once

#include "linux/lease_chain.h"
#include "linux/lease_source.h"

#include <map>
#include <memory>
#include <vector>

class CLeaseMemo final : public CLeaseSource
{
public:
    explicit CLeaseMemo(std::unique_ptr<CLeaseSource> pSource) : m_pSource(std::move(pSource)) {}

    const char* Name() const override { return m_pSource->Name(); }

    // The source's first answer for the interface's index, failures
    // included. An interface without an index is passed straight through.
    int Read(const LeaseInterface& iface, Lease& lease) override;

private:
    struct Answer
    {
        int m_nResult;
        Lease m_lease;
    };

    std::unique_ptr<CLeaseSource> m_pSource;
    std::map<unsigned, Answer> m_mapAnswers; // by ifindex
};

// The lease sources of one run: the chain of the leases the machine's DHCP
// clients keep, each source memoized so that the listing and the request ask
// it once per interface between them, and that chain followed by a source
// that asks the network, which only a request reads.
class CRunLeaseSources
{
public:
    // kept in the order they are trusted; pAsking is read after them.
    CRunLeaseSources(std::vector<std::unique_ptr<CLeaseSource>> kept,
                     std::unique_ptr<CLeaseSource> pAsking);
    CRunLeaseSources(const CRunLeaseSources&) = delete;
    CRunLeaseSources& operator=(const CRunLeaseSources&) = delete;

    // What the machine keeps, as the adapter listing reads it.
    CLeaseSource& Kept() { return m_kept; }
    // What a request reads: the kept leases and, with bAsk, the network's answer.
    CLeaseSource& Request(bool bAsk) { return bAsk ? m_asked : m_kept; }

private:
    std::vector<std::unique_ptr<CLeaseMemo>> m_Memos;
    std::unique_ptr<CLeaseSource> m_pAsking;
    CLeaseChain m_kept;
    CLeaseChain m_asked;
};
