// What sysfs and udev say about the device behind a Linux interface, and the
// description the adapter record shows.
#pragma once

#include "linux/linux_paths.h"
#include "linux/netlink_snapshot.h"

#include <string>

// These do not change while the interface exists, so one reading serves every
// snapshot that has the same interface index and name.
struct DeviceFacts
{
    std::string m_strUdevName; // "<vendor> <model>" from udev's hardware database
    std::string m_strDriver;   // basename of the sysfs device/driver link
    bool m_bWireless = false;
};

// Reads the facts: udev's database file <run>/udev/data/n<ifindex>, the
// driver link (not looked for when the snapshot knows the interface sits on
// no device), and the wireless LAN marks (a sysfs wireless directory, or
// DEVTYPE=wlan in the uevent of an interface with a driver, since wireless
// hardware is always bound to one).
DeviceFacts ReadDeviceFacts(const LinuxPaths& paths, const NetlinkInterface& link);

// The first of: udev's vendor and model names, the interface's alias, its
// driver and link kind, its name.
std::string DescribeInterface(const DeviceFacts& facts, const NetlinkInterface& link);

// "<vendor> <model>" from the text of a udev database file, either alone
// when only one is known; empty when neither is.
std::string UdevDescription(const std::string& strData);

// The text with every control byte turned into a space and the spaces at
// both ends removed, so that hostile bytes never reach a display.
std::string PrintableText(const std::string& strText);

// True when the name can stand as one component of a sysfs path.
bool IsPathComponent(const std::string& strName);
