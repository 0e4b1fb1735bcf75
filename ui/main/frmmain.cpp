#include "ui/main/frmmain.h"

#include "common/globals.h"
#include "common/runtimeerror.h"
#include "common/servizioedi.h"
#include "common/paths.h"
#include "flowengine/dispatchlist.h"
#include "flowengine/register.h"
#include "flowengine/reportprinting.h"
#include "platform/busywait.h"
#include "platform/dao/database.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/messagebox.h"
#include "platform/pageprinter.h"
#include "ui/main/flowgrid.h"
#include "ui/main/mediumcopy.h"
#include "ui/main/screen.h"
#include "ui/main/startup.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPrintDialog>
#include <QPrinter>
#include <QScopedValueRollback>
#include <QStatusBar>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QToolBar>

namespace uimain {

using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

namespace {

QString didascalia(const QString &parola)
{
    if (parola == QLatin1String("INVIAAMIRSOLAN"))
        return QStringLiteral("&Invia a ") + common::NomeMacchinaServizio() + QStringLiteral("...");
    static const QMap<QString, QString> captions = {
        {QStringLiteral("ANNULLACORBEXINVIATO"), QStringLiteral("&Annulla")},
        {QStringLiteral("ELIMINACORBEXINVIATO"), QStringLiteral("&Elimina")},
        {QStringLiteral("RIPRODUCICORBEXFLOPPY"), QStringLiteral("&Riproduci")},
        {QStringLiteral("RIPRODUCICORBEXEDI"), QStringLiteral("&Riproduci")},
        {QStringLiteral("DETTAGLICORBEX"), QStringLiteral("&Dettagli")},
        {QStringLiteral("STAMPADISTINTA"), QStringLiteral("&Stampa distinta")},
        {QStringLiteral("PRELEVARISPOSTA"), QStringLiteral("&Preleva risposta...")},
        {QStringLiteral("ELABORARISPOSTA"), QStringLiteral("E&labora risposta")},
        {QStringLiteral("STAMPARISPOSTAFINALE"), QStringLiteral("&Tabulato esplicativo")},
        {QStringLiteral("ARCHIVIASTORICO"), QStringLiteral("S&posta nello storico")},
        {QStringLiteral("STAMPADOC"), QStringLiteral("&Stampa dichiarazioni convalidate")},
    };
    return captions.value(parola);
}

// The window a context command opens, if it opens one.
std::optional<Finestra> finestraDi(const QString &parola)
{
    if (parola == QLatin1String("INVIAAMIRSOLAN"))
        return Finestra::frmSendMirsolan;
    if (parola == QLatin1String("PRELEVARISPOSTA"))
        return Finestra::frmReiceveMirsolan;
    if (parola == QLatin1String("ELABORARISPOSTA"))
        return Finestra::frmAswerProcess;
    if (parola == QLatin1String("STAMPARISPOSTAFINALE"))
        return Finestra::frmAswerReport;
    return std::nullopt;
}

// The list's grid, telling the current-cell changes the user makes with the
// keyboard or the mouse from those it makes by itself: the first cell it
// picks when it takes the focus without one, and the moves of a refill.
class GrigliaElenco : public QTableWidget {
public:
    using QTableWidget::QTableWidget;

    bool sceltaUtente() const { return sceltaUtente_; }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        const QScopedValueRollback<bool> scelta(sceltaUtente_, true);
        QTableWidget::keyPressEvent(event);
    }
    void mousePressEvent(QMouseEvent *event) override
    {
        const QScopedValueRollback<bool> scelta(sceltaUtente_, true);
        QTableWidget::mousePressEvent(event);
    }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        const QScopedValueRollback<bool> scelta(sceltaUtente_, true);
        QTableWidget::mouseMoveEvent(event);
    }
    void focusInEvent(QFocusEvent *event) override
    {
        // Taking the focus chooses no row: the first key the user presses
        // enters the first row.
        const bool senzaCorrente = !currentIndex().isValid();
        QTableWidget::focusInEvent(event);
        if (senzaCorrente)
            selectionModel()->clearCurrentIndex();
    }

private:
    bool sceltaUtente_ = false;
};

