#include "fixture.h"

#include "common/errordialog.h"
#include "platform/errors.h"
#include "platform/pageprinter.h"
#include "support/asuser.h"
#include "support/doubles/recordingerrordialog.h"
#include "support/doubles/recordingpageprinter.h"
#include "support/otherprogram.h"
#include "support/tablerows.h"

#include <QFile>
#include <QImage>
#include <QMenu>
#include <QScrollBar>
#include <QTest>

using platform::Message;
using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;
using uimain::Finestra;
using uimain::frmMain;
using testsupport::keyClickAsUser;

namespace {

const QDate D1(2024, 3, 5);
const QDate D2(2024, 3, 6);

Message info(const QString &text) { return Message{text, "Corbix doganali", MsgIcon::Information, MsgButtons::OK, 1}; }
Message question(const QString &text) { return Message{text, "Corbix doganali", MsgIcon::Question, MsgButtons::YesNo, 2}; }

const QString annulla = "Annullare ed eliminare il corbex selezionato?";
const QString elimina = "Eliminare definitivamente dalla lista il corbex selezionato?";
const QString gone = "Il corbex selezionato non è più presente nel registro: l'elenco viene aggiornato.";
const QString inserisci = "Inserire il supporto magnetico previsto nell'unità 'A:' e scegliere 'OK' per procedere";

class ContextTest : public MainWindowTest {
protected:
    // Three flows: row 1 is 06/03 n. 1 (removable medium), row 2 05/03 n. 2
    // (folder, state 1), row 3 05/03 n. 1 (removable medium) with the
    // declarations 12 and 13 of 5 March and its archive copy.
    void SetUp() override
    {
        makeProgramFolder();
        QDir().mkpath(onC("floppy"));
        drives_.setDrive(u'A', onC("floppy"));
        tmp_.write("c/Corbix/Corbix inviati/CX0001", "riga uno\r\nriga due\r\n");
        tmp_.write("c/Corbix/Corbix inviati/CX0002", "telematico\r\n");
        addDeclaration(12, D1, 2);
        addDeclaration(13, D1, 2);
        addDeclaration(14, D1, 2);
        addFlow(3, D1, 1, 1, 1, "ABC", "12-05/03/2024-RIF0012\r\n13-05/03/2024-RIF0013\r\n",
                "C:\\Corbix\\Corbix inviati\\CX0001", "PRATICHE.001");
        addFlow(3, D1, 2, 1, 2, "ABC", "14-05/03/2024-RIF0014\r\n", "C:\\Corbix\\Corbix inviati\\CX0002");
        addFlow(3, D2, 1, 1, 1, "ABC", "", "", "PRATICHE.002");
        start();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    }

    // A click of the left button on a row, as the user enters it.
    void leftClick(qint32 riga) const
    {
        QWidget *viewport = w->grdHistory->viewport();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, viewport->mapFrom(w->grdHistory, rowCentre(riga)));
    }
    void key(Qt::Key k) const { keyClickAsUser(w->grdHistory, k); }

    // The rows that show the highlight.
    QList<qint32> highlightedRows() const
    {
        QList<qint32> rows;
        for (qint32 riga = 1; riga <= w->grdHistory->rowCount(); ++riga)
            if (highlighted(riga))
                rows << riga;
        return rows;
    }

    QByteArray onFloppy(const QString &name) const { return bytes(onC("floppy/" + name)); }
};

TEST_F(ContextTest, ListIsFilledAtStartUp)
{
    EXPECT_EQ(listRows(), (QStringList{"06/03/24 1 FLOPPY", "05/03/24 2 RTARWWHT", "05/03/24 1 FLOPPY"}));
}

struct MenuCase {
    const char *name;
    int tipo;
    int stato;
    QVariant ok;
    QStringList items;
    QStringList keywords;
};

void PrintTo(const MenuCase &c, std::ostream *os) { *os << c.name; }

class ContextMenu : public MainWindowTest, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(ContextMenu, DependsOnKindAndState)
{
    const MenuCase &c = GetParam();
    makeProgramFolder();
    addFlow(3, D1, 1, c.stato, c.tipo, "ABC", "", "", "", c.ok);
    start();
    rightClick(rowCentre(1));
    const bool offered = !c.items.isEmpty();
    EXPECT_EQ(w->Context->isVisible(), offered);
    w->Context->hide();
    EXPECT_EQ(w->RigaContesto, 1);
    EXPECT_EQ(contextItems(), c.items);
    EXPECT_EQ(w->Comandi, c.keywords);
    for (QAction *a : w->Opzioni) {
        if (a->isVisible()) {
            EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();
        }
    }
}

const QStringList firstThree{"&Annulla", "&Elimina", "&Riproduci", "&Dettagli", "&Stampa distinta"};
const QStringList firstKeywords{"ANNULLACORBEXINVIATO", "ELIMINACORBEXINVIATO", "RIPRODUCICORBEXEDI", "DETTAGLICORBEX",
                                "STAMPADISTINTA"};

