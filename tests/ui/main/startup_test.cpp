#include "fixture.h"

#include "common/textfiles.h"
#include "flowengine/journal.h"
#include "platform/clock.h"
#include "platform/dao/recordset.h"
#include "platform/errors.h"
#include "support/doubles/fakeclock.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

using platform::Message;
using platform::MsgButtons;
using platform::MsgIcon;
using uimain::Finestra;
using uimain::frmMain;

namespace {

Message critical(const QString &text) { return Message{text, "Corbix doganali", MsgIcon::Critical, MsgButtons::OK, 1}; }

TEST_F(MainWindowTest, ProgramFolderIsTheCurrentFolder)
{
    common::CartellaProgramma.clear();
    frmMain finestra;
    finestra.Form_Load();
    EXPECT_EQ(common::CartellaProgramma, tmp_.file("prog") + "/");
    EXPECT_EQ(common::InsiemeMessaggi, "");
}

TEST_F(MainWindowTest, CancelledFirstRunEndsWithoutAMessage)
{
    factory_.actions[Finestra::frmFirstExecution] = [] { common::EsitoPrimaEsecuzione = 0; };
    frmMain finestra;
    EXPECT_FALSE(finestra.Form_Load());
    ASSERT_EQ(factory_.calls.size(), 1u);
    EXPECT_EQ(factory_.calls[0].finestra, Finestra::frmFirstExecution);
    EXPECT_TRUE(shown().empty());
    EXPECT_FALSE(finestra.isVisible());
}

TEST_F(MainWindowTest, FirstRunClosedFromItsFrameCountsAsCancelled)
{
    frmMain finestra;
    EXPECT_FALSE(finestra.Form_Load());
    EXPECT_EQ(factory_.calls.size(), 1u);
    EXPECT_TRUE(shown().empty());
}

TEST_F(MainWindowTest, SettingsFileInAnotherFolderIsNotLookedFor)
{
    // The settings file of the executable's folder, or of any other, is not
    // the program's: only the current folder counts.
    QDir().mkpath(tmp_.file("other"));
    tmp_.write("other/CORBIX.INI", "a\r\nb\r\nC:\\Dogana\\Archivio.mdb\r\nNon usata\r\n1.0\r\n");
    frmMain finestra;
    EXPECT_FALSE(finestra.Form_Load());
    ASSERT_EQ(factory_.calls.size(), 1u);
    EXPECT_EQ(factory_.calls[0].finestra, Finestra::frmFirstExecution);
}

TEST_F(MainWindowTest, EmptySettingsFileEndsStartUp)
{
    tmp_.write("prog/CORBIX.INI", "");
    frmMain finestra;
    EXPECT_FALSE(finestra.Form_Load());
    EXPECT_TRUE(factory_.calls.empty());
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(shown()[0], critical("Impossibile leggere il file di impostazioni '" + tmp_.file("prog")
                                   + "/CORBIX.INI'."));
}

// A folder in the place of the settings file is no first run: the settings
// file is there and cannot be read.
TEST_F(MainWindowTest, ASettingsFileThatIsAFolderEndsStartUp)
{
    QDir().mkpath(tmp_.file("prog/Corbix.Ini"));
    frmMain finestra;
    EXPECT_FALSE(finestra.Form_Load());
    EXPECT_TRUE(factory_.calls.empty());
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(shown()[0], critical("Impossibile leggere il file di impostazioni '" + tmp_.file("prog")
                                   + "/Corbix.Ini'."));
    EXPECT_TRUE(QFileInfo(tmp_.file("prog/Corbix.Ini")).isDir());
}

// The settings file and the program database are found in the program
// folder whatever the letter case of their names.
TEST_F(MainWindowTest, StartsOnSettingsAndProgramDatabaseNamedInAnyCase)
{
    makeProgramFolder();
    ASSERT_TRUE(QFile::rename(tmp_.file("prog/CORBIX.INI"), tmp_.file("prog/corbix.ini")));
    frmMain finestra;
    ASSERT_TRUE(finestra.Form_Load());
    EXPECT_TRUE(shown().empty());
    EXPECT_TRUE(factory_.calls.empty());
    EXPECT_EQ(common::PercorsoArchivio, archivePath());
    EXPECT_EQ(entries(tmp_.file("prog")).filter(QRegularExpression("(?i)^corbix\\.ini$")), QStringList{"corbix.ini"});
}

struct ArchiveCase {
    const char *name;
    const char *archive;     // the path in the settings file
    const char *contents;    // written at C:\Dogana\Archivio.mdb unless null
    int error;
    bool named;              // whether the error text names the archive (by its path in the settings file)
};

void PrintTo(const ArchiveCase &c, std::ostream *os) { *os << c.name; }

class ArchiveNotOpened : public MainWindowTest, public ::testing::WithParamInterface<ArchiveCase> {};

TEST_P(ArchiveNotOpened, EndsStartUpWithTheReason)
{
    const ArchiveCase &c = GetParam();
    if (c.contents)
        tmp_.write("c/Dogana/Archivio.mdb", c.contents);
    writeSettings(c.archive);
    frmMain finestra;
    EXPECT_FALSE(finestra.Form_Load());
    ASSERT_EQ(shown().size(), 1u);
    const QStringList args = c.named ? QStringList{c.archive} : QStringList{};
    EXPECT_EQ(shown()[0], critical(QString("Impossibile aprire l'archivio '") + c.archive + "'.\r\n"
                                   + platform::errorDescription(c.error, args)));
    // Opening never makes the archive.
    if (!c.contents) {
        EXPECT_FALSE(QFileInfo::exists(onC("Dogana/Archivio.mdb")));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ArchiveNotOpened,
    ::testing::Values(ArchiveCase{"Missing", "C:\\Dogana\\Archivio.mdb", nullptr, 3024, true},
                      ArchiveCase{"Empty", "C:\\Dogana\\Archivio.mdb", "", 3343, true},
                      ArchiveCase{"NotADatabase", "C:\\Dogana\\Archivio.mdb", "Archivio di testo\r\n", 3343, true},
                      ArchiveCase{"DriveNotReady", "Q:\\Dogana\\Archivio.mdb", nullptr, 68, false}),
    [](const auto &caso) { return std::string(caso.param.name); });

TEST_F(MainWindowTest, StartsOnAProgramFolder)
{
    makeProgramFolder();
    frmMain finestra;
    ASSERT_TRUE(finestra.Form_Load());
    EXPECT_TRUE(shown().empty());
    EXPECT_TRUE(factory_.calls.empty());
    EXPECT_EQ(finestra.windowTitle(), "CORBIX DOGANALI");
    EXPECT_EQ(common::EsitoPrimaEsecuzione.toInt(), 1);
    EXPECT_EQ(common::PercorsoArchivio, archivePath());
    EXPECT_EQ(common::OpzioniCorbix.Centrale, "C:\\Corbix\\");
    EXPECT_EQ(common::OpzioniCorbix.FloppyDevice, "A:");
    EXPECT_EQ(finestra.RigaContesto, 0);
    EXPECT_EQ(common::DescrizioneApplicazione,
              "Composizione e Invio Corbix Doganali, Ricezione e decodifica risposte E.D.I.");
    EXPECT_EQ(common::CartellaApplicazione, tmp_.file("prog") + "/");
}

TEST_F(MainWindowTest, CompletedFirstRunGoesOnWithTheSettingsItWrote)
{
    makeProgramFolder();
    QFile::remove(tmp_.file("prog/CORBIX.INI"));
    factory_.actions[Finestra::frmFirstExecution] = [this] {
        writeSettings();
        common::EsitoPrimaEsecuzione = 1;
    };
    frmMain finestra;
    ASSERT_TRUE(finestra.Form_Load());
    EXPECT_EQ(factory_.calls.size(), 1u);
    EXPECT_EQ(common::PercorsoArchivio, archivePath());
    EXPECT_TRUE(shown().empty());
}

TEST_F(MainWindowTest, NoOptionsRowEndsStartUp)
{
    makeProgramFolder();
    db.execute("DELETE FROM Paramflu");
    frmMain finestra;
    EXPECT_FALSE(finestra.Form_Load());
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(shown()[0], (Message{"Impossibile impostare le opzioni dell'applicazione.", "CORBIX DOGANALI",
                                   MsgIcon::Critical, MsgButtons::OK, 1}));
}

const char *const collectionPointMessage =
    "Impossibile accedere al punto di raccolta 'C:\\Corbix\\' o questo non è impostato correttamente. "
    "Impostare il punto di raccolta quindi riprovare o contattare il fornitore del prodotto.";

TEST_F(MainWindowTest, IncompleteCollectionPointEndsStartUpAfterItsOwnMessage)
{
    makeProgramFolder();
    QDir().rmdir(onC("Corbix/Storico"));
    frmMain finestra;
    EXPECT_FALSE(finestra.Form_Load());
    ASSERT_EQ(shown().size(), 2u);
    EXPECT_EQ(shown()[0], (Message{"La struttura della cartella riservata alla gestione dei corbix non è completa. "
                                   "Manca la cartella per i corbix esauditi (storico).",
                                   "Corbix doganali", MsgIcon::Exclamation, MsgButtons::OKCancel, 1}));
    EXPECT_EQ(shown()[1], critical(collectionPointMessage));
}

TEST_F(MainWindowTest, MissingCollectionPointEndsStartUp)
{
    makeProgramFolder();
    QDir(onC("Corbix")).removeRecursively();
    frmMain finestra;
    EXPECT_FALSE(finestra.Form_Load());
    ASSERT_EQ(shown().size(), 2u);
    EXPECT_EQ(shown()[0].text, "Impossibile trovare la cartella 'Corbix' riservata ai corbix doganali.");
    EXPECT_EQ(shown()[1], critical(collectionPointMessage));
}

TEST_F(MainWindowTest, OutgoingFolderMissingIsOnlyWarnedOf)
{
    makeProgramFolder();
    QDir().rmdir(onC("Corbix/Corbix in uscita"));
    frmMain finestra;
    EXPECT_TRUE(finestra.Form_Load());
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(shown()[0].text, "La struttura della cartella riservata alla gestione dei corbix non è completa. "
                               "Manca la cartella per i corbix in uscita.");
    EXPECT_EQ(finestra.windowTitle(), "CORBIX DOGANALI");
}

TEST_F(MainWindowTest, ListThatCannotBeFilledEndsStartUp)
{
    makeProgramFolder();
    testsupport::OtherProgram other(onC("Archivio.mdb"));
    ASSERT_EQ(other.exec("DROP TABLE Corbix"), SQLITE_OK);
    frmMain finestra;
    EXPECT_FALSE(finestra.Form_Load());
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_TRUE(shown()[0].text.startsWith("Errore di Run-time 3011\r\n")) << shown()[0].text.toStdString();
    EXPECT_EQ(shown()[0].icon, MsgIcon::Critical);
}

}  // namespace

// Start-up finishes what a run stopped by a crash left: the temporaries of
// its uncommitted flow go, and so does a folder-step reservation of an
// earlier day; the list then shows only today's reservation.
TEST_F(MainWindowTest, StartUpFinishesWhatAnInterruptedRunLeft)
{
    makeProgramFolder();
    platform::FakeClock clock(QDateTime(QDate(2026, 1, 15), QTime(9, 0)));
    platform::ScopedClock clockGuard(clock);
    for (const QDate &day : {QDate(2026, 1, 14), QDate(2026, 1, 15)})
        db.execute(QStringLiteral("INSERT INTO Corbix (Posizione, Data, Progressivo, NomeFile, Stato, Tipo) "
                                  "VALUES (3, ?, 7, NULL, 1, 2)"),
                   {day}, dao::FailOnError);
    const QString archive = onC("Corbix/Corbix inviati/20260115-0");
    common::OpzioniCorbix.Centrale = QStringLiteral("C:\\Corbix\\");
    {
        flowengine::GiornaleLavoro run;
        const QString name = QStringLiteral("C:\\Corbix\\Corbix inviati\\20260115-0");
        run.annota(name, flowengine::Destino::Esclusivo);
        ASSERT_TRUE(common::writeTemporary(archive, "flusso\r\n", false, run.identificatore(name)));
        run.registra(QStringLiteral("C:\\Corbix\\Corbix inviati\\20260115-0"));
    }
    ASSERT_EQ(entries(onC("Corbix/TEMP")).size(), 1);
    frmMain finestra;
    ASSERT_TRUE(finestra.Form_Load());
    EXPECT_TRUE(shown().empty());
    EXPECT_EQ(entries(onC("Corbix/Corbix inviati")), QStringList());
    EXPECT_EQ(entries(onC("Corbix/TEMP")), QStringList());
    auto rs = db.openRecordset(QStringLiteral("SELECT Data FROM Corbix"));
    ASSERT_FALSE(rs->eof());
    EXPECT_EQ(rs->value(0).toDate(), QDate(2026, 1, 15));
    rs->moveNext();
    EXPECT_TRUE(rs->eof());
}

// A removable-medium flow of an earlier day whose file name is Null (as
// sibling programs and older archives write it) holds two declarations:
// start-up keeps it, and its declarations stay sent and can be released.
TEST_F(MainWindowTest, StartUpKeepsAnEarlierMediumFlowWithoutAFileNameAndItsDeclarations)
{
    makeProgramFolder();
    platform::FakeClock clock(QDateTime(QDate(2026, 1, 15), QTime(9, 0)));
    platform::ScopedClock clockGuard(clock);
    for (const int indice : {1, 3})
        db.execute(QStringLiteral("INSERT INTO IndiceDoc (Indice, Data, CodiceDoc, Stato1) VALUES (?, '2024-03-04', "
                                  "'BOLL', 2)"),
                   {indice}, dao::FailOnError);
    db.execute(QStringLiteral("INSERT INTO Corbix (Posizione, Data, Progressivo, NomeFile, CompostoDa, Stato, Tipo, "
                              "RifFloppy, FattoDa) VALUES (3, '2026-01-12', 2, NULL, ?, 1, 1, 'PRATICHE.001', "
                              "'010101Z')"),
               {QStringLiteral("1-04/03/2024-0000001\r\n3-04/03/2024-0000003\r\n")}, dao::FailOnError);
    frmMain finestra;
    ASSERT_TRUE(finestra.Form_Load());
    auto rs = db.openRecordset(QStringLiteral("SELECT Data, Progressivo, Tipo, CompostoDa FROM Corbix"));
    ASSERT_FALSE(rs->eof());
    EXPECT_EQ(rs->value(0).toDate(), QDate(2026, 1, 12));
    EXPECT_EQ(rs->value(1).toInt(), 2);
    EXPECT_EQ(rs->value(2).toInt(), 1);
    EXPECT_EQ(rs->value(3).toString(), QStringLiteral("1-04/03/2024-0000001\r\n3-04/03/2024-0000003\r\n"));
    rs->moveNext();
    EXPECT_TRUE(rs->eof());
    rs = db.openRecordset(QStringLiteral("SELECT Indice, Stato1 FROM IndiceDoc ORDER BY Indice"));
    QStringList stati;
    for (; !rs->eof(); rs->moveNext())
        stati << rs->value(0).toString() + u'=' + rs->value(1).toString();
    EXPECT_EQ(stati, (QStringList{QStringLiteral("1=2"), QStringLiteral("3=2")}));
    EXPECT_EQ(finestra.grdHistory->rowCount(), 1) << "the flow is listed";
}