// The windows after which the register may have changed.
bool cambiaRegistro(Finestra finestra)
{
    return finestra == Finestra::frmArchiveLink || finestra == Finestra::frmComposeNew
           || finestra == Finestra::frmReiceveMirsolan || finestra == Finestra::frmAswerProcess;
}

}  // namespace

frmMain::frmMain(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    // Every window of the program, and the information box, show this icon.
    QApplication::setWindowIcon(IconaApplicazione());
    resize(520, 420);

    Toolbar1 = new QToolBar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    addToolBar(Toolbar1);
    tlbList = new QToolBar(this);
    tlbList->setObjectName(QStringLiteral("tlbList"));
    addToolBar(tlbList);
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    setStatusBar(StatusBar1);

    auto *griglia = new GrigliaElenco(0, flowengine::ColonneElenco, this);
    grdHistory = griglia;
    grdHistory->setObjectName(QStringLiteral("grdHistory"));
    grdHistory->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The highlight is the row's own colours, set by EvidenziaRiga.
    grdHistory->setSelectionMode(QAbstractItemView::NoSelection);
    grdHistory->verticalHeader()->hide();
    grdHistory->viewport()->installEventFilter(this);
    // Shift+F10 and the Menu key reach the grid itself.
    grdHistory->installEventFilter(this);
    setCentralWidget(grdHistory);
    connect(grdHistory, &QTableWidget::currentCellChanged, this, [this, griglia](int riga, int, int precedente, int) {
        if (!griglia->sceltaUtente())
            return;
        grdHistory_LeaveCell(precedente + 1);
        grdHistory_EnterCell(riga + 1);
    });

    creaMenu();
}

frmMain::~frmMain() = default;

QAction *frmMain::voce(QMenu *menu, const char *nome, const QString &testo)
{
    QAction *action = menu->addAction(testo);
    action->setObjectName(QString::fromLatin1(nome));
    return action;
}

void frmMain::collega(QAction *action, void (frmMain::*handler)())
{
    connect(action, &QAction::triggered, this, handler);
}

void frmMain::abilita(QAction *action, Finestra finestra)
{
    action->setEnabled(windowFactory().disponibile(finestra));
}

