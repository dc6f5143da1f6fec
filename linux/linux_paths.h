// Where Linux keeps what the lease sources and the IP helper read. Tests
// point each root at captured data.
#pragma once

#include <string>
#include <vector>

struct LinuxPaths
{
    std::string m_strSys = "/sys";
    std::string m_strRun = "/run";               // udev data, networkd leases, dhcpcd's sockets
    std::string m_strDhcpcd = "/var/lib/dhcpcd"; // <if>.lease
    std::vector<std::string> m_DhclientDirs = {"/var/lib/dhcp", "/var/lib/dhclient"};
    // Its "option NAME code N = TYPE;" declarations name options in its leases.
    std::string m_strDhclientConf = "/etc/dhcp/dhclient.conf";
    std::string m_strResolvConf = "/etc/resolv.conf";
};
