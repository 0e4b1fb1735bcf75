#pragma once

#include "platform/dao/database.h"

#include <QAnyStringView>
#include <QByteArrayView>
#include <QDate>
#include <QIODevice>
#include <QString>
#include <compare>
#include <optional>
#include <utility>
#include <vector>

// The flow-file writer: the declarations of a selection turned into the
// article lines of one flow file, laid out by the record layouts of the
// program database, with an error log of the declarations it refuses.
namespace dao {
class Recordset;
}
struct sqlite3_stmt;

namespace flowengine {

class GiornaleLavoro;

// What the writer tells the screen that runs it, after each change; each
// step does nothing unless its listener has something to do there.
class AvanzamentoCorbex {
public:
    virtual ~AvanzamentoCorbex() = default;
    // Before the first declaration: whether errors are counted (the
    // preventive check) and how many declarations the selection announces;
    // that count may be 0.
    virtual void preparazione(bool /*controlloPreventivo*/, int /*numeroDichiarazioni*/) {}
    // The declaration about to be read.
    virtual void dichiarazioneInCorso(qint32 /*indice*/, const QDate & /*data*/) {}
    // The declaration lines dealt with so far, whatever became of them.
    virtual void avanzamento(int /*elaborate*/) {}
    // The total of error lines, after each one.
    virtual void numeroErrori(int /*totale*/) {}
    // Whether the run is to stop: asked before each declaration, so that a
    // stop the caller's screen takes meanwhile ends the run there.
    virtual bool annullata() { return false; }
    // Each file of the run in the collection point's TEMP folder (the flow,
    // the work file, the error log, in that order), once it is made: a
    // caller that must remove them after a failure of the run knows them
    // from then on.
    virtual void fileCreato(const QString & /*nome*/) {}
};

// The boxes of one declaration, read with one query; a reference is looked
// up among them as the archive's queries compare texts, without regard to case.
class CaselleDichiarazione {
public:
    static CaselleDichiarazione leggi(dao::Database &archivio, const QDate &data, qint32 indice);
    // The boxes of one declaration of a query that reads several at once:
    // righe rows from the current one, whose columns from the given one on
    // are Articolo, Modulo, Campo, SottoCasella, Riga and Contenuto. The
    // recordset is left on the row after them.
    static CaselleDichiarazione daRighe(dao::Recordset &rs, int colonna, int righe);
    // The boxes as a statement gives them, one row at a time in any order:
    // the row it stands on, whose columns from the given one on are the
    // row's _rowid_, then Articolo, Modulo, Campo, SottoCasella, Riga and
    // Contenuto. completa() once the last row is in.
    void aggiungi(sqlite3_stmt *riga, int colonna);
    void completa();

    // The content (Null as empty) of the first row a five-character reference
    // addresses (module, box, sub-box, row); front-sheet rows ("F") whatever
    // their Articolo, article rows of the given article. Nothing when none.
    std::optional<QString> contenuto(const QString &riferimento, int articolo) const;

    struct Casella {
        QString campo, sottoCasella, contenuto;
    };
    // The front-sheet rows of the boxes the message result and the article
    // count are made of (CampiCodiceMsg and "05"), Campo and SottoCasella
    // upper-cased, ordered by Campo, in the archive's order within one box.
    const std::vector<Casella> &foglio() const { return foglioOrdinato_; }

private:
    // A row's module, box, sub-box and row upper-cased, a byte each (two for
    // the box, the sub-box and the row), with its article; only for texts
    // of ASCII characters that fit, which every box of the layouts has.
    struct Chiave {
        quint64 casella = 0;
        qint64 articolo = 0;
        auto operator<=>(const Chiave &) const = default;
    };
    // Where a row's content lies in testi_, and the row's place in the archive.
    struct Testo {
        qint64 ordine = 0;
        qsizetype inizio = 0, lunghezza = 0;
    };
    void aggiungi(qint64 ordine, bool senzaArticolo, qint64 articolo, QAnyStringView modulo, QAnyStringView campo,
                  QAnyStringView sottoCasella, QAnyStringView riga, QByteArrayView contenuto);
    QString testo(const Testo &t) const;

    // By key once complete, in the archive's order within one key.
    std::vector<std::pair<Chiave, Testo>> righe_;
    // The rows whose key does not fit, by their key as text, in the
    // archive's order within one key.
    std::vector<std::pair<QString, Testo>> altre_;
    QByteArray testi_;  // every content, UTF-8, one after the other
    std::vector<std::pair<qint64, Casella>> foglio_;  // with its place in the archive until complete
    std::vector<Casella> foglioOrdinato_;
};

// The message result of a declaration: its message code left-justified in 8
// characters and its customs reference, the last seven characters of box 07
// upper-cased (padded on the left with spaces when shorter, seven spaces when
// the box is missing); empty when no message code applies.
QString DeterminaCodiceMsg(dao::Database &archivio, const QDate &data, qint32 indice);
QString DeterminaCodiceMsg(const CaselleDichiarazione &caselle);
// The front-sheet boxes (Campo) the message result is made of: the boxes of
// a declaration read with only these rows give the same result.
const QStringList &CampiCodiceMsg();

// The contents addressed by the ";"-separated references, each without TAB
// and LF and followed by CR LF; a reference without a row adds nothing.
QString LeggiCaselleRif(dao::Database &archivio, const QDate &data, qint32 indice, const QString &riferimenti,
                        int articolo);
QString LeggiCaselleRif(const CaselleDichiarazione &caselle, const QString &riferimenti, int articolo);

// One line of the error log, ended by CR LF, in the ANSI code page.
void ScriviRigaErrore(QIODevice &file, const QString &tipoDocumento, const QDate &data, qint32 indice,
                      const QString &messaggio, const QString &dettaglio);

// "/articolo N° k" for an article field, empty for a front-sheet one.
QString EtichettaArticolo(const QString &riferimento, int articolo);

// The first free name FloppyDevice\PRATICHE.001 .. .999 on the removable
// medium; empty when all are taken.
QString NomeFilePratiche();

// Where a built flow goes (DestinazioneCorbex).
enum class Destinazione { Cartella = 1, Supporto = 2 };

// What a run of the writer gives back.
struct CorbexCreato {
    int errori = 0;  // the number of error lines
    // One "indice-dd/mm/yyyy-riferimento" line, ended by CR LF, per
    // declaration that went into the flow.
    QString ElencoComposizione;
    QString fileCorbex;  // the flow, in TEMP
    QString fileErrori;  // its error log beside it
    // The declaration work file, when it stays (it holds the last
    // declaration, refused); empty once removed.
    QString fileLavoro;

    // Every file the build made that is still there, as a run that gives
    // them up removes them.
    QStringList file() const;
};

// Writes the flow of the selection text (kind, reference, count and one
// "yyyy/mm/dd-Indice" line per declaration) into a new file of the collection
// point's TEMP folder, with the error log and the declaration work file beside
// it, and gives back their names. preventCheck runs the checks before each
// declaration (the option PreventCheck). The run stops before the next
// declaration once avanzamento says it is cancelled. The work file stays only
// when it holds the last declaration, refused. The journal, when given, notes
// the three as the run's work files, with their identities, as each is
// made, and takes the work file's note back before it is removed. Database and file errors reach the
// caller.
CorbexCreato CreaCorbex(const QString &testoSelezione, Destinazione destinazione, bool preventCheck,
                        AvanzamentoCorbex *avanzamento = nullptr, GiornaleLavoro *giornale = nullptr);

}  // namespace flowengine