INSTANTIATE_TEST_SUITE_P(
    Cases, ContextMenu,
    ::testing::Values(
        MenuCase{"Medium", 1, 1, {}, firstThree + QStringList{"&Invia a MIRSOLAN..."},
                 {"ANNULLACORBEXINVIATO", "ELIMINACORBEXINVIATO", "RIPRODUCICORBEXFLOPPY", "DETTAGLICORBEX",
                  "STAMPADISTINTA", "INVIAAMIRSOLAN"}},
        MenuCase{"FolderProduced", 2, 1, {}, firstThree + QStringList{"&Preleva risposta..."},
                 firstKeywords + QStringList{"PRELEVARISPOSTA"}},
        MenuCase{"FolderChecked", 2, 2, {}, firstThree + QStringList{"&Preleva risposta..."},
                 firstKeywords + QStringList{"PRELEVARISPOSTA"}},
        MenuCase{"FolderAnswered", 2, 3, 0,
                 {"S&posta nello storico", "&Dettagli", "&Stampa distinta", "E&labora risposta"},
                 {"ARCHIVIASTORICO", "DETTAGLICORBEX", "STAMPADISTINTA", "ELABORARISPOSTA"}},
        MenuCase{"FolderAnsweredWithOutcomes", 2, 3, 2,
                 {"S&posta nello storico", "&Stampa dichiarazioni convalidate", "&Dettagli", "&Stampa distinta",
                  "E&labora risposta"},
                 {"ARCHIVIASTORICO", "STAMPADOC", "DETTAGLICORBEX", "STAMPADISTINTA", "ELABORARISPOSTA"}},
        MenuCase{"FolderRefused", 2, 4, {}, firstThree + QStringList{"E&labora risposta"},
                 firstKeywords + QStringList{"ELABORARISPOSTA"}},
        MenuCase{"FolderProcessed", 2, 5, 0,
                 {"S&posta nello storico", "&Dettagli", "&Stampa distinta", "&Tabulato esplicativo"},
                 {"ARCHIVIASTORICO", "DETTAGLICORBEX", "STAMPADISTINTA", "STAMPARISPOSTAFINALE"}},
        MenuCase{"OtherKind", 0, 1, {}, {}, {""}}),
    [](const auto &caso) { return std::string(caso.param.name); });

TEST_F(ContextTest, CommandsOfWindowsNotYetAvailableAreDisabled)
{
    factory_.missing.insert(Finestra::frmSendMirsolan);
    rightClick(rowCentre(1));
    w->Context->hide();
    EXPECT_FALSE(w->Opzioni[5]->isEnabled());
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(w->Opzioni[i]->isEnabled()) << i;
}

TEST_F(ContextTest, HeaderRowOffersNothing)
{
    w->Opzioni[0]->setText("&Elimina");
    rightClick(w->grdHistory->horizontalHeader()->geometry().center());
    EXPECT_FALSE(w->Context->isVisible());
    EXPECT_EQ(w->RigaContesto, 0);
    EXPECT_EQ(w->Comandi, QStringList{""});
    EXPECT_TRUE(w->Opzioni[0]->isVisible());
    EXPECT_EQ(w->Opzioni[0]->text(), "&Elimina");
    for (int i = 1; i < 6; ++i)
        EXPECT_FALSE(w->Opzioni[i]->isVisible()) << i;
}

TEST_F(ContextTest, BelowTheLastRowOffersNothing)
{
    const QPoint below = rowCentre(3) + QPoint(0, 3 * w->grdHistory->rowHeight(2));
    EXPECT_EQ(w->RigaSottoMouse(below.y()), 0);
    rightClick(below);
    EXPECT_FALSE(w->Context->isVisible());
    EXPECT_EQ(w->RigaContesto, 0);
}

TEST_F(ContextTest, RightClickMovesTheHighlightToTheRowClicked)
{
    leftClick(1);
    EXPECT_EQ(w->RigaCorrente, 1);
    EXPECT_TRUE(highlighted(1));
    rightClick(rowCentre(3));
    EXPECT_TRUE(w->Context->isVisible());
    w->Context->hide();
    EXPECT_EQ(w->RigaContesto, 3);
    EXPECT_EQ(common::RigaSelezionata, 3);
    EXPECT_FALSE(highlighted(1));
    EXPECT_TRUE(highlighted(3));
    // The right button does not move the current cell.
    EXPECT_EQ(w->grdHistory->currentRow(), 2);
    EXPECT_EQ(w->RigaCorrente, 1);

    rightClick(rowCentre(2));
    w->Context->hide();
    EXPECT_FALSE(highlighted(3));
    EXPECT_TRUE(highlighted(2));
    rightClick(rowCentre(2));
    w->Context->hide();
    EXPECT_TRUE(highlighted(2));
}