void frmMain::creaMenu()
{
    auto menu = [this](const char *nome, const QString &testo) {
        QMenu *m = menuBar()->addMenu(testo);
        m->setObjectName(QString::fromLatin1(nome));
        return m;
    };

    MenuFile = menu("MenuFile", QStringLiteral("&File"));
    LinkTo = voce(MenuFile, "LinkTo", QStringLiteral("&Collegamento ad archivi esistenti..."));
    SetPrinter = voce(MenuFile, "SetPrinter", QStringLiteral("&Imposta stampante..."));
    Exit = voce(MenuFile, "Exit", QStringLiteral("&Fine lavoro"));

    Corbex = menu("Corbex", QStringLiteral("C&orbex"));
    Compose = voce(Corbex, "Compose", QStringLiteral("&Componi..."));
    ImportaCorbex = voce(Corbex, "ImportaCorbex", QStringLiteral("&Importa"));
    StampaDistinta = voce(Corbex, "StampaDistinta", QStringLiteral("&Stampa distinta"));

    MenuModify = menu("MenuModify", QStringLiteral("&Modifica"));
    Undo = voce(MenuModify, "Undo", QStringLiteral("&Annulla"));
    Remove = voce(MenuModify, "Remove", QStringLiteral("&Elimina"));
    MoveIn = MenuModify->addMenu(QStringLiteral("&Sposta nell'elenco"));
    MoveIn->setObjectName(QStringLiteral("MoveIn"));
    MoveInCompleted = voce(MoveIn, "MoveInCompleted", QStringLiteral("Corbix &Completati"));
    MoveInSent = voce(MoveIn, "MoveInSent", QStringLiteral("Corbix &Inviati"));
    MoveInExit = voce(MoveIn, "MoveInExit", QStringLiteral("Corbix in &Uscita"));

    ShowList = menu("ShowList", QStringLiteral("&Visualizza"));
    RefreshList = voce(ShowList, "RefreshList", QStringLiteral("&Aggiorna"));
    ShowList->addSeparator();
    Memorized = voce(ShowList, "Memorized", QStringLiteral("&Bozze"));
    Sended = voce(ShowList, "Sended", QStringLiteral("Corbix &inviati"));
    InExit = voce(ShowList, "InExit", QStringLiteral("Corbix in &uscita"));
    History = voce(ShowList, "History", QStringLiteral("&Storico"));

    Tools = menu("Tools", QStringLiteral("&Strumenti"));
    DownLoad = voce(Tools, "DownLoad", QStringLiteral("&Preleva risposte..."));
    EDIAccounts = voce(Tools, "EDIAccounts", QStringLiteral("&Utenze servizio E.D.I."));
    mnuCompartDog = voce(Tools, "mnuCompartDog", QStringLiteral("Gestione &Compartimenti doganali"));
    Tools->addSeparator();
    Options = voce(Tools, "Options", QStringLiteral("&Opzioni..."));
    Tools->addSeparator();
    mnuComandoSql = voce(Tools, "mnuComandoSql", QStringLiteral("Comando &SQL"));

    Help = menu("Help", QStringLiteral("&?"));
    DocOnLine = voce(Help, "DocOnLine", QStringLiteral("&Documentazione in linea"));
    InfoOn = voce(Help, "InfoOn", QStringLiteral("&Informazioni su Corbix Doganali"));

    // Shown only as the list's popup, never in the menu bar.
    Context = new QMenu(QStringLiteral("Contesto"), this);
    Context->setObjectName(QStringLiteral("Context"));
    for (int i = 0; i < 6; ++i) {
        Opzioni[i] = Context->addAction(QStringLiteral("Opzione"));
        Opzioni[i]->setObjectName(QStringLiteral("Opzioni"));
        Opzioni[i]->setProperty("Index", i);
        connect(Opzioni[i], &QAction::triggered, this, [this, i] { Opzioni_Click(i); });
    }

    collega(LinkTo, &frmMain::LinkTo_Click);
    collega(SetPrinter, &frmMain::SetPrinter_Click);
    collega(Exit, &frmMain::Exit_Click);
    collega(Compose, &frmMain::Compose_Click);
    collega(RefreshList, &frmMain::RefreshList_Click);
    collega(DownLoad, &frmMain::DownLoad_Click);
    collega(EDIAccounts, &frmMain::EDIAccounts_Click);
    collega(mnuCompartDog, &frmMain::mnuCompartDog_Click);
    collega(Options, &frmMain::Options_Click);
    collega(mnuComandoSql, &frmMain::mnuComandoSql_Click);
    collega(InfoOn, &frmMain::InfoOn_Click);

    abilita(LinkTo, Finestra::frmArchiveLink);
    abilita(Compose, Finestra::frmComposeNew);
    abilita(DownLoad, Finestra::frmReiceveMirsolan);
    abilita(EDIAccounts, Finestra::frmUtenzeEDI);
    abilita(mnuCompartDog, Finestra::frmCompartDog);
    abilita(Options, Finestra::frmOpzioniCorbix);
    abilita(mnuComandoSql, Finestra::FrmComandoSql);
    abilita(InfoOn, Finestra::FrmInformazioni);
}

// ---------------------------------------------------------------- start-up

bool frmMain::Form_Load()
{
    try {
        return avvio();
    } catch (const platform::RuntimeError &e) {
        // An error that no step has reported itself ends start-up all the same.
        mostraErrore(e);
        return false;
    }
}

bool frmMain::avvio()
{
    const EsitoAvvio esito = Avvia([this] { apri(Finestra::frmFirstExecution); });
    if (!esito.messaggio.isEmpty())
        platform::msgBox(esito.messaggio, common::TitoloCorbix, MsgIcon::Critical);
    if (!esito.riuscito)
        return false;

    RigaContesto = 0;
    if (!riempiElenco())
        return false;

    common::DescrizioneApplicazione =
        QStringLiteral("Composizione e Invio Corbix Doganali, Ricezione e decodifica risposte E.D.I.");
    common::CartellaApplicazione = common::CartellaProgramma;
    setWindowTitle(QStringLiteral("CORBIX DOGANALI"));
    return true;
}

