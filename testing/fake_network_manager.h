// A NetworkManager of the tests' own on a private bus: the manager object with
// GetDeviceByIpIface, one device, and its DHCP4Config and DHCP6Config, served
// on a thread.
#pragma once

#include <systemd/sd-bus.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <future>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <variant>
#include <vector>

using FakeOptionValue = std::variant<std::string, std::uint32_t>;
using FakeOptions = std::vector<std::pair<std::string, FakeOptionValue>>;

// What the fake answers.
struct FakeNetworkManagerSetup
{
    std::string m_strInterface = "vcli"; // the one device it knows
    std::string m_strDhcp4Config = "/org/freedesktop/NetworkManager/DHCP4Config/5";
    bool m_bDhcp4ConfigAsText = false; // publishes the path with type "s"
    FakeOptions m_Options;
    // The device's DHCP6Config, "/" (as NetworkManager says "none") by default.
    std::string dhcp6Config = "/";
    FakeOptions dhcp6Options;
    std::string m_strError; // when set, GetDeviceByIpIface fails with it
    // How long GetDeviceByIpIface holds its answer; kNeverAnswer holds it
    // until the fake is destroyed.
    std::chrono::milliseconds m_answerDelay{0};
};

inline constexpr std::chrono::milliseconds kNeverAnswer = std::chrono::milliseconds::max();

class CFakeNetworkManager
{
public:
    CFakeNetworkManager(const std::string& strBusAddress, FakeNetworkManagerSetup setup);
    CFakeNetworkManager(const CFakeNetworkManager&) = delete;
    CFakeNetworkManager& operator=(const CFakeNetworkManager&) = delete;
    ~CFakeNetworkManager();

    // True once it owns its name on the bus.
    bool Ready() const { return m_bReady; }
    // How many bus connections have asked for a device.
    std::size_t Callers() const;

private:
    void Serve(const std::string& strBusAddress, std::promise<bool>& started);
    int Register(sd_bus* pBus);
    void AnswerHeldCall();

    static int OnGetDeviceByIpIface(sd_bus_message* pCall, void* pUser, sd_bus_error* pError);
    static int OnGetDhcp6Config(sd_bus* bus, const char* path, const char* interface,
                                const char* property, sd_bus_message* reply, void* user,
                                sd_bus_error* error);
    static int OnGetDhcp4Config(sd_bus* pBus, const char* pszPath, const char* pszInterface,
                                const char* pszProperty, sd_bus_message* pReply, void* pUser,
                                sd_bus_error* pError);
    static int OnGetOptions(sd_bus* pBus, const char* pszPath, const char* pszInterface,
                            const char* pszProperty, sd_bus_message* pReply, void* pUser,
                            sd_bus_error* pError);

    const FakeNetworkManagerSetup m_setup;
    sd_bus_message* m_pHeldCall = nullptr;
    std::chrono::steady_clock::time_point m_heldSince;
    bool m_bReady = false;
    mutable std::mutex m_mutex;
    std::set<std::string> m_Callers; // unique bus names, guarded by m_mutex
    std::atomic<bool> m_bStop{false};
    std::thread m_thread;
};
