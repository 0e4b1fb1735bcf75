#pragma once

#include <QFile>
#include <QString>
#include <QStringList>

// The journal of a run that files flows or answers. Such a run writes its
// files whole under temporary names (common::nomeTemporaneo) and gives them
// their final names only once the archive's transaction has committed; a
// crash in between would leave temporaries that only this run knows of. So,
// before each temporary and before the transaction, the run notes them in a
// small file of the collection point's TEMP folder, and start-up finishes
// what an interrupted run left (SistemaLavoriInterrotti).
//
// While a run is going on it holds a shared lock on the TEMP folder; the
// start-up sweep takes it exclusively, so it never touches a run that another
// workstation has in hand.
namespace flowengine {

// What becomes of a noted temporary.
enum class Destino {
    Esclusivo,    // takes its name once the run commits, never over a file there
    Sostituisce,  // takes its name once the run commits, replacing a file there
    Scarta,       // never takes a name: a leftover is deleted
};

class GiornaleLavoro {
public:
    // Makes the journal in the collection point's TEMP folder (75 or 76 when
    // it cannot be made), waiting for a sweep that is going on to end.
    GiornaleLavoro();
    // The journal goes once every temporary it names is gone (named or
    // deleted); otherwise it stays for the next start-up.
    ~GiornaleLavoro();
    GiornaleLavoro(const GiornaleLavoro &) = delete;
    GiornaleLavoro &operator=(const GiornaleLavoro &) = delete;

    // Notes the temporary of the file at the host path before it is made
    // (75 when the note cannot be written).
    void annota(const QString &host, Destino destino);
    // Takes back the note of a temporary that was not made because another
    // run holds that name.
    void ritira(const QString &host);
    // Notes the file name the register holds once the run has committed:
    // noted before the transaction starts.
    void registra(const QString &nomeFile);

private:
    void scrivi(const QByteArray &riga);

    QString host_;
    QFile file_;
    int cartella_ = -1;  // the TEMP folder, held with a shared lock
    QStringList annotati_;
};

// The start-up sweep: for each journal left in the collection point's TEMP
// folder by a run that no longer runs, the temporaries of a committed run
// take their names and the others are deleted; a temporary in "Corbix
// inviati" or "Risposte Pervenute" that no journal names takes its name when
// the register holds a file of that name there, and is deleted otherwise; a
// folder-step reservation (NomeFile Null) of a day before today is removed
// from the register. Only files with the temporary mark are touched. A step
// that fails leaves its journal for the next start-up; nothing is shown.
void SistemaLavoriInterrotti();

}  // namespace flowengine
