#pragma once

#include "common/globals.h"
#include "flowengine/flowwriter.h"
#include "flowengine/journal.h"
#include "flowengine/register.h"
#include "flowengine/reservation.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace dao {
class Database;
}

// What the composition of a flow decides and writes, apart from its screens:
// the checks of the folder step, the search of the declarations that may
// still be sent, the selection text, the envelope record, the file names, and
// the filing of a built flow in the collection point and in the register.
namespace uimain {

using common::TitoloApplicazione;

// ---------------------------------------------------------------- fields

// The colour a check gives a field.
enum class Colore { Invariato, Rosso, Giallo };

// The value of a progressive number: a whole number from 0 to 99, with a "+"
// allowed in front, blanks around it ignored; nothing otherwise.
std::optional<int> ProgressivoValido(const QString &text);

// The office code as its field keeps it while typed: trimmed, at most 6
// characters.
QString UfficioDigitato(const QString &text);

// Whether a folder text names an existing folder; an empty or blank text, or
// one whose drive is not ready, names none.
bool CartellaEsiste(const QString &folder);

// Whether a file name made from stored or typed codes is a name inside its
// folder (not empty, not ".", no separator, no "..", no control character);
// otherwise the user is told and false comes back.
bool NomeFileValido(const QString &name);

// ---------------------------------------------------------------- folder step

struct CampiPasso4 {
    QString ufficio;      // the office code typed
    QStringList uffici;   // the office list, in list order
    QString progressivo;  // the progressive number typed
    QString cartella;     // the destination folder as typed
};

struct EsitoPasso4 {
    bool superato = false;
    Colore ufficio = Colore::Invariato;
    Colore progressivo = Colore::Invariato;
    Colore cartella = Colore::Invariato;
    QString percorso;  // when passed: the folder in its drive form
};

// The checks of "&Fine" on the folder step that need no archive, in their
// order, each shown to the user when it fails; the first failure stops them.
// A folder typed as a host path is taken in its drive form; one that no
// entry of the drive table holds is refused as a folder that does not exist.
EsitoPasso4 VerificaPasso4(const CampiPasso4 &campi);

// The key of a register row of a flow.
struct ChiaveCorbex {
    QDate data;
    qint32 progressivo = 0;
    int posizione = flowengine::PosizioneInviati;
    // A folder-step reservation: the lock that keeps it from the start-up
    // sweep, held while any copy of the key lives.
    std::shared_ptr<flowengine::BloccoRiservazione> blocco;
};

// The last check and the reservation: when no register row of the date
// carries the number, the folder flow's row is added (Posizione 3, Stato 1,
// Tipo 2, FattoDa the declarant) under the same lock that read the day's
// rows, the reservation's own lock taken first. The key of the row reserved
// with that lock, to be kept until the run ends, or nothing when the number
// is used (or held by another wizard), the register cannot be opened or the
// row cannot be stored (the user is told).
std::optional<ChiaveCorbex> RiservaRiga(const QDate &data, int progressivo, const QString &dichiarante);

// Deletes the register row of the key, waiting up to a minute for a lock,
// then gives up the reservation's lock. False when it could not be reached
// (the user is told).
bool EliminaRiga(const ChiaveCorbex &chiave);

// ---------------------------------------------------------------- lists

// What the wizard's first and folder steps choose from.
struct ElenchiComposizione {
    QStringList dichiaranti;  // the declarant codes, by code
    QStringList uffici;       // the office codes, in the archive's order
};

// Reads the wizard's lists from the archive; database errors reach the
// caller.
ElenchiComposizione LeggiElenchi();

// ---------------------------------------------------------------- search

// A declaration listed by the search.
struct DichiarazioneTrovata {
    QDate data;
    qint32 indice = 0;
    QString riferimento;  // the last 7 characters of its classification
    QString tipo;         // its first 2 characters, such as "C1"
};

// The wanted types of the four type boxes, in the order the search compares
// them: C2, C9, C1, C7.
QStringList TipiRichiesti(bool export_, bool exportSemplificato, bool importazione, bool inDeposito);

// How many candidates the search reads with one query: the caller hears of
// the advance at least between two of them.
constexpr qint64 CandidatiPerFetta = 1000;

// The declarations that may still be sent (ultimadata on or before today,
// Stato1 neither 1 nor 2), of the declarant and of one of the types, by date
// and index. avanzamento, when given, hears the total of candidates and then
// each one's position.
QList<DichiarazioneTrovata> CercaDichiarazioni(const QString &dichiarante, const QStringList &tipi,
                                               const QDate &oggi,
                                               const std::function<void(qint64 posizione, qint64 totale)> &avanzamento = {});

// ---------------------------------------------------------------- selection text

// The selection text: the kind, the declarant in 16 characters, the count and
// one "yyyy/mm/dd-nnnnnnnnn" line per ticked declaration, every line ended by
// CR LF. ticks holds one "1" or "0" per declaration, in their order.
QString ElencoSelezionate(const QString &kind, const QString &dichiarante, const QList<DichiarazioneTrovata> &righe,
                          const QString &ticks);

// The declarant of a selection text, trimmed.
QString DichiaranteDiSelezione(const QString &selezione);

// ---------------------------------------------------------------- envelope

// The envelope's file name: the login in 4 characters, upper case, the date
// as mmdd, ".T" and the progressive number in 2 digits.
QString NomeFileBusta(const QString &login, const QDate &data, int progressivo);

// The 75-character envelope record of a folder flow of righe lines.
QString RecordBusta(const QString &login, const QDate &data, int progressivo, const QString &ufficio,
                    const QString &dichiarante, qint64 righe);

// Puts the envelope record in front of the built folder flow fileCorbex (a
// Windows path), rewriting it whole with CR LF line ends: the login is the
// declarant's EDI account at the C.E.D. of the office's compartment. False,
// the file untouched, when the archive links no C.E.D. to the office, the
// declarant has no account there, or the envelope's name is not a file name
// (the user is told); database and file errors reach the caller. The
// journal, when given, notes the rewrite's temporary before it is made and
// its identity once it is, which the rewritten flow keeps.
bool ImbustaCorbex(const QString &fileCorbex, const QDate &data, int progressivo, const QString &ufficio,
                   const QString &dichiarante, flowengine::GiornaleLavoro *giornale = nullptr);

// Whether a folder flow sent by that channel carries the envelope record:
// asked at each sending or Internet/Intranet; any other number stored in the
// options sends it bare.
bool ConBusta(common::CanaleInvio canale);

// The file name of a folder flow's copy in its folder: the envelope's file
// name (columns 17-28 of the built flow's first line) when the channel
// carries the envelope; otherwise the date as yymmdd, the number in 2
// digits, "-" and the office.
QString NomeCopiaCartella(const QString &primaRiga, common::CanaleInvio canale, const QDate &data,
                          const QString &progressivo, const QString &ufficio);

// ---------------------------------------------------------------- filing

// Writes the lines of a built flow, each ended by LF, on the removable
// medium under the first free name PRATICHE.nnn, taken exclusively through
// its temporary, which the journal notes; the filing gives it its name.
// The name, or empty when every name is taken; the medium's errors reach the
// caller.
QString ScriviSulSupporto(const QByteArray &righe, flowengine::GiornaleLavoro &giornale);

// What the wizard asks for, each fact once: the flow to compose.
struct RichiestaCorbex {
    flowengine::Destinazione DestinazioneCorbex = flowengine::Destinazione::Cartella;
    QDate data;              // the day of the composition
    QString dichiarante;     // the declarant chosen
    QString TestoSelezione;  // the selection text
    // Folder flows only.
    ChiaveCorbex riservata;
    QString cartella;
    int progressivo = 0;
    QString ufficio;
};

// What the build and its write give back: a built flow to be filed, with
// every file the run made.
struct ProdottoCorbex {
    bool CorbexScritto = false;  // whether the flow was written where it goes
    QString FileTemporaneo;      // the built flow in TEMP
    QString fileErrori;          // the build's error log beside it, when there is one
    QStringList fileCostruiti;   // every file the build made in TEMP, the two above included
    QString FileSupporto;        // the name written on the medium, still under its temporary
    std::shared_ptr<flowengine::GiornaleLavoro> giornale;  // the journal that notes it
    QString ElencoComposizione;  // the composition list
};

// Files a built flow: the copy for its folder (folder flows) and the archive
// copy in "Corbix inviati" are written first, whole, under their temporary
// names, noted with the archive name in the run's journal (the medium's, when
// the flow was written on a medium); then, in one transaction, the
// declarations are marked as sent and the register row is completed (folder)
// or numbered and written (removable medium); only then do the files (the
// medium's too) take their names, and the built flow is removed from TEMP.
// The message that names the medium's file follows its naming, so that it
// never names a file the medium does not hold.
// Inside the transaction every declaration of the flow that still has its
// index row must still be free; when another flow took one meanwhile, the
// user is told which, and nothing is filed. On any failure before the commit
// the user is told (any other failure as "Errore di Run-time"), the
// declarations stay free, the temporaries are removed, a reserved row is
// deleted and the built flow stays in TEMP, unless the disk or the system
// refused a write: then every file the build made goes too. A name that
// cannot be taken after the commit (a medium taken out: the drive's error) is
// told; the flow stays filed, the run's journal stays, and the next start-up
// gives the name. A folder flow's reservation lock is given up once its row is
// completed or deleted. Returns the archive name, or nothing on failure.
std::optional<QString> ArchiviaCorbex(const RichiestaCorbex &richiesta, const ProdottoCorbex &prodotto);

// "Errore di Run-time " with the number, CR LF and the description, critical,
// with the application's title.
void MostraErroreRunTime(int numero, const QString &descrizione);

}  // namespace uimain
