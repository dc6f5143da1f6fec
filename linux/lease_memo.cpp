#include "linux/lease_memo.h"

int CLeaseMemo::Read(const LeaseInterface& iface, Lease& lease)
{
    if (iface.m_nIndex == 0)
        return m_pSource->Read(iface, lease);
    auto answer = m_mapAnswers.find(iface.m_nIndex);
    if (answer == m_mapAnswers.end())
    {
        Answer fresh{0, Lease()};
        fresh.m_nResult = m_pSource->Read(iface, fresh.m_lease);
        answer = m_mapAnswers.emplace(iface.m_nIndex, std::move(fresh)).first;
    }
    lease = answer->second.m_lease;
    return answer->second.m_nResult;
}

namespace
{
std::vector<std::unique_ptr<CLeaseMemo>> Memoize(std::vector<std::unique_ptr<CLeaseSource>> sources)
{
    std::vector<std::unique_ptr<CLeaseMemo>> memos;
    for (auto& pSource : sources)
        memos.push_back(std::make_unique<CLeaseMemo>(std::move(pSource)));
    return memos;
}

std::vector<CLeaseSource*> Pointers(const std::vector<std::unique_ptr<CLeaseMemo>>& memos,
                                    CLeaseSource* pLast = nullptr)
{
    std::vector<CLeaseSource*> sources;
    for (const auto& pMemo : memos)
        sources.push_back(pMemo.get());
    if (pLast != nullptr)
        sources.push_back(pLast);
    return sources;
}
} // namespace

CRunLeaseSources::CRunLeaseSources(std::vector<std::unique_ptr<CLeaseSource>> kept,
                                   std::unique_ptr<CLeaseSource> pAsking)
    : m_Memos(Memoize(std::move(kept))), m_pAsking(std::move(pAsking)), m_kept(Pointers(m_Memos)),
      m_asked(Pointers(m_Memos, m_pAsking.get()))
{
}
