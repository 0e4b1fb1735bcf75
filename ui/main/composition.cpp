#include "ui/main/composition.h"

#include "common/databases.h"
#include "common/errormanagement.h"
#include "common/globals.h"
#include "common/openretry.h"
#include "common/paths.h"
#include "common/runtimeerror.h"
#include "common/textfiles.h"
#include "flowengine/collectionpoint.h"
#include "flowengine/flowwriter.h"
#include "flowengine/numbering.h"
#include "flowengine/register.h"
#include "platform/dao/database.h"
#include "platform/codepage.h"
#include "platform/crashpoint.h"
#include "platform/dao/recordset.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/messagebox.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace uimain {

using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

namespace {



// The last n characters of the zeros followed by the text.
QString zeri(const QString &text, int n) { return (QString(n, u'0') + text).right(n); }

// A file the filing writes under its temporary name: the temporary is
// removed again when the filing fails before the archive knows the flow.
struct FileScritto {
    QString host;
    bool finale = false;
    void rimuovi() const
    {
        if (!host.isEmpty() && !finale)
            QFile::remove(common::nomeTemporaneo(host));
    }
};

// A failure already told to the user in its own words.
struct GiaSegnalato {};

// Declarations of the flow that another flow took while this one was
// composed: nothing is filed.
struct DichiarazioniPrese {
    std::vector<flowengine::DocumentoCorbex> documenti;
};

void mostraDichiarazioniPrese(const std::vector<flowengine::DocumentoCorbex> &documenti)
{
    QString elenco;
    for (const flowengine::DocumentoCorbex &d : documenti)
        elenco += QStringLiteral("N° %1 del %2, rif. doganale %3\r\n")
                      .arg(d.Indice)
                      .arg(d.Data.toString(QStringLiteral("dd/MM/yyyy")), d.Rif);
    const bool una = documenti.size() == 1;
    platform::msgBox((una ? QStringLiteral("Nel frattempo la dichiarazione seguente è stata inserita in un altro corbex:")
                          : QStringLiteral("Nel frattempo le dichiarazioni seguenti sono state inserite in un altro "
                                           "corbex:"))
                         + QStringLiteral("\r\n") + elenco
                         + QStringLiteral("Il corbex non è stato archiviato. Ripetere la composizione."),
                     common::TitoloCorbix, MsgIcon::Exclamation);
}

// The host path of a file the run wrote; empty when it cannot be reached
// (the drive is gone).
QString percorsoRaggiungibile(const QString &percorso)
{
    if (percorso.isEmpty())
        return {};
    try {
        return platform::hostPath(percorso);
    } catch (const platform::RuntimeError &) {
        return {};
    }
}

// The host path of the file the filing wrote on the medium; empty when the
// medium can no longer be reached.
QString fileSulSupporto(const QString &nome)
{
    return nome.isEmpty() ? QString() : percorsoRaggiungibile(common::OpzioniCorbix.FloppyDevice + u'\\' + nome);
}

// Writes the file named (drive form) whole under its temporary name, created
// exclusively and noted in the journal first: false when another run holds
// the name.
bool scriviEsclusivo(flowengine::GiornaleLavoro &giornale, const QString &nome, const QByteArray &bytes)
{
    giornale.annota(nome, flowengine::Destino::Esclusivo);
    if (common::writeTemporary(platform::hostPath(nome), bytes, false, giornale.identificatore(nome)))
        return true;
    giornale.ritira(nome);
    return false;
}

}  // namespace

// ---------------------------------------------------------------- fields

std::optional<int> ProgressivoValido(const QString &text)
{
    QString t = text.trimmed();
    if (t.startsWith(u'+'))
        t.remove(0, 1);
    if (t.isEmpty() || t.size() > 2)
        return std::nullopt;
    for (const QChar c : t)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    return t.toInt();
}

QString UfficioDigitato(const QString &text) { return text.trimmed().left(6); }

bool CartellaEsiste(const QString &folder)
{
    if (folder.trimmed().isEmpty())
        return false;
    try {
        return QFileInfo(platform::hostPath(folder)).isDir();
    } catch (const platform::RuntimeError &) {
        return false;
    }
}