TEST_F(ContextTest, AtStartUpNoRowIsChosenUntilTheUserEntersOne)
{
    // The grid took the focus with the window; that chooses nothing.
    EXPECT_TRUE(w->grdHistory->hasFocus());
    EXPECT_EQ(highlightedRows(), QList<qint32>());
    EXPECT_EQ(common::RigaSelezionata, 0);
    EXPECT_EQ(w->RigaCorrente, 0);
    // "&Preleva risposte..." from the Strumenti menu, by its access keys.
    keyClickAsUser(w.get(), Qt::Key_S, Qt::AltModifier);
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_P);
    EXPECT_TRUE(factory_.calls.empty());
    EXPECT_EQ(shown(), (std::vector<Message>{info("Selezionare una riga di dettaglio prima di richiedere questa "
                                                  "opzione.")}));
    // A refill chooses nothing either.
    w->RefreshList->trigger();
    EXPECT_EQ(highlightedRows(), QList<qint32>());
    EXPECT_EQ(common::RigaSelezionata, 0);
    // The first key enters the first row.
    key(Qt::Key_Down);
    EXPECT_EQ(highlightedRows(), QList<qint32>{1});
    EXPECT_EQ(w->RigaCorrente, 1);
    EXPECT_EQ(common::RigaSelezionata, 1);
}

TEST_F(ContextTest, KeyboardMovesTheHighlight)
{
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    EXPECT_EQ(w->RigaCorrente, 2);
    EXPECT_EQ(common::RigaSelezionata, 2);
    EXPECT_EQ(highlightedRows(), QList<qint32>{2});
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    key(Qt::Key_Up);
    EXPECT_EQ(w->RigaCorrente, 2);
    EXPECT_EQ(highlightedRows(), QList<qint32>{2});
}

TEST_F(ContextTest, TheFocusComingBackChoosesNoOtherRow)
{
    leftClick(3);
    ASSERT_EQ(highlightedRows(), QList<qint32>{3});
    w->grdHistory->clearFocus();
    w->grdHistory->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(highlightedRows(), QList<qint32>{3});
    EXPECT_EQ(common::RigaSelezionata, 3);
}

TEST_F(ContextTest, RowUnderTheMouseFollowsRowHeightsAndScrolling)
{
    // Rows of their own heights: the grid's hit test finds the row, where
    // counting rows as high as the header would not.
    w->grdHistory->setRowHeight(0, 5 * w->grdHistory->rowHeight(1));
    rightClick(rowCentre(2));
    w->Context->hide();
    EXPECT_EQ(w->RigaContesto, 2);

    for (int n = 2; n <= 30; ++n)
        addFlow(3, D2, n, 1, 1, "ABC", "", "", "PRATICHE.003");
    w->RefreshList_Click();
    QApplication::processEvents();
    w->grdHistory->scrollToBottom();
    ASSERT_GT(w->grdHistory->verticalScrollBar()->value(), 0);
    ASSERT_TRUE(w->grdHistory->viewport()->rect().contains(w->grdHistory->viewport()->mapFrom(w->grdHistory, rowCentre(32))));
    rightClick(rowCentre(32));
    w->Context->hide();
    EXPECT_EQ(w->RigaContesto, 32);
}

TEST_F(ContextTest, AfterARefillOfManyRowsPicturesHighlightAndHitTestHold)
{
    leftClick(1);
    ASSERT_EQ(highlightedRows(), QList<qint32>{1});
    db.execute("BEGIN");
    for (int n = 1; n <= 500; ++n)
        addFlow(3, QDate(2024, 3, 1), n, 5, 2, "ABC", "", "", {}, 0, n % 3, 0);
    db.execute("COMMIT");
    w->RefreshList_Click();
    QApplication::processEvents();

    ASSERT_EQ(w->grdHistory->rowCount(), 503);
    EXPECT_EQ(listRows().mid(0, 4), (QStringList{"06/03/24 1 FLOPPY", "05/03/24 2 RTARWWHT", "05/03/24 1 FLOPPY",
                                                 "01/03/24 500 GRNCHECK"}));
    EXPECT_EQ(listRows().last(), "01/03/24 1 GRNCHECK");
    EXPECT_EQ(w->grdHistory->item(502, 4)->text(), "1");
    EXPECT_EQ(highlightedRows(), QList<qint32>{1}) << "the flow chosen stays highlighted";
    EXPECT_EQ(common::RigaSelezionata, 1);
    // The pictures are the view's, one per row, none a widget of its own.
    const QImage floppy = flowengine::ImmagineElenco("FLOPPY").pixmap(16, 16).toImage();
    const QImage done = flowengine::ImmagineElenco("GRNCHECK").pixmap(16, 16).toImage();
    for (int r = 0; r < 503; ++r) {
        ASSERT_EQ(w->grdHistory->cellWidget(r, 6), nullptr) << r;
        ASSERT_EQ(w->grdHistory->item(r, 6)->data(uimain::RuoloImmagine).value<QIcon>().pixmap(16, 16).toImage(), r == 0 || r == 2 ? floppy : r == 1
                      ? flowengine::ImmagineElenco("RTARWWHT").pixmap(16, 16).toImage() : done) << r;
    }

    // The last row, scrolled into view, is the one a right click finds; it
    // alone is highlighted, its picture cell too, and its commands are its own.
    w->grdHistory->scrollToBottom();
    QApplication::processEvents();
    rightClick(rowCentre(503));
    w->Context->hide();
    EXPECT_EQ(w->RigaContesto, 503);
    EXPECT_EQ(highlightedRows(), QList<qint32>{503});
    EXPECT_EQ(contextItems(),
              (QStringList{"S&posta nello storico", "&Dettagli", "&Stampa distinta", "&Tabulato esplicativo"}));
    const QRect cell = w->grdHistory->visualItemRect(w->grdHistory->item(502, 6));
    const QImage shown = w->grdHistory->viewport()->grab().toImage();
    // Inside the frame the current cell shows, the highlight of the row
    // (the current cell's own shade of it).
    const QColor picture = shown.pixel(cell.topLeft() + QPoint(2, 2));
    const QColor highlight = w->grdHistory->palette().highlight().color();
    EXPECT_LE(std::abs(picture.red() - highlight.red()) + std::abs(picture.green() - highlight.green())
                  + std::abs(picture.blue() - highlight.blue()),
              12)
        << picture.name().toStdString();
}

