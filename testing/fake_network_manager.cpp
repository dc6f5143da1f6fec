#include "testing/fake_network_manager.h"

#include <functional>
#include <string_view>

namespace
{
const char* const kService = "org.freedesktop.NetworkManager";
const char* const kManagerPath = "/org/freedesktop/NetworkManager";
const char* const kDevicePath = "/org/freedesktop/NetworkManager/Devices/3";

int AppendVariant(sd_bus_message* pReply, const FakeOptionValue& value)
{
    if (const auto* pstrValue = std::get_if<std::string>(&value))
        return sd_bus_message_append(pReply, "v", "s", pstrValue->c_str());
    return sd_bus_message_append(pReply, "v", "u", std::get<std::uint32_t>(value));
}
} // namespace

CFakeNetworkManager::CFakeNetworkManager(const std::string& strBusAddress,
                                         FakeNetworkManagerSetup setup)
    : m_setup(std::move(setup))
{
    std::promise<bool> started;
    std::future<bool> bStarted = started.get_future();
    m_thread = std::thread(&CFakeNetworkManager::Serve, this, strBusAddress, std::ref(started));
    m_bReady = bStarted.get();
}

CFakeNetworkManager::~CFakeNetworkManager()
{
    m_bStop = true;
    m_thread.join();
}

void CFakeNetworkManager::Serve(const std::string& strBusAddress, std::promise<bool>& started)
{
    sd_bus* pBus = nullptr;
    const bool bServing = sd_bus_new(&pBus) >= 0 &&
                          sd_bus_set_address(pBus, strBusAddress.c_str()) >= 0 &&
                          sd_bus_set_bus_client(pBus, 1) >= 0 && sd_bus_start(pBus) >= 0 &&
                          Register(pBus) >= 0 && sd_bus_request_name(pBus, kService, 0) >= 0;
    started.set_value(bServing);
    while (bServing && !m_bStop)
    {
        const int nResult = sd_bus_process(pBus, nullptr);
        if (nResult < 0)
            break;
        if (nResult > 0)
            continue;
        AnswerHeldCall();
        sd_bus_wait(pBus, 20000);
    }
    sd_bus_message_unref(m_pHeldCall);
    sd_bus_close_unref(pBus);
}

int CFakeNetworkManager::Register(sd_bus* pBus)
{
    static const sd_bus_vtable kManager[] = {SD_BUS_VTABLE_START(0),
                                             SD_BUS_METHOD("GetDeviceByIpIface", "s", "o",
                                                           OnGetDeviceByIpIface,
                                                           SD_BUS_VTABLE_UNPRIVILEGED),
                                             SD_BUS_VTABLE_END};
    static const sd_bus_vtable kDevice[] = {
        SD_BUS_VTABLE_START(0), SD_BUS_PROPERTY("Dhcp4Config", "o", OnGetDhcp4Config, 0, 0),
        SD_BUS_PROPERTY("Dhcp6Config", "o", OnGetDhcp6Config, 0, 0), SD_BUS_VTABLE_END};
    static const sd_bus_vtable kDeviceWithTextPath[] = {
        SD_BUS_VTABLE_START(0), SD_BUS_PROPERTY("Dhcp4Config", "s", OnGetDhcp4Config, 0, 0),
        SD_BUS_PROPERTY("Dhcp6Config", "o", OnGetDhcp6Config, 0, 0), SD_BUS_VTABLE_END};
    // DHCP4Config and DHCP6Config alike.
    static const sd_bus_vtable kDhcp4Config[] = {
        SD_BUS_VTABLE_START(0), SD_BUS_PROPERTY("Options", "a{sv}", OnGetOptions, 0, 0),
        SD_BUS_VTABLE_END};

    int nResult = sd_bus_add_object_vtable(pBus, nullptr, kManagerPath, kService, kManager, this);
    if (nResult >= 0)
        nResult = sd_bus_add_object_vtable(
            pBus, nullptr, kDevicePath, "org.freedesktop.NetworkManager.Device",
            m_setup.m_bDhcp4ConfigAsText ? kDeviceWithTextPath : kDevice, this);
    if (nResult >= 0 && m_setup.m_strDhcp4Config != "/")
        nResult = sd_bus_add_object_vtable(pBus, nullptr, m_setup.m_strDhcp4Config.c_str(),
                                           "org.freedesktop.NetworkManager.DHCP4Config",
                                           kDhcp4Config, this);
    if (nResult >= 0 && m_setup.dhcp6Config != "/")
        nResult = sd_bus_add_object_vtable(pBus, nullptr, m_setup.dhcp6Config.c_str(),
                                           "org.freedesktop.NetworkManager.DHCP6Config",
                                           kDhcp4Config, this);
    return nResult;
}

