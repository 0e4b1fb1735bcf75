#include "fixture.h"

#include "platform/pageprinter.h"
#include "platform/qtpageprinter.h"
#include "platform/workstation.h"
#include "support/asuser.h"
#include "support/doubles/fixedworkstationsource.h"
#include "ui/transmission/frmaswerreport.h"
#include "ui/transmission/frmopzionicorbix.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

using namespace uitransmission;
using testsupport::clickAsUser;

namespace {

const QDate Day(2026, 1, 15);

// A processed flow of thirty declarations with its stored answer, shown in
// the main window, and a printer that finds no printer installed.
class Printing : public TransmissionTest {
protected:
    Printing()
    {
        QString composto;
        for (int n = 1; n <= 30; ++n)
            composto += QStringLiteral("%1-10/01/2026-%2\r\n").arg(100 + n).arg(riferimento(n));
        addFlow(3, Day, 7, 5, 2, QStringLiteral("DICH01"), composto,
                QStringLiteral("C:\\Corbix\\Corbix inviati\\flusso"), {}, 1, 0, 0);
        addFlow(4, Day, 7, 0, 0, QStringLiteral("DICH01"), {},
                QStringLiteral("C:\\Corbix\\Risposte Pervenute\\20260115-7-W"));
        writeHost(onC(QStringLiteral("Corbix/Risposte Pervenute/20260115-7-W")),
                  file({header(u'W', QStringLiteral("DICH01"), 4), at({{12, QStringLiteral("15/01/26")}}),
                        QStringLiteral("terza"),
                        at({{1, QStringLiteral("RC1")}, {14, QStringLiteral("DR0001")}, {28, QStringLiteral("P")},
                            {29, QStringLiteral("IMA 001234K150126")}})}));
        clock_.setNow(QDateTime(Day, QTime(9, 30, 5)));
    }
    // The answer report's positive listing, from the list's context command.
    void printReport()
    {
        uimain::RegisteredWindowFactory windows;
        RegistraTabulato(windows);
        uimain::ScopedWindowFactory guard(windows);
        bool acted = false;
        QTimer::singleShot(0, w.get(), [&] {
            auto *f = w->findChild<frmAswerReport *>();
            ASSERT_NE(f, nullptr);
            ASSERT_TRUE(f->chkSuccess->isChecked());
            clickAsUser(f->cmdPrint);
            acted = true;
        });
        choose(1, QStringLiteral("&Tabulato esplicativo"));
        EXPECT_TRUE(acted);
    }
    static QString riferimento(int n) { return QStringLiteral("DR%1Z").arg(n, 4, 10, QChar(u'0')); }

