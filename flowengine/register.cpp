#include "flowengine/register.h"

#include "common/databases.h"
#include "common/errormanagement.h"
#include "common/globals.h"
#include "common/openretry.h"
#include "common/runtimeerror.h"
#include "common/textfiles.h"
#include "flowengine/collectionpoint.h"
#include "flowengine/decimale.h"
#include "flowengine/flowlines.h"
#include "platform/dao/recordset.h"
#include "platform/dao/values.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/messagebox.h"

#include <QFile>
#include <QFileInfo>
#include <optional>

namespace flowengine {

namespace {

[[noreturn]] void conNome(const platform::RuntimeError &e, const QString &nome)
{
    throw platform::RuntimeError(e.number(), e.description() + QStringLiteral(" ('") + nome + QStringLiteral("')"));
}

// Whether a file (a host path) lies inside the collection point's "Corbix
// inviati". The paths compared are those the drive table resolves, links
// followed, so no spelling of a path stored in the register ("..", another
// letter case, a link, a name that merely begins like the folder) reaches a
// file elsewhere. A collection point unset or out of reach holds nothing.
bool nellaCartellaInviati(const QString &file)
{
    if (common::OpzioniCorbix.Centrale.isEmpty())
        return false;
    QString inviati;
    try {
        inviati = QFileInfo(platform::hostPath(common::OpzioniCorbix.Centrale + CartellaInviati)).canonicalFilePath();
    } catch (const platform::RuntimeError &) {
        return false;
    }
    const QString percorso = QFileInfo(file).canonicalFilePath();
    return !inviati.isEmpty() && percorso.startsWith(inviati + u'/');
}

QString testo(const dao::Recordset &rs, const char *campo)
{
    return common::NullToStr(rs.value(QString::fromLatin1(campo)));
}

}  // namespace

QString FileRegistrato(const QString &nome)
{
    try {
        const QString host = platform::hostPath(nome);
        if (!QFileInfo(host).isFile())
            platform::raise(platform::err::FileNotFound);
        return host;
    } catch (const platform::RuntimeError &e) {
        conNome(e, nome);
    }
}

QByteArray LeggiFileRegistrato(const QString &nome)
{
    const QString host = FileRegistrato(nome);
    try {
        return common::readFile(host);
    } catch (const platform::RuntimeError &e) {
        conNome(e, nome);
    }
}

void SpostaNomiRegistro(dao::Database &db, const QString &da, const QString &a)
{
    std::unique_ptr<dao::Recordset> rs =
        db.openRecordset(QStringLiteral("SELECT NomeFile FROM Corbix WHERE NomeFile IS NOT NULL"));
    for (; !rs->eof(); rs->moveNext()) {
        const QString nome = testo(*rs, "NomeFile");
        if (!nome.startsWith(da, Qt::CaseInsensitive))
            continue;
        rs->edit();
        rs->setValue(QStringLiteral("NomeFile"), a + nome.mid(da.size()));
        rs->update();
    }
    rs->close();
}

bool CaricaCorbex(DatiCorbex &flow)
{
    dao::Database db = common::ApriArchivio();
    std::unique_ptr<dao::Recordset> rs = db.openRecordset(
        QStringLiteral("SELECT * FROM Corbix WHERE Posizione = ? AND Data = ? AND Progressivo = ?"),
        {int(flow.Posizione), flow.Data, flow.Progressivo});
    if (rs->eof())
        return true;
    LeggiCorbex(*rs, flow);
    return false;
}

void LeggiCorbex(const dao::Recordset &rs, DatiCorbex &flow)
{
    flow.Data = rs.value(QStringLiteral("Data")).toDate();
    flow.Posizione = quint8(rs.value(QStringLiteral("Posizione")).toInt());
    flow.Progressivo = rs.value(QStringLiteral("Progressivo")).toInt();
    flow.CompostoDa = testo(rs, "CompostoDa");
    flow.NomeFile = testo(rs, "NomeFile");
    flow.Stato = qint16(rs.value(QStringLiteral("Stato")).toInt());
    flow.Tipo = qint16(rs.value(QStringLiteral("Tipo")).toInt());
    flow.RifFloppy = testo(rs, "RifFloppy");
    flow.FattoDa = testo(rs, "FattoDa");
    const auto contatore = [&](const char *campo, qint16 &valore) {
        const QVariant v = rs.value(QString::fromLatin1(campo));
        if (!v.isNull())
            valore = qint16(v.toInt());
    };
    contatore("OK", flow.OK);
    contatore("KO", flow.KO);
    contatore("ND", flow.ND);
}

bool CorbexComeElencato(const DatiCorbex &elencato)
{
    DatiCorbex registro;
    registro.Data = elencato.Data;
    registro.Posizione = elencato.Posizione;
    registro.Progressivo = elencato.Progressivo;
    return !CaricaCorbex(registro) && registro == elencato;
}

void RilasciaDocumenti(QString elenco)
{
    dao::Database db = common::ApriArchivio();
    dao::Transaction transazione(db);
    std::vector<DocumentoCorbex> documenti;
    LeggiCompostoDa(documenti, elenco);
    for (const DocumentoCorbex &d : documenti) {
        std::unique_ptr<dao::Recordset> rs = db.openRecordset(
            QStringLiteral("SELECT * FROM IndiceDoc WHERE Indice = ? AND Data = ?"), {d.Indice, d.Data});
        if (!rs->eof()) {
            rs->edit();
            rs->setValue(QStringLiteral("Stato1"), 0);
            rs->update();
        }
    }
    transazione.commit();
}

EsitoEliminazione EliminaCorbex(const DatiCorbex &flow, bool rilasciaDocumenti)
{
    try {
        // The file is found before anything changes: a drive that is not
        // ready stops the deletion here. Only a copy the collection point
        // keeps is removed; a file the register names anywhere else (one
        // filed before the collection point moved) stays where it is.
        QString file;
        if (!flow.NomeFile.isEmpty()) {
            const QString host = platform::hostPath(flow.NomeFile);
            if (QFileInfo(host).isFile() && nellaCartellaInviati(host))
                file = host;
        }
        dao::Database db = common::ApriArchivio();
        {
            // Nothing of the deletion runs outside its transaction: a start
            // that is not made, whatever the user answers, leaves it.
            std::optional<dao::Transaction> transazione;
            if (!common::runRequiredStep(QStringLiteral("EliminaCorbex"), [&] { transazione.emplace(db); }))
                return EsitoEliminazione::Fallita;
            const dao::CommitWait attesa(common::AttesaSilenziosaMs);
            // The date and number of a flow deleted elsewhere are given to
            // the next flow filed: only the flow the user saw is deleted, and
            // only its declarations are freed.
            if (!CorbexComeElencato(flow))
                return EsitoEliminazione::NonElencata;
            if (rilasciaDocumenti)
                RilasciaDocumenti(flow.CompostoDa);
            db.execute(QStringLiteral("DELETE * FROM Corbix WHERE Posizione = ? AND Data = ? AND Progressivo = ?"),
                       {int(flow.Posizione), flow.Data, flow.Progressivo}, dao::FailOnError);
            transazione->commit();
        }
        db.close();
        if (!file.isEmpty() && !QFile::remove(file))
            platform::raise(platform::err::PathFileAccess);
        return EsitoEliminazione::Eliminata;
    } catch (const platform::RuntimeError &e) {
        platform::msgBox(common::TestoErroreRuntime(e.number(), e.description()), common::TitoloCorbix,
                         platform::MsgIcon::Critical);
        return EsitoEliminazione::Fallita;
    }
}

QString DescrizioneSpedoga(const QString &codice)
{
    dao::Database db = common::ApriArchivio();
    std::unique_ptr<dao::Recordset> rs =
        db.openRecordset(QStringLiteral("SELECT Descrizione FROM Spedoga WHERE Codice = ?"), {codice});
    return rs->eof() ? QString() : testo(*rs, "Descrizione");
}

QString IconaStato(qint16 stato, qint16 tipo)
{
    switch (stato) {
    case StatoProdotto:
        return tipo == TipoSupportoMagnetico ? QStringLiteral("FLOPPY") : QStringLiteral("RTARWWHT");
    case StatoControlloPositivo:
        return QStringLiteral("RTARWGRN");
    case StatoRispostaPervenuta:
        return QStringLiteral("REDCHECK");
    case StatoControlloNegativo:
        return QStringLiteral("CRITICAL");
    case StatoRispostaElaborata:
        return QStringLiteral("GRNCHECK");
    default:
        return {};
    }
}

}  // namespace flowengine
