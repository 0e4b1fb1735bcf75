#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <vector>

namespace dao {
class Database;
class Recordset;
}

namespace platform {
class RuntimeError;
}

// The register of flows: the archive table Corbix, one row for every flow
// produced and one for every answer stored. Every procedure here opens the
// archive at PercorsoArchivio itself and closes it before returning; opened
// while a caller holds a transaction on the archive, it works inside it.
namespace flowengine {

// Posizione: the list a row belongs to.
constexpr int PosizioneNumerato = 0;  // just numbered, turned into 3 within the same composition
constexpr int PosizioneInviati = 3;   // a composed flow: the list of the main window
constexpr int PosizioneRisposta = 4;  // the stored answer of the flow with the same Data and Progressivo

// Stato of a flow row.
constexpr int StatoNumerato = 0;
constexpr int StatoProdotto = 1;
constexpr int StatoControlloPositivo = 2;
constexpr int StatoRispostaPervenuta = 3;
constexpr int StatoControlloNegativo = 4;
constexpr int StatoRispostaElaborata = 5;

// Tipo: how the flow travels (0 on answer rows and just-numbered rows).
constexpr int TipoSupportoMagnetico = 1;
constexpr int TipoTelematico = 2;

// One register row. A caller sets the key (Data, Posizione, Progressivo) and
// has the rest loaded with CaricaCorbex.
struct DatiCorbex {
    QDate Data;
    quint8 Posizione = 0;
    qint32 Progressivo = 0;
    QString NomeFile;
    QString CompostoDa;
    qint16 Stato = 0;
    qint16 Tipo = 0;
    QString RifFloppy;
    QString FattoDa;
    qint16 OK = 0;
    qint16 KO = 0;
    qint16 ND = 0;

    bool operator==(const DatiCorbex &) const = default;
};

// Loads the row whose key the record holds. True when there is NO such row:
// the record is then left exactly as it was, and a caller that goes on to act
// on the flow must stop. A Null counter leaves the record's counter as it was.
// Database errors reach the caller.
bool CaricaCorbex(DatiCorbex &flow);

// Fills the record with the current row of a recordset on Corbix, key
// included, as CaricaCorbex reads it: a Null text is empty, a Null counter
// leaves the record's counter as it was.
void LeggiCorbex(const dao::Recordset &rs, DatiCorbex &flow);

// Whether the register row of the record's key still holds every value of
// the record (a flow as a list showed it): false when it is gone, or was
// changed, or another flow was filed under its date and number. Run inside
// the transaction that acts on the row, it holds until that commits.
// Database errors reach the caller.
bool CorbexComeElencato(const DatiCorbex &elencato);

// Makes every declaration named in a composition list free for composition
// again (IndiceDoc.Stato1 = 0), all of them or, after a failure, none; a
// declaration no longer in IndiceDoc is passed over. Errors reach the caller.
void RilasciaDocumenti(QString elenco);

enum class EsitoEliminazione {
    Eliminata,     // the row is gone, with its archive copy
    NonElencata,   // the register row no longer holds the record's values: nothing changed
    Fallita,       // a failure, told to the user: nothing changed
};

// Deletes the flow's register row and, with rilasciaDocumenti, first releases
// the declarations of its CompostoDa, in one transaction of the archive, and
// only while the row still holds every value of the record (the flow as the
// list showed it, compared inside that transaction); the flow's archive copy
// (NomeFile, when it names a file inside the collection point's "Corbix
// inviati") is removed only once that has committed; a file anywhere else is
// kept. The flow's answer row and stored answer stay. A failure is shown to
// the user ("Errore di Run-time " with number and description); it, and a row
// that no longer holds the record's values, leave the register, the
// declarations and the file as they were.
EsitoEliminazione EliminaCorbex(const DatiCorbex &flow, bool rilasciaDocumenti = false);

// The description of a declarant; empty when the code has no Spedoga row.
QString DescrizioneSpedoga(const QString &codice);

// The key of the status icon of the list of flows; empty for a state that
// has none.
QString IconaStato(qint16 stato, qint16 tipo);

// A file the register names (a flow's copy, a stored answer), by its name as
// stored: its host path, or its bytes. A file that cannot be found or read
// raises the error met, its description followed by " ('" + the name + "')",
// so that the user is told which file is missing.
QString FileRegistrato(const QString &nome);
QByteArray LeggiFileRegistrato(const QString &nome);

// Writes, into the register, the collection point moved from the path da to
// the path a (each with its closing "\"): every NomeFile under da, found
// without regard to letter case, is put under a. Runs inside the caller's
// transaction on the archive db.
void SpostaNomiRegistro(dao::Database &db, const QString &da, const QString &a);

}  // namespace flowengine
