#include "compose_fixture.h"

#include "common/errordialog.h"
#include "platform/errors.h"
#include "support/doubles/recordingerrordialog.h"
#include "support/otherprogram.h"
#include "support/wizardfinish.h"
#include "ui/main/composition.h"

using namespace uimain;
using platform::MsgIcon;

namespace {

const QString kList = QStringLiteral("1-04/03/2024-00001TO\r\n5-04/03/2024-00005TO\r\n");
const QString kSelection =
    QStringLiteral("T\r\n010101Z         \r\n2\r\n2024/03/04-000000001\r\n2024/03/04-000000005\r\n");

class Filing : public ComposeTest {
protected:
    Filing()
    {
        QDir().mkpath(onC(QStringLiteral("Invio")));
        // The build screen leaves the medium's flow under its temporary name.
        tmp_.write(QStringLiteral("floppy/PRATICHE.001.corbix~"), "a\nb\n");
    }
    // A built flow in TEMP.
    QString built(const QByteArray &bytes)
    {
        tmp_.write(QStringLiteral("c/Corbix/TEMP/Vordama_01"), bytes);
        return QStringLiteral("C:\\Corbix\\TEMP\\Vordama_01");
    }
    // Files the flow as the road does.
    static std::optional<QString> archivia(const testsupport::CorbexDiProva &c) { return ArchiviaCorbex(c, c); }
    testsupport::CorbexDiProva medium()
    {
        testsupport::CorbexDiProva c;
        c.DestinazioneCorbex = flowengine::Destinazione::Supporto;
        c.data = today();
        c.FileTemporaneo = built("T1 a\t\r\n?1 b\t\r\n");
        c.FileSupporto = QStringLiteral("PRATICHE.001");
        c.ElencoComposizione = kList;
        c.dichiarante = QStringLiteral("010101Z");
        c.TestoSelezione = kSelection;
        return c;
    }
    testsupport::CorbexDiProva folder()
    {
        testsupport::CorbexDiProva c;
        c.DestinazioneCorbex = flowengine::Destinazione::Cartella;
        c.data = today();
        c.riservata = *RiservaRiga(today(), 7, QStringLiteral("010101Z"));
        const QString envelope = RecordBusta(QStringLiteral("R001"), today(), 7, QStringLiteral("012100"),
                                             QStringLiteral("010101Z"), 2);
        c.FileTemporaneo = built(platform::toWindows1252(envelope) + "\r\nT1 a\t\r\n?1 b\t\r\n");
        c.ElencoComposizione = kList;
        c.dichiarante = QStringLiteral("010101Z");
        c.TestoSelezione = kSelection;
        c.cartella = QStringLiteral("C:\\Invio");
        c.progressivo = 7;
        c.ufficio = QStringLiteral("012100");
        return c;
    }
    platform::Message runTime(int number, const QString &description) const
    {
        return box(QStringLiteral("Errore di Run-time ") + QString::number(number) + QStringLiteral("\r\n") + description,
                   QStringLiteral("CORBIX"), MsgIcon::Critical);
    }
    const QString kListStored = QStringLiteral("1-04/03/2024-00001TO|5-04/03/2024-00005TO|");
};

}  // namespace

TEST_F(Filing, ARemovableMediumFlowIsArchivedNumberedAndMarked)
{
    execute(QStringLiteral("INSERT INTO Corbix (Posizione, Data, Progressivo, Stato, Tipo) VALUES (4, ?, 3, 0, 0)"),
            {today()});
    const auto name = archivia(medium());
    ASSERT_TRUE(name.has_value());
    EXPECT_EQ(*name, QStringLiteral("C:\\Corbix\\Corbix inviati\\20260115-0"));
    EXPECT_EQ(bytes(inCorbix(QStringLiteral("Corbix inviati/20260115-0"))), QByteArray("T1 a\t\r\n?1 b\t\r\n"));
    EXPECT_EQ(register_().join(u'\n'),
              QStringLiteral("4/2026-01-15/3//<null>/0/0//\n"
                             "3/2026-01-15/4/C:\\Corbix\\Corbix inviati\\20260115-0/")
                  + kListStored + QStringLiteral("/1/1/PRATICHE.001/010101Z"));
    EXPECT_EQ(stati(), QStringLiteral("20002"));
    EXPECT_EQ(entries(inCorbix(QStringLiteral("TEMP"))), QStringList());
    EXPECT_EQ(bytes(onFloppy(QStringLiteral("PRATICHE.001"))), QByteArray("a\nb\n"));
    EXPECT_EQ(entries(tmp_.file(QStringLiteral("floppy"))), QStringList{QStringLiteral("PRATICHE.001")});
    // The medium's file is named to the user once it has its name.
    EXPECT_EQ(boxes_.shown, std::vector{box(QStringLiteral("Il corbex è stato trasferito sul supporto magnetico "
                                                           "correttamente con il nome 'PRATICHE.001'."),
                                            QStringLiteral("Corbix doganali"), MsgIcon::Information)});
}

