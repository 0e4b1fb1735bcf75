#pragma once

#include <QDate>
#include <QString>
#include <vector>

// Reading back what the flow writer produced: one field of a flow line, and
// the composition list of a flow (its CompostoDa) as one record per
// declaration.
namespace flowengine {

// One declaration of a flow.
struct DocumentoCorbex {
    QDate Data;
    qint32 Indice = 0;
    QString Rif;  // the customs reference as the composition list holds it
};

// The numeric value of a text as a declaration's Indice (a Long): rounded to
// the nearest whole number, a half to the even one; error 6 (Overflow)
// outside the Long range.
qint32 IndiceDaTesto(const QString &testo);

// Field n of a line of kind "T": fields 1 to 6 are the parts of the 22-character
// prefix, the first TAB-delimited value is field 7. The value trimmed of
// spaces; empty when the line has no such field. Any other kind is told to
// the user and gives an empty text.
QString LeggiCampoInterchange(const QString &riga, const QString &tipoRiga, int numeroCampo);

// Parses a composition list (lines "Indice-dd/mm/yyyy-Rif" separated by
// CR LF, the last one possibly without) into documenti, and returns the number
// of records. An empty line is skipped; a list without records leaves
// documenti as it was. A date part that is not a date raises 13.
int LeggiCompostoDa(std::vector<DocumentoCorbex> &documenti, const QString &elenco);

}  // namespace flowengine