bool NomeFileValido(const QString &name)
{
    const bool controllo =
        std::any_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
    if (!name.trimmed().isEmpty() && name != u"." && !controllo && !name.contains(u'\\') && !name.contains(u'/')
        && !name.contains(QStringLiteral("..")))
        return true;
    platform::msgBox(QStringLiteral("Il nome del file '") + name + QStringLiteral("' non è valido."), common::TitoloCorbix,
                     MsgIcon::Exclamation);
    return false;
}

// ---------------------------------------------------------------- folder step

EsitoPasso4 VerificaPasso4(const CampiPasso4 &campi)
{
    EsitoPasso4 esito;
    if (campi.ufficio.isEmpty()) {
        platform::msgBox(QStringLiteral("E' necessario indicare il codice dell'ufficio doganale a cui è indirizzato "
                                        "il corbex."),
                         common::TitoloCorbix, MsgIcon::Information);
        esito.ufficio = Colore::Rosso;
        return esito;
    }
    if (!campi.uffici.contains(campi.ufficio, Qt::CaseSensitive)) {
        const MsgResult risposta = platform::msgBox(
            QStringLiteral("Il codice dell'ufficio doganale di destinazione non risulta definito nel relativo "
                           "archivio. Accettare comunque tale codice?"),
            common::TitoloCorbix, MsgIcon::Question, MsgButtons::YesNo, 1);
        if (risposta != MsgResult::Yes) {
            esito.ufficio = Colore::Rosso;
            return esito;
        }
        esito.ufficio = Colore::Giallo;
    }
    if (campi.progressivo.trimmed().isEmpty()) {
        platform::msgBox(QStringLiteral("E' necessario indicare il numero progressivo del corbex."),
                         QStringLiteral("Corbix doganali."), MsgIcon::Information);
        esito.progressivo = Colore::Rosso;
        return esito;
    }
    // Computed again from the text: the colour the field was left with may
    // not have followed the last change.
    if (!ProgressivoValido(campi.progressivo)) {
        platform::msgBox(QStringLiteral("Il progressivo indicato non è corretto."), common::TitoloCorbix, MsgIcon::Information);
        esito.progressivo = Colore::Rosso;
        return esito;
    }
    // A host path would pass for a folder and then lose the flow: the filing
    // joins the folder and the name with "\".
    const std::optional<QString> cartella = common::PercorsoInFormaDrive(campi.cartella);
    if (!cartella || !CartellaEsiste(*cartella)) {
        platform::msgBox(QStringLiteral("Il percorso indicato per la cartella di destinazione non esiste. Indicare "
                                        "un percorso valido."),
                         QStringLiteral("Corbix Doganali"), MsgIcon::Information);
        esito.cartella = Colore::Rosso;
        return esito;
    }
    esito.superato = true;
    esito.percorso = *cartella;
    return esito;
}

std::optional<ChiaveCorbex> RiservaRiga(const QDate &data, int progressivo, const QString &dichiarante)
{
    const auto usato = [] {
        platform::msgBox(QStringLiteral("Il progressivo indicato non può essere accettato poiché già usato. "
                                        "Usare un numero progressivo diverso."),
                         common::TitoloCorbix, MsgIcon::Information);
        return std::nullopt;
    };
    try {
        // Taken before the row is written, so that the row is never without it.
        std::shared_ptr<flowengine::BloccoRiservazione> blocco = flowengine::BloccoRiservazione::prendi(data, progressivo);
        if (!blocco)
            return usato();
        dao::Database db = common::ApriArchivio();
        std::unique_ptr<dao::Recordset> rs;
        if (common::OpenRecordsetRetry(db, rs,
                                       QStringLiteral("SELECT * FROM Corbix WHERE Data = DateValue(?) ORDER BY "
                                                      "Progressivo"),
                                       {data}, common::TimeoutTenSeconds)
            != 0) {
            db.close();
            return std::nullopt;
        }
        for (; !rs->eof(); rs->moveNext()) {
            if (rs->value(QStringLiteral("Progressivo")).toInt() == progressivo) {
                rs->close();
                db.close();
                return usato();
            }
        }
        rs->addNew();
        rs->setValue(QStringLiteral("Posizione"), flowengine::PosizioneInviati);
        rs->setValue(QStringLiteral("Data"), data);
        rs->setValue(QStringLiteral("Progressivo"), progressivo);
        rs->setValue(QStringLiteral("NomeFile"), QVariant());
        rs->setValue(QStringLiteral("CompostoDa"), QVariant());
        rs->setValue(QStringLiteral("RifFloppy"), QVariant());
        rs->setValue(QStringLiteral("Tipo"), flowengine::TipoTelematico);
        rs->setValue(QStringLiteral("Stato"), flowengine::StatoProdotto);
        rs->setValue(QStringLiteral("FattoDa"), common::StrToNull(dichiarante));
        rs->update();
        rs->close();
        db.close();
        return ChiaveCorbex{data, progressivo, flowengine::PosizioneInviati, std::move(blocco)};
    } catch (const platform::RuntimeError &e) {
        MostraErroreRunTime(e.number(), e.description());
        return std::nullopt;
    }
}

