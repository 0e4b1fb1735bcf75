#include "writer_fixture.h"

#include "common/paths.h"
#include "flowengine/treatments.h"
#include "platform/errors.h"

#include <QBuffer>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>

using namespace flowengine;


namespace {

QString q(const char *utf8) { return QString::fromUtf8(utf8); }

// The prefix of a folder flow's line.
QByteArray prefix(const char *mark, const char *code, const char *ref6)
{
    return QByteArray(mark) + QByteArray(code).leftJustified(8, ' ') + "    " + " " + QByteArray(ref6) + "00";
}

class FlowWriter : public WriterTest {
protected:
    // C1 for the first article line, C11 for the others.
    void importLayouts()
    {
        layout(q("C1"), {{q("F0111;F0121"), q("STRCAT"), q("X(3)"), q("Tipo"), true},
                         {q("F0701"), {}, q("X(22)"), q("Riferimento"), true},
                         {q("A3111"), {}, q("X(10)"), q("Descrizione"), true, false, true},
                         {q("A3501"), {}, q("9(5)V9(3)"), q("Massa lorda"), false, true}});
        layout(q("C11"), {{q("A3111"), {}, q("X(10)"), q("Descrizione"), true, false, true},
                          {q("A3501"), {}, q("9(5)V9(3)"), q("Massa lorda"), false, true}});
    }
    void article(int indice, int k, const QString &description, const QString &mass)
    {
        box(indice, q("A3111"), description, k);
        box(indice, q("A3501"), mass, k);
    }
    // An import declaration of two articles that every check accepts.
    void goodImport(int indice, const QString &reference = q("REF1234567"))
    {
        front(indice, q("IM"), q("4"), q("2"), reference);
        article(indice, 1, q("Viti in acciaio"), q("12.5"));
        article(indice, 2, q("Dadi"), q("3"));
    }
    QByteArray goodLines(const char *ref6 = "123456", const char *reference = "REF1234567")
    {
        return prefix("T", "C1", ref6) + "IM4\t" + reference + "\tViti in ac\t12.500\t\r\n" + prefix("?", "C11", ref6)
               + "Dadi\t3.000\t\r\n";
    }
};

TEST_F(FlowWriter, WritesOneLinePerArticleWithTheFolderPrefix)
{
    importLayouts();
    goodImport(1);
    EXPECT_EQ(build(selection({1})), 0);
    EXPECT_EQ(flow, goodLines());
    EXPECT_EQ(QByteArray(prefix("T", "C1", "123456")).size(), 22);
    EXPECT_EQ(log, QByteArray());
    EXPECT_EQ(composition, q("1-04/03/2024-1234567\r\n"));
    // The work file is gone once its declaration is in the flow.
    EXPECT_EQ(tempFiles(), QStringList({q("VordamaB01"), q("Vordama_01")}));
    EXPECT_EQ(flowFile, q("C:\\Centrale\\TEMP\\Vordama_01"));
    EXPECT_EQ(logFile, q("C:\\Centrale\\TEMP\\VordamaB01"));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(FlowWriter, RemovableMediumLinesCarryTheSelectionsReference)
{
    importLayouts();
    goodImport(1);
    build(selection({1}, q("DICH01")), 2);
    const QByteArray medium1 = QByteArray("TC1      DICH01           12345600");
    ASSERT_EQ(medium1.size(), 34);
    EXPECT_EQ(flow, medium1 + "IM4\tREF1234567\tViti in ac\t12.500\t\r\n"
                        + "?C11     DICH01           12345600Dadi\t3.000\t\r\n");
}

TEST_F(FlowWriter, ChoosesTheMessageFromTheFrontSheet)
{
    struct Case {
        const char *kind, *procedure, *warehouse, *result;
    };
    const std::vector<Case> cases = {
        {"IM", "0", nullptr, "C7      REF0001"},
        {"IM", "4", nullptr, "C1      REF0001"},
        {"EU", "1", nullptr, "C1      REF0001"},
        {" im ", "0", nullptr, "C7      REF0001"},
        {"EX", "1", "D000003", "C2      REF0001"},
        {"EX", "1", "s000004", "C9      REF0001"},
        {"EX", "1", "X000004", ""},
        {"EX", "1", nullptr, ""},
        {"CO", "0", nullptr, ""},
    };
    int indice = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.kind);
        front(++indice, q(c.kind), q(c.procedure), q("1"), q("ref0001"));
        if (c.warehouse)
            box(indice, q("F4901"), q(c.warehouse));
        EXPECT_EQ(DeterminaCodiceMsg(archive, day(), indice), q(c.result));
    }
    EXPECT_EQ(DeterminaCodiceMsg(archive, day(), 99), QString());
}

