// The framework's modes, search, save and delete, on the customs
// compartments screen, which follows it without differences.
#include "fixture.h"
#include "platform/dao/connection.h"
#include "support/smalldisk.h"
#include "ui/tables/frmcompartdog.h"

#include <QFocusEvent>

using uitables::DataControl;
using uitables::frmCompartDog;

namespace {

const QString Tag = QStringLiteral("TableName=CompDog;UpDatable=True;Deletable=True");
const QString Caption = QStringLiteral("Gestione compartimenti doganali");
const QString Nessuna = QStringLiteral("Nessuna informazione corrisponde al criterio di ricerca indicato.");
const QString NonViSonoPiu =
    QStringLiteral("Non vi sono piu' record nella selezione corrente: verrà reimpostata la modalità di ricerca.");

class Framework : public TablesTest {
protected:
    Framework()
    {
        db.execute(QStringLiteral("INSERT INTO Stati (Codice, Descrizione) VALUES ('IT', 'ITALIA'), ('FR', 'FRANCIA')"));
        db.execute(QStringLiteral("INSERT INTO Province (Codice, Descrizione) VALUES ('MI', 'MILANO')"));
    }
    void compartimento(const char *stato, const char *codice, const char *nome, const QVariant &provincia = {},
                       const QVariant &ced = {})
    {
        db.execute(QStringLiteral("INSERT INTO CompDog (Stato, Codice, Descrizione, Provincia, CED) VALUES (?, ?, ?, ?, ?)"),
                   {QString::fromUtf8(stato), QString::fromUtf8(codice), QString::fromUtf8(nome), provincia, ced},
                   dao::FailOnError);
    }
    void treCompartimenti()
    {
        compartimento("IT", "01", "TORINO");
        compartimento("IT", "02", "GENOVA");
        compartimento("IT", "03", "MILANO", QStringLiteral("MI"), QStringLiteral("CED3"));
    }
    // The screen in add mode, with the compartment IT/09 SAVONA entered.
    void nuovoSavona(frmCompartDog &w)
    {
        clickAsUser(w.cmdAdd);
        ASSERT_EQ(w.Modalita, ModoAggiunta);
        w.txtStato->setText(QStringLiteral("IT"));
        w.txtCodice->setText(QStringLiteral("09"));
        w.txtDescrizione->setText(QStringLiteral("SAVONA"));
    }
    QStringList righe()
    {
        QStringList out;
        auto rs = db.openRecordset(QStringLiteral("SELECT * FROM CompDog ORDER BY Stato, Codice"));
        for (; !rs->eof(); rs->moveNext()) {
            QStringList r;
            for (const char *c : {"Stato", "Codice", "Descrizione", "Provincia", "CED"}) {
                const QVariant v = rs->value(QString::fromUtf8(c));
                r << (v.isNull() ? QStringLiteral("<null>") : v.toString());
            }
            out << r.join(u'|');
        }
        return out;
    }
    // Search mode by the toggle, then the Find.
    void trova(frmCompartDog &w, const QString &stato = {}, const QString &codice = {})
    {
        clickAsUser(w.cmdSearch);
        w.txtStato->setText(stato);
        w.txtCodice->setText(codice);
        clickAsUser(w.cmdVirtual);
    }
};

TEST_F(Framework, StartModesFollowTheTag)
{
    struct Case {
        const char *startUp;
        Modo modalita;
        bool addPressed;
    } cases[] = {{"", ModoInattivo, false}, {";StartUp=N", ModoInattivo, false}, {";StartUp=Q", ModoRicerca, false},
                 {";StartUp=A", ModoAggiunta, true}, {";StartUp=Z", ModoInattivo, false}};
    for (const Case &c : cases) {
        auto w = apri<frmCompartDog>(Tag + QString::fromUtf8(c.startUp));
        EXPECT_EQ(w->Modalita, c.modalita) << c.startUp;
        EXPECT_EQ(w->cmdAdd->isChecked(), c.addPressed) << c.startUp;
        EXPECT_EQ(w->bloccato(w->cmdAdd), c.addPressed) << c.startUp;
        EXPECT_FALSE(w->PrimaAttivazione);
    }
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Framework, PropertyNamesMatchWithoutCase)
{
    auto w = apri<frmCompartDog>(QStringLiteral("TableName=CompDog;newSearch=False;autoupdate=True"));
    EXPECT_EQ(common::GetProperty(w->Parametri, QStringLiteral("NewSearch")), QVariant(false));
    EXPECT_EQ(common::GetProperty(w->Parametri, QStringLiteral("AutoUpDate")), QVariant(true));
    EXPECT_EQ(common::GetProperty(w->Parametri, QStringLiteral("MultiAdd")), QVariant(true));
}

TEST_F(Framework, ABadTagIsReportedAndTheScreenStaysIdle)
{
    auto w = apri<frmCompartDog>(QStringLiteral("TableName=CompDog;Colore=Rosso;StartUp=A"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "'Colore': proprietà inesistente.");
    EXPECT_EQ(w->Modalita, ModoInattivo);
    EXPECT_FALSE(w->txtStato->isEnabled());
}

TEST_F(Framework, IdleLayout)
{
    auto w = apri<frmCompartDog>(Tag);
    EXPECT_EQ(w->LarghezzaPulsante, 965);  // (6105 - 45) / 6 - 45
    EXPECT_EQ(w->Margine, 45);
    EXPECT_EQ(slot(*w, w->cmdSearch), 1);
    EXPECT_EQ(slot(*w, w->cmdAdd), 2);
    EXPECT_EQ(slot(*w, w->cmdCancel), 6);
    EXPECT_TRUE(w->cmdSearch->isEnabled());
    EXPECT_FALSE(w->cmdSearch->isChecked());
    EXPECT_TRUE(fuoriVista(w->cmdVirtual));
    EXPECT_TRUE(fuoriVista(w->cmdVirtual1));
    EXPECT_FALSE(w->dtaLocal->isVisible());
    for (QWidget *c : std::initializer_list<QWidget *>{w->txtStato, w->lblStato, w->txtCED, w->lblCED})
        EXPECT_FALSE(c->isEnabled()) << c->objectName().toStdString();
}

TEST_F(Framework, FindWithEveryFieldEmptyBrowsesTheWholeTable)
{
    treCompartimenti();
    auto w = apri<frmCompartDog>(Tag);
    trova(*w);
    EXPECT_EQ(w->Modalita, ModoConsultazione);
    EXPECT_EQ(common::GetProperty(w->Parametri, QStringLiteral("WhereCondition")), QVariant(QString()));
    EXPECT_EQ(w->dtaLocal->Caption(), "1/3");
    EXPECT_EQ(w->txtDescrizione->text(), "TORINO");
    EXPECT_EQ(w->lblDecStato->text(), "ITALIA");
    EXPECT_TRUE(w->txtStato->isReadOnly());
    EXPECT_TRUE(w->txtCED->isReadOnly());
    EXPECT_TRUE(w->cmdSearch->isChecked());
    EXPECT_EQ(w->cmdVirtual->text(), "&Aggiorna");
    EXPECT_EQ(slot(*w, w->dtaLocal), 3);
    EXPECT_EQ(slot(*w, w->cmdVirtual1), 5);
    EXPECT_TRUE(fuoriVista(w->cmdAdd));
    w->dtaLocal->MoveLast();
    EXPECT_EQ(w->dtaLocal->Caption(), "3/3");
    EXPECT_EQ(w->txtProvincia->text(), "MI");
    EXPECT_EQ(w->lblDecProvincia->text(), "MILANO");
    EXPECT_EQ(w->txtCED->text(), "CED3");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Framework, FindJoinsTheFilledFieldsInClauseOrderWithBoundValues)
{
    treCompartimenti();
    compartimento("FR", "10", "PARIGI");
    auto w = apri<frmCompartDog>(Tag);
    trova(*w, QStringLiteral("IT"), QStringLiteral("0"));
    EXPECT_EQ(common::GetProperty(w->Parametri, QStringLiteral("WhereCondition")),
              QVariant(QStringLiteral("JetLike(Codice, ?) AND JetLike(Stato, ?)")));
    EXPECT_EQ(w->ValoriCondizione, (QVariantList{QStringLiteral("*0*"), QStringLiteral("*IT*")}));
    EXPECT_EQ(w->dtaLocal->Caption(), "1/3");
}

TEST_F(Framework, AQuoteTypedInASearchIsOnlyACharacter)
{
    treCompartimenti();
    auto w = apri<frmCompartDog>(Tag);
    clickAsUser(w->cmdSearch);
    w->txtDescrizione->setText(QStringLiteral("\" OR \"\"=\""));
    clickAsUser(w->cmdVirtual);
    EXPECT_EQ(boxes.shown, (std::vector<platform::Message>{info(Nessuna, Caption)}));
    EXPECT_EQ(w->Modalita, ModoRicerca);
    EXPECT_FALSE(w->isHidden());
}

TEST_F(Framework, AnEmptyResultHidesTheScreenWithoutNewSearch)
{
    auto w = apri<frmCompartDog>(Tag + QStringLiteral(";NewSearch=False"));
    trova(*w, QStringLiteral("XX"));
    EXPECT_EQ(boxes.shown, (std::vector<platform::Message>{info(Nessuna, Caption)}));
    EXPECT_TRUE(w->isHidden());
    EXPECT_EQ(w->Modalita, ModoConsultazione);
}

TEST_F(Framework, AutoUpdateWithOneRowGoesStraightToModify)
{
    treCompartimenti();
    auto w = apri<frmCompartDog>(Tag + QStringLiteral(";AutoUpDate=True"));
    trova(*w, QString(), QStringLiteral("03"));
    EXPECT_EQ(w->Modalita, ModoModifica);
    EXPECT_TRUE(w->txtStato->isReadOnly());
    EXPECT_TRUE(w->txtCodice->isReadOnly());
    EXPECT_FALSE(w->txtDescrizione->isReadOnly());
    EXPECT_EQ(w->txtDescrizione->text(), "MILANO");
    EXPECT_EQ(w->cmdSearch->text(), "Aggiorna");
    EXPECT_EQ(w->cmdVirtual->text(), "&Ok");

    auto two = apri<frmCompartDog>(Tag + QStringLiteral(";AutoUpDate=True"));
    trova(*two, QStringLiteral("IT"), QStringLiteral("0"));
    EXPECT_EQ(two->Modalita, ModoConsultazione);
    EXPECT_EQ(two->dtaLocal->Caption(), "1/3");
}

TEST_F(Framework, ASavedModificationShowsTheSameSelectionRefreshed)
{
    treCompartimenti();
    auto w = apri<frmCompartDog>(Tag);
    trova(*w, QStringLiteral("IT"));
    w->dtaLocal->MoveNext();
    clickAsUser(w->cmdVirtual);
    ASSERT_EQ(w->Modalita, ModoModifica);
    w->txtDescrizione->setText(QStringLiteral("  GENOVA PORTO "));
    w->txtProvincia->setText(QStringLiteral("mi"));
    clickAsUser(w->cmdVirtual);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(w->Modalita, ModoConsultazione);
    EXPECT_EQ(w->dtaLocal->Caption(), "1/3");
    EXPECT_EQ(w->txtDescrizione->text(), "TORINO");
    EXPECT_EQ(common::GetProperty(w->Parametri, QStringLiteral("WhereCondition")),
              QVariant(QStringLiteral("JetLike(Stato, ?)")));
    EXPECT_EQ(righe(), (QStringList{"IT|01|TORINO|<null>|<null>", "IT|02|GENOVA PORTO|MI|<null>",
                                    "IT|03|MILANO|MI|CED3"}));
}

TEST_F(Framework, CancelInModifyDropsTheEdits)
{
    treCompartimenti();
    auto w = apri<frmCompartDog>(Tag);
    trova(*w);
    w->dtaLocal->MoveLast();
    clickAsUser(w->cmdVirtual);
    w->txtDescrizione->setText(QStringLiteral("ALTRO"));
    clickAsUser(w->cmdCancel);
    EXPECT_EQ(w->Modalita, ModoConsultazione);
    EXPECT_EQ(w->txtDescrizione->text(), "TORINO");
    EXPECT_EQ(w->dtaLocal->Caption(), "1/3");
    EXPECT_EQ(righe()[2], "IT|03|MILANO|MI|CED3");
}

TEST_F(Framework, AModifyThatMeetsALockStaysInModify)
{
    treCompartimenti();
    auto w = apri<frmCompartDog>(Tag);
    trova(*w);
    clickAsUser(w->cmdVirtual);
    w->txtDescrizione->setText(QStringLiteral("ALTRO"));
    testsupport::OtherProgram other(onC(QStringLiteral("Archivio.mdb")));
    // The checks read first; the lock comes when the row is opened to write.
    w->VerificaGlobale();
    ASSERT_EQ(other.exec("BEGIN IMMEDIATE"), SQLITE_OK);
    clickAsUser(w->cmdVirtual);
    other.exec("ROLLBACK");
    EXPECT_EQ(w->Modalita, ModoModifica);
    EXPECT_EQ(w->txtDescrizione->text(), "ALTRO");
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_EQ(boxes.shown.back().text,
              "I dati richiesti nell'interrogazione 'SELECT * FROM CompDog WHERE Stato = \"IT\" AND Codice = \"01\"' "
              "risultano bloccati da troppo tempo. Chiudere e riavviare tutte le applicazioni che accedono alla base "
              "di dati 'C:\\Archivio.mdb'.");
    EXPECT_GE(clock.monotonicMs(), 60'000);
    EXPECT_EQ(righe()[0], "IT|01|TORINO|<null>|<null>");
}

TEST_F(Framework, DeletingTheLastRowShowsTheOneBefore)
{
    treCompartimenti();
    auto w = apri<frmCompartDog>(Tag);
    trova(*w);
    w->dtaLocal->MoveLast();
    boxes.answer(platform::MsgResult::Yes);
    clickAsUser(w->cmdVirtual1);
    EXPECT_EQ(boxes.shown, (std::vector<platform::Message>{conferma(Caption)}));
    EXPECT_EQ(w->dtaLocal->Caption(), "2/2");
    EXPECT_EQ(w->txtDescrizione->text(), "GENOVA");
    EXPECT_TRUE(w->cmdVirtual->isEnabled());
    EXPECT_TRUE(w->cmdVirtual1->isEnabled());
    EXPECT_TRUE(w->cmdCancel->isEnabled());
    EXPECT_EQ(righe().size(), 2);
}

TEST_F(Framework, DeletingTheOnlyRowReturnsToSearch)
{
    compartimento("IT", "01", "TORINO");
    auto w = apri<frmCompartDog>(Tag);
    trova(*w);
    EXPECT_EQ(w->dtaLocal->Caption(), "1/1");
    boxes.answer(platform::MsgResult::Yes);
    clickAsUser(w->cmdVirtual1);
    EXPECT_EQ(boxes.shown, (std::vector<platform::Message>{conferma(Caption), info(NonViSonoPiu, Caption)}));
    EXPECT_EQ(w->Modalita, ModoRicerca);
    EXPECT_EQ(w->UltimaOperazione, 0);
    EXPECT_TRUE(righe().isEmpty());
}

// Another program deleted rows of the selection while it was shown: the
// deletion of one of them is told, and the screen shows what is there.
TEST_F(Framework, DeletingARowAnotherProgramDeletedIsToldAndTheSelectionReadAgain)
{
    treCompartimenti();
    compartimento("FR", "04", "LIONE");
    auto w = apri<frmCompartDog>(Tag);
    trova(*w, QStringLiteral("IT"));
    ASSERT_EQ(w->dtaLocal->Caption(), "1/3");
    w->dtaLocal->MoveNext();
    ASSERT_EQ(w->txtDescrizione->text(), "GENOVA");
    testsupport::OtherProgram other(onC(QStringLiteral("Archivio.mdb")));
    ASSERT_EQ(other.exec("DELETE FROM CompDog WHERE Codice IN ('01', '02')"), SQLITE_OK);
    boxes.answer(platform::MsgResult::Yes);
    clickAsUser(w->cmdVirtual1);
    EXPECT_EQ(boxes.shown,
              (std::vector<platform::Message>{
                  conferma(Caption),
                  info(QStringLiteral("Impossibile eliminare il record dall'archivio: il record visualizzato non risulta "
                                      "più presente."),
                       Caption)}));
    // The one row left of the selection, counted as one.
    EXPECT_EQ(w->Modalita, ModoConsultazione);
    EXPECT_EQ(w->dtaLocal->Caption(), "1/1");
    EXPECT_EQ(w->txtDescrizione->text(), "MILANO");
    EXPECT_TRUE(w->cmdVirtual->isEnabled());
    EXPECT_TRUE(w->cmdVirtual1->isEnabled());
    EXPECT_TRUE(w->cmdCancel->isEnabled());

    // The last one gone too: the selection is empty, as after deleting it.
    ASSERT_EQ(other.exec("DELETE FROM CompDog WHERE Codice = '03'"), SQLITE_OK);
    boxes.shown.clear();
    boxes.answer(platform::MsgResult::Yes);
    clickAsUser(w->cmdVirtual1);
    ASSERT_EQ(boxes.shown.size(), 3u);
    EXPECT_EQ(boxes.shown[2], info(NonViSonoPiu, Caption));
    EXPECT_EQ(w->Modalita, ModoRicerca);
    EXPECT_EQ(righe(), (QStringList{"FR|04|LIONE|<null>|<null>"}));
}

TEST_F(Framework, AnsweringNoDeletesNothing)
{
    treCompartimenti();
    auto w = apri<frmCompartDog>(Tag + QStringLiteral(";UpDatable=False"));
    trova(*w);
    EXPECT_FALSE(w->cmdVirtual->isEnabled());
    boxes.answer(platform::MsgResult::No);
    clickAsUser(w->cmdVirtual1);
    EXPECT_EQ(boxes.shown, (std::vector<platform::Message>{conferma(Caption)}));
    EXPECT_EQ(righe().size(), 3);
    EXPECT_TRUE(w->cmdVirtual1->isEnabled());
    EXPECT_TRUE(w->cmdCancel->isEnabled());
    // The modify button keeps the state the property gives it.
    EXPECT_FALSE(w->cmdVirtual->isEnabled());
}

TEST_F(Framework, ACompartmentInUseByAnOfficeOfItsCountryIsKept)
{
    treCompartimenti();
    compartimento("FR", "02", "LIONE");
    db.execute(QStringLiteral("INSERT INTO Dogane (Codice, CodiceComp, Stato) VALUES ('FR0201', '02', 'FR')"));
    auto w = apri<frmCompartDog>(Tag);
    trova(*w, QString(), QStringLiteral("02"));
    w->dtaLocal->MoveNext();
    ASSERT_EQ(w->txtStato->text(), "FR");
    boxes.answer(platform::MsgResult::Yes);
    clickAsUser(w->cmdVirtual1);
    EXPECT_EQ(boxes.shown,
              (std::vector<platform::Message>{
                  conferma(Caption),
                  info(QStringLiteral("Impossibile eliminare il record attualmente visualizzato poichè risulta essere "
                                      "una codifica attiva nella tabella delle doganane."),
                       Caption),
                  info(QStringLiteral("Impossibile eliminare il record correntemente selezionato poichè esso risulta "
                                      "usato come codifica attiva."),
                       Caption)}));
    EXPECT_EQ(righe().size(), 4);
    // The Italian compartment 02 has no office of its own country.
    w->dtaLocal->MovePrevious();
    ASSERT_EQ(w->txtStato->text(), "IT");
    boxes.shown.clear();
    boxes.answer(platform::MsgResult::Yes);
    clickAsUser(w->cmdVirtual1);
    EXPECT_EQ(boxes.shown, (std::vector<platform::Message>{conferma(Caption)}));
    EXPECT_EQ(w->dtaLocal->Caption(), "1/1");
    EXPECT_EQ(w->txtStato->text(), "FR");
    EXPECT_EQ(righe(), (QStringList{"FR|02|LIONE|<null>|<null>", "IT|01|TORINO|<null>|<null>",
                                    "IT|03|MILANO|MI|CED3"}));
}

// Another program reads the archive through the whole save of a new row:
// the commit is refused. The screen holds no lock afterwards, the archive is
// as it was, and the screen stays in add mode with the typed values, as after
// a duplicate; nothing of the refused save reaches the archive later.
TEST_F(Framework, ASaveRefusedAtCommitKeepsTheModeAndTheTypedValues)
{
    treCompartimenti();
    auto w = apri<frmCompartDog>(Tag);
    ASSERT_NO_FATAL_FAILURE(nuovoSavona(*w));
    testsupport::OtherProgram other(onC(QStringLiteral("Archivio.mdb")));
    ASSERT_EQ(other.exec("BEGIN; SELECT * FROM CompDog"), SQLITE_OK);
    clickAsUser(w->cmdVirtual);
    EXPECT_NE(sqlite3_get_autocommit(db.connection().handle()), 0) << "no transaction is left open";
    EXPECT_EQ(other.exec("COMMIT"), SQLITE_OK);
    EXPECT_EQ(other.exec("BEGIN IMMEDIATE"), SQLITE_OK) << "no lock of ours is left";
    EXPECT_EQ(other.exec("ROLLBACK"), SQLITE_OK);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Errore di Run-time 3218\r\nImpossibile aggiornare. Attualmente bloccato.");
    EXPECT_EQ(boxes.shown[0], (platform::Message{boxes.shown[0].text, Caption, platform::MsgIcon::Critical,
                                                 platform::MsgButtons::OK, 1}));
    EXPECT_EQ(w->Modalita, ModoAggiunta);
    EXPECT_EQ(w->txtStato->text(), "IT");
    EXPECT_EQ(w->txtCodice->text(), "09");
    EXPECT_EQ(w->txtDescrizione->text(), "SAVONA");
    ASSERT_EQ(other.exec("SELECT Codice FROM CompDog ORDER BY Codice"), SQLITE_OK);
    EXPECT_EQ(other.lastRows, (QStringList{"01", "02", "03"}));

    db.execute(QStringLiteral("UPDATE CompDog SET CED = 'X' WHERE Codice = '02'"), {}, dao::FailOnError);
    ASSERT_EQ(other.exec("SELECT Codice, CED FROM CompDog ORDER BY Codice"), SQLITE_OK);
    EXPECT_EQ(other.lastRows, (QStringList{"01|", "02|X", "03|CED3"}));
}

TEST_F(Framework, AddingStaysInAddModeWithClearedFields)
{
    auto w = apri<frmCompartDog>(Tag);
    clickAsUser(w->cmdAdd);
    ASSERT_EQ(w->Modalita, ModoAggiunta);
    EXPECT_TRUE(w->bloccato(w->cmdAdd));
    EXPECT_TRUE(fuoriVista(w->cmdSearch));
    EXPECT_EQ(w->cmdVirtual->text(), "&OK");
    digita(w->txtStato, QStringLiteral("it"));
    w->txtCodice->setText(QStringLiteral("07"));
    w->txtDescrizione->setText(QStringLiteral("Venezia"));
    digita(w->txtCED, QStringLiteral("ab12"));
    clickAsUser(w->cmdVirtual);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(righe(), (QStringList{"IT|07|Venezia|<null>|AB12"}));
    EXPECT_EQ(w->Modalita, ModoAggiunta);
    EXPECT_EQ(w->txtStato->text(), "");
    EXPECT_EQ(w->lblDecStato->text(), "");

    // The toggle stays pressed while the screen is in add mode.
    clickAsUser(w->cmdAdd);
    EXPECT_TRUE(w->cmdAdd->isChecked());
    clickAsUser(w->cmdCancel);
    EXPECT_EQ(w->Modalita, ModoInattivo);
    EXPECT_FALSE(w->cmdAdd->isChecked());
}

TEST_F(Framework, ADuplicateKeepsTheScreenWithTheTypedValues)
{
    treCompartimenti();
    auto w = apri<frmCompartDog>(Tag);
    clickAsUser(w->cmdAdd);
    w->txtStato->setText(QStringLiteral("IT"));
    w->txtCodice->setText(QStringLiteral("02"));
    w->txtDescrizione->setText(QStringLiteral("SAVONA"));
    clickAsUser(w->cmdVirtual);
    EXPECT_EQ(boxes.shown,
              (std::vector<platform::Message>{info(
                  QStringLiteral("Impossibile registrare i dati nell'archivio: il codice tributo '02' risulta già definito"),
                  Caption)}));
    EXPECT_EQ(w->Modalita, ModoAggiunta);
    EXPECT_EQ(w->txtDescrizione->text(), "SAVONA");
    EXPECT_EQ(righe()[1], "IT|02|GENOVA|<null>|<null>");
}

TEST_F(Framework, AddModeFromTheStartClosesAfterOneAddition)
{
    auto w = apri<frmCompartDog>(QStringLiteral("TableName=CompDog;StartUp=A;MultiAdd=False;NewSearch=False"));
    w->txtStato->setText(QStringLiteral("FR"));
    w->txtCodice->setText(QStringLiteral("10"));
    w->txtDescrizione->setText(QStringLiteral("PARIGI"));
    clickAsUser(w->cmdVirtual);
    EXPECT_TRUE(w->Scaricata);
    EXPECT_TRUE(w->isHidden());
    EXPECT_EQ(righe(), (QStringList{"FR|10|PARIGI|<null>|<null>"}));

    auto cancelled = apri<frmCompartDog>(QStringLiteral("TableName=CompDog;StartUp=A;NewSearch=False"));
    clickAsUser(cancelled->cmdCancel);
    EXPECT_TRUE(cancelled->Scaricata);
}

TEST_F(Framework, LeavingAFieldInSearchModeNeverTurnsItRed)
{
    auto w = apri<frmCompartDog>(Tag);
    clickAsUser(w->cmdSearch);
    QTest::mouseClick(w->txtCodice, Qt::LeftButton);
    keyClicksAsUser(w->txtCodice, QStringLiteral("7A"));
    EXPECT_EQ(colore(w->txtCodice), cyan());
    keyClickAsUser(w->txtCodice, Qt::Key_Tab);
    EXPECT_EQ(colore(w->txtCodice), finestra());
    EXPECT_EQ(w->txtCodice->text(), "7A");
}

TEST_F(Framework, TabAndClicksLeaveAFieldOnceAndHighlightTheNext)
{
    auto w = apri<frmCompartDog>(Tag);
    clickAsUser(w->cmdAdd);
    ASSERT_EQ(QApplication::focusWidget(), w->txtStato);
    EXPECT_EQ(colore(w->txtStato), cyan());
    keyClicksAsUser(w->txtStato, QStringLiteral("xx"));
    keyClickAsUser(w->txtStato, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), w->txtCodice);
    EXPECT_EQ(colore(w->txtStato), rosso());
    EXPECT_EQ(colore(w->txtCodice), cyan());
    keyClicksAsUser(w->txtCodice, QStringLiteral(" 7 "));
    // A click on another field leaves this one: trimmed and checked.
    QTest::mouseClick(w->txtDescrizione, Qt::LeftButton);
    EXPECT_EQ(w->txtCodice->text(), "7");
    EXPECT_EQ(colore(w->txtCodice), rosso());
    EXPECT_EQ(colore(w->txtDescrizione), cyan());
    // Shift+Tab goes back; the field it leaves is checked, the one it
    // enters is only highlighted.
    keyClickAsUser(w->txtDescrizione, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), w->txtCodice);
    EXPECT_EQ(colore(w->txtDescrizione), rosso());
    EXPECT_EQ(colore(w->txtCodice), cyan());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Framework, TheDataControlBrowsesTheWholeResultAfterEverySearch)
{
    treCompartimenti();
    auto w = apri<frmCompartDog>(Tag);
    for (int giro = 0; giro < 2; ++giro) {
        clickAsUser(w->cmdSearch);
        keyClicksAsUser(w->txtStato, QStringLiteral("it"));
        clickAsUser(w->cmdVirtual);
        ASSERT_EQ(w->Modalita, ModoConsultazione);
        EXPECT_TRUE(w->dtaLocal->isVisible());
        EXPECT_TRUE(w->dtaLocal->isEnabled());
        EXPECT_EQ(w->dtaLocal->Caption(), "1/3");
        const struct {
            QToolButton *DataControl::*button;
            const char *caption;
            const char *nome;
        } passi[] = {{&DataControl::cmdNext, "2/3", "GENOVA"},   {&DataControl::cmdNext, "3/3", "MILANO"},
                     {&DataControl::cmdNext, "3/3", "MILANO"},   {&DataControl::cmdPrevious, "2/3", "GENOVA"},
                     {&DataControl::cmdFirst, "1/3", "TORINO"},  {&DataControl::cmdPrevious, "1/3", "TORINO"},
                     {&DataControl::cmdLast, "3/3", "MILANO"}};
        for (const auto &passo : passi) {
            clickAsUser((*w->dtaLocal).*passo.button);
            EXPECT_EQ(w->dtaLocal->Caption(), passo.caption);
            EXPECT_EQ(w->txtDescrizione->text(), passo.nome);
        }
        // The row reached is the one modified.
        clickAsUser(w->cmdVirtual);
        ASSERT_EQ(w->Modalita, ModoModifica);
        w->txtCED->setText(QStringLiteral("CED%1").arg(giro));
        clickAsUser(w->cmdVirtual);
        EXPECT_EQ(righe()[2], QStringLiteral("IT|03|MILANO|MI|CED%1").arg(giro));
        clickAsUser(w->cmdCancel);
    }
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Framework, ASearchFindsWhatTheSystemsPatternsFind)
{
    compartimento("IT", "01", "TORINO");
    compartimento("IT", "02", "50% PORTO");
    compartimento("IT", "03", "A_B");
    compartimento("IT", "04", "C:\\DOGANA");
    compartimento("IT", "05", "PORTO 7");
    const struct {
        const char *cercato;
        QStringList trovati;
    } casi[] = {
        {"%", {"50% PORTO"}},        {"_", {"A_B"}},       {"\\", {"C:\\DOGANA"}},     {"t?rino", {"TORINO"}},
        {"o*o", {"TORINO", "50% PORTO", "PORTO 7"}},       {"porto #", {"PORTO 7"}},  {"[a-b]_", {"A_B"}},
        {"[!a-z]", {"50% PORTO", "A_B", "C:\\DOGANA", "PORTO 7"}},
    };
    auto w = apri<frmCompartDog>(Tag);
    for (const auto &caso : casi) {
        clickAsUser(w->cmdSearch);
        QTest::mouseClick(w->txtDescrizione, Qt::LeftButton);
        keyClicksAsUser(w->txtDescrizione, QString::fromUtf8(caso.cercato));
        clickAsUser(w->cmdVirtual);
        QStringList trovati;
        for (int k = 0; w->Modalita == ModoConsultazione && k < w->dtaLocal->Recordset()->recordCount(); ++k) {
            clickAsUser(k == 0 ? w->dtaLocal->cmdFirst : w->dtaLocal->cmdNext);
            trovati << w->txtDescrizione->text();
        }
        EXPECT_EQ(trovati, caso.trovati) << caso.cercato;
        clickAsUser(w->cmdCancel);
    }
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Framework, EscapeDoesWhatCancelDoesInEachMode)
{
    treCompartimenti();
    auto w = apri<frmCompartDog>(Tag);
    clickAsUser(w->cmdAdd);
    keyClicksAsUser(w->txtStato, QStringLiteral("FR"));
    keyClickAsUser(w->txtStato, Qt::Key_Escape);
    EXPECT_EQ(w->Modalita, ModoInattivo);
    EXPECT_FALSE(w->Scaricata);
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(righe().size() == 3);

    clickAsUser(w->cmdSearch);
    clickAsUser(w->cmdVirtual);
    clickAsUser(w->cmdVirtual);
    ASSERT_EQ(w->Modalita, ModoModifica);
    QTest::mouseClick(w->txtDescrizione, Qt::LeftButton);
    keyClicksAsUser(w->txtDescrizione, QStringLiteral(" NUOVA"));
    const Modo modi[] = {ModoConsultazione, ModoRicerca, ModoInattivo};
    for (Modo modo : modi) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_EQ(w->Modalita, modo);
        EXPECT_TRUE(w->isVisible());
    }
    EXPECT_EQ(righe()[0], "IT|01|TORINO|<null>|<null>");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_TRUE(w->Scaricata);
    EXPECT_FALSE(w->isVisible());

