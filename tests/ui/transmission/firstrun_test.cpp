#include "fixture.h"

#include "common/databases.h"
#include "common/settings.h"
#include "platform/filewriters.h"
#include "platform/twips.h"
#include "support/asuser.h"
#include "ui/main/frmmain.h"
#include "ui/main/screen.h"
#include "ui/main/windowfactory.h"
#include "ui/transmission/frmfirstexecution.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using platform::MsgIcon;
using testsupport::clickAsUser;
using uitransmission::frmFirstExecution;

namespace {

class FirstRun : public SetupTest {
protected:
    FirstRun() { common::PercorsoArchivio.clear(); }

    void forward(frmFirstExecution &w, const QString &text)
    {
        w.txtPathName->setText(text);
        clickAsUser(w.cmdConfirm);
    }
    bool settingsWritten() const { return QFileInfo::exists(tmp_.file("prog/CORBIX.INI")); }
    QString step(const frmFirstExecution &w) const
    {
        return QString("%1 %2 %3 %4 %5")
            .arg(w.PassoCorrente)
            .arg(w.PassoPrecedente)
            .arg(w.PassoSuccessivo)
            .arg(w.cmdConfirm->text())
            .arg(w.cmdPreview->isEnabled() ? "indietro" : "-");
    }
};

TEST_F(FirstRun, StartsOnTheWelcome)
{
    frmFirstExecution w;
    EXPECT_EQ(w.windowTitle(), "CORBIX DOGANALI - Preparazione alla prima esecuzione");
    EXPECT_EQ(step(w), "1 0 2 &Avanti >> -");
    EXPECT_TRUE(w.lblInstruction->text().startsWith("Grazie per aver scelto l'applicazione 'Corbix Doganali'"));
    EXPECT_GE(w.txtPathName->y(), w.height());
    // No blank strip below the buttons: the height given is the outer one.
    EXPECT_LE(w.height() - (w.cmdConfirm->y() + w.cmdConfirm->height()), platform::twips(120));
    EXPECT_GT(w.cmdConfirm->y(), w.lblInstruction->geometry().bottom());
}

TEST_F(FirstRun, CancelOnTheWelcomeWritesNothing)
{
    frmFirstExecution w;
    w.show();
    clickAsUser(w.cmdCancel);
    EXPECT_EQ(common::EsitoPrimaEsecuzione.toInt(), 0);
    EXPECT_TRUE(common::EsitoPrimaEsecuzione.isValid());
    EXPECT_FALSE(settingsWritten());
}

// Each button has its own access key: Alt+A moves forward and never gives
// up the set-up, Alt+N gives up. An access key presses its
// button as a click the user sees, a moment later. The box a step does not
// show is out of the keyboard's reach.
TEST_F(FirstRun, EveryButtonHasItsOwnAccessKey)
{
    frmFirstExecution w;
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_EQ(w.cmdCancel->text(), "A&nnulla");
    EXPECT_EQ(QApplication::focusWidget(), w.cmdConfirm);
    EXPECT_FALSE(w.txtPathName->isVisible());
    const auto premi = [&](Qt::Key tasto, const QString &atteso) {
        testsupport::keyClickAsUser(QApplication::focusWidget(), tasto, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([&] { return step(w) == atteso; }, 1000)) << step(w).toStdString();
    };
    premi(Qt::Key_A, "2 0 2 &Avanti >> -");
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.txtPathName->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), w.txtPathName);
    EXPECT_FALSE(common::EsitoPrimaEsecuzione.isValid());
    testsupport::keyClickAsUser(QApplication::focusWidget(), Qt::Key_N, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w.isVisible(); }, 1000));
    EXPECT_EQ(common::EsitoPrimaEsecuzione.toInt(), 0);
    EXPECT_TRUE(common::EsitoPrimaEsecuzione.isValid());
    EXPECT_FALSE(settingsWritten());
}

