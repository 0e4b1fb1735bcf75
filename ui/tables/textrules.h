#pragma once

#include <QChar>
#include <QString>
#include <QVariantList>
#include <utility>
#include <vector>

// The rules of the table screens that work on texts alone: the search by
// example, the lines of a box, the data control's caption and the plain
// checks of a typed code or number.
namespace uitables {

// A filter of the browse: the condition text with "?" in place of each
// typed value, and the values, in order.
struct CondizioneRicerca {
    QString testo;
    QVariantList valori;
    bool operator==(const CondizioneRicerca &) const = default;
};

// The search by example: for each column whose text is not empty, in the
// order given, "JetLike(Column, ?)" with the text as typed between the
// pattern's "*"; the clauses joined by " AND ". The typed text is a bound
// value, so a quote in it is only a character to look for, and "%" and "_"
// are letters like any other.
CondizioneRicerca ClausolaRicerca(const std::vector<std::pair<QString, QString>> &colonneTesti);

// A stored text of several lines as its box shows it: each line end (CR LF,
// LF or a lone CR) a line break.
QString RigheMostrate(const QString &memorizzato);
// The text to store for what a box shows, given the stored text it was
// filled with: the lines kept at its start and at its end keep their own
// line ends, the others end with CR LF. An unchanged text comes back whole.
QString RigheDaScrivere(const QString &memorizzato, const QString &mostrato);

// The data control's caption: "3/12" for the third of twelve rows; empty
// without rows.
QString DidascaliaPosizione(int posizione, int conteggio);

// A code of exactly the given length whose every character lies between
// da and a.
bool CodiceFisso(const QString &testo, int lunghezza, QChar da, QChar a);

// The leading number of a text: blanks skipped, a sign, digits and one "."
// read up to the first other character; 0 when there is none.
double ValoreIniziale(const QString &testo);

// A whole number written plainly: the text is its leading number cut to whole
// units, with no blank, sign, leading zero or decimal, and that number lies
// between minimo and massimo.
bool InteroSemplice(const QString &testo, double minimo, double massimo);

}  // namespace uitables
