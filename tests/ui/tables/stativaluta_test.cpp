#include "fixture.h"
#include "ui/tables/frmstati.h"
#include "ui/tables/frmvaluta.h"

#include <QCheckBox>

using uitables::frmstati;
using uitables::frmvaluta;

namespace {

const QString StatiCaption = QStringLiteral("Codifica degli Stati");
const QString ValuteCaption = QStringLiteral("Gestione Archivio delle Valute");
const QString LookupTag = QStringLiteral("TableName=Stati;StartUp=A;MultiAdd=False;newSearch=False");

class StatiValuta : public TablesTest {
protected:
    StatiValuta()
    {
        db.execute(QStringLiteral("INSERT INTO Valuta (Codice, Descrizione, Quotata, PosizioniDecimali) VALUES "
                                  "('EUR', 'EURO', -1, 2), ('USD', 'DOLLARO', 0, 2)"));
    }
    QString stato(const QString &codice, const char *colonna)
    {
        auto rs = db.openRecordset(QStringLiteral("SELECT * FROM Stati WHERE Codice = ?"), {codice});
        if (rs->eof())
            return QStringLiteral("<none>");
        const QVariant v = rs->value(QString::fromUtf8(colonna));
        return v.isNull() ? QStringLiteral("<null>") : v.toString();
    }
};

TEST_F(StatiValuta, CountryFieldRules)
{
    auto w = apri<frmstati>(LookupTag);
    ASSERT_EQ(w->Modalita, ModoAggiunta);
    verificaCampi<frmstati>(*w, {
        {&frmstati::txtCodice, "it", "IT", true},       {&frmstati::txtCodice, "I1", "I1", false},
        {&frmstati::txtCodice, "I", "I", false},        {&frmstati::txtGeoCodice, "12", "12", false},
        {&frmstati::txtGeoCodice, "12A", "12A", false}, {&frmstati::txtGeoCodice, "012", "012", true},
        {&frmstati::txtDescrizione, " ", "", false},    {&frmstati::txtValuta, "XYZ", "XYZ", false},
        {&frmstati::txtValuta, "eur", "eur", true},     {&frmstati::txtValuta, "", "", false},
    });
    EXPECT_EQ(w->lblDecValuta->text(), "");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(StatiValuta, ACountryAddedAsALookupClosesTheScreenAndStoresTheCurrencyAsTyped)
{
    auto w = apri<frmstati>(LookupTag);
    w->txtCodice->setText(QStringLiteral("DE"));
    w->txtGeoCodice->setText(QStringLiteral("004"));
    w->txtDescrizione->setText(QStringLiteral("GERMANIA"));
    w->txtValuta->setText(QStringLiteral("eur"));
    esci(w->txtValuta);
    EXPECT_EQ(w->lblDecValuta->text(), "EURO");
    clickAsUser(w->cmdVirtual);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(w->Scaricata);
    EXPECT_EQ(stato(QStringLiteral("DE"), "Valuta"), "eur");
    EXPECT_EQ(stato(QStringLiteral("DE"), "Aereo"), "<null>");

    auto cancelled = apri<frmstati>(LookupTag);
    clickAsUser(cancelled->cmdCancel);
    EXPECT_TRUE(cancelled->Scaricata);
}

TEST_F(StatiValuta, AnInvalidCountryIsNotSaved)
{
    auto w = apri<frmstati>(LookupTag);
    w->txtCodice->setText(QStringLiteral("DE"));
    w->txtGeoCodice->setText(QStringLiteral("004"));
    w->txtDescrizione->setText(QStringLiteral("GERMANIA"));
    w->txtValuta->setText(QStringLiteral("XXX"));
    clickAsUser(w->cmdVirtual);
    EXPECT_EQ(boxes.shown, (std::vector<platform::Message>{info(
                               QStringLiteral("Impossibile procedere alla registrazione dei dati: uno o più campi non "
                                              "risultano corretti."),
                               StatiCaption)}));
    EXPECT_EQ(stato(QStringLiteral("DE"), "Codice"), "<none>");
    EXPECT_FALSE(w->Scaricata);
}

TEST_F(StatiValuta, ModifyLeavesTheAirColumnAsItWas)
{
    db.execute(QStringLiteral("INSERT INTO Stati (Codice, GeoCodice, Descrizione, Valuta, Aereo) VALUES "
                              "('IT', '001', 'ITALIA', 'EUR', 'AZ')"));
    auto w = apri<frmstati>(QStringLiteral("TableName=Stati"));
    clickAsUser(w->cmdSearch);
    clickAsUser(w->cmdVirtual);
    EXPECT_EQ(w->lblDecValuta->text(), "EURO");
    clickAsUser(w->cmdVirtual);
    w->txtDescrizione->setText(QStringLiteral("REPUBBLICA ITALIANA"));
    clickAsUser(w->cmdVirtual);
    EXPECT_EQ(w->Modalita, ModoConsultazione);
    EXPECT_EQ(stato(QStringLiteral("IT"), "Descrizione"), "REPUBBLICA ITALIANA");
    EXPECT_EQ(stato(QStringLiteral("IT"), "Aereo"), "AZ");
}

TEST_F(StatiValuta, ACountryInUseNamesTheFirstTableThatUsesIt)
{
    db.execute(QStringLiteral("INSERT INTO Stati (Codice, GeoCodice, Descrizione, Valuta) VALUES ('IT', '001', 'ITALIA', "
                              "'EUR'), ('FR', '029', 'FRANCIA', 'EUR')"));
    db.execute(QStringLiteral("INSERT INTO ZRQAnagrafe (Codice, stato) VALUES ('A1', 'IT')"));
    db.execute(QStringLiteral("INSERT INTO Dogane (Codice, Stato) VALUES ('D1', 'IT'), ('D2', 'FR')"));
    db.execute(QStringLiteral("INSERT INTO CompDog (Stato, Codice) VALUES ('FR', '01')"));
    auto w = apri<frmstati>(QStringLiteral("TableName=Stati"));
    clickAsUser(w->cmdSearch);
    clickAsUser(w->cmdVirtual);
    for (const char *expected : {"Anagrafica speditori/destinatari", "Dogane"}) {
        boxes.shown.clear();
        boxes.answer(platform::MsgResult::Yes);
        clickAsUser(w->cmdVirtual1);
        ASSERT_EQ(boxes.shown.size(), 3u);
        EXPECT_EQ(boxes.shown[1],
                  info(QStringLiteral("Impossibile eliminare il record attualmete visualizzato poiché risulta essere una "
                                      "codifica attiva presente nella tabella '")
                           + QString::fromUtf8(expected) + QStringLiteral("'."),
                       StatiCaption));
        w->dtaLocal->MoveNext();
    }
    EXPECT_EQ(conta(QStringLiteral("SELECT * FROM Stati")), 2);
}

TEST_F(StatiValuta, DoubleClickOnTheCurrencyOpensTheCurrenciesScreenEvenWhileBrowsing)
{
    db.execute(QStringLiteral("INSERT INTO Stati (Codice, Descrizione, Valuta) VALUES ('IT', 'ITALIA', 'EUR')"));
    auto w = apri<frmstati>(QStringLiteral("TableName=Stati"));
    clickAsUser(w->cmdSearch);
    clickAsUser(w->cmdVirtual);
    ASSERT_TRUE(w->txtValuta->isReadOnly());
    QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w->txtValuta, &click);
    EXPECT_EQ(opener.calls, (std::vector<RecordingTableOpener::Call>{
                                {"frmvaluta", "TableName=Valuta;StartUp=A;MultiAdd=False;NewSearch=False"}}));
    EXPECT_NE(uitables::CreaSchermata(QStringLiteral("frmvaluta"), nullptr), nullptr);
    EXPECT_EQ(uitables::CreaSchermata(QStringLiteral("frmNessuno"), nullptr), nullptr);
}

TEST_F(StatiValuta, CurrencyFieldRulesNeverStopASave)
{
    auto w = apri<frmvaluta>(QStringLiteral("TableName=Valuta;StartUp=A;MultiAdd=False;NewSearch=False"));
    EXPECT_FALSE(w->chkQuotata->isChecked());
    EXPECT_TRUE(w->chkQuotata->isEnabled());
    verificaCampi<frmvaluta>(*w, {
        {&frmvaluta::txtCodice, "chf", "CHF", true}, {&frmvaluta::txtCodice, "CH", "CH", false},
        {&frmvaluta::txtCodice, "C1F", "C1F", false}, {&frmvaluta::txtDogana, "", "", true},
        {&frmvaluta::txtDogana, "12", "12", false},  {&frmvaluta::txtDogana, "1A2", "1A2", false},
        {&frmvaluta::txtDogana, "012", "012", true}, {&frmvaluta::txtIATA, "chf", "CHF", true},
        {&frmvaluta::txtIATA, "", "", true},         {&frmvaluta::txtDescrizione, "", "", false},
    });
    EXPECT_TRUE(w->VerificaGlobale());
}

TEST_F(StatiValuta, ACurrencyAddedTakesTwoDecimalPlaces)
{
    // The screen does not show the decimal places, which the archive
    // requires: a new currency takes the two every currency has.
    auto w = apri<frmvaluta>(QStringLiteral("TableName=Valuta;StartUp=A;MultiAdd=False;NewSearch=False"));
    w->txtCodice->setText(QStringLiteral("CHF"));
    w->txtDescrizione->setText(QStringLiteral("FRANCO"));
    clickAsUser(w->cmdVirtual);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(conta(QStringLiteral("SELECT * FROM Valuta")), 3);
    EXPECT_EQ(conta(QStringLiteral("SELECT * FROM Valuta WHERE Codice = 'CHF' AND Descrizione = 'FRANCO' AND "
                                   "PosizioniDecimali = 2")),
              1);
}

TEST_F(StatiValuta, TheQuotedBoxShowsTheStoredValueWhileBrowsingAndIsSavedInModify)
{
    auto w = apri<frmvaluta>(QStringLiteral("TableName=Valuta"));
    clickAsUser(w->cmdSearch);
    EXPECT_FALSE(w->chkQuotata->isEnabled());
    w->txtDescrizione->setText(QStringLiteral("O"));
    w->txtIATA->setText(QStringLiteral("US"));
    clickAsUser(w->cmdVirtual);
    EXPECT_EQ(common::GetProperty(w->Parametri, QStringLiteral("WhereCondition")),
              QVariant(QStringLiteral("JetLike(Descrizione, ?) AND JetLike(IATA, ?)")));
    // Neither currency has an IATA code.
    EXPECT_EQ(w->Modalita, ModoRicerca);
    boxes.shown.clear();
    w->txtIATA->clear();
    clickAsUser(w->cmdVirtual);
    ASSERT_EQ(w->dtaLocal->Caption(), "1/2");
    EXPECT_TRUE(w->chkQuotata->isChecked());
    clickAsUser(w->chkQuotata);
    EXPECT_TRUE(w->chkQuotata->isChecked());
    clickAsUser(w->cmdVirtual);
    clickAsUser(w->chkQuotata);
    EXPECT_FALSE(w->chkQuotata->isChecked());
    clickAsUser(w->cmdVirtual);
    auto rs = db.openRecordset(QStringLiteral("SELECT Quotata FROM Valuta WHERE Codice = 'EUR'"));
    EXPECT_EQ(rs->value(0), QVariant(false));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(StatiValuta, ACurrencyUsedByACountryIsKept)
{
    db.execute(QStringLiteral("INSERT INTO Stati (Codice, Descrizione, Valuta) VALUES ('IT', 'ITALIA', 'EUR')"));
    auto w = apri<frmvaluta>(QStringLiteral("TableName=Valuta"));
    clickAsUser(w->cmdSearch);
    clickAsUser(w->cmdVirtual);
    boxes.answer(platform::MsgResult::Yes);
    clickAsUser(w->cmdVirtual1);
    ASSERT_EQ(boxes.shown.size(), 3u);
    EXPECT_EQ(boxes.shown[1], info(QStringLiteral("Impossibile eliminare il record corrente poiché risulta essere una "
                                                  "codifica attiva nella tabella degli 'Stati'"),
                                   ValuteCaption));
    EXPECT_EQ(conta(QStringLiteral("SELECT * FROM Valuta")), 2);
}

}  // namespace
