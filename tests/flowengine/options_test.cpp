#include "fixture.h"

#include "flowengine/collectionpointmove.h"
#include "flowengine/options.h"
#include "support/otherprogram.h"

using flowengine::CaricaOpzioni;
using flowengine::LeggiCentrale;
using flowengine::SalvaOpzioni;
using platform::Message;
using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

namespace {

const QString kTitle = QStringLiteral("Corbix doganali");
const QString kOld = QStringLiteral("\\\\pc-uff1\\D\\Dogana\\Corbix\\");
const QString kNew = QStringLiteral("\\\\PC-UFF1\\D\\Dogana\\Nuovo\\");

const Message kMoveQuestion{
    QStringLiteral("Impossibile spostare la centrale nel percorso specificato. Mantenere comunque il nuovo percorso? "
                   "Scegliendo sì l'applicazione verrà terminata per consentire all'operatore di effettuare lo "
                   "spostamento manuale, quindi si potrà riavviare l'applicazione."),
    kTitle, MsgIcon::Question, MsgButtons::YesNo, 1};

Message runTimeError(const QString &numberAndText)
{
    return {QStringLiteral("Errore di Run-time ") + numberAndText, kTitle, MsgIcon::Critical, MsgButtons::OK, 1};
}

class Options : public FlowEngineTest {
protected:
    // The row as the options dialog would leave it, with the collection point kOld.
    void loadWithCentrale(const QString &centrale)
    {
        execute(QStringLiteral("UPDATE Paramflu SET Centrale = ?"), {centrale.isEmpty() ? QVariant() : centrale});
        ASSERT_TRUE(CaricaOpzioni());
        common::OpzioniCorbix.FloppyDevice = QStringLiteral("B:");
        common::OpzioniCorbix.WhereWrite = common::DestinazionePredefinita::Cartella;
    }
    QVariantList rowWith(const QVariant &centrale) const
    {
        return {QStringLiteral("B:"), 0, false, centrale, 2, QStringLiteral("C:\\")};
    }
    // Register rows naming files under the collection point (in another
    // letter case too), a file elsewhere and none.
    void addFlows()
    {
        const char *names[] = {"\\\\pc-uff1\\D\\Dogana\\Corbix\\Corbix inviati\\20260115-0",
                               "\\\\PC-UFF1\\d\\dogana\\CORBIX\\Risposte Pervenute\\20260115-7-W",
                               "C:\\Altrove\\flusso", nullptr};
        int n = 0;
        for (const char *name : names)
            execute(QStringLiteral("INSERT INTO Corbix (Posizione, Data, Progressivo, NomeFile, Stato, Tipo) "
                                   "VALUES (3, ?, ?, ?, 1, 2)"),
                    {QDate(2026, 1, 15), ++n, name ? QVariant(QString::fromUtf8(name)) : QVariant()});
    }
    QStringList fileNames()
    {
        dao::Database db = dao::Database::open(archiveHost());
        auto rs = db.openRecordset(QStringLiteral("SELECT NomeFile FROM Corbix ORDER BY Progressivo"));
        QStringList names;
        for (; !rs->eof(); rs->moveNext())
            names << (rs->value(0).isNull() ? QStringLiteral("<null>") : rs->value(0).toString());
        return names;
    }
    const QStringList oldNames{QStringLiteral("\\\\pc-uff1\\D\\Dogana\\Corbix\\Corbix inviati\\20260115-0"),
                               QStringLiteral("\\\\PC-UFF1\\d\\dogana\\CORBIX\\Risposte Pervenute\\20260115-7-W"),
                               QStringLiteral("C:\\Altrove\\flusso"), QStringLiteral("<null>")};
    const QStringList newNames{QStringLiteral("\\\\PC-UFF1\\D\\Dogana\\Nuovo\\Corbix inviati\\20260115-0"),
                               QStringLiteral("\\\\PC-UFF1\\D\\Dogana\\Nuovo\\Risposte Pervenute\\20260115-7-W"),
                               QStringLiteral("C:\\Altrove\\flusso"), QStringLiteral("<null>")};
};

}  // namespace

