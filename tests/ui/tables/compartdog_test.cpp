#include "fixture.h"
#include "ui/main/windowfactory.h"
#include "ui/tables/frmcompartdog.h"
#include "ui/tables/tables.h"

using uitables::frmCompartDog;

namespace {

const QString Caption = QStringLiteral("Gestione compartimenti doganali");

class CompartDog : public TablesTest {
protected:
    CompartDog()
    {
        db.execute(QStringLiteral("INSERT INTO Stati (Codice, Descrizione) VALUES ('IT', 'ITALIA')"));
        db.execute(QStringLiteral("INSERT INTO Province (Codice, Descrizione) VALUES ('MI', 'MILANO')"));
        w = apri<frmCompartDog>(QStringLiteral("TableName=CompDog;UpDatable=True;Deletable=True"));
        clickAsUser(w->cmdAdd);
    }
    QColor lascia(QLineEdit *campo, const QString &testo)
    {
        campo->setText(testo);
        esci(campo);
        return colore(campo);
    }
    std::unique_ptr<frmCompartDog> w;
};

TEST_F(CompartDog, FieldRules)
{
    struct Case {
        QLineEdit *frmCompartDog::*field;
        const char *typed;
        const char *shown;
        bool valid;
    } cases[] = {
        {&frmCompartDog::txtCodice, "7", "7", false},     {&frmCompartDog::txtCodice, "7A", "7A", false},
        {&frmCompartDog::txtCodice, "07", "07", true},    {&frmCompartDog::txtCodice, "", "", false},
        {&frmCompartDog::txtCED, "", "", true},           {&frmCompartDog::txtCED, "ab12", "AB12", true},
        {&frmCompartDog::txtCED, "AB1", "AB1", false},    {&frmCompartDog::txtCED, "AB-1", "AB-1", false},
        {&frmCompartDog::txtDescrizione, "  ", "", false}, {&frmCompartDog::txtDescrizione, " Nome ", "Nome", true},
        {&frmCompartDog::txtProvincia, "", "", true},     {&frmCompartDog::txtProvincia, "mi", "MI", true},
        {&frmCompartDog::txtProvincia, "ZZ", "ZZ", false}, {&frmCompartDog::txtStato, "", "", false},
        {&frmCompartDog::txtStato, "XX", "XX", false},    {&frmCompartDog::txtStato, "it", "IT", true},
    };
    for (const Case &c : cases) {
        QLineEdit *field = (*w).*c.field;
        EXPECT_EQ(lascia(field, QString::fromUtf8(c.typed)), c.valid ? finestra() : rosso()) << c.typed;
        EXPECT_EQ(field->text(), QString::fromUtf8(c.shown));
    }
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(CompartDog, DecodesFollowTheCodes)
{
    lascia(w->txtStato, QStringLiteral("IT"));
    EXPECT_EQ(w->lblDecStato->text(), "ITALIA");
    lascia(w->txtStato, QStringLiteral("XX"));
    EXPECT_EQ(w->lblDecStato->text(), "");
    lascia(w->txtProvincia, QStringLiteral("MI"));
    EXPECT_EQ(w->lblDecProvincia->text(), "MILANO");
    lascia(w->txtProvincia, QString());
    EXPECT_EQ(w->lblDecProvincia->text(), "");
}

TEST_F(CompartDog, AnInvalidFieldRefusesTheSaveWithItsMessage)
{
    w->txtStato->setText(QStringLiteral("IT"));
    w->txtCodice->setText(QStringLiteral("7"));
    w->txtDescrizione->setText(QStringLiteral("VENEZIA"));
    clickAsUser(w->cmdVirtual);
    EXPECT_EQ(boxes.shown,
              (std::vector<platform::Message>{info(QStringLiteral("Impossibile procedere con la registrazione dei dati: "
                                                                  "uno o più campi non risultano compilati in modo "
                                                                  "corretto."),
                                                   Caption)}));
    EXPECT_EQ(conta(QStringLiteral("SELECT * FROM CompDog")), 0);
    EXPECT_EQ(w->Modalita, ModoAggiunta);
}

TEST_F(CompartDog, ALockedCountryBlocksTheSaveALockedProvinceDoesNot)
{
    testsupport::OtherProgram other(onC(QStringLiteral("Archivio.mdb")));
    ASSERT_EQ(other.exec("BEGIN EXCLUSIVE"), SQLITE_OK);
    boxes.answer(platform::MsgResult::Cancel);
    EXPECT_EQ(lascia(w->txtStato, QStringLiteral("IT")), rosso());
    EXPECT_EQ(w->lblDecStato->text(), "[Non disponibile]");
    boxes.answer(platform::MsgResult::Cancel);
    EXPECT_EQ(lascia(w->txtProvincia, QStringLiteral("MI")), finestra());
    EXPECT_EQ(w->lblDecProvincia->text(), "[Non disponibile]");
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].title, Caption);
    EXPECT_EQ(boxes.shown[0].buttons, platform::MsgButtons::RetryCancel);
    EXPECT_TRUE(boxes.shown[1].text.contains("la descrizione della provincia"));
    other.exec("ROLLBACK");
}

