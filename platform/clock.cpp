#include "platform/clock.h"

#include <QElapsedTimer>
#include <QThread>

namespace platform {

Clock *&clockSlot()
{
    static SystemClock systemClock;
    static Clock *current = &systemClock;
    return current;
}

Clock &clock() { return *clockSlot(); }

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

}  // namespace platform
