#include "flowengine/register.h"

#include "common/errordialog.h"

#include "flowengine/flowlines.h"

#include "archive_fixture.h"
#include "support/doubles/recordingerrordialog.h"

using namespace flowengine;
using platform::Message;
using platform::MsgButtons;
using platform::MsgIcon;

namespace {

const QDate Day(2024, 3, 5);

class Register : public ArchiveTest {
protected:
    Register() { common::OpzioniCorbix.Centrale = QStringLiteral("C:\\Punto\\"); }

    // A flow of two declarations, its archive copy on drive C: and its answer.
    void addFlowWithFile()
    {
        QDir().mkpath(onC("Punto/Corbix inviati"));
        QFile f(onC("Punto/Corbix inviati/flusso.txt"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("riga\r\n");
        f.close();
        addDeclaration(12, Day, 2);
        addDeclaration(13, QDate(2024, 3, 4), 2);
        addDeclaration(14, Day, 2);  // not in the flow
        addFlow(3, Day, 7, 1, 2, "SPED1", "12-05/03/2024-ABC1234\r\n13-04/03/2024-XYZ0001\r\n",
                "C:\\Punto\\Corbix inviati\\flusso.txt");
        addFlow(4, Day, 7, 0, 0, "SPED1", {}, "C:\\Punto\\Risposte Pervenute\\risposta.W");
    }
    DatiCorbex loaded()
    {
        DatiCorbex flow;
        flow.Data = Day;
        flow.Posizione = 3;
        flow.Progressivo = 7;
        EXPECT_FALSE(CaricaCorbex(flow));
        return flow;
    }
    bool fileThere() { return QFile::exists(onC("Punto/Corbix inviati/flusso.txt")); }
};

}  // namespace

TEST_F(Register, LoadCopiesTheRowAndAMissingRowLeavesTheRecordAsItWas)
{
    addFlow(3, Day, 70000, 5, 1, "SPED1", "1-05/03/2024-R\r\n", "C:\\a.txt", "PRATICHE.001", 3, 1, 0);
    DatiCorbex flow;
    flow.Data = Day;
    flow.Posizione = 3;
    flow.Progressivo = 70000;
    EXPECT_FALSE(CaricaCorbex(flow));
    EXPECT_EQ(flow.CompostoDa, "1-05/03/2024-R\r\n");
    EXPECT_EQ(flow.NomeFile, "C:\\a.txt");
    EXPECT_EQ(flow.Stato, 5);
    EXPECT_EQ(flow.Tipo, 1);
    EXPECT_EQ(flow.RifFloppy, "PRATICHE.001");
    EXPECT_EQ(flow.FattoDa, "SPED1");
    EXPECT_EQ(flow.OK, 3);
    EXPECT_EQ(flow.KO, 1);
    EXPECT_EQ(flow.ND, 0);

    DatiCorbex other = flow;
    other.Progressivo = 70001;
    EXPECT_TRUE(CaricaCorbex(other));
    EXPECT_EQ(other.CompostoDa, flow.CompostoDa);
    EXPECT_EQ(other.OK, 3);
}

TEST_F(Register, NullFieldsReadEmptyAndNullCountersKeepTheirValue)
{
    addFlow(3, Day, 1, 1, 2, QString());
    DatiCorbex flow;
    flow.Data = Day;
    flow.Posizione = 3;
    flow.Progressivo = 1;
    flow.NomeFile = "vecchio";
    flow.OK = 9;
    flow.KO = 8;
    flow.ND = 7;
    EXPECT_FALSE(CaricaCorbex(flow));
    EXPECT_EQ(flow.NomeFile, "");
    EXPECT_EQ(flow.CompostoDa, "");
    EXPECT_EQ(flow.FattoDa, "");
    EXPECT_EQ(flow.OK, 9);
    EXPECT_EQ(flow.KO, 8);
    EXPECT_EQ(flow.ND, 7);
}

TEST_F(Register, ReleasingFreesEveryDeclarationOfTheListEvenTheLastWithoutLineEnd)
{
    addDeclaration(12, Day, 2);
    addDeclaration(13, QDate(2024, 3, 4), 2);
    addDeclaration(12, QDate(2024, 3, 4), 2);  // same index, another day
    RilasciaDocumenti("12-05/03/2024-ABC1234\r\n99-05/03/2024-NONCE01\r\n13-4/3/2024-R-1");
    EXPECT_EQ(stato1(12, Day), 0);
    EXPECT_EQ(stato1(13, QDate(2024, 3, 4)), 0);
    EXPECT_EQ(stato1(12, QDate(2024, 3, 4)), 2);
}

TEST_F(Register, CompositionLinesSplitIntoIndexDateAndTheRest)
{
    std::vector<DocumentoCorbex> righe;
    ASSERT_EQ(LeggiCompostoDa(righe, "12-05/03/2024-ABC-12\r\n 7 -1/2/2023"), 2);
    EXPECT_EQ(righe[0].Indice, 12);
    EXPECT_EQ(righe[0].Data, Day);
    EXPECT_EQ(righe[0].Rif, "ABC-12");
    EXPECT_EQ(righe[1].Indice, 7);
    EXPECT_EQ(righe[1].Data, QDate(2023, 2, 1));
    EXPECT_EQ(righe[1].Rif, "");
}

TEST_F(Register, DeletingAloneRemovesRowAndFileAndLeavesTheDeclarationsMarked)
{
    addFlowWithFile();
    ASSERT_EQ(EliminaCorbex(loaded()), EsitoEliminazione::Eliminata);
    EXPECT_EQ(registerKeys(), QStringList{"4 05/03/2024 7"}) << "the answer row stays";
    EXPECT_FALSE(fileThere());
    EXPECT_EQ(stato1(12, Day), 2);
    EXPECT_EQ(stato1(13, QDate(2024, 3, 4)), 2);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Register, CancellingReleasesTheDeclarationsAndDeletesRowAndFile)
{
    addFlowWithFile();
    ASSERT_EQ(EliminaCorbex(loaded(), true), EsitoEliminazione::Eliminata);
    EXPECT_EQ(registerKeys(), QStringList{"4 05/03/2024 7"});
    EXPECT_FALSE(fileThere());
    EXPECT_EQ(stato1(12, Day), 0);
    EXPECT_EQ(stato1(13, QDate(2024, 3, 4)), 0);
    EXPECT_EQ(stato1(14, Day), 2) << "a declaration of another flow";
    EXPECT_TRUE(boxes.shown.empty());
}

// Only a file inside the collection point's "Corbix inviati" is removed,
// whichever way the register spells its path; a file the register names
// anywhere else stays, the row going all the same.
TEST_F(Register, DeletingRemovesOnlyAFileInsideTheCollectionPointsSentFolder)
{
    QDir().mkpath(onC("Punto/Corbix inviati"));
    QDir().mkpath(onC("Punto/Corbix inviati altri"));
    QDir().mkpath(onC("Nuovo/Corbix inviati"));
    QDir().mkpath(onC("Punto/Storico"));
    tmp_.write("c/Punto/Corbix inviati/flusso.txt", "riga\r\n");
    tmp_.write("c/Punto/Corbix inviati altri/flusso.txt", "riga\r\n");
    tmp_.write("c/Punto/Storico/flusso.txt", "riga\r\n");
    tmp_.write("c/fuori.txt", "riga\r\n");
    QFile::link(onC("fuori.txt"), onC("Punto/Corbix inviati/collegamento"));
    const struct {
        const char *centrale;
        const char *nomeFile;
        const char *file;  // relative to drive C:
        bool removed;
    } cases[] = {
        {"C:\\Nuovo\\", "C:\\Punto\\Corbix inviati\\flusso.txt", "Punto/Corbix inviati/flusso.txt", false},
        {"C:\\Punto\\", "C:\\Punto\\Corbix inviati altri\\flusso.txt", "Punto/Corbix inviati altri/flusso.txt",
         false},
        {"C:\\Punto\\", "C:\\Punto\\Storico\\flusso.txt", "Punto/Storico/flusso.txt", false},
        {"C:\\Punto\\", "C:\\Archivio.mdb", "Archivio.mdb", false},
        {"C:\\Punto\\", "C:\\Punto\\Corbix inviati\\collegamento", "fuori.txt", false},
        {"", "C:\\Punto\\Corbix inviati\\flusso.txt", "Punto/Corbix inviati/flusso.txt", false},
        {"C:\\Punto\\", "c:\\PUNTO\\corbix INVIATI\\FLUSSO.TXT", "Punto/Corbix inviati/flusso.txt", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.nomeFile);
        common::OpzioniCorbix.Centrale = QString::fromLatin1(c.centrale);
        addFlow(3, Day, 1, 1, 2, "S", {}, QString::fromLatin1(c.nomeFile));
        DatiCorbex flow;
        flow.Data = Day;
        flow.Posizione = 3;
        flow.Progressivo = 1;
        ASSERT_FALSE(CaricaCorbex(flow));
        EXPECT_EQ(EliminaCorbex(flow), EsitoEliminazione::Eliminata);
        EXPECT_TRUE(registerKeys().isEmpty());
        EXPECT_EQ(QFile::exists(onC(QString::fromLatin1(c.file))), !c.removed);
    }
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(QFileInfo(onC("Punto/Corbix inviati/collegamento")).isSymLink());
}

TEST_F(Register, DeletingAFlowWithoutAFileRemovesOnlyItsRow)
{
    addFlow(3, Day, 1, 1, 2, "S", {}, {});
    addFlow(3, Day, 2, 1, 2, "S", {}, "C:\\manca.txt");
    for (int n : {1, 2}) {
        DatiCorbex flow;
        flow.Data = Day;
        flow.Posizione = 3;
        flow.Progressivo = n;
        ASSERT_FALSE(CaricaCorbex(flow));
        EXPECT_EQ(EliminaCorbex(flow), EsitoEliminazione::Eliminata);
    }
    EXPECT_TRUE(registerKeys().isEmpty());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Register, ADeletionOfARowNoLongerAsListedChangesNothing)
{
    // Another workstation deleted the flow and filed its own under the same
    // date and number, or changed one column, after the list was read.
    const char *changes[] = {
        "UPDATE Corbix SET CompostoDa = '14-05/03/2024-RIF0014' || char(13, 10), FattoDa = 'ALTRO' WHERE Posizione = 3",
        "UPDATE Corbix SET Stato = 2 WHERE Posizione = 3",
        "UPDATE Corbix SET OK = 1 WHERE Posizione = 3",
        "UPDATE Corbix SET NomeFile = NULL WHERE Posizione = 3",
        "DELETE FROM Corbix WHERE Posizione = 3",
    };
    for (const char *change : changes) {
        for (bool rilascia : {false, true}) {
            SCOPED_TRACE(std::string(change) + (rilascia ? " (cancel)" : " (delete)"));
            db.execute("DELETE FROM Corbix");
            db.execute("DELETE FROM IndiceDoc");
            addFlowWithFile();
            const DatiCorbex listed = loaded();
            db.execute(QString::fromUtf8(change));
            const QStringList keys = registerKeys();
            EXPECT_EQ(EliminaCorbex(listed, rilascia), EsitoEliminazione::NonElencata);
            EXPECT_EQ(registerKeys(), keys);
            EXPECT_TRUE(fileThere());
            EXPECT_EQ(stato1(12, Day), 2);
            EXPECT_EQ(stato1(13, QDate(2024, 3, 4)), 2);
            EXPECT_EQ(stato1(14, Day), 2);
            EXPECT_TRUE(boxes.shown.empty());
            EXPECT_EQ(db.transactionDepth(), 0);
        }
    }
}

TEST_F(Register, AFailedCancelLeavesRegisterDeclarationsAndFileAsTheyWere)
{
    addFlowWithFile();
    DatiCorbex flow = loaded();
    flow.CompostoDa += "15-31/02/2024-BAD0001\r\n";  // not a date, met after two releases
    db.execute("UPDATE Corbix SET CompostoDa = ? WHERE Posizione = 3", {flow.CompostoDa});
    EXPECT_EQ(EliminaCorbex(flow, true), EsitoEliminazione::Fallita);
    EXPECT_EQ(registerKeys(), (QStringList{"3 05/03/2024 7", "4 05/03/2024 7"}));
    EXPECT_TRUE(fileThere());
    EXPECT_EQ(stato1(12, Day), 2);
    EXPECT_EQ(stato1(13, QDate(2024, 3, 4)), 2);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0], (Message{"Errore di Run-time 13\r\nTipo non corrispondente.", "Corbix doganali",
                                       MsgIcon::Critical, MsgButtons::OK, 1}));
    EXPECT_EQ(db.transactionDepth(), 0);
}

