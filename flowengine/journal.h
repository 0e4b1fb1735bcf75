#pragma once

#include "platform/filewriters.h"

#include <QString>
#include <QStringList>
#include <sys/stat.h>

// The journal of a run that files flows or answers. Such a run writes its
// files whole under temporary names (common::nomeTemporaneo) and gives them
// their final names only once the archive's transaction has committed; a
// crash in between would leave temporaries that only this run knows of. So,
// before each temporary and before the transaction, the run notes them in a
// small file of the collection point's TEMP folder, and start-up finishes
// what an interrupted run left (SistemaLavoriInterrotti). Names are noted in
// their drive form ("C:\Corbix\Corbix inviati\20260115-0"), resolved
// through the drive table of the workstation that reads them; the journal's
// own file name carries the workstation's name, and only that workstation
// finishes it.
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
    // Makes the journal in the collection point's TEMP folder (76 when the
    // folder is missing, 75 when it cannot be opened, the file error of the
    // step that failed when the journal cannot be created), waiting for a
    // sweep that is going on to end.
    GiornaleLavoro();
    // The journal goes once every temporary it names is gone (named or
    // deleted) from a folder that can be reached; otherwise it stays for the
    // next start-up, its work files taken back first, since a run that ends
    // keeps them.
    ~GiornaleLavoro();
    GiornaleLavoro(const GiornaleLavoro &) = delete;
    GiornaleLavoro &operator=(const GiornaleLavoro &) = delete;

    // Notes the temporary of the file named (drive form) before it is made
    // (61 for lack of space, 70 for a refused permission, 75 for another
    // fault of the write, the drive's error when the name cannot be
    // resolved).
    void annota(const QString &nome, Destino destino);
    // Notes the identity of the temporary just made for a noted name, before
    // any byte is written to it (the errors of annota).
    void identifica(const QString &nome, const struct stat &identita);
    // What tells a whole-file writer's creation of the temporary for a noted
    // name to identifica.
    platform::CreatedFile identificatore(const QString &nome);
    // Notes a work file of the run in TEMP under its own name (the built
    // flow, its error log, its work file) with its identity, once it is
    // made: kept when the run ends, whatever its end, deleted when the run
    // was stopped dead (the errors of annota).
    void annotaLavoro(const QString &nome, const struct stat &identita);
    // Takes back the note of a temporary that was not made because another
    // run holds that name.
    void ritira(const QString &nome);
    // Removes a work file of the run, its note taken back first, so that a
    // file another run makes under the freed name is never this run's; the
    // note names the file as it is removed, so that a stop in between still
    // finds it. A journal that cannot be written does not keep the file.
    void rimuovi(const QString &nome);
    // Notes the file name the register holds once the run has committed:
    // noted before the transaction starts.
    void registra(const QString &nomeFile);

private:
    void scrivi(const QByteArray &riga);

    QString host_;
    platform::CheckedFile file_;
    int cartella_ = -1;  // the TEMP folder, held with a shared lock
    QStringList annotati_;  // host paths of the files noted
    QStringList lavoro_;    // the work files noted, by their noted names
};

// The start-up sweep, inside an exclusive lock on the collection point's
// TEMP folder (nothing is done while a run holds it). For each journal this
// workstation left there by a run that no longer runs, the temporaries of a
// committed run take their names and the others are deleted; a temporary in
// "Corbix inviati" or "Risposte Pervenute" that no journal names takes its
// name when the register holds a file of that name there, and is deleted
// otherwise; a folder-step reservation of a day before today (Posizione 3,
// Tipo 2, Stato 1, NomeFile Null, CompostoDa and RifFloppy empty) is removed from
// the register when no wizard holds its lock (BloccoRiservazione), and the
// lock files no wizard holds go.
//
// A journal's line is acted on only inside the places the program writes
// to: the collection point's sub-folders and the removable medium's root; on
// the EDI service's shares, a temporary is only ever deleted. A file there is
// replaced only where the run would have replaced it: the register's name (a
// stored answer). A flow's destination copy, wherever it lies, is proved the
// run's by its bytes: a committed run's temporary is named, replacing the
// file there, only when its file name is the envelope's (columns 17-28 of the
// first line of the archive copy the run's register row names) and its
// lines are those of that archive copy; an uncommitted run's temporary is
// deleted when it is the file the run made (its identity noted), or, outside
// the program's folders, when its bytes are those of a folder copy (LF line
// ends) of a file the run made there: its archive-copy temporary or a work
// file, whole or as far as a crash let the run write them. Every other
// temporary (the medium's copy, the share's, the collection point's) is
// named or deleted only while it is the file the run made; the archive copy
// the register names is named as the register holds it. A name the run
// noted and never made is left alone, and so is a file proved by its bytes
// alone while another workstation's journal notes its name; so is a line
// naming anything else, or torn by a crash, with its journal. Only files with the temporary mark are touched, and the
// work files the run made in TEMP: those of a run stopped dead are deleted
// (a run that ended took their notes back), as is a file the run was
// removing when it stopped, while it is still the one it removed. A journal
// of the previous version, with no identities, has only its registered
// archive copy named and its destination copies proved by their bytes. A
// step that fails leaves its journal for the next start-up; nothing is
// shown.
void SistemaLavoriInterrotti();

// Removes the files a build made in TEMP (drive form; an empty name is
// none), through the run's journal when there is one: every place that
// gives a build's files up goes through here. A drive gone leaves nothing
// of them to reach.
void RimuoviFileCostruiti(const QStringList &nomi, GiornaleLavoro *giornale);

}  // namespace flowengine