TEST_F(ContextTest, CancelReleasesTheDeclarationsAndDeletesTheFlow)
{
    boxes.answer(MsgResult::Yes);
    choose(3, "&Annulla");
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(shown()[0], question(annulla));
    EXPECT_EQ(registerKeys(), (QStringList{"3 05/03/2024 2", "3 06/03/2024 1"}));
    EXPECT_EQ(stato1(12, D1), 0);
    EXPECT_EQ(stato1(13, D1), 0);
    EXPECT_EQ(stato1(14, D1), 2);
    EXPECT_FALSE(QFile::exists(onC("Corbix/Corbix inviati/CX0001")));
    EXPECT_EQ(listRows(), (QStringList{"06/03/24 1 FLOPPY", "05/03/24 2 RTARWWHT"}));
    EXPECT_EQ(w->RigaContesto, 0);
    EXPECT_EQ(common::RigaSelezionata, 0);
}

TEST_F(ContextTest, CancelAnsweredNoChangesNothing)
{
    boxes.answer(MsgResult::No);
    choose(3, "&Annulla");
    EXPECT_EQ(shown().size(), 1u);
    EXPECT_EQ(registerKeys().size(), 3);
    EXPECT_EQ(stato1(12, D1), 2);
    EXPECT_TRUE(QFile::exists(onC("Corbix/Corbix inviati/CX0001")));
    EXPECT_TRUE(highlighted(3));
}

TEST_F(ContextTest, DeleteLeavesTheDeclarationsMarked)
{
    boxes.answer(MsgResult::Yes);
    choose(3, "&Elimina");
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(shown()[0], question(elimina));
    EXPECT_EQ(registerKeys(), (QStringList{"3 05/03/2024 2", "3 06/03/2024 1"}));
    EXPECT_EQ(stato1(12, D1), 2);
    EXPECT_EQ(stato1(13, D1), 2);
    EXPECT_FALSE(QFile::exists(onC("Corbix/Corbix inviati/CX0001")));
    EXPECT_EQ(listRows().size(), 2);
}

TEST_F(ContextTest, FailedCancelLeavesEverythingAsItWas)
{
    common::RecordingErrorDialogService errors;
    common::ScopedErrorDialogService errorsGuard(errors);
    testsupport::OtherProgram other(onC("Archivio.mdb"));
    ASSERT_EQ(other.exec("BEGIN IMMEDIATE"), SQLITE_OK);
    boxes.answer(MsgResult::Yes);
    choose(3, "&Annulla");
    other.exec("ROLLBACK");
    ASSERT_EQ(shown().size(), 1u);
    ASSERT_EQ(errors.shown.size(), 1u);
    EXPECT_TRUE(errors.shown[0].endsWith("Funzione: EliminaCorbex\r\nNessun suggerimento"))
        << errors.shown[0].toStdString();
    EXPECT_EQ(registerKeys().size(), 3);
    EXPECT_EQ(stato1(12, D1), 2);
    EXPECT_EQ(stato1(13, D1), 2);
    EXPECT_TRUE(QFile::exists(onC("Corbix/Corbix inviati/CX0001")));
    EXPECT_EQ(listRows().size(), 3);
    EXPECT_EQ(w->RigaContesto, 3);
}

TEST_F(ContextTest, FlowGoneMeanwhileIsToldAndTheListRefreshed)
{
    rightClick(rowCentre(3));
    w->Context->hide();
    db.execute("DELETE FROM Corbix WHERE Data = ? AND Progressivo = 1", {D1});
    boxes.answer(MsgResult::Yes);
    w->Opzioni[1]->trigger();
    ASSERT_EQ(shown().size(), 2u);
    EXPECT_EQ(shown()[1], info(gone));
    EXPECT_EQ(listRows(), (QStringList{"06/03/24 1 FLOPPY", "05/03/24 2 RTARWWHT"}));
    EXPECT_EQ(w->RigaContesto, 0);
    EXPECT_EQ(stato1(12, D1), 2);
}

