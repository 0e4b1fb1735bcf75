#pragma once

#include "flowengine/decimale.h"
#include "platform/dao/database.h"

#include <QDate>
#include <QString>
#include <functional>
#include <memory>

// The write-back of an answer's outcomes into the declarations' boxes
// (DettaglioBol) and their state (IndiceDoc). Each procedure opens the archive
// at PercorsoArchivio and works inside the transaction its caller holds on it,
// so that the caller writes back one answer for every declaration or for none;
// its own writes are all made or, after a failure, none. Database errors
// reach the caller.
namespace flowengine {

// A declaration accepted by customs, from the answer's outcome record.
struct EsitoPositivo {
    QString RifRegistro;   // two-character register code of the registration
    QString RifCodice;     // second code of the registration (not written)
    QString RifNumero;     // registration number, decimal digits
    QString RifControllo;  // the character after the registration number
    QDate RifData;         // registration date
    QString ContoNumero;   // customs account number; empty without an account
    QString ContoLettera;  // the character after the account number; empty without an account
    qint32 A93Numero = 0;  // the deferred-payment document
    QDate Scadenza1;
    QDate Scadenza2;
    // The taxes by payment method "G", "F" and "A", added up by ScriviCasellaB.
    Decimale TotaleG;
    Decimale TotaleF;
    Decimale TotaleA;
};

// One error that customs reported on a declaration.
struct ErroreRisposta {
    qint16 ArticoloErrore = 0;     // the article it refers to
    QString CodiceErrore;          // characters 1-2 the first mask, 3-4 the second; "ENI" for none
    qint16 RipetizioneErrore = 0;  // occurrence of the field; below 1 when not given
};

// Writes box B of the front sheet of an accepted declaration: the
// registration, and the account with its due dates (deferred payment) or the
// amount collected, in the existing "0B" rows, at most seven. Sets the
// outcome's totals. The result is always 0.
qint16 ScriviCasellaB(qint32 indice, const QDate &data, EsitoPositivo &esito);

// Marks the boxes that one error names as not correct (through the record
// layout codiceMsg of the program database) and makes the declaration free
// for composition again when it was in a flow. An error "ENI", an empty code
// or one that no record layout row names changes nothing. A repetition below
// 1 is set to -1.
void SegnalaErroriCaselle(qint32 indice, const QDate &data, ErroreRisposta &errore, const QString &codiceMsg);

// The write-back of every outcome of one answer, inside the one transaction
// that the caller holds on the archive for the whole run: an answer holds
// thousands of outcomes, so no outcome takes a transaction of its own, each
// statement is prepared once for the run, and every row is read and written
// by its key. A failure reaches the caller, whose transaction undoes the run.
class ScritturaEsiti {
public:
    // programma gives the program database when a marking first needs it.
    ScritturaEsiti(dao::Database &archivio, std::function<dao::Database()> programma);
    ~ScritturaEsiti();
    ScritturaEsiti(const ScritturaEsiti &) = delete;
    ScritturaEsiti &operator=(const ScritturaEsiti &) = delete;

    // As the procedures above, in the run's archive and transaction.
    qint16 ScriviCasellaB(qint32 indice, const QDate &data, EsitoPositivo &esito);
    void SegnalaErroriCaselle(qint32 indice, const QDate &data, ErroreRisposta &errore, const QString &codiceMsg);

private:
    struct Istruzioni;
    std::unique_ptr<Istruzioni> istruzioni_;
};

}  // namespace flowengine
