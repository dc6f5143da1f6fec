// veyra-test-vlan-switch: an 802.1Q switch in user space for tests on a
// kernel without VLAN devices. One trunk port and access ports, each in one
// VLAN: a frame the trunk receives with a tag (which the kernel took off into
// PACKET_AUXDATA) goes untagged to the access ports of its VLAN; a frame an
// access port receives goes to the other access ports of its VLAN and, with
// the tag written into it, to the trunk. VLAN 0 is the trunk's untagged
// (native) traffic, priority-tagged frames included. One socket bound to
// every interface receives them all, told apart by ifindex, so that a
// thousand ports cost one socket. Frames whose checksum the sender left to
// the device are completed before they go on, as a device would. With
// --delay every frame waits MS milliseconds before it goes on, in order: a
// slow link or server on a kernel without netem.
//
//   veyra-test-vlan-switch [--delay MS] [--priority VLAN=PCP]... [--ports FILE] TRUNK
//                          [VLAN=PORT]...
//
// FILE holds "VLAN PORT" lines. Prints "ready" once it receives; on SIGTERM
// or SIGINT it prints what it forwarded and what the kernel dropped.
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <endian.h>
#include <fstream>
#include <linux/if_packet.h>
#include <map>
#include <net/ethernet.h>
#include <net/if.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace
{

constexpr std::size_t kMaxFrame = 65536;
constexpr std::size_t kMacHeader = 12; // destination and source
constexpr std::size_t kTagSize = 4;

// What PACKET_VNET_HDR puts before each frame: struct virtio_net_hdr, whose
// header does not compile as C++ (a member is named "class").
struct VnetHeader
{
    std::uint8_t flags;
    std::uint8_t gsoType;
    std::uint16_t headerLength;
    std::uint16_t gsoSize;
    std::uint16_t checksumStart; // little-endian, as are the others
    std::uint16_t checksumOffset;
};
constexpr std::uint8_t kNeedsChecksum = 1; // VIRTIO_NET_HDR_F_NEEDS_CSUM

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int)
{
    stopRequested = 1;
}

struct Switch
{
    int trunk = 0;
    std::map<int, std::uint16_t> vlanOfPort;               // access ifindex -> VLAN
    std::multimap<std::uint16_t, int> portsOfVlan;         // VLAN -> access ifindexes
    std::map<std::uint16_t, std::uint16_t> priorityOfVlan; // VLAN -> PCP in sent tags
    std::chrono::milliseconds delay{0};
};

[[noreturn]] void Fail(const std::string& what)
{
    std::fprintf(stderr, "veyra-test-vlan-switch: %s\n", what.c_str());
    std::exit(2);
}

int Ifindex(const std::string& name)
{
    const unsigned index = if_nametoindex(name.c_str());
    if (index == 0)
        Fail(name + ": " + std::strerror(errno));
    return static_cast<int>(index);
}

std::uint16_t Number(const std::string& text, unsigned long max)
{
    char* end = nullptr;
    errno = 0;
    const unsigned long value = std::strtoul(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || value > max)
        Fail("not a number up to " + std::to_string(max) + ": " + text);
    return static_cast<std::uint16_t>(value);
}

void AddPort(Switch& sw, const std::string& vlanText, const std::string& name)
{
    const std::uint16_t vlan = Number(vlanText, 4094);
    const int ifindex = Ifindex(name);
    if (ifindex == sw.trunk || !sw.vlanOfPort.emplace(ifindex, vlan).second)
        Fail("bad or repeated port " + vlanText + "=" + name);
    sw.portsOfVlan.emplace(vlan, ifindex);
}

// "KEY=VALUE" split at the first '='.
std::pair<std::string, std::string> Pair(const std::string& text)
{
    const auto at = text.find('=');
    if (at == std::string::npos)
        Fail("expected VLAN=VALUE: " + text);
    return {text.substr(0, at), text.substr(at + 1)};
}

