#include "platform/twips.h"
#include "ui/main/screen.h"

#include <QApplication>
#include <QEvent>
#include <QPalette>

static void registraFinestre() { Q_INIT_RESOURCE(finestre); }

namespace uimain {

using platform::twips;

QIcon IconaApplicazione()
{
    static const bool registrate = (registraFinestre(), true);
    Q_UNUSED(registrate);
    return QIcon(QStringLiteral(":/finestre/CORBIX.png"));
}

void ImpostaColore(QWidget *field, const QColor &colour)
{
    QPalette p = field->palette();
    p.setColor(QPalette::Base, colour.isValid() ? colour : QApplication::palette().color(QPalette::Base));
    field->setPalette(p);
}

void PosizionaTwips(QWidget *control, int left, int top, int width, int height)
{
    control->setGeometry(twips(left), twips(top), width < 0 ? control->width() : twips(width),
                         height < 0 ? control->height() : twips(height));
}

IngressoRifiutato::IngressoRifiutato(QWidget *schermo) : schermo_(schermo)
{
    QCoreApplication::instance()->installEventFilter(this);
}

IngressoRifiutato::~IngressoRifiutato() { QCoreApplication::instance()->removeEventFilter(this); }

bool IngressoRifiutato::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
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
    case QEvent::TabletRelease:
        break;
    case QEvent::Close:
        if (watched != schermo_)
            return false;
        event->ignore();
        return true;
    default:
        return false;
    }
    const auto *widget = qobject_cast<QWidget *>(watched);
    return widget && widget->window() == schermo_;
}

}  // namespace uimain