TEST_F(FlowWriter, CustomsReferenceIsTheTailOfBox07)
{
    struct Case {
        QVariant box07;
        const char *result, *ref6, *listed;
    };
    const std::vector<Case> cases = {
        {q("123456789"), "C1      3456789", "345678", "3456789"},
        {q("ab"), "C1           AB", "     A", "AB"},
        // upper-cased in full within the code page; "ß" has no such upper case
        {q("xyzàbcd"), "C1      XYZÀBCD", "XYZ\xC0" "BC", "XYZÀBCD"},
        {q("ÿaßµ"), "C1         ŸAßµ", "   \x9F" "A\xDF", "ŸAßµ"},
        // without box 07 the reference is blank, never the code's tail
        {QVariant(), "C1             ", "      ", ""},
    };
    layout(q("C1"), {{q("F0111"), {}, q("X(2)"), q("Tipo")}});
    int indice = 0;
    QByteArray expected;
    QString listed;
    for (const Case &c : cases) {
        front(++indice, q("IM"), q("4"), q("1"), c.box07);
        EXPECT_EQ(DeterminaCodiceMsg(archive, day(), indice), q(c.result));
        expected += prefix("T", "C1", c.ref6) + "IM\t\r\n";
        listed += QString::number(indice) + q("-04/03/2024-") + q(c.listed) + q("\r\n");
    }
    build(selection({1, 2, 3, 4, 5}));
    EXPECT_EQ(flow, expected);
    EXPECT_EQ(composition, listed);
}

TEST_F(FlowWriter, ReadsBoxesByReference)
{
    front(1, q("IM"), q("4"), q("2"), q("R"));
    box(1, q("A3111"), q("primo"), 1);
    box(1, q("A3111"), q("secondo"), 1);  // the first row of a box counts
    box(1, q("A3111"), q("art2\tcon\rcr\nlf"), 2);
    box(1, q("A3121"), QVariant(), 1);
    box(1, q("F1401"), q("DICH"), 7);      // a front-sheet row with an article still counts
    EXPECT_EQ(LeggiCaselleRif(archive, day(), 1, q("A3111;A3121;A9999;F1401;f1401"), 1),
              q("primo\r\n\r\nDICH\r\nDICH\r\n"));
    EXPECT_EQ(LeggiCaselleRif(archive, day(), 1, q("A3111"), 2), q("art2con\rcrlf\r\n"));
    EXPECT_EQ(LeggiCaselleRif(archive, day(), 1, QString(), 1), QString());
    EXPECT_EQ(LeggiCaselleRif(archive, day(), 1, q("A3111"), 3), QString());
}

TEST_F(FlowWriter, NoControlCharacterOfABoxReachesTheLine)
{
    layout(q("C1"), {{q("A3111"), {}, q("X(30)"), q("Descrizione")},
                     {q("A3121;A3131"), {}, q("X(30)"), q("Colli")},
                     {q("A3141;A3151"), q("LINEALIQUIDAZIONE"), q("X(30)"), q("Dazio")}});
    paymentMode(q("A"), q("False"));
    front(1, q("IM"), q("4"), q("1"), q("R"));
    box(1, q("A3111"), q("AB\tC\rD\nE"), 1);
    box(1, q("A3121"), q("5"), 1);
    box(1, q("A3131"), q("CARTONI"), 1);
    box(1, q("A3141"), q("A0\r0"), 1);
    box(1, q("A3151"), q("10"), 1);
    // the settlement's lines 3 and 4 are absent: no mode, no settlement
    build(selection({1}));
    EXPECT_EQ(flow, prefix("T", "C1", "      ") + "ABCDE\t5CARTONI\t\t\r\n");
}

