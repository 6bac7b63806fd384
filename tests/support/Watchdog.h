#pragma once

#include <QByteArray>

#include <condition_variable>
#include <mutex>
#include <thread>

// Ends the program with the input at hand when one input takes too long: a hang
// must name its input, not just time out the whole test.
class Watchdog
{
public:
    explicit Watchdog(int seconds);
    ~Watchdog();
    // A new input begins; `what` is printed if it never ends.
    void pet(const QByteArray &what);

private:
    void watch();
    int m_seconds;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    QByteArray m_what;
    quint64 m_generation = 0;
    bool m_done = false;
    std::thread m_thread;
};
