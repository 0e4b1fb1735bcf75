#include "bench/steps.h"

#include "bench/floorsql.h"
#include "bench/paints.h"
#include "sampleanswer/sampleanswer.h"

#include "common/globals.h"
#include "common/settings.h"
#include "flowengine/dispatchlist.h"
#include "flowengine/flowlist.h"
#include "flowengine/options.h"
#include "platform/clock.h"
#include "platform/errors.h"
#include "platform/filewriters.h"
#include "platform/messagebox.h"
#include "platform/pageprinter.h"
#include "platform/qtpageprinter.h"
#include "support/doubles/recordingmessagebox.h"
#include "ui/main/compositionrun.h"
#include "ui/main/flowgrid.h"
#include "ui/main/frmcomposenew.h"
#include "ui/main/frmmain.h"
#include "ui/main/windowfactory.h"
#include "ui/transmission/answerfetch.h"
#include "ui/transmission/answerprocess.h"
#include "ui/transmission/frmaswerprocess.h"
#include "ui/transmission/frmaswerreport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>
#include <algorithm>
#include <array>
#include <filesystem>
#include <map>
#include <unistd.h>

namespace bench {

namespace {

constexpr int RigheElenco = 10000;
constexpr int NumeroCartella = 7;  // the register number of the folder flow answered
constexpr int DichiarazioniRisposta = 60000;  // the most declarations of the folder flow answered
constexpr int NumeroMinimo = 99999;  // the register number of the rows the floors add

// ---------------------------------------------------------------- shared by the floors

// A file read whole, once.
QByteArray leggiFile(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        fallito(QStringLiteral("%1 non leggibile: %2").arg(file, f.errorString()));
    return f.readAll();
}

// The bytes written to a file under a name of its own and flushed to the
// disk, as the program writes every file it keeps.
void scriviEScarica(const QString &file, const QByteArray &byte)
{
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(byte) != byte.size() || !f.flush()
        || ::fsync(f.handle()) != 0)
        fallito(QStringLiteral("%1 non scritto: %2").arg(file, f.errorString()));
}

QByteArray dataIso(const QDate &data) { return data.toString(Qt::ISODate).toUtf8(); }

// Binds a declaration's key, Indice and Data, as the first two parameters.
Istruzione &legaChiave(Istruzione &st, qint64 indice, const QDate &data)
{
    return st.lega(1, indice).lega(2, dataIso(data));
}

// The register rows the floors added taken away again.
void togliRigheMinime(const QString &archivio)
{
    Connessione db(archivio, Connessione::Scrittura);
    db.esegui(QByteArray("DELETE FROM Corbix WHERE Progressivo = ") + QByteArray::number(NumeroMinimo));
}

// The register row a floor adds, in position.
void aggiungiRigaMinima(Connessione &db, int posizione, const QDate &oggi)
{
    Istruzione riga(db.handle(), "INSERT INTO Corbix (Posizione, Data, Progressivo, NomeFile, Stato, Tipo) "
                                 "VALUES (?, ?, ?, 'minimo', 0, 1)");
    riga.lega(1, posizione).lega(2, dataIso(oggi)).lega(3, NumeroMinimo).cambia(1);
}

// The pages a report drew, as a recording printer took them, drawn again
// with a plain QPainter on a QPrinter writing the same PDF: each font made
// once, the pen set once; the PDF flushed to the disk, as the program keeps
// every file. The count of pages.
qint64 disegnaPagine(const std::vector<platform::RecordingPagePrinter::Call> &chiamate, const QString &pdf)
{
    QPrinter stampante(QPrinter::HighResolution);
    stampante.setPageSize(QPageSize(QPageSize::A4));
    stampante.setOutputFormat(QPrinter::PdfFormat);
    stampante.setOutputFileName(pdf);
    const auto orienta = [&](const QString &verso) {
        stampante.setPageOrientation(verso == QLatin1String("landscape") ? QPageLayout::Landscape
                                                                         : QPageLayout::Portrait);
    };
    std::size_t i = 0;
    // The orientation asked before the first figure is the first page's.
    for (; i < chiamate.size() && chiamate[i].what == QLatin1String("orientation"); ++i)
        orienta(chiamate[i].text);
    QPainter p;
    if (!p.begin(&stampante))
        fallito(QStringLiteral("%1 non aperto per la stampa").arg(pdf));
    const double mm = stampante.resolution() / 25.4;
    p.setPen(QPen(Qt::black, 0.2 * mm));
    std::map<std::tuple<QString, double, bool, bool>, std::pair<QFont, double>> caratteri;
    const std::pair<QFont, double> *corrente = nullptr;
    qint64 pagine = 1;
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
            orienta(c.text);
        } else if (c.what == QLatin1String("page")) {
            if (!stampante.newPage())
                fallito(QStringLiteral("%1: pagina non aggiunta").arg(pdf));
            ++pagine;
        }
    }
    if (!p.end())
        fallito(QStringLiteral("%1 non scritto").arg(pdf));
    platform::syncFile(pdf);
    return pagine;
}

// How long a table takes to show the work done on it, up to its next paint.
double finoAlDisegno(QTableWidget &tabella, const std::function<void()> &lavoro)
{
    return Disegni(&tabella).misura(tabella.viewport(), lavoro).secondi;
}

// A table of the size and columns of a grid, shown and painted, for a
// floor to fill.
std::unique_ptr<QTableWidget> tabellaCome(const QTableWidget &griglia)
{
    auto tabella = std::make_unique<QTableWidget>();
    tabella->setColumnCount(griglia.columnCount());
    tabella->resize(griglia.size());
    finoAlDisegno(*tabella, [&] { tabella->show(); });
    return tabella;
}

