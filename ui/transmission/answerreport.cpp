#include "ui/transmission/answerreport.h"

#include "common/databases.h"
#include "common/globals.h"
#include "common/openretry.h"
#include "common/paths.h"
#include "common/picturemask.h"
#include "common/runtimeerror.h"
#include "common/textfiles.h"
#include "flowengine/decimale.h"
#include "flowengine/flowlines.h"
#include "flowengine/register.h"
#include "flowengine/reportprinting.h"
#include "platform/busywait.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/dao/database.h"
#include "platform/dao/recordset.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/messagebox.h"
#include "platform/pageprinter.h"
#include "platform/texts.h"
#include "ui/transmission/answerfile.h"

#include <functional>
#include <map>
#include <optional>
#include <tuple>
#include <vector>

namespace uitransmission {

namespace {

const QString TitoloTabulato = QStringLiteral("Tabulato esplicativo");

// The lowest position a row may reach on a page of either listing.
constexpr double FondoPagina = 190;
constexpr double PassoRiga = 5;
constexpr qint16 PrimaRigaPositivi = 57;
constexpr qint16 PrimaRigaNegativi = 55;

using flowengine::DocumentoCorbex;

// The lines of the flow file as sent, by the path the register holds.
QStringList righeCorbex(const QString &percorso)
{
    QStringList righe;
    for (const QByteArray &riga : common::splitLines(flowengine::LeggiFileRegistrato(percorso))) {
        righe << platform::fromWindows1252(riga);
        // Under a busy wait the windows are painted meanwhile.
        platform::BusyWait::paintWhenDue();
    }
    return righe;
}

// The flow's declarations, each found by its reference at once: a listing
// looks one up for every record of the answer.
class Dichiarazioni {
public:
    explicit Dichiarazioni(const QString &compostoDa)
    {
        flowengine::LeggiCompostoDa(elenco_, compostoDa);
        indice_.emplace(elenco_);
    }
    const DocumentoCorbex *cerca(const QString &riferimento) const
    {
        const int i = indice_->trova(riferimento);
        return i < 0 ? nullptr : &elenco_[std::size_t(i)];
    }

private:
    std::vector<DocumentoCorbex> elenco_;
    std::optional<IndiceDichiarazioni> indice_;
};

// The record-layout field of a message code and mask references, as the
// program database's layouts hold it; each looked up once for a listing,
// which meets the same few again and again.
class CampiTracciato {
public:
    explicit CampiTracciato(dao::Database &programma) : programma_(programma) {}