// ---------------------------------------------------------------- the list

bool frmMain::riempiElenco()
{
    // The moves of the grid's current cell while it is filled are no user's.
    const QSignalBlocker quieta(grdHistory);
    const bool caricata = CaricaGriglia(grdHistory, flowengine::PosizioneInviati);
    if (caricata)
        ImpostaGriglia(grdHistory, flowengine::PosizioneInviati);
    return caricata;
}

void frmMain::AggiornaElenco()
{
    const auto corrente = chiaveRiga(RigaCorrente);
    const auto contesto = chiaveRiga(RigaContesto);
    const auto selezionata = chiaveRiga(common::RigaSelezionata);
    const bool evidenziata = rigaEvidenziata(common::RigaSelezionata);
    riempiElenco();
    RigaCorrente = rigaDi(corrente);
    RigaContesto = rigaDi(contesto);
    common::RigaSelezionata = rigaDi(selezionata);
    // The refill took the colours away: the flow the user chose is
    // highlighted again on its new row, and no other row is.
    if (evidenziata && common::RigaSelezionata >= 1) {
        EvidenziaRiga(common::RigaSelezionata, flowengine::PosizioneInviati, true);
    } else {
        grdHistory->selectionModel()->clearCurrentIndex();
    }
}

bool frmMain::rigaEvidenziata(qint32 riga) const
{
    const QTableWidgetItem *cella = riga >= 1 ? grdHistory->item(riga - 1, 0) : nullptr;
    return cella && cella->background() == grdHistory->palette().highlight();
}

std::optional<std::pair<QDate, qint32>> frmMain::chiaveRiga(qint32 riga) const
{
    flowengine::DatiCorbex flow;
    if (riga < 1 || !FlussoRigaGriglia(grdHistory, riga - 1, flow))
        return std::nullopt;
    return std::make_pair(flow.Data, flow.Progressivo);
}

qint32 frmMain::rigaDi(const std::optional<std::pair<QDate, qint32>> &chiave) const
{
    if (chiave)
        for (qint32 riga = 1; riga <= grdHistory->rowCount(); ++riga)
            if (chiaveRiga(riga) == chiave)
                return riga;
    return 0;
}

void frmMain::EvidenziaRiga(qint32 riga, int elenco, bool evidenzia)
{
    // Nor are those of the highlight's own moves.
    const QSignalBlocker quieta(grdHistory);
    const QPalette &p = grdHistory->palette();
    const QBrush fondo = evidenzia ? p.highlight() : p.base();
    const QBrush testo = evidenzia ? p.highlightedText() : p.text();
    const int r = riga - 1;
    if (elenco == 3 && r >= 0 && r < grdHistory->rowCount()) {
        for (int colonna = 0; colonna < grdHistory->columnCount(); ++colonna) {
            grdHistory->setCurrentCell(r, colonna);
            QTableWidgetItem *cella = grdHistory->item(r, colonna);
            if (!cella) {
                cella = new QTableWidgetItem;
                grdHistory->setItem(r, colonna, cella);
            }
            cella->setBackground(fondo);
            cella->setForeground(testo);
        }
    }
    common::RigaSelezionata = riga;
}

qint32 frmMain::RigaSottoMouse(int y) const
{
    const int inViewport = y - grdHistory->viewport()->y();
    if (inViewport < 0)
        return 0;
    // The grid's own hit test: rows keep their own heights.
    return grdHistory->rowAt(inViewport) + 1;
}

void frmMain::grdHistory_EnterCell(qint32 riga)
{
    if (riga < 1)
        return;
    RigaCorrente = riga;
    EvidenziaRiga(riga, flowengine::PosizioneInviati, true);
}

