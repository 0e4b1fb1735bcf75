#include "platform/clock.h"

#include <QElapsedTimer>
#include <QThread>

namespace platform {

namespace {
Clock *&installed()
{
    static SystemClock systemClock;
    static Clock *current = &systemClock;
    return current;
}
}  // namespace

Clock &clock() { return *installed(); }

QDateTime SystemClock::now() const { return QDateTime::currentDateTime(); }

qint64 SystemClock::monotonicMs() const
{
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer.elapsed();
}

void SystemClock::sleepMs(int ms) { QThread::msleep(static_cast<unsigned long>(ms)); }

ScopedClock::ScopedClock(Clock &clock) : previous_(installed()) { installed() = &clock; }

ScopedClock::~ScopedClock() { installed() = previous_; }

}  // namespace platform
