// OXScriptHostQueue: carries a script thread's host calls to the thread that owns the document and its windows.
#pragma once

#include <QObject>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

// A script runs on its own thread so that the window stays responsive and Stop can be pressed; what a host call
// touches (the document, its database, widgets, dialogs) belongs to the owner thread. call() hands the work to
// the owner and waits for it: the owner's event loop runs it, or waitUntil() does while the owner waits for a
// run to end. Calls run one at a time and in order, so the owner never sees the document change under it.
class OXScriptHostQueue : public QObject {
public:
    // The queue belongs to the calling thread.
    OXScriptHostQueue();
    ~OXScriptHostQueue() override;

    // Runs `work` on the owner thread and returns when it is done; runs it at once on the owner thread itself.
    void call(const std::function<void()> &work);
    // Runs on the owner thread, and blocks it, until `done` answers true; host calls meanwhile run here.
    void waitUntil(const std::function<bool()> &done);
    // Wakes waitUntil() to look at its condition again; call after changing what it looks at.
    void wake();
    // Runs the calls that are waiting (the owner's event loop does it by itself).
    void drain();
    bool isOwnerThread() const;

private:
    struct Item;
    // Takes the next waiting call; needs the lock.
    std::shared_ptr<Item> takeLocked();
    void runItem(const std::shared_ptr<Item> &item);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::shared_ptr<Item>> m_items;
    int m_ownerWaiting = 0;
};