void frmMain::grdHistory_LeaveCell(qint32 riga)
{
    if (riga < 1)
        return;
    EvidenziaRiga(riga, flowengine::PosizioneInviati, false);
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == grdHistory && event->type() == QEvent::KeyPress) {
        const auto *tasto = static_cast<QKeyEvent *>(event);
        if (tasto->key() == Qt::Key_Menu || (tasto->key() == Qt::Key_F10 && tasto->modifiers() == Qt::ShiftModifier)) {
            menuDaTastiera(tasto->modifiers());
            return true;
        }
    }
    // The keys above open the menu; the window system's own request for
    // them would open it a second time.
    if (watched == grdHistory && event->type() == QEvent::ContextMenu
        && static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard)
        return true;
    if (watched == grdHistory->viewport()) {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
            // The right button chooses the row for the context menu only; it
            // does not move the current cell.
            if (static_cast<QMouseEvent *>(event)->button() == Qt::RightButton)
                return true;
        } else if (event->type() == QEvent::MouseButtonRelease) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            const QPoint posizione = grdHistory->viewport()->mapTo(grdHistory, mouse->position().toPoint());
            grdHistory_MouseUp(mouse->button(), mouse->modifiers(), posizione);
            if (mouse->button() == Qt::RightButton)
                return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// From the keyboard the menu is the right button's, for the current row and
// at that row.
void frmMain::menuDaTastiera(Qt::KeyboardModifiers modificatori)
{
    const QModelIndex corrente = grdHistory->currentIndex();
    if (!corrente.isValid())
        return;
    grdHistory->scrollTo(corrente);
    const QRect cella = grdHistory->visualRect(corrente);
    grdHistory_MouseUp(Qt::RightButton, modificatori,
                       grdHistory->viewport()->mapTo(grdHistory, QPoint(cella.left() + cella.width() / 2,
                                                                       cella.center().y())));
}

void frmMain::grdHistory_MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers, QPoint posizione)
{
    if (button != Qt::RightButton)
        return;
    const qint32 riga = RigaSottoMouse(posizione.y());
    if (riga > 0) {
        if (RigaCorrente > 0)
            EvidenziaRiga(RigaCorrente, flowengine::PosizioneInviati, false);
        if (RigaContesto != 0 && RigaContesto != riga)
            EvidenziaRiga(RigaContesto, flowengine::PosizioneInviati, false);
        RigaContesto = riga;
        EvidenziaRiga(riga, flowengine::PosizioneInviati, true);
    }
    bool mostra = false;
    ImpostaMenuContesto(riga, flowengine::PosizioneInviati, mostra);
    if (mostra)
        Context->popup(grdHistory->mapToGlobal(posizione));
}

// ---------------------------------------------------------------- context menu

void frmMain::ImpostaMenuContesto(qint32 riga, int elenco, bool &mostra)
{
    Comandi = QStringList{QString()};
    int n = 0;
    mostra = false;
    auto aggiungi = [this, &n](const char *parola) { AggiungiVoceMenu(n++, QString::fromLatin1(parola)); };
    if (elenco == 3) {
        flowengine::DatiCorbex flow;
        if (riga < 1) {
            // The menu keeps one item.
            Opzioni[0]->setVisible(true);
            n = 1;
        } else if (chiaveRiga(riga)) {
            try {
                // The commands offered follow the register as it is now.
                FlussoRigaGriglia(grdHistory, riga - 1, flow);
                if (!flowengine::CaricaCorbex(flow)) {
                    if (flow.Tipo == flowengine::TipoSupportoMagnetico) {
                        for (const char *parola : {"ANNULLACORBEXINVIATO", "ELIMINACORBEXINVIATO", "RIPRODUCICORBEXFLOPPY",
                                                   "DETTAGLICORBEX", "STAMPADISTINTA", "INVIAAMIRSOLAN"})
                            aggiungi(parola);
                        mostra = true;
                    } else if (flow.Tipo == flowengine::TipoTelematico) {
                        const int stato = flow.Stato;
                        if (stato != flowengine::StatoRispostaPervenuta && stato != flowengine::StatoRispostaElaborata) {
                            aggiungi("ANNULLACORBEXINVIATO");
                            aggiungi("ELIMINACORBEXINVIATO");
                            aggiungi("RIPRODUCICORBEXEDI");
                        } else {
                            aggiungi("ARCHIVIASTORICO");
                            if (flow.OK > 0)
                                aggiungi("STAMPADOC");
                        }
                        aggiungi("DETTAGLICORBEX");
                        aggiungi("STAMPADISTINTA");
                        if (stato != flowengine::StatoRispostaPervenuta && stato != flowengine::StatoControlloNegativo
                            && stato != flowengine::StatoRispostaElaborata)
                            aggiungi("PRELEVARISPOSTA");
                        if (stato == flowengine::StatoRispostaPervenuta || stato == flowengine::StatoControlloNegativo)
                            aggiungi("ELABORARISPOSTA");
                        if (stato == flowengine::StatoRispostaElaborata)
                            aggiungi("STAMPARISPOSTAFINALE");
                        mostra = true;
                    }
                }
            } catch (const platform::RuntimeError &e) {
                mostraErrore(e);
                mostra = false;
            }
        }
    }
    for (int i = n; i < 6; ++i)
        Opzioni[i]->setVisible(false);
}

