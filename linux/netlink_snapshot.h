// CNetlinkSnapshot: the kernel's view of the network interfaces, taken in one
// round of rtnetlink dumps (links, IPv4 addresses, IPv4 default routes).
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

struct NetlinkAddress
{
    std::uint32_t m_nAddress = 0; // host byte order: 10.99.0.146 is 0x0A630092
    unsigned m_nPrefixLength = 0;
};

struct NetlinkInterface
{
    unsigned m_nIndex = 0;
    std::string m_strName;
    unsigned m_nArpType = 0; // ARPHRD_*
    std::vector<std::uint8_t> m_HardwareAddress;
    std::string m_strAlias; // IFLA_IFALIAS
    std::string m_strKind;  // IFLA_INFO_KIND: "veth", "dummy", ...
    // Whether the interface sits on a device (IFLA_PARENT_DEV_NAME), which
    // sysfs shows as its device link. Kernels before 5.19 leave it unknown:
    // the absence of the name says nothing without IFLA_GRO_MAX_SIZE, which
    // every link message carries since.
    std::optional<bool> m_bParentDevice;
    std::vector<NetlinkAddress> m_Addresses; // in the kernel's order
    // Gateways of the main table's IPv4 default routes through the interface,
    // host byte order, in the kernel's order.
    std::vector<std::uint32_t> m_Gateways;
};

// By ifindex, so in ifindex order.
using NetlinkInterfaces = std::map<unsigned, NetlinkInterface>;

// One datagram as received: its length, who sent it (the kernel is port 0),
// and whether it was longer than the buffer.
struct NetlinkDatagram
{
    std::size_t m_nLength = 0;
    std::uint32_t m_nSender = 0;
    bool m_bTruncated = false;
};

// The rtnetlink socket a snapshot talks over: the kernel's, unless a test
// hands in its own.
class CNetlinkSocket
{
public:
    virtual ~CNetlinkSocket() = default;
    // A fresh socket for a round: 0 or errno.
    virtual int Open() = 0;
    // Sends one request to the kernel: 0 or errno.
    virtual int Send(const void* pRequest, std::size_t nSize) = 0;
    // Waits for one datagram: 0, ETIMEDOUT when none came in time, or the
    // errno of the failure.
    virtual int Receive(std::uint8_t* pBuffer, std::size_t nCapacity,
                        NetlinkDatagram& datagram) = 0;
};

class CNetlinkSnapshot
{
public:
    enum class Dump
    {
        Links,
        Addresses,
        Routes
    };

    // Replaces the snapshot with one taken in the calling thread's network
    // namespace: 0, or the errno of the failure with the snapshot left empty:
    // EAGAIN when every round was disturbed by a change, E2BIG for a dump of
    // more than kMaxDatagramsPerDump datagrams, EMSGSIZE for a datagram
    // larger than kReceiveBufferSize, ETIMEDOUT when the kernel fell silent.
    // Datagrams from senders other than the kernel are skipped.
    int Take();
    int Take(CNetlinkSocket& socket);

    // Adds one datagram of a dump's reply to the snapshot. Every length in it
    // is checked against the datagram; messages of other requests are
    // skipped. Sets bDone at the dump's end. Answers 0, the kernel's errno
    // for a refused request, EAGAIN when the kernel says the dump was
    // disturbed by a change, or EBADMSG for a message cut short.
    int AddReply(Dump dump, std::uint32_t nSeq, const std::uint8_t* pData, std::size_t nLength,
                 bool& bDone);

    const NetlinkInterfaces& Interfaces() const { return m_Interfaces; }

    // The buffer one datagram is received into: the kernel fits its dump
    // messages to the reader's buffer, up to this size.
    static constexpr std::size_t kReceiveBufferSize = 32 * 1024;
    // Fresh rounds when the interfaces change in the middle of one.
    static constexpr int kMaxRounds = 3;
    // No interface table needs more; a socket that never ends a dump is not
    // read without end.
    static constexpr std::size_t kMaxDatagramsPerDump = 65536;

private:
    int TakeRound(CNetlinkSocket& socket);
    void Add(Dump dump, const std::uint8_t* pBody, std::size_t nLength);
    void AddLink(const std::uint8_t* pBody, std::size_t nLength);
    void AddAddress(const std::uint8_t* pBody, std::size_t nLength);
    void AddRoute(const std::uint8_t* pBody, std::size_t nLength);

    NetlinkInterfaces m_Interfaces;
};
