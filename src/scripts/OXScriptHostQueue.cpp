// OXScriptHostQueue: a mutex-guarded list of calls, served by the owner's event loop or by its waiting loop.
#include "OXScriptHostQueue.h"

#include <QThread>

struct OXScriptHostQueue::Item {
    std::function<void()> work;
    bool done = false;
};

OXScriptHostQueue::OXScriptHostQueue() = default;

OXScriptHostQueue::~OXScriptHostQueue() = default;

bool OXScriptHostQueue::isOwnerThread() const
{
    return QThread::currentThread() == thread();
}

void OXScriptHostQueue::call(const std::function<void()> &work)
{
    if (isOwnerThread()) {
        work();
        return;
    }
    auto item = std::make_shared<Item>();
    item->work = work;
    bool post = false;
    {
        std::lock_guard lock(m_mutex);
        m_items.push_back(item);
        // An owner that waits in waitUntil() is woken directly; an event costs more and is only posted when
        // the owner may be in its event loop.
        post = m_ownerWaiting == 0;
    }
    m_changed.notify_all();
    if (post)
        QMetaObject::invokeMethod(
            this, [this] { drain(); }, Qt::QueuedConnection);
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&item] { return item->done; });
}

std::shared_ptr<OXScriptHostQueue::Item> OXScriptHostQueue::takeLocked()
{
    if (m_items.empty())
        return nullptr;
    std::shared_ptr<Item> item = m_items.front();
    m_items.pop_front();
    return item;
}

void OXScriptHostQueue::runItem(const std::shared_ptr<Item> &item)
{
    item->work();
    {
        std::lock_guard lock(m_mutex);
        item->done = true;
    }
    m_changed.notify_all();
}

void OXScriptHostQueue::drain()
{
    for (;;) {
        std::shared_ptr<Item> item;
        {
            std::lock_guard lock(m_mutex);
            item = takeLocked();
        }
        if (!item)
            return;
        runItem(item);
    }
}

void OXScriptHostQueue::waitUntil(const std::function<bool()> &done)
{
    std::unique_lock lock(m_mutex);
    ++m_ownerWaiting;
    for (;;) {
        if (std::shared_ptr<Item> item = takeLocked()) {
            lock.unlock();
            runItem(item);
            lock.lock();
            continue;
        }
        if (done())
            break;
        m_changed.wait(lock);
    }
    --m_ownerWaiting;
}

void OXScriptHostQueue::wake()
{
    {
        std::lock_guard lock(m_mutex);
    }
    m_changed.notify_all();
}
