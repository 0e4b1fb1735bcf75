#include "flowengine/dispatchlist.h"

#include "archive_fixture.h"
#include "platform/clock.h"
#include "platform/errors.h"
#include "platform/pageprinter.h"
#include "platform/qtpageprinter.h"
#include "support/doubles/fakeclock.h"
#include "support/doubles/recordingpageprinter.h"

#include <QProcess>

using namespace flowengine;
using platform::Message;
using platform::MsgButtons;
using platform::MsgIcon;

namespace {

class DispatchList : public ArchiveTest {
protected:
    DispatchList()
    {
        db.execute("UPDATE Paragen SET NomeDitta = ?", {QStringLiteral("Spedizioni Rossi S.p.A.")});
        addDeclarant("SPED1", "Spedizioni Rossi");
    }

    // A flow of n declarations, numbered from 101, of 5 March 2024.
    static DatiCorbex flowOf(int n, const QString &rifFloppy = {})
    {
        DatiCorbex flow;
        flow.FattoDa = "SPED1";
        flow.RifFloppy = rifFloppy;
        for (int i = 1; i <= n; ++i)
            flow.CompostoDa += QStringLiteral("%1-05/03/2024-R%2-X\r\n").arg(100 + i).arg(i, 6, 10, QChar(u'0'));
        return flow;
    }
    static std::vector<QString> header(int page, const QString &medium)
    {
        const QString p = QStringLiteral("text p%1 ").arg(page);
        std::vector<QString> lines = {
            p + "(20,20) Arial 16 bold: Spedizioni Rossi S.p.A.",
            p + "(20,30) Arial 10: Distinta dichiarazioni doganali / richieste di temporanea custodita",
            p + "(20,34) Arial 10: emesse dall'operatore Spedizioni Rossi (SPED1)",
        };
        if (medium.isEmpty()) {
            lines.push_back(p + "(20,46) Arial 10 bold: NOTA");
            lines.push_back(p + "(32,46) Arial 10: Corbex generato per spedizione telematica E.D.I.");
        } else {
            lines.push_back(p + "(20,46) Arial 10: Rif. contenuto supporto magnetico: ");
            lines.push_back(p + "(80,46) Arial 10 bold: " + medium);
        }
        for (const QString &l : {QStringLiteral("(20,54) Arial 10: Stampato il 10/12/2026"),
                                 QStringLiteral("(160,54) Arial 10: Pag. %1").arg(page),
                                 QStringLiteral("(27,70) Arial 10 bold: N/S Riferimento"),
                                 QStringLiteral("(27,74) Arial 10 bold: (numero e data)"),
                                 QStringLiteral("(66,74) Arial 10 bold: V/S Riferimento"),
                                 QStringLiteral("(140,74) Arial 10 bold: Note")})
            lines.push_back(p + l);
        return lines;
    }
    static std::vector<QString> frame(int page, int bottom)
    {
        const QString p = QStringLiteral(" p%1 ").arg(page);
        return {QStringLiteral("rect") + p + QStringLiteral("(20,63)-(190,%1)").arg(bottom),
                QStringLiteral("line") + p + QStringLiteral("(60,63)-(60,%1)").arg(bottom),
                QStringLiteral("line") + p + QStringLiteral("(100,63)-(100,%1)").arg(bottom),
                QStringLiteral("line") + p + QStringLiteral("(20,77)-(190,77)")};
    }
    static std::vector<QString> row(int page, int y, int n, bool ruled)
    {
        const QString p = QStringLiteral("text p%1 ").arg(page);
        std::vector<QString> lines;
        if (ruled)
            lines.push_back(QStringLiteral("line p%1 (20,%2)-(190,%2)").arg(page).arg(y - 3));
        lines.push_back(p + QStringLiteral("(22,%1) Arial 10: %2").arg(y).arg(100 + n));
        lines.push_back(p + QStringLiteral("(38,%1) Arial 10: 05/03/2024").arg(y));
        lines.push_back(p + QStringLiteral("(72,%1) Arial 10: R%2").arg(y).arg(n, 6, 10, QChar(u'0')));
        return lines;
    }
    static void append(std::vector<QString> &to, const std::vector<QString> &more)
    {
        to.insert(to.end(), more.begin(), more.end());
    }

    platform::FakeClock clock{QDateTime(QDate(2026, 12, 10), QTime(9, 30, 5))};
    platform::ScopedClock clockGuard{clock};
    platform::RecordingPagePrinter printer;
    platform::ScopedPagePrinter printerGuard{printer};
};

// A printer whose lines stand far apart: its header ends below the page.
class TallLinePrinter : public platform::RecordingPagePrinter {
protected:
    double lineHeight(const Font &) const override { return 240; }
};

// A printer that cannot draw lines.
class NoLinePrinter : public platform::RecordingPagePrinter {
protected:
    void drawLine(double, double, double, double) override
    {
        platform::raise(platform::err::PrinterFunctionNotSupported);
    }
};

}  // namespace

