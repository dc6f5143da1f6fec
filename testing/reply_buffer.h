// The reply buffer of DhcpRequestParams, as a service fills it: each supplied
// option's bytes, one after another, with Data and nBytesData set in the
// caller's receive parameters.
#pragma once

#include "platform/platform_types.h"

#include <map>
#include <vector>

// Option bytes by option id; an empty vector is an option supplied with zero length.
using ReplyOptions = std::map<ULONG, std::vector<BYTE>>;

// The buffer size the requested options need.
DWORD ReplySize(const ReplyOptions& options, const DHCPCAPI_PARAMS_ARRAY& recdParams);

// Fills a buffer of at least ReplySize bytes; options not supplied keep their
// parameters untouched.
void FillReply(const ReplyOptions& options, DHCPCAPI_PARAMS_ARRAY recdParams, LPBYTE pBuffer);