// The list's rows read with one statement into a table of the list's
// columns, the state shown as the item's icon.
void riempiTabella(QTableWidget &tabella, const QString &archivio)
{
    Connessione db(archivio, Connessione::Lettura);
    Istruzione st(db.handle(), "SELECT Data, Progressivo, FattoDa, OK, KO, ND, Stato, Tipo FROM Corbix "
                               "WHERE Posizione = ? ORDER BY Data DESC, Progressivo DESC");
    st.lega(1, flowengine::PosizioneInviati);
    std::map<QString, QIcon> icone;
    tabella.setRowCount(0);
    int riga = 0;
    while (st.riga()) {
        tabella.setRowCount(riga + 1);
        for (int c = 0; c < 6; ++c)
            tabella.setItem(riga, c, new QTableWidgetItem(QString::fromUtf8(st.testo(c))));
        const QString chiave = flowengine::IconaStato(qint16(st.intero(6)), qint16(st.intero(7)));
        auto icona = icone.find(chiave);
        if (icona == icone.end())
            icona = icone.emplace(chiave, flowengine::ImmagineElenco(chiave)).first;
        auto *stato = new QTableWidgetItem;
        stato->setIcon(icona->second);
        tabella.setItem(riga, 6, stato);
        ++riga;
    }
}

// ---------------------------------------------------------------- the round

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

// The main window as the program starts in the folder, shown: up to the
// list's first paint.
double apriPrincipale(Giro &g)
{
    const QString iniziale = QDir::currentPath();
    QDir::setCurrent(g.cartella);
    g.principale = std::make_unique<uimain::frmMain>();
    Disegni disegni(g.principale.get());
    const double tempo = disegni
                             .misura(g.principale->grdHistory->viewport(),
                                     [&] {
                                         if (!g.principale->Form_Load())
                                             platform::raise(platform::err::ReservedError,
                                                             {QStringLiteral("avvio non riuscito")});
                                         g.principale->show();
                                     })
                             .secondi;
    QDir::setCurrent(iniziale);
    return tempo;
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
        if (uimain::FlussoRigaGriglia(principale.grdHistory, r, flusso) && flusso.Data == data
            && flusso.Progressivo == progressivo)
            return r + 1;
    }
    platform::raise(platform::err::ReservedError, {QStringLiteral("flusso non elencato")});
}

// The window the list's menu opens on the folder flow answered, shown and
// painted, then its button pressed: measured from the press up to the list's
// next paint once the window has closed. A window whose content does not
// change meanwhile is esposta.
Disegni::Misura inFinestra(Giro &g, const char *parola, const char *pulsante, bool esposta)
{
    uimain::frmMain &principale = *g.principale;
    QAction *voce = comando(principale, rigaDelFlusso(principale, g.oggi, NumeroCartella), parola);
    Disegni::Misura misura;
    QString fallimento = QStringLiteral("finestra non aperta");
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
            fallimento.clear();
        } catch (const platform::RuntimeError &e) {
            fallimento = e.description();
            finestra->reject();
        }
    });
    voce->trigger();
    if (!fallimento.isEmpty())
        platform::raise(platform::err::ReservedError, {fallimento});
    return misura;
}

}  // namespace

Giro::Giro(const QString &origine, const QString &programmaBench) : bench(programmaBench)
{
    cartella = temp.path() + QStringLiteral("/prog");
    QDir().mkpath(cartella);
    copiaCartella(origine, cartella);
    unita.emplace(cartella, cartella);
    unitaGuard.emplace(*unita);
    avvia(cartella);
    archivio = cartella + QStringLiteral("/Archivio.mdb");
    archivioMinimo = cartella + QStringLiteral("/.minimo.mdb");
    oggi = platform::clock().now().date();
    // The windows the list's menu opens on an answered flow.
    uitransmission::RegistraElaborazione(uimain::programWindows());
    uitransmission::RegistraTabulato(uimain::programWindows());
    Connessione db(archivio, Connessione::Lettura);
    Istruzione st(db.handle(), "SELECT Codice, Ufficio FROM Spedoga ORDER BY Codice");
    while (st.riga()) {
        if (dichiaranti.isEmpty())
            ufficio = QString::fromUtf8(st.testo(1));
        dichiaranti << QString::fromUtf8(st.testo(0));
    }
    if (dichiaranti.isEmpty())
        platform::raise(platform::err::ReservedError, {QStringLiteral("nessun dichiarante nell'archivio")});
    tipi = uimain::TipiRichiesti(true, true, true, true);
}

Giro::~Giro()
{
    principale.reset();
    common::resetGlobals();
}