TEST_F(ContextTest, RefillBringsTheRowsBackToTheirFlows)
{
    rightClick(rowCentre(2));
    w->Context->hide();
    leftClick(3);
    ASSERT_EQ(w->RigaContesto, 2);
    ASSERT_EQ(w->RigaCorrente, 3);
    // A newer flow moves every row down by one.
    addFlow(3, D2, 2, 1, 1, "ABC", "", "", "PRATICHE.003");
    w->RefreshList->trigger();
    EXPECT_EQ(w->RigaContesto, 3);
    EXPECT_EQ(w->RigaCorrente, 4);
    EXPECT_EQ(common::RigaSelezionata, 4);
    EXPECT_EQ(highlightedRows(), QList<qint32>{4});
    // A flow that has left the register leaves no row behind.
    db.execute("DELETE FROM Corbix WHERE Data = ? AND Progressivo = 2", {D1});
    w->RefreshList->trigger();
    EXPECT_EQ(w->RigaContesto, 0);
    EXPECT_EQ(w->RigaCorrente, 3);
    EXPECT_EQ(common::RigaSelezionata, 3);
    EXPECT_EQ(highlightedRows(), QList<qint32>{3});
    // The keyboard goes on from the row highlighted.
    key(Qt::Key_Up);
    EXPECT_EQ(w->RigaCorrente, 2);
    EXPECT_EQ(highlightedRows(), QList<qint32>{2});
    // The chosen flow gone, no row is highlighted.
    db.execute("DELETE FROM Corbix WHERE Data = ? AND Progressivo = 1", {D2});
    w->RefreshList->trigger();
    EXPECT_EQ(common::RigaSelezionata, 0);
    EXPECT_EQ(w->RigaCorrente, 0);
    EXPECT_EQ(highlightedRows(), QList<qint32>());
}

TEST_F(ContextTest, AFetchKeepsTheFlowChosen)
{
    leftClick(3);
    // The fetch sets the flow's state, and meanwhile a newer flow came.
    factory_.actions[Finestra::frmReiceveMirsolan] = [this] {
        db.execute("UPDATE Corbix SET Stato = 2 WHERE Data = ? AND Progressivo = 1", {D1});
        addFlow(3, D2, 2, 1, 1, "ABC", "", "", "PRATICHE.003");
    };
    w->DownLoad->trigger();
    ASSERT_EQ(factory_.calls.size(), 1u);
    EXPECT_EQ(factory_.calls[0].riga, 3);
    EXPECT_EQ(listRows()[3], "05/03/24 1 RTARWGRN");
    EXPECT_EQ(common::RigaSelezionata, 4);
    EXPECT_EQ(w->RigaCorrente, 4);
    EXPECT_EQ(highlightedRows(), QList<qint32>{4});
    factory_.actions.clear();
    w->DownLoad->trigger();
    ASSERT_EQ(factory_.calls.size(), 2u);
    EXPECT_EQ(factory_.calls[1].riga, 4);
}

TEST_F(ContextTest, RewriteCopiesTheFlowToTheMedium)
{
    choose(3, "&Riproduci");
    ASSERT_EQ(shown().size(), 2u);
    EXPECT_EQ(shown()[0], (Message{inserisci, "Corbix doganali", MsgIcon::Information, MsgButtons::OKCancel, 1}));
    EXPECT_EQ(shown()[1], info("Il corbex 'PRATICHE.001' è stato trascritto con successo."));
    EXPECT_EQ(onFloppy("PRATICHE.001"), "riga uno\nriga due\n");
}

TEST_F(ContextTest, RewriteCancelledWritesNothing)
{
    boxes.answer(MsgResult::Cancel);
    choose(3, "&Riproduci");
    EXPECT_EQ(shown().size(), 1u);
    EXPECT_TRUE(entries(onC("floppy")).isEmpty());
}

TEST_F(ContextTest, RewriteOntoAMediumHoldingTheNameWritesNothing)
{
    tmp_.write("c/floppy/pratiche.001", "altro\r\n");
    choose(3, "&Riproduci");
    ASSERT_EQ(shown().size(), 2u);
    EXPECT_EQ(shown()[1], (Message{"E' già presente un corbex con il nome 'PRATICHE.001' nell'unità 'A:': utilizzare "
                                   "un'altro supporto magnetico o eliminarlo, quindi riprovare.",
                                   "Corbix Doganali", MsgIcon::Information, MsgButtons::OK, 1}));
    EXPECT_EQ(onFloppy("pratiche.001"), "altro\r\n");
}

TEST_F(ContextTest, RewriteWithoutTheArchiveCopySaysSo)
{
    QFile::remove(onC("Corbix/Corbix inviati/CX0001"));
    choose(3, "&Riproduci");
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(shown()[0], info("Impossibile trovare la copia d'archivio del corbex "
                               "'C:\\Corbix\\Corbix inviati\\CX0001'."));
    EXPECT_TRUE(entries(onC("floppy")).isEmpty());
}

