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
    frmMain finestra;
    QStringList tree;
    for (QAction *a : finestra.menuBar()->actions()) {
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
    EXPECT_EQ(finestra.Context->title(), "Contesto");
    ASSERT_EQ(finestra.findChildren<QAction *>("Opzioni").size(), 6);
    for (QAction *a : finestra.Context->actions())
        EXPECT_EQ(a->text(), "Opzione");
    for (const char *name : {"grdHistory", "Toolbar1", "tlbList", "StatusBar1", "Context"})
        EXPECT_NE(finestra.findChild<QObject *>(name), nullptr) << name;
}

TEST_F(MainWindowTest, ItemsWithoutActionDoNothing)
{
    frmMain finestra;
    for (QAction *a : {finestra.ImportaCorbex, finestra.StampaDistinta, finestra.Undo, finestra.Remove,
                       finestra.MoveInCompleted, finestra.MoveInSent, finestra.MoveInExit, finestra.Memorized,
                       finestra.Sended, finestra.InExit, finestra.History, finestra.DocOnLine}) {
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
    frmMain finestra;
    for (const WindowItem &i : windowItems)
        EXPECT_FALSE(finestra.findChild<QAction *>(i.item)->isEnabled()) << i.item;
    for (const char *item : {"SetPrinter", "Exit", "RefreshList"})
        EXPECT_TRUE(finestra.findChild<QAction *>(item)->isEnabled()) << item;
}

TEST_F(MainWindowTest, ItemsOfAvailableWindowsOpenThem)
{
    makeProgramFolder();
    frmMain &finestra = start();
    for (const WindowItem &i : windowItems) {
        common::RigaSelezionata = 1;
        QAction *a = finestra.findChild<QAction *>(i.item);
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
    frmMain finestra;
    finestra.EDIAccounts->trigger();
    finestra.mnuCompartDog->trigger();
    ASSERT_EQ(factory_.calls.size(), 2u);
    EXPECT_EQ(factory_.calls[0].tag, "TableName=UtenzeEdi;UpDatable=True;Deletable=True;StartUp=N");
    EXPECT_EQ(factory_.calls[1].tag, "TableName=CompDog;UpDatable=True;Deletable=True");
}

TEST_F(MainWindowTest, FetchingBeforeAnyRowIsChosenAsksForOne)
{
    frmMain finestra;
    finestra.DownLoad->trigger();
    EXPECT_TRUE(factory_.calls.empty());
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(shown()[0], (platform::Message{"Selezionare una riga di dettaglio prima di richiedere questa opzione.",
                                             "Corbix doganali", platform::MsgIcon::Information,
                                             platform::MsgButtons::OK, 1}));
}

TEST_F(MainWindowTest, OptionsThatNeedARestartCloseTheWindow)
{
    frmMain finestra;
    finestra.show();
    common::ChiudiApplicazione = true;  // left from before: the command clears it
    factory_.actions[Finestra::frmOpzioniCorbix] = [] {
        EXPECT_FALSE(common::ChiudiApplicazione);
        common::ChiudiApplicazione = true;
    };
    finestra.Options->trigger();
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(shown()[0], (platform::Message{"L'applicazione verrà chiusa.", "Corbix doganali",
                                             platform::MsgIcon::Information, platform::MsgButtons::OK, 1}));
    EXPECT_FALSE(finestra.isVisible());
}

TEST_F(MainWindowTest, OptionsWithoutRestartLeaveTheWindow)
{
    frmMain finestra;
    finestra.show();
    finestra.Options->trigger();
    EXPECT_TRUE(shown().empty());
    EXPECT_TRUE(finestra.isVisible());
}

TEST_F(MainWindowTest, ExitClosesTheWindow)
{
    frmMain finestra;
    finestra.show();
    finestra.Exit->trigger();
    EXPECT_FALSE(finestra.isVisible());
}

TEST_F(MainWindowTest, PrinterSetUpCancelledChangesNothing)
{
    frmMain finestra;
    finestra.SetPrinter->trigger();
    ASSERT_NE(finestra.cdlSetPrinter, nullptr);
    EXPECT_EQ(finestra.cdlSetPrinter->objectName(), "cdlSetPrinter");
    finestra.cdlSetPrinter->reject();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(finestra.cdlSetPrinter, nullptr);
    EXPECT_TRUE(shown().empty());
}

}  // namespace
