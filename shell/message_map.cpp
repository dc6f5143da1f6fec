#include "shell/message_map.h"

const CMessageMap* CCmdTarget::GetThisMessageMap()
{
    static const CMessageMapEntry s_entries[] = {{0, 0, 0, nullptr}};
    static const CMessageMap s_map = {nullptr, s_entries};
    return &s_map;
}

const CMessageMap* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

const CMessageMapEntry* CCmdTarget::FindEntry(UINT nMessage, UINT nCode, UINT nID) const
{
    for (const CMessageMap* pMap = GetMessageMap(); pMap != nullptr;
         pMap = pMap->pfnGetBaseMap != nullptr ? pMap->pfnGetBaseMap() : nullptr)
    {
        for (const CMessageMapEntry* pEntry = pMap->pEntries; pEntry->nMessage != 0; ++pEntry)
        {
            if (pEntry->nMessage == nMessage && pEntry->nCode == nCode && pEntry->nID == nID)
                return pEntry;
        }
    }
    return nullptr;
}

bool CCmdTarget::OnCmdMsg(UINT nID, UINT nCode)
{
    const CMessageMapEntry* pEntry = FindEntry(WM_COMMAND, nCode, nID);
    if (pEntry == nullptr)
        return false;
    pEntry->pfnThunk(*this, MAKEWPARAM(nID, nCode), 0);
    return true;
}
