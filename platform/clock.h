#pragma once

#include "platform/scopedservice.h"

#include <QDateTime>

namespace platform {

// The one source of time: the time of day, a monotonic counter for deadlines,
// and the sleep between attempts. Tests install a FakeClock, so no test waits.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;        // local date and time
    virtual qint64 monotonicMs() const = 0;   // never goes back
    virtual void sleepMs(int ms) = 0;
};

Clock &clock();

// The rest between two attempts at something another program holds locked:
// the thread waits a moment instead of keeping a core busy, and the lock is
// rarely held for less.
inline constexpr int LockRetryPauseMs = 50;

class SystemClock : public Clock {
public:
    QDateTime now() const override;
    qint64 monotonicMs() const override;
    void sleepMs(int ms) override;
};

// The pointer behind the accessor; a guard installs a test double in it.
Clock *&clockSlot();
using ScopedClock = platform::ScopedService<Clock, clockSlot>;

}  // namespace platform