// Answers the medium box with Retry once the medium is in, putting it in
// when asked the first time.
class InsertingMedium : public platform::MessageBoxService {
public:
    explicit InsertingMedium(std::function<void()> insert) : insert_(std::move(insert)) {}
    MsgResult show(const Message &message) override
    {
        shown.push_back(message);
        if (message.buttons == MsgButtons::RetryCancel) {
            insert_();
            return MsgResult::Retry;
        }
        return MsgResult::OK;
    }
    std::vector<Message> shown;

private:
    std::function<void()> insert_;
};

TEST_F(ContextTest, RewriteOnADriveNotReadyOffersRetry)
{
    QFile::remove(drives_.folder() + "/a:");
    InsertingMedium medium([this] { drives_.setDrive(u'A', onC("floppy")); });
    platform::ScopedMessageBoxService guard(medium);
    choose(3, "&Riproduci");
    ASSERT_EQ(medium.shown.size(), 3u);
    EXPECT_EQ(medium.shown[1], (Message{platform::errorDescription(platform::err::DeviceUnavailable), "CORBIX",
                                        MsgIcon::Critical, MsgButtons::RetryCancel, 1}));
    EXPECT_EQ(medium.shown[2].text, "Il corbex 'PRATICHE.001' è stato trascritto con successo.");
    EXPECT_EQ(onFloppy("PRATICHE.001"), "riga uno\nriga due\n");
}

TEST_F(ContextTest, RewriteOnADriveNotReadyCancelledWritesNothing)
{
    QFile::remove(drives_.folder() + "/a:");
    boxes.answer(MsgResult::OK);
    boxes.answer(MsgResult::Cancel);
    choose(3, "&Riproduci");
    ASSERT_EQ(shown().size(), 2u);
    EXPECT_EQ(shown()[1].buttons, MsgButtons::RetryCancel);
    EXPECT_TRUE(entries(onC("floppy")).isEmpty());
}

TEST_F(ContextTest, DispatchListPrintsTheFlow)
{
    platform::RecordingPagePrinter printer;
    platform::ScopedPagePrinter guard(printer);
    choose(3, "&Stampa distinta");
    EXPECT_TRUE(shown().empty());
    const std::vector<QString> lines = printer.lines();
    const QStringList calls(lines.begin(), lines.end());
    EXPECT_EQ(calls.filter("PRATICHE.001").size(), 1) << calls.join('\n').toStdString();
    EXPECT_EQ(calls.filter("RIF0013").size(), 1);
    EXPECT_EQ(calls.last(), "end");
}

struct WindowCommand {
    const char *caption;
    qint32 riga;
    Finestra finestra;
    bool refills;
};

TEST_F(ContextTest, WindowCommandsOpenTheirWindowOnTheRowClicked)
{
    db.execute("UPDATE Corbix SET Stato = 4 WHERE Tipo = 2");
    w->RefreshList_Click();
    db.execute("UPDATE Corbix SET Stato = 5, OK = 1, KO = 0, ND = 0 WHERE Data = ? AND Progressivo = 1", {D2});
    const WindowCommand commands[] = {
        {"&Invia a MIRSOLAN...", 3, Finestra::frmSendMirsolan, false},
        {"E&labora risposta", 2, Finestra::frmAswerProcess, true},
    };
    for (const WindowCommand &c : commands) {
        factory_.calls.clear();
        const QStringList before = listRows();
        choose(c.riga, c.caption);
        ASSERT_EQ(factory_.calls.size(), 1u) << c.caption;
        EXPECT_EQ(factory_.calls[0].finestra, c.finestra) << c.caption;
        EXPECT_EQ(factory_.calls[0].riga, c.riga) << c.caption;
        EXPECT_EQ(listRows() != before, c.refills) << c.caption;
    }
    EXPECT_EQ(listRows().first(), "06/03/24 1 GRNCHECK");
}

TEST_F(ContextTest, FetchAndReportOpenOnTheRowClicked)
{
    choose(2, "&Preleva risposta...");
    db.execute("UPDATE Corbix SET Stato = 5, OK = 1, KO = 0, ND = 0 WHERE Tipo = 2");
    w->RefreshList_Click();
    choose(2, "&Tabulato esplicativo");
    ASSERT_EQ(factory_.calls.size(), 2u);
    EXPECT_EQ(factory_.calls[0].finestra, Finestra::frmReiceveMirsolan);
    EXPECT_EQ(factory_.calls[0].riga, 2);
    EXPECT_EQ(factory_.calls[1].finestra, Finestra::frmAswerReport);
    EXPECT_EQ(factory_.calls[1].riga, 2);
    EXPECT_TRUE(shown().empty());
    // Each window is handed the flow as the list showed it.
    EXPECT_EQ(factory_.calls[0].corbex.Data, D1);
    EXPECT_EQ(factory_.calls[0].corbex.Progressivo, 2);
    EXPECT_EQ(factory_.calls[0].corbex.Stato, 1);
    EXPECT_EQ(factory_.calls[0].corbex.NomeFile, "C:\\Corbix\\Corbix inviati\\CX0002");
    EXPECT_EQ(factory_.calls[1].corbex.Stato, 5);
    EXPECT_EQ(factory_.calls[1].corbex.OK, 1);
}

