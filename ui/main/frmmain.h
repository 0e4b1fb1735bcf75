#pragma once

#include "ui/main/windowfactory.h"

#include <QDate>
#include <QMainWindow>
#include <QStringList>
#include <array>
#include <optional>
#include <utility>

class QAction;
class QMenu;
class QPrintDialog;
class QStatusBar;
class QTableWidget;
class QToolBar;

namespace flowengine {
struct DatiCorbex;
}

namespace platform {
class RuntimeError;
}

namespace uimain {

// The main window: the program starts in its Form_Load and ends when it is
// closed. It shows the list of flows of the register and carries the menus;
// every command opens a modal window through the window factory or works on
// the list. The row numbers (RigaCorrente, RigaContesto, RigaSelezionata)
// are those of the list: 0 is the header, flows from 1; flow row r is row
// r - 1 of the table grdHistory, whose header row is its horizontal header.
class frmMain : public QMainWindow {
    Q_OBJECT

public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // The start-up sequence. False when start-up ended (the user has been told
    // why, where there is something to tell); the window is then not to be shown.
    bool Form_Load();

    // Menu commands.
    void LinkTo_Click();
    void SetPrinter_Click();
    void Exit_Click();
    void Compose_Click();
    void RefreshList_Click();
    void DownLoad_Click();
    void EDIAccounts_Click();
    void mnuCompartDog_Click();
    void Options_Click();
    void mnuComandoSql_Click();
    void InfoOn_Click();

    // The list's events. The positions are in pixels relative to grdHistory.
    void grdHistory_EnterCell(qint32 riga);
    void grdHistory_LeaveCell(qint32 riga);
    void grdHistory_MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint posizione);

    // Highlights (true) or restores (false) one row of the list.
    void EvidenziaRiga(qint32 riga, int elenco, bool evidenzia);
    // The data row under a vertical position, 0 on the header or below the last row.
    qint32 RigaSottoMouse(int y) const;

    // Sets up the context items for a row; mostra tells whether to show them.
    void ImpostaMenuContesto(qint32 riga, int elenco, bool &mostra);
    void AggiungiVoceMenu(int indice, const QString &parola);
    void Opzioni_Click(int Index);

    // Controls.
    QTableWidget *grdHistory = nullptr;
    QPrintDialog *cdlSetPrinter = nullptr;
    QToolBar *Toolbar1 = nullptr;
    QToolBar *tlbList = nullptr;
    QStatusBar *StatusBar1 = nullptr;

    QMenu *MenuFile = nullptr;
    QAction *LinkTo = nullptr;
    QAction *SetPrinter = nullptr;
    QAction *Exit = nullptr;
    QMenu *Corbex = nullptr;
    QAction *Compose = nullptr;
    QAction *ImportaCorbex = nullptr;
    QAction *StampaDistinta = nullptr;
    QMenu *MenuModify = nullptr;
    QAction *Undo = nullptr;
    QAction *Remove = nullptr;
    QMenu *MoveIn = nullptr;
    QAction *MoveInCompleted = nullptr;
    QAction *MoveInSent = nullptr;
    QAction *MoveInExit = nullptr;
    QMenu *ShowList = nullptr;
    QAction *RefreshList = nullptr;
    QAction *Memorized = nullptr;
    QAction *Sended = nullptr;
    QAction *InExit = nullptr;
    QAction *History = nullptr;
    QMenu *Tools = nullptr;
    QAction *DownLoad = nullptr;
    QAction *EDIAccounts = nullptr;
    QAction *mnuCompartDog = nullptr;
    QAction *Options = nullptr;
    QAction *mnuComandoSql = nullptr;
    QMenu *Help = nullptr;
    QAction *DocOnLine = nullptr;
    QAction *InfoOn = nullptr;
    QMenu *Context = nullptr;
    std::array<QAction *, 6> Opzioni{};

    // Form-level values.
    qint32 RigaCorrente = 0;
    qint32 RigaContesto = 0;
    QStringList Comandi;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void menuDaTastiera(Qt::KeyboardModifiers modificatori);
    void creaMenu();
    QAction *voce(QMenu *menu, const char *nome, const QString &testo);
    void collega(QAction *action, void (frmMain::*handler)());
    void abilita(QAction *action, Finestra finestra);
    void apri(Finestra finestra, const QString &tag = QString());
    // Opens a window that may change the register, then refills the list.
    void apriPerRiga(Finestra finestra);
    // Opens a window on the flow of the list row RigaSelezionata, as the list
    // showed it; the list is refilled after a window that may change the
    // register, or that found the flow no longer so.
    void apriSuFlusso(Finestra finestra);

    bool avvio();
    bool riempiElenco();
    // Refills the list and brings the row values back to the rows of their
    // flows: a row whose flow has left the list becomes 0, and the flow that
    // was highlighted is highlighted again.
    void AggiornaElenco();
    std::optional<std::pair<QDate, qint32>> chiaveRiga(qint32 riga) const;
    // Whether the row shows the highlight of EvidenziaRiga.
    bool rigaEvidenziata(qint32 riga) const;
    qint32 rigaDi(const std::optional<std::pair<QDate, qint32>> &chiave) const;

    // The flow of row RigaContesto as the list showed it, while the register
    // still holds it so; false, after telling the user and refilling the
    // list, when its register row has gone or no longer holds it.
    bool caricaContesto(flowengine::DatiCorbex &flow);
    void elencoSuperato();
    void eliminaContesto(const QString &domanda, bool rilasciaDocumenti);
    void riproduciSupporto();
    void stampaDistinta();
    void eseguiComando(const QString &parola);

    // "Errore di Run-time " with the error's number and description.
    void mostraErrore(const platform::RuntimeError &e) const;
};

}  // namespace uimain
