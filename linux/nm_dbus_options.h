// NetworkManager's DHCP options for one interface, read over the system bus.
#pragma once

#include <chrono>
#include <map>
#include <string>

typedef struct sd_bus sd_bus;

// The bound on each step of a talk with the bus: connecting, and each call.
// A hung bus or NetworkManager must not hang us.
inline constexpr std::chrono::milliseconds kDefaultBusTimeout = std::chrono::seconds(1);

// A connection to the system bus (DBUS_SYSTEM_BUS_ADDRESS when set), kept
// open for as many calls as a run makes.
class CSystemBus
{
public:
    explicit CSystemBus(std::chrono::milliseconds timeout = kDefaultBusTimeout) : m_timeout(timeout)
    {
    }
    CSystemBus(const CSystemBus&) = delete;
    CSystemBus& operator=(const CSystemBus&) = delete;
    ~CSystemBus();

    // Connects and waits until the bus has greeted us: 0 when it did; ENOENT
    // when there is no bus to speak to; ETIMEDOUT when it did not answer in
    // time. The connection is left closed on failure.
    int Open();

    sd_bus* Get() const { return m_pBus; }
    std::chrono::milliseconds Timeout() const { return m_timeout; }

private:
    std::chrono::milliseconds m_timeout;
    sd_bus* m_pBus = nullptr;
};

// Which of a device's DHCP configurations is read.
enum class NmDhcpFamily
{
    Ipv4, // the device's Dhcp4Config, an org.freedesktop.NetworkManager.DHCP4Config
    Ipv6, // its Dhcp6Config, an org.freedesktop.NetworkManager.DHCP6Config
};

// Asks NetworkManager over the open bus for the DHCP configuration Options
// of the family of the device with this interface name, and keeps the values that are texts, by
// NetworkManager's option names. 0 when found. ENOENT when there is nothing
// to read: NetworkManager not on the bus, no such device, or a device without
// DHCP. Otherwise EACCES when the bus refused us, ETIMEDOUT when a call was
// not answered within the bus's bound, EIO for any other failure or an answer
// out of shape. On failure the map is empty.
int FetchNetworkManagerOptions(CSystemBus& bus, const std::string& strInterface,
                               std::map<std::string, std::string>& options,
                               NmDhcpFamily family = NmDhcpFamily::Ipv4);
