#include "linux/nm_dbus_options.h"

#include <systemd/sd-bus.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>

namespace
{
constexpr const char* kService = "org.freedesktop.NetworkManager";
constexpr const char* kManagerPath = "/org/freedesktop/NetworkManager";
constexpr const char* kManagerInterface = "org.freedesktop.NetworkManager";
constexpr const char* kDeviceInterface = "org.freedesktop.NetworkManager.Device";
constexpr const char* kDhcp4ConfigInterface = "org.freedesktop.NetworkManager.DHCP4Config";
constexpr const char* kDhcp6ConfigInterface = "org.freedesktop.NetworkManager.DHCP6Config";

// NetworkManager publishes a few dozen options of a few dozen bytes each.
constexpr std::size_t kMaxOptions = 512;
constexpr std::size_t kMaxValueLength = 64 * 1024;

struct MessageUnref
{
    void operator()(sd_bus_message* pMessage) const { sd_bus_message_unref(pMessage); }
};
using MessagePtr = std::unique_ptr<sd_bus_message, MessageUnref>;

class CBusError
{
public:
    CBusError() = default;
    CBusError(const CBusError&) = delete;
    CBusError& operator=(const CBusError&) = delete;
    ~CBusError() { sd_bus_error_free(&m_error); }

    sd_bus_error* Get() { return &m_error; }

private:
    sd_bus_error m_error{};
};

// sd-bus authenticates and says Hello lazily, on the first call, with its own
// timeouts of up to a minute and a half; wait for that here, bounded.
int WaitUntilRunning(sd_bus* pBus, std::chrono::microseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;)
    {
        int nResult = sd_bus_is_ready(pBus);
        if (nResult != 0)
            return nResult < 0 ? nResult : 0;
        nResult = sd_bus_process(pBus, nullptr);
        if (nResult < 0)
            return nResult;
        if (nResult > 0)
            continue;
        const auto left = std::chrono::duration_cast<std::chrono::microseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return -ETIMEDOUT;
        nResult = sd_bus_wait(pBus, static_cast<std::uint64_t>(left.count()));
        if (nResult < 0)
            return nResult;
    }
}

// What a failed call tells the caller: the thing asked about is not there,
// the bus refused us, nobody answered in time, or something else went wrong.
int ErrnoOfFailedCall(int nResult, const sd_bus_error* pError)
{
    static const char* const kAbsent[] = {"org.freedesktop.NetworkManager.UnknownDevice",
                                          SD_BUS_ERROR_SERVICE_UNKNOWN,
                                          SD_BUS_ERROR_NAME_HAS_NO_OWNER,
                                          SD_BUS_ERROR_UNKNOWN_OBJECT,
                                          SD_BUS_ERROR_UNKNOWN_INTERFACE,
                                          SD_BUS_ERROR_UNKNOWN_METHOD,
                                          SD_BUS_ERROR_UNKNOWN_PROPERTY};
    for (const char* pszName : kAbsent)
    {
        if (sd_bus_error_has_name(pError, pszName))
            return ENOENT;
    }
    switch (-nResult)
    {
    case EACCES:
    case EPERM:
        return EACCES;
    case ETIMEDOUT:
        return ETIMEDOUT;
    default:
        return EIO;
    }
}

// Calls a method of NetworkManager with text arguments. Auto-start is off:
// looking must never launch a service.
int Call(const CSystemBus& bus, const char* pszPath, const char* pszInterface,
         const char* pszMember, std::initializer_list<const char*> args, MessagePtr& reply)
{
    sd_bus* pBus = bus.Get();
    reply.reset();
    sd_bus_message* pCall = nullptr;
    const int nMade =
        sd_bus_message_new_method_call(pBus, &pCall, kService, pszPath, pszInterface, pszMember);
    const MessagePtr call(pCall);
    if (nMade < 0 || sd_bus_message_set_auto_start(pCall, 0) < 0)
        return EIO;
    for (const char* pszArg : args)
    {
        // D-Bus texts are UTF-8; an interface name that is not names no device.
        if (sd_bus_message_append_basic(pCall, 's', pszArg) < 0)
            return ENOENT;
    }
    CBusError error;
    sd_bus_message* pReply = nullptr;
    const auto timeout = std::chrono::duration_cast<std::chrono::microseconds>(bus.Timeout());
    const int nResult =
        sd_bus_call(pBus, pCall, static_cast<std::uint64_t>(timeout.count()), error.Get(), &pReply);
    if (nResult < 0)
        return ErrnoOfFailedCall(nResult, error.Get());
    reply.reset(pReply);
    return 0;
}