TEST_F(FirstRun, ANewCollectionPointIsMadeAndRecordedInNetworkForm)
{
    frmFirstExecution w;
    w.show();
    clickAsUser(w.cmdConfirm);
    EXPECT_EQ(step(w), "2 0 2 &Avanti >> -");
    EXPECT_EQ(w.lblPathName->text(), "Nome e percorso dell'archivio.");
    EXPECT_EQ(w.txtPathName->text(), "C:\\");
    forward(w, "C:\\Archivio.mdb");
    EXPECT_EQ(step(w), "3 2 4 &Avanti >> indietro");
    EXPECT_EQ(w.lblPathName->text(), "Nome e percorso del punto di raccolta corbix.");
    EXPECT_EQ(w.txtPathName->text(), "C:\\Corbix Doganali");
    clickAsUser(w.cmdConfirm);
    EXPECT_EQ(step(w), "4 3 5 &Fine indietro");
    QDir::setCurrent(tmp_.path());
    clickAsUser(w.cmdConfirm);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(common::EsitoPrimaEsecuzione.toInt(), 1);
    EXPECT_EQ(common::PercorsoArchivio, "C:\\Archivio.mdb");
    EXPECT_EQ(centrale(), "\\\\PC-UFFICIO\\C\\Corbix Doganali\\");
    EXPECT_EQ(entries(onC("Corbix Doganali")),
              (QStringList{"Corbix in uscita", "Corbix inviati", "Risposte Pervenute", "Storico", "TEMP"}));
    EXPECT_EQ(bytes(tmp_.file("prog/CORBIX.INI")).split('\r').value(2), "\nC:\\Archivio.mdb");
    EXPECT_EQ(QDir::currentPath() + '/', common::CartellaProgramma);
}

TEST_F(FirstRun, AnArchiveWithACollectionPointSkipsItsStep)
{
    db.execute("UPDATE Paramflu SET Centrale = ?", {QString("\\\\SRV\\Dati\\Punto\\")});
    frmFirstExecution w;
    w.show();
    clickAsUser(w.cmdConfirm);
    forward(w, onC("Archivio.mdb"));  // typed as a host path
    EXPECT_EQ(step(w), "4 2 5 &Fine indietro");
    clickAsUser(w.cmdPreview);
    EXPECT_EQ(step(w), "2 0 4 &Avanti >> -");
    EXPECT_EQ(w.txtPathName->text(), "C:\\Archivio.mdb");
    clickAsUser(w.cmdConfirm);
    clickAsUser(w.cmdConfirm);
    EXPECT_EQ(common::EsitoPrimaEsecuzione.toInt(), 1);
    EXPECT_EQ(centrale(), "\\\\SRV\\Dati\\Punto\\");
    EXPECT_EQ(entries(tmp_.file("c")), QStringList{"Archivio.mdb"});
    EXPECT_TRUE(settingsWritten());
}

TEST_F(FirstRun, BackFromTheSummaryThroughTheCollectionPoint)
{
    frmFirstExecution w;
    w.show();
    clickAsUser(w.cmdConfirm);
    forward(w, "C:\\Archivio.mdb");
    forward(w, "C:\\Punto");
    clickAsUser(w.cmdPreview);
    EXPECT_EQ(step(w), "3 2 4 &Avanti >> indietro");
    EXPECT_EQ(w.txtPathName->text(), "C:\\Punto");
    clickAsUser(w.cmdPreview);
    EXPECT_EQ(step(w), "2 0 3 &Avanti >> -");
    EXPECT_EQ(w.txtPathName->text(), "C:\\Archivio.mdb");
}

TEST_F(FirstRun, TheCollectionPointStepRefusesWhatCannotBeMade)
{
    QDir().mkpath(onC("Esiste"));
    frmFirstExecution w;
    w.show();
    clickAsUser(w.cmdConfirm);
    forward(w, "C:\\Archivio.mdb");
    forward(w, "D:\\Nuova\\Punto");
    forward(w, "C:\\Esiste");
    EXPECT_EQ(step(w), "3 2 4 &Avanti >> indietro");
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0], box("Il percorso 'D:\\Nuova\\' non è valido. Indicare un percorso corretto.",
                                  MsgIcon::Exclamation));
    EXPECT_EQ(boxes.shown[1].icon, MsgIcon::Information);
}

TEST_F(FirstRun, AnArchiveThatDoesNotOpenKeepsTheArchiveStep)
{
    tmp_.write("c/Testo.mdb", "testo");
    frmFirstExecution w;
    w.show();
    clickAsUser(w.cmdConfirm);
    forward(w, "C:\\Testo.mdb");
    EXPECT_EQ(step(w), "2 0 2 &Avanti >> -");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.startsWith("Impossibile aprire l'archivio 'C:\\Testo.mdb'."));
}

TEST_F(FirstRun, ACollectionPointThatCannotBeSetUpLeavesNoSettingsFile)
{
    db.execute("DELETE FROM Paramflu");
    frmFirstExecution w;
    w.show();
    clickAsUser(w.cmdConfirm);
    forward(w, "C:\\Archivio.mdb");
    forward(w, "C:\\Punto");
    clickAsUser(w.cmdConfirm);
    EXPECT_EQ(common::EsitoPrimaEsecuzione.toInt(), 0);
    EXPECT_FALSE(settingsWritten());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0], box("Impossibile impostare il punto di raccolta selezionato. Contattare il produttore "
                                  "dell'applicazione.",
                                  MsgIcon::Critical));
}

