#include "support/Watchdog.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

Watchdog::Watchdog(int seconds) : m_seconds(seconds), m_thread([this] { watch(); }) {}

Watchdog::~Watchdog()
{
    {
        std::lock_guard lock(m_mutex);
        m_done = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void Watchdog::pet(const QByteArray &what)
{
    std::lock_guard lock(m_mutex);
    m_what = what;
    ++m_generation;
}

void Watchdog::watch()
{
    std::unique_lock lock(m_mutex);
    while (!m_done) {
        const quint64 seen = m_generation;
        m_wake.wait_for(lock, std::chrono::seconds(m_seconds), [&] { return m_done || m_generation != seen; });
        if (!m_done && m_generation == seen) {
            std::fprintf(stderr, "Watchdog: one input ran over %d s: %s\n", m_seconds, m_what.constData());
            std::abort();
        }
    }
}
