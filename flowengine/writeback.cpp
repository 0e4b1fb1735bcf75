#include "flowengine/writeback.h"

#include "common/databases.h"
#include "common/globals.h"
#include "common/openretry.h"
#include "platform/dao/database.h"
#include "platform/dao/recordset.h"

#include <array>

namespace flowengine {

namespace {


QString contenuto(const dao::Recordset &rs) { return common::NullToStr(rs.value(QStringLiteral("Contenuto"))); }

QString dataBreve(const QDate &data) { return data.toString(QStringLiteral("dd.MM.yy")); }

// A text as exactly n characters: cut, or filled with blanks.
QString campo(const QString &testo, int n) { return testo.leftJustified(n, u' ', true); }

// The last n characters of the number after leading zeros.
QString cifre(const QString &numero, int n) { return (QString(n, u'0') + Decimale::daTesto(numero).testo()).right(n); }

QString importo(const Decimale &totale) { return totale.testo().left(13); }

}  // namespace

qint16 ScriviCasellaB(qint32 indice, const QDate &data, EsitoPositivo &esito)
{
    dao::Database db = common::ApriArchivio();
    return ScriviCasellaB(db, indice, data, esito);
}

qint16 ScriviCasellaB(dao::Database &db, qint32 indice, const QDate &data, EsitoPositivo &esito)
{
    dao::Transaction transazione(db);

    qint16 articoli = 0;
    {
        std::unique_ptr<dao::Recordset> rs = db.openRecordset(
            QStringLiteral("SELECT Contenuto FROM DettaglioBol WHERE Indice = ? AND Data = ? AND Modulo = ? AND Campo = ?"),
            {indice, data, QStringLiteral("F"), QStringLiteral("05")}, dao::RecordsetType::Snapshot);
        if (!rs->eof())
            articoli = Decimale::daTesto(contenuto(*rs)).intero16();
    }

    esito.TotaleG = esito.TotaleF = esito.TotaleA = Decimale();
    if (articoli >= 1) {
        // The tax lines of every article in one query, article by article.
        std::unique_ptr<dao::Recordset> rs = db.openRecordset(
            QStringLiteral("SELECT Articolo, SottoCasella, Contenuto FROM DettaglioBol WHERE Indice = ? AND "
                           "Data = ? AND Articolo >= 1 AND "
                           "Articolo <= ? AND Modulo = ? AND Campo = ? AND (SottoCasella = ? OR SottoCasella = ?) "
                           "ORDER BY Articolo, Riga, SottoCasella"),
            {indice, data, articoli, QStringLiteral("A"), QStringLiteral("47"), QStringLiteral("4"),
             QStringLiteral("5")},
            dao::RecordsetType::Snapshot);
        // An amount belongs to the payment line that follows it within its
        // article, and to no other.
        Decimale ammontare;
        QVariant articolo;
        for (; !rs->eof(); rs->moveNext()) {
            if (const QVariant questo = rs->value(QStringLiteral("Articolo")); questo != articolo) {
                articolo = questo;
                ammontare = Decimale();
            }
            const QString sottoCasella = rs->value(QStringLiteral("SottoCasella")).toString();
            if (sottoCasella == QLatin1String("4")) {
                ammontare = Decimale::daTesto(contenuto(*rs));
                continue;
            }
            const QString metodo = contenuto(*rs);
            if (metodo == QLatin1String("A"))
                esito.TotaleA += ammontare;
            else if (metodo == QLatin1String("F"))
                esito.TotaleF += ammontare;
            else if (metodo == QLatin1String("G"))
                esito.TotaleG += ammontare;
            ammontare = Decimale();
        }
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

    std::unique_ptr<dao::Recordset> rs = db.openRecordset(
        QStringLiteral("SELECT _rowid_ AS Chiave, Contenuto FROM DettaglioBol WHERE Indice = ? AND Data = ? AND "
                       "Modulo = ? AND Campo = ? ORDER BY Riga"),
        {indice, data, QStringLiteral("F"), QStringLiteral("0B")}, dao::RecordsetType::Snapshot);
    // Box B has seven lines; further rows have no text to receive and stay as
    // they are. The lines are written in one statement, each to its row's
    // key: the transaction keeps every other program from changing the rows
    // meanwhile.
    QStringList casi, segni;
    QVariantList contenuti, chiavi;
    for (const QString &riga : righe) {
        if (rs->eof())
            break;
        casi << QStringLiteral("WHEN ? THEN ?");
        segni << QStringLiteral("?");
        contenuti << rs->value(0) << common::StrToNull(riga);
        chiavi << rs->value(0);
        rs->moveNext();
    }
    rs->close();
    if (!chiavi.isEmpty())
        db.execute(QStringLiteral("UPDATE DettaglioBol SET Contenuto = CASE _rowid_ %1 END, MaxLung = ?, Corretto = ?, "
                                  "Gestito = ?, Controllato = ? WHERE _rowid_ IN (%2)")
                       .arg(casi.join(u' '), segni.join(QStringLiteral(", "))),
                   contenuti + QVariantList{0, true, false, true} + chiavi, dao::FailOnError);
    transazione.commit();
    return 0;
}

void SegnalaErroriCaselle(qint32 indice, const QDate &data, ErroreRisposta &errore, const QString &codiceMsg)
{
    SegnalaErroriCaselle(indice, data, errore, codiceMsg, common::ApriDatabaseProgramma, common::ApriArchivio);
}

void SegnalaErroriCaselle(qint32 indice, const QDate &data, ErroreRisposta &errore, const QString &codiceMsg,
                          const std::function<dao::Database()> &apriProgramma,
                          const std::function<dao::Database()> &apriArchivio)
{
    if (errore.CodiceErrore.isEmpty() || errore.CodiceErrore == QLatin1String("ENI"))
        return;
    const QString maschera1 = errore.CodiceErrore.left(2).trimmed();
    const QString maschera2 = errore.CodiceErrore.size() < 3 ? QString() : errore.CodiceErrore.mid(2, 2).trimmed();
    if (errore.RipetizioneErrore < 1)
        errore.RipetizioneErrore = -1;

    QString riferimenti;
    {
        dao::Database programma = apriProgramma();
        std::unique_ptr<dao::Recordset> rs = programma.openRecordset(
            QStringLiteral("SELECT RifBRELKErr FROM Tracciati WHERE CodiceMsg = ? AND RifMask1 = ? AND "
                           "RifMask2 = ? AND Ripetizione = ?"),
            {codiceMsg.trimmed(), maschera1, maschera2, errore.RipetizioneErrore}, dao::RecordsetType::Snapshot);
        if (rs->eof())
            rs = programma.openRecordset(
                QStringLiteral("SELECT RifBRELKErr FROM Tracciati WHERE CodiceMsg = ? AND RifMask1 = ? AND "
                               "RifMask2 = ?"),
                {codiceMsg.trimmed(), maschera1, QStringLiteral("0")}, dao::RecordsetType::Snapshot);
        if (rs->eof())
            return;
        riferimenti = common::NullToStr(rs->value(QStringLiteral("RifBRELKErr")));
    }

    dao::Database db = apriArchivio();
    dao::Transaction transazione(db);
    for (const QString &rif : riferimenti.split(u';')) {
        const QString modulo = rif.mid(0, 1);
        QString sql = QStringLiteral("SELECT _rowid_ AS Chiave, Contenuto FROM DettaglioBol WHERE Indice = ? AND "
                                     "Data = ? AND Modulo = ? AND Campo = ? AND SottoCasella = ? AND Riga = ?");
        QVariantList valori = {indice, data, modulo, rif.mid(1, 2), rif.mid(3, 1), rif.mid(4, 1)};
        // A front-sheet box has no article; the article of the references
        // that follow stays the error's own.
        if (modulo != QLatin1String("F")) {
            sql += QStringLiteral(" AND Articolo = ?");
            valori.push_back(errore.ArticoloErrore);
        }
        // The first row of the box is marked, by its key: the transaction
        // keeps every other program from changing the rows meanwhile.
        std::unique_ptr<dao::Recordset> rs = db.openRecordset(sql, valori, dao::RecordsetType::Snapshot);
        if (!rs->eof())
            db.execute(QStringLiteral("UPDATE DettaglioBol SET Corretto = ? WHERE _rowid_ = ?"), {false, rs->value(0)},
                       dao::FailOnError);
    }
    db.execute(QStringLiteral("UPDATE IndiceDoc SET Stato1 = 0 WHERE Indice = ? AND Data = ? AND Stato1 = 2"),
               {indice, data}, dao::FailOnError);
    transazione.commit();
}

}  // namespace flowengine