TEST_F(FlowWriter, SettlementLinesAndTotalsAddUpExactly)
{
    const std::vector<WriterTest::Field> fields = {{q("A4711;A4721;A4741;A4751"), q("LINEALIQUIDAZIONE"), q("X(30)"), q("Dazio")},
                                       {q("A4712;A4722;A4742;A4752"), q("LINEALIQUIDAZIONE"), q("X(30)"), q("IVA")},
                                       {{}, q("TOTART"), q("S9(11)V9(2)"), q("Totale articolo"), false, true},
                                       {{}, q("TOTGEN"), q("S9(11)V9(2)"), q("Totale generale"), false, true}};
    layout(q("C1"), fields);
    layout(q("C11"), fields);
    paymentMode(q("A"), q("falso"));
    paymentMode(q("F"), q("SOLOCONTODOG"));
    front(1, q("IM"), q("4"), q("2"), q("R"));
    const auto tax = [this](int k, int riga, const char *type, const char *base, const char *amount, const char *mode) {
        const QString r = QString::number(riga);
        box(1, q("A471") + r, q(type), k);
        box(1, q("A472") + r, q(base), k);
        box(1, q("A474") + r, q(amount), k);
        box(1, q("A475") + r, q(mode), k);
    };
    // In single precision 1.05 + 0.1 is 1.1499999 and would be cut to 1.14.
    tax(1, 1, "A00", "1000.00", "1.05", "A");
    tax(1, 2, "B00", "2000.00", "0.1", "a");
    tax(2, 1, "A00", "500", "-0.10", "A");
    tax(2, 2, "B00", "200", "44", "F");
    build(selection({1}));
    EXPECT_EQ(flow, prefix("T", "C1", "      ") + "A00X1000.00\tB00X2000.00\t1.15\t\t\r\n" + prefix("?", "C11", "      ")
                        + "-A00X500\t\t-0.10\t1.05\t\r\n");
    EXPECT_EQ(TotaleGenerale.testo(), q("1.05"));
    EXPECT_EQ(TotaleArticolo.testo(), q("-.1"));
}

TEST_F(FlowWriter, TreatmentsOfTheReferencedContents)
{
    struct Case {
        const char *keyword, *value, *result;
    };
    const std::vector<Case> cases = {
        {"STRCAT", "IM\r\n4\r\n", "IM4"},
        {"STRCAT", "", ""},
        {"SOLOCONTODOG", "1234A\r\n", "1234"},
        {"SOLOCONTODOG", "A123\r\n", ""},
        {"SOLOCINCONTODOG", "1234A \r\n", "A"},
        {"SOLOCINCONTODOG", "", ""},
        {"SOLOCINCONTODOG", "\r\n", ""},
        {"DATAGGMMAA", "040324\r\n", ""},
        {"COLLI", "  12 CARTONI\r\n", "12"},
        {"COLLI", "CARTONI\r\n", ""},
        {"COLLI", "7", ""},
        {"COLLI", "", ""},
        {"XCPA", " 12345\r\n", "1"},
        {"XCPA", "", ""},
        {"XCM", "A 123B\r\n", "123"},
        {"XCM", "A\r\n", ""},
        {"XCM", "", ""},
        {"XCINCM", "123\r\n", ""},
        {"SYSDATEGGMMAA", "", "150126"},
        {"LINEALIQUIDAZIONE", "\r\nX\r\n1\r\nA\r\n", ""},
        {"strcat", "IM\r\n", ""},
        {"ALTRO", "IM\r\n", ""},
    };
    ModiPagamento modes(archive);
    const QDate today(2026, 1, 15);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.keyword);
        EXPECT_EQ(ApplicaTrattamento(q(c.value), q(c.keyword), 1, 2, modes, today), q(c.result));
    }
    TotaleArticolo = Decimale::daTesto(q("12.50"));
    TotaleGenerale = Decimale::daTesto(q("0.25"));
    EXPECT_EQ(ApplicaTrattamento({}, q("TOTART"), 1, 2, modes, today), q("12.5"));
    EXPECT_EQ(ApplicaTrattamento({}, q("TOTGEN"), 1, 2, modes, today), QString());
    EXPECT_EQ(ApplicaTrattamento({}, q("TOTGEN"), 2, 2, modes, today), q(".25"));
}