// The start of the deletion's transaction waits out the silent cycle; then
// whatever the user answers but "Riprova" leaves the deletion, since nothing
// of it may run outside the transaction.
TEST_F(Register, ALockedArchiveStopsTheDeletionBeforeAnythingChanges)
{
    addFlowWithFile();
    const DatiCorbex flow = loaded();
    for (const platform::MsgResult answer : {platform::MsgResult::Abort, platform::MsgResult::Ignore}) {
        SCOPED_TRACE(int(answer));
        common::RecordingErrorDialogService errors;
        common::ScopedErrorDialogService errorsGuard(errors);
        errors.answer(answer);
        testsupport::OtherProgram other(onC("Archivio.mdb"));
        ASSERT_EQ(other.exec("BEGIN IMMEDIATE"), SQLITE_OK);
        EXPECT_EQ(EliminaCorbex(flow, true), EsitoEliminazione::Fallita);
        ASSERT_EQ(other.exec("ROLLBACK"), SQLITE_OK);
        EXPECT_EQ(registerKeys(), (QStringList{"3 05/03/2024 7", "4 05/03/2024 7"}));
        EXPECT_TRUE(fileThere());
        EXPECT_EQ(stato1(12, Day), 2);
        EXPECT_TRUE(boxes.shown.empty());
        EXPECT_EQ(errors.shown, std::vector<QString>{
                                    "Si è verificato l'errore  3218\r\nImpossibile aggiornare. Attualmente bloccato.\r\n"
                                    "(è stato eseguito un ciclo di attesa di 15 secondi)\r\nFunzione: EliminaCorbex\r\n"
                                    "Nessun suggerimento"});
    }
}

TEST_F(Register, DeclarantDescriptionIsLookedUpWithTheCodeAsAValue)
{
    addDeclarant("SPED1", "Spedizioni Rossi");
    addDeclarant("O\"X", "Virgolette");
    EXPECT_EQ(DescrizioneSpedoga("SPED1"), "Spedizioni Rossi");
    EXPECT_EQ(DescrizioneSpedoga("O\"X"), "Virgolette");
    EXPECT_EQ(DescrizioneSpedoga("NESSUNO"), "");
    EXPECT_EQ(DescrizioneSpedoga("\" OR \"\"=\""), "");
}

TEST(StatusIcon, KeyByStateAndKind)
{
    struct Case {
        qint16 stato, tipo;
        const char *key;
    };
    const Case cases[] = {
        {1, 1, "FLOPPY"},   {1, 2, "RTARWWHT"}, {1, 0, "RTARWWHT"}, {2, 1, "RTARWGRN"}, {3, 2, "REDCHECK"},
        {4, 2, "CRITICAL"}, {5, 1, "GRNCHECK"}, {0, 1, ""},         {6, 2, ""},         {-1, 1, ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(IconaStato(c.stato, c.tipo), c.key) << c.stato << "/" << c.tipo;
}