namespace {

// ---------------------------------------------------------------- the search

// Every candidate with the front-sheet boxes its message result and its
// declarant (box 14) are made of.
const char *const SqlCandidati =
    "SELECT i.Data, i.Indice, d.Campo, d.SottoCasella, d.Riga, d.Contenuto FROM IndiceDoc AS i "
    "LEFT JOIN DettaglioBol AS d ON d.Indice = i.Indice AND d.Data = i.Data AND d.Modulo = 'F' "
    "AND d.Campo IN ('01', '07', '14', '49') "
    "WHERE i.ultimadata <= date('now') AND i.Stato1 <> 1 AND i.Stato1 <> 2 ORDER BY i.Data, i.Indice";

// The floor: every candidate read with its boxes, once for each declarant.
qint64 ricercaMinima(const Giro &g)
{
    qint64 righe = 0;
    for (qsizetype d = 0; d < g.dichiaranti.size(); ++d) {
        Connessione db(g.archivio, Connessione::Lettura);
        righe += Istruzione(db.handle(), SqlCandidati).leggiTutto();
    }
    return righe;
}

Misura ricerca(Giro &g)
{
    Misura m;
    m.tempo = secondi([&] {
        for (const QString &d : g.dichiaranti)
            m.righe += uimain::CercaDichiarazioni(d, g.tipi, g.oggi).size();
    });
    m.minimo = secondi([&] { m.righeMinimo = ricercaMinima(g); });
    m.nome = QStringLiteral("ricerca delle dichiarazioni di ogni dichiarante (%1 in tutto)").arg(m.righe);
    return m;
}

// ---------------------------------------------------------------- the composition's step 1 to 2

// The floor: the declarant's candidates read with one statement into a table
// of the selection grid's columns: the date, the number, the reference and
// the kind, as the boxes hold them.
void riempiGriglia(QTableWidget &tabella, const QString &archivio, const QString &dichiarante)
{
    struct Riga {
        QString data, indice, riferimento, tipo;
        bool propria = false;
    };
    std::vector<Riga> righe;
    {
        Connessione db(archivio, Connessione::Lettura);
        Istruzione st(db.handle(), SqlCandidati);
        QString chiave;
        Riga corrente;
        const auto chiudi = [&] {
            if (corrente.propria)
                righe.push_back(corrente);
        };
        const auto testo = [&](int c) { return QString::fromUtf8(st.testo(c)); };
        while (st.riga()) {
            const QString questa = testo(0) + u'-' + testo(1);
            if (questa != chiave) {
                chiudi();
                chiave = questa;
                corrente = {testo(0), testo(1), {}, {}, false};
            }
            const QString campo = testo(2), sotto = testo(3);
            if (campo == QLatin1String("14") && sotto == QLatin1String("0") && testo(4) == QLatin1String("1"))
                corrente.propria = corrente.propria || testo(5) == dichiarante;
            else if (campo == QLatin1String("07"))
                corrente.riferimento = testo(5).right(7);
            else if (campo == QLatin1String("01") && sotto == QLatin1String("1"))
                corrente.tipo = testo(5);
        }
        chiudi();
    }
    tabella.setRowCount(int(righe.size()));
    for (int r = 0; r < int(righe.size()); ++r) {
        tabella.setItem(r, 0, new QTableWidgetItem());
        tabella.setItem(r, 1, new QTableWidgetItem(righe[size_t(r)].data));
        tabella.setItem(r, 2, new QTableWidgetItem(righe[size_t(r)].indice));
        tabella.setItem(r, 3, new QTableWidgetItem(righe[size_t(r)].riferimento));
        tabella.setItem(r, 4, new QTableWidgetItem(righe[size_t(r)].tipo));
    }
}

// The wizard, shown, from step 1 to step 2 as the user clicks "&Avanti >>":
// the search of the first declarant, the grid filled, up to the grid's next
// paint.
Misura composizione(Giro &g)
{
    Misura m;
    uimain::frmComposeNew wizard;
    wizard.show();
    wizard.cmbDichiarante->setCurrentText(g.dichiaranti.value(0));
    for (QCheckBox *c : {wizard.chkImport, wizard.chkExport, wizard.chkInDeposito, wizard.chkExportSempif})
        c->setChecked(true);
    Disegni disegni(&wizard);
    disegni.misura(&wizard, [] {});  // shown and painted at step 1
    const Disegni::Misura passo = disegni.misura(wizard.grdListaDich->viewport(), [&] { wizard.cmdNextEnd->click(); },
                                                 [&] { return wizard.PassoCorrente == 2 && !wizard.GrigliaInCaricamento; });
    if (wizard.PassoCorrente != 2)
        platform::raise(platform::err::ReservedError, {QStringLiteral("passo 2 non raggiunto")});
    m.tempo = passo.secondi;
    m.senzaDisegno = passo.senzaDisegno;
    m.righe = wizard.TotaleDichiarazioni;

    const std::unique_ptr<QTableWidget> tabella = tabellaCome(*wizard.grdListaDich);
    m.minimo = finoAlDisegno(*tabella, [&] { riempiGriglia(*tabella, g.archivio, g.dichiaranti.value(0)); });
    m.righeMinimo = tabella->rowCount();
    if (m.righeMinimo != m.righe)
        fallito(QStringLiteral("griglia minima di %1 righe invece di %2").arg(m.righeMinimo).arg(m.righe));
    m.nome = QStringLiteral("composizione mostrata, passo 1 -> 2 (%1 dichiarazioni del dichiarante): fino al disegno "
                            "della griglia")
                 .arg(m.righe);
    m.nomeSenzaDisegno = QStringLiteral("composizione mostrata, passo 1 -> 2: tempo più lungo senza disegno");
    return m;
}

// ---------------------------------------------------------------- the writer

// The floor: the declarations of the selection read by key in its order, as
// the writer reads them, their index row and every box, every column as
// text, and the flow's bytes written and synced. The rows read.
qint64 scritturaMinima(const Giro &g, const QByteArray &flusso)
{
    qint64 righe = 0;
    {
        Connessione db(g.archivio, Connessione::Lettura);
        Istruzione indice(db.handle(), "SELECT CodiceDoc FROM IndiceDoc WHERE Indice = ? AND Data = ?");
        Istruzione caselle(db.handle(), "SELECT Articolo, Modulo, Campo, SottoCasella, Riga, Contenuto FROM "
                                        "DettaglioBol WHERE Indice = ? AND Data = ?");
        for (const uimain::DichiarazioneTrovata &d : g.tutte) {
            if (legaChiave(indice, d.indice, d.data).leggiTutto() != 1)
                fallito(QStringLiteral("dichiarazione %1 non trovata").arg(d.indice));
            righe += legaChiave(caselle, d.indice, d.data).leggiTutto();
        }
    }
    const QString file = g.cartella + QStringLiteral("/.minimo");
    scriviEScarica(file, flusso);
    QFile::remove(file);
    return righe;
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

// The writer on every declaration of the archive, through the composition's
// road as the build screen runs it, on a medium flow without its medium; the
// filing's time is kept for its own step.
Misura scrittura(Giro &g)
{
    for (const QString &d : g.dichiaranti)
        g.tutte += uimain::CercaDichiarazioni(d, g.tipi, g.oggi);
    std::sort(g.tutte.begin(), g.tutte.end(), [](const auto &x, const auto &y) {
        return std::pair(x.data, x.indice) < std::pair(y.data, y.indice);
    });
    g.selezione = uimain::ElencoSelezionate(QStringLiteral("T"), g.dichiaranti.value(0), g.tutte,
                                            QString(g.tutte.size(), u'1'));
    Misura m;
    uimain::RichiestaCorbex corbex;
    uimain::ProdottoCorbex prodotto;
    corbex.DestinazioneCorbex = flowengine::Destinazione::Supporto;
    corbex.data = g.oggi;
    corbex.dichiarante = g.dichiaranti.value(0);
    corbex.TestoSelezione = g.selezione;
    StradaCronometrata strada(
        [&](const QByteArray &flusso) { m.minimo = secondi([&] { m.righeMinimo = scritturaMinima(g, flusso); }); });
    if (!uimain::ComponiCorbex(corbex, prodotto, strada))
        platform::raise(platform::err::PathFileAccess);
    QFile::remove(platform::hostPath(prodotto.fileErrori));
    m.tempo = strada.scrittura();
    g.archiviazione = strada.archiviazione();
    g.flusso = strada.flusso;
    g.archiviati = documentiDelFlusso(g.oggi, 1);
    m.righe = qint64(g.archiviati.size());
    m.nome = QStringLiteral("scrittura del flusso di %1 dichiarazioni").arg(g.tutte.size());
    return m;
}

// ---------------------------------------------------------------- the filing

// The floor: the copy written and flushed under a name of its own, one point
// update of each declaration's index row, the register row, in one
// transaction, and then the copy named, its folder flushed, as a filed flow
// must stand under its name once the archive knows it. The rows changed.
qint64 archiviazioneMinima(const Giro &g)
{
    const QString copia = g.cartella + QStringLiteral("/.minimo");
    const QString temporaneo = platform::nomeTemporaneo(copia);
    scriviEScarica(temporaneo, g.flusso);
    qint64 righe = 0;
    {
        Connessione db(g.archivio, Connessione::Scrittura);
        db.esegui("BEGIN");
        Istruzione marca(db.handle(), "UPDATE IndiceDoc SET Stato1 = 2 WHERE Indice = ? AND Data = ?");
        for (const flowengine::DocumentoCorbex &d : g.archiviati) {
            legaChiave(marca, d.Indice, d.Data).cambia(1);
            ++righe;
        }
        aggiungiRigaMinima(db, flowengine::PosizioneInviati, g.oggi);
        db.esegui("COMMIT");
    }
    if (!QFile::rename(temporaneo, copia))
        fallito(QStringLiteral("%1 non rinominato").arg(temporaneo));
    platform::syncFolder(QFileInfo(copia).absolutePath());
    QFile::remove(copia);
    togliRigheMinime(g.archivio);
    return righe + 1;
}

Misura archiviazione(Giro &g)
{
    Misura m;
    m.tempo = g.archiviazione;
    m.righe = qint64(g.archiviati.size());
    m.minimo = secondi([&] { m.righeMinimo = archiviazioneMinima(g); });
    m.nome = QStringLiteral("archiviazione del flusso di %1 dichiarazioni").arg(g.archiviati.size());
    return m;
}

// ---------------------------------------------------------------- the list of flows

// The list of flows over a register of RigheElenco rows, in the main window
// as the program starts, shown, up to its first paint; beside it the same
// rows read with one statement into a table of the same size.
Misura elencoRiempito(Giro &g)
{
    {
        Connessione db(g.archivio, Connessione::Scrittura);
        db.esegui("BEGIN");
        Istruzione riga(db.handle(), "INSERT INTO Corbix (Posizione, Data, Progressivo, NomeFile, Stato, Tipo, FattoDa, "
                                     "OK, KO, ND) VALUES (?, date('2020-01-01', '+' || ? || ' day'), ?, '', ?, ?, "
                                     "'DICH0' || ?, ?, ?, 0)");
        for (int i = 1; i < RigheElenco; ++i)
            riga.lega(1, flowengine::PosizioneInviati)
                .lega(2, i / 5)
                .lega(3, i % 5 + 2)
                .lega(4, i % 6)
                .lega(5, i % 2 + 1)
                .lega(6, i % 2 + 1)
                .lega(7, i % 200)
                .lega(8, i % 7)
                .cambia(1);
        db.esegui("COMMIT");
    }
    Misura m;
    m.tempo = apriPrincipale(g);
    m.righe = g.principale->grdHistory->rowCount();
    if (m.righe != RigheElenco)
        platform::raise(platform::err::ReservedError, {QStringLiteral("elenco di %1 righe").arg(m.righe)});
    auto tabella = std::make_unique<QTableWidget>();
    tabella->setColumnCount(g.principale->grdHistory->columnCount());
    tabella->resize(g.principale->grdHistory->size());
    m.minimo = finoAlDisegno(*tabella, [&] {
        riempiTabella(*tabella, g.archivio);
        tabella->show();
    });
    m.righeMinimo = tabella->rowCount();
    m.nome = QStringLiteral("elenco dei flussi mostrato, %1 righe: riempimento fino al primo disegno").arg(m.righe);
    return m;
}

// ---------------------------------------------------------------- the dispatch list

// "&Stampa distinta" on the first flow of the list, the medium flow filed
// above, printed to PDF up to the list's next paint; the window does not
// change meanwhile. Its floor: the same pages drawn plainly on the same
// printer.
Misura distinta(Giro &g)
{
    Misura m;
    {
        platform::QtPagePrinter stampante;
        stampante.setPrinterName(QStringLiteral("PDF"));
        platform::ScopedPagePrinter stampanteGuard(stampante);
        // The printer tells where the PDF went: nobody is there to read it.
        platform::RecordingMessageBoxService avvisi;
        platform::ScopedMessageBoxService avvisiGuard(avvisi);
        QAction *stampa = comando(*g.principale, 1, "STAMPADISTINTA");
        Disegni esposta(g.principale.get(), true);
        const Disegni::Misura stampata =
            esposta.misura(g.principale->grdHistory->viewport(), [&] { stampa->trigger(); });
        if (avvisi.shown.size() != 1)
            platform::raise(platform::err::ReservedError, {QStringLiteral("distinta non stampata")});
        m.tempo = stampata.secondi;
        m.senzaDisegno = stampata.senzaDisegno;
    }
    const flowengine::DatiCorbex filed = flussoInviato(g.oggi, 1);
    platform::RecordingPagePrinter pagine;
    {
        platform::ScopedPagePrinter pagineGuard(pagine);
        flowengine::StampaDistinta(filed);
    }
    m.righe = qint64(g.archiviati.size());
    m.minimo = secondi([&] {
        Connessione db(g.archivio, Connessione::Lettura);
        Istruzione st(db.handle(), "SELECT CompostoDa FROM Corbix WHERE Posizione = ? AND Progressivo = 1");
        if (st.lega(1, flowengine::PosizioneInviati).leggiTutto() != 1)
            fallito(QStringLiteral("flusso della distinta non trovato"));
        m.righeMinimo = disegnaPagine(pagine.calls, g.temp.path() + QStringLiteral("/minimo.pdf"));
    });
    m.nome = QStringLiteral("distinta di %1 dichiarazioni stampata in PDF dal menu dell'elenco").arg(m.righe);
    m.nomeSenzaDisegno = QStringLiteral("distinta dal menu dell'elenco: tempo più lungo senza disegno");
    return m;
}

// "&Elimina" on the first flow, confirmed: up to the list's next paint.
Misura elencoDopoElimina(Giro &g)
{
    Misura m;
    platform::RecordingMessageBoxService conferma;
    conferma.answer(platform::MsgResult::Yes);
    platform::ScopedMessageBoxService confermaGuard(conferma);
    QAction *elimina = comando(*g.principale, 1, "ELIMINACORBEXINVIATO");
    const Disegni::Misura eliminato =
        Disegni(g.principale.get()).misura(g.principale->grdHistory->viewport(), [&] { elimina->trigger(); });
    m.righe = g.principale->grdHistory->rowCount();
    if (m.righe != RigheElenco - 1 || conferma.shown.size() != 1)
        platform::raise(platform::err::ReservedError, {QStringLiteral("flusso non eliminato")});
    m.tempo = eliminato.secondi;
    m.senzaDisegno = eliminato.senzaDisegno;
    const std::unique_ptr<QTableWidget> tabella = tabellaCome(*g.principale->grdHistory);
    finoAlDisegno(*tabella, [&] { riempiTabella(*tabella, g.archivio); });
    m.minimo = finoAlDisegno(*tabella, [&] { riempiTabella(*tabella, g.archivio); });
    m.righeMinimo = tabella->rowCount();
    m.nome = QStringLiteral("elenco dei flussi mostrato, %1 righe: dopo \"&Elimina\" fino al disegno seguente")
                 .arg(m.righe);
    m.nomeSenzaDisegno = QStringLiteral("elenco dei flussi mostrato: dopo \"&Elimina\", tempo più lungo senza disegno");
    return m;
}

// The list scrolled by a page, up to its next paint; the main window closes
// after it.
Misura elencoPagina(Giro &g)
{
    const auto scorri = [](QTableWidget &t) {
        return finoAlDisegno(t, [&] { t.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd); });
    };
    Misura m;
    QTableWidget &griglia = *g.principale->grdHistory;
    m.tempo = scorri(griglia);
    m.righe = griglia.rowAt(0);
    const std::unique_ptr<QTableWidget> tabella = tabellaCome(griglia);
    finoAlDisegno(*tabella, [&] { riempiTabella(*tabella, g.archivio); });
    m.minimo = scorri(*tabella);
    m.righeMinimo = tabella->rowAt(0);
    g.principale.reset();
    m.nome = QStringLiteral("elenco dei flussi mostrato: scorrimento di una pagina");
    return m;
}

// ---------------------------------------------------------------- the answer

// The folder flow of every declaration of the selection, as the wizard
// files it (its envelope record in front), under NumeroCartella, and the
// service's answer to it: the answer file's host path.
QString flussoRisposto(const Giro &g, const QString &selezione)
{
    const QString dichiarante = uimain::DichiaranteDiSelezione(selezione);
    const auto riservata = uimain::RiservaRiga(g.oggi, NumeroCartella, dichiarante);
    if (!riservata)
        platform::raise(platform::err::ReservedError, {QStringLiteral("numero non riservato")});
    uimain::RichiestaCorbex corbex;
    uimain::ProdottoCorbex prodotto;
    corbex.DestinazioneCorbex = flowengine::Destinazione::Cartella;
    corbex.data = g.oggi;
    corbex.dichiarante = dichiarante;
    corbex.TestoSelezione = selezione;
    corbex.riservata = *riservata;
    corbex.cartella = QStringLiteral("C:\\Corbix\\Corbix in uscita");
    corbex.progressivo = NumeroCartella;
    corbex.ufficio = g.ufficio;
    uimain::ComposizioneSenzaUtente nessuno;
    const bool archiviato = uimain::ComponiCorbex(corbex, prodotto, nessuno).has_value();
    QFile::remove(platform::hostPath(prodotto.fileErrori));
    if (!archiviato)
        platform::raise(platform::err::PathFileAccess);

    QString scritto, errori;
    QTextStream out(&scritto), err(&errori);
    const int esito = sampleanswer::run({g.cartella, g.oggi.toString(Qt::ISODate), QString::number(NumeroCartella)},
                                        out, err);
    out.flush();
    err.flush();
    if (esito != 0)
        platform::raise(platform::err::ReservedError, {errori.trimmed()});
    return scritto.trimmed().split(u'\n').last();
}

// The floor: the answer read, its line ends rewritten, the copy written and
// flushed, and one register row. The answer's lines.
qint64 prelievoMinimo(const Giro &g)
{
    QByteArray byte = leggiFile(g.risposta);
    byte.replace("\r\n", "\n");
    const qint64 righe = byte.count('\n');
    byte.replace("\n", "\r\n");
    const QString copia = g.cartella + QStringLiteral("/.minimo");
    scriviEScarica(copia, byte);
    QFile::remove(copia);
    Connessione db(g.archivio, Connessione::Scrittura);
    aggiungiRigaMinima(db, flowengine::PosizioneRisposta, g.oggi);
    return righe;
}

// The service's answer to a folder flow of every declaration, one outcome
// each, fetched. The declarations of the flow deleted from the list are made
// free again first, since a declaration goes into one flow only.
Misura prelievo(Giro &g)
{
    {
        Connessione db(g.archivio, Connessione::Scrittura);
        db.esegui("UPDATE IndiceDoc SET Stato1 = 0 WHERE Stato1 = 2");
    }
    // An answer counts its lines in five digits, about one and a half a
    // declaration: a larger sample answers its first declarations.
    g.risposta = flussoRisposto(
        g, g.tutte.size() <= DichiarazioniRisposta
               ? g.selezione
               : uimain::ElencoSelezionate(QStringLiteral("T"), g.dichiaranti.value(0),
                                           g.tutte.first(DichiarazioniRisposta), QString(DichiarazioniRisposta, u'1')));
    avvia(g.cartella);
    const flowengine::DatiCorbex inviata = flussoInviato(g.oggi, NumeroCartella);
    g.risposti = documentiDelFlusso(g.oggi, NumeroCartella);
    Misura m;
    m.tempo = secondi([&] {
        if (!uitransmission::PrelevaRisposta(g.risposta, inviata))
            platform::raise(platform::err::ReservedError, {QStringLiteral("risposta non prelevata")});
    });
    m.righe = qint64(g.risposti.size());
    m.minimo = secondi([&] { m.righeMinimo = prelievoMinimo(g); });
    togliRigheMinime(g.archivio);
    m.nome = QStringLiteral("prelievo di una risposta di %1 esiti").arg(m.righe);
    return m;
}

// ---------------------------------------------------------------- the processing

// A page-for-page copy of a database file, through SQLite's backup: the
// copy's rows lie on the same pages as the original's.
void copiaArchivio(const QString &da, const QString &a)
{
    Connessione origine(da, Connessione::Lettura);
    sqlite3 *copia = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(a).constData(), &copia, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                             nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_backup *backup = sqlite3_backup_init(copia, "main", origine.handle(), "main");
        rc = backup ? sqlite3_backup_step(backup, -1) : sqlite3_errcode(copia);
        const int fine = sqlite3_backup_finish(backup);
        rc = rc == SQLITE_DONE ? fine : rc;
    }
    const QString errore = copia ? QString::fromUtf8(sqlite3_errmsg(copia)) : QString();
    sqlite3_close(copia);
    if (rc != SQLITE_OK)
        fallito(QStringLiteral("copia dell'archivio non riuscita (%1): %2").arg(rc).arg(errore));
}

