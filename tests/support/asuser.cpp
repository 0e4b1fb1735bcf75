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

// Brings the window up and waits until it is the active one, as the user's
// pointer moving onto it and clicking would.
bool activate(QWidget *window)
{
    if (QApplication::activeWindow() == window)
        return true;
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
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
    if (!activate(window))
        return QStringLiteral("its window %1 does not become active (active: %2)")
            .arg(describe(window), describe(QApplication::activeWindow()));
    const QPoint inWindow = button->mapTo(window, clickPoint(button));
    if (!window->rect().contains(inWindow))
        return QStringLiteral("its centre lies outside its window %1").arg(describe(window));
    QWidget *hit = QApplication::widgetAt(window->mapToGlobal(inWindow));
    if (!hit)
        hit = window->childAt(inWindow);
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
    QWindow *handle = button->window()->windowHandle();
    const QPoint centre = handle->mapFromGlobal(button->mapToGlobal(clickPoint(button)));
    QTest::mouseMove(handle, centre);
    QTest::mouseClick(handle, Qt::LeftButton, Qt::NoModifier, centre);
}

namespace {

// The focus widget, if it is where the test means the keys to go.
QWidget *focusOn(QWidget *target, const std::source_location &where)
{
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
