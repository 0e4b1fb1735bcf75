#pragma once

#include <QString>

class QLabel;
class QLineEdit;
class QWidget;

namespace uitables {

// The controls of a screen, placed in twips inside their parent.
QLabel *Etichetta(QWidget *parent, const char *name, const QString &caption, int left, int top, int width,
                  int height);
QLineEdit *Casella(QWidget *parent, const char *name, int left, int top, int width, int height = 300);
// A decode label: red text beside its field.
QLabel *Decodifica(QWidget *parent, const char *name, const QString &caption, int left, int top, int width,
                   int height = 255);

}  // namespace uitables