// A box B row as the processing leaves it, the values the floor writes.
struct RigaB {
    QByteArray contenuto;  // null for a Null
    qint64 maxLung = 0, corretto = 0, gestito = 0, controllato = 0;
};

// The key of a box the processing marked in error: its article, module,
// box, sub-box and row.
using CasellaMarcata = std::array<QByteArray, 5>;

// What the processing wrote, read back by key: the box B rows of the
// accepted declarations (every other one, as the service's stand-in refuses
// every second) and the boxes marked in error in the refused ones.
struct Scritto {
    QHash<qint64, RigaB> righe;
    std::vector<std::vector<CasellaMarcata>> marcate;
};

Scritto scrittoDallElaborazione(const Giro &g)
{
    Scritto s;
    s.marcate.resize(g.risposti.size());
    Connessione db(g.archivio, Connessione::Lettura);
    Istruzione b(db.handle(), "SELECT _rowid_, Contenuto, MaxLung, Corretto, Gestito, Controllato FROM DettaglioBol "
                              "WHERE Indice = ? AND Data = ? AND Modulo = 'F' AND Campo = '0B'");
    Istruzione marcate(db.handle(), "SELECT Articolo, Modulo, Campo, SottoCasella, Riga FROM DettaglioBol WHERE "
                                    "Indice = ? AND Data = ? AND Corretto = 0");
    for (std::size_t n = 0; n < g.risposti.size(); ++n) {
        const flowengine::DocumentoCorbex &d = g.risposti[n];
        if (n % 2 == 0) {
            legaChiave(b, d.Indice, d.Data);
            while (b.riga()) {
                RigaB &r = s.righe[b.intero(0)];
                if (!b.nullo(1))
                    r.contenuto = b.testo(1);
                r.maxLung = b.intero(2);
                r.corretto = b.intero(3);
                r.gestito = b.intero(4);
                r.controllato = b.intero(5);
            }
            b.azzera();
        } else {
            legaChiave(marcate, d.Indice, d.Data);
            while (marcate.riga())
                s.marcate[n].push_back({marcate.testo(0), marcate.testo(1), marcate.testo(2), marcate.testo(3),
                                        marcate.testo(4)});
            marcate.azzera();
        }
    }
    if (s.righe.isEmpty())
        fallito(QStringLiteral("nessuna casella B scritta dall'elaborazione"));
    return s;
}

