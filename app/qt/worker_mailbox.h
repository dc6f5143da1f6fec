// CWorkerMailbox: what a worker thread shares with the window it reports to.
// The window's address is cleared when the window goes, under the lock the
// worker holds while it posts; a report posted before is dropped with the
// window's events. So a worker may outlive its window and touch nothing dead.
#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <mutex>

class CWorkerMailbox
{
public:
    explicit CWorkerMailbox(QObject* pReceiver) : m_pReceiver(pReceiver) {}

    // From the receiver's destructor: nothing is posted to it any more.
    void Close()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_pReceiver = nullptr;
    }

    // From the worker: fnReport runs on the receiver's thread, if the
    // receiver is still there when the event loop comes to it.
    void Post(std::function<void()> fnReport)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_pReceiver != nullptr)
            QMetaObject::invokeMethod(m_pReceiver, std::move(fnReport), Qt::QueuedConnection);
    }

private:
    std::mutex m_mutex;
    QObject* m_pReceiver;
};