TEST_F(FlowWriter, OnlyAPaymentModeThatSaysFalseIsSettled)
{
    struct Case {
        QVariant daGarantire;
        bool settled;
    };
    const std::vector<Case> cases = {
        {q("0"), true},  {q("False"), true},  {q("FALSE"), true},         {q("Falso"), true},
        {q("no"), true}, {q("-1"), false},    {q("True"), false},         {q("SOLOCONTODOG"), false},
        {QVariant(), false}, {q(" No"), false}, {q("SOLOCINCONTODOG"), false},
    };
    ModiPagamento modes(archive);
    int n = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.daGarantire.toString().toStdString());
        EXPECT_EQ(DaGarantireFalso(c.daGarantire), c.settled);
        const QString code = QString::number(++n);
        paymentMode(code, c.daGarantire);
        EXPECT_EQ(modes.daLiquidare(code), c.settled);
    }
    EXPECT_FALSE(modes.daLiquidare(q("ZZ")));
}

// One declaration meeting every check of the preventive control.
class FlowChecks : public FlowWriter {
protected:
    FlowChecks()
    {
        layout(q("C9"), {{q("F1401"), {}, q("X(16)"), q("Codice dichiarante"), true},
                         {q("A3301"), {}, q("9(5)"), q("Colli"), false, true},
                         {q("A3111"), {}, q("X(3)"), q("Descrizione")},
                         {q("A3501"), {}, q("9(2)"), q("Massa"), false, true},
                         {q("A3401"), {}, q("A(2)"), q("Origine")},
                         {q("A3801"), {}, q("9(3)"), q("Netta"), false, true},
                         {q("A3802"), {}, q("X(0)"), q("Rotto")},
                         {q("A3803"), {}, q("X(5"), q("Aperto")},
                         {q("A3804"), {}, q("X(5)"), q("Facoltativo")}});
    }
    void faulty(int indice, int articles)
    {
        front(indice, q("EX"), q("1"), QString::number(articles), q("AB12345"));
        box(indice, q("F4901"), q("S1"));
        box(indice, q("F1401"), q("   "));
        box(indice, q("A3301"), q("abc"), 1);
        box(indice, q("A3111"), q("ABCD"), 1);
        box(indice, q("A3501"), q("123"), 1);
        box(indice, q("A3401"), q("C1"), 1);
        box(indice, q("A3801"), q("-5"), 1);
        box(indice, q("A3802"), q("x"), 1);
        box(indice, q("A3803"), q("x"), 1);
    }
};

TEST_F(FlowChecks, EveryFailedCheckIsALogLine)
{
    faulty(7, 2);
    EXPECT_EQ(build(selection({7})), 9);
    const QByteArray head = "Quandera Doganale N\xb0 7 - 04/03/2024: ";
    EXPECT_EQ(log, head + "Assenza di un campo obbligatorio -> Codice dichiarante\r\n"
                       + head + "Valore del campo non numerico -> Colli/articolo N\xb0 1\r\n"
                       + head + "Lunghezza errata/caratteri eccedenti -> Descrizione/articolo N\xb0 1\r\n"
                       + head + "Eccedenza nel numero di cifre intere. -> Massa/articolo N\xb0 1\r\n"
                       + head + "Contenuto del campo non alfabetico. -> Origine/articolo N\xb0 1\r\n"
                       + head + "Errore generale ID: -2 -> Netta/articolo N\xb0 1\r\n"
                       + head + "Errore generale ID: -1 -> Rotto/articolo N\xb0 1\r\n"
                       + head + "Errore generale ID: -1 -> Aperto/articolo N\xb0 1\r\n"
                       + head + "Tracciato record non definito per il messaggio 'C91'\r\n");
    EXPECT_EQ(flow, QByteArray());
    EXPECT_EQ(composition, QString());
    // The refused declaration's line stays in the work file.
    EXPECT_EQ(bytes(onC(q("Centrale/TEMP/VordamaA01"))), prefix("T", "C9", "AB1234") + "\t\t\t\t\t\t\t\t\t\r\n");
    // The picture without its bracket shows its box once.
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0], (platform::Message{q("Attesa ')'"), q("Picture"), platform::MsgIcon::Information,
                                                 platform::MsgButtons::OK, 1}));
}

