#include "bench/bench.h"

#include "buildflow/buildflow.h"
#include "sampleanswer/sampleanswer.h"

#include "common/globals.h"
#include "common/settings.h"
#include "flowengine/dispatchlist.h"
#include "flowengine/flowlist.h"
#include "flowengine/flowwriter.h"
#include "flowengine/options.h"
#include "flowengine/register.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/messagebox.h"
#include "platform/pageprinter.h"
#include "ui/main/composition.h"
#include "ui/main/frmcomposenew.h"
#include "ui/transmission/answerfetch.h"
#include "ui/transmission/answerprocess.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTableWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace bench {

namespace {

constexpr int Giri = 5;
constexpr int RigheElenco = 10000;
constexpr int NumeroCartella = 7;  // the register number of the folder flow answered

// The seconds a piece of work takes.
double secondi(const std::function<void()> &lavoro)
{
    QElapsedTimer tempo;
    tempo.start();
    lavoro();
    return double(tempo.nsecsElapsed()) / 1e9;
}

double mediana(std::vector<double> valori)
{
    std::sort(valori.begin(), valori.end());
    return valori.empty() ? 0.0 : valori[valori.size() / 2];
}

// ---------------------------------------------------------------- floors

// One plain statement of the SQLite C API on its own connection: every
// column of every row it returns is read as text, the least a reader does.
qint64 leggiRighe(const QString &archivio, const char *sql, const QByteArray &parametro = {})
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(archivio).constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        platform::raise(platform::err::PathFileAccess);
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) {
        const QString errore = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        platform::raise(platform::err::ReservedError, {errore});
    }
    if (!parametro.isNull())
        sqlite3_bind_text(st, 1, parametro.constData(), int(parametro.size()), SQLITE_TRANSIENT);
    qint64 byte = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        const int colonne = sqlite3_column_count(st);
        for (int c = 0; c < colonne; ++c) {
            sqlite3_column_text(st, c);
            byte += sqlite3_column_bytes(st, c);
        }
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return byte;
}

// Runs statements in one transaction through the C API.
void esegui(const QString &archivio, const QStringList &istruzioni)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(archivio).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    const QString tutte = QStringLiteral("BEGIN;") + istruzioni.join(u';') + QStringLiteral(";COMMIT");
    char *errore = nullptr;
    const int rc = sqlite3_exec(db, tutte.toUtf8().constData(), nullptr, nullptr, &errore);
    const QString testo = errore ? QString::fromUtf8(errore) : QString();
    sqlite3_free(errore);
    sqlite3_close(db);
    if (rc != SQLITE_OK)
        platform::raise(platform::err::ReservedError, {testo});
}

// Reads a file whole, once.
QByteArray leggiFile(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        platform::raise(platform::err::PathFileAccess);
    return f.readAll();
}

// Writes that many bytes to a file once.
void scriviByte(const QString &file, qint64 quanti)
{
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(QByteArray(quanti, 'x')) != quanti)
        platform::raise(platform::err::PathFileAccess);
    f.close();
    QFile::remove(file);
}

// Every candidate and, for those of the declarant (bound), the front-sheet
// boxes their message result is made of.
const char *const SqlCandidati =
    "SELECT i.Data, i.Indice, d.Campo, d.SottoCasella, d.Riga, d.Contenuto FROM IndiceDoc AS i "
    "LEFT JOIN DettaglioBol AS d ON d.Indice = i.Indice AND d.Data = i.Data AND d.Modulo = 'F' "
    "AND d.Campo IN ('01', '07', '49') AND EXISTS (SELECT * FROM DettaglioBol AS p WHERE p.Indice = i.Indice "
    "AND p.Data = i.Data AND p.Modulo = 'F' AND p.Campo = '14' AND p.SottoCasella = '0' AND p.Riga = '1' "
    "AND p.Contenuto = ?) "
    "WHERE i.ultimadata <= date('now') AND i.Stato1 <> 1 AND i.Stato1 <> 2 ORDER BY i.Data, i.Indice";
const char *const SqlCaselle =
    "SELECT i.*, d.* FROM IndiceDoc AS i JOIN DettaglioBol AS d ON d.Indice = i.Indice AND d.Data = i.Data "
    "ORDER BY i.Data, i.Indice";
