#include "sampleanswer/sampleanswer.h"

#include "common/commandline.h"
#include "common/databases.h"
#include "common/globals.h"
#include "common/servizioedi.h"
#include "common/settings.h"
#include "common/textfiles.h"
#include "flowengine/flowlines.h"
#include "flowengine/register.h"
#include "platform/codepage.h"
#include "platform/dao/recordset.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/messagebox.h"

#include <QDir>
#include <QHash>
#include <QSet>
#include <optional>

namespace sampleanswer {

namespace {

const QString Usage = QStringLiteral(
    "Uso: corbix-sample-answer CARTELLA_PROGRAMMA DATA NUMERO [--type W|A] [--refuse INDICI|none] [--field N]");
const QString Aiuto = Usage + QStringLiteral(
    "\n"
    "Fa le veci del servizio EDI delle dogane: scrive sulla condivisione del servizio la risposta\n"
    "al corbex telematico della cartella di programma composto il giorno DATA (AAAA-MM-GG) con\n"
    "il numero progressivo NUMERO, e ne stampa i percorsi. Senza opzioni una dichiarazione ogni\n"
    "due è respinta sulla massa lorda del primo articolo, le altre sono accettate.\n"
    "\n"
    "  --type W|A            W gli esiti delle dichiarazioni (il predefinito), A l'esito del\n"
    "                        controllo formale\n"
    "  --refuse INDICI|none  le dichiarazioni respinte, per numero separati da virgole, o nessuna\n"
    "  --field N             il campo in errore, per numero del tracciato (7 è il primo)\n"
    "  --help                mostra questo aiuto ed esce\n"
    "  --version             mostra la versione ed esce");

// A reason the answer cannot be made, told on err.
struct Rifiuto {
    QString testo;
};

struct Argomenti {
    QString programma;
    QDate data;
    qint32 numero = 0;
    QChar tipo = u'W';
    std::optional<QSet<qint32>> rifiutate;  // nothing: every second declaration
    int campo = 0;                          // 0: the gross mass
};

bool leggiArgomenti(const QStringList &arguments, Argomenti &a)
{
    QStringList posizionali;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &x = arguments[i];
        const bool conValore = i + 1 < arguments.size();
        if (x == QLatin1String("--type") && conValore) {
            const QString t = arguments[++i];
            if (t != QLatin1String("W") && t != QLatin1String("A"))
                return false;
            a.tipo = t.front();
        } else if (x == QLatin1String("--refuse") && conValore) {
            const QString elenco = arguments[++i];
            a.rifiutate.emplace();
            if (elenco == QLatin1String("none"))
                continue;
            for (const QString &indice : elenco.split(u',')) {
                bool ok = false;
                a.rifiutate->insert(indice.trimmed().toInt(&ok));
                if (!ok)
                    return false;
            }
        } else if (x == QLatin1String("--field") && conValore) {
            bool ok = false;
            a.campo = arguments[++i].toInt(&ok);
            if (!ok || a.campo < 7)
                return false;
        } else if (common::Opzione(x)) {
            return false;
        } else {
            posizionali << x;
        }
    }
    if (posizionali.size() != 3)
        return false;
    a.programma = QDir(posizionali[0]).absolutePath();
    a.data = QDate::fromString(posizionali[1], QStringLiteral("yyyy-MM-dd"));
    bool ok = false;
    a.numero = posizionali[2].toInt(&ok);
    return a.data.isValid() && ok && a.numero >= 0;
}

QString dataD8(const QDate &data) { return data.toString(QStringLiteral("dd/MM/yy")); }
QString dataD6(const QDate &data) { return data.toString(QStringLiteral("ddMMyy")); }
QString cifre(qint64 n, int larghezza) { return QStringLiteral("%1").arg(n, larghezza, 10, QLatin1Char('0')); }

// A declaration of the flow as the service sees it.
struct Dichiarazione {
    flowengine::DocumentoCorbex documento;
    QString codice;  // the message code of its first line
    int riga = 0;    // that line's number in the flow sent, from 1
    bool rifiutata = false;
};

// The record-layout field an error names.
struct CampoErrato {
    int progressivo = 0;
    QString descrizione, maschera1, maschera2;
    int ripetizione = 0;
};

CampoErrato campoErrato(dao::Database &programma, const QString &codice, int campo)
{
    auto rs = campo > 0 ? programma.openRecordset(QStringLiteral("SELECT * FROM Tracciati WHERE CodiceMsg = ? AND "
                                                                 "Progressivo = ?"),
                                                  {codice, campo}, dao::RecordsetType::Snapshot)
                        : programma.openRecordset(QStringLiteral("SELECT * FROM Tracciati WHERE CodiceMsg = ? AND "
                                                                 "RifBRELK = 'A3501'"),
                                                  {codice}, dao::RecordsetType::Snapshot);
    CampoErrato c;
    if (!rs->eof()) {
        c.progressivo = rs->value(QStringLiteral("Progressivo")).toInt();
        c.descrizione = rs->value(QStringLiteral("Descrizione")).toString();
        c.maschera1 = rs->value(QStringLiteral("RifMask1")).toString();
        c.maschera2 = rs->value(QStringLiteral("RifMask2")).toString();
        c.ripetizione = rs->value(QStringLiteral("Ripetizione")).toInt();
    }
    if (c.maschera1.isEmpty())
        throw Rifiuto{campo > 0 ? QStringLiteral("Il tracciato record '%1' non ha un campo %2 riferito a una casella.")
                                      .arg(codice)
                                      .arg(campo)
                                : QStringLiteral("Il tracciato record '%1' non ha il campo della massa lorda.").arg(codice)};
    // A description is one item of a formal-check list, where "-" separates items.
    c.descrizione.replace(u'-', u' ');
    return c;
}

// The most lines the header's count (columns 71-75) can give.
constexpr int RigheMassime = 99999;

// Line 1: the answer type in column 26, the declarant in 51-66, the number of
// lines of the file in 71-75.
QString intestazione(QChar tipo, const QString &dichiarante, int righe)
{
    return (QStringLiteral("SERVIZIO EDI DOGANALE").leftJustified(25, u' ') + tipo).leftJustified(50, u' ')
           + dichiarante.leftJustified(16, u' ', true) + QStringLiteral("    ") + cifre(righe, 5);
}

// The outcome record of an accepted declaration, with its validation: the
// register, series and number, and the customs account of box 48 with its
// deferred payment when the declaration has one.
QString esitoPositivo(dao::Database &archivio, const Dichiarazione &d, const QDate &data)
{
    const bool importazione = d.codice == QLatin1String("C1") || d.codice == QLatin1String("C7");
    QString r = u'R' + d.codice.leftJustified(8, u' ') + QStringLiteral("    ") + d.documento.Rif.left(6).leftJustified(6)
                + QString(8, u' ') + u'P' + (importazione ? QStringLiteral("IM") : QStringLiteral("EX"))
                + QStringLiteral("A ") + cifre(d.documento.Indice % 1000000, 6) + u'K' + dataD6(data);
    auto rs = archivio.openRecordset(QStringLiteral("SELECT Contenuto FROM DettaglioBol WHERE Indice = ? AND Data = ? "
                                                    "AND Modulo = 'F' AND Campo = '48'"),
                                     {d.documento.Indice, d.documento.Data}, dao::RecordsetType::Snapshot);
    const QString conto = rs->eof() ? QString() : rs->value(0).toString().trimmed();
    if (conto.size() == 5)
        r += conto.left(4) + conto.right(1) + cifre(d.documento.Indice % 1000000, 6) + dataD6(data.addDays(30))
             + dataD6(data.addDays(60));
    return r;
}

// The outcome record of a refused declaration and its error line: the
// article, the field's two mask references and repetition, and the text.
QStringList esitoNegativo(const Dichiarazione &d, const CampoErrato &c)
{
    const QString record = u'R' + d.codice.leftJustified(8, u' ') + QStringLiteral("    ")
                           + d.documento.Rif.left(6).leftJustified(6) + QString(8, u' ') + u'N';
    const QString errore = u' ' + cifre(1, 2) + c.maschera1.leftJustified(2, u' ', true)
                           + c.maschera2.leftJustified(2, u' ', true) + u' ' + cifre(qMax(0, c.ripetizione), 2) + u'E'
                           + QString(4, u' ')
                           + (QStringLiteral("Valore non ammesso: ") + c.descrizione).left(55);
    return {record, errore};
}

QString nomeRisposta(const QDate &data, QChar tipo, qint32 numero)
{
    return data.toString(QStringLiteral("yyyyMMdd")) + u'-' + tipo + cifre(numero % 100, 2);
}

int esegui(const Argomenti &a, QTextStream &out)
{
    common::resetGlobals();
    platform::DriveTable unita(a.programma, a.programma);
    platform::ScopedDriveTable unitaGuard(unita);
    common::CartellaProgramma = a.programma + u'/';
    if (!common::LeggiIni())
        throw Rifiuto{common::settingsUnreadableText(common::settingsPath())};

    flowengine::DatiCorbex flusso;
    flusso.Data = a.data;
    flusso.Posizione = flowengine::PosizioneInviati;
    flusso.Progressivo = a.numero;
    const QString corbex = QStringLiteral("Il corbex %1 del %2").arg(a.numero).arg(a.data.toString(QStringLiteral("dd/MM/yyyy")));
    if (flowengine::CaricaCorbex(flusso))
        throw Rifiuto{corbex + QStringLiteral(" non è nell'elenco dei corbex.")};
    if (flusso.Tipo != flowengine::TipoTelematico)
        throw Rifiuto{corbex + QStringLiteral(" non è telematico: il servizio risponde solo ai corbex telematici.")};

    std::vector<flowengine::DocumentoCorbex> documenti;
    flowengine::LeggiCompostoDa(documenti, flusso.CompostoDa);
    const QList<QByteArray> righe = common::splitLines(common::readFile(platform::hostPath(flusso.NomeFile)));
    // The first line of each declaration ("T" in column 1) by the reference
    // in its columns 15-20.
    QHash<QString, std::pair<QString, int>> primeRighe;
    for (qsizetype i = 0; i < righe.size(); ++i) {
        if (!righe[i].startsWith('T'))
            continue;
        const QString riga = platform::fromWindows1252(righe[i]);
        primeRighe.insert(riga.mid(14, 6), {riga.mid(1, 8).trimmed(), int(i + 1)});
    }
    std::vector<Dichiarazione> dichiarazioni;
    for (const flowengine::DocumentoCorbex &documento : documenti) {
        Dichiarazione d{documento, {}, 0, false};
        const auto trovata = primeRighe.constFind(documento.Rif.left(6));
        if (trovata != primeRighe.cend())
            std::tie(d.codice, d.riga) = *trovata;
        if (d.riga == 0)
            throw Rifiuto{QStringLiteral("La dichiarazione %1 non ha righe nel corbex.").arg(documento.Indice)};
        d.rifiutata = a.rifiutate ? a.rifiutate->contains(documento.Indice) : dichiarazioni.size() % 2 == 1;
        dichiarazioni.push_back(d);
    }

    QString utente;
    {
        dao::Database archivio = common::ApriArchivio();
        auto rs = archivio.openRecordset(QStringLiteral("SELECT CodiceUtenza FROM Spedoga WHERE Codice = ?"),
                                         {flusso.FattoDa}, dao::RecordsetType::Snapshot);
        utente = rs->eof() ? QString() : rs->value(0).toString().trimmed();
    }
    if (utente.isEmpty())
        throw Rifiuto{QStringLiteral("Il dichiarante '") + flusso.FattoDa
                      + QStringLiteral("' non ha un codice utenza del servizio EDI.")};

    dao::Database archivio = common::ApriArchivio();
    dao::Database programma = common::ApriDatabaseProgramma();
    QStringList corpo;
    int positive = 0, negative = 0;
    for (const Dichiarazione &d : dichiarazioni) {
        if (d.rifiutata) {
            ++negative;
            const CampoErrato c = campoErrato(programma, d.codice, a.campo);
            if (a.tipo == u'W')
                corpo << esitoNegativo(d, c);
            else
                corpo << QString::number(d.riga + 1).rightJustified(5, u' ') + u' ' + QString::number(c.progressivo)
                             + u' ' + c.descrizione;
        } else {
            ++positive;
            if (a.tipo == u'W')
                corpo << esitoPositivo(archivio, d, flusso.Data);
        }
    }
    QStringList testo;
    if (a.tipo == u'W') {
        testo << QString() << QStringLiteral("DATA       ") + dataD8(flusso.Data)
              << QStringLiteral("ESITI DEL CORBEX ") + cifre(a.numero, 2) << corpo;
    } else {
        // Line 2 says whether the formal check passed ("0") or errors follow;
        // the check lines begin with their line number, right-aligned.
        testo << QString() << (corpo.isEmpty() ? QStringList{QStringLiteral("0 CONTROLLO FORMALE SUPERATO")} : corpo)
              << QStringLiteral("FINE  ") + dataD8(flusso.Data);
    }
    // The header counts the lines in five digits: a longer answer is one no
    // service could send, and its reader would pass over the lines beyond
    // the count.
    if (testo.size() > RigheMassime)
        throw Rifiuto{corbex + QStringLiteral(" avrebbe una risposta di %1 righe: l'intestazione ne conta al massimo %2 "
                                              "nelle sue cinque cifre. Nessuna risposta è stata scritta.")
                                   .arg(testo.size())
                                   .arg(RigheMassime)};
    testo[0] = intestazione(a.tipo, flusso.FattoDa, int(testo.size()));

    const QString cartella =
        platform::hostPath(QStringLiteral("\\\\") + common::NomeMacchinaServizio() + u'\\' + utente + u'\\');
    if (!QDir(cartella).mkpath(QStringLiteral("risposte")))
        platform::raise(platform::err::PathFileAccess);
    const QString nome = nomeRisposta(flusso.Data, a.tipo, a.numero);
    const QString percorso = QDir(cartella).filePath(QStringLiteral("risposte/") + nome);
    common::replaceFile(percorso, platform::toWindows1252(testo.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
    out << "Scritta la risposta di tipo " << a.tipo << " del corbex " << a.numero << " del "
        << flusso.Data.toString(QStringLiteral("dd/MM/yyyy")) << ": esiti positivi " << positive << ", negativi "
        << negative << ".\n"
        << "\\\\" << common::NomeMacchinaServizio() << '\\' << utente << "\\risposte\\" << nome << '\n'
        << percorso << '\n';
    return 0;
}

}  // namespace

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (common::OpzioniDelPacchetto(arguments, QStringLiteral("corbix-sample-answer"), Aiuto, out))
        return 0;
    Argomenti a;
    if (!leggiArgomenti(arguments, a)) {
        err << Usage << '\n';
        return 2;
    }
    // Nobody is there to answer a message: they are kept and told on failure.
    platform::KeptMessageBoxService messaggi;
    platform::ScopedMessageBoxService messaggiGuard(messaggi);
    int esito = 1;
    try {
        esito = esegui(a, out);
    } catch (const Rifiuto &r) {
        err << r.testo << '\n';
    } catch (const platform::RuntimeError &e) {
        err << "Errore " << e.number() << ": " << e.description() << '\n';
    }
    for (const platform::Message &m : messaggi.shown)
        err << m.title << ": " << m.text << '\n';
    common::resetGlobals();
    return esito;
}

}  // namespace sampleanswer