TEST_F(ContextTest, ErrorsOfACommandAreShown)
{
    common::PercorsoArchivio = "C:\\Nessuno.mdb";
    boxes.answer(MsgResult::Yes);
    w->RigaContesto = 3;
    w->Comandi = QStringList{"ELIMINACORBEXINVIATO"};
    w->Opzioni_Click(0);
    ASSERT_EQ(shown().size(), 2u);
    EXPECT_EQ(shown()[1], (Message{"Errore di Run-time 3024\r\n"
                                       + platform::errorDescription(3024, {"C:\\Nessuno.mdb"}),
                                   "Corbix doganali", MsgIcon::Critical, MsgButtons::OK, 1}));
    common::PercorsoArchivio = archivePath();
    EXPECT_EQ(registerKeys().size(), 3);
}

TEST_F(ContextTest, CommandsNotActiveSaySo)
{
    for (const char *keyword : {"DETTAGLICORBEX", "RIPRODUCICORBEXEDI", "ARCHIVIASTORICO", "STAMPADOC"}) {
        w->Comandi = QStringList{keyword};
        w->Opzioni_Click(0);
    }
    ASSERT_EQ(shown().size(), 4u);
    for (const Message &m : shown())
        EXPECT_EQ(m, info("L'opzione selezionata non e' attiva in questa versione."));
    EXPECT_TRUE(factory_.calls.empty());
}

TEST_F(ContextTest, DownLoadOpensOnTheRowLastHighlighted)
{
    leftClick(2);
    w->DownLoad->trigger();
    ASSERT_EQ(factory_.calls.size(), 1u);
    EXPECT_EQ(factory_.calls[0].riga, 2);
}

}  // namespace

TEST_F(ContextTest, ShiftF10AndTheMenuKeyOpenTheMenuOfTheCurrentRowAtThatRow)
{
    for (const auto &[k, modifiers] : {std::pair{Qt::Key_F10, Qt::ShiftModifier}, std::pair{Qt::Key_Menu, Qt::NoModifier}}) {
        SCOPED_TRACE(k);
        QWidget *focus = QApplication::focusWidget();
        ASSERT_EQ(focus, w->grdHistory);
        keyClickAsUser(focus, Qt::Key_Home, Qt::ControlModifier);
        keyClickAsUser(w->grdHistory, Qt::Key_Down);
        ASSERT_EQ(w->RigaCorrente, 2);
        QTest::keyClick(QApplication::focusWidget(), k, modifiers);
        ASSERT_TRUE(w->Context->isVisible());
        EXPECT_EQ(QApplication::activePopupWidget(), w->Context);
        EXPECT_EQ(w->RigaContesto, 2);
        EXPECT_EQ(common::RigaSelezionata, 2);
        EXPECT_EQ(highlightedRows(), QList<qint32>{2});
        // At the row: the menu's corner lies within it.
        const QRect row = w->grdHistory->visualRect(w->grdHistory->model()->index(1, 0));
        const QPoint corner = w->grdHistory->viewport()->mapFromGlobal(w->Context->pos());
        EXPECT_GE(corner.y(), row.top());
        EXPECT_LE(corner.y(), row.bottom());
        // The items are the right button's for that row: "&Elimina" among them.
        QStringList items;
        for (QAction *a : w->Context->actions())
            if (a->isVisible())
                items << a->text();
        EXPECT_TRUE(items.contains(QStringLiteral("&Elimina"))) << items.join(u'|').toStdString();
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
        EXPECT_FALSE(w->Context->isVisible());
    }
}

namespace {

// A command on a flow that another workstation replaced after the list was
// filled: its register row deleted and a new one filed under the same date
// and number (the day's next number is its highest plus one), or a column
// changed, or the row deleted. The other workstation is another process
// (python3's sqlite3); it acts while the user reads the command's question
// or, for a command that asks nothing, before it is chosen.
struct ReplacedFlow {
    const char *name;
    const char *caption;
    qint32 riga;
    const char *sql;
    bool whileAsked;
    std::vector<Message> told;
};

void PrintTo(const ReplacedFlow &c, std::ostream *os) { *os << c.name; }

class ReplacedFlowTest : public ContextTest, public ::testing::WithParamInterface<ReplacedFlow> {
protected:
    // Every register row, every column, Null as <null>.
    QStringList registerRows()
    {
        return testsupport::rowsOf(db, "SELECT * FROM Corbix ORDER BY Posizione, Data, Progressivo");
    }
    QStringList declarations()
    {
        QStringList states;
        for (qint32 indice : {12, 13, 14, 15})
            states << QStringLiteral("%1:%2").arg(indice).arg(stato1(indice, D1).toString());
        return states;
    }
};

// The other workstation's flow 05/03 n. 2, filed after it deleted the one
// this list shows: its declaration 15, its own archive copy under the same name.
const char *const OtherFlow2 =
    "DELETE FROM Corbix WHERE Posizione = 3 AND Data = '2024-03-05' AND Progressivo = 2;"
    "INSERT INTO Corbix (Posizione, Data, Progressivo, NomeFile, CompostoDa, Stato, Tipo, RifFloppy, FattoDa) "
    "VALUES (3, '2024-03-05', 2, 'C:\\Corbix\\Corbix inviati\\CX0002', '15-05/03/2024-RIF0015' || char(13, 10), 1, 2, "
    "NULL, 'XYZ')";
// The same for 05/03 n. 1, a removable-medium flow with another medium name.
const char *const OtherFlow1 =
    "DELETE FROM Corbix WHERE Posizione = 3 AND Data = '2024-03-05' AND Progressivo = 1;"
    "INSERT INTO Corbix (Posizione, Data, Progressivo, NomeFile, CompostoDa, Stato, Tipo, RifFloppy, FattoDa) "
    "VALUES (3, '2024-03-05', 1, 'C:\\Corbix\\Corbix inviati\\CX0001', '15-05/03/2024-RIF0015' || char(13, 10), 1, 1, "
    "'PRATICHE.009', 'XYZ')";

}  // namespace