    static QString run(const QString &program, const QStringList &arguments)
    {
        QProcess p;
        p.start(program, arguments);
        EXPECT_TRUE(p.waitForFinished(20000));
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    // The fonts a PDF embeds, as pdffonts names them without their subset
    // tag, each with whether it is embedded.
    static QStringList embeddedFonts(const QString &pdf)
    {
        QStringList fonts;
        const QStringList lines = run(QStringLiteral("pdffonts"), {pdf}).split(u'\n', Qt::SkipEmptyParts);
        for (const QString &line : lines.mid(2)) {
            const QStringList columns = line.split(u' ', Qt::SkipEmptyParts);
            if (columns.size() < 7)
                continue;
            fonts << columns[0].section(u'+', -1) + u' ' + columns[columns.size() - 5];
        }
        fonts.sort();
        return fonts;
    }
    static platform::Message saved(const QString &pdf, const QString &title)
    {
        return {QStringLiteral("Nessuna stampante disponibile: il documento è stato salvato nel file '") + pdf
                    + QStringLiteral("'."),
                title, platform::MsgIcon::Information, platform::MsgButtons::OK, 1};
    }

    platform::QtPagePrinter qt;
    platform::ScopedPagePrinter printerGuard{qt};
    platform::FixedWorkstationSource source_{QStringLiteral("PC-UFFICIO"), QStringLiteral("mario")};
    platform::ScopedWorkstationSource sourceGuard_{source_};
};

}  // namespace

TEST_F(Printing, TheDispatchListAfterALandscapeReportIsPortraitWithEveryDeclaration)
{
    startOn(1);
    // The answer report's positive listing, landscape.
    printReport();
    const QString report = onC(QStringLiteral("Corbix/TEMP/Stampa-20260115-093005.pdf"));
    EXPECT_EQ(boxes.shown, std::vector<platform::Message>{saved(report, QStringLiteral("Tabulato esplicativo"))});
    const QString reportInfo = run(QStringLiteral("pdfinfo"), {report});
    EXPECT_TRUE(reportInfo.contains(QRegularExpression("Page size: +842 x 595 pts")));
    // Titled with the listing's name, as a viewer shows it.
    EXPECT_TRUE(reportInfo.contains(QRegularExpression(
        "(^|\n)Title: +Tabulato esplicativo messaggio di risposta al corbex N. 7 del 15/01/2026 \\(esiti positivi\\)\n")))
        << reportInfo.toStdString();
    // Arial is drawn and embedded as Liberation Sans, never as a fallback.
    const QStringList liberationSans{QStringLiteral("LiberationSans yes"), QStringLiteral("LiberationSans-Bold yes")};
    EXPECT_EQ(embeddedFonts(report), liberationSans);

    // The dispatch list: portrait, both pages whole, saved beside it and told
    // under the main window's title.
    boxes.shown.clear();
    clock_.setNow(QDateTime(Day, QTime(9, 31, 0)));
    choose(1, QStringLiteral("&Stampa distinta"));
    const QString list = onC(QStringLiteral("Corbix/TEMP/Stampa-20260115-093100.pdf"));
    EXPECT_EQ(boxes.shown, std::vector<platform::Message>{saved(list, QStringLiteral("CORBIX DOGANALI"))});
    const QString info = run(QStringLiteral("pdfinfo"), {list});
    EXPECT_TRUE(info.contains(QRegularExpression("Page size: +595 x 842 pts"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression("Pages: +2"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression(
        "(^|\n)Title: +Distinta dichiarazioni doganali / richieste di temporanea custodita\n")))
        << info.toStdString();
    EXPECT_EQ(embeddedFonts(list), liberationSans);
    const QStringList pages = run(QStringLiteral("pdftotext"), {list, QStringLiteral("-")}).split(u'\f', Qt::SkipEmptyParts);
    ASSERT_EQ(pages.size(), 2);
    for (int n = 1; n <= 30; ++n) {
        const int page = n <= 18 ? 0 : 1;
        EXPECT_TRUE(pages[page].contains(riferimento(n))) << n;
        EXPECT_TRUE(pages[page].contains(QString::number(100 + n))) << n;
    }
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Segue pagina 2")));
    // The printer's own settings are back.
    EXPECT_EQ(qt.pdfFolder(), QString());
    EXPECT_EQ(qt.messageTitle(), QString());
}

TEST_F(Printing, AMovedCollectionPointKeepsItsFlowsFilesAndNamesOneThatIsGone)
{
    startOn(1);
    {
        frmOpzioniCorbix options(w.get());
        options.show();
        options.txtPickPointPathName->setText(QStringLiteral("C:\\Nuovo"));
        clickAsUser(options.cmdConfirm);
    }
    ASSERT_TRUE(boxes.shown.empty());
    const QString centrale = QStringLiteral("\\\\PC-UFFICIO\\C\\Nuovo\\");
    EXPECT_EQ(registerRows().value(0).section(u'|', 1, 1), centrale + QStringLiteral("Corbix inviati\\flusso"));
    EXPECT_EQ(registerRows().value(1).section(u'|', 1, 1), centrale + QStringLiteral("Risposte Pervenute\\20260115-7-W"));

    // The report reads the answer where it now is, and keeps its PDF in the
    // new TEMP folder.
    printReport();
    const QString pdf = onC(QStringLiteral("Nuovo/TEMP/Stampa-20260115-093005.pdf"));
    EXPECT_EQ(boxes.shown, std::vector<platform::Message>{saved(pdf, QStringLiteral("Tabulato esplicativo"))});
    EXPECT_TRUE(QFileInfo(pdf).isFile());

    boxes.shown.clear();
    ASSERT_TRUE(QFile::remove(onC(QStringLiteral("Nuovo/Risposte Pervenute/20260115-7-W"))));
    printReport();
    const platform::Message missing{QStringLiteral("Errore di Run-time 53\r\nImpossibile trovare il file. ('") + centrale
                                        + QStringLiteral("Risposte Pervenute\\20260115-7-W')\r\n(Durante la stampa degli "
                                                         "esiti positivi)"),
                                    QStringLiteral("Tabulato esplicativo"), platform::MsgIcon::Critical,
                                    platform::MsgButtons::OK, 1};
    EXPECT_EQ(boxes.shown, std::vector<platform::Message>{missing});
}
