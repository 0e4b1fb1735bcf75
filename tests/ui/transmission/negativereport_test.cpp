#include "report_fixture.h"

using namespace uitransmission;

namespace {

class NegativeReport : public ReportTest {
protected:
    NegativeReport()
    {
        addLayout("C1", 9, "PESO LORDO", "35", "0");
        addLayout("C1", 0, "CAMPO DI SERVIZIO", "99", "1");
        addLayout("C11", 7, "NUMERO ARTICOLO", "32", "0");
        addLayout("C11", 10, "CODICE MERCE", "33", "1");
        // The flow as sent: the envelope, two first articles and two further
        // articles of declaration R00001.
        writeFlow({
            QStringLiteral("ENVELOPE"),
            at({{1, "T"}, {2, "C1"}, {15, "R00001"}}) + QString(1, u' ') + "\t1\tX\t1250,00",
            at({{1, "T"}, {2, "C1"}, {15, "R00002"}}) + QString(1, u' ') + "\t1\tY\t80,00",
            at({{1, "T"}, {2, "C11"}, {15, "R00001"}}) + QString(1, u' ') + "\t2\tA\tB\t84719000",
            at({{1, "T"}, {2, "C11"}, {15, "R00001"}}) + QString(1, u' ') + "\t3\tA\tB\t85044000",
        });
    }

    static std::vector<QString> header(int page)
    {
        const QString p = QStringLiteral("text p%1 ").arg(page);
        std::vector<QString> lines;
        for (const QString &l :
             {QStringLiteral("(20,20) Arial 16 bold: Spedizioni Rossi S.p.A."),
              QStringLiteral("(20,30) Arial 10: Tabulato esplicativo messaggio di risposta al corbex N. 7 del "
                             "05/03/2026 (esiti negativi)"),
              QStringLiteral("(20,35) Arial 10: Stampato il 10/12/2026"), QStringLiteral("(160,35) Arial 10: Pag. %1").arg(page),
              QStringLiteral("(23,45) Arial 10 bold: N/S Riferimento"), QStringLiteral("(53,45) Arial 10 bold: Riferimento"),
              QStringLiteral("(116,45) Arial 10 bold: Descrizione errore"),
              QStringLiteral("(23,50) Arial 10 bold: (numero e anno)"), QStringLiteral("(54,50) Arial 10 bold: doganale"),
              QStringLiteral("(94,50) Arial 10 bold: (con indicazione del campo e suo contenuto)")})
            lines.push_back(p + l);
        return lines;
    }
    static std::vector<QString> grid(int page, int top, int bottom)
    {
        const QString p = QStringLiteral(" p%1 ").arg(page);
        return {QStringLiteral("rect") + p + QStringLiteral("(20,%1)-(190,%2)").arg(top - 10).arg(bottom),
                QStringLiteral("line") + p + QStringLiteral("(52,%1)-(52,%2)").arg(top - 10).arg(bottom),
                QStringLiteral("line") + p + QStringLiteral("(74,%1)-(74,%2)").arg(top - 10).arg(bottom)};
    }
    static QString negative(const QString &rif, const QString &code = QStringLiteral("C1"))
    {
        return at({{1, "R"}, {2, code}, {14, rif}, {28, "N"}});
    }
    static QString error(const QString &article, const QString &box, const QString &repetition, const QString &text)
    {
        return at({{2, article}, {4, box}, {9, repetition}, {11, "E"}, {16, text}});
    }
};

}  // namespace