// The floor, on a copy of the archive as it was before the processing: the
// answer read, then in one transaction each accepted declaration's box B
// rows read and written by key with what the processing wrote there, and for
// a refused one the box in error marked by its key and the index row reset.
// The rows written.
qint64 elaborazioneMinima(const Giro &g, const Scritto &scritto)
{
    leggiFile(g.risposta);
    qint64 cambiate = 0;
    Connessione db(g.archivioMinimo, Connessione::Scrittura);
    // The page cache the program's connections have: with SQLite's default
    // one, dirty pages would be spilled to the file midway.
    db.esegui("PRAGMA cache_size = -16384");
    db.esegui("BEGIN");
    {
        Istruzione righe(db.handle(), "SELECT _rowid_ FROM DettaglioBol WHERE Indice = ? AND Data = ? AND Modulo = 'F' "
                                      "AND Campo = '0B' ORDER BY Riga");
        Istruzione scrivi(db.handle(), "UPDATE DettaglioBol SET Contenuto = ?, MaxLung = ?, Corretto = ?, Gestito = ?, "
                                       "Controllato = ? WHERE _rowid_ = ?");
        Istruzione libera(db.handle(), "UPDATE IndiceDoc SET Stato1 = 0 WHERE Indice = ? AND Data = ? AND Stato1 = 2");
        Istruzione marca(db.handle(), "UPDATE DettaglioBol SET Corretto = 0 WHERE Indice = ? AND Data = ? AND "
                                      "Articolo = ? AND Modulo = ? AND Campo = ? AND SottoCasella = ? AND Riga = ?");
        for (std::size_t n = 0; n < g.risposti.size(); ++n) {
            const flowengine::DocumentoCorbex &d = g.risposti[n];
            for (const CasellaMarcata &c : scritto.marcate[n]) {
                legaChiave(marca, d.Indice, d.Data).lega(3, c[0].toLongLong());
                for (int k = 1; k < 5; ++k)
                    marca.lega(k + 3, c[std::size_t(k)]);
                marca.cambia(1);
                ++cambiate;
            }
            if (n % 2 == 1) {
                legaChiave(libera, d.Indice, d.Data).cambia(1);
                ++cambiate;
                continue;
            }
            legaChiave(righe, d.Indice, d.Data);
            while (righe.riga()) {
                const qint64 chiave = righe.intero(0);
                const RigaB r = scritto.righe.value(chiave);
                scrivi.lega(1, r.contenuto)
                    .lega(2, r.maxLung)
                    .lega(3, r.corretto)
                    .lega(4, r.gestito)
                    .lega(5, r.controllato)
                    .lega(6, chiave)
                    .cambia(1);
                ++cambiate;
            }
            righe.azzera();
        }
    }
    db.esegui("COMMIT");
    return cambiate;
}