std::size_t CFakeNetworkManager::Callers() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_Callers.size();
}

void CFakeNetworkManager::AnswerHeldCall()
{
    if (m_pHeldCall == nullptr || m_setup.m_answerDelay == kNeverAnswer ||
        std::chrono::steady_clock::now() - m_heldSince < m_setup.m_answerDelay)
        return;
    sd_bus_reply_method_return(m_pHeldCall, "o", kDevicePath);
    m_pHeldCall = sd_bus_message_unref(m_pHeldCall);
}

int CFakeNetworkManager::OnGetDeviceByIpIface(sd_bus_message* pCall, void* pUser,
                                              sd_bus_error* pError)
{
    auto* pThis = static_cast<CFakeNetworkManager*>(pUser);
    if (const char* pszSender = sd_bus_message_get_sender(pCall))
    {
        const std::lock_guard<std::mutex> lock(pThis->m_mutex);
        pThis->m_Callers.insert(pszSender);
    }
    const char* pszInterface = nullptr;
    const int nResult = sd_bus_message_read_basic(pCall, 's', &pszInterface);
    if (nResult < 0)
        return nResult;
    if (!pThis->m_setup.m_strError.empty())
        return sd_bus_error_set(pError, pThis->m_setup.m_strError.c_str(), "Refused.");
    if (pThis->m_setup.m_strInterface != pszInterface)
        return sd_bus_error_set(pError, "org.freedesktop.NetworkManager.UnknownDevice",
                                "No device found for the requested iface.");
    if (pThis->m_setup.m_answerDelay.count() > 0)
    {
        sd_bus_message_unref(pThis->m_pHeldCall);
        pThis->m_pHeldCall = sd_bus_message_ref(pCall);
        pThis->m_heldSince = std::chrono::steady_clock::now();
        return 1;
    }
    return sd_bus_reply_method_return(pCall, "o", kDevicePath);
}

int CFakeNetworkManager::OnGetDhcp4Config(sd_bus*, const char*, const char*, const char*,
                                          sd_bus_message* pReply, void* pUser, sd_bus_error*)
{
    const auto* pThis = static_cast<const CFakeNetworkManager*>(pUser);
    return sd_bus_message_append_basic(pReply, pThis->m_setup.m_bDhcp4ConfigAsText ? 's' : 'o',
                                       pThis->m_setup.m_strDhcp4Config.c_str());
}

int CFakeNetworkManager::OnGetDhcp6Config(sd_bus*, const char*, const char*, const char*,
                                          sd_bus_message* reply, void* user, sd_bus_error*)
{
    const auto* self = static_cast<const CFakeNetworkManager*>(user);
    return sd_bus_message_append_basic(reply, 'o', self->m_setup.dhcp6Config.c_str());
}

int CFakeNetworkManager::OnGetOptions(sd_bus*, const char*, const char* pszInterface, const char*,
                                      sd_bus_message* pReply, void* pUser, sd_bus_error*)
{
    const auto* pThis = static_cast<const CFakeNetworkManager*>(pUser);
    const bool isDhcp6 =
        std::string_view(pszInterface) == "org.freedesktop.NetworkManager.DHCP6Config";
    int nResult = sd_bus_message_open_container(pReply, 'a', "{sv}");
    for (const auto& [strName, value] :
         isDhcp6 ? pThis->m_setup.dhcp6Options : pThis->m_setup.m_Options)
    {
        if (nResult >= 0)
            nResult = sd_bus_message_open_container(pReply, 'e', "sv");
        if (nResult >= 0)
            nResult = sd_bus_message_append_basic(pReply, 's', strName.c_str());
        if (nResult >= 0)
            nResult = AppendVariant(pReply, value);
        if (nResult >= 0)
            nResult = sd_bus_message_close_container(pReply);
    }
    if (nResult >= 0)
        nResult = sd_bus_message_close_container(pReply);
    return nResult;
}
