#include "buildflow/buildflow.h"

#include "common/commandline.h"
#include "common/globals.h"
#include "common/paths.h"
#include "common/settings.h"
#include "common/textfiles.h"
#include "flowengine/flowlines.h"
#include "flowengine/journal.h"
#include "flowengine/flowwriter.h"
#include "flowengine/options.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/messagebox.h"
#include "ui/main/composition.h"
#include "ui/main/compositionrun.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <optional>
#include <utility>

namespace buildflow {

namespace {

const QString Usage = QStringLiteral(
    "Uso: corbix-build-flow CARTELLA_PROGRAMMA FILE_SELEZIONE CARTELLA_USCITA --destination 1|2 "
    "[--preventive-check] [--today AAAA-MM-GG] [--whole-run]");
const QString Aiuto = Usage + QStringLiteral(
    "\n"
    "Esegue la scrittura del corbex sulla cartella di programma, per le dichiarazioni del file di\n"
    "selezione, e lascia nella cartella di uscita il corbex (flow), il registro degli errori\n"
    "(log) e l'elenco di composizione (composition).\n"
    "\n"
    "  --destination 1|2   la destinazione del corbex: 1 una cartella, 2 il supporto magnetico\n"
    "  --preventive-check  con il controllo preventivo delle dichiarazioni\n"
    "  --today AAAA-MM-GG  il giorno della composizione, al posto di oggi\n"
    "  --whole-run         l'intera composizione di un corbex su supporto magnetico, senza finestre\n"
    "  --help              mostra questo aiuto ed esce\n"
    "  --version           mostra la versione ed esce");

// The system's clock, with the date given on the command line.
class OrologioConData : public platform::SystemClock {
public:
    explicit OrologioConData(const QDate &oggi) : oggi_(oggi) {}
    QDateTime now() const override { return QDateTime(oggi_, QTime::currentTime()); }

private:
    QDate oggi_;
};

struct Argomenti {
    QString programma, selezione, uscita;
    std::optional<flowengine::Destinazione> destinazione;
    bool controllo = false, intera = false;
    QDate oggi;
};

bool leggiArgomenti(const QStringList &arguments, Argomenti &a, QTextStream &err)
{
    QStringList posizionali;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &x = arguments[i];
        if (x == QLatin1String("--destination") && i + 1 < arguments.size()) {
            const QString d = arguments[++i];
            if (d == QLatin1String("1"))
                a.destinazione = flowengine::Destinazione::Cartella;
            else if (d == QLatin1String("2"))
                a.destinazione = flowengine::Destinazione::Supporto;
            else
                a.destinazione.reset();
        } else if (x == QLatin1String("--today") && i + 1 < arguments.size()) {
            a.oggi = QDate::fromString(arguments[++i], QStringLiteral("yyyy-MM-dd"));
            if (!a.oggi.isValid()) {
                err << "La data di --today deve avere la forma AAAA-MM-GG.\n";
                return false;
            }
        } else if (x == QLatin1String("--preventive-check")) {
            a.controllo = true;
        } else if (x == QLatin1String("--whole-run")) {
            a.intera = true;
        } else if (common::Opzione(x)) {
            posizionali.clear();
            break;
        } else {
            posizionali << x;
        }
    }
    if (posizionali.size() != 3 || !a.destinazione
        || (a.intera && *a.destinazione != flowengine::Destinazione::Supporto))
        return false;
    a.programma = QDir(posizionali[0]).absolutePath();
    a.selezione = posizionali[1];
    a.uscita = posizionali[2];
    return true;
}

QString secondi(qint64 ms) { return QString::number(double(ms) / 1000.0, 'f', 3) + QStringLiteral(" s"); }

// The files a run of the writer holds in the collection point's TEMP folder
// (the flow, the log, the work file), removed when the run is over: only
// these, since another program may be composing beside this one, and only
// while they are this run's (a name given back may be another run's by now).
// The whole run's road is watched by nobody and has no medium: its flow is
// filed without a copy on one.
class FileDelLavoro : public uimain::ComposizioneSenzaUtente {
public:
    FileDelLavoro() : ComposizioneSenzaUtente(false) {}
    ~FileDelLavoro() override { flowengine::RimuoviFileCostruiti(nomi, nullptr); }
    void fileCreato(const QString &nome) override { nomi << nome; }
    bool confermaCostruzione(const flowengine::CorbexCreato &creato,
                             const std::function<uimain::EsitoScrittura()> &scrivi) override
    {
        lasciati(creato);
        return ComposizioneSenzaUtente::confermaCostruzione(creato, scrivi);
    }
    // The files the run left once it is over: the work file is gone unless
    // it holds a refused declaration.
    void lasciati(const flowengine::CorbexCreato &creato)
    {
        nomi = creato.file();
        errori = creato.errori;
    }