TEST_F(FlowChecks, WithoutThePreventiveCheckFailedFieldsAreWrittenEmpty)
{
    faulty(7, 1);
    EXPECT_EQ(build(selection({7}), 1, false), 0);
    EXPECT_EQ(log, QByteArray());
    EXPECT_EQ(flow, prefix("T", "C9", "AB1234") + "\t\t\t\t\t\t\t\t\t\r\n");
    EXPECT_EQ(composition, q("7-04/03/2024-AB12345\r\n"));
}

TEST_F(FlowChecks, AMissingLayoutRefusesTheDeclarationEvenUnchecked)
{
    faulty(7, 2);
    EXPECT_EQ(build(selection({7}), 1, false), 0);
    EXPECT_EQ(log, QByteArray());
    EXPECT_EQ(flow, QByteArray());
    EXPECT_EQ(composition, QString());
}

TEST_F(FlowWriter, ArticleCountMustBeFromOneToForty)
{
    layout(q("C1"), {{q("A3111"), {}, q("X(5)"), q("Descrizione")}});
    layout(q("C11"), {{q("A3111"), {}, q("X(5)"), q("Descrizione")}});
    struct Case {
        QVariant count;
        bool accepted;
    };
    const std::vector<Case> cases = {{q("40"), true},       {q(" 2 "), true},  {q("41"), false},
                                     {q("0"), false},        {QVariant(), false}, {q("abc"), false},
                                     {q("-1"), false},       {q("0.4"), false},  {q("99999999999999"), false}};
    const QByteArray refused = "Quandera Doganale N\xb0 %1 - 04/03/2024: Numero degli articoli fuori dall'intervallo "
                               "ammesso.\r\n";
    std::vector<int> all;
    QByteArray expectedFlow, expectedLog;
    for (const Case &c : cases) {
        const int indice = int(all.size()) + 1;
        all.push_back(indice);
        front(indice, q("IM"), q("4"), QVariant(), q("R"));
        if (!c.count.isNull())
            box(indice, q("F0501"), c.count);
        const int articles = c.accepted ? c.count.toString().trimmed().toInt() : 0;
        for (int k = 1; k <= articles; ++k) {
            box(indice, q("A3111"), q("a") + QString::number(k), k);
            expectedFlow += prefix(k == 1 ? "T" : "?", k == 1 ? "C1" : "C11", "      ") + "a" + QByteArray::number(k)
                            + "\t\r\n";
        }
        if (!c.accepted)
            expectedLog += QByteArray(refused).replace("%1", QByteArray::number(indice));
    }
    EXPECT_EQ(build(selection(all)), 7);
    EXPECT_EQ(flow, expectedFlow);
    EXPECT_EQ(log, expectedLog);
    EXPECT_EQ(composition, q("1-04/03/2024-R\r\n2-04/03/2024-R\r\n"));
    EXPECT_EQ(build(selection(all), 1, false), 0);
    EXPECT_EQ(flow, expectedFlow);
    EXPECT_EQ(composition, q("1-04/03/2024-R\r\n2-04/03/2024-R\r\n"));
}

