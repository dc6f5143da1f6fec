// The platform's adapter type codes (IF_TYPE_* of ipifcons.h) for Linux link types.
#pragma once

// The type code for an ARPHRD_* link type; Ethernet framing on a wireless
// LAN is IF_TYPE_IEEE80211. Unknown types are MIB_IF_TYPE_OTHER.
unsigned AdapterTypeFor(unsigned nArpType, bool bWireless);
