#include "ui/tables/controls.h"

#include "ui/main/screen.h"

#include <QLabel>
#include <QLineEdit>
#include <QPalette>

namespace uitables {

QLabel *Etichetta(QWidget *parent, const char *name, const QString &caption, int left, int top, int width,
                  int height)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    uimain::PosizionaTwips(label, left, top, width, height);
    return label;
}

QLineEdit *Casella(QWidget *parent, const char *name, int left, int top, int width, int height)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    uimain::PosizionaTwips(edit, left, top, width, height);
    return edit;
}

QLabel *Decodifica(QWidget *parent, const char *name, const QString &caption, int left, int top, int width,
                   int height)
{
    QLabel *label = Etichetta(parent, name, caption, left, top, width, height);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, uimain::ColoreRosso);
    label->setPalette(p);
    return label;
}

}  // namespace uitables