TEST_F(FlowWriter, ADeclarationWithoutMessageCodeIsRefused)
{
    importLayouts();
    front(1, q("CO"), q("4"), q("1"), q("R"));
    EXPECT_EQ(build(selection({1})), 1);
    EXPECT_EQ(log, QByteArray("Quandera Doganale N\xb0 1 - 04/03/2024: Tracciato record non definito per il messaggio "
                              "''\r\n"));
    EXPECT_EQ(flow, QByteArray());
}

TEST_F(FlowWriter, RefusedDeclarationsStayOutOfFlowAndList)
{
    importLayouts();
    goodImport(1, q("RIF0000001"));
    goodImport(2, q("RIF0000002"));
    archive.execute(q("UPDATE DettaglioBol SET Contenuto = ' ' WHERE Indice = 2 AND Campo = '31' AND Articolo = 1"));
    goodImport(3, q("RIF0000003"));
    declaration(4, day(), q("NOBOLL"));
    goodImport(5, q("RIF0000005"));
    archive.execute(q("UPDATE DettaglioBol SET Contenuto = NULL WHERE Indice = 5 AND Campo = '07'"));
    EXPECT_EQ(build(selection({1, 2, 3, 4, 9})), 1);
    const QByteArray head = "Quandera Doganale N\xb0 2 - 04/03/2024: ";
    EXPECT_EQ(log, head + "Assenza di un campo obbligatorio -> Descrizione/articolo N\xb0 1\r\n");
    EXPECT_EQ(flow, goodLines("000000", "RIF0000001") + goodLines("000000", "RIF0000003"));
    EXPECT_EQ(composition, q("1-04/03/2024-0000001\r\n3-04/03/2024-0000003\r\n"));
    EXPECT_EQ(tempFiles(), QStringList({q("VordamaB01"), q("Vordama_01")}));

    // Refused last: its lines are left in the work file.
    EXPECT_EQ(build(selection({1, 5})), 1);
    EXPECT_EQ(log, QByteArray("Quandera Doganale N\xb0 5 - 04/03/2024: Assenza di un campo obbligatorio -> "
                              "Riferimento\r\n"));
    QStringList work = tempFiles();
    work.removeAll(common::EstraiNomeFile(flowFile));
    work.removeAll(common::EstraiNomeFile(logFile));
    work.removeAll(q("Vordama_01"));
    work.removeAll(q("VordamaB01"));
    ASSERT_EQ(work.size(), 1);
    EXPECT_EQ(workFile, q("C:\\Centrale\\TEMP\\") + work[0]);
    EXPECT_EQ(bytes(onC(q("Centrale/TEMP/") + work[0])),
              prefix("T", "C1", "      ") + "IM4\t\tViti in ac\t12.500\t\r\n" + prefix("?", "C11", "      ")
                  + "Dadi\t3.000\t\r\n");
    EXPECT_EQ(composition, q("1-04/03/2024-0000001\r\n"));
}

TEST_F(FlowWriter, FieldsAreWrittenInTheCodePage)
{
    layout(q("C1"), {{q("A3111"), {}, q("X(20)"), q("Descrizione")}});
    front(1, q("IM"), q("4"), q("1"), q("R"));
    box(1, q("A3111"), q("Caffè 3°"), 1);
    build(selection({1}));
    EXPECT_EQ(flow, prefix("T", "C1", "      ") + "Caff\xe8 3\xb0\t\r\n");
}

class RecordingProgress : public AvanzamentoCorbex {
public:
    void preparazione(bool check, int count) override { calls << QStringLiteral("preparazione %1 %2").arg(check).arg(count); }
    void dichiarazioneInCorso(qint32 indice, const QDate &date) override
    {
        calls << QStringLiteral("dichiarazione %1 %2").arg(indice).arg(date.toString(QStringLiteral("dd/MM/yyyy")));
    }
    void avanzamento(int done) override
    {
        calls << QStringLiteral("avanzamento %1").arg(done);
        if (onProgress)
            onProgress();
    }
    void numeroErrori(int total) override { calls << QStringLiteral("errori %1").arg(total); }
    bool annullata() override { return cancel; }
    void fileCreato(const QString &name) override { made << name; }
    QStringList calls;
    std::function<void()> onProgress;
    bool cancel = false;  // what the build screen's cancel button sets
    QStringList made;
};

