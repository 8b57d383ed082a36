// OXScriptWatchdog: a thread that interrupts an engine whose run outlasts its time limit.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

class QJSEngine;

class OXScriptWatchdog {
public:
    explicit OXScriptWatchdog(QJSEngine &engine);
    ~OXScriptWatchdog();

    // Watches one run; `milliseconds` 0 watches nothing. finish() ends the watch before the limit.
    void start(int milliseconds);
    void finish();
    bool fired() const { return m_fired; }

private:
    QJSEngine &m_engine;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::thread m_thread;
    bool m_done = false;
    bool m_fired = false;
};
