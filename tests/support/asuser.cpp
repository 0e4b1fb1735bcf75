#include "support/asuser.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace testsupport {

namespace {

QString describe(const QWidget *widget)
{
    if (!widget)
        return QStringLiteral("(none)");
    QString name = QString::fromLatin1(widget->metaObject()->className());
    if (!widget->objectName().isEmpty())
        name += QLatin1Char(' ') + widget->objectName();
    if (const auto *button = qobject_cast<const QAbstractButton *>(widget); button && !button->text().isEmpty())
        name += QStringLiteral(" \"%1\"").arg(button->text());
    return name;
}

void fail(const std::source_location &where, const QString &why)
{
    ADD_FAILURE_AT(where.file_name(), int(where.line())) << why.toStdString();
}

// The modal window that keeps the user's pointer away from the window, if any.
QWidget *blockingModal(QWidget *window)
{
    QWidget *modal = QApplication::activeModalWidget();
    for (QWidget *w = window; w && modal; w = w->parentWidget())
        if (w == modal)
            return nullptr;
    return modal;
}

// Makes the window the active one, as the user's click on it would, with no
// turn of the event loop: a test's actions scheduled for a modal window that
// this press opens must not run before it is open.
bool activate(QWidget *window)
{
    if (QApplication::activeWindow() != window) {
        window->activateWindow();
        QApplication::setActiveWindow(window);
    }
    return QApplication::activeWindow() == window;
}

// Where a user clicks the button: its centre, or for a check box or a radio
// button the centre of what answers a click there (its box and its text), as
// the rest of a wide one's rectangle does not.
QPoint clickPoint(QAbstractButton *button)
{
    const bool check = qobject_cast<QCheckBox *>(button);
    if (!check && !qobject_cast<QRadioButton *>(button))
        return button->rect().center();
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    return button->style()
        ->subElementRect(check ? QStyle::SE_CheckBoxClickRect : QStyle::SE_RadioButtonClickRect, &option, button)
        .center();
}

// Why a user could not press the button, or an empty text if a user could.
QString obstacle(QAbstractButton *button)
{
    if (!button->isVisible())
        return QStringLiteral("it is not visible");
    if (!button->isEnabled())
        return QStringLiteral("it is not enabled");
    QWidget *window = button->window();
    if (QWidget *modal = blockingModal(window))
        return QStringLiteral("the modal window %1 stands in front of it").arg(describe(modal));
    if (!activate(window))
        return QStringLiteral("its window %1 does not become active (active: %2)")
            .arg(describe(window), describe(QApplication::activeWindow()));
    const QPoint inWindow = button->mapTo(window, clickPoint(button));
    if (!window->rect().contains(inWindow))
        return QStringLiteral("its centre lies outside its window %1").arg(describe(window));
    // Made active, the window stands in front of the others: what can cover
    // the button is a control of its own.
    QWidget *hit = window->childAt(inWindow);
    if (hit != button && !button->isAncestorOf(hit))
        return QStringLiteral("%1 lies over its centre").arg(describe(hit));
    return {};
}

}  // namespace

void clickAsUser(QAbstractButton *button, std::source_location where)
{
    if (!button) {
        fail(where, QStringLiteral("clickAsUser: no button"));
        return;
    }
    const QString why = obstacle(button);
    if (!why.isEmpty()) {
        fail(where, QStringLiteral("A user cannot press %1: %2").arg(describe(button), why));
        // The press still happens, so that a modal loop the test scheduled
        // its next steps for ends as planned and the run reports every
        // failure instead of hanging.
        if (button->isEnabled())
            button->click();
        return;
    }
    // The press and the release go straight to the window, as the window
    // system hands them over, with no turn of the event loop in between or
    // after: what the press opens, a modal loop included, runs as it would.
    QWindow *handle = button->window()->windowHandle();
    const QPointF local = handle->mapFromGlobal(button->mapToGlobal(clickPoint(button)));
    const QPointF global = handle->mapToGlobal(local);
    QTest::lastMouseTimestamp += 1;
    qt_handleMouseEvent(handle, local, global, QTestPrivate::qtestMouseButtons, Qt::NoButton, QEvent::MouseMove,
                        Qt::NoModifier, QTest::lastMouseTimestamp);
    QTest::lastMouseTimestamp += 1;
    QTestPrivate::qtestMouseButtons.setFlag(Qt::LeftButton, true);
    qt_handleMouseEvent(handle, local, global, QTestPrivate::qtestMouseButtons, Qt::LeftButton,
                        QEvent::MouseButtonPress, Qt::NoModifier, QTest::lastMouseTimestamp);
    QTestPrivate::qtestMouseButtons.setFlag(Qt::LeftButton, false);
    qt_handleMouseEvent(handle, local, global, QTestPrivate::qtestMouseButtons, Qt::LeftButton,
                        QEvent::MouseButtonRelease, Qt::NoModifier, QTest::lastMouseTimestamp);
    // The next press is never taken for the second half of a double click.
    QTest::lastMouseTimestamp += QTest::mouseDoubleClickInterval;
}

namespace {

// The focus widget, if it is where the test means the keys to go.
QWidget *focusOn(QWidget *target, const std::source_location &where)
{
    if (target) {
        if (QWidget *modal = blockingModal(target->window())) {
            fail(where, QStringLiteral("The keys cannot reach %1: the modal window %2 stands in front of it")
                            .arg(describe(target), describe(modal)));
            return nullptr;
        }
        activate(target->window());
    }
    QWidget *focus = QApplication::focusWidget();
    if (!focus) {
        fail(where, QStringLiteral("No control has the focus (active window: %1)")
                        .arg(describe(QApplication::activeWindow())));
        return nullptr;
    }
    if (target && focus != target && !target->isAncestorOf(focus)) {
        fail(where, QStringLiteral("The focus is on %1, not on %2").arg(describe(focus), describe(target)));
        return nullptr;
    }
    return focus;
}

}  // namespace

void keyClickAsUser(QWidget *target, Qt::Key key, Qt::KeyboardModifiers modifiers, std::source_location where)
{
    if (QWidget *focus = focusOn(target, where))
        QTest::keyClick(focus, key, modifiers);
}

void keyClicksAsUser(QWidget *target, const QString &text, Qt::KeyboardModifiers modifiers,
                     std::source_location where)
{
    if (QWidget *focus = focusOn(target, where))
        QTest::keyClicks(focus, text, modifiers);
}

}  // namespace testsupport
