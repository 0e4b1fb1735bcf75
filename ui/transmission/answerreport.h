#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace dao {
class Database;
}

// The explanatory report of a processed answer: one listing of the
// declarations accepted, with their validation and customs-account data,
// printed landscape, and one of the declarations refused, each error decoded
// into the record-layout field it concerns and what the flow sent held in it,
// printed portrait. Each listing is a document of its own on the page printer
// in use, laid out in millimetres from the printable area's top-left corner.
namespace uitransmission {

// What the report reads of the flow: its key, printed in the page headers,
// the flow file as sent, its composition list and the stored answer file
// (both files as the register names them).
struct DatiTabulato {
    QDate Data;
    qint32 Progressivo = 0;
    QString FileCorbex;
    QString CompostoDa;
    QString FileRisposta;
};

// The listings. Everything they read is read before the first page, so a
// missing or unreadable file prints nothing; any failure is shown to the
// user, and a document begun is ended.
void StampaEsitiPositivi(const DatiTabulato &tabulato);
void StampaEsitiNegativi(const DatiTabulato &tabulato);

// A page header; the position of the page's first row is returned (57 for
// the positive listing, 55 for the negative one). ditta is the company name.
qint16 StampaTestataPositivi(qint16 pagina, const DatiTabulato &tabulato, const QString &ditta);
qint16 StampaTestataNegativi(qint16 pagina, const DatiTabulato &tabulato, const QString &ditta);

// The ruled grid of one page, its first row at alto and its last at basso.
void TracciaGrigliaPositivi(double alto, double basso);
void TracciaGrigliaNegativi(double alto, double basso);

// The content of field campo of the record the flow sent for the declaration
// of reference riferimento (6 characters), message code codiceMsg and
// article articolo; righeCorbex are the lines of the flow file. A further
// article is sought among the records of code codiceMsg + "1" by its
// article-number field, looked up in the record layouts of programma. Empty
// when no record or no such field is found.
QString CercaRecordInviato(const QStringList &righeCorbex, const QString &codiceMsg, const QString &riferimento,
                           int articolo, int campo, dao::Database &programma);

}  // namespace uitransmission
