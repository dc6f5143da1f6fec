// CFakeDhcpcdControl: a stand-in for dhcpcd's unprivileged control socket, on
// its own thread. Each client's request is read up to its last NUL-ended
// argument; then the script's answer is written, byte for byte, and the
// connection is held open (as dhcpcd does) or closed.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <future>
#include <initializer_list>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct FakeDhcpcdAnswer
{
    std::string m_strBytes;
    bool m_bAnswer = true;  // false: says nothing at all
    bool m_bHangUp = false; // closes the connection after the bytes
};

class CFakeDhcpcdControl
{
public:
    // Returns once the socket at strPath listens, or has failed to (see
    // Listening()). The socket is removed again at the end.
    CFakeDhcpcdControl(std::string strPath, FakeDhcpcdAnswer answer);
    ~CFakeDhcpcdControl();
    CFakeDhcpcdControl(const CFakeDhcpcdControl&) = delete;
    CFakeDhcpcdControl& operator=(const CFakeDhcpcdControl&) = delete;

    bool Listening() const { return m_bListening; }
    // The requests read so far, each as its bytes.
    std::vector<std::string> Requests() const;

private:
    void Serve(std::promise<bool>* pListening);

    std::string m_strPath;
    FakeDhcpcdAnswer m_answer;
    std::atomic<bool> m_bStop{false};
    bool m_bListening = false;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_requests;
    std::thread m_thread;
};

// dhcpcd's reply framing: the count of states, then each state's length and
// bytes, in size_t of the host's order.
std::string DhcpcdReply(const std::vector<std::string>& states);

// One state block: each "name=value" ended by a NUL.
std::string DhcpcdState(std::initializer_list<const char*> variables);

// A size_t as dhcpcd writes it, for replies that lie about their sizes.
std::string DhcpcdSize(std::size_t nValue);
