#include "core/model/adapter_choice.h"

CString AdapterNameFor(const AdapterList& adapters, const CString& strChosen)
{
    for (const AdapterInfo& adapter : adapters)
        if (adapter.m_strMacAddress == strChosen)
            return adapter.m_strAdapterName;
    return CString();
}