TEST_F(FlowWriter, ReportsProgressAndStopsWhenCancelled)
{
    importLayouts();
    goodImport(1);
    front(2, q("IM"), q("4"), q("0"), q("R"));
    goodImport(3);
    RecordingProgress screen;
    progress = &screen;
    build(selection({1, 2, 3}));
    EXPECT_EQ(screen.calls, QStringList({q("preparazione 1 3"), q("dichiarazione 1 04/03/2024"), q("avanzamento 1"),
                                         q("dichiarazione 2 04/03/2024"), q("errori 1"), q("avanzamento 2"),
                                         q("dichiarazione 3 04/03/2024"), q("avanzamento 3")}));

    // Each file is told as it is made: the flow, the work file, the log.
    EXPECT_EQ(screen.made, QStringList({flowFile, q("C:\\Centrale\\TEMP\\VordamaA01"), logFile}));
    EXPECT_EQ(workFile, QString());

    screen.calls.clear();
    // The stop is asked for while the first declaration is reported, as the
    // build screen's cancel button asks for it: the run stops before the next.
    screen.onProgress = [&screen] { screen.cancel = true; };
    CorbexCreato built = CreaCorbex(selection({1, 2, 3}), Destinazione::Cartella, false, &screen);
    EXPECT_EQ(built.errori, 0);
    EXPECT_EQ(screen.calls, QStringList({q("preparazione 0 3"), q("dichiarazione 1 04/03/2024"), q("avanzamento 1")}));
    EXPECT_EQ(bytes(hostOf(built.fileCorbex)), goodLines());
    EXPECT_EQ(built.ElencoComposizione, q("1-04/03/2024-1234567\r\n"));

    // A stop asked for before the run lets no declaration in.
    screen.calls.clear();
    built = CreaCorbex(selection({1}), Destinazione::Cartella, false, &screen);
    EXPECT_EQ(built.errori, 0);
    EXPECT_EQ(screen.calls, QStringList({q("preparazione 0 1")}));
    EXPECT_EQ(built.ElencoComposizione, QString());
}

TEST_F(FlowWriter, SelectionsWithoutDeclarationsOrWithEmptyLines)
{
    importLayouts();
    goodImport(2);
    RecordingProgress screen;
    progress = &screen;
    EXPECT_EQ(build(q("T\r\nDICH01          \r\n0\r\n")), 0);
    EXPECT_EQ(screen.calls, QStringList({q("preparazione 1 0")}));
    EXPECT_EQ(flow, QByteArray());

    screen.calls.clear();
    build(q("T\r\nDICH01          \r\n2\r\n\r\n2024/03/04-000000002\r\n\r\n"));
    EXPECT_EQ(screen.calls, QStringList({q("preparazione 1 2"), q("dichiarazione 2 04/03/2024"), q("avanzamento 1")}));
    // the last line may lack its CR LF
    build(q("T\r\nDICH01          \r\n1\r\n2024/03/04-000000002"));
    EXPECT_EQ(composition, q("2-04/03/2024-1234567\r\n"));

    // A kind other than "T" writes nothing and lists nothing.
    EXPECT_EQ(build(q("X\r\nDICH01          \r\n1\r\n2024/03/04-000000002\r\n")), 0);
    EXPECT_EQ(flow, QByteArray());
    EXPECT_EQ(composition, QString());

    try {
        build(q("T\r\nDICH01          \r\n1\r\n2024/13/04-000000002\r\n"));
        FAIL() << "a date that is no date was taken";
    } catch (const platform::RuntimeError &e) {
        EXPECT_EQ(e.number(), platform::err::TypeMismatch);
    }
}

