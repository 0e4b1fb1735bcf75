#include "bench/bench.h"

#include "buildflow/buildflow.h"
#include "platform/qtpageprinter.h"
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
#include "platform/filewriters.h"
#include "platform/messagebox.h"
#include "platform/pageprinter.h"
#include "support/doubles/recordingmessagebox.h"
#include "support/doubles/recordingpageprinter.h"
#include "ui/main/composition.h"
#include "ui/main/compositionrun.h"
#include "ui/main/flowgrid.h"
#include "ui/main/frmcomposenew.h"
#include "ui/main/windowfactory.h"
#include "ui/transmission/answerfetch.h"
#include "ui/transmission/answerprocess.h"
#include "ui/transmission/answerreport.h"
#include "ui/transmission/frmaswerprocess.h"
#include "ui/transmission/frmaswerreport.h"

#include "ui/main/frmmain.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QHash>
#include <QHeaderView>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QSize>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <sqlite3.h>
#include <unistd.h>
#include <vector>

namespace bench {

namespace {

constexpr int Giri = 5;
constexpr int RigheElenco = 10000;
constexpr int NumeroCartella = 7;  // the register number of the folder flow answered
constexpr int DichiarazioniRisposta = 60000;  // the most declarations of the folder flow answered

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
qint64 leggiRighe(const QString &archivio, const char *sql, const QVariant &parametro = {})
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
    if (parametro.typeId() == QMetaType::Int) {
        sqlite3_bind_int(st, 1, parametro.toInt());
    } else if (parametro.isValid()) {
        const QByteArray testo = parametro.toString().toUtf8();
        sqlite3_bind_text(st, 1, testo.constData(), int(testo.size()), SQLITE_TRANSIENT);
    }
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

// Writes the bytes to a file and flushes them to the disk, as the program
// writes every file it keeps; the file is removed afterwards.
void scriviEScarica(const QString &file, const QByteArray &byte)
{
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(byte) != byte.size() || !f.flush()
        || ::fsync(f.handle()) != 0)
        platform::raise(platform::err::PathFileAccess);
    f.close();
    QFile::remove(file);
}

// The least a filing does: the copy written and flushed under a name of its
// own, one point update of each declaration's index row, the register row,
// in one transaction, and then the copy named, its folder flushed, as a
// filed flow must stand under its name once the archive knows it.
void archiviazioneMinima(const QString &archivio, const QString &copia, const QByteArray &flusso,
                         const std::vector<flowengine::DocumentoCorbex> &documenti, const QDate &oggi)
{
    const QString temporaneo = platform::nomeTemporaneo(copia);
    {
        QFile f(temporaneo);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(flusso) != flusso.size() || !f.flush()
            || ::fsync(f.handle()) != 0)
            platform::raise(platform::err::PathFileAccess);
    }
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(archivio).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, "UPDATE IndiceDoc SET Stato1 = 2 WHERE Indice = ? AND Data = ?", -1, &st, nullptr);
    for (const flowengine::DocumentoCorbex &d : documenti) {
        const QByteArray data = d.Data.toString(Qt::ISODate).toUtf8();
        sqlite3_bind_int64(st, 1, d.Indice);
        sqlite3_bind_text(st, 2, data.constData(), int(data.size()), SQLITE_TRANSIENT);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    const QByteArray riga = QStringLiteral("INSERT INTO Corbix (Posizione, Data, Progressivo, NomeFile, Stato, Tipo) "
                                           "VALUES (%1, '%2', 99999, 'minimo', 0, 1)")
                                .arg(flowengine::PosizioneInviati)
                                .arg(oggi.toString(Qt::ISODate))
                                .toUtf8();
    sqlite3_exec(db, riga.constData(), nullptr, nullptr, nullptr);
    const int rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    if (rc != SQLITE_OK || !QFile::rename(temporaneo, copia))
        platform::raise(platform::err::ReservedError, {QStringLiteral("minimo dell'archiviazione")});
    platform::syncFolder(QFileInfo(copia).absolutePath());
    QFile::remove(copia);
}

// The least a fetch does: the answer read, its line ends rewritten, the copy
// written and flushed, and one register row.
void prelievoMinimo(const QString &archivio, const QString &risposta, const QString &copia, const QDate &oggi)
{
    QByteArray byte = leggiFile(risposta);
    byte.replace("\r\n", "\n");
    byte.replace("\n", "\r\n");
    scriviEScarica(copia, byte);
    esegui(archivio, {QStringLiteral("INSERT INTO Corbix (Posizione, Data, Progressivo, NomeFile, Stato) "
                                     "VALUES (4, '%1', 99999, 'minimo', 0)")
                          .arg(oggi.toString(Qt::ISODate))});
}

