#include "flowengine/writeback.h"

#include "archive_fixture.h"
#include "platform/errors.h"

using namespace flowengine;

namespace {

const QDate Day(2024, 3, 5);

class WriteBack : public ArchiveTest {
protected:
    WriteBack() : program(common::createProgramDatabase(common::CartellaProgramma + "Corbix.mdb")) {}

    void box(qint32 indice, const QVariant &articolo, const QString &modulo, const QString &campo,
             const QString &sotto, const QString &riga, const QVariant &contenuto)
    {
        db.execute("INSERT INTO DettaglioBol (Indice, Data, Articolo, Modulo, Campo, SottoCasella, Riga, Contenuto, "
                   "MaxLung, Corretto, Gestito, Controllato) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                   {indice, Day, articolo, modulo, campo, sotto, riga, contenuto, 35, true, true, false},
                   dao::FailOnError);
    }
    // A declaration with its article count and rows 1 to rowsB of box B.
    void declaration(qint32 indice, const QString &articles, int rowsB)
    {
        addDeclaration(indice, Day, 2);
        box(indice, {}, "F", "05", "0", "1", articles);
        for (int r = 1; r <= rowsB; ++r)
            box(indice, {}, "F", "0B", "0", QString::number(r), "vecchio");
    }
    void tax(qint32 indice, int articolo, const QString &riga, const QString &sotto, const QString &contenuto)
    {
        box(indice, articolo, "A", "47", sotto, riga, contenuto);
    }
    // Each box B row as "Riga|Contenuto|MaxLung|Corretto|Gestito|Controllato", Null as <null>.
    QStringList boxB(qint32 indice)
    {
        QStringList rows;
        auto rs = db.openRecordset("SELECT * FROM DettaglioBol WHERE Indice = ? AND Modulo = 'F' AND Campo = '0B' "
                                   "ORDER BY Riga",
                                   {indice});
        for (; !rs->eof(); rs->moveNext()) {
            const QVariant c = rs->value("Contenuto");
            rows << QStringList{rs->value("Riga").toString(), c.isNull() ? "<null>" : c.toString(),
                                rs->value("MaxLung").toString(), rs->value("Corretto").toString(),
                                rs->value("Gestito").toString(), rs->value("Controllato").toString()}
                        .join(u'|');
        }
        return rows;
    }
    // The boxes marked not correct, as "Articolo Modulo Campo SottoCasella Riga".
    QStringList wrong(qint32 indice)
    {
        QStringList rows;
        auto rs = db.openRecordset("SELECT * FROM DettaglioBol WHERE Indice = ? AND Corretto = False "
                                   "ORDER BY Articolo, Modulo, Campo, SottoCasella, Riga",
                                   {indice});
        for (; !rs->eof(); rs->moveNext())
            rows << QStringLiteral("%1 %2%3%4%5")
                        .arg(rs->value("Articolo").toString(), rs->value("Modulo").toString(),
                             rs->value("Campo").toString(), rs->value("SottoCasella").toString(),
                             rs->value("Riga").toString());
        return rows;
    }
    void layout(const QString &m1, const QString &m2, int ripetizione, const QString &refs, int progressivo)
    {
        program.execute("INSERT INTO Tracciati (CodiceMsg, Progressivo, RifMask1, RifMask2, Ripetizione, RifBRELKErr) "
                        "VALUES (?, ?, ?, ?, ?, ?)",
                        {QStringLiteral("C1"), progressivo, m1, m2, ripetizione, refs}, dao::FailOnError);
    }
    static EsitoPositivo outcome(bool account)
    {
        EsitoPositivo e;
        e.RifRegistro = "A";
        e.RifCodice = "ZZ";
        e.RifNumero = "123";
        e.RifControllo = "X";
        e.RifData = QDate(2024, 3, 7);
        if (account) {
            e.ContoNumero = "12";
            e.ContoLettera = "K";
            e.A93Numero = 4567;
            e.Scadenza1 = QDate(2024, 4, 16);
            e.Scadenza2 = QDate(2024, 5, 16);
        }
        return e;
    }
    // Amounts that a running total kept across payment lines or articles would count twice.
    void taxesOfTwoArticles(qint32 indice)
    {
        tax(indice, 1, "1", "4", "100.10");
        tax(indice, 1, "1", "5", "A");
        tax(indice, 1, "2", "4", "0.20");
        tax(indice, 1, "2", "5", "G");
        tax(indice, 1, "3", "4", "999");  // no payment line follows within the article
        tax(indice, 2, "1", "5", "A");
        tax(indice, 2, "2", "4", "50");
        tax(indice, 2, "2", "5", "F");
        tax(indice, 2, "3", "5", "A");
        tax(indice, 2, "4", "4", "7");
        tax(indice, 2, "4", "5", "X");
    }

