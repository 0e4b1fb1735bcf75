#include "ui/transmission/answerprocess.h"

#include "common/databases.h"
#include "common/globals.h"
#include "common/openretry.h"
#include "common/paths.h"
#include "common/runtimeerror.h"
#include "flowengine/decimale.h"
#include "flowengine/register.h"
#include "flowengine/writeback.h"
#include "platform/codepage.h"
#include "platform/dao/database.h"
#include "platform/dao/recordset.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/messagebox.h"
#include "ui/transmission/answerfetch.h"
#include "ui/transmission/answerfile.h"

#include <QFile>
#include <algorithm>
#include <memory>
#include <new>
#include <optional>

namespace uitransmission {

using flowengine::DatiCorbex;
using flowengine::DocumentoCorbex;

namespace {


// One run over an answer, with the flow's declarations and what it counted.
class Elaborazione {
public:
    Elaborazione(const DatiCorbex &inviata, const SeguitoElaborazione &seguito, dao::Database &archivio)
        : inviata_(inviata), seguito_(seguito), scrittura_(archivio, [this] { return programma(); })
    {
        flowengine::LeggiCompostoDa(dichiarazioni_, inviata.CompostoDa);
        indice_.emplace(dichiarazioni_);
    }

    void esiti(const RispostaEdi &risposta);
    void controlli(const RispostaEdi &risposta);
    const Conteggi &conteggi() const { return conteggi_; }

private:
    const DocumentoCorbex *trova(const QString &riferimento)
    {
        const int i = indice_->trova(riferimento);
        if (i < 0)
            return nullptr;
        if (seguito_.documento)
            seguito_.documento(dichiarazioni_[std::size_t(i)]);
        return &dichiarazioni_[std::size_t(i)];
    }
    dao::Database &programma()
    {
        if (!programma_.isOpen())
            programma_ = common::ApriDatabaseProgramma();
        return programma_;
    }
    // The marking of the boxes an error names, in the databases of the run.
    void segnala(const DocumentoCorbex &documento, flowengine::ErroreRisposta &errore, const QString &codiceMsg)
    {
        scrittura_.SegnalaErroriCaselle(documento.Indice, documento.Data, errore, codiceMsg);
    }
    void conta(int Conteggi::*contatore)
    {
        ++(conteggi_.*contatore);
        if (seguito_.conteggi)
            seguito_.conteggi(conteggi_);
    }