// The processing through its window, opened from the list's menu on the
// answered flow: from "&Avvia" up to the list's next paint once the window
// has closed. The processing refills the list then: so does its floor, the
// list's rows read again into a shown table of the list's size, up to its
// paint.
Misura elaborazione(Giro &g)
{
    copiaArchivio(g.archivio, g.archivioMinimo);
    apriPrincipale(g);
    Misura m;
    {
        // The processing's only message says it is done.
        platform::RecordingMessageBoxService risposte;
        platform::ScopedMessageBoxService risposteGuard(risposte);
        const Disegni::Misura elaborata = inFinestra(g, "ELABORARISPOSTA", "cmdStart", false);
        if (risposte.shown.size() != 1
            || flussoInviato(g.oggi, NumeroCartella).Stato != flowengine::StatoRispostaElaborata)
            platform::raise(platform::err::ReservedError, {QStringLiteral("risposta non elaborata")});
        m.tempo = elaborata.secondi;
        m.senzaDisegno = elaborata.senzaDisegno;
    }
    m.righe = qint64(g.risposti.size());
    const Scritto scritto = scrittoDallElaborazione(g);
    const std::unique_ptr<QTableWidget> tabella = tabellaCome(*g.principale->grdHistory);
    finoAlDisegno(*tabella, [&] { riempiTabella(*tabella, g.archivio); });
    m.minimo = secondi([&] { m.righeMinimo = elaborazioneMinima(g, scritto); })
               + finoAlDisegno(*tabella, [&] { riempiTabella(*tabella, g.archivio); });
    QFile::remove(g.archivioMinimo);
    m.nome = QStringLiteral("elaborazione di una risposta di %1 esiti dalla sua finestra").arg(m.righe);
    m.nomeSenzaDisegno = QStringLiteral("elaborazione dalla sua finestra: tempo più lungo senza disegno");
    return m;
}