TEST_P(ReplacedFlowTest, NothingIsDoneToTheFlowAndTheListIsRefreshed)
{
    const ReplacedFlow &c = GetParam();
    addDeclaration(15, D1, 2);
    const QByteArray othersCopy = "altra postazione\r\n";
    QStringList rowsLeft;
    const auto otherWorkstation = [&] {
        ASSERT_EQ(testsupport::otherProcessWrites(onC("Archivio.mdb"), QString::fromUtf8(c.sql)), 0);
        tmp_.write(c.riga == 2 ? "c/Corbix/Corbix inviati/CX0002" : "c/Corbix/Corbix inviati/CX0001", othersCopy);
        rowsLeft = registerRows();
    };
    if (c.whileAsked)
        boxes.whileShown = [&](const Message &) {
            if (boxes.shown.size() == 1)
                otherWorkstation();
        };
    else
        otherWorkstation();
    platform::RecordingPagePrinter printer;
    platform::ScopedPagePrinter guard(printer);
    boxes.answer(c.whileAsked && QString::fromUtf8(c.caption) == "&Riproduci" ? MsgResult::OK : MsgResult::Yes);

    choose(c.riga, QString::fromUtf8(c.caption));

    EXPECT_EQ(shown(), c.told);
    EXPECT_EQ(registerRows(), rowsLeft) << "the other workstation's rows as it left them";
    EXPECT_EQ(declarations(), (QStringList{"12:2", "13:2", "14:2", "15:2"}));
    EXPECT_EQ(bytes(onC(c.riga == 2 ? "Corbix/Corbix inviati/CX0002" : "Corbix/Corbix inviati/CX0001")), othersCopy);
    EXPECT_TRUE(entries(onC("floppy")).isEmpty());
    EXPECT_TRUE(printer.lines().empty());
    // The list shows the register as it is now.
    QStringList rows;
    for (int r = 0; r < w->grdHistory->rowCount(); ++r) {
        flowengine::DatiCorbex flow;
        ASSERT_TRUE(uimain::FlussoRigaGriglia(w->grdHistory, r, flow));
        flowengine::DatiCorbex stored = flow;
        EXPECT_FALSE(flowengine::CaricaCorbex(stored)) << r;
        EXPECT_EQ(flow, stored) << r;
        rows << w->grdHistory->item(r, 0)->text() + u' ' + w->grdHistory->item(r, 1)->text();
    }
    EXPECT_EQ(rows.size(), rowsLeft.size());
}

namespace {

const char *const ChangedState = "UPDATE Corbix SET Stato = 2 WHERE Posizione = 3 AND Data = '2024-03-05' AND Progressivo = 2";
const char *const Deleted = "DELETE FROM Corbix WHERE Posizione = 3 AND Data = '2024-03-05' AND Progressivo = 2";
const Message Riproduci{inserisci, "Corbix doganali", MsgIcon::Information, MsgButtons::OKCancel, 1};
const Message Gone = info(gone);

}  // namespace

INSTANTIATE_TEST_SUITE_P(
    Commands, ReplacedFlowTest,
    ::testing::Values(
        ReplacedFlow{"DeleteOfAFlowFiledAgainUnderItsNumber", "&Elimina", 2, OtherFlow2, true,
                     {question(elimina), Gone}},
        ReplacedFlow{"CancelOfAFlowFiledAgainUnderItsNumber", "&Annulla", 2, OtherFlow2, true,
                     {question(annulla), Gone}},
        ReplacedFlow{"DeleteOfAFlowWhoseStateChanged", "&Elimina", 2, ChangedState, true,
                     {question(elimina), Gone}},
        ReplacedFlow{"CancelOfAFlowDeleted", "&Annulla", 2, Deleted, true, {question(annulla), Gone}},
        ReplacedFlow{"RewriteOfAFlowFiledAgainWhileTheMediumIsAskedFor", "&Riproduci", 3, OtherFlow1, true,
                     {Riproduci, Gone}},
        ReplacedFlow{"DispatchListOfAFlowFiledAgain", "&Stampa distinta", 3, OtherFlow1, false, {Gone}}),
    [](const ::testing::TestParamInfo<ReplacedFlow> &p) { return std::string(p.param.name); });
