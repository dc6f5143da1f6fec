// CFakeDhcpServer: a scripted DHCP server on port 67 of a network namespace,
// on its own thread. It answers each request with what its script returns,
// sent to the request's source address and port, or broadcast on the
// server's interface of a CNetnsPair (what a client without an address needs).
#pragma once

#include "core/wire/bootp_message.h"
#include "core/wire/dhcp_discovery.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <future>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

struct FakeAnswer
{
    std::vector<std::uint8_t> m_Bytes;
    bool m_bFromOtherPort = false; // sent from port 6767 instead of 67
    bool m_bBroadcast = false; // to 255.255.255.255 port 68, out of CNetnsPair::kServerInterface
    // Broadcast as an Ethernet frame of its own from this source, as a second
    // host on the link would send it (a rogue), bypassing the server's UDP.
    std::optional<OfferPath> m_forgedSource = std::nullopt;
};

struct FakeRequest
{
    std::vector<std::uint8_t> m_Bytes;
    std::uint32_t m_nSourceAddress = 0; // host byte order
    std::uint16_t m_nSourcePort = 0;
};

class CFakeDhcpServer
{
public:
    // Called with each request and its number, counted from 1.
    using Script = std::function<std::vector<FakeAnswer>(const BootpMessage&, int)>;

    // Returns once the server listens, or has failed to (see Listening()).
    CFakeDhcpServer(const std::string& strNamespace, Script script);
    ~CFakeDhcpServer();
    CFakeDhcpServer(const CFakeDhcpServer&) = delete;
    CFakeDhcpServer& operator=(const CFakeDhcpServer&) = delete;

    bool Listening() const { return m_bListening; }
    std::vector<FakeRequest> Requests() const;
    // The requests once there are at least nCount of them, or all there are
    // when the limit passes first: the wait for a sender's last datagram.
    std::vector<FakeRequest> WaitForRequests(std::size_t nCount,
                                             std::chrono::milliseconds limit) const;

private:
    void Serve(const std::string& strNamespace, std::promise<bool>* pListening);

    Script m_script;
    std::atomic<bool> m_bStop{false};
    bool m_bListening = false;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_received;
    std::vector<FakeRequest> m_requests;
    std::thread m_thread;
};

// A reply of the given type (option 53) to the request, from 10.77.0.1 (54)
// unless the options name another server, with the given options besides.
std::vector<std::uint8_t> FakeReply(const BootpMessage& request, std::uint8_t nType,
                                    const OptionMap& options);
