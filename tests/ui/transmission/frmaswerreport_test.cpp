#include "report_fixture.h"

#include "platform/qtpageprinter.h"
#include "support/asuser.h"
#include "ui/main/flowgrid.h"
#include "ui/transmission/frmaswerreport.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>

using namespace uitransmission;
using testsupport::clickAsUser;

namespace {

// The main window as the report window sees it: its list of flows, filled
// from the register, with the flow of 5 March 2026 number 7 selected.
class AnswerReportScreen : public ReportTest {
protected:
    void addFlows(const QVariant &ok, const QVariant &ko)
    {
        addFlow(flowengine::PosizioneInviati, QDate(2026, 3, 5), 7, flowengine::StatoRispostaElaborata,
                flowengine::TipoTelematico, "SPED1", tabulato.CompostoDa, tabulato.FileCorbex, {}, ok, ko, 0);
        addFlow(flowengine::PosizioneRisposta, QDate(2026, 3, 5), 7, 0, 0, "SPED1", {}, tabulato.FileRisposta);
        // A newer flow stands above it in the list.
        addFlow(flowengine::PosizioneInviati, QDate(2026, 3, 6), 1, flowengine::StatoProdotto,
                flowengine::TipoTelematico, "SPED1");
        ASSERT_TRUE(uimain::CaricaGriglia(grdHistory, flowengine::PosizioneInviati));
        common::RigaSelezionata = 2;
    }

    // The flow of the selected row, as the list shows it.
    flowengine::DatiCorbex selected() const
    {
        flowengine::DatiCorbex flow;
        if (common::RigaSelezionata >= 1)
            uimain::FlussoRigaGriglia(grdHistory, common::RigaSelezionata - 1, flow);
        return flow;
    }

    QWidget owner;
    QTableWidget *grdHistory = new QTableWidget(&owner);
};

}  // namespace

TEST_F(AnswerReportScreen, TheControlsAndTheFlowLoaded)
{
    addFlows(2, 1);
    frmAswerReport w(&owner, selected());
    w.Form_Load();

    EXPECT_EQ(w.windowTitle(), "Tabulato esplicativo");
    EXPECT_EQ(w.fraSelectReport->title(), "Tabulati da riprodurre");
    EXPECT_EQ(w.chkSuccess->text(), "&Esiti &Positivi");
    EXPECT_EQ(w.chkFailure->text(), "Esiti &Negativi");
    EXPECT_EQ(w.cmdPrint->text(), "&Stampa");
    EXPECT_TRUE(w.cmdPrint->isDefault());
    EXPECT_EQ(w.cmdCancel->text(), "A&nnulla");
    EXPECT_EQ(w.lblDestinationPrint->text(), "La stampa verrà avviata su:");
    EXPECT_EQ(w.txtDestinationPrinter->text(), "Registratore");
    for (const char *name : {"fraSelectReport", "chkSuccess", "chkFailure", "cmdPrint", "cmdCancel",
                             "lblDestinationPrint", "txtDestinationPrinter"})
        EXPECT_NE(w.findChild<QWidget *>(QString::fromUtf8(name)), nullptr) << name;

    EXPECT_EQ(w.Tabulato().Data, QDate(2026, 3, 5));
    EXPECT_EQ(w.Tabulato().Progressivo, 7);
    EXPECT_EQ(w.Tabulato().FileCorbex, tabulato.FileCorbex);
    EXPECT_EQ(w.Tabulato().CompostoDa, tabulato.CompostoDa);
    EXPECT_EQ(w.Tabulato().FileRisposta, tabulato.FileRisposta);
}

TEST_F(AnswerReportScreen, TheCountersSayWhichListingsAreOffered)
{
    struct Case {
        QVariant ok, ko;
        bool success, failure;
    } cases[] = {{2, 1, true, true}, {3, 0, true, false}, {0, 4, false, true}, {0, 0, false, false}, {{}, {}, false, false}};
    for (const Case &c : cases) {
        db.execute("DELETE FROM Corbix");
        addFlows(c.ok, c.ko);
        frmAswerReport w(&owner, selected());
        w.Form_Load();
        const QString at = QStringLiteral("OK %1 KO %2").arg(c.ok.toString(), c.ko.toString());
        EXPECT_EQ(w.chkSuccess->isEnabled(), c.success) << at.toStdString();
        EXPECT_EQ(w.chkSuccess->isChecked(), c.success) << at.toStdString();
        EXPECT_EQ(w.chkFailure->isEnabled(), c.failure) << at.toStdString();
        EXPECT_EQ(w.chkFailure->isChecked(), c.failure) << at.toStdString();
        EXPECT_EQ(w.cmdPrint->isEnabled(), c.success || c.failure) << at.toStdString();
    }
}

