#pragma once

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>
#include <utility>

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

// The records of the flow file as sent, found by their record code
// (columns 2-9, trimmed) and reference (columns 15-20): read once for a
// whole listing, so that each error finds its record without going through
// the whole flow again.
class RecordInviati {
public:
    explicit RecordInviati(const QStringList &righeCorbex);

    // The lines of that code and reference, in the file's order.
    const QStringList &righe(const QString &codice, const QString &riferimento) const;

private:
    QHash<std::pair<QString, QString>, QStringList> righe_;
};

// The content of field campo of the record the flow sent for the declaration
// of reference riferimento (6 characters), message code codiceMsg and
// article articolo. A further article is sought among the records of code
// codiceMsg + "1" by its article-number field, looked up in the record
// layouts of programma. Empty when no record or no such field is found.
QString CercaRecordInviato(const RecordInviati &corbex, const QString &codiceMsg, const QString &riferimento,
                           int articolo, int campo, dao::Database &programma);

}  // namespace uitransmission
