#include "flowengine/register.h"

#include "common/globals.h"
#include "common/openretry.h"
#include "flowengine/decimale.h"
#include "platform/dao/recordset.h"
#include "platform/dao/values.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/messagebox.h"

#include <QFile>
#include <QFileInfo>

namespace flowengine {

namespace {

const QString TitoloMessaggi = QStringLiteral("Corbix doganali");

dao::Database apriArchivio() { return dao::Database::open(platform::hostPath(common::PercorsoArchivio)); }

QString testo(const dao::Recordset &rs, const char *campo)
{
    return common::NullToStr(rs.value(QString::fromLatin1(campo)));
}

}  // namespace

QString TestoErroreRuntime(int numero, const QString &descrizione)
{
    return QStringLiteral("Errore di Run-time ") + QString::number(numero) + QStringLiteral("\r\n") + descrizione;
}

bool CaricaCorbex(DatiCorbex &flow)
{
    dao::Database db = apriArchivio();
    std::unique_ptr<dao::Recordset> rs = db.openRecordset(
        QStringLiteral("SELECT * FROM Corbix WHERE Posizione = ? AND Data = ? AND Progressivo = ?"),
        {int(flow.Posizione), flow.Data, flow.Progressivo});
    if (rs->eof())
        return true;
    flow.CompostoDa = testo(*rs, "CompostoDa");
    flow.NomeFile = testo(*rs, "NomeFile");
    flow.Stato = qint16(rs->value(QStringLiteral("Stato")).toInt());
    flow.Tipo = qint16(rs->value(QStringLiteral("Tipo")).toInt());
    flow.RifFloppy = testo(*rs, "RifFloppy");
    flow.FattoDa = testo(*rs, "FattoDa");
    const auto contatore = [&](const char *campo, qint16 &valore) {
        const QVariant v = rs->value(QString::fromLatin1(campo));
        if (!v.isNull())
            valore = qint16(v.toInt());
    };
    contatore("OK", flow.OK);
    contatore("KO", flow.KO);
    contatore("ND", flow.ND);
    return false;
}

std::vector<DichiarazioneElenco> righeCompostoDa(const QString &elenco)
{
    std::vector<DichiarazioneElenco> righe;
    QString resto = elenco;
    while (!resto.isEmpty()) {
        const qsizetype fine = resto.indexOf(QStringLiteral("\r\n"));
        const QString riga = fine < 0 ? resto : resto.left(fine);
        resto = fine < 0 ? QString() : resto.mid(fine + 2);

        DichiarazioneElenco d;
        const qsizetype primo = riga.indexOf(u'-');
        d.indice = Decimale::daTesto(primo < 0 ? riga : riga.left(primo)).intero32();
        const QString dopo = primo < 0 ? QString() : riga.mid(primo + 1);
        const qsizetype secondo = dopo.indexOf(u'-');
        const auto data = dao::parseDateText(secondo < 0 ? dopo : dopo.left(secondo));
        if (!data)
            platform::raise(platform::err::TypeMismatch);
        d.data = data->date();
        d.resto = secondo < 0 ? QString() : dopo.mid(secondo + 1);
        righe.push_back(d);
    }
    return righe;
}

void RilasciaDocumenti(QString elenco)
{
    dao::Database db = apriArchivio();
    dao::Transaction transazione(db);
    for (const DichiarazioneElenco &d : righeCompostoDa(elenco)) {
        std::unique_ptr<dao::Recordset> rs = db.openRecordset(
            QStringLiteral("SELECT * FROM IndiceDoc WHERE Indice = ? AND Data = ?"), {d.indice, d.data});
        if (!rs->eof()) {
            rs->edit();
            rs->setValue(QStringLiteral("Stato1"), 0);
            rs->update();
        }
    }
    transazione.commit();
}

bool EliminaCorbex(const DatiCorbex &flow, bool rilasciaDocumenti)
{
    try {
        // The file is found before anything changes: a drive that is not
        // ready stops the deletion here.
        QString file;
        if (!flow.NomeFile.isEmpty()) {
            const QString host = platform::hostPath(flow.NomeFile);
            if (QFileInfo(host).isFile())
                file = host;
        }
        dao::Database db = apriArchivio();
        {
            dao::Transaction transazione(db);
            if (rilasciaDocumenti)
                RilasciaDocumenti(flow.CompostoDa);
            db.execute(QStringLiteral("DELETE * FROM Corbix WHERE Posizione = ? AND Data = ? AND Progressivo = ?"),
                       {int(flow.Posizione), flow.Data, flow.Progressivo}, dao::FailOnError);
            transazione.commit();
        }
        db.close();
        if (!file.isEmpty() && !QFile::remove(file))
            platform::raise(platform::err::PathFileAccess);
        return true;
    } catch (const platform::RuntimeError &e) {
        platform::msgBox(TestoErroreRuntime(e.number(), e.description()), TitoloMessaggi,
                         platform::MsgIcon::Critical);
        return false;
    }
}

QString DescrizioneSpedoga(const QString &codice)
{
    dao::Database db = apriArchivio();
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
