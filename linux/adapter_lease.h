// The lease behind one adapter, as both the veyra command and the window ask
// for it, and what the answer says beside the options.
#pragma once

#include "core/model/adapter_info.h"
#include "linux/lease_source.h"

#include <optional>
#include <string>

// Reads the interface's lease: 0, ENODEV when there is no interface, ENODATA
// when no source has a lease for it, or the sources' failure (EACCES...).
int ReadAdapterLease(const std::optional<LeaseInterface>& iface, CLeaseSource& leases,
                     Lease& lease);

// What the DHCPINFORM of a request that asked the server answered: 0 when it
// was answered or not asked, ENOENT when the adapter had no address to ask
// from, or why it could not be made (EPERM, ETIMEDOUT...).
int InformAnswer(const Lease& lease);

// What the veyra command's standard error adds to the window's rows, whose
// forms cannot show it: which options may be cut short, and how many lines of
// the lease gave no bytes (--all shows both). Empty when there is neither.
std::string LeaseNotesText(const Lease& lease);

// The platform name an argument means: an adapter's own name, byte for byte,
// or else the hardware address text the window's chooser shows for it (the
// first adapter's where two share it); empty when it means none.
std::string AdapterNamed(const AdapterList& adapters, const std::string& argument);