bool EliminaRiga(const ChiaveCorbex &chiave)
{
    try {
        dao::Database db = common::ApriArchivio();
        std::unique_ptr<dao::Recordset> rs;
        if (common::OpenRecordsetRetry(db, rs,
                                       QStringLiteral("SELECT * FROM Corbix WHERE Data = DateValue(?) AND "
                                                      "Progressivo = ? AND Posizione = ?"),
                                       {chiave.data, chiave.progressivo, chiave.posizione}, common::TimeoutOneMinute)
            != 0) {
            db.close();
            return false;
        }
        if (!rs->eof())
            rs->deleteCurrent();
        rs->close();
        db.close();
        if (chiave.blocco)
            chiave.blocco->rilascia();
        return true;
    } catch (const platform::RuntimeError &e) {
        MostraErroreRunTime(e.number(), e.description());
        return false;
    }
}

// ---------------------------------------------------------------- lists

ElenchiComposizione LeggiElenchi()
{
    ElenchiComposizione elenchi;
    dao::Database db = common::ApriArchivio();
    std::unique_ptr<dao::Recordset> rs = db.openRecordset(QStringLiteral("SELECT Codice FROM Spedoga ORDER BY Codice"),
                                                          {}, dao::RecordsetType::Snapshot);
    for (; !rs->eof(); rs->moveNext())
        elenchi.dichiaranti << common::NullToStr(rs->value(0));
    rs = db.openRecordset(QStringLiteral("SELECT Codice FROM Dogane"), {}, dao::RecordsetType::Snapshot);
    for (; !rs->eof(); rs->moveNext())
        elenchi.uffici << common::NullToStr(rs->value(0));
    rs->close();
    db.close();
    return elenchi;
}

// ---------------------------------------------------------------- search

QStringList TipiRichiesti(bool export_, bool exportSemplificato, bool importazione, bool inDeposito)
{
    QStringList tipi;
    if (export_)
        tipi << QStringLiteral("C2");
    if (exportSemplificato)
        tipi << QStringLiteral("C9");
    if (importazione)
        tipi << QStringLiteral("C1");
    if (inDeposito)
        tipi << QStringLiteral("C7");
    return tipi;
}

