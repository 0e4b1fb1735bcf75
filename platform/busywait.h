#pragma once

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QtGlobal>
#include <vector>

class QWidget;

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
// outermost one rules. Without a widget application it does nothing.
class BusyWait : public QObject {
public:
    BusyWait();
    ~BusyWait() override;
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

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool refused(const QObject *watched) const;

    bool outermost_ = false;
    qint64 lastPaint_ = 0;
    std::vector<QPointer<QWidget>> windows_;
    // Windows opened during the wait that now show the ordinary cursor.
    QSet<QObject *> answering_;
};

}  // namespace platform