    const DatiCorbex &inviata_;
    const SeguitoElaborazione &seguito_;
    std::vector<DocumentoCorbex> dichiarazioni_;
    std::optional<IndiceDichiarazioni> indice_;
    Conteggi conteggi_;
    // Opened at its first use and kept for the run: every error marked reads
    // its layout there, and opening the file for each would cost more than
    // the reading.
    dao::Database programma_;
    // Declared last: its statements go back before the databases close.
    flowengine::ScritturaEsiti scrittura_;
};

void Elaborazione::esiti(const RispostaEdi &risposta)
{
    // The body follows lines 2 and 3; a count beyond the file's end stops at it.
    const int corpo = RigheRisposta(risposta.intestazione()) - 3;
    const int ultima = std::min<int>(corpo + 3, int(risposta.righe.size()));
    if (seguito_.righe)
        seguito_.righe(corpo);
    for (int n = 4; n <= ultima; ++n) {
        if (seguito_.riga && n > 4)
            seguito_.riga(n - 4);
        const QString riga = risposta.riga(n);
        if (!RecordEsito(riga))
            continue;
        const EsitoRecord record = LeggiEsitoRecord(riga);
        const DocumentoCorbex *documento = trova(record.riferimento);
        if (!documento) {
            conta(&Conteggi::incongruenze);
            continue;
        }
        if (record.positivo()) {
            conta(&Conteggi::positivi);
            if (!record.convalida())
                continue;
            flowengine::EsitoPositivo esito;
            esito.RifRegistro = record.registro;
            esito.RifCodice = record.serie;
            esito.RifNumero = record.numero;
            esito.RifControllo = record.lettera;
            esito.RifData = record.dataConvalida.value_or(QDate());
            esito.ContoNumero = record.contoCodice;
            esito.ContoLettera = record.contoLettera;
            esito.A93Numero = record.numeroA93;
            esito.Scadenza1 = record.scadenzaFiscale.value_or(QDate());
            esito.Scadenza2 = record.scadenzaNonFiscale.value_or(QDate());
            if (scrittura_.ScriviCasellaB(documento->Indice, documento->Data, esito) != 0)
                platform::raise(platform::err::ReservedError);
            continue;
        }
        // The error line follows its record, even past the body's count; a
        // record on the file's last line has none, and marks nothing.
        if (n < int(risposta.righe.size())) {
            ++n;
            const RigaErrore rigaErrore = LeggiRigaErrore(risposta.riga(n));
            flowengine::ErroreRisposta errore;
            errore.ArticoloErrore = rigaErrore.articolo;
            errore.CodiceErrore = rigaErrore.rifCasella;
            errore.RipetizioneErrore = rigaErrore.ripetizione;
            segnala(*documento, errore, record.codiceMsg);
        }
        conta(&Conteggi::negativi);
    }
}

// A mask reference as the error code holds it: two characters, blank-padded.
QString DueCaratteri(const QVariant &valore) { return common::NullToStr(valore).leftJustified(2, u' ', true); }

void Elaborazione::controlli(const RispostaEdi &risposta)
{
    QFile flusso(flowengine::FileRegistrato(inviata_.NomeFile));
    if (!flusso.open(QIODevice::ReadOnly))
        platform::raise(flusso.exists() ? platform::err::PathFileAccess : platform::err::FileNotFound);
    programma();

    const int corpo = RigheRisposta(risposta.intestazione()) - 2;
    const int ultima = std::min<int>(corpo + 1, int(risposta.righe.size()));
    for (int n = 2; n <= ultima; ++n) {
        const RigaControllo controllo = LeggiRigaControllo(risposta.riga(n));
        // Line L of the check is line L - 1 of the flow; 0 is its last line.
        if (common::SeekTextLine(controllo.lineaFlusso - 1, &flusso) < 1) {
            conta(&Conteggi::incongruenze);
            continue;
        }
        QByteArray letta = flusso.readLine();
        while (letta.endsWith('\n') || letta.endsWith('\r'))
            letta.chop(1);
        const QString riga = platform::fromWindows1252(letta);
        const DocumentoCorbex *documento = trova(Colonne(riga, 15, 20));
        if (!documento) {
            conta(&Conteggi::incongruenze);
            continue;
        }
        const QString codice = Colonne(riga, 2, 9).trimmed();
        qint16 articolo = 0;
        {
            auto rs = programma().openRecordset(
                QStringLiteral("SELECT Progressivo FROM Tracciati WHERE RifBRELK = 'A3200' AND CodiceMsg = ?"), {codice},
                dao::RecordsetType::Snapshot);
            if (!rs->eof())
                articolo = flowengine::Decimale::daTesto(
                               flowengine::LeggiCampoInterchange(riga, QStringLiteral("T"),
                                                                 rs->value(0).toInt()))
                               .intero16();
        }
        for (const std::optional<qint16> &campo : controllo.campi) {
            conta(&Conteggi::negativi);
            if (!campo)
                continue;
            auto rs = programma().openRecordset(
                QStringLiteral("SELECT RifMask1, RifMask2, Ripetizione FROM Tracciati WHERE CodiceMsg = ? AND "
                               "Progressivo = ?"),
                {codice, *campo}, dao::RecordsetType::Snapshot);
            if (rs->eof())
                continue;
            flowengine::ErroreRisposta errore;
            errore.ArticoloErrore = articolo;
            errore.CodiceErrore = DueCaratteri(rs->value(0)) + DueCaratteri(rs->value(1));
            errore.RipetizioneErrore = qint16(rs->value(2).toInt());
            segnala(*documento, errore, codice);
        }
    }
}

// The stored copy of the answer, read once it has passed the fetch's checks
// against the flow, its header's type being the one its name ends with, and
// found whole; nothing after telling the user why it is refused. Its name ends with
// "yyyymmdd-N-T": N is its progressive number, T its type.
std::optional<RispostaEdi> copiaVerificata(const QString &nome, QChar tipo, const DatiCorbex &inviata)
{
    if (!DimensioneRisposta(flowengine::FileRegistrato(nome), nome, TitoloElaborazione))
        return std::nullopt;
    const QByteArray bytes = flowengine::LeggiFileRegistrato(nome);
    RispostaEdi risposta = RispostaEdi::daBytes(bytes);
    const QString base = common::EstraiNomeFile(nome);
    const qsizetype primo = base.indexOf(u'-');
    const qsizetype ultimo = base.lastIndexOf(u'-');
    bool numero = primo >= 0 && ultimo > primo;
    const qint32 progressivo = numero ? base.mid(primo + 1, ultimo - primo - 1).toInt(&numero) : 0;
    if (!RispostaDelFlusso(risposta, numero ? progressivo : -1, inviata, tipo))
        return std::nullopt;
    // A copy that lacks a line or a field the run reads would leave some
    // declarations without their outcome: none is written.
    const EsameRisposta esame = EsaminaRisposta(bytes);
    if (esame.forma != FormaRisposta::Intera) {
        platform::msgBox(QStringLiteral("La risposta memorizzata non può essere elaborata: ") + esame.difetto
                             + QStringLiteral(". Nessun esito è stato registrato e il corbex resta in attesa di "
                                              "elaborazione."),
                         common::TitoloCorbix, platform::MsgIcon::Information);
        return std::nullopt;
    }
    return risposta;
}

}  // namespace

int ConteggioRegistrato(int conteggio) { return std::min(conteggio, 255); }

EsitoElaborazione ElaboraRisposta(const QDate &data, qint32 progressivo, const SeguitoElaborazione &seguito)
{
    try {
        DatiCorbex risposta;
        risposta.Data = data;
        risposta.Posizione = flowengine::PosizioneRisposta;
        risposta.Progressivo = progressivo;
        if (flowengine::CaricaCorbex(risposta))
            return EsitoElaborazione::NonElaborata;
        const QChar tipo = risposta.NomeFile.isEmpty() ? QChar() : risposta.NomeFile.back();
        if (tipo == TipoIntrastat) {
            platform::msgBox(QStringLiteral("La versione dell'applicazione non è in grado di elaborare la risposta ad "
                                            "un messaggio relativo alle 'Dichiarazioni Intrastat'."),
                             common::TitoloCorbix, platform::MsgIcon::Information);
            return EsitoElaborazione::Rifiutata;
        }
        if (tipo == TipoManifesto) {
            platform::msgBox(QStringLiteral("La versione dell'applicazione non è in grado di elaborare la risposta ad "
                                            "un messaggio relativo al 'Manifersto doganale merci in arrivo'."),
                             common::TitoloCorbix, platform::MsgIcon::Information);
            return EsitoElaborazione::Rifiutata;
        }
        if (tipo != TipoEsiti && tipo != TipoControlloA)
            return EsitoElaborazione::NonElaborata;

        DatiCorbex inviata = risposta;
        inviata.Posizione = flowengine::PosizioneInviati;
        inviata.NomeFile.clear();
        inviata.CompostoDa.clear();
        flowengine::CaricaCorbex(inviata);
        const std::optional<RispostaEdi> copia = copiaVerificata(risposta.NomeFile, tipo, inviata);
        if (!copia)
            return EsitoElaborazione::Rifiutata;
        const RispostaEdi &file = *copia;

        // The flow's row is held from the start, so that the counts can be
        // stored once the declarations have been written.
        dao::Database db = common::ApriArchivio();
        std::unique_ptr<dao::Recordset> registro;
        if (common::OpenRecordsetRetry(
                db, registro,
                QStringLiteral("SELECT Stato, OK, KO, ND FROM Corbix WHERE Data = DateValue(?) AND Progressivo = ? "
                               "AND Posizione = ?"),
                {data, progressivo, flowengine::PosizioneInviati}, common::TimeoutOneMinute)
            != 0)
            return EsitoElaborazione::Fallita;
        {
            dao::Transaction transazione(db);
            Elaborazione elaborazione(inviata, seguito, db);
            if (tipo == TipoEsiti)
                elaborazione.esiti(file);
            else
                elaborazione.controlli(file);
            if (!registro->eof()) {
                const Conteggi &c = elaborazione.conteggi();
                registro->edit();
                registro->setValue(QStringLiteral("Stato"), flowengine::StatoRispostaElaborata);
                registro->setValue(QStringLiteral("OK"), ConteggioRegistrato(c.positivi));
                registro->setValue(QStringLiteral("KO"), ConteggioRegistrato(c.negativi));
                registro->setValue(QStringLiteral("ND"), ConteggioRegistrato(c.incongruenze));
                registro->update();
            }
            transazione.commit();
        }
        registro->close();
    } catch (const platform::RuntimeError &e) {
        common::mostraErroreRunTime(e);
        return EsitoElaborazione::Fallita;
    } catch (const std::bad_alloc &) {
        common::mostraErroreRunTime(
            platform::RuntimeError(platform::err::OutOfMemory, platform::errorDescription(platform::err::OutOfMemory)));
        return EsitoElaborazione::Fallita;
    }
    platform::msgBox(QStringLiteral("La risposta è stata elaborata."), QStringLiteral("Corbix doganali."),
                     platform::MsgIcon::Information);
    return EsitoElaborazione::Elaborata;
}

}  // namespace uitransmission