TEST_F(DispatchList, OnePageOfAFolderFlow)
{
    // Whatever the report before it left, the list is portrait, in
    // millimetres, Arial 10 plain.
    printer.setOrientation(platform::PageOrientation::Landscape);
    printer.setScaleMode(platform::ScaleMode::Twips);
    printer.setFontName("Courier");
    printer.setFontSize(16);
    printer.setFontBold(true);
    printer.setFontItalic(true);
    printer.calls.clear();
    StampaDistinta(flowOf(2));
    std::vector<QString> expected = {"orientation portrait"};
    append(expected, header(1, {}));
    append(expected, row(1, 84, 1, false));
    append(expected, row(1, 94, 2, true));
    append(expected, frame(1, 101));
    expected.push_back("end");
    EXPECT_EQ(printer.lines(), expected);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(DispatchList, ARemovableMediumFlowNamesItsFileAndAnEmptyFlowGetsAnEmptyFrame)
{
    StampaDistinta(flowOf(0, "PRATICHE.003"));
    std::vector<QString> expected = {"orientation portrait"};
    append(expected, header(1, "PRATICHE.003"));
    append(expected, frame(1, 81));
    expected.push_back("end");
    EXPECT_EQ(printer.lines(), expected);
}

TEST_F(DispatchList, ThirtyDeclarationsBreakAfterEighteenRows)
{
    StampaDistinta(flowOf(30));
    std::vector<QString> expected = {"orientation portrait"};
    append(expected, header(1, {}));
    for (int i = 0; i < 18; ++i)
        append(expected, row(1, 84 + 10 * i, i + 1, i > 0));
    append(expected, frame(1, 261));
    expected.push_back("text p1 (100,267) Arial 10: Segue pagina 2");
    expected.push_back("page 2");
    append(expected, header(2, {}));
    for (int i = 0; i < 12; ++i)
        append(expected, row(2, 84 + 10 * i, i + 19, i > 0));
    append(expected, frame(2, 201));
    expected.push_back("end");
    EXPECT_EQ(printer.lines(), expected);
}

TEST_F(DispatchList, AnUnknownDeclarantLeavesTheDescriptionEmpty)
{
    DatiCorbex flow = flowOf(1);
    flow.FattoDa = "  IGNOTO ";
    StampaDistinta(flow);
    EXPECT_EQ(printer.lines()[3], "text p1 (20,34) Arial 10: emesse dall'operatore  (IGNOTO)");
}

TEST_F(DispatchList, AHeaderBelowThePageStillPrintsOneRowAPage)
{
    TallLinePrinter tall;
    platform::ScopedPagePrinter guard(tall);
    StampaDistinta(flowOf(3));
    int pages = 0, rows = 0;
    for (const auto &c : tall.calls) {
        pages += c.what == "page";
        rows += c.what == "text" && c.x1 == 22;
    }
    EXPECT_EQ(pages, 2);
    EXPECT_EQ(rows, 3);
    EXPECT_EQ(tall.calls.back().what, "end");
}

TEST_F(DispatchList, APrinterWithoutLinesIsNamedInTheMessage)
{
    NoLinePrinter noLines;
    platform::ScopedPagePrinter guard(noLines);
    StampaDistinta(flowOf(2));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0],
              (Message{"La stampa richiesta non può essere eseguita sulla stampante 'Registratore' poiché essa non "
                       "supporta le caratteristiche necessarie.\r\nTentare con una stampante differente.\r\nPer le "
                       "caratteristiche richieste si faccia riferimento al manuale in linea ove previsto.",
                       "Corbix", MsgIcon::Information, MsgButtons::OK, 1}));
    EXPECT_EQ(noLines.calls.back().what, "end") << "the printer is let go";
}

TEST_F(DispatchList, AListThatCannotBeReadPrintsNothing)
{
    DatiCorbex flow = flowOf(2);
    flow.CompostoDa += "103-32/01/2024-R";
    StampaDistinta(flow);
    EXPECT_TRUE(printer.calls.empty());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0],
              (Message{"Errore di Run-time 13\r\nTipo non corrispondente.\r\n(Durante la stampa della distinta)",
                       "Corbix", MsgIcon::Critical, MsgButtons::OK, 1}));
}

TEST_F(DispatchList, ThirtyDeclarationsPrintToAReadablePdfOfTwoPages)
{
    platform::QtPagePrinter pdf;
    pdf.setPdfFolder(tmp_.path());
    platform::ScopedPagePrinter guard(pdf);
    StampaDistinta(flowOf(30, "PRATICHE.001"));
    const QString file = tmp_.file("Stampa-20261210-093005.pdf");
    ASSERT_EQ(pdf.lastPdfFile(), file);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.contains(file));

    QProcess text;
    text.start("pdftotext", {"-layout", file, "-"});
    ASSERT_TRUE(text.waitForFinished(20000));
    const QStringList pages = QString::fromUtf8(text.readAllStandardOutput()).split(u'\f', Qt::SkipEmptyParts);
    ASSERT_EQ(pages.size(), 2) << pages.join("\n----\n").toStdString();
    for (int p = 0; p < 2; ++p) {
        SCOPED_TRACE(p + 1);
        EXPECT_TRUE(pages[p].contains("Spedizioni Rossi S.p.A."));
        EXPECT_TRUE(pages[p].contains("emesse dall'operatore Spedizioni Rossi (SPED1)"));
        EXPECT_TRUE(pages[p].contains("PRATICHE.001"));
        EXPECT_TRUE(pages[p].contains(QStringLiteral("Pag. %1").arg(p + 1)));
        EXPECT_TRUE(pages[p].contains("Stampato il 10/12/2026"));
    }
    EXPECT_TRUE(pages[0].contains("118")) << "the eighteenth declaration";
    EXPECT_FALSE(pages[0].contains("R000019"));
    EXPECT_TRUE(pages[0].contains("Segue pagina 2"));
    EXPECT_TRUE(pages[1].contains("R000019"));
    EXPECT_TRUE(pages[1].contains("130"));
    EXPECT_TRUE(pages[1].contains("R000030"));
    EXPECT_FALSE(pages[1].contains("Segue pagina"));
}