void frmMain::AggiungiVoceMenu(int indice, const QString &parola)
{
    while (Comandi.size() <= indice)
        Comandi.append(QString());
    Comandi[indice] = parola;
    QAction *item = Opzioni[indice];
    item->setText(didascalia(parola));
    item->setVisible(true);
    const std::optional<Finestra> finestra = finestraDi(parola);
    item->setEnabled(!finestra || windowFactory().disponibile(*finestra));
}

void frmMain::Opzioni_Click(int Index)
{
    // The register and the declarations are changed, if at all, in one
    // transaction: an error leaves them as they were.
    try {
        eseguiComando(Comandi.value(Index));
    } catch (const platform::RuntimeError &e) {
        mostraErrore(e);
    }
}

void frmMain::eseguiComando(const QString &parola)
{
    if (const std::optional<Finestra> finestra = finestraDi(parola)) {
        common::RigaSelezionata = RigaContesto;
        apriSuFlusso(*finestra);
    } else if (parola == QLatin1String("ANNULLACORBEXINVIATO")) {
        eliminaContesto(QStringLiteral("Annullare ed eliminare il corbex selezionato?"), true);
    } else if (parola == QLatin1String("ELIMINACORBEXINVIATO")) {
        eliminaContesto(QStringLiteral("Eliminare definitivamente dalla lista il corbex selezionato?"), false);
    } else if (parola == QLatin1String("RIPRODUCICORBEXFLOPPY")) {
        riproduciSupporto();
    } else if (parola == QLatin1String("STAMPADISTINTA")) {
        stampaDistinta();
    } else {
        platform::msgBox(QStringLiteral("L'opzione selezionata non e' attiva in questa versione."), common::TitoloCorbix,
                         MsgIcon::Information);
    }
}

bool frmMain::caricaContesto(flowengine::DatiCorbex &flow)
{
    if (RigaContesto >= 1 && FlussoRigaGriglia(grdHistory, RigaContesto - 1, flow)
        && flowengine::CorbexComeElencato(flow))
        return true;
    elencoSuperato();
    return false;
}

void frmMain::elencoSuperato()
{
    AvvisaElencoSuperato();
    AggiornaElenco();
}

void frmMain::eliminaContesto(const QString &domanda, bool rilasciaDocumenti)
{
    if (platform::msgBox(domanda, common::TitoloCorbix, MsgIcon::Question, MsgButtons::YesNo, 2) != MsgResult::Yes)
        return;
    // The flow as the list showed it, compared with the register again
    // inside the deletion's own transaction: a flow filed meanwhile under the
    // same date and number is not the one the user chose.
    flowengine::DatiCorbex flow;
    if (!caricaContesto(flow))
        return;
    if (flowengine::EliminaCorbex(flow, rilasciaDocumenti) == flowengine::EsitoEliminazione::NonElencata) {
        elencoSuperato();
        return;
    }
    // A failure has been told; the list is refilled all the same, so that it
    // shows the register as the failure left it.
    EvidenziaRiga(RigaContesto, flowengine::PosizioneInviati, false);
    AggiornaElenco();
}

void frmMain::riproduciSupporto()
{
    flowengine::DatiCorbex flow;
    if (caricaContesto(flow) && !RiproduciSuSupporto(flow))
        elencoSuperato();
}

