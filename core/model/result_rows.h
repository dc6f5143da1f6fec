// The rows of the results list that one successful request gives.
#pragma once

#include "core/model/dhcp_option.h"

#include <vector>

// Images of the results list's image strip.
enum ResultImage
{
    kImageAdapter = 0,
    kImageServer = 1, // red triangle pointing down: the server's own row
    kImageOption = 2, // blue triangle pointing right: every other row
};

struct ResultRow
{
    CString strParameter;
    CString strData;
    int nImage;
};

// One row per option, in list order. The option whose row carries the
// server mark (the server identifier, code 54) is the server's row.
std::vector<ResultRow> BuildResultRows(const DhcpOptionList& options);