Switch ParseArguments(int argc, char** argv)
{
    Switch sw;
    std::vector<std::string> rest;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i)
    {
        const std::string argument = argv[i];
        if ((argument == "--priority" || argument == "--ports" || argument == "--delay") &&
            i + 1 < argc)
        {
            const std::string value = argv[++i];
            if (argument == "--ports")
            {
                files.push_back(value);
                continue;
            }
            if (argument == "--delay")
            {
                sw.delay = std::chrono::milliseconds(Number(value, 60000));
                continue;
            }
            const auto [vlan, pcp] = Pair(value);
            sw.priorityOfVlan[Number(vlan, 4094)] = Number(pcp, 7);
        }
        else
            rest.push_back(argument);
    }
    if (rest.empty())
        Fail("usage: veyra-test-vlan-switch [--delay MS] [--priority VLAN=PCP]... [--ports FILE] "
             "TRUNK [VLAN=PORT]...");
    sw.trunk = Ifindex(rest.front());
    for (std::size_t i = 1; i < rest.size(); ++i)
    {
        const auto [vlan, name] = Pair(rest[i]);
        AddPort(sw, vlan, name);
    }
    for (const std::string& file : files)
    {
        std::ifstream in(file);
        if (!in)
            Fail(file + ": " + std::strerror(errno));
        std::string vlan, name;
        while (in >> vlan >> name)
            AddPort(sw, vlan, name);
    }
    return sw;
}

// What a device does for CHECKSUM_PARTIAL: the one's complement sum from
// csum_start to the end (the field holds the pseudo-header's sum) goes into
// the field at csum_start + csum_offset; 0 is sent as 0xffff.
bool CompleteChecksum(const VnetHeader& vnet, std::uint8_t* frame, std::size_t size)
{
    if (!(vnet.flags & kNeedsChecksum))
        return true;
    const std::size_t start = le16toh(vnet.checksumStart);
    const std::size_t field = start + le16toh(vnet.checksumOffset);
    if (field + 2 > size)
        return false;
    std::uint32_t sum = 0;
    for (std::size_t i = start; i < size; i += 2)
        sum += static_cast<std::uint32_t>(frame[i] << 8) | (i + 1 < size ? frame[i + 1] : 0);
    while (sum >> 16)
        sum = (sum & 0xffff) + (sum >> 16);
    std::uint16_t checksum = static_cast<std::uint16_t>(~sum);
    if (checksum == 0)
        checksum = 0xffff;
    frame[field] = static_cast<std::uint8_t>(checksum >> 8);
    frame[field + 1] = static_cast<std::uint8_t>(checksum);
    return true;
}

int OpenSocket(bool receive)
{
    const int fd = socket(AF_PACKET, SOCK_RAW, receive ? htons(ETH_P_ALL) : 0);
    if (fd < 0)
        Fail(std::string("socket: ") + std::strerror(errno));
    if (!receive)
        return fd;
    const int on = 1;
    const int buffer = 64 * 1024 * 1024;
    if (setsockopt(fd, SOL_PACKET, PACKET_AUXDATA, &on, sizeof on) != 0 ||
        setsockopt(fd, SOL_PACKET, PACKET_VNET_HDR, &on, sizeof on) != 0 ||
        setsockopt(fd, SOL_PACKET, PACKET_IGNORE_OUTGOING, &on, sizeof on) != 0 ||
        setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &buffer, sizeof buffer) != 0)
        Fail(std::string("setsockopt: ") + std::strerror(errno));
    sockaddr_ll all{};
    all.sll_family = AF_PACKET;
    all.sll_protocol = htons(ETH_P_ALL);
    if (bind(fd, reinterpret_cast<sockaddr*>(&all), sizeof all) != 0)
        Fail(std::string("bind: ") + std::strerror(errno));
    return fd;
}

// Sends frames at once, or each once it has waited the delay.
struct Output
{
    struct Held
    {
        std::chrono::steady_clock::time_point due;
        int ifindex;
        std::vector<std::uint8_t> frame;
    };
    int fd;
    std::chrono::milliseconds delay;
    std::deque<Held> held;
    unsigned long sent = 0;

    void Send(int ifindex, const std::uint8_t* frame, std::size_t size, bool due = false)
    {
        if (delay.count() != 0 && !due)
        {
            held.push_back(
                {std::chrono::steady_clock::now() + delay, ifindex, {frame, frame + size}});
            return;
        }
        sockaddr_ll to{};
        to.sll_family = AF_PACKET;
        to.sll_ifindex = ifindex;
        to.sll_halen = ETH_ALEN;
        std::memcpy(to.sll_addr, frame, ETH_ALEN);
        if (sendto(fd, frame, size, 0, reinterpret_cast<sockaddr*>(&to), sizeof to) ==
            static_cast<ssize_t>(size))
            ++sent;
    }