const char *const SqlRigaInviata = "SELECT Stato FROM Corbix WHERE Posizione = 3 AND Data = ? AND Progressivo = 7";
// The box B rows and the gross masses of the declarations, which the outcomes
// fill and mark, with their index rows.
const char *const SqlEsiti =
    "SELECT i.*, d.* FROM IndiceDoc AS i JOIN DettaglioBol AS d ON d.Indice = i.Indice AND d.Data = i.Data "
    "WHERE d.Campo = '0B' OR d.Campo = '35' ORDER BY i.Data, i.Indice";
const char *const SqlElenco = "SELECT * FROM Corbix WHERE Posizione = 3 ORDER BY Data DESC, Progressivo DESC";
const char *const SqlDistinta = "SELECT CompostoDa FROM Corbix WHERE Posizione = 3 AND Progressivo = 1";

// ---------------------------------------------------------------- the copy

// A copy of the program folder whose drive table points into the copy
// wherever the folder's own pointed into the folder.
void copiaCartella(const QString &da, const QString &a)
{
    namespace fs = std::filesystem;
    const fs::path origine(da.toStdString()), copia(a.toStdString());
    for (const auto &voce : fs::directory_iterator(origine)) {
        if (voce.path().filename() != "dosdevices")
            fs::copy(voce.path(), copia / voce.path().filename(), fs::copy_options::recursive);
    }
    fs::create_directories(copia / "dosdevices");
    for (const auto &voce : fs::recursive_directory_iterator(origine / "dosdevices")) {
        const fs::path dove = copia / voce.path().lexically_relative(origine);
        if (voce.is_symlink()) {
            const QString bersaglio = QString::fromStdString(fs::read_symlink(voce.path()).string());
            fs::create_directory_symlink(
                (bersaglio.startsWith(da) ? a + bersaglio.mid(da.size()) : bersaglio).toStdString(), dove);
        } else if (voce.is_directory()) {
            fs::create_directories(dove);
        }
    }
}

// The program-wide values of a start in the folder.
void avvia(const QString &cartella)
{
    common::resetGlobals();
    common::CartellaProgramma = cartella + u'/';
    if (!common::LeggiIni() || !flowengine::CaricaOpzioni())
        platform::raise(platform::err::PathFileAccess);
    common::OpzioniCorbix.PreventCheck = true;
}

// The folder flow of every declaration of the selection, as the wizard
// files it (its envelope record in front), under NumeroCartella, and the
// service's answer to it: the answer file's host path.
QString flussoRisposto(const QString &cartella, const QString &selezione, const QString &utenza,
                       const QString &ufficio)
{
    const QDate oggi = platform::clock().now().date();
    const QString dichiarante = uimain::DichiaranteDiSelezione(selezione);
    const auto riservata = uimain::RiservaRiga(oggi, NumeroCartella, dichiarante);
    if (!riservata)
        platform::raise(platform::err::ReservedError, {QStringLiteral("numero non riservato")});
    uimain::CorbexCostruito corbex;
    QString fileErrori;
    flowengine::CreaCorbex(selezione, 1, corbex.fileTemporaneo, fileErrori);
    QFile::remove(platform::hostPath(fileErrori));
    const QString flusso = platform::hostPath(corbex.fileTemporaneo);
    const QByteArray costruito = leggiFile(flusso);
    QFile f(flusso);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        platform::raise(platform::err::PathFileAccess);
    f.write(platform::toWindows1252(uimain::RecordBusta(utenza, oggi, NumeroCartella, ufficio, dichiarante,
                                                       costruito.count("\r\n")))
            + "\r\n" + costruito);
    f.close();
    corbex.destinazione = 1;
    corbex.data = oggi;
    corbex.selezione = selezione;
    corbex.elenco = common::ElencoComposizione;
    corbex.riservata = *riservata;
    corbex.cartella = QStringLiteral("C:\\Corbix\\Corbix in uscita");
    corbex.progressivo = QString::number(NumeroCartella);
    corbex.ufficio = ufficio;
    if (!uimain::ArchiviaCorbex(corbex))
        platform::raise(platform::err::PathFileAccess);

    QString scritto, errori;
    QTextStream out(&scritto), err(&errori);
    const int esito = sampleanswer::run({cartella, oggi.toString(Qt::ISODate), QString::number(NumeroCartella)}, out, err);
    out.flush();
    err.flush();
    if (esito != 0)
        platform::raise(platform::err::ReservedError, {errori.trimmed()});
    return scritto.trimmed().split(u'\n').last();
}

