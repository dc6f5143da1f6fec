// Message buses of the tests' own, standing in for the system bus.
#pragma once

#include "platform/file_descriptor.h"
#include "testing/scratch_directory.h"

#include <sys/types.h>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

// Points DBUS_SYSTEM_BUS_ADDRESS at another bus for one scope.
class CSystemBusAddress
{
public:
    explicit CSystemBusAddress(const std::string& strAddress);
    CSystemBusAddress(const CSystemBusAddress&) = delete;
    CSystemBusAddress& operator=(const CSystemBusAddress&) = delete;
    ~CSystemBusAddress();

private:
    std::optional<std::string> m_strPrevious;
};

// A dbus-daemon with a policy that allows everything, listening in a scratch
// directory. It can start NetworkManager on demand, but starting it only
// leaves a mark. The daemon is stopped by its process id at the end.
class CPrivateSystemBus
{
public:
    CPrivateSystemBus() = default;
    CPrivateSystemBus(const CPrivateSystemBus&) = delete;
    CPrivateSystemBus& operator=(const CPrivateSystemBus&) = delete;
    ~CPrivateSystemBus();

    // False with the reason when the daemon could not be started;
    // bInstalled tells whether it is there at all.
    bool Start(std::string& strWhyNot, bool& bInstalled);
    const std::string& Address() const { return m_strAddress; }
    // Whether the bus started NetworkManager.
    bool Launched() const;

private:
    CScratchDirectory m_directory;
    std::string m_strAddress;
    pid_t m_nPid = -1;
};

// A socket that takes connections and never says a word. It hangs up half a
// minute after it was made, so a client without a bound of its own fails
// otherwise than by its timeout, or when it is destroyed.
class CSilentBus
{
public:
    explicit CSilentBus(const std::string& strPath);
    CSilentBus(const CSilentBus&) = delete;
    CSilentBus& operator=(const CSilentBus&) = delete;
    ~CSilentBus();

    bool Listening() const { return m_bListening; }
    std::string Address() const { return "unix:path=" + m_strPath; }

private:
    void HangUpLater();

    std::string m_strPath;
    CFileDescriptor m_socket;
    bool m_bListening = false;
    std::mutex m_mutex;
    std::condition_variable m_condition;
    bool m_bDestroyed = false;
    std::thread m_thread;
};
