// An adapter record with only what the chooser and the command line look at.
#pragma once

#include "core/model/adapter_info.h"

inline AdapterInfo AdapterWith(const char* pszName, const char* pszMacAddress)
{
    AdapterInfo adapter;
    adapter.m_strAdapterName = pszName;
    adapter.m_strMacAddress = pszMacAddress;
    return adapter;
}