// Reads one property and leaves the reply at its value, which must be of the
// given type.
int ReadProperty(const CSystemBus& bus, const std::string& strPath, const char* pszInterface,
                 const char* pszProperty, const char* pszType, MessagePtr& reply)
{
    const int nResult = Call(bus, strPath.c_str(), "org.freedesktop.DBus.Properties", "Get",
                             {pszInterface, pszProperty}, reply);
    if (nResult != 0)
        return nResult;
    return sd_bus_message_enter_container(reply.get(), 'v', pszType) > 0 ? 0 : EIO;
}

// Reads the object path a reply holds; "/" is NetworkManager's "none".
int ReadObjectPath(sd_bus_message* pReply, std::string& strPath)
{
    const char* pszPath = nullptr;
    if (sd_bus_message_read_basic(pReply, 'o', &pszPath) <= 0)
        return EIO;
    strPath = pszPath;
    return strPath == "/" ? ENOENT : 0;
}

// Reads an a{sv} dictionary, keeping the text values.
int ReadTextValues(sd_bus_message* pReply, std::map<std::string, std::string>& options)
{
    if (sd_bus_message_enter_container(pReply, 'a', "{sv}") <= 0)
        return EIO;
    std::size_t nEntries = 0;
    int nResult = 0;
    while ((nResult = sd_bus_message_enter_container(pReply, 'e', "sv")) > 0)
    {
        if (++nEntries > kMaxOptions)
            return EIO;
        const char* pszName = nullptr;
        const char* pszType = nullptr;
        if (sd_bus_message_read_basic(pReply, 's', &pszName) <= 0 ||
            sd_bus_message_peek_type(pReply, nullptr, &pszType) <= 0)
            return EIO;
        if (std::strcmp(pszType, "s") == 0)
        {
            const char* pszValue = nullptr;
            if (sd_bus_message_read(pReply, "v", "s", &pszValue) <= 0)
                return EIO;
            if (std::strlen(pszValue) <= kMaxValueLength)
                options.emplace(pszName, pszValue);
        }
        else if (sd_bus_message_skip(pReply, "v") < 0)
        {
            return EIO;
        }
        if (sd_bus_message_exit_container(pReply) < 0)
            return EIO;
    }
    return nResult < 0 ? EIO : 0;
}

int FetchOptions(const CSystemBus& bus, const std::string& strInterface,
                 std::map<std::string, std::string>& options, NmDhcpFamily family)
{
    MessagePtr reply;
    std::string strDevice;
    int nResult = Call(bus, kManagerPath, kManagerInterface, "GetDeviceByIpIface",
                       {strInterface.c_str()}, reply);
    if (nResult != 0)
        return nResult;
    if ((nResult = ReadObjectPath(reply.get(), strDevice)) != 0)
        return nResult;

    std::string strConfig;
    const bool isIpv4 = family == NmDhcpFamily::Ipv4;
    nResult = ReadProperty(bus, strDevice, kDeviceInterface, isIpv4 ? "Dhcp4Config" : "Dhcp6Config",
                           "o", reply);
    if (nResult != 0)
        return nResult;
    if ((nResult = ReadObjectPath(reply.get(), strConfig)) != 0)
        return nResult;

    nResult = ReadProperty(bus, strConfig, isIpv4 ? kDhcp4ConfigInterface : kDhcp6ConfigInterface,
                           "Options", "a{sv}", reply);
    if (nResult != 0)
        return nResult;
    return ReadTextValues(reply.get(), options);
}
} // namespace

CSystemBus::~CSystemBus()
{
    // Closed without flushing: nothing we send needs to arrive after we stop
    // waiting, and flushing would wait on a hung bus.
    sd_bus_close_unref(m_pBus);
}

int CSystemBus::Open()
{
    m_pBus = sd_bus_close_unref(m_pBus);
    sd_bus* pOpened = nullptr;
    if (sd_bus_open_system(&pOpened) < 0)
        return ENOENT;
    const int nReady = WaitUntilRunning(pOpened, m_timeout);
    if (nReady != 0)
    {
        sd_bus_close_unref(pOpened);
        return nReady == -ETIMEDOUT ? ETIMEDOUT : ENOENT;
    }
    m_pBus = pOpened;
    return 0;
}

int FetchNetworkManagerOptions(CSystemBus& bus, const std::string& strInterface,
                               std::map<std::string, std::string>& options, NmDhcpFamily family)
{
    options.clear();
    // A name cut short at a NUL would ask about another interface; a bus
    // that is not open has nothing to read.
    if (strInterface.find('\0') != std::string::npos || bus.Get() == nullptr)
        return ENOENT;
    const int nResult = FetchOptions(bus, strInterface, options, family);
    if (nResult != 0)
        options.clear();
    return nResult;
}