    struct Campo {
        int progressivo = 0;
        QString descrizione;
    };
    const std::optional<Campo> &cerca(const QString &codiceMsg, const QString &mask1, const QString &mask2)
    {
        const auto chiave = std::tuple(codiceMsg, mask1, mask2);
        auto trovato = campi_.find(chiave);
        if (trovato != campi_.end())
            return trovato->second;
        std::optional<Campo> campo;
        std::unique_ptr<dao::Recordset> rs = programma_.openRecordset(
            QStringLiteral("SELECT Progressivo, Descrizione FROM Tracciati WHERE CodiceMsg = ? AND "
                           "RifMask1 = ? AND RifMask2 = ?"),
            {codiceMsg, mask1, mask2}, dao::RecordsetType::Snapshot);
        if (!rs->eof())
            campo = Campo{rs->value(0).toInt(), common::NullToStr(rs->value(1))};
        rs->close();
        return campi_.emplace(chiave, std::move(campo)).first->second;
    }

private:
    dao::Database &programma_;
    std::map<std::tuple<QString, QString, QString>, std::optional<Campo>> campi_;
};

QString riferimentoInterno(const DocumentoCorbex &d)
{
    return QString::number(d.Indice) + u'/' + d.Data.toString(QStringLiteral("yyyy"));
}

// A date of the answer as dd/mm/yyyy; empty when the answer holds no date there.
QString dataRisposta(const std::optional<QDate> &data)
{
    return data ? platform::DayText(*data) : QString();
}

void stampaA(platform::PagePrinter &p, double x, double y, const QString &testo)
{
    p.setCurrentX(x);
    p.setCurrentY(y);
    p.print(testo);
}

// The header lines both listings share; the rest of the page heading is each
// listing's own.
const QString EsitiPositivi = QStringLiteral("esiti positivi");
const QString EsitiNegativi = QStringLiteral("esiti negativi");

// The listing's name, on its pages and as its document's title.
QString titoloTabulato(const DatiTabulato &tabulato, const QString &esiti)
{
    return QStringLiteral("Tabulato esplicativo messaggio di risposta al corbex N. ")
           + QString::number(tabulato.Progressivo) + QStringLiteral(" del ")
           + tabulato.Data.toString(QStringLiteral("dd/MM/yyyy")) + QStringLiteral(" (") + esiti + QStringLiteral(")");
}

void stampaTestata(platform::PagePrinter &p, qint16 pagina, const DatiTabulato &tabulato, const QString &ditta,
                   const QString &esiti, double xPagina)
{
    p.setFontBold(true);
    p.setFontSize(16);
    stampaA(p, 20, 20, ditta);
    p.setFontBold(false);
    p.setFontSize(10);
    stampaA(p, 20, 30, titoloTabulato(tabulato, esiti));
    stampaA(p, 20, 35,
            QStringLiteral("Stampato il ") + platform::clock().now().date().toString(QStringLiteral("dd/MM/yyyy")));
    stampaA(p, xPagina, 35, QStringLiteral("Pag. ") + QString::number(pagina));
}

// Runs one listing. corpo reads what it needs and then prints; iniziata is
// set once the first page is begun, so that a failure after it still ends
// the document and frees the printer.
void stampaDocumento(const QString &durante, const std::function<void(bool &iniziata)> &corpo)
{
    platform::PagePrinter &p = platform::printer();
    bool iniziata = false;
    try {
        corpo(iniziata);
    } catch (const platform::RuntimeError &e) {
        if (iniziata) {
            try {
                p.endDoc();
            } catch (const platform::RuntimeError &) {
            }
        }
        platform::msgBox(common::TestoErroreRuntime(e.number(), e.description()) + QStringLiteral("\r\n(")
                             + durante + u')',
                         TitoloTabulato, platform::MsgIcon::Critical);
    }
}

}  // namespace

// ---------------------------------------------------------------- positive outcomes

qint16 StampaTestataPositivi(qint16 pagina, const DatiTabulato &tabulato, const QString &ditta)
{
    platform::PagePrinter &p = platform::printer();
    stampaTestata(p, pagina, tabulato, ditta, EsitiPositivi, 215);
    p.setFontBold(true);
    stampaA(p, 23, 45, QStringLiteral("N/S Riferimento"));
    stampaA(p, 53, 45, QStringLiteral("Riferimento"));
    stampaA(p, 97, 45, QStringLiteral("CONVALIDA"));
    stampaA(p, 173, 45, QStringLiteral("CONTO DOGANALE"));
    stampaA(p, 23, 50, QStringLiteral("(numero e anno)"));
    stampaA(p, 54, 50, QStringLiteral("doganale"));
    stampaA(p, 76, 50, QStringLiteral("Reg."));
    stampaA(p, 85, 50, QStringLiteral("Serie"));
    stampaA(p, 98, 50, QStringLiteral("Numero"));
    stampaA(p, 124, 50, QStringLiteral("Data"));
    stampaA(p, 141, 50, QStringLiteral("Codice"));
    stampaA(p, 160, 50, QStringLiteral("A93"));
    stampaA(p, 173, 50, QStringLiteral("Scadenza fiscale"));
    stampaA(p, 203, 50, QStringLiteral("Scadenza non fiscale"));
    p.setFontBold(false);
    return PrimaRigaPositivi;
}

void TracciaGrigliaPositivi(double alto, double basso)
{
    platform::PagePrinter &p = platform::printer();
    p.rectangle(20, alto - 13, 240, basso + 4);
    for (double x : {52, 75, 140})
        p.line(x, alto - 13, x, basso + 4);
    p.line(75, alto - 7, 240, alto - 7);
    p.line(20, alto - 2, 240, alto - 2);
    for (double x : {84, 94, 115, 155, 172, 202})
        p.line(x, alto - 7, x, basso + 4);
}

void StampaEsitiPositivi(const DatiTabulato &tabulato)
{
    stampaDocumento(QStringLiteral("Durante la stampa degli esiti positivi"), [&](bool &iniziata) {
        const Dichiarazioni dichiarazioni(tabulato.CompostoDa);
        platform::BusyWait::paintWhenDue();
        const RispostaEdi risposta = RispostaEdi::daBytes(flowengine::LeggiFileRegistrato(tabulato.FileRisposta));
        platform::BusyWait::paintWhenDue();
        const int ultima = RigheRisposta(risposta.intestazione());
        const QString ditta = common::GetCompanyName(common::PercorsoArchivio);

        platform::PagePrinter &p = platform::printer();
        iniziata = true;
        flowengine::ImpostaStampa(p, titoloTabulato(tabulato, EsitiPositivi),
                                  platform::PageOrientation::Landscape);
        qint16 pagina = 1;
        const double alto = StampaTestataPositivi(pagina, tabulato, ditta);
        double y = alto;
        // A full page is closed only when another row comes, so that the
        // last row never leaves an empty page behind it.
        bool paginaPiena = false;

        for (int n = 2; n <= ultima && n <= risposta.righe.size(); ++n) {
            // Under a busy wait the windows are painted meanwhile.
            platform::BusyWait::paintWhenDue();
            const QString &riga = risposta.riga(n);
            if (!RecordEsito(riga))
                continue;
            const EsitoRecord esito = LeggiEsitoRecord(riga);
            if (!esito.positivo() || !esito.convalida())
                continue;
            const DocumentoCorbex *d = dichiarazioni.cerca(esito.riferimento);
            if (!d)
                continue;

            if (paginaPiena) {
                TracciaGrigliaPositivi(alto, y - PassoRiga);
                p.newPage();
                ++pagina;
                y = StampaTestataPositivi(pagina, tabulato, ditta);
                paginaPiena = false;
            }
            stampaA(p, 23, y, riferimentoInterno(*d));
            stampaA(p, 54, y, d->Rif);
            stampaA(p, 77, y, esito.registro);
            stampaA(p, 87, y, esito.serie);
            stampaA(p, 95, y, common::FormatByPicture(esito.numero, QStringLiteral("Z(6)")) + u' ' + esito.lettera);
            stampaA(p, 116, y, dataRisposta(esito.dataConvalida));
            if (esito.conConto) {
                stampaA(p, 141, y, common::FormatByPicture(esito.contoCodice, QStringLiteral("Z(4)")) + esito.contoLettera);
                stampaA(p, 156, y, QString::number(esito.numeroA93));
                stampaA(p, 175, y, dataRisposta(esito.scadenzaFiscale));
                stampaA(p, 209, y, dataRisposta(esito.scadenzaNonFiscale));
            }
            y += PassoRiga;
            paginaPiena = y > FondoPagina;
            p.setCurrentY(y);
        }
        TracciaGrigliaPositivi(alto, y - PassoRiga);
        p.endDoc();
    });
}

// ---------------------------------------------------------------- negative outcomes

qint16 StampaTestataNegativi(qint16 pagina, const DatiTabulato &tabulato, const QString &ditta)
{
    platform::PagePrinter &p = platform::printer();
    stampaTestata(p, pagina, tabulato, ditta, EsitiNegativi, 160);
    p.setFontBold(true);
    stampaA(p, 23, 45, QStringLiteral("N/S Riferimento"));
    stampaA(p, 53, 45, QStringLiteral("Riferimento"));
    stampaA(p, 116, 45, QStringLiteral("Descrizione errore"));
    stampaA(p, 23, 50, QStringLiteral("(numero e anno)"));
    stampaA(p, 54, 50, QStringLiteral("doganale"));
    stampaA(p, 94, 50, QStringLiteral("(con indicazione del campo e suo contenuto)"));
    p.setFontBold(false);
    return PrimaRigaNegativi;
}

void TracciaGrigliaNegativi(double alto, double basso)
{
    platform::PagePrinter &p = platform::printer();
    p.rectangle(20, alto - 10, 190, basso);
    p.line(52, alto - 10, 52, basso);
    p.line(74, alto - 10, 74, basso);
}

RecordInviati::RecordInviati(const QStringList &righeCorbex)
{
    for (const QString &riga : righeCorbex) {
        righe_[{Colonne(riga, 2, 9).trimmed(), Colonne(riga, 15, 20)}].append(riga);
        platform::BusyWait::paintWhenDue();
    }
}

const QStringList &RecordInviati::righe(const QString &codice, const QString &riferimento) const
{
    static const QStringList nessuna;
    const auto trovate = righe_.constFind({codice, riferimento});
    return trovate == righe_.cend() ? nessuna : *trovate;
}

QString CercaRecordInviato(const RecordInviati &corbex, const QString &codiceMsg, const QString &riferimento,
                           int articolo, int campo, dao::Database &programma)
{
    if (!PrimoArticolo(codiceMsg))
        return {};
    // A further article of a declaration has a record layout of its own.
    const QString codice = articolo >= 2 ? codiceMsg + u'1' : codiceMsg;
    std::optional<int> campoArticolo;
    if (articolo >= 2) {
        std::unique_ptr<dao::Recordset> rs = programma.openRecordset(
            QStringLiteral("SELECT Progressivo FROM Tracciati WHERE CodiceMsg = ? AND RifMask1 = ? AND RifMask2 = ?"),
            {codice, QStringLiteral("32"), QStringLiteral("0")}, dao::RecordsetType::Snapshot);
        if (!rs->eof())
            campoArticolo = rs->value(0).toInt();
    }
    for (const QString &riga : corbex.righe(codice, riferimento)) {
        if (campoArticolo
            && !(flowengine::Decimale::daTesto(
                     flowengine::LeggiCampoInterchange(riga, QStringLiteral("T"), *campoArticolo))
                 == flowengine::Decimale::daTesto(QString::number(articolo))))
            continue;
        return flowengine::LeggiCampoInterchange(riga, QStringLiteral("T"), campo);
    }
    return {};
}

void StampaEsitiNegativi(const DatiTabulato &tabulato)
{
    stampaDocumento(QStringLiteral("Durante la stampa degli esiti negativi"), [&](bool &iniziata) {
        const Dichiarazioni dichiarazioni(tabulato.CompostoDa);
        platform::BusyWait::paintWhenDue();
        const RispostaEdi risposta = RispostaEdi::daBytes(flowengine::LeggiFileRegistrato(tabulato.FileRisposta));
        platform::BusyWait::paintWhenDue();
        const int ultima = RigheRisposta(risposta.intestazione());
        const RecordInviati corbex(righeCorbex(tabulato.FileCorbex));
        const QString ditta = common::GetCompanyName(common::PercorsoArchivio);
        dao::Database programma = common::ApriDatabaseProgramma();
        CampiTracciato tracciato(programma);

        platform::PagePrinter &p = platform::printer();
        iniziata = true;
        flowengine::ImpostaStampa(p, titoloTabulato(tabulato, EsitiNegativi),
                                  platform::PageOrientation::Portrait);
        qint16 pagina = 1;
        double alto = StampaTestataNegativi(pagina, tabulato, ditta);
        double y = alto;

        // Records are read up to the line before the header's count; a
        // record's error line and its continuation are read wherever they
        // are in the file, the count's own line included, as the processing
        // reads them. A record at the end of the file has no error line.
        int prossima = 2;  // the number of the next line to read
        const auto nelFile = [&] { return prossima <= risposta.righe.size(); };

        while (prossima < ultima && nelFile()) {
            // Under a busy wait the windows are painted meanwhile.
            platform::BusyWait::paintWhenDue();
            const QString riga = risposta.riga(prossima++);
            if (!RecordEsito(riga))
                continue;
            const EsitoRecord esito = LeggiEsitoRecord(riga);
            if (esito.esito != u"N" || !PrimoArticolo(esito.codiceMsg))
                continue;
            const DocumentoCorbex *d = dichiarazioni.cerca(esito.riferimento);

            QString descrizione, contenuto, errore, seguito;
            if (!d) {
                errore = QStringLiteral("DICHIRAZIONE '") + esito.riferimento
                         + QStringLiteral(" NON PRESENTE NEL CORBEX INVIATO");
            } else {
                const QString testoErrore = nelFile() ? risposta.riga(prossima++) : QString();
                const RigaErrore e = LeggiRigaErrore(testoErrore);
                errore = e.testo;
                const std::optional<CampiTracciato::Campo> &campo = tracciato.cerca(
                    esito.codiceMsg, Colonne(testoErrore, 4, 5).trimmed(), Colonne(testoErrore, 6, 7).trimmed());
                if (campo) {
                    const int progressivo = campo->progressivo;
                    descrizione = campo->descrizione;
                    if (progressivo > 0) {
                        if (e.ripetizione >= 1)
                            descrizione += QStringLiteral(", RIGA ") + QString::number(e.ripetizione);
                        contenuto = CercaRecordInviato(corbex, esito.codiceMsg, esito.riferimento, e.articolo,
                                                       progressivo, programma);
                    } else {
                        contenuto = QStringLiteral("CAMPO NON PRESENTE NEL TRACCIATO DEL CORBEX INVIATO");
                    }
                } else if (!e.rifCasella.isEmpty()) {
                    descrizione = QStringLiteral("IMPOSSIBILE RISALIRE AL CAMPO CON RIF. MASK '")
                                  + Colonne(testoErrore, 4, 7) + u'\'';
                    contenuto = QStringLiteral("CONTENUTO DEL CAMPO NON RILEVABILE");
                }
                // Any line but a continuation is left to be read as the
                // answer's next.
                if (nelFile() && RigaContinuazione(risposta.riga(prossima)))
                    seguito = TestoContinuazione(risposta.riga(prossima++)).trimmed();
            }

            double altezza = 0;
            for (const QString *testo : {&descrizione, &contenuto, &errore, &seguito})
                if (!testo->isEmpty())
                    altezza += PassoRiga;
            if (y + altezza > FondoPagina) {
                TracciaGrigliaNegativi(alto, y);
                p.newPage();
                ++pagina;
                alto = StampaTestataNegativi(pagina, tabulato, ditta);
                y = alto + 3;
            }

            p.line(20, y, 190, y);
            y += 1;
            p.setCurrentY(y);
            if (d)
                stampaA(p, 22, y, riferimentoInterno(*d));
            stampaA(p, 53, y, esito.riferimento);
            const auto stampaTesto = [&](const QString &testo, bool corsivo) {
                if (testo.isEmpty())
                    return;
                p.setFontItalic(corsivo);
                stampaA(p, 76, y, testo);
                p.setFontItalic(false);
                y += PassoRiga;
            };
            stampaTesto(descrizione, false);
            stampaTesto(contenuto, true);
            stampaTesto(errore, false);
            stampaTesto(seguito, false);
        }
        programma.close();
        TracciaGrigliaNegativi(alto, y);
        p.endDoc();
    });
}

}  // namespace uitransmission