    dao::Database program;
};

QString row(int riga, const QString &text)
{
    return QStringLiteral("%1|%2|0|true|false|true").arg(riga).arg(text.isEmpty() ? "<null>" : text);
}

}  // namespace

TEST_F(WriteBack, DeferredPaymentGetsAccountAndDueDatesWithEachAmountCountedOnce)
{
    declaration(12, "2", 8);
    taxesOfTwoArticles(12);
    EsitoPositivo e = outcome(true);
    EXPECT_EQ(ScriviCasellaB(12, Day, e), 0);
    EXPECT_EQ(e.TotaleA.testo(), "100.1");
    EXPECT_EQ(e.TotaleG.testo(), ".2");
    EXPECT_EQ(e.TotaleF.testo(), "50");
    EXPECT_EQ(boxB(12), (QStringList{
                            row(1, "REG. A  N. 000123 X DEL 07.03.24"),
                            row(2, "CONTO N. 0012K  - A 93 N.4567"),
                            row(3, "EURO.2**           SCAD. 16.04.24"),
                            row(4, "EURO50**           SCAD. 16.05.24"),
                            row(5, ""),
                            row(6, ""),
                            row(7, ""),
                            "8|vecchio|35|true|true|false",
                        }));
}

TEST_F(WriteBack, CollectedPaymentGetsTheAmountAndTheCashierLine)
{
    declaration(12, "2", 7);
    taxesOfTwoArticles(12);
    EsitoPositivo e = outcome(false);
    EXPECT_EQ(ScriviCasellaB(12, Day, e), 0);
    EXPECT_EQ(boxB(12), (QStringList{row(1, "REG. A  N. 000123 X DEL 07.03.24"), row(2, "RISCOSSO EURO100.1**"),
                                     row(3, "ADDI' 07.03.24        IL CASSIERE"), row(4, ""), row(5, ""),
                                     row(6, ""), row(7, "")}));
}

TEST_F(WriteBack, AmountsAreAddedExactlyAndCutToThirteenCharacters)
{
    declaration(12, "3", 2);
    for (int a = 1; a <= 3; ++a) {
        tax(12, a, "1", "4", "0.1");
        tax(12, a, "1", "5", "A");
    }
    EsitoPositivo e = outcome(false);
    ScriviCasellaB(12, Day, e);
    EXPECT_EQ(boxB(12)[1], row(2, "RISCOSSO EURO.3**"));

    declaration(13, "1", 2);
    tax(13, 1, "1", "4", "1234567890.125");
    tax(13, 1, "1", "5", "A");
    ScriviCasellaB(13, Day, e);
    EXPECT_EQ(boxB(13)[1], row(2, "RISCOSSO EURO1234567890.12**"));
}