QList<DichiarazioneTrovata> CercaDichiarazioni(const QString &dichiarante, const QStringList &tipi, const QDate &oggi,
                                               const std::function<void(qint64, qint64)> &avanzamento)
{
    dao::Database db = common::ApriArchivio();
    // The candidates first, by date and index: a short query, which gives
    // the total at once.
    std::vector<QVariant> candidati;
    {
        std::unique_ptr<dao::Recordset> rs = db.openRecordset(
            QStringLiteral("SELECT _rowid_ FROM Indicedoc WHERE ultimadata <= DateValue(?) and stato1 <> 1 and "
                           "stato1 <> 2 ORDER BY Data, Indice"),
            {oggi}, dao::RecordsetType::Snapshot);
        for (; !rs->eof(); rs->moveNext())
            candidati.push_back(rs->value(0));
        rs->close();
    }
    const qint64 totale = qint64(candidati.size());
    if (totale > 0 && avanzamento)
        avanzamento(0, totale);

    // Then, a slice of candidates at a time, so that the caller hears of the
    // advance between two short queries, each candidate's front-sheet boxes
    // its message result is made of and the box that tells its declarant
    // (box 14, compared by the archive, the last column saying whether the
    // row is the declarant's own): a query per candidate costs more than the
    // candidate's work, and asking the archive for the declarant's box for
    // each row of the others would read every candidate's boxes once more. A
    // candidate with no such rows comes back as one row with no box. The
    // slices follow each other in the candidates' order, so the list is the
    // one a single query would give.
    QStringList campi = flowengine::CampiCodiceMsg();
    campi << QStringLiteral("14");
    QVariantList comuni = {QStringLiteral("14"), QStringLiteral("0"), QStringLiteral("1"), dichiarante,
                           QStringLiteral("F")};
    comuni += QVariantList(campi.cbegin(), campi.cend());
    QList<DichiarazioneTrovata> trovate;
    qint64 posizione = 0;
    for (qint64 primo = 0; primo < totale; primo += CandidatiPerFetta) {
        const qint64 quanti = std::min<qint64>(CandidatiPerFetta, totale - primo);
        QVariantList parametri = comuni;
        parametri += QVariantList(candidati.cbegin() + primo, candidati.cbegin() + primo + quanti);
        std::unique_ptr<dao::Recordset> rs = db.openRecordset(
            QStringLiteral("SELECT i.Data, i.Indice, d.Articolo, d.Modulo, d.Campo, d.SottoCasella, d.Riga, "
                           "d.Contenuto, d.Campo = ? AND d.SottoCasella = ? AND d.Riga = ? AND d.Contenuto = ? "
                           "FROM Indicedoc AS i LEFT JOIN dettagliobol AS d ON d.indice = i.Indice AND "
                           "d.data = date(i.Data) AND d.Modulo = ? AND d.Campo IN (%1) "
                           "WHERE i._rowid_ IN (%2) ORDER BY i.Data, i.Indice, d._rowid_")
                .arg(QStringList(campi.size(), QStringLiteral("?")).join(QStringLiteral(", ")),
                     QStringList(int(quanti), QStringLiteral("?")).join(QStringLiteral(", "))),
            parametri, dao::RecordsetType::Snapshot);
        // Where each candidate's rows begin, the end last, and whether it is
        // the declarant's.
        std::vector<int> inizi;
        std::vector<bool> propri;
        QVariant data, indice;
        for (int r = 0; !rs->eof(); rs->moveNext(), ++r) {
            QVariant d = rs->value(0), n = rs->value(1);
            if (inizi.empty() || d != data || n != indice) {
                inizi.push_back(r);
                propri.push_back(false);
            }
            if (rs->value(8).toBool())
                propri.back() = true;
            data = std::move(d);
            indice = std::move(n);
        }
        const int inFetta = int(inizi.size());
        inizi.push_back(rs->recordCount());
        for (int k = 0; k < inFetta; ++k) {
            if (avanzamento)
                avanzamento(++posizione, totale);
            if (!propri[size_t(k)])
                continue;  // not the declarant's
            const int inizio = inizi[size_t(k)];
            rs->setAbsolutePosition(inizio);
            const QDate giorno = rs->value(0).toDate();
            const qint32 numero = rs->value(1).toInt();
            const QString r = flowengine::DeterminaCodiceMsg(
                flowengine::CaselleDichiarazione::daRighe(*rs, 2, inizi[size_t(k) + 1] - inizio));
            if (!r.isEmpty() && tipi.contains(r.left(8).trimmed()))
                trovate.append({giorno, numero, r.right(7), r.left(2)});
        }
        rs->close();
    }
    db.close();
    return trovate;
}

// ---------------------------------------------------------------- selection text

QString ElencoSelezionate(const QString &kind, const QString &dichiarante, const QList<DichiarazioneTrovata> &righe,
                          const QString &ticks)
{
    const QString crlf = QStringLiteral("\r\n");
    QString linee;
    qint64 conteggio = 0;
    for (qsizetype i = 0; i < righe.size(); ++i) {
        if (i >= ticks.size() || ticks[i] != u'1')
            continue;
        const DichiarazioneTrovata &d = righe[i];
        linee += d.data.toString(QStringLiteral("yyyy/MM/dd")) + u'-'
                 + zeri(QString::number(d.indice), 9).right(9) + crlf;
        ++conteggio;
    }
    return kind + crlf + dichiarante.leftJustified(16, u' ', true) + crlf + QString::number(conteggio) + crlf + linee;
}

