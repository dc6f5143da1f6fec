// veyra-probe run with QProcess: the window's way to ask DHCP servers, since
// the window itself holds no capability (see linux/probe_client.h).
#pragma once

#include "linux/lease6_source.h"
#include "linux/lease_source.h"
#include "linux/probe_client.h"

#include <string>
#include <vector>

// Runs the helper with those arguments and an empty environment, and hands
// each line of its output to the session; blocks until it has ended, so run
// it on a worker thread. 0, ENOENT when the helper would not start, or
// EPROTO when a line is past its bound or not one a helper writes (the
// helper is then killed).
int runProbe(const std::string& path, const std::vector<std::string>& arguments,
             CProbeSession& session);

// The DHCPINFORM source that asks through the helper.
class ProbeInformSource final : public CLeaseSource
{
public:
    explicit ProbeInformSource(std::string probePath) : m_probePath(std::move(probePath)) {}

    const char* Name() const override { return "inform"; }
    int Read(const LeaseInterface& iface, Lease& lease) override;

private:
    std::string m_probePath;
};

// The DHCPv6 Information-request that asks through the helper.
class ProbeInform6Source final : public Lease6Source
{
public:
    explicit ProbeInform6Source(std::string probePath) : m_probePath(std::move(probePath)) {}

    const char* Name() const override { return "inform"; }
    int Read(const LeaseInterface& iface, Lease6& lease) override;

private:
    std::string m_probePath;
};
