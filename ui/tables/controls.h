#pragma once

#include <QString>

#include <functional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace uitables {

// The controls of a screen, placed in twips inside their parent.
QLabel *Etichetta(QWidget *parent, const char *name, const QString &caption, int left, int top, int width,
                  int height);
QLineEdit *Casella(QWidget *parent, const char *name, int left, int top, int width, int height = 300);
// A decode label: red text beside its field.
QLabel *Decodifica(QWidget *parent, const char *name, const QString &caption, int left, int top, int width,
                   int height = 255);

// A box of several lines that holds at most massimo characters as misura
// counts them: what is typed or pasted is taken at the caret only as far as
// it fits, the rest of it refused; nothing already in the box moves or is
// dropped, and the caret stands after what was taken.
void LimitaLunghezza(QPlainTextEdit *casella, qsizetype massimo, std::function<qsizetype(const QString &)> misura);

}  // namespace uitables
