#pragma once

#include "platform/busywait.h"

#include <QObject>
#include <QPointer>
#include <vector>

class QWidget;

namespace platform {

// The windows' side of a busy wait in a widget application: the busy cursor
// over the windows open when the wait began, their input thrown away, their
// painting through the event loop. ImpostaApplicazione installs it.
class QtBusyWaitWindows : public QObject, public BusyWait::Windows {
public:
    // The windows open now held, or nullptr without a widget application.
    static std::unique_ptr<BusyWait::Windows> hold();

    QtBusyWaitWindows();
    ~QtBusyWaitWindows() override;

    void paint() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool refused(const QObject *watched) const;

    std::vector<QPointer<QWidget>> windows_;
    // Windows opened during the wait that now show the ordinary cursor, one
    // cursor each; a window destroyed meanwhile leaves an empty pointer, so
    // that another made later at its address is not taken for it.
    std::vector<QPointer<QObject>> answering_;
};

}  // namespace platform
