#include "ui/tables/controls.h"

#include "ui/main/screen.h"

#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <memory>
#include <utility>

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

void LimitaLunghezza(QPlainTextEdit *casella, qsizetype massimo, std::function<qsizetype(const QString &)> misura)
{
    // Where the last change put its characters, told by the document before
    // the box announces the new text.
    struct Inserimento {
        int posizione = 0;
        int aggiunti = 0;
    };
    auto ultimo = std::make_shared<Inserimento>();
    QObject::connect(casella->document(), &QTextDocument::contentsChange, casella,
                     [ultimo](int posizione, int, int aggiunti) { *ultimo = {posizione, aggiunti}; });
    QObject::connect(casella, &QPlainTextEdit::textChanged, casella, [casella, massimo, misura, ultimo] {
        const Inserimento inserito = std::exchange(*ultimo, Inserimento{});
        const QString testo = casella->toPlainText();
        if (inserito.aggiunti <= 0 || misura(testo) <= massimo)
            return;
        const int inizio = std::min(inserito.posizione, int(testo.size()));
        const int fine = std::min(inserito.posizione + inserito.aggiunti, int(testo.size()));
        // The longest start of the inserted characters that fits.
        int preso = 0;
        for (int alto = fine - inizio; preso < alto;) {
            const int prova = (preso + alto + 1) / 2;
            if (misura(testo.left(inizio + prova) + testo.mid(fine)) <= massimo)
                preso = prova;
            else
                alto = prova - 1;
        }
        QTextCursor taglio(casella->document());
        // One step with the typing, so an undo takes both back together.
        taglio.joinPreviousEditBlock();
        taglio.setPosition(inizio + preso);
        taglio.setPosition(fine, QTextCursor::KeepAnchor);
        taglio.removeSelectedText();
        taglio.endEditBlock();
        QTextCursor cursore = casella->textCursor();
        cursore.setPosition(inizio + preso);
        casella->setTextCursor(cursore);
    });
}

}  // namespace uitables