// ---------------------------------------------------------------- the report

// The report through its window, both listings to PDF, from "&Stampa" up to
// the list's next paint once the window has closed; the window does not
// change meanwhile. Its floor: the answer and the flow read, and the same
// pages of both listings drawn with a plain QPainter. The main window closes
// after it.
Misura tabulato(Giro &g)
{
    Misura m;
    {
        // The report says where each PDF went.
        platform::RecordingMessageBoxService avvisi;
        platform::ScopedMessageBoxService avvisiGuard(avvisi);
        platform::QtPagePrinter stampante;
        stampante.setPrinterName(QStringLiteral("PDF"));
        platform::ScopedPagePrinter stampanteGuard(stampante);
        const Disegni::Misura stampato = inFinestra(g, "STAMPARISPOSTAFINALE", "cmdPrint", true);
        if (avvisi.shown.size() != 2)
            platform::raise(platform::err::ReservedError, {QStringLiteral("tabulato non stampato")});
        m.tempo = stampato.secondi;
        m.senzaDisegno = stampato.senzaDisegno;
    }
    g.principale.reset();
    m.righe = qint64(g.risposti.size());
    const flowengine::DatiCorbex inviato = flussoInviato(g.oggi, NumeroCartella);
    flowengine::DatiCorbex risposta = inviato;
    risposta.Posizione = flowengine::PosizioneRisposta;
    flowengine::CaricaCorbex(risposta);
    const uitransmission::DatiTabulato dati{g.oggi, NumeroCartella, inviato.NomeFile, inviato.CompostoDa,
                                            risposta.NomeFile};
    platform::RecordingPagePrinter positivi, negativi;
    {
        platform::ScopedPagePrinter positiviGuard(positivi);
        uitransmission::StampaEsitiPositivi(dati);
    }
    {
        platform::ScopedPagePrinter negativiGuard(negativi);
        uitransmission::StampaEsitiNegativi(dati);
    }
    m.minimo = secondi([&] {
        leggiFile(flowengine::FileRegistrato(dati.FileRisposta));
        leggiFile(flowengine::FileRegistrato(dati.FileCorbex));
        m.righeMinimo = disegnaPagine(positivi.calls, g.temp.path() + QStringLiteral("/minimo-positivi.pdf"))
                        + disegnaPagine(negativi.calls, g.temp.path() + QStringLiteral("/minimo-negativi.pdf"));
    });
    m.nome = QStringLiteral("tabulato esplicativo di %1 esiti, entrambi gli elenchi in PDF, dalla sua finestra")
                 .arg(m.righe);
    m.nomeSenzaDisegno = QStringLiteral("tabulato dalla sua finestra: tempo più lungo senza disegno");
    return m;
}