QString DichiaranteDiSelezione(const QString &selezione)
{
    const QString resto = selezione.mid(selezione.indexOf(QStringLiteral("\r\n")) + 2);
    return resto.left(resto.indexOf(QStringLiteral("\r\n"))).trimmed();
}

// ---------------------------------------------------------------- envelope

QString NomeFileBusta(const QString &login, const QDate &data, int progressivo)
{
    QString maiuscolo = login;
    common::ConvertCase(maiuscolo, 1);
    return zeri(maiuscolo, 4) + data.toString(QStringLiteral("MMdd")) + QStringLiteral(".T")
           + zeri(QString::number(progressivo), 2);
}

QString RecordBusta(const QString &login, const QDate &data, int progressivo, const QString &ufficio,
                    const QString &dichiarante, qint64 righe)
{
    return zeri(login, 4) + QString(12, u' ') + NomeFileBusta(login, data, progressivo) + QString(12, u' ')
           + zeri(ufficio, 6) + QString(4, u' ') + dichiarante.leftJustified(16, u' ', true) + QStringLiteral("001 ")
           + zeri(QString::number(righe + 1), 5);
}

bool ImbustaCorbex(const QString &fileCorbex, const QDate &data, int progressivo, const QString &ufficio,
                   const QString &dichiarante, flowengine::GiornaleLavoro *giornale)
{
    dao::Database db = common::ApriArchivio();
    std::unique_ptr<dao::Recordset> rs =
        db.openRecordset(QStringLiteral("SELECT CED FROM CompDog WHERE Stato = ? AND Codice = ?"),
                         {QStringLiteral("IT"), ufficio.left(2)}, dao::RecordsetType::Snapshot);
    const QString ced = rs->eof() ? QString() : common::NullToStr(rs->value(0));
    rs->close();
    if (ced.isEmpty()) {
        db.close();
        platform::msgBox(QStringLiteral("Impossibile procedere: manca il collegamento fra l'ufficio doganale ed il "
                                        "codice del relativo C.E.D. compartimentale.\r\nProvvedere a definire "
                                        "tale collegamento attraverso la maschera della 'Gestione dei "
                                        "compartimenti' quindi riprovare."),
                         common::NomeProgramma, MsgIcon::Information);
        return false;
    }
    const QString host = platform::hostPath(fileCorbex);
    const QList<QByteArray> righe = common::splitLines(common::readFile(host));
    rs = db.openRecordset(QStringLiteral("SELECT Login FROM UtenzeEDI WHERE Dichiarante = ? AND CodiceCED = ?"),
                          {dichiarante, ced}, dao::RecordsetType::Snapshot);
    const bool trovata = !rs->eof();
    const QString login = trovata ? common::NullToStr(rs->value(0)) : QString();
    rs->close();
    db.close();
    if (!trovata) {
        platform::msgBox(QStringLiteral("Impossibile completare la generazione del corbex telematico: non risultano "
                                        "definiti i dati di utenza per il dichiarante/rappresenetate o per il "
                                        "compartimento doganale di destinazione.\r\nProvvedere a definire tali "
                                        "dati attraverso la maschera 'Utenze E.D.I.' quindi riprovare"),
                         TitoloApplicazione, MsgIcon::None);
        return false;
    }
    if (!NomeFileValido(NomeFileBusta(login, data, progressivo)))
        return false;
    QByteArray flusso =
        platform::toWindows1252(RecordBusta(login, data, progressivo, ufficio, dichiarante, righe.size())) + "\r\n";
    for (const QByteArray &riga : righe)
        flusso += riga + "\r\n";
    if (!giornale) {
        common::replaceFile(host, flusso);
        return true;
    }
    giornale->annota(fileCorbex, flowengine::Destino::Scarta);
    common::replaceFile(host, flusso, platform::FinalLink::Replace, [&](const struct stat &identita) {
        giornale->identifica(fileCorbex, identita);
        CORBIX_PUNTO_DI_ARRESTO("busta.temporaneo");
    });
    return true;
}

bool ConBusta(common::CanaleInvio canale)
{
    return canale == common::CanaleInvio::RichiediSempre || canale == common::CanaleInvio::InternetIntranet;
}

