// The platform's adapter type codes (IF_TYPE_* of ipifcons.h) for Linux link types.
#pragma once

#include "dhcp/linux_paths.h"

#include <string>

// The type code for an ARPHRD_* link type; Ethernet framing on a wireless
// LAN is IF_TYPE_IEEE80211. Unknown types are MIB_IF_TYPE_OTHER.
unsigned AdapterTypeFor(unsigned nArpType, bool bWireless);

// True when sysfs shows the interface as a wireless LAN: it has a wireless
// directory, or its uevent says DEVTYPE=wlan.
bool IsWireless(const LinuxPaths& paths, const std::string& strName);

// True when the name can stand as one component of a sysfs path.
bool IsPathComponent(const std::string& strName);