    // Sends the frames whose time has come; poll's wait for the next one's
    // (-1, no limit, with none held).
    int Release()
    {
        const auto now = std::chrono::steady_clock::now();
        for (; !held.empty() && held.front().due <= now; held.pop_front())
            Send(held.front().ifindex, held.front().frame.data(), held.front().frame.size(), true);
        return held.empty() ? -1
                            : static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(
                                                   held.front().due - now)
                                                   .count());
    }
};

} // namespace

int main(int argc, char** argv)
{
    const Switch sw = ParseArguments(argc, argv);
    const int in = OpenSocket(true);
    Output out{OpenSocket(false), sw.delay, {}};
    struct sigaction stop = {};
    stop.sa_handler = RequestStop; // no SA_RESTART: recvmsg returns EINTR
    sigaction(SIGTERM, &stop, nullptr);
    sigaction(SIGINT, &stop, nullptr);
    std::printf("ready %zu ports\n", sw.vlanOfPort.size());
    std::fflush(stdout);

    static std::uint8_t buffer[kTagSize + kMaxFrame];
    std::uint8_t* const frame = buffer + kTagSize; // room to write a tag in front
    VnetHeader vnet{};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(tpacket_auxdata))];
    unsigned long unswitched = 0; // from the trunk, to a VLAN without ports
    while (!stopRequested)
    {
        pollfd wait = {in, POLLIN, 0};
        if (poll(&wait, 1, out.Release()) <= 0)
            continue; // a frame's time came, or a signal
        iovec parts[2] = {{&vnet, sizeof vnet}, {frame, kMaxFrame}};
        sockaddr_ll from{};
        msghdr message{};
        message.msg_name = &from;
        message.msg_namelen = sizeof from;
        message.msg_iov = parts;
        message.msg_iovlen = 2;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        const ssize_t got = recvmsg(in, &message, 0);
        if (got < 0)
        {
            if (errno == EINTR)
                continue;
            Fail(std::string("recvmsg: ") + std::strerror(errno));
        }
        if (static_cast<std::size_t>(got) < sizeof vnet + ETH_HLEN ||
            (message.msg_flags & MSG_TRUNC) || from.sll_pkttype == PACKET_OUTGOING)
            continue;
        const std::size_t size = static_cast<std::size_t>(got) - sizeof vnet;
        if (!CompleteChecksum(vnet, frame, size))
            continue;
        const tpacket_auxdata* aux = nullptr;
        for (cmsghdr* c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c))
            if (c->cmsg_level == SOL_PACKET && c->cmsg_type == PACKET_AUXDATA)
                aux = reinterpret_cast<const tpacket_auxdata*>(CMSG_DATA(c));

        if (from.sll_ifindex == sw.trunk)
        {
            const bool tagged = aux && (aux->tp_status & TP_STATUS_VLAN_VALID);
            const auto ports = sw.portsOfVlan.equal_range(tagged ? aux->tp_vlan_tci & 0x0fff : 0);
            if (ports.first == ports.second)
                ++unswitched;
            for (auto port = ports.first; port != ports.second; ++port)
                out.Send(port->second, frame, size);
            continue;
        }
        const auto access = sw.vlanOfPort.find(from.sll_ifindex);
        if (access == sw.vlanOfPort.end())
            continue;
        const std::uint16_t vlan = access->second;
        const auto ports = sw.portsOfVlan.equal_range(vlan);
        for (auto port = ports.first; port != ports.second; ++port)
            if (port->second != from.sll_ifindex)
                out.Send(port->second, frame, size);
        if (vlan == 0)
        {
            out.Send(sw.trunk, frame, size);
            continue;
        }
        // The tag goes between the addresses and the EtherType.
        const auto priority = sw.priorityOfVlan.find(vlan);
        const std::uint16_t tci = static_cast<std::uint16_t>(
            (priority == sw.priorityOfVlan.end() ? 0 : priority->second << 13) | vlan);
        std::uint8_t* tagged = frame - kTagSize;
        std::memmove(tagged, frame, kMacHeader);
        const std::uint8_t tag[kTagSize] = {0x81, 0x00, static_cast<std::uint8_t>(tci >> 8),
                                            static_cast<std::uint8_t>(tci)};
        std::memcpy(tagged + kMacHeader, tag, kTagSize);
        out.Send(sw.trunk, tagged, size + kTagSize);
    }
    tpacket_stats stats{};
    socklen_t length = sizeof stats;
    getsockopt(in, SOL_PACKET, PACKET_STATISTICS, &stats, &length);
    std::printf("sent %lu unswitched %lu kernel-dropped %u\n", out.sent, unswitched,
                stats.tp_drops);
    return 0;
}
