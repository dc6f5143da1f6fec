// A lease source that holds every read until the test opens its gate, then
// answers as the source it wraps. It says when a read is waiting, and when it
// is destroyed: the last owner, a request's worker, let it go.
#pragma once

#include "linux/lease_source.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

class CGatedLeaseSource final : public CLeaseSource
{
public:
    CGatedLeaseSource(std::shared_ptr<CLeaseSource> pInner,
                      std::shared_ptr<std::atomic<bool>> pDestroyed)
        : m_pInner(std::move(pInner)), m_pDestroyed(std::move(pDestroyed))
    {
    }
    ~CGatedLeaseSource() override { *m_pDestroyed = true; }

    const char* Name() const override { return m_pInner->Name(); }
    int Read(const LeaseInterface& iface, Lease& lease) override
    {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_bWaiting = true;
            m_opened.wait(lock, [this]() { return m_bOpen; });
        }
        return m_pInner->Read(iface, lease);
    }

    bool IsWaiting()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_bWaiting;
    }
    void Open()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_bOpen = true;
        m_opened.notify_all();
    }

private:
    std::shared_ptr<CLeaseSource> m_pInner;
    std::shared_ptr<std::atomic<bool>> m_pDestroyed;
    std::mutex m_mutex;
    std::condition_variable m_opened;
    bool m_bWaiting = false;
    bool m_bOpen = false;
};
