#include "flowengine/writeback.h"

#include "common/databases.h"
#include "common/globals.h"
#include "common/openretry.h"
#include "platform/dao/connection.h"
#include "platform/dao/database.h"
#include "platform/dao/values.h"

#include <QHash>
#include <array>
#include <optional>

namespace flowengine {

namespace {

// A date as "dd.MM.yy", written out as it stands: an outcome has three,
// and Qt's formatting goes through the locale for each. Qt formats a year
// outside 1000-9999, and no date.
QString dataBreve(const QDate &data)
{
    int anno = 0, mese = 0, giorno = 0;
    data.getDate(&anno, &mese, &giorno);
    if (!data.isValid() || anno < 1000 || anno > 9999)
        return data.toString(QStringLiteral("dd.MM.yy"));
    return QString::asprintf("%02d.%02d.%02d", giorno, mese, anno % 100);
}

// A text as exactly n characters: cut, or filled with blanks.
QString campo(const QString &testo, int n) { return testo.leftJustified(n, u' ', true); }

// The last n characters of the number after leading zeros.
QString cifre(const QString &numero, int n) { return (QString(n, u'0') + Decimale::daTesto(numero).testo()).right(n); }

QString importo(const Decimale &totale) { return totale.testo().left(13); }

}  // namespace

// The statements of a run, each prepared at its first use and kept until the
// run ends; a statement is reset once its rows are read, so between uses it
// holds no lock.
struct ScritturaEsiti::Istruzioni {
    Istruzioni(dao::Database &db, std::function<dao::Database()> apri)
        : archivio(db), apriProgramma(std::move(apri))
    {
    }

    using Istruzione = std::unique_ptr<dao::Connection::Statement>;

    // The statement of the text, on the database's connection, bound to the values.
    static dao::Connection::Statement &pronta(Istruzione &istruzione, dao::Database &db, const char *testo,
                                              dao::Operation operazione, const QVariantList &valori)
    {
        if (!istruzione)
            istruzione = std::make_unique<dao::Connection::Statement>(db.connection(), QLatin1String(testo), operazione);
        istruzione->bind(valori);
        return *istruzione;
    }
    // Every row the statement reads, each column as the archive holds it.
    static std::vector<std::vector<QVariant>> righe(dao::Connection::Statement &istruzione)
    {
        std::vector<std::vector<QVariant>> lette;
        const int colonne = istruzione.columnCount();
        while (istruzione.step()) {
            std::vector<QVariant> riga;
            riga.reserve(std::size_t(colonne));
            for (int c = 0; c < colonne; ++c)
                riga.push_back(dao::columnValue(istruzione.get(), c));
            lette.push_back(std::move(riga));
        }
        return lette;
    }
    std::vector<std::vector<QVariant>> leggi(Istruzione &istruzione, const char *testo, const QVariantList &valori)
    {
        return righe(pronta(istruzione, archivio, testo, dao::Operation::Read, valori));
    }
    void scrivi(Istruzione &istruzione, const char *testo, const QVariantList &valori)
    {
        dao::Connection::Statement &s = pronta(istruzione, archivio, testo, dao::Operation::Write, valori);
        while (s.step()) {
        }
    }
    dao::Database &programma()
    {
        if (!programmaAperto.isOpen())
            programmaAperto = apriProgramma();
        return programmaAperto;
    }
    // The boxes an error names ("MCCSR;...": module, field, sub-box, row),
    // from the record layout; nothing when no row of it names them. The
    // layout does not change during a run: each error code is looked up once.
    std::optional<QString> riferimenti(const QString &codiceMsg, const QString &maschera1, const QString &maschera2,
                                       qint16 ripetizione)
    {
        const QString chiave = codiceMsg + u'\x1f' + maschera1 + u'\x1f' + maschera2 + u'\x1f'
                               + QString::number(ripetizione);
        if (const auto trovati = riferimentiNoti.constFind(chiave); trovati != riferimentiNoti.cend())
            return *trovati;
        auto trovate = righe(pronta(tracciato, programma(),
                                    "SELECT RifBRELKErr FROM Tracciati WHERE CodiceMsg = ? AND RifMask1 = ? AND "
                                    "RifMask2 = ? AND Ripetizione = ?",
                                    dao::Operation::Read, {codiceMsg, maschera1, maschera2, ripetizione}));
        if (trovate.empty())
            trovate = righe(pronta(tracciatoMaschera0, programma(),
                                   "SELECT RifBRELKErr FROM Tracciati WHERE CodiceMsg = ? AND RifMask1 = ? AND "
                                   "RifMask2 = ?",
                                   dao::Operation::Read, {codiceMsg, maschera1, QStringLiteral("0")}));
        const std::optional<QString> trovati =
            trovate.empty() ? std::nullopt : std::optional(common::NullToStr(trovate.front().front()));
        riferimentiNoti.insert(chiave, trovati);
        return trovati;
    }

