#include "testing/fake_dhcpcd_control.h"

#include "platform/file_descriptor.h"

#include <algorithm>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace
{
constexpr int kPollMs = 20;
// dhcpcd's client sends four arguments: "dhcpcd", "-U", "-4" and the name.
constexpr std::size_t kRequestArguments = 4;
constexpr std::size_t kMaxRequestBytes = 512;

// Anyone may connect, as to dhcpcd's unprivileged socket.
CFileDescriptor ListeningSocket(const std::string& strPath)
{
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (strPath.size() >= sizeof address.sun_path)
        return CFileDescriptor();
    std::memcpy(address.sun_path, strPath.c_str(), strPath.size() + 1);
    CFileDescriptor listener(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!listener.IsOpen() ||
        bind(listener.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        chmod(strPath.c_str(), 0666) != 0 || listen(listener.Get(), 4) != 0)
        listener.Reset();
    return listener;
}
} // namespace

CFakeDhcpcdControl::CFakeDhcpcdControl(std::string strPath, FakeDhcpcdAnswer answer)
    : m_strPath(std::move(strPath)), m_answer(std::move(answer))
{
    std::promise<bool> listening;
    std::future<bool> ready = listening.get_future();
    m_thread = std::thread(&CFakeDhcpcdControl::Serve, this, &listening);
    m_bListening = ready.get();
}

CFakeDhcpcdControl::~CFakeDhcpcdControl()
{
    m_bStop = true;
    m_thread.join();
    unlink(m_strPath.c_str());
}

std::vector<std::string> CFakeDhcpcdControl::Requests() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

void CFakeDhcpcdControl::Serve(std::promise<bool>* pListening)
{
    const CFileDescriptor listener = ListeningSocket(m_strPath);
    pListening->set_value(listener.IsOpen());
    if (!listener.IsOpen())
        return;

    while (!m_bStop)
    {
        pollfd ready{listener.Get(), POLLIN, 0};
        if (poll(&ready, 1, kPollMs) <= 0)
            continue;
        CFileDescriptor client(accept4(listener.Get(), nullptr, nullptr, SOCK_CLOEXEC));
        if (!client.IsOpen())
            continue;

        // The request: until its arguments are all there or the client stops.
        std::string strRequest;
        char buffer[kMaxRequestBytes];
        bool bOpen = true;
        while (!m_bStop && bOpen && strRequest.size() < kMaxRequestBytes &&
               static_cast<std::size_t>(std::count(strRequest.begin(), strRequest.end(), '\0')) <
                   kRequestArguments)
        {
            pollfd readable{client.Get(), POLLIN, 0};
            if (poll(&readable, 1, kPollMs) <= 0)
                continue;
            const ssize_t nRead = recv(client.Get(), buffer, sizeof buffer, 0);
            bOpen = nRead > 0;
            if (bOpen)
                strRequest.append(buffer, static_cast<std::size_t>(nRead));
        }
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_requests.push_back(strRequest);
        }
        if (bOpen && m_answer.m_bAnswer)
            send(client.Get(), m_answer.m_strBytes.data(), m_answer.m_strBytes.size(),
                 MSG_NOSIGNAL);
        if (m_answer.m_bHangUp)
            continue;
        // Held open until the client closes it, as dhcpcd does.
        while (!m_bStop && bOpen)
        {
            pollfd readable{client.Get(), POLLIN, 0};
            if (poll(&readable, 1, kPollMs) > 0)
                bOpen = recv(client.Get(), buffer, sizeof buffer, 0) > 0;
        }
    }
}

std::string DhcpcdSize(std::size_t nValue)
{
    return std::string(reinterpret_cast<const char*>(&nValue), sizeof nValue);
}

std::string DhcpcdReply(const std::vector<std::string>& states)
{
    std::string strReply = DhcpcdSize(states.size());
    for (const std::string& strState : states)
        strReply += DhcpcdSize(strState.size()) + strState;
    return strReply;
}

std::string DhcpcdState(std::initializer_list<const char*> variables)
{
    std::string strState;
    for (const char* pszVariable : variables)
    {
        strState += pszVariable;
        strState += '\0';
    }
    return strState;
}
