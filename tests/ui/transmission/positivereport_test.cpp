#include "report_fixture.h"

using namespace uitransmission;

namespace {

class PositiveReport : public ReportTest {
protected:
    static std::vector<QString> header(int page)
    {
        const QString p = QStringLiteral("text p%1 ").arg(page);
        std::vector<QString> lines;
        for (const QString &l :
             {QStringLiteral("(20,20) Arial 16 bold: Spedizioni Rossi S.p.A."),
              QStringLiteral("(20,30) Arial 10: Tabulato esplicativo messaggio di risposta al corbex N. 7 del "
                             "05/03/2026 (esiti positivi)"),
              QStringLiteral("(20,35) Arial 10: Stampato il 10/12/2026"), QStringLiteral("(215,35) Arial 10: Pag. %1").arg(page),
              QStringLiteral("(23,45) Arial 10 bold: N/S Riferimento"), QStringLiteral("(53,45) Arial 10 bold: Riferimento"),
              QStringLiteral("(97,45) Arial 10 bold: CONVALIDA"), QStringLiteral("(173,45) Arial 10 bold: CONTO DOGANALE"),
              QStringLiteral("(23,50) Arial 10 bold: (numero e anno)"), QStringLiteral("(54,50) Arial 10 bold: doganale"),
              QStringLiteral("(76,50) Arial 10 bold: Reg."), QStringLiteral("(85,50) Arial 10 bold: Serie"),
              QStringLiteral("(98,50) Arial 10 bold: Numero"), QStringLiteral("(124,50) Arial 10 bold: Data"),
              QStringLiteral("(141,50) Arial 10 bold: Codice"), QStringLiteral("(160,50) Arial 10 bold: A93"),
              QStringLiteral("(173,50) Arial 10 bold: Scadenza fiscale"),
              QStringLiteral("(203,50) Arial 10 bold: Scadenza non fiscale")})
            lines.push_back(p + l);
        return lines;
    }
    static std::vector<QString> grid(int page, int bottom)
    {
        const QString p = QStringLiteral(" p%1 ").arg(page);
        const int b = bottom + 4;
        std::vector<QString> lines = {QStringLiteral("rect") + p + QStringLiteral("(20,44)-(240,%1)").arg(b)};
        for (int x : {52, 75, 140})
            lines.push_back(QStringLiteral("line") + p + QStringLiteral("(%1,44)-(%1,%2)").arg(x).arg(b));
        lines.push_back(QStringLiteral("line") + p + QStringLiteral("(75,50)-(240,50)"));
        lines.push_back(QStringLiteral("line") + p + QStringLiteral("(20,55)-(240,55)"));
        for (int x : {84, 94, 115, 155, 172, 202})
            lines.push_back(QStringLiteral("line") + p + QStringLiteral("(%1,50)-(%1,%2)").arg(x).arg(b));
        return lines;
    }
    // A positive record of the first article of declaration n (1 to 3) with a
    // customs account.
    static QString positive(int n, const QString &code = QStringLiteral("C1"))
    {
        return at({{1, "R"}, {2, code}, {14, QStringLiteral("R0000%1").arg(n)}, {28, "P"}, {29, "AB"}, {31, "12"},
                   {33, "000123"}, {39, "X"}, {40, "150126"}, {46, "0042"}, {50, "K"}, {51, "000777"},
                   {57, "160226"}, {63, "170326"}});
    }
    static std::vector<QString> row(int page, int y, int n, const QString &rif)
    {
        const QString p = QStringLiteral("text p%1 ").arg(page);
        std::vector<QString> lines;
        for (const QString &l : {QStringLiteral("(23,%1) Arial 10: %2/2026").arg(y).arg(100 + n),
                                 QStringLiteral("(54,%1) Arial 10: ").arg(y) + rif,
                                 QStringLiteral("(77,%1) Arial 10: AB").arg(y),
                                 QStringLiteral("(87,%1) Arial 10: 12").arg(y),
                                 QStringLiteral("(95,%1) Arial 10: 000123 X").arg(y),
                                 QStringLiteral("(116,%1) Arial 10: 15/01/2026").arg(y),
                                 QStringLiteral("(141,%1) Arial 10: 0042K").arg(y),
                                 QStringLiteral("(156,%1) Arial 10: 777").arg(y),
                                 QStringLiteral("(175,%1) Arial 10: 16/02/2026").arg(y),
                                 QStringLiteral("(209,%1) Arial 10: 17/03/2026").arg(y)})
            lines.push_back(p + l);
        return lines;
    }
    // A flow of n declarations R00001 to Rnnnnn.
    void declarations(int n)
    {
        tabulato.CompostoDa.clear();
        for (int i = 1; i <= n; ++i)
            tabulato.CompostoDa += QStringLiteral("%1-05/03/2026-R%2-X\r\n").arg(100 + i).arg(i, 5, 10, QChar(u'0'));
    }
};

}  // namespace