TEST_F(Options, LoadReadsNullsAsEmptyAndTheLanServiceAsInternet)
{
    const struct {
        const char *update;
        common::Opzioni expected;
    } cases[] = {
        {"UPDATE Paramflu SET FloppyDevice = 'B:', SendWith = 1, PreventCheck = -1, Centrale = '\\\\PC1\\D\\C\\', "
         "WhereWrite = 2, UserDir = 'D:\\Flussi\\'",
         {"\\\\PC1\\D\\C\\", "B:", common::CanaleInvio::InternetIntranet, true, common::DestinazionePredefinita::Cartella,
          "D:\\Flussi\\"}},
        {"UPDATE Paramflu SET FloppyDevice = 'A:', SendWith = 2, PreventCheck = 0, Centrale = '', WhereWrite = 0, "
         "UserDir = 'C:\\'",
         {"", "A:", common::CanaleInvio::InternetIntranet, false, common::DestinazionePredefinita::Supporto,
          "C:\\"}},
        {"UPDATE Paramflu SET FloppyDevice = NULL, SendWith = NULL, PreventCheck = NULL, Centrale = NULL, "
         "WhereWrite = NULL, UserDir = NULL",
         {"", "", common::CanaleInvio::RichiediSempre, false, common::DestinazionePredefinita::Supporto, ""}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.update);
        common::resetGlobals();
        common::PercorsoArchivio = QStringLiteral("C:\\Archivio.mdb");
        common::OpzioniCorbix = {"x", "x", common::CanaleInvio(9), true, common::DestinazionePredefinita(9), "x"};
        execute(QString::fromLatin1(c.update));
        EXPECT_TRUE(CaricaOpzioni());
        const common::Opzioni &o = common::OpzioniCorbix;
        EXPECT_EQ(o.Centrale, c.expected.Centrale);
        EXPECT_EQ(o.FloppyDevice, c.expected.FloppyDevice);
        EXPECT_EQ(o.SendWith, c.expected.SendWith);
        EXPECT_EQ(o.PreventCheck, c.expected.PreventCheck);
        EXPECT_EQ(o.WhereWrite, c.expected.WhereWrite);
        EXPECT_EQ(o.UserDir, c.expected.UserDir);
    }
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(Options, LoadWithoutRowOrArchiveFailsAndKeepsTheValues)
{
    common::OpzioniCorbix.FloppyDevice = QStringLiteral("Z:");
    execute(QStringLiteral("DELETE FROM Paramflu"));
    EXPECT_FALSE(CaricaOpzioni());
    common::PercorsoArchivio = QStringLiteral("C:\\Manca.mdb");
    EXPECT_FALSE(CaricaOpzioni());
    EXPECT_EQ(common::OpzioniCorbix.FloppyDevice, QStringLiteral("Z:"));
    const std::vector<Message> expected = {
        {QStringLiteral("Impossibile impostare le opzioni dell'applicazione."), QStringLiteral("CORBIX DOGANALI"),
         MsgIcon::Critical, MsgButtons::OK, 1},
        runTimeError(QStringLiteral("3024:\r\nImpossibile trovare il file 'C:\\Manca.mdb'.")),
    };
    EXPECT_EQ(boxes_.shown, expected);
}

TEST_F(Options, SaveWritesEmptyTextsAsNullAndTheLanServiceAsInternet)
{
    execute(QStringLiteral("UPDATE Paramflu SET SendWith = 2, Centrale = ?"), {kOld});
    ASSERT_TRUE(CaricaOpzioni());
    common::OpzioniCorbix.FloppyDevice.clear();
    common::OpzioniCorbix.UserDir.clear();
    common::OpzioniCorbix.PreventCheck = true;
    EXPECT_TRUE(SalvaOpzioni());
    EXPECT_EQ(storedRow(), (QVariantList{QVariant(), 1, true, kOld, 0, QVariant()}));
    EXPECT_EQ(common::OpzioniCorbix.Centrale, kOld);
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(Options, ChangedCollectionPointMovesItsFolder)
{
    makeFolders(onD(QStringLiteral("Dogana")), {QStringLiteral("Corbix/Corbix inviati")});
    loadWithCentrale(kOld);
    addFlows();
    common::OpzioniCorbix.Centrale = kNew;
    EXPECT_TRUE(SalvaOpzioni());
    EXPECT_EQ(fileNames(), newNames);
    // The move's note went once the archive had committed the new path.
    EXPECT_EQ(entries(onD(QStringLiteral("Dogana"))), QStringList{QStringLiteral("Nuovo")});
    EXPECT_TRUE(isDir(onD(QStringLiteral("Dogana/Nuovo/Corbix inviati"))));
    EXPECT_EQ(storedRow(), rowWith(kNew));
    EXPECT_EQ(common::OpzioniCorbix.Centrale, kNew);
    EXPECT_FALSE(common::ChiudiApplicazione);
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(Options, ChangeOfLetterCaseAloneRenamesTheFolder)
{
    makeFolders(onD(QStringLiteral("Dogana")), {QStringLiteral("Corbix")});
    loadWithCentrale(kOld);
    const QString upper = QStringLiteral("\\\\pc-uff1\\D\\Dogana\\CORBIX\\");
    common::OpzioniCorbix.Centrale = upper;
    EXPECT_TRUE(SalvaOpzioni());
    EXPECT_EQ(entries(onD(QStringLiteral("Dogana"))), QStringList{QStringLiteral("CORBIX")});
    EXPECT_EQ(storedCentrale(), upper);
    EXPECT_TRUE(boxes_.shown.empty());
}

// The old folder is not there: the operator decides whether to keep the new
// path and move the folder by hand after the application has closed.
TEST_F(Options, FolderThatCannotBeMovedAsksWhetherToKeepTheNewPath)
{
    const struct {
        MsgResult answer;
        QString stored;
        bool closes;
        QStringList names;
    } cases[] = {{MsgResult::Yes, kNew, true, newNames}, {MsgResult::No, kOld, false, oldNames}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.closes);
        boxes_.shown.clear();
        common::ChiudiApplicazione = false;
        execute(QStringLiteral("DELETE FROM Corbix"));
        addFlows();
        loadWithCentrale(kOld);
        common::OpzioniCorbix.Centrale = kNew;
        boxes_.answer(c.answer);
        EXPECT_TRUE(SalvaOpzioni());
        EXPECT_EQ(boxes_.shown, std::vector<Message>{kMoveQuestion});
        EXPECT_EQ(storedRow(), rowWith(c.stored));
        EXPECT_EQ(common::OpzioniCorbix.Centrale, c.stored);
        EXPECT_EQ(common::ChiudiApplicazione, c.closes);
        EXPECT_EQ(fileNames(), c.names);
        EXPECT_FALSE(isDir(onD(QStringLiteral("Dogana/Nuovo"))));
    }
}

TEST_F(Options, NewPathHeldByAnotherFolderIsRefused)
{
    makeFolders(onD(QStringLiteral("Dogana")), {QStringLiteral("Corbix"), QStringLiteral("nuovo/mio")});
    addFlows();
    loadWithCentrale(kOld);
    common::OpzioniCorbix.Centrale = kNew;
    EXPECT_TRUE(SalvaOpzioni());
    EXPECT_EQ(boxes_.shown, std::vector<Message>{runTimeError(QStringLiteral("58:\r\nFile già esistente."))});
    EXPECT_EQ(storedRow(), rowWith(kOld));
    EXPECT_EQ(common::OpzioniCorbix.Centrale, kOld);
    EXPECT_EQ(entries(onD(QStringLiteral("Dogana"))), (QStringList{QStringLiteral("Corbix"), QStringLiteral("nuovo")}));
    EXPECT_EQ(entries(onD(QStringLiteral("Dogana/nuovo"))), QStringList{QStringLiteral("mio")});
    EXPECT_EQ(fileNames(), oldNames);
}

TEST_F(Options, FromAnEmptyPathTheNewOneIsStoredAndToAnEmptyPathItIsRefused)
{
    loadWithCentrale(QString());
    common::OpzioniCorbix.Centrale = kNew;
    EXPECT_TRUE(SalvaOpzioni());
    EXPECT_EQ(storedRow(), rowWith(kNew));
    EXPECT_TRUE(boxes_.shown.empty());

    common::OpzioniCorbix.Centrale.clear();
    EXPECT_TRUE(SalvaOpzioni());
    EXPECT_EQ(storedRow(), rowWith(kNew));
    EXPECT_EQ(common::OpzioniCorbix.Centrale, kNew);
    const Message refusal{QStringLiteral("Il punto di raccolta non può essere vuoto: viene mantenuto il percorso '")
                              + kNew + QStringLiteral("'."),
                          kTitle, MsgIcon::Exclamation, MsgButtons::OK, 1};
    EXPECT_EQ(boxes_.shown, std::vector<Message>{refusal});
}

TEST_F(Options, RowAddedAgainKeepsTheCollectionPointInUse)
{
    loadWithCentrale(kOld);
    execute(QStringLiteral("DELETE FROM Paramflu"));
    EXPECT_TRUE(SalvaOpzioni());
    EXPECT_EQ(storedRow(), rowWith(kOld));
    EXPECT_EQ(common::OpzioniCorbix.Centrale, kOld);
    EXPECT_TRUE(boxes_.shown.empty());
}

// Another program holds the archive while the folder has already been moved:
// nothing is written and the folder goes back where the archive says it is.
TEST_F(Options, RowThatCannotBeWrittenPutsTheFolderBack)
{
    makeFolders(onD(QStringLiteral("Dogana")), {QStringLiteral("Corbix")});
    addFlows();
    loadWithCentrale(kOld);
    const QVariantList before = storedRow();
    common::OpzioniCorbix.Centrale = kNew;
    testsupport::OtherProgram other(archiveHost());
    ASSERT_EQ(other.exec(QStringLiteral("BEGIN IMMEDIATE")), SQLITE_OK);
    EXPECT_FALSE(SalvaOpzioni());
    ASSERT_EQ(other.exec(QStringLiteral("ROLLBACK")), SQLITE_OK);
    EXPECT_EQ(boxes_.shown,
              std::vector<Message>{runTimeError(QStringLiteral("3218:\r\nImpossibile aggiornare. Attualmente bloccato."))});
    EXPECT_EQ(storedRow(), before);
    EXPECT_EQ(common::OpzioniCorbix.Centrale, kOld);
    EXPECT_EQ(entries(onD(QStringLiteral("Dogana"))), QStringList{QStringLiteral("Corbix")});
    EXPECT_EQ(fileNames(), oldNames);
}

// A register row that cannot take its new name undoes the whole move: the
// options row, the other names and the folder.
TEST_F(Options, ARegisterThatCannotBeRenamedUndoesTheMove)
{
    makeFolders(onD(QStringLiteral("Dogana")), {QStringLiteral("Corbix")});
    addFlows();
    loadWithCentrale(kOld);
    const QVariantList before = storedRow();
    execute(QStringLiteral("CREATE TRIGGER rifiuta BEFORE UPDATE OF NomeFile ON Corbix WHEN NEW.NomeFile LIKE "
                           "'%Risposte%' BEGIN SELECT RAISE(ABORT, 'no'); END"));
    common::OpzioniCorbix.Centrale = kNew;
    EXPECT_FALSE(SalvaOpzioni());
    execute(QStringLiteral("DROP TRIGGER rifiuta"));
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(storedRow(), before);
    EXPECT_EQ(common::OpzioniCorbix.Centrale, kOld);
    EXPECT_EQ(entries(onD(QStringLiteral("Dogana"))), QStringList{QStringLiteral("Corbix")});
    EXPECT_EQ(fileNames(), oldNames);
}

TEST_F(Options, LeggiCentraleReadsAnyArchive)
{
    const QString other = QStringLiteral("D:\\Altro.mdb");
    common::createArchive(onD(QStringLiteral("Altro.mdb"))).close();
    EXPECT_EQ(LeggiCentrale(other), QString());
    dao::Database::open(onD(QStringLiteral("Altro.mdb")))
        .execute(QStringLiteral("UPDATE Paramflu SET Centrale = NULL"), {}, dao::FailOnError);
    EXPECT_EQ(LeggiCentrale(other), QString());
    dao::Database::open(onD(QStringLiteral("Altro.mdb")))
        .execute(QStringLiteral("UPDATE Paramflu SET Centrale = ?"), {kOld}, dao::FailOnError);
    EXPECT_EQ(LeggiCentrale(other), kOld);
    dao::Database::open(onD(QStringLiteral("Altro.mdb"))).execute(QStringLiteral("DELETE FROM Paramflu"));
    EXPECT_EQ(LeggiCentrale(other), QString());
    EXPECT_TRUE(boxes_.shown.empty());
}

// The rename itself refused (here into the folder's own sub-folder), after
// the move's note was written: answered "Sì", the new path is kept for a
// move by hand and the note goes, so no start-up ever undoes that path.
TEST_F(Options, ARefusedRenameAnsweredYesLeavesNoNote)
{
    makeFolders(onD(QStringLiteral("Dogana")), {QStringLiteral("Corbix/Storico")});
    loadWithCentrale(kOld);
    const QString inside = QStringLiteral("\\\\PC-UFF1\\D\\Dogana\\Corbix\\Storico\\Nuovo\\");
    common::OpzioniCorbix.Centrale = inside;
    boxes_.answer(MsgResult::Yes);
    EXPECT_TRUE(SalvaOpzioni());
    EXPECT_EQ(boxes_.shown, std::vector<Message>{kMoveQuestion});
    EXPECT_EQ(storedCentrale(), inside);
    EXPECT_TRUE(common::ChiudiApplicazione);
    EXPECT_EQ(entries(onD(QStringLiteral("Dogana"))), QStringList{QStringLiteral("Corbix")});
    EXPECT_EQ(entries(onD(QStringLiteral("Dogana/Corbix"))), QStringList{QStringLiteral("Storico")});
    flowengine::FinisciSpostamentoCentrale();
    EXPECT_EQ(common::OpzioniCorbix.Centrale, inside);
}

// Start-up finishes a move that a crash interrupted, from the note beside
// the folder the archive names: the folder already at its new path makes
// the archive and the register follow it; a folder that never moved, or a
// move the archive committed, or a note torn while written only lose the
// note; a note of another collection point, or naming neither folder, stays.
TEST_F(Options, StartUpFinishesAnInterruptedMoveFromItsNote)
{
    const QByteArray note = kOld.toUtf8() + '\n' + kNew.toUtf8() + '\n';
    const struct {
        const char *name;
        QString stored;
        QStringList folders;       // under Dogana, before
        QByteArray text;           // the note Corbix.spostamento.corbix~
        QString centrale;          // afterwards, in the archive and in memory
        QStringList after;         // under Dogana, afterwards
        QStringList names;
    } cases[] = {
        {"moved, not committed", kOld, {QStringLiteral("Nuovo")}, note, kNew, {QStringLiteral("Nuovo")}, newNames},
        {"never moved", kOld, {QStringLiteral("Corbix")}, note, kOld, {QStringLiteral("Corbix")}, oldNames},
        {"committed", kNew, {QStringLiteral("Nuovo")}, note, kNew, {QStringLiteral("Nuovo")}, oldNames},
        {"torn", kOld, {QStringLiteral("Corbix")}, kOld.toUtf8() + '\n' + kNew.toUtf8().left(9), kOld,
         {QStringLiteral("Corbix")}, oldNames},
        {"neither folder", kOld, {}, note, kOld, {QStringLiteral("Corbix.spostamento.corbix~")}, oldNames},
        {"another collection point", kOld, {QStringLiteral("Corbix")},
         QByteArray("\\\\PC-UFF1\\D\\Altro\\\n\\\\PC-UFF1\\D\\Dogana\\Corbix\\\n"), kOld,
         {QStringLiteral("Corbix"), QStringLiteral("Corbix.spostamento.corbix~")}, oldNames},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QDir(onD(QStringLiteral("Dogana"))).removeRecursively();
        QDir().mkpath(onD(QStringLiteral("Dogana")));
        for (const QString &f : c.folders)
            makeFolders(onD(QStringLiteral("Dogana")), {f + QStringLiteral("/Corbix inviati")});
        QFile n(onD(QStringLiteral("Dogana/Corbix.spostamento.corbix~")));
        ASSERT_TRUE(n.open(QIODevice::WriteOnly));
        n.write(c.text);
        n.close();
        execute(QStringLiteral("DELETE FROM Corbix"));
        addFlows();
        loadWithCentrale(c.stored);
        flowengine::FinisciSpostamentoCentrale();
        EXPECT_EQ(storedCentrale(), c.centrale);
        EXPECT_EQ(common::OpzioniCorbix.Centrale, c.centrale);
        QStringList after = c.after;
        EXPECT_EQ(entries(onD(QStringLiteral("Dogana"))), after);
        EXPECT_EQ(fileNames(), c.names);
        EXPECT_TRUE(boxes_.shown.empty());
    }
}