// The wizard from its welcome to its end, given the archive C:\Archivio.mdb
// and, where it asks for one, the collection point it proposes.
void runToTheEnd(frmFirstExecution &w)
{
    w.show();
    clickAsUser(w.cmdConfirm);
    w.txtPathName->setText("C:\\Archivio.mdb");
    for (int step = 0; step < 3 && w.isVisible(); ++step)
        clickAsUser(w.cmdConfirm);
}

// The program database is what every composition reads its layouts from:
// the end of the set-up puts the program's own in a folder that has none,
// the user's to change, whole and under its name only.
TEST_F(FirstRun, TheEndPutsTheShippedProgramDatabaseInAFolderWithoutOne)
{
    db.execute("UPDATE Paramflu SET Centrale = ?", {QString("\\\\SRV\\Dati\\Punto\\")});
    const QString shipped = common::DatabaseProgrammaDistribuito();
    ASSERT_TRUE(shipped.endsWith("/share/corbix/Corbix.mdb")) << qPrintable(shipped);
    frmFirstExecution w;
    runToTheEnd(w);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(common::EsitoPrimaEsecuzione.toInt(), 1);
    const QString copy = tmp_.file("prog/Corbix.mdb");
    EXPECT_EQ(bytes(copy), bytes(shipped));
    EXPECT_TRUE(QFileInfo(copy).permissions() & QFileDevice::WriteOwner);
    EXPECT_EQ(entries(tmp_.file("prog")), (QStringList{"CORBIX.INI", "Corbix.mdb", "dosdevices"}));
    dao::Database program = common::ApriDatabaseProgramma();
    auto layouts = program.openRecordset("SELECT COUNT(*) FROM Tracciati WHERE CodiceMsg = 'C1'");
    EXPECT_GT(layouts->value(0).toInt(), 0);
}

// The layouts an office keeps are its own, however the file's name is spelt.
TEST_F(FirstRun, TheEndKeepsTheProgramDatabaseTheFolderHas)
{
    const QString own = tmp_.file("prog/CORBIX.MDB");
    platform::replaceFile(own, "i tracciati dell'ufficio");
    frmFirstExecution w;
    runToTheEnd(w);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(common::EsitoPrimaEsecuzione.toInt(), 1);
    EXPECT_EQ(bytes(own), "i tracciati dell'ufficio");
    EXPECT_EQ(entries(tmp_.file("prog")), (QStringList{"CORBIX.INI", "CORBIX.MDB", "dosdevices"}));
}

// A copy that cannot be made is a set-up not done: told, and nothing else
// of the set-up is made, so the next start runs the wizard again.
TEST_F(FirstRun, AProgramDatabaseThatCannotBePutInPlaceEndsTheSetUpWithNothingMade)
{
    // A folder standing under the copy's temporary name: the copy cannot be
    // written, whoever runs the test.
    ASSERT_TRUE(QDir().mkpath(tmp_.file("prog/Corbix.mdb") + platform::MarcaTemporaneo));
    frmFirstExecution w;
    runToTheEnd(w);
    EXPECT_EQ(common::EsitoPrimaEsecuzione.toInt(), 0);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0], box("Impossibile preparare il database del programma nella cartella '"
                                      + common::CartellaProgramma + "'.\r\n"
                                      + platform::errorDescription(platform::err::PathFileAccess),
                                  MsgIcon::Critical));
    EXPECT_FALSE(settingsWritten());
    EXPECT_EQ(centrale(), "");
    EXPECT_EQ(entries(tmp_.file("c")), QStringList{"Archivio.mdb"});
    EXPECT_EQ(entries(tmp_.file("prog")), (QStringList{QString("Corbix.mdb") + platform::MarcaTemporaneo, "dosdevices"}));
}

