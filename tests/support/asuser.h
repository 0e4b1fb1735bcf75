#pragma once

#include <QString>
#include <Qt>
#include <source_location>

class QAbstractButton;
class QWidget;

namespace testsupport {

// Presses a button as a user does: it must be shown, enabled, not covered by
// another control at its centre and in the active window (the window is
// brought up and activated first, as a user's click would). The click is a
// real one, a press and a release at the button's centre (a check box's or a
// radio button's: the centre of its box and text) delivered through its
// window, so it reaches whatever control a user's pointer would reach there.
// Works as well from an action scheduled before a modal loop's exec().
// A failure is reported at the caller's line.
void clickAsUser(QAbstractButton *button, std::source_location where = std::source_location::current());

// A key, or text typed, goes where the keyboard sends it: to the widget that
// has the focus. `target` is the widget the test means to reach: its window is
// made the active one, and it must be the focus widget or hold it (a window or
// a dialog holds its focus widget).
void keyClickAsUser(QWidget *target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                    std::source_location where = std::source_location::current());
void keyClicksAsUser(QWidget *target, const QString &text, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                     std::source_location where = std::source_location::current());

}  // namespace testsupport
