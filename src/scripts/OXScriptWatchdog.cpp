// OXScriptWatchdog: interrupts runaway scripts from a second thread, since the engine holds its own while it runs.
#include "OXScriptWatchdog.h"

#include <QJSEngine>

#include <chrono>

OXScriptWatchdog::OXScriptWatchdog(QJSEngine &engine) : m_engine(engine) {}

OXScriptWatchdog::~OXScriptWatchdog()
{
    finish();
}

void OXScriptWatchdog::start(int milliseconds)
{
    finish();
    if (milliseconds <= 0)
        return;
    m_done = false;
    m_fired = false;
    m_thread = std::thread([this, milliseconds] {
        std::unique_lock lock(m_mutex);
        if (!m_wake.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return m_done; })) {
            m_fired = true;
            m_engine.setInterrupted(true);
        }
    });
}

void OXScriptWatchdog::finish()
{
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_done = true;
    }
    m_wake.notify_all();
    m_thread.join();
}