    dao::Database &archivio;
    std::function<dao::Database()> apriProgramma;
    dao::Database programmaAperto;
    QHash<QString, std::optional<QString>> riferimentiNoti;
    Istruzione casellaB, scriviRigaB, tracciato, tracciatoMaschera0, casellaFrontespizio,
        casellaArticolo, segnaCasella, libera;
};

ScritturaEsiti::ScritturaEsiti(dao::Database &archivio, std::function<dao::Database()> programma)
    : istruzioni_(std::make_unique<Istruzioni>(archivio, std::move(programma)))
{
}

ScritturaEsiti::~ScritturaEsiti() = default;

qint16 ScritturaEsiti::ScriviCasellaB(qint32 indice, const QDate &data, EsitoPositivo &esito)
{
    // What box B is made from, in one reading of the declaration's rows
    // (the archive finds them by the declaration alone, dozens of them, so
    // each reading costs as much as the rest of the outcome): its article
    // count, the first "F 05" row in the order of the boxes; the rows of box
    // B itself, "F 0B", line by line; the tax lines, "A 47" amounts (4) and
    // payment methods (5), article by article, line by line. Equal rows keep
    // the order of their keys.
    Istruzioni &i = *istruzioni_;
    const auto lette = i.leggi(
        i.casellaB,
        "SELECT CASE WHEN Modulo = 'F' AND Campo = '05' THEN 0 WHEN Modulo = 'F' AND Campo = '0B' THEN 1 ELSE 2 END "
        "AS Parte, _rowid_ AS Chiave, Articolo, SottoCasella, Contenuto FROM DettaglioBol WHERE Indice = ? AND "
        "Data = ? AND ((Modulo = 'F' AND (Campo = '05' OR Campo = '0B')) OR (Modulo = 'A' AND Campo = '47' AND "
        "(SottoCasella = '4' OR SottoCasella = '5'))) ORDER BY Parte, CASE WHEN Parte <> 1 THEN Articolo END, "
        "CASE WHEN Parte = 0 THEN SottoCasella END COLLATE NOCASE, Riga, SottoCasella, _rowid_",
        {indice, data});
    enum Parte { Articoli = 0, CasellaB = 1, Tributi = 2 };

    qint16 articoli = 0;
    bool articoliLetti = false;
    std::vector<QVariant> chiavi;
    esito.TotaleG = esito.TotaleF = esito.TotaleA = Decimale();
    // An amount belongs to the payment line that follows it within its
    // article, and to no other.
    Decimale ammontare;
    QVariant articolo;
    for (const auto &riga : lette) {
        switch (riga[0].toInt()) {
        case Articoli:
            if (!articoliLetti)
                articoli = Decimale::daTesto(common::NullToStr(riga[4])).intero16();
            articoliLetti = true;
            continue;
        case CasellaB:
            chiavi.push_back(riga[1]);
            continue;
        case Tributi:
            break;
        }
        // Only the articles the front sheet counts; the front sheet's
        // rows come first, so their count is known by now.
        if (riga[2].isNull() || riga[2].toLongLong() < 1 || riga[2].toLongLong() > articoli)
            continue;
        if (riga[2] != articolo) {
            articolo = riga[2];
            ammontare = Decimale();
        }
        if (riga[3].toString() == QLatin1String("4")) {
            ammontare = Decimale::daTesto(common::NullToStr(riga[4]));
            continue;
        }
        const QString metodo = common::NullToStr(riga[4]);
        if (metodo == QLatin1String("A"))
            esito.TotaleA += ammontare;
        else if (metodo == QLatin1String("F"))
            esito.TotaleF += ammontare;
        else if (metodo == QLatin1String("G"))
            esito.TotaleG += ammontare;
        ammontare = Decimale();
    }

    std::array<QString, 7> righe;
    righe[0] = QStringLiteral("REG. ") + campo(esito.RifRegistro, 2) + QStringLiteral(" N. ") + cifre(esito.RifNumero, 6)
               + u' ' + esito.RifControllo + QStringLiteral(" DEL ") + dataBreve(esito.RifData);
    if (!esito.ContoLettera.isEmpty()) {
        righe[1] = QStringLiteral("CONTO N. ") + cifre(esito.ContoNumero, 4) + esito.ContoLettera
                   + QStringLiteral("  - A 93 N.") + QString::number(esito.A93Numero);
        righe[2] = QStringLiteral("EURO") + campo(importo(esito.TotaleG) + QStringLiteral("**"), 15)
                   + QStringLiteral("SCAD. ") + dataBreve(esito.Scadenza1);
        righe[3] = QStringLiteral("EURO") + campo(importo(esito.TotaleF) + QStringLiteral("**"), 15)
                   + QStringLiteral("SCAD. ") + dataBreve(esito.Scadenza2);
    } else {
        righe[1] = QStringLiteral("RISCOSSO EURO") + importo(esito.TotaleA) + QStringLiteral("**");
        righe[2] = QStringLiteral("ADDI' ") + dataBreve(esito.RifData) + QString(8, u' ') + QStringLiteral("IL CASSIERE");
    }

    // Box B has seven lines; further rows have no text to receive and stay as
    // they are. Each line is written to its row's key: the run's transaction
    // keeps every other program from changing the rows meanwhile.
    for (std::size_t n = 0; n < righe.size() && n < chiavi.size(); ++n)
        i.scrivi(i.scriviRigaB,
                 "UPDATE DettaglioBol SET Contenuto = ?, MaxLung = ?, Corretto = ?, Gestito = ?, Controllato = ? "
                 "WHERE _rowid_ = ?",
                 {common::StrToNull(righe[n]), 0, true, false, true, chiavi[n]});
    return 0;
}

void ScritturaEsiti::SegnalaErroriCaselle(qint32 indice, const QDate &data, ErroreRisposta &errore,
                                          const QString &codiceMsg)
{
    if (errore.CodiceErrore.isEmpty() || errore.CodiceErrore == QLatin1String("ENI"))
        return;
    const QString maschera1 = errore.CodiceErrore.left(2).trimmed();
    const QString maschera2 = errore.CodiceErrore.size() < 3 ? QString() : errore.CodiceErrore.mid(2, 2).trimmed();
    if (errore.RipetizioneErrore < 1)
        errore.RipetizioneErrore = -1;

    Istruzioni &i = *istruzioni_;
    const std::optional<QString> riferimenti =
        i.riferimenti(codiceMsg.trimmed(), maschera1, maschera2, errore.RipetizioneErrore);
    if (!riferimenti)
        return;
    for (const QString &rif : riferimenti->split(u';')) {
        const QString modulo = rif.mid(0, 1);
        const QVariantList valori = {indice, data, modulo, rif.mid(1, 2), rif.mid(3, 1), rif.mid(4, 1)};
        // A front-sheet box has no article; the article of the references
        // that follow stays the error's own.
        const auto chiavi =
            modulo == QLatin1String("F")
                ? i.leggi(i.casellaFrontespizio,
                          "SELECT _rowid_ AS Chiave, Contenuto FROM DettaglioBol WHERE Indice = ? AND Data = ? "
                          "AND Modulo = ? AND Campo = ? AND SottoCasella = ? AND Riga = ?",
                          valori)
                : i.leggi(i.casellaArticolo,
                          "SELECT _rowid_ AS Chiave, Contenuto FROM DettaglioBol WHERE Indice = ? AND Data = ? "
                          "AND Modulo = ? AND Campo = ? AND SottoCasella = ? AND Riga = ? AND Articolo = ?",
                          valori + QVariantList{errore.ArticoloErrore});
        // The first row of the box is marked, by its key.
        if (!chiavi.empty())
            i.scrivi(i.segnaCasella, "UPDATE DettaglioBol SET Corretto = ? WHERE _rowid_ = ?",
                     {false, chiavi.front().front()});
    }
    i.scrivi(i.libera, "UPDATE IndiceDoc SET Stato1 = 0 WHERE Indice = ? AND Data = ? AND Stato1 = 2", {indice, data});
}

qint16 ScriviCasellaB(qint32 indice, const QDate &data, EsitoPositivo &esito)
{
    dao::Database db = common::ApriArchivio();
    dao::Transaction transazione(db);
    const qint16 risultato = ScritturaEsiti(db, common::ApriDatabaseProgramma).ScriviCasellaB(indice, data, esito);
    transazione.commit();
    return risultato;
}

void SegnalaErroriCaselle(qint32 indice, const QDate &data, ErroreRisposta &errore, const QString &codiceMsg)
{
    dao::Database db = common::ApriArchivio();
    dao::Transaction transazione(db);
    ScritturaEsiti(db, common::ApriDatabaseProgramma).SegnalaErroriCaselle(indice, data, errore, codiceMsg);
    transazione.commit();
}

}  // namespace flowengine