TEST_F(FlowWriter, ALongSelectionIsWrittenInItsOwnOrderUpToALineThatIsNoDeclaration)
{
    importLayouts();
    for (int i = 1; i <= 3; ++i)
        goodImport(i, q("RIF000000") + QString::number(i));
    // 250 lines over 1, 2, 3 and 4, which has no index row, each several times.
    std::vector<int> order;
    QByteArray expected;
    QString listed;
    for (int n = 0; n < 250; ++n) {
        const int i = (n * 7) % 4 + 1;
        order.push_back(i);
        if (i == 4)
            continue;
        expected += goodLines("000000", ("RIF000000" + QByteArray::number(i)).constData());
        listed += QString::number(i) + q("-04/03/2024-000000") + QString::number(i) + q("\r\n");
    }
    EXPECT_EQ(build(selection(order)), 0);
    EXPECT_EQ(flow, expected);
    EXPECT_EQ(composition, listed);

    // A line that is no declaration fails in its turn, after the ones before it.
    RecordingProgress screen;
    progress = &screen;
    QString text = selection(order);
    const qsizetype lineLength = 22;  // "2024/03/04-000000001" and CR LF
    text.insert(text.indexOf(q("2024/03/04-")) + 171 * lineLength, q("2024/02/30-000000001\r\n"));
    try {
        build(text);
        FAIL() << "a date that is no date was taken";
    } catch (const platform::RuntimeError &e) {
        EXPECT_EQ(e.number(), platform::err::TypeMismatch);
    }
    ASSERT_FALSE(screen.calls.isEmpty());
    EXPECT_EQ(screen.calls.back(), q("avanzamento 171"));
    EXPECT_EQ(screen.calls.count(q("dichiarazione 4 04/03/2024")), 43);
}

TEST_F(FlowWriter, ErrorLineAndArticleLabel)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ScriviRigaErrore(buffer, q("BOLL"), QDate(2001, 3, 5), 12, q("Messaggio"), QString());
    ScriviRigaErrore(buffer, q("BOLL"), QDate(2001, 3, 5), 12, q("Messaggio"), q("Campo") + EtichettaArticolo(q("A3111"), 2));
    EXPECT_EQ(buffer.data(), QByteArray("Quandera Doganale N\xb0 12 - 05/03/2001: Messaggio\r\n"
                                        "Quandera Doganale N\xb0 12 - 05/03/2001: Messaggio -> Campo/articolo N\xb0 2\r\n"));
    EXPECT_EQ(EtichettaArticolo(q("F0701"), 2), QString());
    EXPECT_EQ(EtichettaArticolo(QString(), 3), q("/articolo N° 3"));
}

TEST_F(FlowWriter, NextFreeFileOnTheRemovableMedium)
{
    QDir().mkpath(tmp_.file(q("medium")));
    drives_.setDrive(u'a', tmp_.file(q("medium")));
    common::OpzioniCorbix.FloppyDevice = q("A:");
    EXPECT_EQ(NomeFilePratiche(), q("A:\\PRATICHE.001"));
    // A folder holds the name as a file does: no file can be written there.
    QDir().mkpath(tmp_.file(q("medium/PRATICHE.001")));
    EXPECT_EQ(NomeFilePratiche(), q("A:\\PRATICHE.002"));
    QDir().rmdir(tmp_.file(q("medium/PRATICHE.001")));
    QFile::link(tmp_.file(q("nowhere")), tmp_.file(q("medium/PRATICHE.001")));  // a link to nothing
    EXPECT_EQ(NomeFilePratiche(), q("A:\\PRATICHE.002"));
    QFile::remove(tmp_.file(q("medium/PRATICHE.001")));
    tmp_.write(q("medium/pratiche.001"), {});
    tmp_.write(q("medium/PRATICHE.002"), {});
    EXPECT_EQ(NomeFilePratiche(), q("A:\\PRATICHE.003"));
    tmp_.write(q("medium/PRATICHE.003.corbix~"), {});  // another run is writing it
    EXPECT_EQ(NomeFilePratiche(), q("A:\\PRATICHE.004"));
    for (int n = 3; n <= 999; ++n)
        tmp_.write(QStringLiteral("medium/PRATICHE.%1").arg(n, 3, 10, QLatin1Char('0')), {});
    EXPECT_EQ(NomeFilePratiche(), QString());
}

}  // namespace