TEST_F(AnswerReportScreen, UntickingBothBoxesDisablesThePrintCommand)
{
    addFlows(2, 1);
    frmAswerReport w(&owner, selected());
    w.Form_Load();
    w.show();
    clickAsUser(w.chkSuccess);
    EXPECT_TRUE(w.cmdPrint->isEnabled());
    clickAsUser(w.chkFailure);
    EXPECT_FALSE(w.cmdPrint->isEnabled());
    clickAsUser(w.chkFailure);
    EXPECT_TRUE(w.cmdPrint->isEnabled());
    clickAsUser(w.cmdCancel);
    EXPECT_EQ(w.result(), QDialog::Rejected);
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(printer.calls.empty());
}

TEST_F(AnswerReportScreen, PrintingBothListingsMakesTwoDocumentsPositiveFirst)
{
    addFlows(1, 1);
    writeAnswer({at({{1, "R"}, {2, "C1"}, {14, "R00001"}, {28, "P"}, {29, "AB"}, {40, "150126"}}),
                 at({{1, "R"}, {2, "C1"}, {14, "R00009"}, {28, "N"}})});
    writeFlow({"ENVELOPE"});
    frmAswerReport w(&owner, selected());
    w.Form_Load();
    w.show();
    clickAsUser(w.cmdPrint);

    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_FALSE(w.isVisible());
    std::vector<QString> markers;
    for (const QString &l : printer.lines())
        if (l.startsWith("orientation") || l == "end" || l.contains("(esiti"))
            markers.push_back(l);
    const std::vector<QString> expected = {
        "orientation landscape",
        "text p1 (20,30) Arial 10: Tabulato esplicativo messaggio di risposta al corbex N. 7 del 05/03/2026 "
        "(esiti positivi)",
        "end",
        "orientation portrait",
        "text p1 (20,30) Arial 10: Tabulato esplicativo messaggio di risposta al corbex N. 7 del 05/03/2026 "
        "(esiti negativi)",
        "end",
    };
    EXPECT_EQ(markers, expected);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(AnswerReportScreen, AFlowNoLongerInTheRegisterOffersNothing)
{
    addFlows(2, 1);
    db.execute("DELETE FROM Corbix WHERE Progressivo = 7");
    frmAswerReport w(&owner, selected());
    w.Form_Load();
    EXPECT_FALSE(w.chkSuccess->isEnabled());
    EXPECT_FALSE(w.chkFailure->isEnabled());
    EXPECT_FALSE(w.cmdPrint->isEnabled());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(AnswerReportScreen, TheMainWindowsContextCommandOpensIt)
{
    uimain::RegisteredWindowFactory windows;
    EXPECT_FALSE(windows.disponibile(uimain::Finestra::frmAswerReport));
    RegistraTabulato(windows);
    EXPECT_TRUE(windows.disponibile(uimain::Finestra::frmAswerReport));
}

TEST_F(AnswerReportScreen, WithoutAPrinterTheListingIsAPdfInTheCollectionPointsTempFolder)
{
    addFlows(1, 0);
    writeAnswer({at({{1, "R"}, {2, "C1"}, {14, "R00001"}, {28, "P"}, {29, "AB"}, {31, "12"}, {33, "000123"},
                     {39, "X"}, {40, "150126"}, {46, "0042"}, {50, "K"}, {51, "000777"}, {57, "160226"},
                     {63, "170326"}})});
    platform::QtPagePrinter qt;
    platform::ScopedPagePrinter realPrinter(qt);
    frmAswerReport w(&owner, selected());
    w.Form_Load();
    w.cmdPrint_Click();

    const QString pdf = onC("Corbix/TEMP/Stampa-20261210-093005.pdf");
    EXPECT_EQ(qt.lastPdfFile(), pdf);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0],
              (platform::Message{"Nessuna stampante disponibile: il documento è stato salvato nel file '" + pdf + "'.",
                                 "Tabulato esplicativo", platform::MsgIcon::Information, platform::MsgButtons::OK,
                                 1}));
    // The printer's own settings are back for the other reports.
    EXPECT_EQ(qt.pdfFolder(), QString());
    EXPECT_EQ(qt.messageTitle(), QString());

    QProcess text;
    text.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(text.waitForFinished(20000));
    const QString read = QString::fromUtf8(text.readAllStandardOutput());
    for (const char *expected :
         {"Spedizioni Rossi S.p.A.",
          "Tabulato esplicativo messaggio di risposta al corbex N. 7 del 05/03/2026 (esiti positivi)",
          "Stampato il 10/12/2026", "Pag. 1", "CONVALIDA", "CONTO DOGANALE", "Scadenza non fiscale", "101/2026",
          "R00001-A", "000123 X", "15/01/2026", "0042K", "777", "16/02/2026", "17/03/2026"})
        EXPECT_TRUE(read.contains(QString::fromUtf8(expected))) << expected << "\n" << read.toStdString();
    EXPECT_FALSE(read.contains(u'\f' + QStringLiteral("Spedizioni"))) << "one page";
}
