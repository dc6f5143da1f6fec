// A lease source that holds every read until the test opens its gate, then
// answers as the source it wraps. It says when a read is waiting, and when it
// is destroyed: the last owner, a request's worker, let it go.
#pragma once

#include "linux/lease_source.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

class GatedLeaseSource final : public CLeaseSource
{
public:
    GatedLeaseSource(std::shared_ptr<CLeaseSource> inner,
                     std::shared_ptr<std::atomic<bool>> destroyed)
        : m_inner(std::move(inner)), m_destroyed(std::move(destroyed))
    {
    }
    ~GatedLeaseSource() override { *m_destroyed = true; }

    const char* Name() const override { return m_inner->Name(); }
    int Read(const LeaseInterface& iface, Lease& lease) override
    {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_waiting = true;
            m_opened.wait(lock, [this]() { return m_open; });
        }
        return m_inner->Read(iface, lease);
    }

    bool isWaiting()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_waiting;
    }
    void open()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_open = true;
        m_opened.notify_all();
    }

private:
    std::shared_ptr<CLeaseSource> m_inner;
    std::shared_ptr<std::atomic<bool>> m_destroyed;
    std::mutex m_mutex;
    std::condition_variable m_opened;
    bool m_waiting = false;
    bool m_open = false;
};