// A page-for-page copy of a database file, through SQLite's backup: the
// copy's rows lie on the same pages as the original's.
void copiaArchivio(const QString &da, const QString &a)
{
    sqlite3 *origine = nullptr, *copia = nullptr;
    sqlite3_open_v2(QFile::encodeName(da).constData(), &origine, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_open_v2(QFile::encodeName(a).constData(), &copia, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    sqlite3_backup *backup = sqlite3_backup_init(copia, "main", origine, "main");
    const int rc = backup ? sqlite3_backup_step(backup, -1) : SQLITE_ERROR;
    sqlite3_backup_finish(backup);
    sqlite3_close(copia);
    sqlite3_close(origine);
    if (rc != SQLITE_DONE)
        platform::raise(platform::err::ReservedError, {QStringLiteral("copia dell'archivio non riuscita")});
}

// A box B row as the processing leaves it, the values the floor writes.
struct RigaB {
    QByteArray contenuto;  // null for a Null
    qint64 maxLung = 0, corretto = 0, gestito = 0, controllato = 0;
};

// Reads the rows of every second declaration from the first, by its key
// (Indice and Data bound), handing each row to riga with the declaration's
// position.
void righeOgniSeconda(const QString &archivio, const char *sql, const std::vector<flowengine::DocumentoCorbex> &documenti,
                      std::size_t primo, const std::function<void(sqlite3_stmt *, std::size_t)> &riga)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(archivio).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    for (std::size_t n = primo; n < documenti.size(); n += 2) {
        const QByteArray data = documenti[n].Data.toString(Qt::ISODate).toUtf8();
        sqlite3_bind_int64(st, 1, documenti[n].Indice);
        sqlite3_bind_text(st, 2, data.constData(), int(data.size()), SQLITE_TRANSIENT);
        while (sqlite3_step(st) == SQLITE_ROW)
            riga(st, n);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
}

// The box B rows of the accepted declarations (every other one, as the
// service's stand-in refuses every second) as the processing wrote them,
// by key.
QHash<qint64, RigaB> righeScritte(const QString &archivio, const std::vector<flowengine::DocumentoCorbex> &documenti)
{
    QHash<qint64, RigaB> righe;
    righeOgniSeconda(archivio,
                     "SELECT _rowid_, Contenuto, MaxLung, Corretto, Gestito, Controllato FROM DettaglioBol "
                     "WHERE Indice = ? AND Data = ? AND Modulo = 'F' AND Campo = '0B'",
                     documenti, 0, [&](sqlite3_stmt *st, std::size_t) {
                         RigaB &r = righe[sqlite3_column_int64(st, 0)];
                         if (sqlite3_column_type(st, 1) != SQLITE_NULL)
                             r.contenuto = QByteArray(reinterpret_cast<const char *>(sqlite3_column_text(st, 1)),
                                                      sqlite3_column_bytes(st, 1));
                         r.maxLung = sqlite3_column_int64(st, 2);
                         r.corretto = sqlite3_column_int64(st, 3);
                         r.gestito = sqlite3_column_int64(st, 4);
                         r.controllato = sqlite3_column_int64(st, 5);
                     });
    return righe;
}

// The key of a box the processing marked in error: its article, module,
// box, sub-box and row.
using CasellaMarcata = std::array<QByteArray, 5>;

// The boxes the processing marked in error in the refused declarations
// (every second), by declaration.
std::vector<std::vector<CasellaMarcata>> caselleMarcate(const QString &archivio,
                                                        const std::vector<flowengine::DocumentoCorbex> &documenti)
{
    std::vector<std::vector<CasellaMarcata>> marcate(documenti.size());
    righeOgniSeconda(archivio,
                     "SELECT Articolo, Modulo, Campo, SottoCasella, Riga FROM DettaglioBol WHERE Indice = ? AND "
                     "Data = ? AND Corretto = 0",
                     documenti, 1, [&](sqlite3_stmt *st, std::size_t n) {
                         CasellaMarcata c;
                         for (int k = 0; k < 5; ++k)
                             c[std::size_t(k)] = QByteArray(reinterpret_cast<const char *>(sqlite3_column_text(st, k)),
                                                            sqlite3_column_bytes(st, k));
                         marcate[n].push_back(c);
                     });
    return marcate;
}

// The least the processing does, on a copy of the archive as it was before
// the processing: the answer read, then in one transaction each accepted
// declaration's box B rows read and written by key with what the
// processing wrote there, and for a refused one (every second, as the
// service's stand-in refuses) the box in error marked by its key and the
// index row reset.
void elaborazioneMinima(const QString &archivio, const QString &risposta,
                        const std::vector<flowengine::DocumentoCorbex> &documenti, const QHash<qint64, RigaB> &scritte,
                        const std::vector<std::vector<CasellaMarcata>> &marcate)
{
    leggiFile(risposta);
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(archivio).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    // The page cache the program's connections have: with SQLite's default
    // one, dirty pages would be spilled to the file midway.
    sqlite3_exec(db, "PRAGMA cache_size = -16384", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *righe = nullptr, *scrivi = nullptr, *libera = nullptr;
    sqlite3_prepare_v2(db, "SELECT _rowid_ FROM DettaglioBol WHERE Indice = ? AND Data = ? AND Modulo = 'F' "
                           "AND Campo = '0B' ORDER BY Riga", -1, &righe, nullptr);
    sqlite3_prepare_v2(db, "UPDATE DettaglioBol SET Contenuto = ?, MaxLung = ?, Corretto = ?, Gestito = ?, "
                           "Controllato = ? WHERE _rowid_ = ?", -1, &scrivi, nullptr);
    sqlite3_prepare_v2(db, "UPDATE IndiceDoc SET Stato1 = 0 WHERE Indice = ? AND Data = ? AND Stato1 = 2", -1, &libera,
                       nullptr);
    sqlite3_stmt *marca = nullptr;
    sqlite3_prepare_v2(db, "UPDATE DettaglioBol SET Corretto = 0 WHERE Indice = ? AND Data = ? AND Articolo = ? AND "
                           "Modulo = ? AND Campo = ? AND SottoCasella = ? AND Riga = ?", -1, &marca, nullptr);
    for (std::size_t n = 0; n < documenti.size(); ++n) {
        const QByteArray data = documenti[n].Data.toString(Qt::ISODate).toUtf8();
        for (const CasellaMarcata &c : marcate[n]) {
            sqlite3_bind_int64(marca, 1, documenti[n].Indice);
            sqlite3_bind_text(marca, 2, data.constData(), int(data.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int64(marca, 3, c[0].toLongLong());
            for (int k = 1; k < 5; ++k)
                sqlite3_bind_text(marca, k + 3, c[std::size_t(k)].constData(), int(c[std::size_t(k)].size()),
                                  SQLITE_STATIC);
            sqlite3_step(marca);
            sqlite3_reset(marca);
        }
        sqlite3_stmt *st = n % 2 == 1 ? libera : righe;
        sqlite3_bind_int64(st, 1, documenti[n].Indice);
        sqlite3_bind_text(st, 2, data.constData(), int(data.size()), SQLITE_TRANSIENT);
        while (sqlite3_step(st) == SQLITE_ROW) {
            const qint64 chiave = sqlite3_column_int64(st, 0);
            const RigaB r = scritte.value(chiave);
            if (r.contenuto.isNull())
                sqlite3_bind_null(scrivi, 1);
            else
                sqlite3_bind_text(scrivi, 1, r.contenuto.constData(), int(r.contenuto.size()), SQLITE_STATIC);
            sqlite3_bind_int64(scrivi, 2, r.maxLung);
            sqlite3_bind_int64(scrivi, 3, r.corretto);
            sqlite3_bind_int64(scrivi, 4, r.gestito);
            sqlite3_bind_int64(scrivi, 5, r.controllato);
            sqlite3_bind_int64(scrivi, 6, chiave);
            sqlite3_step(scrivi);
            sqlite3_reset(scrivi);
        }
        sqlite3_reset(st);
    }
    for (sqlite3_stmt *st : {righe, scrivi, libera, marca})
        sqlite3_finalize(st);
    const int rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    if (rc != SQLITE_OK)
        platform::raise(platform::err::ReservedError, {QStringLiteral("minimo dell'elaborazione")});
}

// The pages a report drew, as a recording printer took them, drawn again
// with a plain QPainter on a QPrinter writing the same PDF: each font made
// once, the pen set once; the PDF flushed to the disk, as the program keeps
// every file.
void disegnaPagine(const std::vector<platform::RecordingPagePrinter::Call> &chiamate, const QString &pdf)
{
    QPrinter stampante(QPrinter::HighResolution);
    stampante.setPageSize(QPageSize(QPageSize::A4));
    stampante.setOutputFormat(QPrinter::PdfFormat);
    stampante.setOutputFileName(pdf);
    std::size_t i = 0;
    // The orientation asked before the first figure is the first page's.
    for (; i < chiamate.size() && chiamate[i].what == QLatin1String("orientation"); ++i)
        stampante.setPageOrientation(chiamate[i].text == QLatin1String("landscape") ? QPageLayout::Landscape
                                                                                    : QPageLayout::Portrait);
    QPainter p(&stampante);
    const double mm = stampante.resolution() / 25.4;
    p.setPen(QPen(Qt::black, 0.2 * mm));
    std::map<std::tuple<QString, double, bool, bool>, std::pair<QFont, double>> caratteri;
    const std::pair<QFont, double> *corrente = nullptr;
    for (; i < chiamate.size(); ++i) {
        const platform::RecordingPagePrinter::Call &c = chiamate[i];
        if (c.what == QLatin1String("text")) {
            auto trovato = caratteri.find({c.font, c.points, c.bold, c.italic});
            if (trovato == caratteri.end()) {
                QFont f(c.font);
                f.setPointSizeF(c.points);
                f.setBold(c.bold);
                f.setItalic(c.italic);
                trovato = caratteri.emplace(std::tuple(c.font, c.points, c.bold, c.italic),
                                            std::pair(f, QFontMetricsF(f, &stampante).ascent()))
                              .first;
            }
            if (corrente != &trovato->second) {
                p.setFont(trovato->second.first);
                corrente = &trovato->second;
            }
            p.drawText(QPointF(c.x1 * mm, c.y1 * mm + corrente->second), c.text);
        } else if (c.what == QLatin1String("line")) {
            p.drawLine(QPointF(c.x1 * mm, c.y1 * mm), QPointF(c.x2 * mm, c.y2 * mm));
        } else if (c.what == QLatin1String("rect")) {
            p.drawRect(QRectF(QPointF(c.x1 * mm, c.y1 * mm), QPointF(c.x2 * mm, c.y2 * mm)));
        } else if (c.what == QLatin1String("orientation")) {
            stampante.setPageOrientation(c.text == QLatin1String("landscape") ? QPageLayout::Landscape
                                                                              : QPageLayout::Portrait);
        } else if (c.what == QLatin1String("page")) {
            stampante.newPage();
        }
    }
    p.end();
    platform::syncFile(pdf);
}

// The list's rows read with one statement into a table of the list's
// columns, the state shown as the item's icon.
void riempiTabella(QTableWidget &tabella, const QString &archivio)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(archivio).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, "SELECT Data, Progressivo, FattoDa, OK, KO, ND, Stato, Tipo FROM Corbix WHERE Posizione = ? "
                           "ORDER BY Data DESC, Progressivo DESC", -1, &st, nullptr);
    sqlite3_bind_int(st, 1, flowengine::PosizioneInviati);
    std::map<QString, QIcon> icone;
    tabella.setRowCount(0);
    int riga = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        tabella.setRowCount(riga + 1);
        for (int c = 0; c < 6; ++c)
            tabella.setItem(riga, c, new QTableWidgetItem(QString::fromUtf8(
                                         reinterpret_cast<const char *>(sqlite3_column_text(st, c)))));
        const QString chiave = flowengine::IconaStato(qint16(sqlite3_column_int(st, 6)), qint16(sqlite3_column_int(st, 7)));
        auto icona = icone.find(chiave);
        if (icona == icone.end())
            icona = icone.emplace(chiave, flowengine::ImmagineElenco(chiave)).first;
        auto *stato = new QTableWidgetItem;
        stato->setIcon(icona->second);
        tabella.setItem(riga, 6, stato);
        ++riga;
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
}

// The paints of one window, each timed: how long a piece of work takes up
// to the window's next paint, and the longest stretch without one. A paint
// is taken as drawn at the event loop's next turn after it, once the
// widget has drawn itself and the window has been flushed. A window whose
// content does not change while it waits paints only when it is uncovered:
// with esposta it is uncovered ScopertaOgniMs after each of its paints, as
// when another window passes over it, and repainted at once when the event
// loop takes the uncovering, as an exposure is; its stretch without a paint
// is then how long it stayed uncovered and unpainted.
class Disegni : public QObject {
public:
    explicit Disegni(QWidget *finestra, bool esposta = false) : finestra_(finestra), esposta_(esposta)
    {
        qApp->installEventFilter(this);
        orologio_.start();
        if (esposta_) {
            scoperte_.setTimerType(Qt::PreciseTimer);
            scoperte_.setSingleShot(true);
            QObject::connect(&scoperte_, &QTimer::timeout, finestra_, [this] { finestra_->repaint(); });
            scoperta_ = orologio_.nsecsElapsed() + qint64(ScopertaOgniMs) * 1000 * 1000;
            scoperte_.start(ScopertaOgniMs);
        }
    }
    static constexpr int ScopertaOgniMs = 100;
    ~Disegni() override { qApp->removeEventFilter(this); }
    Disegni(const Disegni &) = delete;
    Disegni &operator=(const Disegni &) = delete;

    struct Misura {
        double secondi = 0;
        double senzaDisegno = 0;  // the longest stretch without a paint of the window or of the view
    };

    // Runs the work, then lets the window run until finito() holds (at once
    // without it) and vista has been drawn after that. vista may be in
    // another window: its paints count as the window's. The work may start
    // the clock again with daOra(), when what it does first is not waited on.
    Misura misura(QWidget *vista, const std::function<void()> &lavoro, const std::function<bool()> &finito = {})
    {
        vista_ = vista;
        daOra();
        lavoro();
        bool fatto = false;
        vistaDisegnata_ = false;
        while (!(fatto && vistaDisegnata_)) {
            if (!fatto && (!finito || finito())) {
                fatto = true;
                // A paint under way before this one does not count.
                ++generazione_;
                vistaDisegnata_ = false;
                vista->update();
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            if (orologio_.nsecsElapsed() - inizio_ > qint64(120) * 1000 * 1000 * 1000)
                platform::raise(platform::err::ReservedError, {QStringLiteral("la finestra non si è ridisegnata")});
        }
        if (!esposta_)
            pausa_ = std::max(pausa_, vistaOra_ - ultimo_);
        return {double(vistaOra_ - inizio_) / 1e9, double(pausa_) / 1e9};
    }

    // The clock of the measure under way starts again.
    void daOra()
    {
        inizio_ = orologio_.nsecsElapsed();
        ultimo_ = inizio_;
        pausa_ = 0;
    }

protected:
    bool eventFilter(QObject *oggetto, QEvent *evento) override
    {
        if (evento->type() != QEvent::Paint || !oggetto->isWidgetType())
            return false;
        if (static_cast<QWidget *>(oggetto)->window() != finestra_ && oggetto != vista_)
            return false;
        const qint64 ora = orologio_.nsecsElapsed();
        if (esposta_) {
            if (static_cast<QWidget *>(oggetto)->window() == finestra_) {
                // The uncovering due since the window's last paint has
                // waited until now; the next one comes after this paint.
                if (ora > scoperta_)
                    pausa_ = std::max(pausa_, ora - scoperta_);
                scoperta_ = ora + qint64(ScopertaOgniMs) * 1000 * 1000;
                scoperte_.start(ScopertaOgniMs);
            }
        } else {
            pausa_ = std::max(pausa_, ora - ultimo_);
        }
        ultimo_ = ora;
        if (oggetto == vista_) {
            QMetaObject::invokeMethod(
                this,
                [this, generazione = generazione_] {
                    if (generazione != generazione_)
                        return;
                    vistaOra_ = orologio_.nsecsElapsed();
                    vistaDisegnata_ = true;
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    QWidget *finestra_;
    bool esposta_;
    QTimer scoperte_;
    qint64 scoperta_ = 0;  // when the window is next uncovered
    QWidget *vista_ = nullptr;
    QElapsedTimer orologio_;
    qint64 inizio_ = 0;
    qint64 ultimo_ = 0;
    qint64 pausa_ = 0;
    qint64 vistaOra_ = 0;
    bool vistaDisegnata_ = false;
    quint64 generazione_ = 0;
};

// Every candidate with the front-sheet boxes its message result and its
// declarant (box 14) are made of.
const char *const SqlCandidati =
    "SELECT i.Data, i.Indice, d.Campo, d.SottoCasella, d.Riga, d.Contenuto FROM IndiceDoc AS i "
    "LEFT JOIN DettaglioBol AS d ON d.Indice = i.Indice AND d.Data = i.Data AND d.Modulo = 'F' "
    "AND d.Campo IN ('01', '07', '14', '49') "
    "WHERE i.ultimadata <= date('now') AND i.Stato1 <> 1 AND i.Stato1 <> 2 ORDER BY i.Data, i.Indice";
const char *const SqlDistinta = "SELECT CompostoDa FROM Corbix WHERE Posizione = ? AND Progressivo = 1";

QString testoColonna(sqlite3_stmt *st, int c)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, c)), sqlite3_column_bytes(st, c));
}

// The declarant's candidates read with one statement into a table of the
// selection grid's columns: the date, the number, the reference and the
// kind, as the boxes hold them.
void riempiGriglia(QTableWidget &tabella, const QString &archivio, const QString &dichiarante)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(archivio).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, SqlCandidati, -1, &st, nullptr);
    struct Riga {
        QString data, indice, riferimento, tipo;
        bool propria = false;
    };
    std::vector<Riga> righe;
    QString chiave;
    Riga corrente;
    const auto chiudi = [&] {
        if (corrente.propria)
            righe.push_back(corrente);
    };
    while (sqlite3_step(st) == SQLITE_ROW) {
        const QString questa = testoColonna(st, 0) + u'-' + testoColonna(st, 1);
        if (questa != chiave) {
            chiudi();
            chiave = questa;
            corrente = {testoColonna(st, 0), testoColonna(st, 1), {}, {}, false};
        }
        const QString campo = testoColonna(st, 2), sotto = testoColonna(st, 3);
        if (campo == QLatin1String("14") && sotto == QLatin1String("0") && testoColonna(st, 4) == QLatin1String("1"))
            corrente.propria = corrente.propria || testoColonna(st, 5) == dichiarante;
        else if (campo == QLatin1String("07"))
            corrente.riferimento = testoColonna(st, 5).right(7);
        else if (campo == QLatin1String("01") && sotto == QLatin1String("1"))
            corrente.tipo = testoColonna(st, 5);
    }
    chiudi();
    sqlite3_finalize(st);
    sqlite3_close(db);
    tabella.setRowCount(int(righe.size()));
    for (int r = 0; r < int(righe.size()); ++r) {
        tabella.setItem(r, 0, new QTableWidgetItem());
        tabella.setItem(r, 1, new QTableWidgetItem(righe[size_t(r)].data));
        tabella.setItem(r, 2, new QTableWidgetItem(righe[size_t(r)].indice));
        tabella.setItem(r, 3, new QTableWidgetItem(righe[size_t(r)].riferimento));
        tabella.setItem(r, 4, new QTableWidgetItem(righe[size_t(r)].tipo));
    }
}

// The least the writer does: the declarations of the selection read by key
// in its order, as the writer reads them, their index row and every box,
// every column as text, and the flow's bytes written and synced.
void scritturaMinima(const QString &archivio, const QList<uimain::DichiarazioneTrovata> &selezionate,
                     const QString &file, const QByteArray &flusso)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(archivio).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *indice = nullptr, *caselle = nullptr;
    sqlite3_prepare_v2(db, "SELECT CodiceDoc FROM IndiceDoc WHERE Indice = ? AND Data = ?", -1, &indice, nullptr);
    sqlite3_prepare_v2(db, "SELECT Articolo, Modulo, Campo, SottoCasella, Riga, Contenuto FROM DettaglioBol "
                           "WHERE Indice = ? AND Data = ?", -1, &caselle, nullptr);
    for (const uimain::DichiarazioneTrovata &d : selezionate) {
        const QByteArray data = d.data.toString(Qt::ISODate).toUtf8();
        for (sqlite3_stmt *st : {indice, caselle}) {
            sqlite3_bind_int64(st, 1, d.indice);
            sqlite3_bind_text(st, 2, data.constData(), int(data.size()), SQLITE_TRANSIENT);
            while (sqlite3_step(st) == SQLITE_ROW)
                for (int c = 0; c < sqlite3_column_count(st); ++c) {
                    sqlite3_column_text(st, c);
                    sqlite3_column_bytes(st, c);
                }
            sqlite3_reset(st);
        }
    }
    sqlite3_finalize(indice);
    sqlite3_finalize(caselle);
    sqlite3_close(db);
    scriviEScarica(file, flusso);
}

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

// The road of a medium flow, watched by nobody and without its medium: the
// writer's time up to its outcome, and the filing's from the build's end on.
// Between the two, untimed, the writer's floor runs on the flow built, so
// that each step is timed back to back with its own floor.
class StradaCronometrata : public uimain::ComposizioneSenzaUtente {
public:
    explicit StradaCronometrata(std::function<void(const QByteArray &flusso)> dopoScrittura)
        : ComposizioneSenzaUtente(false), dopoScrittura_(std::move(dopoScrittura))
    {
        tempo_.start();
    }
    bool confermaCostruzione(const flowengine::CorbexCreato &creato,
                             const std::function<uimain::EsitoScrittura()> &scrivi) override
    {
        scrittura_ = tempo_.nsecsElapsed();
        flusso = leggiFile(platform::hostPath(creato.fileCorbex));
        dopoScrittura_(flusso);
        return ComposizioneSenzaUtente::confermaCostruzione(creato, scrivi);
    }
    void costruzioneChiusa(bool) override { archiviazione_ = tempo_.nsecsElapsed(); }

    double scrittura() const { return double(scrittura_) / 1e9; }
    // Asked once the road is over.
    double archiviazione() const { return double(tempo_.nsecsElapsed() - archiviazione_) / 1e9; }
    QByteArray flusso;

private:
    std::function<void(const QByteArray &)> dopoScrittura_;
    QElapsedTimer tempo_;
    qint64 scrittura_ = 0, archiviazione_ = 0;
};

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
QString flussoRisposto(const QString &cartella, const QString &selezione, const QString &ufficio)
{
    const QDate oggi = platform::clock().now().date();
    const QString dichiarante = uimain::DichiaranteDiSelezione(selezione);
    const auto riservata = uimain::RiservaRiga(oggi, NumeroCartella, dichiarante);
    if (!riservata)
        platform::raise(platform::err::ReservedError, {QStringLiteral("numero non riservato")});
    uimain::RichiestaCorbex corbex;
    uimain::ProdottoCorbex prodotto;
    corbex.DestinazioneCorbex = flowengine::Destinazione::Cartella;
    corbex.data = oggi;
    corbex.dichiarante = dichiarante;
    corbex.TestoSelezione = selezione;
    corbex.riservata = *riservata;
    corbex.cartella = QStringLiteral("C:\\Corbix\\Corbix in uscita");
    corbex.progressivo = NumeroCartella;
    corbex.ufficio = ufficio;
    uimain::ComposizioneSenzaUtente nessuno;
    const bool archiviato = uimain::ComponiCorbex(corbex, prodotto, nessuno).has_value();
    QFile::remove(platform::hostPath(prodotto.fileErrori));
    if (!archiviato)
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

// The register row of a flow sent.
flowengine::DatiCorbex flussoInviato(const QDate &data, qint32 progressivo)
{
    flowengine::DatiCorbex flusso;
    flusso.Data = data;
    flusso.Progressivo = progressivo;
    flusso.Posizione = flowengine::PosizioneInviati;
    flowengine::CaricaCorbex(flusso);
    return flusso;
}

// The declarations a flow of the register is made of.
std::vector<flowengine::DocumentoCorbex> documentiDelFlusso(const QDate &data, qint32 progressivo)
{
    std::vector<flowengine::DocumentoCorbex> documenti;
    flowengine::LeggiCompostoDa(documenti, flussoInviato(data, progressivo).CompostoDa);
    return documenti;
}

// The item of the list's menu for that row and command, as the user finds
// it on right-clicking the row.
QAction *comando(uimain::frmMain &principale, int riga, const char *parola)
{
    principale.RigaContesto = riga;
    bool mostra = false;
    principale.ImpostaMenuContesto(riga, flowengine::PosizioneInviati, mostra);
    const qsizetype voce = principale.Comandi.indexOf(QString::fromLatin1(parola));
    if (!mostra || voce < 0)
        platform::raise(platform::err::ReservedError, {QStringLiteral("comando %1 non disponibile").arg(parola)});
    return principale.Opzioni[std::size_t(voce)];
}

// The row of the list that shows the flow of that day and number.
int rigaDelFlusso(const uimain::frmMain &principale, const QDate &data, qint32 progressivo)
{
    for (int r = 0; r < principale.grdHistory->rowCount(); ++r) {
        flowengine::DatiCorbex flusso;
        if (uimain::ChiaveRigaGriglia(principale.grdHistory, r, flusso) && flusso.Data == data
            && flusso.Progressivo == progressivo)
            return r + 1;
    }
    platform::raise(platform::err::ReservedError, {QStringLiteral("flusso non elencato")});
}

// The window the list's menu opens on the flow of that day and number
// (NumeroCartella), shown and painted, then its button pressed: measured from
// the press up to the list's next paint once the window has closed. A window
// whose content does not change meanwhile is esposta.
Disegni::Misura inFinestra(uimain::frmMain &principale, const QDate &oggi, const char *parola, const char *pulsante,
                           bool esposta)
{
    QAction *voce = comando(principale, rigaDelFlusso(principale, oggi, NumeroCartella), parola);
    Disegni::Misura misura;
    QString fallito = QStringLiteral("finestra non aperta");
    // Run by the window's own loop, once it is open.
    QTimer::singleShot(0, &principale, [&] {
        auto *finestra = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        auto *premuto = finestra ? finestra->findChild<QPushButton *>(QString::fromLatin1(pulsante)) : nullptr;
        if (!premuto)
            return;
        try {
            Disegni disegni(finestra, esposta);
            disegni.misura(finestra, [] {});  // shown and painted
            misura = disegni.misura(principale.grdHistory->viewport(), [&] { premuto->click(); },
                                    [&] { return !finestra->isVisible(); });
            fallito.clear();
        } catch (const platform::RuntimeError &e) {
            fallito = e.description();
            finestra->reject();
        }
    });
    voce->trigger();
    if (!fallito.isEmpty())
        platform::raise(platform::err::ReservedError, {fallito});
    return misura;
}

// What the report reads of the flow of that day and number.
uitransmission::DatiTabulato tabulatoDelFlusso(const QDate &data, qint32 progressivo)
{
    const flowengine::DatiCorbex inviato = flussoInviato(data, progressivo);
    flowengine::DatiCorbex risposta = inviato;
    risposta.Posizione = flowengine::PosizioneRisposta;
    flowengine::CaricaCorbex(risposta);
    return {data, progressivo, inviato.NomeFile, inviato.CompostoDa, risposta.NomeFile};
}

// One row of the table: the program's times beside the floor's, and the
// target, as a ratio to the floor, as a time, or both.
struct Passo {
    QString nome;
    double rapporto = 0;  // the ratio to the floor allowed; 0 for none
    double secondi = 0;   // the time allowed; 0 for none
    std::vector<double> tempi, minimi;  // no floor when minimi stays empty
    QString unita = QStringLiteral("s");  // of tempi and minimi: "s", or "MB" for memory
};

// The hidden argument that runs the fetch's memory measure in a fresh
// process: a fork of the bench would start from the memory it has freed.
const QString ArgomentoMemoria = QStringLiteral("--memoria-prelievo");

// The child's side: CARTELLA RISPOSTA DATA. The answer's register row is
// taken away first, so the fetch stores it again; prints how much the
// resident memory grows at most during the fetch, in bytes.
int memoriaPrelievo(const QStringList &argomenti, QTextStream &out, QTextStream &err)
{
    const QString cartella = argomenti.value(0), risposta = argomenti.value(1);
    const QDate oggi = QDate::fromString(argomenti.value(2), Qt::ISODate);
    platform::RecordingMessageBoxService messaggi;
    platform::ScopedMessageBoxService messaggiGuard(messaggi);
    try {
        platform::DriveTable unita(cartella, cartella);
        platform::ScopedDriveTable unitaGuard(unita);
        avvia(cartella);
        const flowengine::DatiCorbex inviata = flussoInviato(oggi, NumeroCartella);
        esegui(cartella + QStringLiteral("/Archivio.mdb"),
               {QStringLiteral("DELETE FROM Corbix WHERE Posizione = %1 AND Progressivo = %2")
                    .arg(flowengine::PosizioneRisposta)
                    .arg(NumeroCartella)});
        QFile azzera(QStringLiteral("/proc/self/clear_refs"));
        if (azzera.open(QIODevice::WriteOnly))
            azzera.write("5");
        azzera.close();
        const qint64 prima = statoProcesso("VmRSS:");
        if (!uitransmission::PrelevaRisposta(risposta, inviata))
            platform::raise(platform::err::ReservedError, {QStringLiteral("risposta grande non prelevata")});
        out << statoProcesso("VmHWM:") - prima << '\n';
    } catch (const platform::RuntimeError &e) {
        common::resetGlobals();
        err << "Errore " << e.number() << ": " << e.description() << '\n';
        return 1;
    }
    common::resetGlobals();
    return 0;
}

// The parent's side: the bench itself started again with the hidden argument.
qint64 crescitaMemoria(const QString &cartella, const QString &risposta, const QDate &oggi)
{
    QProcess figlio;
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    figlio.setProcessEnvironment(ambiente);
    figlio.start(QCoreApplication::applicationFilePath(),
                 {ArgomentoMemoria, cartella, risposta, oggi.toString(Qt::ISODate)});
    if (!figlio.waitForFinished(-1) || figlio.exitStatus() != QProcess::NormalExit || figlio.exitCode() != 0)
        platform::raise(platform::err::ReservedError,
                        {QStringLiteral("misura della memoria fallita: ")
                         + QString::fromUtf8(figlio.readAllStandardError()).trimmed()});
    bool ok = false;
    const qint64 crescita = QString::fromUtf8(figlio.readAllStandardOutput()).trimmed().toLongLong(&ok);
    if (!ok)
        platform::raise(platform::err::ReservedError, {QStringLiteral("misura della memoria illeggibile")});
    return crescita;
}

}  // namespace

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.value(0) == ArgomentoMemoria)
        return memoriaPrelievo(arguments.mid(1), out, err);
    if (arguments.size() != 1 || !QFileInfo(arguments[0] + QStringLiteral("/Archivio.mdb")).isFile()) {
        err << "Uso: corbix-bench CARTELLA_PROGRAMMA (una cartella fatta da corbix-sample-data)\n";
        return 2;
    }
    const QString origine = QDir(arguments[0]).absolutePath();
    const QString cartellaIniziale = QDir::currentPath();
    buildflow::MessaggiSuErrore messaggi(err);
    platform::ScopedMessageBoxService messaggiGuard(messaggi);
    // The windows the list's menu opens on an answered flow.
    uitransmission::RegistraElaborazione(uimain::programWindows());
    uitransmission::RegistraTabulato(uimain::programWindows());

    enum {
        Ricerca, Passo12, Passo12Pausa, Scrittura, Archiviazione, ElencoRiempito, ElencoRiempitoDopoElimina,
        ElencoPausa, ElencoPagina, Distinta, DistintaPausa, Prelievo, Elaborazione, ElaborazionePausa, Tabulato,
        TabulatoPausa, Memoria, NumeroPassi
    };
    std::vector<Passo> passi(NumeroPassi);
    passi[Ricerca].rapporto = 3;
    passi[Passo12] = {{}, 2, 1, {}, {}};
    passi[Passo12Pausa].secondi = 0.2;
    passi[Scrittura].rapporto = 2;
    passi[Archiviazione].rapporto = 2;
    passi[ElencoRiempito] = {{}, 3, 0.3, {}, {}};
    passi[ElencoRiempitoDopoElimina] = {{}, 3, 0.3, {}, {}};
    passi[ElencoPausa].secondi = 0.2;
    passi[ElencoPagina].rapporto = 3;
    passi[Distinta].rapporto = 1.2;
    passi[DistintaPausa].secondi = 0.2;
    passi[Elaborazione].rapporto = 2;
    passi[ElaborazionePausa].secondi = 0.2;
    passi[Tabulato].rapporto = 2;
    passi[TabulatoPausa].secondi = 0.2;
    passi[Memoria].rapporto = 2;
    passi[Memoria].unita = QStringLiteral("MB");
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
            // office for the folder flow.
            QStringList dichiaranti;
            QString ufficio;
            {
                sqlite3 *db = nullptr;
                sqlite3_open_v2(QFile::encodeName(archivio).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
                sqlite3_stmt *st = nullptr;
                sqlite3_prepare_v2(db, "SELECT Codice, Ufficio FROM Spedoga ORDER BY Codice", -1, &st,
                                   nullptr);
                const auto testo = [&](int c) {
                    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, c)));
                };
                while (sqlite3_step(st) == SQLITE_ROW) {
                    if (dichiaranti.isEmpty())
                        ufficio = testo(1);
                    dichiaranti << testo(0);
                }
                sqlite3_finalize(st);
                sqlite3_close(db);
            }
            const QStringList tipi = uimain::TipiRichiesti(true, true, true, true);
            qint64 passiAvanzamento = 0;
            passi[Ricerca].tempi.push_back(secondi([&] {
                for (const QString &d : dichiaranti)
                    uimain::CercaDichiarazioni(d, tipi, oggi, [&](qint64, qint64) { ++passiAvanzamento; });
            }));
            passi[Ricerca].minimi.push_back(secondi([&] {
                for (qsizetype d = 0; d < dichiaranti.size(); ++d)
                    leggiRighe(archivio, SqlCandidati);
            }));

            // The wizard, shown, from step 1 to step 2 as the user clicks
            // "&Avanti >>": the search of the first declarant, the grid
            // filled, up to the grid's next paint.
            qint64 righeWizard = 0;
            {
                uimain::frmComposeNew wizard;
                wizard.show();
                wizard.cmbDichiarante->setCurrentText(dichiaranti.value(0));
                for (QCheckBox *c : {wizard.chkImport, wizard.chkExport, wizard.chkInDeposito, wizard.chkExportSempif})
                    c->setChecked(true);
                Disegni disegni(&wizard);
                disegni.misura(&wizard, [] {});  // shown and painted at step 1
                const Disegni::Misura m = disegni.misura(
                    wizard.grdListaDich->viewport(), [&] { wizard.cmdNextEnd->click(); },
                    [&] { return wizard.PassoCorrente == 2 && !wizard.GrigliaInCaricamento; });
                passi[Passo12].tempi.push_back(m.secondi);
                passi[Passo12Pausa].tempi.push_back(m.senzaDisegno);
                righeWizard = wizard.TotaleDichiarazioni;
                if (wizard.PassoCorrente != 2 || righeWizard == 0)
                    platform::raise(platform::err::ReservedError, {QStringLiteral("passo 2 non raggiunto")});

                // One statement into a table of the grid's size, shown.
                QTableWidget tabella;
                tabella.setColumnCount(wizard.grdListaDich->columnCount());
                tabella.resize(wizard.grdListaDich->size());
                tabella.show();
                Disegni disegniTabella(&tabella);
                disegniTabella.misura(tabella.viewport(), [] {});
                passi[Passo12].minimi.push_back(disegniTabella.misura(tabella.viewport(), [&] {
                    riempiGriglia(tabella, archivio, dichiaranti.value(0));
                }).secondi);
                if (tabella.rowCount() != righeWizard)
                    platform::raise(platform::err::ReservedError, {QStringLiteral("griglia minima diversa")});
            }
            passi[Passo12].nome = QStringLiteral("composizione mostrata, passo 1 -> 2 (%1 dichiarazioni del "
                                                 "dichiarante): fino al disegno della griglia")
                                      .arg(righeWizard);
            passi[Passo12Pausa].nome =
                QStringLiteral("composizione mostrata, passo 1 -> 2: tempo più lungo senza disegno");

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
            // The road of a medium flow without its medium, timed: the
            // writer up to its outcome, the filing from the build's end on.
            uimain::RichiestaCorbex corbex;
            uimain::ProdottoCorbex prodotto;
            corbex.DestinazioneCorbex = flowengine::Destinazione::Supporto;
            corbex.data = oggi;
            corbex.dichiarante = dichiaranti.value(0);
            corbex.TestoSelezione = selezione;
            StradaCronometrata strada([&](const QByteArray &flusso) {
                passi[Scrittura].minimi.push_back(
                    secondi([&] { scritturaMinima(archivio, tutte, cartella + QStringLiteral("/.minimo"), flusso); }));
            });
            if (!uimain::ComponiCorbex(corbex, prodotto, strada))
                platform::raise(platform::err::PathFileAccess);
            passi[Scrittura].tempi.push_back(strada.scrittura());
            passi[Archiviazione].tempi.push_back(strada.archiviazione());
            const QByteArray flusso = strada.flusso;
            passi[Scrittura].nome = QStringLiteral("scrittura del flusso di %1 dichiarazioni").arg(dichiarazioni);
            QFile::remove(platform::hostPath(prodotto.fileErrori));
            const std::vector<flowengine::DocumentoCorbex> archiviati = documentiDelFlusso(oggi, 1);
            passi[Archiviazione].minimi.push_back(secondi([&] {
                archiviazioneMinima(archivio, cartella + QStringLiteral("/.minimo"), flusso, archiviati, oggi);
            }));
            esegui(archivio, {QStringLiteral("DELETE FROM Corbix WHERE Progressivo = 99999")});
            passi[Archiviazione].nome = QStringLiteral("archiviazione del flusso di %1 dichiarazioni").arg(archiviati.size());

            // The printed dispatch list of the filed flow, beside the same
            // pages drawn plainly on the same printer.
            // The list itself is printed from the list's menu, below.
            const flowengine::DatiCorbex filed = flussoInviato(oggi, 1);
            platform::RecordingPagePrinter pagine;
            {
                platform::ScopedPagePrinter pagineGuard(pagine);
                flowengine::StampaDistinta(filed);
            }
            passi[Distinta].minimi.push_back(secondi([&] {
                leggiRighe(archivio, SqlDistinta, flowengine::PosizioneInviati);
                disegnaPagine(pagine.calls, temp.path() + QStringLiteral("/minimo.pdf"));
            }));
            passi[Distinta].nome = QStringLiteral("distinta di %1 dichiarazioni stampata in PDF dal menu dell'elenco")
                                       .arg(archiviati.size());
            passi[DistintaPausa].nome =
                QStringLiteral("distinta dal menu dell'elenco: tempo più lungo senza disegno");

            // The list of flows over a register of RigheElenco rows, in the
            // main window as the program starts, shown; beside it the same
            // rows read with one statement into a table of the same size.
            QStringList righe;
            for (int i = 1; i < RigheElenco; ++i)
                righe << QStringLiteral("INSERT INTO Corbix (Posizione, Data, Progressivo, NomeFile, Stato, Tipo, "
                                        "FattoDa, OK, KO, ND) VALUES (%1, date('2020-01-01', '+%2 day'), %3, '', "
                                        "%4, %5, 'DICH0%6', %7, %8, 0)")
                             .arg(flowengine::PosizioneInviati)
                             .arg(i / 5).arg(i % 5 + 2).arg(i % 6).arg(i % 2 + 1).arg(i % 2 + 1).arg(i % 200).arg(i % 7);
            esegui(archivio, righe);
            int righeElenco = 0;
            {
                QDir::setCurrent(cartella);
                uimain::frmMain principale;
                Disegni disegni(&principale);
                QWidget *vista = principale.grdHistory->viewport();
                const Disegni::Misura riempito = disegni.misura(vista, [&] {
                    if (!principale.Form_Load())
                        platform::raise(platform::err::ReservedError, {QStringLiteral("avvio non riuscito")});
                    principale.show();
                });
                QDir::setCurrent(cartellaIniziale);
                passi[ElencoRiempito].tempi.push_back(riempito.secondi);
                righeElenco = principale.grdHistory->rowCount();
                if (righeElenco != RigheElenco)
                    platform::raise(platform::err::ReservedError, {QStringLiteral("elenco incompleto")});

                // "&Stampa distinta" on the first flow, the medium flow filed above.
                {
                    platform::QtPagePrinter stampante;
                    stampante.setPrinterName(QStringLiteral("PDF"));
                    platform::ScopedPagePrinter stampanteGuard(stampante);
                    // The printer tells where the PDF went: nobody is there to read it.
                    platform::RecordingMessageBoxService avvisi;
                    platform::ScopedMessageBoxService avvisiGuard(avvisi);
                    QAction *stampa = comando(principale, 1, "STAMPADISTINTA");
                    Disegni esposta(&principale, true);
                    const Disegni::Misura distinta = esposta.misura(vista, [&] { stampa->trigger(); });
                    passi[Distinta].tempi.push_back(distinta.secondi);
                    passi[DistintaPausa].tempi.push_back(distinta.senzaDisegno);
                    if (avvisi.shown.size() != 1)
                        platform::raise(platform::err::ReservedError, {QStringLiteral("distinta non stampata")});
                }

                // "&Elimina" on the first flow, confirmed.
                platform::RecordingMessageBoxService conferma;
                conferma.answer(platform::MsgResult::Yes);
                platform::ScopedMessageBoxService confermaGuard(conferma);
                QAction *elimina = comando(principale, 1, "ELIMINACORBEXINVIATO");
                const Disegni::Misura eliminato = disegni.misura(vista, [&] { elimina->trigger(); });
                passi[ElencoRiempitoDopoElimina].tempi.push_back(eliminato.secondi);
                passi[ElencoPausa].tempi.push_back(eliminato.senzaDisegno);
                if (principale.grdHistory->rowCount() != RigheElenco - 1 || conferma.shown.size() != 1)
                    platform::raise(platform::err::ReservedError, {QStringLiteral("flusso non eliminato")});

                passi[ElencoPagina].tempi.push_back(disegni.misura(vista, [&] {
                    principale.grdHistory->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
                }).secondi);

                QTableWidget tabella;
                tabella.setColumnCount(principale.grdHistory->columnCount());
                tabella.resize(principale.grdHistory->size());
                Disegni disegniTabella(&tabella);
                passi[ElencoRiempito].minimi.push_back(disegniTabella.misura(tabella.viewport(), [&] {
                    riempiTabella(tabella, archivio);
                    tabella.show();
                }).secondi);
                passi[ElencoRiempitoDopoElimina].minimi.push_back(
                    disegniTabella.misura(tabella.viewport(), [&] { riempiTabella(tabella, archivio); }).secondi);
                passi[ElencoPagina].minimi.push_back(disegniTabella.misura(tabella.viewport(), [&] {
                    tabella.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
                }).secondi);
            }
            passi[ElencoRiempito].nome =
                QStringLiteral("elenco dei flussi mostrato, %1 righe: riempimento fino al primo disegno").arg(righeElenco);
            passi[ElencoRiempitoDopoElimina].nome =
                QStringLiteral("elenco dei flussi mostrato, %1 righe: dopo \"&Elimina\" fino al disegno seguente")
                    .arg(righeElenco - 1);
            passi[ElencoPausa].nome =
                QStringLiteral("elenco dei flussi mostrato: dopo \"&Elimina\", tempo più lungo senza disegno");
            passi[ElencoPagina].nome = QStringLiteral("elenco dei flussi mostrato: scorrimento di una pagina");

            // The answer of the service to a folder flow of every declaration,
            // one outcome each: fetched and processed. The declarations of
            // the flow deleted above are made free again first, since a
            // declaration goes into one flow only.
            esegui(archivio, {QStringLiteral("UPDATE IndiceDoc SET Stato1 = 0 WHERE Stato1 = 2")});
            // An answer counts its lines in five digits, about one and a half
            // a declaration: a larger sample answers its first declarations.
            const QString risposta =
                tutte.size() <= DichiarazioniRisposta
                    ? flussoRisposto(cartella, selezione, ufficio)
                    : flussoRisposto(cartella,
                                     uimain::ElencoSelezionate(QStringLiteral("T"), dichiaranti.value(0),
                                                               tutte.first(DichiarazioniRisposta),
                                                               QString(DichiarazioniRisposta, u'1')),
                                     ufficio);
            avvia(cartella);
            const flowengine::DatiCorbex inviata = flussoInviato(oggi, NumeroCartella);
            const std::vector<flowengine::DocumentoCorbex> risposti = documentiDelFlusso(oggi, NumeroCartella);
            passi[Prelievo].tempi.push_back(secondi([&] {
                if (!uitransmission::PrelevaRisposta(risposta, inviata))
                    platform::raise(platform::err::ReservedError, {QStringLiteral("risposta non prelevata")});
            }));
            passi[Prelievo].minimi.push_back(secondi(
                [&] { prelievoMinimo(archivio, risposta, cartella + QStringLiteral("/.minimo"), oggi); }));
            esegui(archivio, {QStringLiteral("DELETE FROM Corbix WHERE Progressivo = 99999")});
            passi[Prelievo].nome = QStringLiteral("prelievo di una risposta di %1 esiti").arg(risposti.size());
            // The floor's archive, as the processing finds it.
            const QString archivioMinimo = cartella + QStringLiteral("/.minimo.mdb");
            copiaArchivio(archivio, archivioMinimo);
            int colonneElenco = 0;
            QSize misuraElenco;
            {
                // The processing and the report through their windows, opened
                // from the list's menu on the answered flow: from "&Avvia" and
                // "&Stampa" up to the list's next paint once the window has
                // closed.
                QDir::setCurrent(cartella);
                uimain::frmMain principale;
                if (!principale.Form_Load())
                    platform::raise(platform::err::ReservedError, {QStringLiteral("avvio non riuscito")});
                principale.show();
                QDir::setCurrent(cartellaIniziale);
                QWidget *vista = principale.grdHistory->viewport();
                Disegni(&principale).misura(vista, [] {});  // shown and painted
                colonneElenco = principale.grdHistory->columnCount();
                misuraElenco = principale.grdHistory->size();
                // The processing's only message says it is done; the report
                // says where each PDF went.
                platform::RecordingMessageBoxService risposte;
                platform::ScopedMessageBoxService risposteGuard(risposte);
                platform::QtPagePrinter stampante;
                stampante.setPrinterName(QStringLiteral("PDF"));
                platform::ScopedPagePrinter stampanteGuard(stampante);

                const Disegni::Misura elaborata = inFinestra(principale, oggi, "ELABORARISPOSTA", "cmdStart", false);
                passi[Elaborazione].tempi.push_back(elaborata.secondi);
                passi[ElaborazionePausa].tempi.push_back(elaborata.senzaDisegno);
                if (risposte.shown.size() != 1 || flussoInviato(oggi, NumeroCartella).Stato
                                                      != flowengine::StatoRispostaElaborata)
                    platform::raise(platform::err::ReservedError, {QStringLiteral("risposta non elaborata")});

                const Disegni::Misura stampato = inFinestra(principale, oggi, "STAMPARISPOSTAFINALE", "cmdPrint", true);
                passi[Tabulato].tempi.push_back(stampato.secondi);
                passi[TabulatoPausa].tempi.push_back(stampato.senzaDisegno);
                if (risposte.shown.size() != 3)
                    platform::raise(platform::err::ReservedError, {QStringLiteral("tabulato non stampato")});
            }
            // The report's pages drawn plainly, beside its files read.
            const uitransmission::DatiTabulato datiTabulato = tabulatoDelFlusso(oggi, NumeroCartella);
            platform::RecordingPagePrinter positivi, negativi;
            {
                platform::ScopedPagePrinter positiviGuard(positivi);
                uitransmission::StampaEsitiPositivi(datiTabulato);
            }
            {
                platform::ScopedPagePrinter negativiGuard(negativi);
                uitransmission::StampaEsitiNegativi(datiTabulato);
            }
            passi[Tabulato].minimi.push_back(secondi([&] {
                leggiFile(flowengine::FileRegistrato(datiTabulato.FileRisposta));
                leggiFile(flowengine::FileRegistrato(datiTabulato.FileCorbex));
                disegnaPagine(positivi.calls, temp.path() + QStringLiteral("/minimo-positivi.pdf"));
                disegnaPagine(negativi.calls, temp.path() + QStringLiteral("/minimo-negativi.pdf"));
            }));
            passi[Tabulato].nome = QStringLiteral("tabulato esplicativo di %1 esiti, entrambi gli elenchi in PDF, "
                                                  "dalla sua finestra")
                                       .arg(risposti.size());
            passi[TabulatoPausa].nome =
                QStringLiteral("tabulato dalla sua finestra: tempo più lungo senza disegno");
            const QHash<qint64, RigaB> scritte = righeScritte(archivio, risposti);
            const std::vector<std::vector<CasellaMarcata>> marcate = caselleMarcate(archivio, risposti);
            // The processing refills the list once its window has closed: so
            // does its floor, the list's rows read again into a shown table of
            // the list's size, up to its paint.
            QTableWidget elencoMinimo;
            elencoMinimo.setColumnCount(colonneElenco);
            elencoMinimo.resize(misuraElenco);
            Disegni disegniElenco(&elencoMinimo);
            disegniElenco.misura(elencoMinimo.viewport(), [&] {
                riempiTabella(elencoMinimo, archivio);
                elencoMinimo.show();
            });
            passi[Elaborazione].minimi.push_back(
                secondi([&] { elaborazioneMinima(archivioMinimo, risposta, risposti, scritte, marcate); })
                + disegniElenco.misura(elencoMinimo.viewport(), [&] { riempiTabella(elencoMinimo, archivio); })
                      .secondi);
            QFile::remove(archivioMinimo);
            passi[Elaborazione].nome =
                QStringLiteral("elaborazione di una risposta di %1 esiti dalla sua finestra").arg(risposti.size());
            passi[ElaborazionePausa].nome =
                QStringLiteral("elaborazione dalla sua finestra: tempo più lungo senza disegno");

            // The fetch of the same answer grown near the fetch's limit, stored
            // again in place of the first: the memory it holds beside the
            // file's size, in a process of its own.
            const QString grande = rispostaGrande(risposta);
            const qint64 byteGrande = QFileInfo(grande).size();
            common::resetGlobals();
            passi[Memoria].tempi.push_back(double(crescitaMemoria(cartella, grande, oggi)) / 1e6);
            passi[Memoria].minimi.push_back(double(byteGrande) / 1e6);
            passi[Memoria].nome = QStringLiteral("memoria del prelievo di una risposta di %1 MB, in un processo nuovo")
                                      .arg(QString::number(double(byteGrande) / 1e6, 'f', 0));
        }
    } catch (const platform::RuntimeError &e) {
        QDir::setCurrent(cartellaIniziale);
        common::resetGlobals();
        err << "Errore " << e.number() << ": " << e.description() << '\n';
        return 1;
    }
    passi[Ricerca].nome = QStringLiteral("ricerca delle dichiarazioni di ogni dichiarante (%1 in tutto)").arg(dichiarazioni);

    out << "Corbix: " << dichiarazioni << " dichiarazioni, mediane di " << Giri << " giri\n\n";
    out << "| passo | tempo | minimo | rapporto | obiettivo | esito |\n|---|---|---|---|---|---|\n";
    bool tutti = true;
    for (const Passo &p : passi) {
        const double t = mediana(p.tempi), m = mediana(p.minimi);
        const bool conMinimo = !p.minimi.empty() && m > 0;
        const double r = conMinimo ? t / m : 0;
        const bool entro = (p.rapporto == 0 || (conMinimo && r <= p.rapporto)) && (p.secondi == 0 || t <= p.secondi);
        tutti = tutti && entro;
        const int cifre = p.unita == QLatin1String("s") ? 3 : 1;
        QStringList obiettivo;
        if (p.rapporto > 0)
            obiettivo << QString::number(p.rapporto, 'g', 3).replace(u'.', u',') + u'x';
        if (p.secondi > 0)
            obiettivo << QString::number(p.secondi, 'g', 3).replace(u'.', u',') + QStringLiteral(" s");
        out << "| " << p.nome << " | " << QString::number(t, 'f', cifre) << ' ' << p.unita << " | "
            << (conMinimo ? QString::number(m, 'f', cifre) + u' ' + p.unita : QStringLiteral("-")) << " | "
            << (conMinimo ? QString::number(r, 'f', 1) + u'x' : QStringLiteral("-")) << " | "
            << (obiettivo.isEmpty() ? QStringLiteral("-") : obiettivo.join(QStringLiteral(", "))) << " | "
            << (obiettivo.isEmpty() ? QStringLiteral("-") : entro ? QStringLiteral("entro") : QStringLiteral("FUORI"))
            << " |\n";
    }
    out.flush();
    return tutti ? 0 : 3;
}

}  // namespace bench
