#pragma once

#include "platform/clock.h"

#include <QDateTime>

namespace platform {

// Time stands still until advanced; a sleep advances it.
class FakeClock : public Clock {
public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2026, 1, 15), QTime(10, 0)))
        : now_(start) {}
    QDateTime now() const override { return now_; }
    qint64 monotonicMs() const override { return monotonic_; }
    void sleepMs(int ms) override { advanceMs(ms); ++sleeps; }
    void advanceMs(qint64 ms)
    {
        now_ = now_.addMSecs(ms);
        monotonic_ += ms;
    }
    void setNow(const QDateTime &t) { now_ = t; }

    int sleeps = 0;

private:
    QDateTime now_;
    qint64 monotonic_ = 0;
};

}  // namespace platform
