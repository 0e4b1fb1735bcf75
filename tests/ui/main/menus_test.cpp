#include "fixture.h"

#include <QCoreApplication>
#include <QMenu>
#include <QPrintDialog>
#include <QMenuBar>

using uimain::Finestra;
using uimain::frmMain;

namespace {

// Every menu item with its caption, menu by menu, separators as "-".
QStringList menuTree(const QMenu *menu, const QString &indent = QString())
{
    QStringList lines;
    for (QAction *a : menu->actions()) {
        if (a->isSeparator()) {
            lines << indent + QStringLiteral("-");
            continue;
        }
        const QString name = a->menu() ? a->menu()->objectName() : a->objectName();
        lines << indent + name + QStringLiteral(" ") + a->text();
        if (a->menu())
            lines << menuTree(a->menu(), indent + QStringLiteral("  "));
    }
    return lines;
}

TEST_F(MainWindowTest, MenusCarryTheirNamesAndCaptions)
{
    frmMain w;
    QStringList tree;
    for (QAction *a : w.menuBar()->actions()) {
        tree << a->menu()->objectName() + QStringLiteral(" ") + a->text();
        tree << menuTree(a->menu(), QStringLiteral("  "));
    }
    EXPECT_EQ(tree, (QStringList{
                        "MenuFile &File",
                        "  LinkTo &Collegamento ad archivi esistenti...",
                        "  SetPrinter &Imposta stampante...",
                        "  Exit &Fine lavoro",
                        "Corbex C&orbex",
                        "  Compose &Componi...",
                        "  ImportaCorbex &Importa",
                        "  StampaDistinta &Stampa distinta",
                        "MenuModify &Modifica",
                        "  Undo &Annulla",
                        "  Remove &Elimina",
                        "  MoveIn &Sposta nell'elenco",
                        "    MoveInCompleted Corbix &Completati",
                        "    MoveInSent Corbix &Inviati",
                        "    MoveInExit Corbix in &Uscita",
                        "ShowList &Visualizza",
                        "  RefreshList &Aggiorna",
                        "  -",
                        "  Memorized &Bozze",
                        "  Sended Corbix &inviati",
                        "  InExit Corbix in &uscita",
                        "  History &Storico",
                        "Tools &Strumenti",
                        "  DownLoad &Preleva risposte...",
                        "  EDIAccounts &Utenze servizio E.D.I.",
                        "  mnuCompartDog Gestione &Compartimenti doganali",
                        "  -",
                        "  Options &Opzioni...",
                        "  -",
                        "  mnuComandoSql Comando &SQL",
                        "Help &?",
                        "  DocOnLine &Documentazione in linea",
                        "  InfoOn &Informazioni su Corbix Doganali",
                    }));
    // The popup is not in the menu bar.
    EXPECT_EQ(w.Context->title(), "Contesto");
    ASSERT_EQ(w.findChildren<QAction *>("Opzioni").size(), 6);
    for (QAction *a : w.Context->actions())
        EXPECT_EQ(a->text(), "Opzione");
    for (const char *name : {"grdHistory", "Toolbar1", "tlbList", "StatusBar1", "Context"})
        EXPECT_NE(w.findChild<QObject *>(name), nullptr) << name;
}

TEST_F(MainWindowTest, ItemsWithoutActionDoNothing)
{
    frmMain w;
    for (QAction *a : {w.ImportaCorbex, w.StampaDistinta, w.Undo, w.Remove, w.MoveInCompleted, w.MoveInSent,
                       w.MoveInExit, w.Memorized, w.Sended, w.InExit, w.History, w.DocOnLine}) {
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
        a->trigger();
    }
    EXPECT_TRUE(shown().empty());
    EXPECT_TRUE(factory_.calls.empty());
}

struct WindowItem {
    const char *item;
    Finestra window;
};

const WindowItem windowItems[] = {
    {"LinkTo", Finestra::frmArchiveLink},       {"Compose", Finestra::frmComposeNew},
    {"DownLoad", Finestra::frmReiceveMirsolan}, {"EDIAccounts", Finestra::frmUtenzeEDI},
    {"mnuCompartDog", Finestra::frmCompartDog}, {"Options", Finestra::frmOpzioniCorbix},
    {"mnuComandoSql", Finestra::FrmComandoSql}, {"InfoOn", Finestra::FrmInformazioni},
};

TEST_F(MainWindowTest, ItemsOfWindowsNotYetAvailableAreDisabled)
{
    for (const WindowItem &i : windowItems)
        factory_.missing.insert(i.window);
    frmMain w;
    for (const WindowItem &i : windowItems)
        EXPECT_FALSE(w.findChild<QAction *>(i.item)->isEnabled()) << i.item;
    for (const char *item : {"SetPrinter", "Exit", "RefreshList"})
        EXPECT_TRUE(w.findChild<QAction *>(item)->isEnabled()) << item;
}

TEST_F(MainWindowTest, ItemsOfAvailableWindowsOpenThem)
{
    makeProgramFolder();
    frmMain &w = start();
    for (const WindowItem &i : windowItems) {
        common::RigaSelezionata = 1;
        QAction *a = w.findChild<QAction *>(i.item);
        EXPECT_TRUE(a->isEnabled()) << i.item;
        factory_.calls.clear();
        a->trigger();
        ASSERT_EQ(factory_.calls.size(), 1u) << i.item;
        EXPECT_EQ(factory_.calls[0].finestra, i.window) << i.item;
    }
    EXPECT_TRUE(shown().empty());
}

TEST_F(MainWindowTest, TableScreensGetTheirPropertySets)
{
    frmMain w;
    w.EDIAccounts->trigger();
    w.mnuCompartDog->trigger();
    ASSERT_EQ(factory_.calls.size(), 2u);
    EXPECT_EQ(factory_.calls[0].tag, "TableName=UtenzeEdi;UpDatable=True;Deletable=True;StartUp=N");
    EXPECT_EQ(factory_.calls[1].tag, "TableName=CompDog;UpDatable=True;Deletable=True");
}

TEST_F(MainWindowTest, FetchingBeforeAnyRowIsChosenAsksForOne)
{
    frmMain w;
    w.DownLoad->trigger();
    EXPECT_TRUE(factory_.calls.empty());
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(shown()[0], (platform::Message{"Selezionare una riga di dettaglio prima di richiedere questa opzione.",
                                             "Corbix doganali", platform::MsgIcon::Information,
                                             platform::MsgButtons::OK, 1}));
}

TEST_F(MainWindowTest, OptionsThatNeedARestartCloseTheWindow)
{
    frmMain w;
    w.show();
    common::ChiudiApplicazione = true;  // left from before: the command clears it
    factory_.actions[Finestra::frmOpzioniCorbix] = [] {
        EXPECT_FALSE(common::ChiudiApplicazione);
        common::ChiudiApplicazione = true;
    };
    w.Options->trigger();
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(shown()[0], (platform::Message{"L'applicazione verrà chiusa.", "Corbix doganali",
                                             platform::MsgIcon::Information, platform::MsgButtons::OK, 1}));
    EXPECT_FALSE(w.isVisible());
}

TEST_F(MainWindowTest, OptionsWithoutRestartLeaveTheWindow)
{
    frmMain w;
    w.show();
    w.Options->trigger();
    EXPECT_TRUE(shown().empty());
    EXPECT_TRUE(w.isVisible());
}

TEST_F(MainWindowTest, ExitClosesTheWindow)
{
    frmMain w;
    w.show();
    w.Exit->trigger();
    EXPECT_FALSE(w.isVisible());
}

TEST_F(MainWindowTest, PrinterSetUpCancelledChangesNothing)
{
    frmMain w;
    w.SetPrinter->trigger();
    ASSERT_NE(w.cdlSetPrinter, nullptr);
    EXPECT_EQ(w.cdlSetPrinter->objectName(), "cdlSetPrinter");
    w.cdlSetPrinter->reject();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w.cdlSetPrinter, nullptr);
    EXPECT_TRUE(shown().empty());
}

}  // namespace
