#include "platform/clock.h"
#include "platform/messagebox.h"
#include "platform/pageprinter.h"
#include "platform/qtpageprinter.h"
#include "support/doubles/fakeclock.h"
#include "support/doubles/recordingmessagebox.h"
#include "support/doubles/recordingpageprinter.h"
#include "support/tempdir.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace platform;

TEST(RecordingPrinter, PositionsFollowTheTextInEitherUnit)
{
    RecordingPagePrinter p;
    p.setScaleMode(ScaleMode::Millimeters);
    p.setFontName("Arial");
    p.setFontSize(10);
    p.setCurrentX(20);
    p.setCurrentY(30);
    p.print("Riga");                 // moves below: 4 mm for 10 points
    EXPECT_EQ(p.currentX(), 0);
    EXPECT_EQ(p.currentY(), 34);
    p.setCurrentX(20);
    p.setFontBold(true);
    p.print("Ab", true);             // stays on the line: 2 mm a character at 10 points
    EXPECT_EQ(p.currentX(), 24);
    EXPECT_EQ(p.currentY(), 34);
    p.setFontBold(false);
    p.print("cd");
    p.rectangle(20, 63, 190, 100);
    p.line(60, 63, 60, 100);
    p.newPage();
    p.setScaleMode(ScaleMode::Twips);
    p.setCurrentX(1440);             // one inch
    p.setCurrentY(0);
    p.setFontSize(16);
    p.print("Due");
    EXPECT_NEAR(p.currentY(), 6.4 * 1440 / 25.4, 1e-9);
    p.endDoc();

    const std::vector<QString> expected = {
        "text p1 (20,30) Arial 10: Riga",
        "text p1 (20,34) Arial 10 bold: Ab",
        "text p1 (24,34) Arial 10: cd",
        "rect p1 (20,63)-(190,100)",
        "line p1 (60,63)-(60,100)",
        "page 2",
        "text p2 (25.4,0) Arial 16: Due",
        "end",
    };
    EXPECT_EQ(p.lines(), expected);
}

TEST(RecordingPrinter, ItalicTextsAndTheOrientationAreRecorded)
{
    RecordingPagePrinter p;
    p.setScaleMode(ScaleMode::Millimeters);
    p.setOrientation(PageOrientation::Landscape);
    p.setCurrentX(76);
    p.setCurrentY(60);
    p.setFontItalic(true);
    p.print("Contenuto");
    p.setFontItalic(false);
    p.setCurrentX(76);
    p.print("Testo");
    p.endDoc();
    p.setOrientation(PageOrientation::Portrait);
    EXPECT_EQ(p.orientation(), PageOrientation::Portrait);

    const std::vector<QString> expected = {
        "orientation landscape",
        "text p1 (76,60) Arial 10 italic: Contenuto",
        "text p1 (76,64) Arial 10: Testo",
        "end",
        "orientation portrait",
    };
    EXPECT_EQ(p.lines(), expected);
}

TEST(QtPrinter, ALandscapeDocumentHasLandscapePages)
{
    testsupport::TempDir dir;
    RecordingMessageBoxService messages;
    ScopedMessageBoxService guard(messages);

    QtPagePrinter p;
    p.setPdfFolder(dir.path());
    p.setOrientation(PageOrientation::Landscape);
    p.setScaleMode(ScaleMode::Millimeters);
    p.setCurrentX(20);
    p.setCurrentY(20);
    p.setFontItalic(true);
    p.print("Orizzontale");
    p.endDoc();

    QProcess info;
    info.start("pdfinfo", {p.lastPdfFile()});
    ASSERT_TRUE(info.waitForFinished(20000));
    const QString read = QString::fromUtf8(info.readAllStandardOutput());
    EXPECT_TRUE(read.contains(QRegularExpression("Page size: +842 x 595 pts"))) << read.toStdString();
}

TEST(QtPrinter, WithoutAPrinterTheDocumentIsAPdfAndTheUserIsTold)
{
    testsupport::TempDir dir;
    FakeClock fake(QDateTime(QDate(2026, 12, 10), QTime(9, 30, 5)));
    ScopedClock clockGuard(fake);
    RecordingMessageBoxService messages;
    ScopedMessageBoxService guard(messages);

    QtPagePrinter p;
    p.setPdfFolder(dir.path());
    p.setMessageTitle("Elenco flussi");
    p.setScaleMode(ScaleMode::Millimeters);
    p.setFontName("Arial");
    p.setFontSize(16);
    p.setFontBold(true);
    p.setCurrentX(20);
    p.setCurrentY(20);
    p.print("Spedizioni Rossi");
    EXPECT_GT(p.currentY(), 25);
    EXPECT_LT(p.currentY(), 29);
    p.setFontSize(10);
    p.setFontBold(false);
    p.setCurrentX(20);
    p.setCurrentY(40);
    p.print("Pagina uno");
    p.rectangle(20, 63, 190, 100);
    p.newPage();
    p.setCurrentX(20);
    p.setCurrentY(20);
    p.print("Segue pagina 2");
    p.endDoc();

    const QString pdf = dir.file("Stampa-20261210-093005.pdf");
    EXPECT_EQ(p.lastPdfFile(), pdf);
    ASSERT_TRUE(QFile::exists(pdf));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0],
              (Message{"Nessuna stampante disponibile: il documento è stato salvato nel file '" + pdf + "'.",
                       "Elenco flussi", MsgIcon::Information, MsgButtons::OK, 1}));

    QProcess text;
    text.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(text.waitForFinished(20000));
    const QString read = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(read.contains("Spedizioni Rossi")) << read.toStdString();
    EXPECT_TRUE(read.contains("Pagina uno"));
    EXPECT_TRUE(read.contains("\fSegue pagina 2")) << "the second page";

    // A second document the same second gets a name of its own.
    p.setCurrentX(20);
    p.print("Altro");
    p.endDoc();
    EXPECT_EQ(p.lastPdfFile(), dir.file("Stampa-20261210-093005-2.pdf"));
}