TEST_F(NegativeReport, EachErrorIsDecodedIntoItsFieldAndWhatTheFlowHeldInIt)
{
    writeAnswer({
        // A field found, repetition 2, with a continuation line.
        negative("R00001"), error("01", "35 0", "02", "PESO NON VALIDO"),
        QString(15, u' ') + QStringLiteral("  SEGUE IL TESTO  "),
        // No such declaration: the line after it is not its error line.
        negative("R00009"), error("01", "35 0", "01", "NON LETTA"),
        // A box reference the layouts do not hold.
        negative("R00002"), error("01", "ENI", "00", "CARATTERI ANOMALI"),
        // A field of the layout that the flow does not carry; the next record
        // follows at once and is reported in its turn.
        negative("R00002"), error("01", "99 1", "00", "ERRORE DI SERVIZIO"),
        negative("R00003"), error("01", "", "", "SOLO TESTO"),
        // Passed over: positive, a further article's code, not a record.
        at({{1, "R"}, {2, "C1"}, {14, "R00001"}, {28, "P"}}), negative("R00001", "C11"),
    });
    StampaEsitiNegativi(tabulato);

    std::vector<QString> expected = {"orientation portrait"};
    append(expected, header(1));
    for (const QString &l : {
             QStringLiteral("line p1 (20,55)-(190,55)"),
             QStringLiteral("text p1 (22,56) Arial 10: 101/2026"),
             QStringLiteral("text p1 (53,56) Arial 10: R00001"),
             QStringLiteral("text p1 (76,56) Arial 10: PESO LORDO, RIGA 2"),
             QStringLiteral("text p1 (76,61) Arial 10 italic: 1250,00"),
             QStringLiteral("text p1 (76,66) Arial 10: PESO NON VALIDO"),
             QStringLiteral("text p1 (76,71) Arial 10: SEGUE IL TESTO"),
             QStringLiteral("line p1 (20,76)-(190,76)"),
             QStringLiteral("text p1 (53,77) Arial 10: R00009"),
             QStringLiteral("text p1 (76,77) Arial 10: DICHIRAZIONE 'R00009 NON PRESENTE NEL CORBEX INVIATO"),
             QStringLiteral("line p1 (20,82)-(190,82)"),
             QStringLiteral("text p1 (22,83) Arial 10: 102/2026"),
             QStringLiteral("text p1 (53,83) Arial 10: R00002"),
             QStringLiteral("text p1 (76,83) Arial 10: IMPOSSIBILE RISALIRE AL CAMPO CON RIF. MASK 'ENI '"),
             QStringLiteral("text p1 (76,88) Arial 10 italic: CONTENUTO DEL CAMPO NON RILEVABILE"),
             QStringLiteral("text p1 (76,93) Arial 10: CARATTERI ANOMALI"),
             QStringLiteral("line p1 (20,98)-(190,98)"),
             QStringLiteral("text p1 (22,99) Arial 10: 102/2026"),
             QStringLiteral("text p1 (53,99) Arial 10: R00002"),
             QStringLiteral("text p1 (76,99) Arial 10: CAMPO DI SERVIZIO"),
             QStringLiteral("text p1 (76,104) Arial 10 italic: CAMPO NON PRESENTE NEL TRACCIATO DEL CORBEX INVIATO"),
             QStringLiteral("text p1 (76,109) Arial 10: ERRORE DI SERVIZIO"),
             QStringLiteral("line p1 (20,114)-(190,114)"),
             QStringLiteral("text p1 (22,115) Arial 10: 103/2026"),
             QStringLiteral("text p1 (53,115) Arial 10: R00003"),
             QStringLiteral("text p1 (76,115) Arial 10: SOLO TESTO"),
         })
        expected.push_back(l);
    append(expected, grid(1, 55, 120));
    expected.push_back("end");
    EXPECT_EQ(printer.lines(), expected);
    EXPECT_EQ(printer.documentTitle(),
              "Tabulato esplicativo messaggio di risposta al corbex N. 7 del 05/03/2026 (esiti negativi)");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(NegativeReport, RowsThatDoNotFitGoToTheNextPageUnderAFreshHeader)
{
    // Rows of one text take 6 mm: 22 fit between 55 and 190.
    QStringList body;
    for (int i = 0; i < 23; ++i)
        body << negative(QStringLiteral("X%1").arg(i, 5, 10, QChar(u'0')));
    writeAnswer(body);
    StampaEsitiNegativi(tabulato);

    const std::vector<QString> lines = printer.lines();
    const auto page = std::find(lines.begin(), lines.end(), QStringLiteral("page 2"));
    ASSERT_NE(page, lines.end());
    std::vector<QString> before(page - 4, page + 1);
    std::vector<QString> expected = {QStringLiteral("text p1 (76,182) Arial 10: DICHIRAZIONE 'X00021 NON PRESENTE NEL "
                                                    "CORBEX INVIATO")};
    append(expected, grid(1, 55, 187));
    expected.push_back("page 2");
    EXPECT_EQ(before, expected);

    std::vector<QString> after(page + 1, lines.end());
    expected = header(2);
    expected.push_back("line p2 (20,58)-(190,58)");
    expected.push_back("text p2 (53,59) Arial 10: X00022");
    expected.push_back("text p2 (76,59) Arial 10: DICHIRAZIONE 'X00022 NON PRESENTE NEL CORBEX INVIATO");
    append(expected, grid(2, 55, 64));
    expected.push_back("end");
    EXPECT_EQ(after, expected);
}

TEST_F(NegativeReport, ARecordAtTheEndOfAShortFileHasNoErrorLine)
{
    // The header counts more lines than the file has, and the last record's
    // error line would be the line past the end.
    writeLines(tabulato.FileRisposta, {at({{26, "W"}, {71, "00009"}}), at({{12, "05/03/26"}}), "INIZIO",
                                       negative("R00002")});
    StampaEsitiNegativi(tabulato);

    std::vector<QString> expected = {"orientation portrait"};
    append(expected, header(1));
    expected.push_back("line p1 (20,55)-(190,55)");
    expected.push_back("text p1 (22,56) Arial 10: 102/2026");
    expected.push_back("text p1 (53,56) Arial 10: R00002");
    append(expected, grid(1, 55, 56));
    expected.push_back("end");
    EXPECT_EQ(printer.lines(), expected);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(NegativeReport, TheAnswersLastLineIsNotRead)
{
    // The record stands on line N: it is not reported.
    writeLines(tabulato.FileRisposta,
               {at({{26, "W"}, {71, "00004"}}), at({{12, "05/03/26"}}), "INIZIO", negative("R00009")});
    StampaEsitiNegativi(tabulato);
    std::vector<QString> expected = {"orientation portrait"};
    append(expected, header(1));
    append(expected, grid(1, 55, 55));
    expected.push_back("end");
    EXPECT_EQ(printer.lines(), expected);
}

TEST_F(NegativeReport, AMissingFlowFilePrintsNothingAndIsTold)
{
    writeAnswer({negative("R00001"), error("01", "35 0", "02", "PESO NON VALIDO")});
    QFile::remove(onC("Corbix/Corbix inviati/C0000007.TXT"));
    StampaEsitiNegativi(tabulato);
    EXPECT_TRUE(printer.calls.empty());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Errore di Run-time 53\r\nImpossibile trovare il file. "
                                   "('C:\\Corbix\\Corbix inviati\\C0000007.TXT')\r\n"
                                   "(Durante la stampa degli esiti negativi)");
    EXPECT_EQ(boxes.shown[0].title, "Tabulato esplicativo");
}

TEST_F(NegativeReport, TheRecordSentIsFoundByCodeReferenceAndArticle)
{
    const QStringList flow = {
        at({{1, "T"}, {2, "C1"}, {15, "R00001"}}) + " \t1\tX\t1250,00",
        at({{1, "T"}, {2, "C11"}, {15, "R00001"}}) + " \t2\tA\tB\t84719000",
        at({{1, "T"}, {2, "C11"}, {15, "R00001"}}) + " \t3\tA\tB\t85044000",
        at({{1, "T"}, {2, "C21"}, {15, "R00001"}}) + " \t4\tA\tB\t11111111",
        at({{1, "T"}, {2, "C21"}, {15, "R00001"}}) + " \t5\tA\tB\t22222222",
    };
    struct Case {
        const char *code;
        const char *rif;
        int article;
        int field;
        const char *content;
    } cases[] = {
        {"C1", "R00001", 1, 9, "1250,00"},
        {"C1", "R00001", 0, 7, "1"},
        {"C1", "R00001", 3, 10, "85044000"},   // by the article-number field of C11
        {"C1", "R00001", 2, 10, "84719000"},
        {"C1", "R00001", 4, 10, ""},           // no such article
        {"C2", "R00001", 5, 10, "11111111"},   // C21 has no article-number field: the first record
        {"C1", "R00002", 1, 9, ""},            // no record of that reference
        {"C1", "R00001", 1, 12, ""},           // beyond the record's fields
        {"C1", "R00001", 1, 6, ""},            // inside the fixed prefix
        {"C5", "R00001", 1, 9, ""},            // not a first-article code
    };
    for (const Case &c : cases)
        EXPECT_EQ(CercaRecordInviato(RecordInviati(flow), c.code, c.rif, c.article, c.field, program), QString::fromUtf8(c.content))
            << c.code << " " << c.rif << " article " << c.article << " field " << c.field;
}