TEST_F(CompartDog, AnotherDecodeErrorClosesTheScreen)
{
    db.execute(QStringLiteral("DROP TABLE Province"));
    lascia(w->txtProvincia, QStringLiteral("MI"));
    EXPECT_TRUE(w->Scaricata);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.endsWith("\r\n\r\nDurante la decodifica della provincia."));
}

TEST_F(CompartDog, ModifyWritesItsOwnRowAndNeverTheKey)
{
    db.execute(QStringLiteral("INSERT INTO Stati (Codice, Descrizione) VALUES ('FR', 'FRANCIA')"));
    db.execute(QStringLiteral("INSERT INTO CompDog (Stato, Codice, Descrizione) VALUES ('IT', '05', 'A'), ('FR', '05', 'B')"));
    clickAsUser(w->cmdCancel);
    clickAsUser(w->cmdSearch);
    w->txtStato->setText(QStringLiteral("FR"));
    clickAsUser(w->cmdVirtual);
    clickAsUser(w->cmdVirtual);
    ASSERT_EQ(w->Modalita, ModoModifica);
    EXPECT_TRUE(w->txtStato->isReadOnly());
    EXPECT_TRUE(w->txtCodice->isReadOnly());
    w->txtDescrizione->setText(QStringLiteral("LIONE"));
    w->txtCED->setText(QStringLiteral("LY01"));
    clickAsUser(w->cmdVirtual);
    auto rs = db.openRecordset(QStringLiteral("SELECT Stato || Codice || Descrizione || IFNULL(CED, '-') FROM CompDog "
                                              "ORDER BY Stato"));
    QStringList rows;
    for (; !rs->eof(); rs->moveNext())
        rows << rs->value(0).toString();
    EXPECT_EQ(rows, (QStringList{"FR05LIONELY01", "IT05A-"}));
}

TEST_F(CompartDog, ARowChangedByAnotherProgramDuringAModifyIsToldAsChangedAndKept)
{
    db.execute(QStringLiteral("INSERT INTO CompDog (Stato, Codice, Descrizione, CED) VALUES ('IT', '05', 'A', 'MI01')"));
    auto rows = [&] {
        auto rs = db.openRecordset(QStringLiteral("SELECT Stato || Codice || Descrizione || IFNULL(CED, '-') FROM "
                                                  "CompDog ORDER BY Stato"));
        QStringList out;
        for (; !rs->eof(); rs->moveNext())
            out << rs->value(0).toString();
        return out;
    };
    clickAsUser(w->cmdCancel);
    clickAsUser(w->cmdSearch);
    clickAsUser(w->cmdVirtual);
    clickAsUser(w->cmdVirtual);
    ASSERT_EQ(w->Modalita, ModoModifica);
    ASSERT_EQ(w->txtCED->text(), "MI01");
    QTest::mouseClick(w->txtDescrizione, Qt::LeftButton);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("BC"));
    testsupport::OtherProgram other(onC(QStringLiteral("Archivio.mdb")));
    ASSERT_EQ(other.exec("UPDATE CompDog SET CED = 'MI02' WHERE Stato = 'IT' AND Codice = '05'"), SQLITE_OK);
    // Every "Ok" tells the same, writes nothing and leaves the screen in modify.
    for (int ok = 0; ok < 2; ++ok) {
        boxes.shown.clear();
        clickAsUser(w->cmdVirtual);
        EXPECT_EQ(boxes.shown, std::vector<platform::Message>{info(
                                   QStringLiteral("Impossibile registrare i dati nell'archivio: il record visualizzato "
                                                  "è stato modificato da un altro utente. Annullare e ripetere la "
                                                  "modifica."),
                                   Caption)});
        EXPECT_EQ(w->Modalita, ModoModifica);
        EXPECT_EQ(w->txtDescrizione->text(), "ABC");
        EXPECT_EQ(rows(), QStringList{"IT05AMI02"});
    }
    // Deleted meanwhile: the present text.
    ASSERT_EQ(other.exec("DELETE FROM CompDog"), SQLITE_OK);
    boxes.shown.clear();
    clickAsUser(w->cmdVirtual);
    EXPECT_EQ(boxes.shown, std::vector<platform::Message>{info(
                               QStringLiteral("Impossibile registrare i dati nell'archivio: il record visualizzato non "
                                              "risulta più presente."),
                               Caption)});
    EXPECT_TRUE(rows().isEmpty());
}

TEST_F(CompartDog, DoubleClickOnTheCountryOpensTheCountriesScreen)
{
    w->txtStato->setText(QStringLiteral("DE"));
    QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w->txtStato, &click);
    EXPECT_EQ(opener.calls, (std::vector<RecordingTableOpener::Call>{
                                {"frmstati", "TableName=Stati;StartUp=A;MultiAdd=False;newSearch=False"}}));
    EXPECT_EQ(w->txtStato->text(), "DE");
}

TEST_F(CompartDog, TheMenuScreensAreRegistered)
{
    uimain::RegisteredWindowFactory finestre;
    uitables::RegistraTabelle(finestre);
    EXPECT_TRUE(finestre.disponibile(uimain::Finestra::frmUtenzeEDI));
    EXPECT_TRUE(finestre.disponibile(uimain::Finestra::frmCompartDog));
    EXPECT_FALSE(finestre.disponibile(uimain::Finestra::FrmComandoSql));
}

}  // namespace
