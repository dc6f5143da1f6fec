// What the census's sorters share: the verdict on one packet with the count
// it adds to, and the responders kept within bounds.
#pragma once

#include "core/wire/dhcp_discovery.h"

#include <cstddef>
#include <utility>
#include <vector>

// A packet's verdict and the member of the sorter's counts it adds one to.
template <typename Counts> struct Sorted
{
    PacketVerdict verdict;
    std::size_t Counts::*count;
};

// Responders of one kind, each known by an identity (a DUID, a link-local
// address) and the path its answers took. A copy from the same path merges
// into the one kept; the same identity from another path is another
// responder, and both are flagged. Past the bounds nothing more is kept, so a
// flood of forged identities cannot grow it without end.
template <typename Responder> class ResponderList
{
public:
    using Same = bool (*)(const Responder&, const Responder&);

    struct Rules
    {
        Same sameIdentity;
        Same samePath;
        std::size_t Responder::*copies;
        unsigned conflictFlag;
    };

    ResponderList(std::size_t maxCount, std::size_t maxBytes, const Rules& rules)
        : m_maxCount(maxCount), m_maxBytes(maxBytes), m_rules(rules)
    {
    }

    // Keeps candidate, read from bytes of the packet's contents, or merges it
    // into the one it copies: PacketVerdict::Offer either way, Dropped past
    // the bounds.
    PacketVerdict Keep(Responder&& candidate, std::size_t bytes)
    {
        for (Responder& kept : m_kept)
        {
            if (m_rules.sameIdentity(kept, candidate) && m_rules.samePath(kept, candidate))
            {
                ++(kept.*m_rules.copies);
                return PacketVerdict::Offer;
            }
        }
        if (m_kept.size() >= m_maxCount || bytes > m_maxBytes - m_bytes)
            return PacketVerdict::Dropped;
        m_bytes += bytes;
        candidate.*m_rules.copies = 1;
        for (Responder& kept : m_kept)
        {
            if (m_rules.sameIdentity(kept, candidate))
            {
                kept.flags |= m_rules.conflictFlag;
                candidate.flags |= m_rules.conflictFlag;
            }
        }
        m_kept.push_back(std::move(candidate));
        return PacketVerdict::Offer;
    }

    const std::vector<Responder>& Kept() const { return m_kept; }
    std::size_t KeptBytes() const { return m_bytes; }
    std::vector<Responder> TakeKept() { return std::move(m_kept); }

private:
    std::size_t m_maxCount;
    std::size_t m_maxBytes;
    Rules m_rules;
    std::vector<Responder> m_kept;
    std::size_t m_bytes = 0;
};
