// NetworkManager's DHCP options for one interface, read over the system bus.
#pragma once

#include <map>
#include <string>

// Asks NetworkManager on the system bus (DBUS_SYSTEM_BUS_ADDRESS when set)
// for the DHCP4Config Options of the device with this interface name, and
// keeps the values that are texts, by NetworkManager's option names. 0 when
// found. ENOENT when there is nothing to read: no bus, NetworkManager not on
// it, no such device, or a device without DHCP. Otherwise EACCES when the bus
// refused us, ETIMEDOUT when it did not answer within a second, EIO for any
// other failure or an answer out of shape. On failure the map is empty.
int FetchNetworkManagerOptions(const std::string& strInterface,
                               std::map<std::string, std::string>& options);