TEST_F(FirstRun, BrowseOffersTheDialogOfTheStep)
{
    frmFirstExecution w;
    w.show();
    // On the welcome the button lies out of view below the window, where no
    // user reaches it; pressed all the same it offers nothing.
    EXPECT_GE(w.cmdSelect->y(), w.height());
    w.cmdSelect->click();
    EXPECT_TRUE(dialogs.requests.empty());
    clickAsUser(w.cmdConfirm);
    dialogs.answer(QString("C:\\Dati\\Scelto.mdb"));
    forward(w, "C:\\Dati\\Vecchio.mdb");
    w.txtPathName->setText("C:\\Dati\\Vecchio.mdb");
    clickAsUser(w.cmdSelect);
    EXPECT_EQ(w.txtPathName->text(), "C:\\Dati\\Scelto.mdb");
    uimain::RichiestaFile apri;
    apri.titolo = "Scegliere l'archivio a cui collegarsi";
    apri.filtro = "Archivi (*.mdb) |*.mdb|";
    apri.indiceFiltro = 1;
    apri.estensione = ".mdb";
    apri.nomeFile = "Vecchio.mdb";
    apri.cartellaIniziale = "C:\\Dati\\";
    apri.flags = 2623492;
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0], apri);
}

// The program started in a program folder that holds nothing but its drive
// table: the wizard runs, and the main window opens on the archive chosen.
TEST_F(FirstRun, StartUpInAnEmptyProgramFolderReachesTheMainWindow)
{
    uimain::RegisteredWindowFactory finestre;
    uitransmission::RegistraPrimaEsecuzione(finestre);
    uimain::ScopedWindowFactory guard(finestre);
    common::CartellaProgramma.clear();
    bool wizardSeen = false;
    whenModal([&](QWidget *modal) {
        auto *w = qobject_cast<frmFirstExecution *>(modal);
        ASSERT_NE(w, nullptr);
        wizardSeen = true;
        clickAsUser(w->cmdConfirm);
        w->txtPathName->setText("C:\\Archivio.mdb");
        clickAsUser(w->cmdConfirm);
        clickAsUser(w->cmdConfirm);
        clickAsUser(w->cmdConfirm);
    });
    uimain::frmMain main;
    ASSERT_TRUE(main.Form_Load());
    EXPECT_TRUE(wizardSeen);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(common::PercorsoArchivio, "C:\\Archivio.mdb");
    EXPECT_EQ(common::OpzioniCorbix.Centrale, "\\\\PC-UFFICIO\\C\\Corbix Doganali\\");
    EXPECT_EQ(main.windowTitle(), "CORBIX DOGANALI");
    EXPECT_EQ(main.grdHistory->rowCount(), 0);
    EXPECT_TRUE(settingsWritten());
}

TEST_F(FirstRun, StartUpEndsWhenTheWizardIsClosed)
{
    uimain::RegisteredWindowFactory finestre;
    uitransmission::RegistraPrimaEsecuzione(finestre);
    uimain::ScopedWindowFactory guard(finestre);
    whenModal([](QWidget *modal) { modal->close(); });
    uimain::frmMain main;
    EXPECT_FALSE(main.Form_Load());
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(settingsWritten());
}

// A first start given up after the user tried a path leaves the program
// folder as it found it: the drive table the start made by itself goes, one
// the user made or changed stays.
TEST_F(FirstRun, AStartGivenUpLeavesNoDriveTableItMadeByItself)
{
    struct Case {
        const char *name;
        bool userEntry;  // the user added a share to the table beforehand
        QStringList left;
    };
    for (const Case &c : {Case{"as made", false, {}}, Case{"with the user's share", true, {"dosdevices"}}}) {
        SCOPED_TRACE(c.name);
        if (c.userEntry) {
            ASSERT_TRUE(QDir().mkpath(drives_.folder()));
            drives_.setDrive(u'c', tmp_.file("c"));
            drives_.setShare("SERVER", "Dogana", tmp_.file("c"));
        }
        uimain::RegisteredWindowFactory finestre;
        uitransmission::RegistraPrimaEsecuzione(finestre);
        uimain::ScopedWindowFactory guard(finestre);
        whenModal([](QWidget *modal) {
            auto *w = qobject_cast<frmFirstExecution *>(modal);
            ASSERT_NE(w, nullptr);
            clickAsUser(w->cmdConfirm);
            w->txtPathName->setText("C:\\Manca.mdb");
            clickAsUser(w->cmdConfirm);
            clickAsUser(w->cmdCancel);
        });
        uimain::frmMain main;
        EXPECT_FALSE(main.Form_Load());
        EXPECT_EQ(entries(tmp_.file("prog")), c.left);
        if (c.userEntry) {
            EXPECT_EQ(entries(tmp_.file("prog/dosdevices")), (QStringList{"c:", "unc"}));
        }
        EXPECT_EQ(entries(tmp_.file("c")), QStringList{"Archivio.mdb"});
    }
}

}  // namespace