struct Passo {
    QString nome;
    QString obiettivo;  // "2x" of the floor, or a time
    double limite = 0;  // the ratio or the seconds allowed; 0 for none
    bool rapporto = true;
    std::vector<double> tempi, minimi;
    QString unita = QStringLiteral("s");  // of tempi and minimi: "s", or "MB" for memory
};

constexpr qint64 ByteRispostaGrande = qint64(60) * 1000 * 1000;  // below the fetch's limit

// The answer of the service grown with its own records, ended by LF, to
// about ByteRispostaGrande bytes, written beside it: the line ends the fetch
// has most to rewrite. Its host path.
QString rispostaGrande(const QString &risposta)
{
    const QList<QByteArray> righe = leggiFile(risposta).split('\n');
    QByteArray corpo;
    for (qsizetype i = 3; i < righe.size(); ++i)
        if (!righe[i].isEmpty())
            corpo += righe[i].chopped(righe[i].endsWith('\r') ? 1 : 0) + '\n';
    // Its name ends as the answer's does: the fetch reads the number there.
    QFile f(QFileInfo(risposta).path() + QStringLiteral("/grande-") + QFileInfo(risposta).fileName());
    if (corpo.isEmpty() || !f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        platform::raise(platform::err::PathFileAccess);
    for (qsizetype i = 0; i < 3 && i < righe.size(); ++i)
        f.write(righe[i].chopped(righe[i].endsWith('\r') ? 1 : 0) + '\n');
    while (f.size() + corpo.size() <= ByteRispostaGrande)
        f.write(corpo);
    f.close();
    return f.fileName();
}

// A line "Nome:   N kB" of /proc/self/status, in bytes.
qint64 statoProcesso(const char *nome)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (f.open(QIODevice::ReadOnly))
        for (const QByteArray &riga : f.readAll().split('\n'))
            if (riga.startsWith(nome))
                return riga.mid(qsizetype(qstrlen(nome))).trimmed().split(' ').value(0).toLongLong() * 1024;
    return -1;
}