TEST_F(WriteBack, OnlyCollectedTaxesWithAnAccountShowZeroDueAmounts)
{
    declaration(12, "1", 4);
    tax(12, 1, "1", "4", "30");
    tax(12, 1, "1", "5", "A");
    EsitoPositivo e = outcome(true);
    e.RifRegistro = "ABC";
    e.RifNumero = "12345678";
    ScriviCasellaB(12, Day, e);
    EXPECT_EQ(boxB(12), (QStringList{row(1, "REG. AB N. 345678 X DEL 07.03.24"),
                                     row(2, "CONTO N. 0012K  - A 93 N.4567"),
                                     row(3, "EURO0**            SCAD. 16.04.24"),
                                     row(4, "EURO0**            SCAD. 16.05.24")}))
        << "only four rows: none is added";
}

TEST_F(WriteBack, TheRowsAreFoundInAnyOrderAndCaseAndOnlyTheCountedArticlesAdded)
{
    addDeclaration(12, Day, 2);
    // Box B's rows stored out of their order, some in lower case.
    box(12, {}, "f", "0b", "0", "3", "vecchio");
    box(12, {}, "F", "0B", "0", "1", "vecchio");
    box(12, {}, "F", "0b", "0", "2", "vecchio");
    // Payment lines stored before their amounts; articles the count leaves out.
    tax(12, 1, "1", "5", "A");
    tax(12, 1, "1", "4", "10");
    box(12, 2, "a", "47", "5", "1", "A");
    box(12, 2, "a", "47", "4", "1", "20");
    tax(12, 3, "1", "4", "1000");
    tax(12, 3, "1", "5", "A");
    tax(12, 0, "1", "4", "500");
    tax(12, 0, "1", "5", "A");
    box(12, {}, "A", "47", "4", "1", "300");
    box(12, {}, "A", "47", "5", "1", "A");
    // Two article counts: the first in the order of the boxes counts.
    box(12, {}, "F", "05", "0", "2", "9");
    box(12, {}, "F", "05", "0", "1", "2");
    // Another declaration's rows are not this one's.
    declaration(13, "9", 1);
    tax(13, 1, "1", "4", "4000");
    tax(13, 1, "1", "5", "A");

    EsitoPositivo e = outcome(false);
    EXPECT_EQ(ScriviCasellaB(12, Day, e), 0);
    EXPECT_EQ(e.TotaleA.testo(), "30");
    EXPECT_EQ(boxB(12), (QStringList{row(1, "REG. A  N. 000123 X DEL 07.03.24"), row(2, "RISCOSSO EURO30**"),
                                     row(3, "ADDI' 07.03.24        IL CASSIERE")}));
    EXPECT_EQ(boxB(13), QStringList{"1|vecchio|35|true|true|false"});
}

TEST_F(WriteBack, DatesTheAnswerDoesNotGiveAreLeftEmpty)
{
    declaration(12, "1", 3);
    EsitoPositivo e = outcome(true);
    e.RifData = QDate();
    e.Scadenza2 = QDate();
    ScriviCasellaB(12, Day, e);
    EXPECT_EQ(boxB(12), (QStringList{row(1, "REG. A  N. 000123 X DEL "), row(2, "CONTO N. 0012K  - A 93 N.4567"),
                                     row(3, "EURO0**            SCAD. 16.04.24")}));
    declaration(13, "1", 4);
    ScriviCasellaB(13, Day, e);
    EXPECT_EQ(boxB(13)[3], row(4, "EURO0**            SCAD. "));
}

TEST_F(WriteBack, ADeclarationWithoutArticleCountOrBoxBChangesNothing)
{
    addDeclaration(20, Day, 2);
    EsitoPositivo e = outcome(false);
    e.TotaleA = Decimale::daTesto("5");
    EXPECT_EQ(ScriviCasellaB(20, Day, e), 0);
    EXPECT_EQ(e.TotaleA.testo(), "0");
    EXPECT_TRUE(boxB(20).isEmpty());
}

