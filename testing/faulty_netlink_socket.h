// An rtnetlink socket that answers the snapshot's dump requests on a script:
// each step is the fault in one request's answer, in the order the requests
// are sent over all rounds; requests past the script get a clean answer. A
// clean answer to the links dump is the loopback link alone; the address and
// route dumps are empty.
#pragma once

#include "linux/netlink_snapshot.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>
#include <utility>
#include <vector>

#include <linux/if_arp.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>

enum class NetlinkFault
{
    None,
    Interrupted,      // the kernel marks the dump disturbed by a change
    Flood,            // datagrams without end, never the dump's close
    Truncated,        // the answer is larger than the reader's buffer
    ForeignTruncated, // a cut datagram from another process, then the answer
    ForeignError,     // a refusal forged by another process, then the answer
    Silence,          // nothing comes
};

class CFaultyNetlinkSocket final : public CNetlinkSocket
{
public:
    explicit CFaultyNetlinkSocket(std::vector<NetlinkFault> script) : m_script(std::move(script)) {}

    int Open() override
    {
        ++m_nRounds;
        m_pending.clear();
        m_bFlooding = false;
        m_nFlooded = 0;
        return 0;
    }

    int Send(const void* pRequest, std::size_t nSize) override
    {
        nlmsghdr request{};
        if (nSize < sizeof request)
            return EINVAL;
        std::memcpy(&request, pRequest, sizeof request);
        const NetlinkFault fault =
            m_nRequests < m_script.size() ? m_script[m_nRequests] : NetlinkFault::None;
        ++m_nRequests;
        const std::uint32_t nSeq = request.nlmsg_seq;
        const bool bLinks = request.nlmsg_type == RTM_GETLINK;
        switch (fault)
        {
        case NetlinkFault::None:
            m_pending.push_back({Answer(bLinks, nSeq, 0)});
            break;
        case NetlinkFault::Interrupted:
            m_pending.push_back({Answer(bLinks, nSeq, NLM_F_DUMP_INTR)});
            break;
        case NetlinkFault::Flood:
            m_bFlooding = true;
            m_nFloodSeq = nSeq;
            break;
        case NetlinkFault::Truncated:
            m_pending.push_back({Answer(bLinks, nSeq, 0), 0, true});
            break;
        case NetlinkFault::ForeignTruncated:
            m_pending.push_back({Answer(bLinks, nSeq, 0), kForeignPort, true});
            m_pending.push_back({Answer(bLinks, nSeq, 0)});
            break;
        case NetlinkFault::ForeignError:
            m_pending.push_back({Message(NLMSG_ERROR, nSeq, 0, Raw(-EPERM)), kForeignPort});
            m_pending.push_back({Answer(bLinks, nSeq, 0)});
            break;
        case NetlinkFault::Silence:
            break;
        }
        return 0;
    }

    int Receive(std::uint8_t* pBuffer, std::size_t nCapacity, NetlinkDatagram& datagram) override
    {
        Datagram next;
        if (m_bFlooding)
        {
            // Ends past the snapshot's bound, so a reader without one is seen
            // finishing instead of hanging the test.
            const bool bLast = ++m_nFlooded > CNetlinkSnapshot::kMaxDatagramsPerDump;
            next.m_Bytes = bLast ? Done(m_nFloodSeq, 0) : Loopback(m_nFloodSeq, 0);
            m_bFlooding = !bLast;
        }
        else if (m_pending.empty())
            return ETIMEDOUT;
        else
        {
            next = std::move(m_pending.front());
            m_pending.pop_front();
        }
        const std::size_t nCopied =
            next.m_Bytes.size() < nCapacity ? next.m_Bytes.size() : nCapacity;
        std::memcpy(pBuffer, next.m_Bytes.data(), nCopied);
        datagram.m_nLength = nCopied;
        datagram.m_nSender = next.m_nSender;
        datagram.m_bTruncated = next.m_bTruncated;
        return 0;
    }

    int Rounds() const { return m_nRounds; }

    static constexpr std::uint32_t kForeignPort = 4242;

private:
    using Bytes = std::vector<std::uint8_t>;

    struct Datagram
    {
        Bytes m_Bytes;
        std::uint32_t m_nSender = 0; // the kernel
        bool m_bTruncated = false;
    };

    template <typename T> static Bytes Raw(const T& value)
    {
        Bytes bytes(sizeof value);
        std::memcpy(bytes.data(), &value, sizeof value);
        return bytes;
    }

    static Bytes Message(std::uint16_t nType, std::uint32_t nSeq, std::uint16_t nFlags,
                         const Bytes& body)
    {
        nlmsghdr header{};
        header.nlmsg_len = static_cast<std::uint32_t>(sizeof header + body.size());
        header.nlmsg_type = nType;
        header.nlmsg_flags = static_cast<std::uint16_t>(NLM_F_MULTI | nFlags);
        header.nlmsg_seq = nSeq;
        Bytes bytes = Raw(header);
        bytes.insert(bytes.end(), body.begin(), body.end());
        bytes.resize(NLMSG_ALIGN(bytes.size()));
        return bytes;
    }

    static Bytes Done(std::uint32_t nSeq, std::uint16_t nFlags)
    {
        return Message(NLMSG_DONE, nSeq, nFlags, Raw(0));
    }

    static Bytes Loopback(std::uint32_t nSeq, std::uint16_t nFlags)
    {
        ifinfomsg info{};
        info.ifi_index = 1;
        info.ifi_type = ARPHRD_LOOPBACK;
        static const char kName[] = "lo";
        rtattr name{};
        name.rta_len = static_cast<unsigned short>(sizeof name + sizeof kName);
        name.rta_type = IFLA_IFNAME;
        Bytes body = Raw(info);
        const Bytes attribute = Raw(name);
        body.insert(body.end(), attribute.begin(), attribute.end());
        body.insert(body.end(), kName, kName + sizeof kName);
        return Message(RTM_NEWLINK, nSeq, nFlags, body);
    }

    // One datagram: the loopback link for the links dump, then the close.
    static Bytes Answer(bool bLinks, std::uint32_t nSeq, std::uint16_t nFlags)
    {
        Bytes bytes = bLinks ? Loopback(nSeq, nFlags) : Bytes();
        const Bytes done = Done(nSeq, nFlags);
        bytes.insert(bytes.end(), done.begin(), done.end());
        return bytes;
    }

    std::vector<NetlinkFault> m_script;
    std::size_t m_nRequests = 0;
    int m_nRounds = 0;
    std::deque<Datagram> m_pending;
    bool m_bFlooding = false;
    std::uint32_t m_nFloodSeq = 0;
    std::size_t m_nFlooded = 0;
};
