// The rows of "All options": every option of a lease by the extended
// catalogue, as the window's list shows rows. Kept apart from the window
// because the catalogue's value types and the adapter records share names.
#pragma once

#include "core/model/lease.h"
#include "core/model/result_rows.h"

#include <vector>

// One row per option of the lease in code order: its catalogue name and its
// text, with the server's image on option 54 (DHCP Server Identifier) and the
// option image on every other. An option whose bytes may end early has
// " [may be cut short]" after its text, and each line no bytes could be made
// of follows as a row of its name and its text as written.
std::vector<ResultRow> buildAllOptionRows(const Lease& lease);