TEST_F(PositiveReport, OnePageListsOnlyThePositiveFirstArticlesOfTheFlowsDeclarations)
{
    writeAnswer({
        positive(1),
        // No customs account: column 50 blank.
        at({{1, "R"}, {2, "C2"}, {14, "R00002"}, {28, "P"}, {29, "CD"}, {31, " 3"}, {33, "  45 6"}, {39, " "},
            {40, "311299"}, {46, "9999"}, {51, "123456"}}),
        positive(1, QStringLiteral("C11")),   // a further article
        positive(9),                          // no such declaration
        at({{1, "R"}, {2, "C1"}, {14, "R00003"}, {28, "N"}}),
        at({{2, "01"}, {4, "0101"}, {16, "ERRORE"}}),
        // A date that is no date prints nothing in its place.
        at({{1, "R"}, {2, "C9"}, {14, "R00003"}, {28, "P"}, {29, "EF"}, {31, "01"}, {33, "1"}, {39, "Z"},
            {40, "320126"}}),
    });
    StampaEsitiPositivi(tabulato);

    std::vector<QString> expected = {"orientation landscape"};
    append(expected, header(1));
    append(expected, row(1, 57, 1, "R00001-A"));
    for (const QString &l : {QStringLiteral("(23,62) Arial 10: 102/2026"), QStringLiteral("(54,62) Arial 10: R00002-B"),
                             QStringLiteral("(77,62) Arial 10: CD"), QStringLiteral("(87,62) Arial 10: 3"),
                             QStringLiteral("(95,62) Arial 10: 000456  "),
                             QStringLiteral("(116,62) Arial 10: 31/12/1999"),
                             QStringLiteral("(23,67) Arial 10: 103/2026"), QStringLiteral("(54,67) Arial 10: R00003-C"),
                             QStringLiteral("(77,67) Arial 10: EF"), QStringLiteral("(87,67) Arial 10: 01"),
                             QStringLiteral("(95,67) Arial 10: 000001 Z"), QStringLiteral("(116,67) Arial 10: ")})
        expected.push_back("text p1 " + l);
    append(expected, grid(1, 67));
    expected.push_back("end");
    EXPECT_EQ(printer.lines(), expected);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(PositiveReport, TwentyEightRowsPutTheLastOnPageTwoUnderAFreshHeader)
{
    declarations(28);
    QStringList body;
    for (int i = 1; i <= 28; ++i)
        body << positive(i).replace(13, 6, QStringLiteral("R%1").arg(i, 5, 10, QChar(u'0')));
    writeAnswer(body);
    StampaEsitiPositivi(tabulato);

    std::vector<QString> expected = {"orientation landscape"};
    append(expected, header(1));
    for (int i = 0; i < 27; ++i)
        append(expected, row(1, 57 + 5 * i, i + 1, QStringLiteral("R%1-X").arg(i + 1, 5, 10, QChar(u'0'))));
    append(expected, grid(1, 187));
    expected.push_back("page 2");
    append(expected, header(2));
    append(expected, row(2, 57, 28, "R00028-X"));
    append(expected, grid(2, 57));
    expected.push_back("end");
    EXPECT_EQ(printer.lines(), expected);
}

TEST_F(PositiveReport, TwentySevenRowsFillOnePageAndLeaveNoEmptyPageBehind)
{
    declarations(27);
    QStringList body;
    for (int i = 1; i <= 27; ++i)
        body << positive(i).replace(13, 6, QStringLiteral("R%1").arg(i, 5, 10, QChar(u'0')));
    writeAnswer(body);
    StampaEsitiPositivi(tabulato);

    const std::vector<QString> lines = printer.lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), QStringLiteral("page 2")), 0);
    const std::vector<QString> last(lines.end() - 13, lines.end());
    std::vector<QString> expected = grid(1, 187);
    expected.push_back("end");
    EXPECT_EQ(last, expected);
}

TEST_F(PositiveReport, TheLineCountBoundsTheReadingAndAShortFileEndsIt)
{
    struct Case {
        int count;
        int rows;
    } cases[] = {{3, 0}, {4, 1}, {5, 2}, {99, 3}};
    for (const Case &c : cases) {
        printer.calls.clear();
        writeAnswer({positive(1), positive(2), positive(3)}, c.count);
        StampaEsitiPositivi(tabulato);
        const std::vector<QString> lines = printer.lines();
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const QString &l) { return l.contains("(77,"); }),
                  c.rows)
            << "line count " << c.count;
        EXPECT_EQ(lines.back(), "end");
    }
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(PositiveReport, AMissingAnswerFilePrintsNothingAndIsTold)
{
    StampaEsitiPositivi(tabulato);
    EXPECT_TRUE(printer.calls.empty());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0], (platform::Message{"Errore di Run-time 53\r\nImpossibile trovare il file. "
                                                 "('C:\\Corbix\\Risposte Pervenute\\R0000007.TXT')\r\n"
                                                 "(Durante la stampa degli esiti positivi)",
                                                 "Tabulato esplicativo", platform::MsgIcon::Critical,
                                                 platform::MsgButtons::OK, 1}));
}
