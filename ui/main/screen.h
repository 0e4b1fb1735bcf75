#pragma once

#include <QColor>
#include <QIcon>
#include <QWidget>

// What the screens of composition share: positions and sizes given in twips,
// and the colours input fields show their state by.
namespace uimain {

inline const QColor ColoreFuoco(0, 255, 255);
inline const QColor ColoreRosso(255, 0, 0);
inline const QColor ColoreGiallo(255, 255, 0);

// The field's background; an invalid colour gives the window colour back.
void ImpostaColore(QWidget *field, const QColor &colour = QColor());

// The application's icon, which every window shows.
QIcon IconaApplicazione();

// Places a control, in twips relative to its parent.
void PosizionaTwips(QWidget *control, int left, int top, int width = -1, int height = -1);

// The bottom edge of a control in twips: where a control placed below it
// starts, less its margin.
int basso(const QWidget *control);

}  // namespace uimain