// ---------------------------------------------------------------- the fetch's memory

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
        fallito(QStringLiteral("%1 non scritto").arg(f.fileName()));
    for (qsizetype i = 0; i < 3 && i < righe.size(); ++i)
        f.write(righe[i].chopped(righe[i].endsWith('\r') ? 1 : 0) + '\n');
    while (f.size() + corpo.size() <= ByteRispostaGrande)
        f.write(corpo);
    if (!f.flush())
        fallito(QStringLiteral("%1 non scritto").arg(f.fileName()));
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

// The bench itself started again with the hidden argument: a fork of the
// bench would start from the memory it has freed.
qint64 crescitaMemoria(const Giro &g, const QString &risposta)
{
    QProcess figlio;
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    figlio.setProcessEnvironment(ambiente);
    figlio.start(g.bench, {ArgomentoMemoria, g.cartella, risposta, g.oggi.toString(Qt::ISODate)});
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

// The fetch of the same answer grown near the fetch's limit, stored again in
// place of the first: the memory it holds beside the file's size, in a
// process of its own.
Misura memoria(Giro &g)
{
    const QString grande = rispostaGrande(g.risposta);
    Misura m;
    m.righeMinimo = QFileInfo(grande).size();
    m.minimo = double(m.righeMinimo) / 1e6;
    common::resetGlobals();
    m.righe = crescitaMemoria(g, grande);
    m.tempo = double(m.righe) / 1e6;
    m.nome = QStringLiteral("memoria del prelievo di una risposta di %1 MB, in un processo nuovo")
                 .arg(QString::number(m.minimo, 'f', 0));
    return m;
}

}  // namespace

const std::vector<Passo> &Passi()
{
    static const std::vector<Passo> passi{
        {ricerca},      {composizione}, {scrittura},    {archiviazione}, {elencoRiempito}, {distinta},
        {elencoDopoElimina}, {elencoPagina}, {prelievo}, {elaborazione},  {tabulato},       {memoria, "MB"},
    };
    return passi;
}

const QString ArgomentoMemoria = QStringLiteral("--memoria-prelievo");

// The answer's register row is taken away first, so the fetch stores it
// again; prints how much the resident memory grows at most during the fetch,
// in bytes.
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
        {
            Connessione db(cartella + QStringLiteral("/Archivio.mdb"), Connessione::Scrittura);
            Istruzione togli(db.handle(), "DELETE FROM Corbix WHERE Posizione = ? AND Progressivo = ?");
            togli.lega(1, flowengine::PosizioneRisposta).lega(2, NumeroCartella).cambia(1);
        }
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
    } catch (const MinimoFallito &e) {
        common::resetGlobals();
        err << e.what() << '\n';
        return 1;
    }
    common::resetGlobals();
    return 0;
}

}  // namespace bench