QString NomeCopiaCartella(const QString &primaRiga, common::CanaleInvio canale, const QDate &data,
                          const QString &progressivo, const QString &ufficio)
{
    if (ConBusta(canale))
        return primaRiga.mid(16, 12).trimmed();
    return data.toString(QStringLiteral("yyMMdd")) + zeri(progressivo, 2) + u'-' + ufficio;
}

// ---------------------------------------------------------------- filing

QString ScriviSulSupporto(const QByteArray &righe, flowengine::GiornaleLavoro &giornale)
{
    for (QString precedente;;) {
        const QString nome = flowengine::NomeFilePratiche();
        if (nome.isEmpty())
            return {};
        // A name offered again after it could not be taken is held by
        // something the look for a free name does not see: asking again
        // would never end.
        if (nome == precedente)
            platform::raise(platform::err::PathFileAccess);
        if (scriviEsclusivo(giornale, nome, righe))
            return nome;
        precedente = nome;
    }
}

std::optional<QString> ArchiviaCorbex(const RichiestaCorbex &richiesta, const ProdottoCorbex &prodotto)
{
    const bool cartella = richiesta.DestinazioneCorbex == flowengine::Destinazione::Cartella;
    // The files are written whole under their temporary names and take their
    // final names only once the archive knows the flow.
    FileScritto copia, archivio, supporto;
    QStringList costruiti;  // the build's files, when a refused write is to remove them
    supporto.host = fileSulSupporto(prodotto.FileSupporto);
    // The journal outlives the removal of the temporaries after a failure,
    // so that it goes with them.
    std::shared_ptr<flowengine::GiornaleLavoro> giornale = prodotto.giornale;
    try {
        if (!giornale)
            giornale = std::make_shared<flowengine::GiornaleLavoro>();
        const QString origine = platform::hostPath(prodotto.FileTemporaneo);
        const QByteArray flusso = common::readFile(origine);
        if (cartella) {
            const QList<QByteArray> righe = common::splitLines(flusso);
            const QString nome = NomeCopiaCartella(righe.isEmpty() ? QString() : platform::fromWindows1252(righe[0]),
                                                   common::OpzioniCorbix.SendWith, richiesta.data,
                                                   QString::number(richiesta.progressivo), richiesta.ufficio);
            if (!NomeFileValido(nome))
                throw GiaSegnalato{};
            const QString nomeCopia = richiesta.cartella + u'\\' + nome;
            const QString host = platform::hostPath(nomeCopia);
            giornale->annota(nomeCopia, flowengine::Destino::Sostituisce);
            copia.host = host;
            if (!common::writeTemporary(host, common::joinLines(righe, "\n"), true, giornale->identificatore(nomeCopia)))
                platform::raise(platform::err::PathFileAccess);
        }
        // The archive name is taken exclusively: its temporary is created
        // only where neither it nor the name is there, else the next name.
        QString inviati = flowengine::CartellaInviati;
        QString nomeArchivio;
        for (;;) {
            nomeArchivio = flowengine::NuovoNomeFile(inviati, richiesta.data);
            if (nomeArchivio.isEmpty())
                platform::raise(platform::err::PathNotFound);
            if (scriviEsclusivo(*giornale, nomeArchivio, flusso))
                break;
        }
        archivio.host = platform::hostPath(nomeArchivio);
        // Once the register holds this name, a start-up after a crash gives
        // the temporaries their names.
        giornale->registra(nomeArchivio);
        {
            dao::Database db = common::ApriArchivio();
            // Nothing of the filing runs outside its transaction: a start
            // that is not made, whatever the user answers, leaves the filing.
            std::optional<dao::Transaction> transazione;
            if (!common::runRequiredStep(QStringLiteral("ArchiviaCorbex"), [&] { transazione.emplace(db); }))
                throw GiaSegnalato{};
            const dao::CommitWait attesa(common::AttesaSilenziosaMs);
            // A folder flow completes the row reserved for it; a medium flow
            // takes the next number of its date, just numbered.
            const QVariantList chiave =
                cartella ? QVariantList{richiesta.riservata.data, richiesta.riservata.progressivo,
                                        richiesta.riservata.posizione}
                         : QVariantList{richiesta.data, flowengine::NuovoProgressivo(richiesta.data),
                                        flowengine::PosizioneNumerato};
            std::unique_ptr<dao::Recordset> rs = db.openRecordset(
                QStringLiteral("SELECT * FROM Corbix WHERE Data = DateValue(?) AND Progressivo = ? AND Posizione = ?"),
                chiave);
            if (rs->eof())
                platform::raise(platform::err::NoCurrentRecord);
            rs->edit();
            rs->setValue(QStringLiteral("Posizione"), flowengine::PosizioneInviati);
            rs->setValue(QStringLiteral("NomeFile"), nomeArchivio);
            rs->setValue(QStringLiteral("CompostoDa"), prodotto.ElencoComposizione);
            if (!cartella) {
                rs->setValue(QStringLiteral("RifFloppy"), common::StrToNull(prodotto.FileSupporto));
                rs->setValue(QStringLiteral("Stato"), flowengine::StatoProdotto);
                rs->setValue(QStringLiteral("Tipo"), flowengine::TipoSupportoMagnetico);
                // The declarant as the selection text carries it: its first
                // 16 characters, without the blanks around them.
                rs->setValue(QStringLiteral("FattoDa"), common::StrToNull(richiesta.dichiarante.left(16).trimmed()));
            }
            rs->update();
            rs->close();
            // Only declarations still free are filed: the search that listed
            // them may be minutes old, and another workstation may have filed
            // them since. The transaction then ends undone.
            QString elenco = prodotto.ElencoComposizione;
            std::vector<flowengine::DocumentoCorbex> prese = flowengine::MarcaDocumentiInviati(elenco);
            if (!prese.empty())
                throw DichiarazioniPrese{std::move(prese)};
            CORBIX_PUNTO_DI_ARRESTO("composizione.marcata");
            transazione->commit();
            db.close();
        }
        CORBIX_PUNTO_DI_ARRESTO("composizione.registrata");
        flowengine::RimuoviFileCostruiti({prodotto.FileTemporaneo}, giornale.get());
        archivio.finale = copia.finale = supporto.finale = true;
        // The flow is filed whatever follows: a name not given now is given
        // by the next start-up, whose journal names it.
        try {
            common::takeFinalName(archivio.host, false);
            if (!copia.host.isEmpty())
                common::takeFinalName(copia.host, true);
            if (!prodotto.FileSupporto.isEmpty()) {
                // Found again through its drive: a medium taken out since
                // is a drive that is not ready.
                common::takeFinalName(
                    platform::hostPath(common::OpzioniCorbix.FloppyDevice + u'\\' + prodotto.FileSupporto), false);
                // Named only now that the medium holds the whole file
                // under that name.
                platform::msgBox(QStringLiteral("Il corbex è stato trasferito sul supporto magnetico correttamente "
                                                "con il nome '")
                                     + prodotto.FileSupporto + QStringLiteral("'."),
                                 common::TitoloCorbix, MsgIcon::Information);
            }
        } catch (const platform::RuntimeError &e) {
            MostraErroreRunTime(e.number(), e.description());
        }
        // The reservation is a flow now: the sweep no longer looks at it.
        if (richiesta.riservata.blocco)
            richiesta.riservata.blocco->rilascia();
        return nomeArchivio;
    } catch (const platform::RuntimeError &e) {
        MostraErroreRunTime(e.number(), e.description());
        // A write the disk or the system refused leaves nothing of the run,
        // the built flow included, so that the same composition can be made
        // again once space is freed.
        if (platform::err::isWriteRefusal(e.number()))
            costruiti = prodotto.fileCostruiti;
    } catch (const GiaSegnalato &) {
    } catch (const DichiarazioniPrese &prese) {
        mostraDichiarazioniPrese(prese.documenti);
    }
    copia.rimuovi();
    archivio.rimuovi();
    supporto.rimuovi();
    flowengine::RimuoviFileCostruiti(costruiti, giornale.get());
    if (cartella)
        EliminaRiga(richiesta.riservata);
    return std::nullopt;
}

void MostraErroreRunTime(int numero, const QString &descrizione)
{
    platform::msgBox(common::TestoErroreRuntime(numero, descrizione), TitoloApplicazione, MsgIcon::Critical);
}

}  // namespace uimain