TEST_F(Filing, AFolderFlowCompletesExactlyItsReservedRow)
{
    testsupport::CorbexDiProva c = folder();
    // The run ends after midnight: the day of the reservation still names everything.
    clock_.setNow(QDateTime(today().addDays(1), QTime(0, 1)));
    execute(QStringLiteral("INSERT INTO Corbix (Posizione, Data, Progressivo, Stato, Tipo) VALUES (3, ?, 7, 1, 2)"),
            {clock_.now().date()});
    const QByteArray flow = bytes(inCorbix(QStringLiteral("TEMP/Vordama_01")));
    const auto name = archivia(c);
    ASSERT_TRUE(name.has_value());
    EXPECT_EQ(*name, QStringLiteral("C:\\Corbix\\Corbix inviati\\20260115-0"));
    EXPECT_EQ(bytes(inCorbix(QStringLiteral("Corbix inviati/20260115-0"))), flow);
    QByteArray lf = flow;
    lf.replace("\r\n", "\n");
    EXPECT_EQ(bytes(onC(QStringLiteral("Invio/R0010115.T07"))), lf);
    EXPECT_EQ(register_().join(u'\n'),
              QStringLiteral("3/2026-01-15/7/C:\\Corbix\\Corbix inviati\\20260115-0/") + kListStored
                  + QStringLiteral("/1/2/<null>/010101Z\n3/2026-01-16/7//<null>/1/2//"));
    EXPECT_EQ(stati(), QStringLiteral("20002"));
    EXPECT_EQ(entries(inCorbix(QStringLiteral("TEMP"))), QStringList());
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(Filing, WithoutTheSentFolderNothingIsMarkedAndTheReservationGoes)
{
    testsupport::CorbexDiProva c = folder();
    QDir(inCorbix(QStringLiteral("Corbix inviati"))).removeRecursively();
    EXPECT_FALSE(archivia(c).has_value());
    EXPECT_EQ(boxes_.shown, std::vector{runTime(76, QStringLiteral("Impossibile trovare il percorso."))});
    EXPECT_EQ(stati(), QStringLiteral("00000"));
    EXPECT_TRUE(register_().isEmpty());
    EXPECT_EQ(entries(onC(QStringLiteral("Invio"))), QStringList());
    EXPECT_EQ(entries(inCorbix(QStringLiteral("TEMP"))), QStringList{QStringLiteral("Vordama_01")});
}

// The start of the filing's transaction waits out the silent cycle; then
// "Ignora" leaves the filing as "Interrompi" does: nothing of it may run
// outside the transaction.
TEST_F(Filing, ALockedArchiveUndoesTheFilesOfARemovableMediumFlow)
{
    for (const platform::MsgResult answer : {platform::MsgResult::Abort, platform::MsgResult::Ignore}) {
        SCOPED_TRACE(int(answer));
        common::RecordingErrorDialogService errors;
        common::ScopedErrorDialogService errorsGuard(errors);
        errors.answer(answer);
        testsupport::OtherProgram other(archiveHost());
        ASSERT_EQ(other.exec(QStringLiteral("BEGIN IMMEDIATE")), 0);
        EXPECT_FALSE(archivia(medium()).has_value());
        other.exec(QStringLiteral("ROLLBACK"));
        EXPECT_EQ(errors.shown,
                  std::vector<QString>{QStringLiteral(
                      "Si è verificato l'errore  3218\r\nImpossibile aggiornare. Attualmente bloccato.\r\n"
                      "(è stato eseguito un ciclo di attesa di 15 secondi)\r\nFunzione: ArchiviaCorbex\r\n"
                      "Nessun suggerimento")});
        EXPECT_TRUE(boxes_.shown.empty());
        EXPECT_EQ(stati(), QStringLiteral("00000"));
        EXPECT_TRUE(register_().isEmpty());
        EXPECT_EQ(entries(inCorbix(QStringLiteral("Corbix inviati"))), QStringList());
        EXPECT_EQ(entries(tmp_.file(QStringLiteral("floppy"))), QStringList());
        EXPECT_EQ(entries(inCorbix(QStringLiteral("TEMP"))), QStringList{QStringLiteral("Vordama_01")});
    }
}

TEST_F(Filing, AReservedRowDeletedMeanwhileFailsTheFilingAndMarksNothing)
{
    testsupport::CorbexDiProva c = folder();
    execute(QStringLiteral("DELETE FROM Corbix"));
    EXPECT_FALSE(archivia(c).has_value());
    EXPECT_EQ(boxes_.shown, std::vector{runTime(3021, QStringLiteral("Nessun record corrente."))});
    EXPECT_EQ(stati(), QStringLiteral("00000"));
    EXPECT_EQ(entries(inCorbix(QStringLiteral("Corbix inviati"))), QStringList());
    EXPECT_EQ(entries(onC(QStringLiteral("Invio"))), QStringList());
}

TEST_F(Filing, AnOfficeThatLeavesTheFolderIsRefusedByName)
{
    common::OpzioniCorbix.SendWith = common::CanaleInvio(3);
    testsupport::CorbexDiProva c = folder();
    c.ufficio = QStringLiteral("..\\..");
    EXPECT_FALSE(archivia(c).has_value());
    EXPECT_EQ(boxes_.shown, std::vector{box(QStringLiteral("Il nome del file '26011507-..\\..' non è valido."),
                                            QStringLiteral("Corbix doganali"), MsgIcon::Exclamation)});
    EXPECT_TRUE(register_().isEmpty());
    EXPECT_EQ(stati(), QStringLiteral("00000"));
    // With that channel the name is made of the date, the number and the office.
    c = folder();
    boxes_.shown.clear();
    ASSERT_TRUE(archivia(c).has_value());
    EXPECT_EQ(entries(onC(QStringLiteral("Invio"))), QStringList{QStringLiteral("26011507-012100")});
}

// The build screen writes the medium's flow under its temporary, with the
// first name that neither a file, a folder nor another run's temporary holds.
TEST_F(Filing, TheMediumsFlowWaitsUnderItsTemporaryWithTheFirstFreeName)
{
    flowengine::GiornaleLavoro journal;
    EXPECT_EQ(ScriviSulSupporto("c\nd\n", journal), QStringLiteral("A:\\PRATICHE.002"));
    EXPECT_EQ(bytes(onFloppy(QStringLiteral("PRATICHE.002.corbix~"))), QByteArray("c\nd\n"));
    QDir().mkpath(onFloppy(QStringLiteral("PRATICHE.003")));
    EXPECT_EQ(ScriviSulSupporto("e\n", journal), QStringLiteral("A:\\PRATICHE.004"));
    EXPECT_EQ(bytes(onFloppy(QStringLiteral("PRATICHE.004.corbix~"))), QByteArray("e\n"));
    EXPECT_TRUE(QFileInfo(onFloppy(QStringLiteral("PRATICHE.003"))).isDir());
    EXPECT_EQ(entries(tmp_.file(QStringLiteral("floppy"))),
              (QStringList{QStringLiteral("PRATICHE.001.corbix~"), QStringLiteral("PRATICHE.002.corbix~"),
                           QStringLiteral("PRATICHE.003"), QStringLiteral("PRATICHE.004.corbix~")}));
}
