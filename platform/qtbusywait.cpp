#include "platform/qtbusywait.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace platform {

namespace {

bool isWindow(const QObject *object)
{
    return object->isWidgetType() && static_cast<const QWidget *>(object)->isWindow();
}

}  // namespace

std::unique_ptr<BusyWait::Windows> QtBusyWaitWindows::hold()
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return nullptr;
    return std::make_unique<QtBusyWaitWindows>();
}

QtBusyWaitWindows::QtBusyWaitWindows()
{
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->isVisible())
            windows_.emplace_back(window);
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::instance()->installEventFilter(this);
}

QtBusyWaitWindows::~QtBusyWaitWindows()
{
    QCoreApplication::instance()->removeEventFilter(this);
    for (size_t i = 0; i < answering_.size(); ++i)
        QGuiApplication::restoreOverrideCursor();
    QGuiApplication::restoreOverrideCursor();
}

void QtBusyWaitWindows::paint() { QCoreApplication::processEvents(); }

// An event is refused when it is aimed at one of the windows open when the
// wait began: at the window itself, at one of its controls, or at a shortcut
// or an action that one of them owns.
bool QtBusyWaitWindows::refused(const QObject *watched) const
{
    const QWidget *window = nullptr;
    if (const auto *handle = qobject_cast<const QWindow *>(watched)) {
        for (const QPointer<QWidget> &w : windows_)
            if (w && w->windowHandle() == handle)
                return true;
        return false;
    }
    for (const QObject *o = watched; o && !window; o = o->parent())
        if (o->isWidgetType())
            window = static_cast<const QWidget *>(o)->window();
    return window
           && std::any_of(windows_.begin(), windows_.end(), [window](const QPointer<QWidget> &w) { return w == window; });
}

bool QtBusyWaitWindows::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease: return refused(watched);
    case QEvent::ShortcutOverride:
        // Taken, the key is no shortcut of a menu or an action: it goes on
        // as a key press, which is then thrown away.
        if (!refused(watched))
            return false;
        event->accept();
        return true;
    case QEvent::Close:
        if (!isWindow(watched) || !refused(watched))
            return false;
        event->ignore();
        return true;
    case QEvent::Show:
        // A window that asks something meanwhile shows the ordinary cursor.
        if (isWindow(watched) && !refused(watched)
            && std::find(answering_.begin(), answering_.end(), watched) == answering_.end()) {
            answering_.emplace_back(watched);
            QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
        }
        return false;
    case QEvent::Hide:
        if (const auto window = std::find(answering_.begin(), answering_.end(), watched); window != answering_.end()) {
            answering_.erase(window);
            QGuiApplication::restoreOverrideCursor();
        }
        return false;
    default: return false;
    }
}

}  // namespace platform
