#include "linux/probe_client.h"

#include "platform/file_descriptor.h"

#include <cap-ng.h>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <unistd.h>

std::string InstalledProbePath()
{
    char exe[PATH_MAX];
    const ssize_t size = readlink("/proc/self/exe", exe, sizeof exe);
    if (size <= 0 || static_cast<std::size_t>(size) >= sizeof exe)
        return std::string();
    const std::string exePath(exe, static_cast<std::size_t>(size));
    const std::size_t slash = exePath.rfind('/');
    if (slash == std::string::npos)
        return std::string();
    return exePath.substr(0, slash + 1) + VEYRA_PROBE_FROM_BINDIR;
}

ProbeAccess CheckProbe(const std::string& path)
{
    struct stat info
    {
    };
    if (path.empty() || stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return ProbeAccess::Missing;
    if (access(path.c_str(), X_OK) != 0)
        return ProbeAccess::NotPermitted;
    if (geteuid() == 0)
        return ProbeAccess::Usable;
    const CFileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (!file.IsOpen() || capng_get_caps_fd(file.Get()) != 0)
        return ProbeAccess::NoCapability;
    return capng_have_capability(CAPNG_PERMITTED, CAP_NET_RAW) &&
                   capng_have_capability(CAPNG_EFFECTIVE, CAP_NET_RAW)
               ? ProbeAccess::Usable
               : ProbeAccess::NoCapability;
}

std::string ProbeAdvice(ProbeAccess access, const std::string& path)
{
    switch (access)
    {
    case ProbeAccess::Usable:
        break;
    case ProbeAccess::Missing:
        return "Asking DHCP servers needs the helper " + path + ", which is not installed.";
    case ProbeAccess::NotPermitted:
        return "Asking DHCP servers is for members of the veyra group: add yourself to it "
               "(sudo adduser $USER veyra), then log in again.";
    case ProbeAccess::NoCapability:
        return "Asking DHCP servers is for root until the helper may open raw sockets: allow it "
               "with sudo dpkg-reconfigure veyra, add yourself to the veyra group "
               "(sudo adduser $USER veyra), then log in again.";
    }
    return std::string();
}

std::vector<std::string> InformProbeArguments(const std::string& interfaceName)
{
    return {"inform", interfaceName};
}

std::vector<std::string> Inform6ProbeArguments(const std::string& interfaceName)
{
    return {"inform6", interfaceName};
}

namespace
{
std::string ClientMacText(const CensusSettings& settings)
{
    if (settings.randomClientMac)
        return "random";
    return settings.clientMac ? ProbeMacText(*settings.clientMac) : "-";
}
} // namespace

std::vector<std::string> CensusProbeArguments(const CensusSettings& settings)
{
    return {"census",
            settings.interfaceName,
            std::to_string(settings.wait.count()),
            std::to_string(settings.families),
            ProbeVlanText(settings.vlans),
            ClientMacText(settings),
            settings.promiscuous ? "1" : "0"};
}

CProbeSession::CProbeSession(const CensusLimits& limits) : m_censusLimits(limits) {}

// The plan comes whole before the first frame: the census header, then one
// probe per VLAN, at most one per VLAN id and one untagged.
bool CProbeSession::TakeCensus(ProbeMessage& message)
{
    switch (message.m_event)
    {
    case ProbeEvent::Census:
        if (!m_opened || m_plan || m_census)
            return Refuse();
        m_plan.emplace();
        m_plan->families = message.families;
        m_carrier = message.carrier;
        return true;
    case ProbeEvent::Probe:
    {
        // The untagged link has bit 0, as no VLAN has id 0.
        const std::size_t bit = message.probe.vlan.value_or(0);
        if (!m_plan || m_planned.test(bit))
            return Refuse();
        m_planned.set(bit);
        m_plan->probes.push_back(std::move(message.probe));
        return true;
    }
    default:
        break;
    }
    if (!m_census)
    {
        if (!m_plan)
            return Refuse();
        m_census.emplace(std::move(*m_plan), m_censusLimits);
        m_plan.reset();
    }
    m_frameBytes += message.m_Packet.size();
    if (++m_frames > kMaxProbeFrames || m_frameBytes > kMaxProbeFrameBytes)
        return Refuse();
    CensusFrame frame;
    frame.vlan = message.vlan;
    frame.etherType = message.etherType;
    frame.sourceMac = message.m_SourceMac;
    frame.checksumPending = message.m_bChecksumPending;
    frame.at = std::chrono::microseconds(message.m_nMicroseconds);
    m_census->Take(frame, message.m_Packet.data(), message.m_Packet.size());
    return true;
}

bool CProbeSession::Refuse()
{
    m_broken = true;
    return false;
}

bool CProbeSession::Take(std::string_view line)
{
    if (m_ended || m_broken)
        return Refuse();
    std::optional<ProbeMessage> message = ParseProbeMessage(line);
    if (!message)
        return Refuse();
    switch (message->m_event)
    {
    case ProbeEvent::Opened:
        if (m_opened)
            return Refuse();
        m_opened = true;
        m_status = std::move(message->m_strStatus);
        return true;
    case ProbeEvent::Census:
    case ProbeEvent::Probe:
    case ProbeEvent::Frame:
        return TakeCensus(*message);
    case ProbeEvent::Options:
        if (!m_opened || m_plan || m_census || m_hasOptions || m_hasOptions6)
            return Refuse();
        m_hasOptions = true;
        m_lease.m_mapOptions = std::move(message->m_mapOptions);
        return true;
    case ProbeEvent::Options6:
        if (!m_opened || m_plan || m_census || m_hasOptions || m_hasOptions6)
            return Refuse();
        m_hasOptions6 = true;
        m_options6 = std::move(message->options6);
        return true;
    case ProbeEvent::End:
        m_ended = true;
        m_error = message->m_nError;
        m_unrelayed = message->m_nUnrelayed;
        return true;
    }
    return Refuse();
}

int CProbeSession::Finish(Lease& lease) const
{
    if (m_broken || !m_ended)
        return EPROTO;
    if (m_error != 0)
        return m_error;
    if (!m_hasOptions)
        return EPROTO;
    lease.m_mapOptions = m_lease.m_mapOptions;
    return 0;
}

int CProbeSession::Finish(Lease6& lease) const
{
    if (m_broken || !m_ended)
        return EPROTO;
    if (m_error != 0)
        return m_error;
    if (!m_hasOptions6)
        return EPROTO;
    lease.options = m_options6;
    return 0;
}

int CProbeSession::Finish(CensusResult& result)
{
    if (m_broken || !m_ended)
        return EPROTO;
    if (m_error != 0)
        return m_error;
    if (m_plan)
    {
        m_census.emplace(std::move(*m_plan), m_censusLimits);
        m_plan.reset();
    }
    if (!m_census)
        return EPROTO;
    result = m_census->TakeResult();
    result.carrier = m_carrier;
    // Frames the helper received but did not relay were taken and dropped.
    result.dropped += static_cast<std::size_t>(m_unrelayed);
    return 0;
}
