#include "platform/twips.h"
#include "ui/main/screen.h"

#include <QApplication>
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

int basso(const QWidget *control) { return platform::toTwips(control->y() + control->height()); }

}  // namespace uimain
