// Which adapter the chooser's text means.
#pragma once

#include "core/model/adapter_info.h"

// The platform name of the first adapter, in list order, whose hardware
// address text equals the chosen text exactly; empty when none does. Where two
// adapters show the same text, the first of them is meant whichever entry was
// chosen.
CString AdapterNameFor(const AdapterList& adapters, const CString& strChosen);