TEST_F(WriteBack, TheCallersTransactionWritesEveryDeclarationOrNone)
{
    declaration(12, "1", 2);
    declaration(13, "40000", 2);  // an article count beyond 16 bits
    EsitoPositivo e = outcome(false);
    int number = 0;
    {
        dao::Transaction answer(db);
        try {
            ScriviCasellaB(12, Day, e);
            ScriviCasellaB(13, Day, e);
            answer.commit();
        } catch (const platform::RuntimeError &err) {
            number = err.number();
        }
    }
    EXPECT_EQ(number, platform::err::Overflow);
    EXPECT_EQ(boxB(12), (QStringList{"1|vecchio|35|true|true|false", "2|vecchio|35|true|true|false"}));
    EXPECT_EQ(db.transactionDepth(), 0);
}

TEST_F(WriteBack, AnErrorMarksTheBoxesOfItsLayoutAndFreesTheDeclaration)
{
    declaration(12, "2", 1);
    box(12, 2, "A", "47", "4", "1", "10");
    box(12, 1, "A", "47", "4", "1", "10");
    box(12, {}, "F", "05", "0", "2", "x");
    layout("47", "4", 2, "F0502;A4741;A9999", 1);
    ErroreRisposta err{2, "474", 2};
    SegnalaErroriCaselle(12, Day, err, " C1 ");
    EXPECT_EQ(wrong(12), (QStringList{" F0502", "2 A4741"})) << "the article stays after a front-sheet box";
    EXPECT_EQ(err.ArticoloErrore, 2);
    EXPECT_EQ(err.RipetizioneErrore, 2);
    EXPECT_EQ(stato1(12, Day), 0);
}

TEST_F(WriteBack, AMissingRepetitionIsLookedUpAsMinusOneThenWithSecondMaskZero)
{
    declaration(12, "1", 1);
    box(12, 1, "A", "33", "1", "1", "x");
    box(12, 1, "A", "33", "2", "1", "x");
    layout("33", "1", -1, "A3311", 1);
    layout("33", "0", 5, "A3321", 2);

    ErroreRisposta first{1, "331", 0};
    SegnalaErroriCaselle(12, Day, first, "C1");
    EXPECT_EQ(first.RipetizioneErrore, -1);
    EXPECT_EQ(wrong(12), QStringList{"1 A3311"});

    ErroreRisposta second{1, "33 7", 3};  // no row for second mask 7: the mask-0 row, any repetition
    SegnalaErroriCaselle(12, Day, second, "C1");
    EXPECT_EQ(second.RipetizioneErrore, 3);
    EXPECT_EQ(wrong(12), (QStringList{"1 A3311", "1 A3321"}));
}

TEST_F(WriteBack, ErrorsThatNameNoBoxChangeNothing)
{
    struct Case {
        const char *code;
        int stato1;
    };
    layout("47", "0", 1, "A4741", 1);
    const Case cases[] = {{"ENI", 2}, {"", 2}, {"99", 2}};
    for (const Case &c : cases) {
        db.execute("DELETE * FROM IndiceDoc");
        db.execute("DELETE * FROM DettaglioBol");
        declaration(12, "1", 1);
        box(12, 1, "A", "47", "4", "1", "10");
        ErroreRisposta err{1, c.code, 0};
        SegnalaErroriCaselle(12, Day, err, "C1");
        EXPECT_TRUE(wrong(12).isEmpty()) << c.code;
        EXPECT_EQ(stato1(12, Day), c.stato1) << c.code;
    }
}

TEST_F(WriteBack, ADeclarationNotInAFlowKeepsItsState)
{
    layout("47", "0", 1, "A4741", 1);
    for (int state : {0, 1}) {
        db.execute("DELETE * FROM IndiceDoc");
        addDeclaration(12, Day, state);
        box(12, 1, "A", "47", "4", "1", "10");
        ErroreRisposta err{1, "47", 1};
        SegnalaErroriCaselle(12, Day, err, "C1");
        EXPECT_EQ(stato1(12, Day), state);
        db.execute("DELETE * FROM DettaglioBol");
    }
}