    QStringList nomi;
    int errori = 0;
};

// The whole composition of a removable-medium flow without its screens: the
// selection text of the declarations the file names, all ticked; the flow
// built; its archive copy, its register row and the marking of its
// declarations. The time of all of it.
qint64 tempoIntero(const QString &testo, FileDelLavoro &file)
{
    QElapsedTimer tempo;
    tempo.start();
    const QStringList righe = testo.split(QStringLiteral("\r\n"));
    QList<uimain::DichiarazioneTrovata> scelte;
    for (qsizetype i = 3; i < righe.size(); ++i) {
        const qsizetype trattino = righe[i].indexOf(u'-');
        if (trattino >= 0)
            scelte.append({QDate::fromString(righe[i].left(trattino), QStringLiteral("yyyy/MM/dd")),
                           flowengine::IndiceDaTesto(righe[i].mid(trattino + 1)), {}, {}});
    }
    uimain::RichiestaCorbex corbex;
    uimain::ProdottoCorbex prodotto;
    corbex.DestinazioneCorbex = flowengine::Destinazione::Supporto;
    corbex.data = platform::clock().now().date();
    corbex.dichiarante = righe.value(1).trimmed();
    corbex.TestoSelezione =
        uimain::ElencoSelezionate(QStringLiteral("T"), corbex.dichiarante, scelte, QString(scelte.size(), u'1'));
    if (!uimain::ComponiCorbex(corbex, prodotto, file))
        platform::raise(platform::err::PathFileAccess);
    file.nomi.removeAll(prodotto.FileTemporaneo);  // filed and removed: the name is no longer this run's
    // Removed while the run's journal still notes them: a stop dead after
    // the journal has gone would leave them to nobody.
    flowengine::RimuoviFileCostruiti(file.nomi, prodotto.giornale.get());
    file.nomi.clear();
    return tempo.elapsed();
}

int esegui(const Argomenti &a, QTextStream &out, QTextStream &err)
{
    common::resetGlobals();
    platform::DriveTable unita(a.programma, a.programma);
    platform::ScopedDriveTable unitaGuard(unita);
    common::CartellaProgramma = a.programma + u'/';
    if (!common::LeggiIni()) {
        err << common::settingsUnreadableText(common::settingsPath()) << '\n';
        return 1;
    }
    if (!flowengine::CaricaOpzioni())
        return 1;
    common::OpzioniCorbix.PreventCheck = a.controllo;

    const QString testo = platform::fromWindows1252(common::readFile(a.selezione));
    if (!QDir().mkpath(a.uscita)) {
        err << "Impossibile creare la cartella '" << a.uscita << "'.\n";
        return 1;
    }
    // The run's files (the flow, the log and a work file left by a refused
    // last declaration) are taken or filed; the collection point keeps none.
    FileDelLavoro file;
    if (a.intera) {
        const qint64 ms = tempoIntero(testo, file);
        out << "Errori: " << file.errori << '\n' << "Tempo dell'intera composizione: " << secondi(ms) << '\n';
        return 0;
    }

    QElapsedTimer tempo;
    tempo.start();
    const flowengine::CorbexCreato creato =
        flowengine::CreaCorbex(testo, *a.destinazione, common::OpzioniCorbix.PreventCheck, &file);
    const qint64 ms = tempo.elapsed();
    file.lasciati(creato);

    // The three files go together: each is written whole under its
    // temporary, and they take their names only once all are there, so that
    // a failure leaves the output folder as it was.
    const std::pair<QString, QByteArray> uscite[] = {
        {QStringLiteral("flow"), common::readFile(platform::hostPath(creato.fileCorbex))},
        {QStringLiteral("log"), common::readFile(platform::hostPath(creato.fileErrori))},
        {QStringLiteral("composition"), platform::toWindows1252(creato.ElencoComposizione)},
    };
    try {
        for (const auto &[nome, byte] : uscite)
            common::writeTemporary(QDir(a.uscita).filePath(nome), byte, true);
    } catch (const platform::RuntimeError &) {
        for (const auto &[nome, byte] : uscite)
            QFile::remove(common::nomeTemporaneo(QDir(a.uscita).filePath(nome)));
        throw;
    }
    for (const auto &[nome, byte] : uscite)
        common::takeFinalName(QDir(a.uscita).filePath(nome), true);

    out << "Errori: " << creato.errori << '\n' << "Tempo: " << secondi(ms) << '\n';
    return 0;
}

}  // namespace

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (common::OpzioniDelPacchetto(arguments, QStringLiteral("corbix-build-flow"), Aiuto, out))
        return 0;
    Argomenti a;
    if (!leggiArgomenti(arguments, a, err)) {
        err << Usage << '\n';
        return 2;
    }
    MessaggiSuErrore messaggi(err);
    platform::ScopedMessageBoxService messaggiGuard(messaggi);
    OrologioConData orologio(a.oggi.isValid() ? a.oggi : QDate::currentDate());
    platform::ScopedClock orologioGuard(orologio);
    try {
        const int esito = esegui(a, out, err);
        common::resetGlobals();
        return esito;
    } catch (const platform::RuntimeError &e) {
        common::resetGlobals();
        err << "Errore " << e.number() << ": " << e.description() << '\n';
        return 1;
    }
}

}  // namespace buildflow
