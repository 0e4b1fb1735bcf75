#include "platform/busywait.h"
#include "platform/qtbusywait.h"
#include "support/doubles/fakeclock.h"

#include <QGuiApplication>
#include <QWidget>
#include <gtest/gtest.h>

using namespace platform;

namespace {

// Puts in place, for its lifetime, how a wait holds the windows.
class HeldWindows {
public:
    explicit HeldWindows(BusyWait::HoldWindows hold) : previous_(busyWaitWindowsSlot()) { busyWaitWindowsSlot() = hold; }
    ~HeldWindows() { busyWaitWindowsSlot() = previous_; }
    HeldWindows(const HeldWindows &) = delete;
    HeldWindows &operator=(const HeldWindows &) = delete;

private:
    BusyWait::HoldWindows previous_;
};

}  // namespace

TEST(BusyWait, WithoutWindowsAWaitOnlySleepsOnTheProgramsClock)
{
    FakeClock clock;
    ScopedClock clockGuard(clock);
    HeldWindows none(nullptr);
    QWidget window;
    window.show();
    {
        const BusyWait wait;
        EXPECT_FALSE(BusyWait::active());
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        BusyWait::sleepMs(120);
        EXPECT_EQ(clock.monotonicMs(), 120);
    }
    EXPECT_FALSE(BusyWait::active());
}

TEST(BusyWait, TheWindowsHoldShowsTheBusyCursorForTheOutermostWaitAlone)
{
    FakeClock clock;
    ScopedClock clockGuard(clock);
    HeldWindows qt(&QtBusyWaitWindows::hold);
    QWidget window;
    window.show();
    {
        const BusyWait wait;
        ASSERT_TRUE(BusyWait::active());
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        {
            const BusyWait inner;
            BusyWait::sleepMs(120);
        }
        EXPECT_TRUE(BusyWait::active()) << "the inner wait adds nothing";
        EXPECT_EQ(clock.monotonicMs(), 120);
        EXPECT_EQ(clock.sleeps, 3) << "rests of at most 50 ms, painting between them";
    }
    EXPECT_FALSE(BusyWait::active());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}