    // Where Cancel closes the screen, so does Escape.
    auto aggiunta = apri<frmCompartDog>(QStringLiteral("TableName=CompDog;StartUp=A;NewSearch=False"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_TRUE(aggiunta->Scaricata);
}

TEST_F(Framework, AnAccessKeyLeavesTheFieldBeforeItsButtonActs)
{
    treCompartimenti();
    auto w = apri<frmCompartDog>(Tag);
    clickAsUser(w->cmdSearch);
    QTest::mouseClick(w->txtCodice, Qt::LeftButton);
    keyClicksAsUser(w->txtCodice, QStringLiteral("03"));
    keyClickAsUser(w->txtCodice, Qt::Key_T, Qt::AltModifier);
    ASSERT_EQ(w->Modalita, ModoConsultazione);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::AltModifier);
    ASSERT_EQ(w->Modalita, ModoModifica);
    QTest::mouseClick(w->txtCED, Qt::LeftButton);
    keyClickAsUser(w->txtCED, Qt::Key_A, Qt::ControlModifier);
    keyClicksAsUser(w->txtCED, QStringLiteral(" ab1"));
    // Leaving the field trims it and turns it red: the save is refused,
    // with the screen's own message.
    keyClickAsUser(w->txtCED, Qt::Key_O, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), w->cmdVirtual);
    EXPECT_EQ(w->txtCED->text(), "AB1");
    EXPECT_EQ(colore(w->txtCED), rosso());
    EXPECT_EQ(w->Modalita, ModoModifica);
    EXPECT_EQ(righe()[2], "IT|03|MILANO|MI|CED3");
    // Annulla by its access key goes back to browse.
    keyClickAsUser(w->cmdVirtual, Qt::Key_N, Qt::AltModifier);
    EXPECT_EQ(w->Modalita, ModoConsultazione);
    EXPECT_EQ(boxes.shown, (std::vector<platform::Message>{
                               info(QStringLiteral("Impossibile procedere con la registrazione dei dati: uno o più "
                                                   "campi non risultano compilati in modo corretto."),
                                    Caption)}));
}

