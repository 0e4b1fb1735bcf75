#pragma once

#include <QtGlobal>
#include <memory>

namespace platform {

// While a long piece of work or a wait runs on the user-interface thread: the
// busy cursor is shown, the windows keep painting themselves whenever the work
// lets them (paint(), paintWhenDue(), sleepMs()), and every key, click, wheel
// turn, shortcut and close request aimed at a window that was open when it
// began is thrown away, not queued: nothing typed or clicked meanwhile lands
// on the controls that are there afterwards. A window opened meanwhile (a
// message box) takes its answer, with the ordinary cursor.
//
// Holds for as long as it lives. One inside another adds nothing: the
// outermost one rules. The windows' side is the program's that has windows
// (platform/qtbusywait.h, installed at start-up); without it, or without a
// widget application, a wait does nothing but sleep.
class BusyWait {
public:
    BusyWait();
    ~BusyWait();
    BusyWait(const BusyWait &) = delete;
    BusyWait &operator=(const BusyWait &) = delete;

    // Whether a busy wait is under way.
    static bool active();
    // Paints what needs painting; the input that has come meanwhile is
    // thrown away by the wait under way. Nothing happens outside a wait.
    static void paint();
    // Paints when PaintIntervalMs have passed on the program's clock since
    // the last painting: a loop over thousands of items calls it on each.
    static void paintWhenDue();
    // Sleeps on the program's clock, painting between rests of at most
    // PaintIntervalMs, the last time after the last rest.
    static void sleepMs(int ms);

    // The longest rest between two paintings of a wait.
    static constexpr int PaintIntervalMs = 50;
    // A wait shorter than this is not worth the busy cursor.
    static constexpr int ShownAfterMs = 200;

    // The windows held by the outermost wait for as long as it lives: the
    // busy cursor on them, their input thrown away.
    class Windows {
    public:
        virtual ~Windows() = default;
        // Lets the windows paint what needs painting.
        virtual void paint() = 0;
    };
    // Holds the windows open now; nullptr where there are none to hold.
    using HoldWindows = std::unique_ptr<Windows> (*)();

private:
    bool outermost_ = false;
    qint64 lastPaint_ = 0;
    std::unique_ptr<Windows> windows_;
};

// How a wait holds the windows; empty in a program without windows.
BusyWait::HoldWindows &busyWaitWindowsSlot();

}  // namespace platform
