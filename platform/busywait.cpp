#include "platform/busywait.h"

#include "platform/clock.h"

#include <algorithm>

namespace platform {

namespace {

// The outermost wait under way, if any.
BusyWait *&current()
{
    static BusyWait *wait = nullptr;
    return wait;
}

}  // namespace

BusyWait::HoldWindows &busyWaitWindowsSlot()
{
    static BusyWait::HoldWindows hold = nullptr;
    return hold;
}

BusyWait::BusyWait()
{
    if (current() || !busyWaitWindowsSlot())
        return;
    windows_ = busyWaitWindowsSlot()();
    if (!windows_)
        return;
    outermost_ = true;
    current() = this;
    lastPaint_ = platform::clock().monotonicMs();
}

BusyWait::~BusyWait()
{
    if (!outermost_)
        return;
    windows_.reset();
    current() = nullptr;
}

bool BusyWait::active() { return current() != nullptr; }

void BusyWait::paint()
{
    BusyWait *wait = current();
    if (!wait)
        return;
    wait->windows_->paint();
    wait->lastPaint_ = platform::clock().monotonicMs();
}

void BusyWait::paintWhenDue()
{
    const BusyWait *wait = current();
    if (wait && platform::clock().monotonicMs() - wait->lastPaint_ >= PaintIntervalMs)
        paint();
}

void BusyWait::sleepMs(int ms)
{
    Clock &clock = platform::clock();
    const qint64 end = clock.monotonicMs() + ms;
    for (qint64 now = clock.monotonicMs(); now < end; now = clock.monotonicMs()) {
        paint();
        clock.sleepMs(int(std::min<qint64>(end - now, PaintIntervalMs)));
    }
    paint();
}

}  // namespace platform
