#include "ui/transmission/answerfetch.h"

#include "common/databases.h"
#include "common/globals.h"
#include "common/openretry.h"
#include "common/paths.h"
#include "common/runtimeerror.h"
#include "common/textfiles.h"
#include "flowengine/decimale.h"
#include "flowengine/journal.h"
#include "flowengine/register.h"
#include "platform/crashpoint.h"
#include "platform/dao/database.h"
#include "platform/dao/recordset.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/messagebox.h"
#include "ui/main/programfolder.h"
#include "ui/main/windowfactory.h"
#include "ui/transmission/answerfile.h"

#include <QFile>
#include <QFileInfo>
#include <memory>
#include <new>
#include <optional>

namespace uitransmission {

using flowengine::DatiCorbex;
using platform::MsgIcon;

namespace {

// The rewriting of line ends to CR LF, a piece of the file at a time: between
// pieces it remembers whether the line begun holds anything and whether a CR
// has just ended a piece (its LF then belongs to it). The bytes of a line are
// passed on as they come, never gathered. It counts the lines of the file as
// it came, the empty ones the rewriting drops included.
class FineRighe {
public:
    // Passes on a piece's bytes with their new line ends, appended to out
    // when given; the number of bytes they make.
    qsizetype aggiungi(const char *dati, qsizetype quanti, QByteArray *out)
    {
        qsizetype fatti = 0;
        for (qsizetype i = 0; i < quanti;) {
            const char c = dati[i];
            if (dopoCR_) {
                dopoCR_ = false;
                if (c == '\n') {
                    ++i;
                    continue;
                }
            }
            if (c == '\r') {
                dopoCR_ = true;
                ++arrivate_;
                if (piena_)
                    fatti += fine(out);
                ++i;
            } else if (c == '\n') {
                ++arrivate_;
                fatti += fine(out);
                ++i;
            } else {
                qsizetype j = i + 1;
                while (j < quanti && dati[j] != '\r' && dati[j] != '\n')
                    ++j;
                if (out)
                    out->append(dati + i, j - i);
                fatti += j - i;
                piena_ = true;
                i = j;
            }
        }
        return fatti;
    }
    // The end of the file: a last line that holds anything is ended.
    qsizetype chiudi(QByteArray *out)
    {
        if (!piena_)
            return 0;
        ++arrivate_;
        return fine(out);
    }
    // The lines of the file as it came, once it is closed.
    qint64 arrivate() const { return arrivate_; }

private:
    qsizetype fine(QByteArray *out)
    {
        if (out)
            out->append("\r\n", 2);
        piena_ = false;
        return 2;
    }
    bool piena_ = false;
    bool dopoCR_ = false;
    qint64 arrivate_ = 0;
};

// The answer file with its line ends made CR LF, read a piece at a time:
// once to count its new size, once to fill exactly that, so that nothing but
// the new bytes is held. arrivate gets the number of lines it came with.
QByteArray leggiNormalizzato(const QString &host, qint64 &arrivate)
{
    constexpr qint64 Pezzo = 1024 * 1024;
    QFile file(host);
    common::openToRead(file);
    QByteArray pezzo(Pezzo, Qt::Uninitialized);
    const auto passata = [&](QByteArray *out) {
        if (!file.seek(0))
            platform::raise(platform::err::PathFileAccess);
        FineRighe fineRighe;
        qsizetype totale = 0;
        for (;;) {
            const qint64 letti = file.read(pezzo.data(), Pezzo);
            if (letti < 0)
                platform::raise(platform::err::PathFileAccess);
            if (letti == 0)
                break;
            totale += fineRighe.aggiungi(pezzo.constData(), letti, out);
        }
        totale += fineRighe.chiudi(out);
        arrivate = fineRighe.arrivate();
        return totale;
    };
    QByteArray contenuto;
    contenuto.reserve(passata(nullptr));
    passata(&contenuto);
    return contenuto;
}

}  // namespace

QByteArray NormalizzaFineRighe(const QByteArray &bytes)
{
    QByteArray out;
    FineRighe fineRighe;
    fineRighe.aggiungi(bytes.constData(), bytes.size(), &out);
    fineRighe.chiudi(&out);
    return out;
}

QString NomeCopiaRisposta(const QString &centrale, const QDate &data, qint32 progressivo, QChar tipo)
{
    return centrale + QStringLiteral("Risposte Pervenute\\") + data.toString(QStringLiteral("yyyyMMdd")) + u'-'
           + QString::number(progressivo) + u'-' + tipo;
}

namespace {

// Whether an answer of the type is stored for processing (W, H, P).
bool RispostaConservata(QChar tipo) { return tipo == TipoEsiti || tipo == TipoIntrastat || tipo == TipoManifesto; }

void avvisa(const QString &testo, const QString &titolo = common::TitoloCorbix) { platform::msgBox(testo, titolo, MsgIcon::Information); }

// The refusal of an answer of another day, and of a file that is no answer:
// neither has the flow's date where an answer has it.
void avvisaDataDiversa()
{
    avvisa(QStringLiteral("La data della risposta non coincide con la data del corbex orgine."),
           QStringLiteral("Corbix Doganali"));
}

// The host path of a file that exists; empty when there is none (or its drive
// is not ready).
QString fileEsistente(const QString &percorso)
{
    try {
        const QString host = platform::hostPath(percorso);
        return QFileInfo(host).isFile() ? host : QString();
    } catch (const platform::RuntimeError &) {
        return {};
    }
}

const QString SqlRigaInviata =
    QStringLiteral("SELECT Stato FROM Corbix WHERE Posizione = ? AND Data = DateValue(?) AND Progressivo = ?");

bool rigaRispostaPresente(dao::Database &db, const DatiCorbex &flow)
{
    auto rs = db.openRecordset(
        QStringLiteral("SELECT * FROM Corbix WHERE Posizione = ? AND Data = DateValue(?) AND Progressivo = ?"),
        {flowengine::PosizioneRisposta, flow.Data, flow.Progressivo}, dao::RecordsetType::Snapshot);
    return !rs->eof();
}

// The flow's row held against other programs, while it still holds the flow
// as the list showed it; otherwise the user has been told, superato says
// whether the list is to be refilled, and the recordset is closed.
bool rigaInviataElencata(dao::Database &db, std::unique_ptr<dao::Recordset> &inviata, const DatiCorbex &flow,
                         bool &superato)
{
    if (common::OpenRecordsetRetry(db, inviata, SqlRigaInviata, {flowengine::PosizioneInviati, flow.Data, flow.Progressivo},
                                   common::TimeoutOneMinute)
        != 0)
        return false;
    if (uimain::FlussoAncoraElencato(flow, superato))
        return true;
    inviata->close();
    return false;
}

// Stores the answer: the copy in the collection point first, whole under its
// temporary name, noted in the journal, then the flow's new state and the
// answer row in one transaction, while the flow's row is held against other
// programs and holds the flow as the list showed it; the copy takes its name
// once that has committed. A failure is told and undoes the copy.
bool archivia(dao::Database &db, flowengine::GiornaleLavoro &giornale, const DatiCorbex &flow, QChar tipo,
              const QByteArray &contenuto, int stato)
{
    std::unique_ptr<dao::Recordset> inviata;
    bool superato = false;
    if (!rigaInviataElencata(db, inviata, flow, superato))
        return superato;
    const QString copia = NomeCopiaRisposta(common::OpzioniCorbix.Centrale, flow.Data, flow.Progressivo, tipo);
    QString copiaHost;
    try {
        const QString host = platform::hostPath(copia);
        giornale.annota(copia, flowengine::Destino::Sostituisce);
        copiaHost = host;
        if (!common::writeTemporary(copiaHost, contenuto, true, giornale.identificatore(copia)))
            platform::raise(platform::err::PathFileAccess);
        giornale.registra(copia);
        dao::Transaction transazione(db);
        if (!inviata->eof()) {
            inviata->edit();
            inviata->setValue(QStringLiteral("Stato"), stato);
            inviata->update();
        }
        db.execute(QStringLiteral("INSERT INTO Corbix (Posizione, Data, Progressivo, NomeFile, CompostoDa, Stato, "
                                  "Tipo, RifFloppy, FattoDa) VALUES (?, ?, ?, ?, NULL, 0, 0, NULL, ?)"),
                   {flowengine::PosizioneRisposta, flow.Data, flow.Progressivo, copia,
                    common::StrToNull(flow.FattoDa)},
                   dao::FailOnError);
        transazione.commit();
        CORBIX_PUNTO_DI_ARRESTO("prelievo.registrato");
        // Closing the held row ends the archive's transaction: its failure is
        // a failure of the fetch.
        inviata->close();
    } catch (const platform::RuntimeError &e) {
        // The held row's transaction ends undone even when its close fails
        // (a commit refused is rolled back): the copy goes at once, and the
        // journal with it.
        try {
            inviata->close();
        } catch (const platform::RuntimeError &) {
        }
        if (!copiaHost.isEmpty())
            QFile::remove(common::nomeTemporaneo(copiaHost));
        common::mostraErroreRunTime(e);
        return false;
    }
    CORBIX_PUNTO_DI_ARRESTO("prelievo.chiuso");
    // The answer is stored whatever follows: a name not given now is given
    // by the next start-up, whose journal names it.
    try {
        common::takeFinalName(copiaHost, true);
    } catch (const platform::RuntimeError &e) {
        common::mostraErroreRunTime(e);
    }
    return true;
}

// The flow whose formal check passed: state 2, nothing stored. A row that
// cannot be opened (the user was told why) keeps its state; the answer is
// still told, and the fetch is done.
bool controlloPositivo(dao::Database &db, const DatiCorbex &flow)
{
    std::unique_ptr<dao::Recordset> inviata;
    bool superato = false;
    if (rigaInviataElencata(db, inviata, flow, superato)) {
        if (!inviata->eof()) {
            inviata->edit();
            inviata->setValue(QStringLiteral("Stato"), flowengine::StatoControlloPositivo);
            inviata->update();
        }
        inviata->close();
    } else if (superato) {
        return true;
    }
    avvisa(QStringLiteral("Il controllo formale ha dato esito positivo. Prelevare la risposta."));
    return true;
}

}  // namespace

bool DimensioneRisposta(const QString &host, const QString &percorso, const QString &titolo)
{
    if (QFileInfo(host).size() <= MassimaRisposta)
        return true;
    platform::msgBox(QStringLiteral("Il file '") + percorso
                         + QStringLiteral("' è troppo grande per essere una risposta del servizio."),
                     titolo, MsgIcon::Exclamation);
    return false;
}

bool RispostaDelFlusso(const RispostaEdi &risposta, qint32 progressivo, const DatiCorbex &flow, QChar tipoAtteso)
{
    const QString dichiarante = DichiaranteRisposta(risposta.intestazione());
    const QChar tipo = risposta.tipo();
    if (risposta.data() != flow.Data || !flow.Data.isValid()) {
        avvisaDataDiversa();
        return false;
    }
    if (progressivo != flow.Progressivo) {
        avvisa(QStringLiteral("Il numero progressivo della risposta non coincide con quello del corbex origine."));
        return false;
    }
    if (dichiarante != flow.FattoDa) {
        avvisa(QStringLiteral("Il dichiarante indicato nella risposta non coincide con quello nel corbex origine."),
               QStringLiteral("Corbix doganali."));
        return false;
    }
    if ((!RispostaConservata(tipo) && !ControlloFormale(tipo)) || (!tipoAtteso.isNull() && tipo != tipoAtteso)) {
        avvisa(QStringLiteral("La tipologia della riposta non fra quelle previste dal sistema E.D.I."));
        return false;
    }
    return true;
}

bool PrelevaRisposta(const QString &percorso, const DatiCorbex &flow)
{
    const QString host = fileEsistente(percorso);
    if (host.isEmpty()) {
        avvisa(QStringLiteral("Il nome identificativo della risposta non è stato trovato nel percorso specificato. "
                              "Indicare il nome corretto o modificare il percorso."));
        return false;
    }
    // The archive and the program database are no answers; they are not
    // even opened, which would drop the locks the program holds on them.
    if (common::FileDiDatabase(host)) {
        avvisaDataDiversa();
        return false;
    }
    if (!DimensioneRisposta(host, percorso, TitoloPrelievo))
        return false;
    const qint32 progressivo = flowengine::Decimale::daTesto(percorso.right(2)).intero32();

    QByteArray contenuto;
    RispostaEdi risposta;
    // The journal names the temporaries of the fetch: the rewritten answer,
    // never to be named after a crash, and the stored copy.
    std::optional<flowengine::GiornaleLavoro> giornale;
    try {
        // The file is read and examined first: only an answer with all its
        // lines is ever written, and a file that is no answer stays as it is.
        qint64 arrivate = 0;
        contenuto = leggiNormalizzato(host, arrivate);
        const EsameRisposta esame = EsaminaRisposta(contenuto, arrivate);
        if (esame.forma == FormaRisposta::NonRisposta) {
            avvisaDataDiversa();
            return false;
        }
        if (esame.forma == FormaRisposta::Incompleta) {
            avvisa(QStringLiteral("La risposta è incompleta: ") + esame.difetto
                   + QStringLiteral(". Prelevare la risposta completa."));
            return false;
        }
        giornale.emplace();
        // Noted by its drive form; a host path that no drive holds is out of
        // the sweep's reach, and the next fetch of it replaces its temporary.
        const std::optional<QString> nome = common::PercorsoInFormaDrive(percorso);
        if (nome)
            giornale->annota(*nome, flowengine::Destino::Scarta);
        // The rewritten answer replaces the file at once and whole.
        if (!common::writeTemporary(host, contenuto, true,
                                    nome ? giornale->identificatore(*nome) : platform::CreatedFile()))
            platform::raise(platform::err::PathFileAccess);
        common::takeFinalName(host, true);
        risposta = RispostaEdi::estremi(contenuto);
    } catch (const platform::RuntimeError &e) {
        common::mostraErroreRunTime(e);
        return false;
    } catch (const std::bad_alloc &) {
        common::mostraErroreRunTime(
            platform::RuntimeError(platform::err::OutOfMemory, platform::errorDescription(platform::err::OutOfMemory)));
        return false;
    }
    uimain::RipristinaCartellaProgramma();
    if (!RispostaDelFlusso(risposta, progressivo, flow))
        return false;

    const QChar tipo = risposta.tipo();
    const bool conservata = RispostaConservata(tipo);
    try {
        dao::Database db = common::ApriArchivio();
        if (ControlloFormale(tipo) && ControlloSuperato(risposta.riga(2)))
            return controlloPositivo(db, flow);
        // The register holds one answer row for each flow: an answer already
        // stored is not stored again.
        if (rigaRispostaPresente(db, flow)) {
            if (ControlloFormale(tipo))
                avvisa(QStringLiteral("La risposta di tipo controllo formale risultagià prelevata."));
            else
                avvisa(QStringLiteral("La risposta risulta già prelevata."));
            return false;
        }
        return archivia(db, *giornale, flow, tipo, contenuto,
                        conservata ? flowengine::StatoRispostaPervenuta : flowengine::StatoControlloNegativo);
    } catch (const platform::RuntimeError &e) {
        common::mostraErroreRunTime(e);
        return false;
    }
}

}  // namespace uitransmission