TEST_F(Framework, CancelWalksBackThroughTheModes)
{
    treCompartimenti();
    auto w = apri<frmCompartDog>(Tag);
    trova(*w);
    clickAsUser(w->cmdVirtual);
    ASSERT_EQ(w->Modalita, ModoModifica);
    const Modo expected[] = {ModoConsultazione, ModoRicerca, ModoInattivo};
    for (Modo mode : expected) {
        clickAsUser(w->cmdCancel);
        EXPECT_EQ(w->Modalita, mode);
    }
    EXPECT_FALSE(w->Scaricata);
    clickAsUser(w->cmdCancel);
    EXPECT_TRUE(w->Scaricata);
}

}  // namespace

// The archive's disk is full at the save of a new row and of a modified
// one: the user is told why, the screen keeps its mode and the typed values,
// the archive is as it was, and the same save goes through once space is
// freed.
TEST_F(Framework, ASaveOnAFullDiskIsToldAndGoesThroughOnceSpaceIsFreed)
{
    testsupport::SmallDisk disk(1024 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason().toStdString();
    treCompartimenti();
    ASSERT_TRUE(QFile::copy(onC(QStringLiteral("Archivio.mdb")), disk.file(QStringLiteral("Archivio.mdb"))));
    drives_.setDrive(u'd', disk.path());
    common::PercorsoArchivio = QStringLiteral("D:\\Archivio.mdb");
    testsupport::OtherProgram other(disk.file(QStringLiteral("Archivio.mdb")));
    const auto compartimenti = [&] {
        EXPECT_EQ(other.exec("SELECT Codice, Descrizione FROM CompDog ORDER BY Codice"), SQLITE_OK);
        return other.lastRows;
    };
    const platform::Message pieno{QStringLiteral("Errore di Run-time 3026\r\nSpazio su disco insufficiente."), Caption,
                                  platform::MsgIcon::Critical, platform::MsgButtons::OK, 1};
    auto w = apri<frmCompartDog>(Tag);

    ASSERT_NO_FATAL_FAILURE(nuovoSavona(*w));
    disk.fill();
    clickAsUser(w->cmdVirtual);
    EXPECT_EQ(boxes.shown, std::vector<platform::Message>{pieno});
    EXPECT_EQ(w->Modalita, ModoAggiunta);
    EXPECT_EQ(w->txtCodice->text(), "09");
    EXPECT_EQ(w->txtDescrizione->text(), "SAVONA");
    EXPECT_EQ(compartimenti(), (QStringList{"01|TORINO", "02|GENOVA", "03|MILANO"}));
    disk.free();
    boxes.shown.clear();
    clickAsUser(w->cmdVirtual);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(compartimenti(), (QStringList{"01|TORINO", "02|GENOVA", "03|MILANO", "09|SAVONA"}));

    clickAsUser(w->cmdCancel);
    trova(*w, QStringLiteral("IT"), QStringLiteral("02"));
    clickAsUser(w->cmdVirtual);
    ASSERT_EQ(w->Modalita, ModoModifica);
    w->txtDescrizione->setText(QStringLiteral("GENOVA PORTO"));
    disk.fill();
    clickAsUser(w->cmdVirtual);
    EXPECT_EQ(boxes.shown, std::vector<platform::Message>{pieno});
    EXPECT_EQ(w->Modalita, ModoModifica);
    EXPECT_EQ(w->txtDescrizione->text(), "GENOVA PORTO");
    EXPECT_EQ(compartimenti(), (QStringList{"01|TORINO", "02|GENOVA", "03|MILANO", "09|SAVONA"}));
    disk.free();
    boxes.shown.clear();
    clickAsUser(w->cmdVirtual);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(compartimenti(), (QStringList{"01|TORINO", "02|GENOVA PORTO", "03|MILANO", "09|SAVONA"}));
    EXPECT_EQ(other.exec("BEGIN IMMEDIATE"), SQLITE_OK) << "no lock of ours is left";
    other.exec("ROLLBACK");
}