void frmMain::stampaDistinta()
{
    flowengine::DatiCorbex flow;
    if (!caricaContesto(flow))
        return;
    flowengine::DestinazioneStampa pdf(windowTitle());
    // The list is printed on this thread: the window keeps painting itself
    // and nothing clicked or typed meanwhile reaches it.
    const platform::BusyWait occupato;
    flowengine::StampaDistinta(flow);
}

// ---------------------------------------------------------------- menu commands

void frmMain::apri(Finestra finestra, const QString &tag) { windowFactory().apri(finestra, this, tag); }

void frmMain::apriPerRiga(Finestra finestra)
{
    apri(finestra);
    if (cambiaRegistro(finestra))
        AggiornaElenco();
}

void frmMain::apriSuFlusso(Finestra finestra)
{
    FlussoSelezionato flusso;
    if (common::RigaSelezionata < 1 || !FlussoRigaGriglia(grdHistory, common::RigaSelezionata - 1, flusso.corbex))
        flusso.corbex.Posizione = flowengine::PosizioneInviati;
    windowFactory().apriSuFlusso(finestra, this, flusso);
    if (cambiaRegistro(finestra) || flusso.elencoSuperato)
        AggiornaElenco();
}

void frmMain::LinkTo_Click() { apriPerRiga(Finestra::frmArchiveLink); }

void frmMain::SetPrinter_Click()
{
    // The choice is read back when the dialog is accepted: later printing
    // goes to the printer chosen here.
    auto *printer = new QPrinter;
    cdlSetPrinter = new QPrintDialog(printer, this);
    cdlSetPrinter->setObjectName(QStringLiteral("cdlSetPrinter"));
    cdlSetPrinter->setAttribute(Qt::WA_DeleteOnClose);
    cdlSetPrinter->setOption(QAbstractPrintDialog::PrintSelection, false);
    cdlSetPrinter->setOption(QAbstractPrintDialog::PrintPageRange, false);
    connect(cdlSetPrinter, &QDialog::accepted, this, [printer] {
        if (auto *qt = dynamic_cast<platform::DevicePagePrinter *>(&platform::printer()))
            qt->setPrinterName(printer->printerName());
    });
    connect(cdlSetPrinter, &QObject::destroyed, this, [this, printer] {
        cdlSetPrinter = nullptr;
        delete printer;
    });
    cdlSetPrinter->open();
}

void frmMain::Exit_Click() { close(); }

void frmMain::Compose_Click() { apriPerRiga(Finestra::frmComposeNew); }

void frmMain::RefreshList_Click() { AggiornaElenco(); }

void frmMain::DownLoad_Click()
{
    if (common::RigaSelezionata < 1) {
        platform::msgBox(QStringLiteral("Selezionare una riga di dettaglio prima di richiedere questa opzione."),
                         common::TitoloCorbix, MsgIcon::Information);
        return;
    }
    apriSuFlusso(Finestra::frmReiceveMirsolan);
}

void frmMain::EDIAccounts_Click()
{
    apri(Finestra::frmUtenzeEDI, QStringLiteral("TableName=UtenzeEdi;UpDatable=True;Deletable=True;StartUp=N"));
}

void frmMain::mnuCompartDog_Click()
{
    apri(Finestra::frmCompartDog, QStringLiteral("TableName=CompDog;UpDatable=True;Deletable=True"));
}

void frmMain::Options_Click()
{
    common::ChiudiApplicazione = false;
    apri(Finestra::frmOpzioniCorbix);
    if (common::ChiudiApplicazione) {
        platform::msgBox(QStringLiteral("L'applicazione verrà chiusa."), common::TitoloCorbix, MsgIcon::Information);
        close();
    }
}

void frmMain::mnuComandoSql_Click() { apri(Finestra::FrmComandoSql); }

void frmMain::InfoOn_Click() { apri(Finestra::FrmInformazioni); }

void frmMain::mostraErrore(const platform::RuntimeError &e) const
{
    platform::msgBox(common::TestoErroreRuntime(e.number(), e.description()), common::TitoloCorbix, MsgIcon::Critical);
}

}  // namespace uimain
