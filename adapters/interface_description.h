// The description of a Linux interface, as the adapter record shows it.
#pragma once

#include "adapters/netlink_snapshot.h"
#include "dhcp/linux_paths.h"

#include <string>

// The first of: udev's vendor and model names (<run>/udev/data/n<ifindex>),
// the interface's alias, its driver (the basename of the sysfs
// device/driver link) and link kind, its name.
std::string DescribeInterface(const LinuxPaths& paths, const NetlinkInterface& link);

// "<vendor> <model>" from the text of a udev database file, either alone
// when only one is known; empty when neither is.
std::string UdevDescription(const std::string& strData);

// The text with every control byte turned into a space and the spaces at
// both ends removed, so that hostile bytes never reach a display.
std::string PrintableText(const std::string& strText);