// How much the process's resident memory grows at most while the work runs,
// in bytes; measured in a child process, whose peak starts from where it
// stands. -1 when the work fails.
qint64 crescitaMemoria(const std::function<void()> &lavoro)
{
    int tubo[2];
    if (pipe(tubo) != 0)
        platform::raise(platform::err::ReservedError, {QStringLiteral("pipe")});
    const pid_t figlio = fork();
    if (figlio == 0) {
        ::close(tubo[0]);
        QFile azzera(QStringLiteral("/proc/self/clear_refs"));
        if (azzera.open(QIODevice::WriteOnly))
            azzera.write("5");
        azzera.close();
        const qint64 prima = statoProcesso("VmRSS:");
        qint64 crescita = -1;
        try {
            lavoro();
            crescita = statoProcesso("VmHWM:") - prima;
        } catch (const platform::RuntimeError &) {
        }
        [[maybe_unused]] const auto scritti = ::write(tubo[1], &crescita, sizeof crescita);
        _exit(0);
    }
    ::close(tubo[1]);
    qint64 crescita = -1;
    if (figlio < 0 || ::read(tubo[0], &crescita, sizeof crescita) != sizeof crescita)
        crescita = -1;
    ::close(tubo[0]);
    if (figlio > 0)
        waitpid(figlio, nullptr, 0);
    return crescita;
}

}  // namespace

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.size() != 1 || !QFileInfo(arguments[0] + QStringLiteral("/Archivio.mdb")).isFile()) {
        err << "Uso: corbix-bench CARTELLA_PROGRAMMA (una cartella fatta da corbix-sample-data)\n";
        return 2;
    }
    const QString origine = QDir(arguments[0]).absolutePath();
    buildflow::MessaggiSuErrore messaggi(err);
    platform::ScopedMessageBoxService messaggiGuard(messaggi);

    std::vector<Passo> passi = {
        {QStringLiteral("ricerca delle dichiarazioni di ogni dichiarante"), QStringLiteral("3x"), 3, true, {}, {}},
        {QStringLiteral("passo 1 -> 2: ricerca, griglia e testo di selezione"), QStringLiteral("0,5 s"), 0.5, false, {}, {}},
        {QStringLiteral("scrittura del flusso"), QStringLiteral("2x"), 2, true, {}, {}},
        {QStringLiteral("archiviazione del flusso"), QString(), 0, true, {}, {}},
        {QStringLiteral("elenco dei flussi, %1 righe").arg(RigheElenco), QStringLiteral("0,3 s"), 0.3, false, {}, {}},
        {QStringLiteral("distinta stampata in PDF"), QString(), 0, true, {}, {}},
        {QStringLiteral("prelievo di una risposta di %1 esiti").arg(5000), QString(), 0, true, {}, {}},
        {QStringLiteral("elaborazione della risposta"), QStringLiteral("3x"), 3, true, {}, {}},
        {QStringLiteral("memoria del prelievo di una risposta di %1 MB").arg(ByteRispostaGrande / 1000000),
         QStringLiteral("2x"), 2, true, {}, {}, QStringLiteral("MB")},
    };
    int dichiarazioni = 0;
    try {
        for (int giro = 0; giro < Giri; ++giro) {
            QTemporaryDir temp;
            const QString cartella = temp.path() + QStringLiteral("/prog");
            QDir().mkpath(cartella);
            copiaCartella(origine, cartella);
            platform::DriveTable unita(cartella, cartella);
            platform::ScopedDriveTable unitaGuard(unita);
            avvia(cartella);
            const QString archivio = cartella + QStringLiteral("/Archivio.mdb");
            const QDate oggi = platform::clock().now().date();

            // The search, for each declarant of the archive; the first one's
            // EDI user and office for the folder flow.
            QStringList dichiaranti;
            QString utenza, ufficio;
            {
                sqlite3 *db = nullptr;
                sqlite3_open_v2(QFile::encodeName(archivio).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
                sqlite3_stmt *st = nullptr;
                sqlite3_prepare_v2(db, "SELECT Codice, CodiceUtenza, Ufficio FROM Spedoga ORDER BY Codice", -1, &st,
                                   nullptr);
                const auto testo = [&](int c) {
                    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, c)));
                };
                while (sqlite3_step(st) == SQLITE_ROW) {
                    if (dichiaranti.isEmpty()) {
                        utenza = testo(1);
                        ufficio = testo(2);
                    }
                    dichiaranti << testo(0);
                }
                sqlite3_finalize(st);
                sqlite3_close(db);
            }
            const QStringList tipi = uimain::TipiRichiesti(true, true, true, true);
            qint64 passiAvanzamento = 0;
            passi[0].tempi.push_back(secondi([&] {
                for (const QString &d : dichiaranti)
                    uimain::CercaDichiarazioni(d, tipi, oggi, [&](qint64, qint64) { ++passiAvanzamento; });
            }));
            passi[0].minimi.push_back(secondi([&] {
                for (const QString &d : dichiaranti)
                    leggiRighe(archivio, SqlCandidati, d.toUtf8());
            }));

            // The wizard from step 1 to step 2: the search of the first
            // declarant, the grid filled, the selection text.
            QString selezioneWizard;
            {
                uimain::frmComposeNew wizard;
                wizard.cmbDichiarante->setCurrentText(dichiaranti.value(0));
                for (QCheckBox *c : {wizard.chkImport, wizard.chkExport, wizard.chkInDeposito, wizard.chkExportSempif})
                    c->setChecked(true);
                passi[1].tempi.push_back(secondi([&] {
                    wizard.CercaDichiarazioni();
                    selezioneWizard = wizard.ElencoSelezionate(QStringLiteral("T"));
                }));
            }
            passi[1].minimi.push_back(secondi([&] {
                leggiRighe(archivio, SqlCandidati, dichiaranti.value(0).toUtf8());
                scriviByte(cartella + QStringLiteral("/.minimo"), selezioneWizard.size());
            }));

            // The writer, on every declaration of the archive.
            QList<uimain::DichiarazioneTrovata> tutte;
            for (const QString &d : dichiaranti)
                tutte += uimain::CercaDichiarazioni(d, tipi, oggi);
            std::sort(tutte.begin(), tutte.end(), [](const auto &x, const auto &y) {
                return std::pair(x.data, x.indice) < std::pair(y.data, y.indice);
            });
            dichiarazioni = int(tutte.size());
            const QString selezione = uimain::ElencoSelezionate(QStringLiteral("T"), dichiaranti.value(0), tutte,
                                                                QString(tutte.size(), u'1'));
            QString fileCorbex, fileErrori;
            passi[2].tempi.push_back(secondi([&] { flowengine::CreaCorbex(selezione, 2, fileCorbex, fileErrori); }));
            const qint64 byteFlusso = QFileInfo(platform::hostPath(fileCorbex)).size();
            passi[2].minimi.push_back(secondi([&] {
                leggiRighe(archivio, SqlCaselle);
                scriviByte(cartella + QStringLiteral("/.minimo"), byteFlusso);
            }));

            // The filing: the archive copy, the marking, the register row.
            uimain::CorbexCostruito corbex;
            corbex.destinazione = 2;
            corbex.data = oggi;
            corbex.fileTemporaneo = fileCorbex;
            corbex.elenco = common::ElencoComposizione;
            corbex.selezione = selezione;
            passi[3].tempi.push_back(secondi([&] {
                if (!uimain::ArchiviaCorbex(corbex))
                    platform::raise(platform::err::PathFileAccess);
            }));
            QFile::remove(platform::hostPath(fileErrori));
            passi[3].minimi.push_back(secondi([&] {
                scriviByte(cartella + QStringLiteral("/.minimo"), byteFlusso);
                esegui(archivio, {QStringLiteral("UPDATE IndiceDoc SET Stato1 = Stato1"),
                                  QStringLiteral("UPDATE Corbix SET NomeFile = NomeFile WHERE Progressivo = 1")});
            }));

            // The printed dispatch list of the filed flow.
            flowengine::DatiCorbex filed;
            filed.Data = oggi;
            filed.Progressivo = 1;
            filed.Posizione = flowengine::PosizioneInviati;
            flowengine::CaricaCorbex(filed);
            platform::QtPagePrinter stampante;
            stampante.setPrinterName(QStringLiteral("PDF"));
            stampante.setPdfFolder(temp.path());
            platform::ScopedPagePrinter stampanteGuard(stampante);
            {
                // The printer tells where the PDF went: nobody is there to read it.
                platform::RecordingMessageBoxService avvisi;
                platform::ScopedMessageBoxService avvisiGuard(avvisi);
                passi[5].tempi.push_back(secondi([&] { flowengine::StampaDistinta(filed); }));
            }
            const qint64 bytePdf = QFileInfo(stampante.lastPdfFile()).size();
            passi[5].minimi.push_back(secondi([&] {
                leggiRighe(archivio, SqlDistinta);
                scriviByte(cartella + QStringLiteral("/.minimo"), bytePdf);
            }));

            // The list of flows over a register of RigheElenco rows.
            QStringList righe;
            for (int i = 1; i < RigheElenco; ++i)
                righe << QStringLiteral("INSERT INTO Corbix (Posizione, Data, Progressivo, NomeFile, Stato, Tipo, "
                                        "FattoDa, OK, KO, ND) VALUES (3, date('2020-01-01', '+%1 day'), %2, '', %3, "
                                        "%4, 'DICH0%5', %6, %7, 0)")
                             .arg(i / 5).arg(i % 5 + 2).arg(i % 6).arg(i % 2 + 1).arg(i % 2 + 1).arg(i % 200).arg(i % 7);
            esegui(archivio, righe);
            QTableWidget griglia;
            passi[4].tempi.push_back(secondi([&] {
                flowengine::CaricaGriglia(&griglia, flowengine::PosizioneInviati);
                flowengine::ImpostaGriglia(&griglia, flowengine::PosizioneInviati);
            }));
            if (griglia.rowCount() != RigheElenco)
                platform::raise(platform::err::ReservedError, {QStringLiteral("elenco incompleto")});
            passi[4].minimi.push_back(secondi([&] { leggiRighe(archivio, SqlElenco); }));

            // The answer of the service to a folder flow of every declaration,
            // one outcome each: fetched and processed.
            const QString risposta = flussoRisposto(cartella, selezione, utenza, ufficio);
            avvia(cartella);
            flowengine::DatiCorbex inviata;
            inviata.Data = oggi;
            inviata.Progressivo = NumeroCartella;
            inviata.Posizione = flowengine::PosizioneInviati;
            flowengine::CaricaCorbex(inviata);
            const qint64 byteRisposta = QFileInfo(risposta).size();
            passi[6].tempi.push_back(secondi([&] {
                if (!uitransmission::PrelevaRisposta(risposta, inviata))
                    platform::raise(platform::err::ReservedError, {QStringLiteral("risposta non prelevata")});
            }));
            passi[6].minimi.push_back(secondi([&] {
                leggiFile(risposta);
                leggiRighe(archivio, SqlRigaInviata, oggi.toString(Qt::ISODate).toUtf8());
                scriviByte(cartella + QStringLiteral("/.minimo"), byteRisposta);
                scriviByte(cartella + QStringLiteral("/.minimo"), byteRisposta);
            }));
            {
                // Its only message says it is done.
                platform::RecordingMessageBoxService risposte;
                platform::ScopedMessageBoxService risposteGuard(risposte);
                passi[7].tempi.push_back(secondi([&] {
                    if (uitransmission::ElaboraRisposta(oggi, NumeroCartella)
                        != uitransmission::EsitoElaborazione::Elaborata)
                        platform::raise(platform::err::ReservedError, {QStringLiteral("risposta non elaborata")});
                }));
                if (risposte.shown.size() != 1)
                    platform::raise(platform::err::ReservedError, {QStringLiteral("messaggi inattesi")});
            }
            passi[7].minimi.push_back(secondi([&] {
                leggiFile(risposta);
                leggiRighe(archivio, SqlEsiti);
                esegui(archivio, {QStringLiteral("UPDATE DettaglioBol SET Contenuto = Contenuto, Corretto = Corretto "
                                                 "WHERE Campo = '0B' OR Campo = '35'"),
                                  QStringLiteral("UPDATE IndiceDoc SET Stato1 = Stato1")});
            }));

            // The fetch of the same answer grown near the fetch's limit, stored
            // again in place of the first: the memory it holds beside the
            // file's size.
            const QString grande = rispostaGrande(risposta);
            const qint64 byteGrande = QFileInfo(grande).size();
            const qint64 crescita = crescitaMemoria([&] {
                esegui(archivio, {QStringLiteral("DELETE FROM Corbix WHERE Posizione = 4 AND Progressivo = %1")
                                      .arg(NumeroCartella)});
                if (!uitransmission::PrelevaRisposta(grande, inviata))
                    platform::raise(platform::err::ReservedError, {QStringLiteral("risposta non prelevata")});
            });
            if (crescita < 0)
                platform::raise(platform::err::ReservedError, {QStringLiteral("risposta grande non prelevata")});
            passi[8].tempi.push_back(double(crescita) / 1e6);
            passi[8].minimi.push_back(double(byteGrande) / 1e6);
            common::resetGlobals();
        }
    } catch (const platform::RuntimeError &e) {
        common::resetGlobals();
        err << "Errore " << e.number() << ": " << e.description() << '\n';
        return 1;
    }

    out << "Corbix: " << dichiarazioni << " dichiarazioni, mediane di " << Giri << " giri\n\n";
    out << "| passo | tempo | minimo | rapporto | obiettivo | esito |\n|---|---|---|---|---|---|\n";
    bool tutti = true;
    for (const Passo &p : passi) {
        const double t = mediana(p.tempi), m = mediana(p.minimi);
        const double r = m > 0 ? t / m : 0;
        const bool entro = p.limite == 0 || (p.rapporto ? r <= p.limite : t <= p.limite);
        tutti = tutti && entro;
        const int cifre = p.unita == QLatin1String("s") ? 3 : 1;
        out << "| " << p.nome << " | " << QString::number(t, 'f', cifre) << ' ' << p.unita << " | "
            << QString::number(m, 'f', cifre) << ' ' << p.unita << " | " << QString::number(r, 'f', 1) << "x | "
            << (p.obiettivo.isEmpty() ? QStringLiteral("-") : p.obiettivo)
            << " | " << (p.limite == 0 ? QStringLiteral("-") : entro ? QStringLiteral("entro") : QStringLiteral("FUORI"))
            << " |\n";
    }
    out.flush();
    return tutti ? 0 : 3;
}

}  // namespace bench
