// A full disk at every step of a busy day on a sample program folder of
// 5 000 declarations: the composition to the removable medium and to a
// folder, the filing, the answer's fetch, its processing and the move of the
// collection point, each on a small file system that fills. Each ends with
// its message, leaves the archive's rows as they were and no file of the run
// behind, and goes through once space is freed.
#include "buildflow/buildflow.h"
#include "platform/qtpageprinter.h"
#include "sampleanswer/sampleanswer.h"
#include "sampledata/sampledata.h"

#include "common/globals.h"
#include "common/paths.h"
#include "common/settings.h"
#include "common/textfiles.h"
#include "flowengine/collectionpoint.h"
#include "flowengine/dispatchlist.h"
#include "flowengine/flowwriter.h"
#include "flowengine/journal.h"
#include "flowengine/options.h"
#include "flowengine/register.h"
#include "flowengine/reportprinting.h"
#include "platform/clock.h"
#include "platform/dao/recordset.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/filewriters.h"
#include "platform/messagebox.h"
#include "platform/pageprinter.h"
#include "platform/workstation.h"
#include "support/doubles/fakeclock.h"
#include "support/doubles/fixedworkstationsource.h"
#include "support/doubles/recordingmessagebox.h"
#include "support/smalldisk.h"
#include "support/tablerows.h"
#include "support/tempdir.h"
#include "support/wizardfinish.h"
#include "ui/main/frmcomposenew.h"
#include "ui/main/frmfaicorbex.h"
#include "ui/main/mediumcopy.h"
#include "ui/transmission/answerfetch.h"
#include "ui/transmission/answerprocess.h"
#include "ui/transmission/answerreport.h"
#include "ui/transmission/flowsend.h"

#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRadioButton>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

namespace platform {
// A message in a failure as the user reads it.
inline void PrintTo(const Message &m, std::ostream *out)
{
    *out << '"' << m.title.toStdString() << "\": \"" << m.text.toStdString() << "\" icon " << int(m.icon)
         << " buttons " << int(m.buttons) << " default " << m.defaultButton;
}
}  // namespace platform

using platform::Message;
using platform::MsgButtons;
using platform::MsgIcon;

using testsupport::clickAsUser;

namespace {

// Lists of names in failure messages as they read.
std::string listed(const QStringList &names) { return names.join(QStringLiteral(", ")).toStdString(); }

constexpr qint64 MB = 1024 * 1024;

Message runTimeError(int number, const QString &text)
{
    return {QStringLiteral("Errore di Run-time %1\r\n").arg(number) + text, QStringLiteral("CORBIX"), MsgIcon::Critical,
            MsgButtons::OK, 1};
}
const Message DiscoPieno = runTimeError(61, QStringLiteral("Disco pieno."));
const Message SpazioInsufficiente = runTimeError(3026, QStringLiteral("Spazio su disco insufficiente."));
// The same as the windows of the transmission tell them.
Message transmissionError(const Message &error)
{
    Message m = error;
    m.text.replace(QStringLiteral("\r\n"), QStringLiteral(":\r\n"));
    m.title = QStringLiteral("Corbix doganali");
    return m;
}

// The messages as the user reads them; reading the first full-disk message,
// the user frees space before pressing its button.
class Messages : public platform::RecordingMessageBoxService {
public:
    platform::MsgResult show(const Message &message) override
    {
        if (message == SpazioInsufficiente && onFullDisk) {
            onFullDisk();
            onFullDisk = {};
        }
        return RecordingMessageBoxService::show(message);
    }
    std::function<void()> onFullDisk;
};

// A sample program folder the program starts in, with the roads through its
// windows and functions and what they leave.
class DiskRoads : public ::testing::Test {
protected:
    explicit DiskRoads(int declarations) { made_ = makeFolder(declarations); }
    ~DiskRoads() override { common::resetGlobals(); }

    // A new sample program folder of that many generated declarations (0:
    // the hand-made sample), the one the program starts in from now on.
    bool makeFolder(int declarations)
    {
        folder_ = dir_.file(QStringLiteral("programma%1").arg(++folders_));
        QString out, err;
        QTextStream o(&out), e(&err);
        QStringList arguments{folder_};
        if (declarations > 0)
            arguments << QStringLiteral("--declarations") << QString::number(declarations);
        const bool made = sampledata::run(arguments, o, e) == 0;
        e.flush();
        EXPECT_TRUE(made) << err.toStdString();
        drivesGuard_.reset();
        drives_.emplace(folder_);
        drivesGuard_.emplace(*drives_);
        return made && startInFolder();
    }

    // What the application reads when it starts in the folder.
    bool startInFolder()
    {
        common::resetGlobals();
        common::CartellaProgramma = folder_ + u'/';
        return common::LeggiIni() && flowengine::CaricaOpzioni();
    }

    // The archive moved onto the disk, as drive E:, which CORBIX.INI then
    // names.
    void archiveOn(testsupport::SmallDisk &disk)
    {
        ASSERT_TRUE(QFile::copy(folder_ + QStringLiteral("/Archivio.mdb"), disk.file(QStringLiteral("Archivio.mdb"))));
        ASSERT_TRUE(QFile::remove(folder_ + QStringLiteral("/Archivio.mdb")));
        drives_->setDrive(u'e', disk.path());
        QFile ini(folder_ + QStringLiteral("/CORBIX.INI"));
        ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
        QByteArray text = ini.readAll();
        ini.close();
        ASSERT_TRUE(text.contains("C:\\Archivio.mdb"));
        text.replace("C:\\Archivio.mdb", "E:\\Archivio.mdb");
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ini.write(text);
        ini.close();
        ASSERT_TRUE(startInFolder());
    }

    // The collection point's folder on a disk of its own mounted over it,
    // with its five folders made again.
    void collectionPointOn(testsupport::SmallDisk &disk)
    {
        for (const char *name : {"Corbix in uscita", "Corbix inviati", "Risposte Pervenute", "Storico", "TEMP"})
            ASSERT_TRUE(QDir().mkpath(disk.file(QString::fromLatin1(name))));
    }

    // ------------------------------------------------------------ the wizard

    std::unique_ptr<uimain::frmComposeNew> onStep3() { return testsupport::wizardOnStep3(sampledata::Dichiarante1); }
    std::unique_ptr<uimain::frmComposeNew> onStep4(const QString &folder)
    {
        auto w = onStep3();
        clickAsUser(w->optWriteInDir);
        clickAsUser(w->cmdNextEnd);
        EXPECT_EQ(w->PassoCorrente, 4);
        w->cmbCustomOfficeCode->setEditText(QStringLiteral("012100"));
        w->txtProgNumber->setText(QStringLiteral("7"));
        w->txtPathXCorbex->setText(folder);
        return w;
    }
    // "&Fine", with the build screen driven by act once the flow is built.
    void finish(uimain::frmComposeNew &w, const std::function<void(uimain::frmFaiCorbex &)> &act)
    {
        built = testsupport::finishWizard(w, act);
    }
    // What the build screen of the last finish gave back to the wizard.
    testsupport::CorbexDiProva built;
    // The wizard's run to the medium or to a folder, the build's "OK" clicked
    // after before() ran.
    void compose(const QString &folder = QString(), const std::function<void()> &before = {})
    {
        auto w = folder.isEmpty() ? onStep3() : onStep4(folder);
        finish(*w, [&](uimain::frmFaiCorbex &f) {
            if (before)
                before();
            // A build that failed has told so and closed its screen.
            if (f.isVisible())
                clickAsUser(f.cmdConfirm);
        });
        EXPECT_FALSE(w->isVisible());
    }

    // The folder flow 7 of the first declarant composed into the collection
    // point's "Corbix in uscita", and the service's answer to it waiting on
    // the share.
    void folderFlowAnswered()
    {
        compose(QStringLiteral("C:\\Corbix\\Corbix in uscita"));
        ASSERT_EQ(boxes_.shown, std::vector<Message>());
        QString out, err;
        QTextStream o(&out), e(&err);
        ASSERT_EQ(sampleanswer::run({folder_, QStringLiteral("2026-01-15"), QStringLiteral("7")}, o, e), 0)
            << err.toStdString();
        ASSERT_TRUE(startInFolder());
    }
    flowengine::DatiCorbex flow7()
    {
        flowengine::DatiCorbex flow;
        flow.Data = clock_.now().date();
        flow.Posizione = flowengine::PosizioneInviati;
        flow.Progressivo = 7;
        EXPECT_FALSE(flowengine::CaricaCorbex(flow));
        return flow;
    }
    bool fetch() { return uitransmission::PrelevaRisposta(QStringLiteral("\\\\MIRSOLAN\\R001\\risposte\\20260115-W07"), flow7()); }

    // ------------------------------------------------------------ what is there

    dao::Database archive() { return dao::Database::open(platform::hostPath(common::PercorsoArchivio)); }
    // Every row of the register, of the declarations' index and of their
    // boxes, every column as text, in the archive's order.
    std::string rowsSha()
    {
        return testsupport::tablesSha(archive(), {"Corbix", "IndiceDoc", "DettaglioBol"});
    }
    // The register as "Posizione/Data/Progressivo/Stato/Tipo/RifFloppy", one row each.
    QStringList register_()
    {
        auto rs = archive().openRecordset(
            QStringLiteral("SELECT Posizione, Data, Progressivo, Stato, Tipo, RifFloppy FROM Corbix ORDER BY "
                           "Data, Progressivo, Posizione"),
            {}, dao::RecordsetType::Snapshot);
        QStringList out;
        for (; !rs->eof(); rs->moveNext()) {
            QStringList row;
            for (int c = 0; c < 6; ++c)
                row << (rs->value(c).isNull() ? QStringLiteral("<null>")
                        : c == 1              ? rs->value(c).toDate().toString(Qt::ISODate)
                                              : rs->value(c).toString());
            out << row.join(u'/');
        }
        return out;
    }
    // How many declarations are marked as sent (Stato1 2).
    int sent()
    {
        auto rs = archive().openRecordset(QStringLiteral("SELECT COUNT(*) FROM IndiceDoc WHERE Stato1 = 2"), {},
                                          dao::RecordsetType::Snapshot);
        return rs->value(0).toInt();
    }
    static QStringList entries(const QString &folder)
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }
    QString inCorbix(const QString &name) const { return folder_ + QStringLiteral("/Corbix/") + name; }
    // The files of the collection point's folders, "folder/name" each.
    QStringList collectionPoint() const
    {
        QStringList out;
        for (const QString &sub : entries(folder_ + QStringLiteral("/Corbix")))
            for (const QString &name : entries(inCorbix(sub)))
                out << sub + u'/' + name;
        return out;
    }

    testsupport::TempDir dir_;
    int folders_ = 0;
    QString folder_;
    bool made_ = false;
    platform::FixedWorkstationSource workstation_{QStringLiteral("pc-prova"), QStringLiteral("rossi")};
    platform::ScopedWorkstationSource workstationGuard_{workstation_};
    Messages boxes_;
    platform::ScopedMessageBoxService boxesGuard_{boxes_};
    platform::FakeClock clock_;
    platform::ScopedClock clockGuard_{clock_};
    std::optional<platform::DriveTable> drives_;
    std::optional<platform::ScopedDriveTable> drivesGuard_;
};

class FullDisk : public DiskRoads {
protected:
    FullDisk() : DiskRoads(5000) {}
};

TEST_F(FullDisk, AFullMediumAtTheCompositionIsToldAndTheSameCompositionGoesThroughOnceSpaceIsFreed)
{
    ASSERT_TRUE(made_);
    SMALL_DISK(medium, 8 * MB);
    drives_->setDrive(u'a', medium.path());
    // Room for the start of the flow, not for all of it.
    medium.fill(256 * 1024);
    const std::string before = rowsSha();
    compose();
    ASSERT_EQ(boxes_.shown.size(), 2u);
    EXPECT_EQ(boxes_.shown[1], DiscoPieno);
    EXPECT_FALSE(built.CorbexScritto);
    EXPECT_EQ(rowsSha(), before);
    EXPECT_EQ(listed(entries(medium.path())), ".riempitivo");
    EXPECT_EQ(listed(collectionPoint()), "");

    medium.free();
    boxes_.shown.clear();
    compose();
    ASSERT_EQ(boxes_.shown.size(), 2u);
    EXPECT_EQ(boxes_.shown[1].text, QStringLiteral("Il corbex è stato trasferito sul supporto magnetico correttamente "
                                                   "con il nome 'PRATICHE.001'."));
    EXPECT_EQ(listed(entries(medium.path())), "PRATICHE.001");
    // The flow is larger than the room the full disk had: its writing had begun.
    EXPECT_GT(QFileInfo(medium.file(QStringLiteral("PRATICHE.001"))).size(), 256 * 1024);
    EXPECT_EQ(register_(), QStringList{QStringLiteral("3/2026-01-15/1/1/1/PRATICHE.001")});
    EXPECT_EQ(sent(), 2500);
    EXPECT_EQ(listed(collectionPoint()), "Corbix inviati/20260115-0, TEMP/VordamaB01");
}

TEST_F(FullDisk, AFullDestinationFolderIsToldAndTheSameCompositionGoesThroughOnceSpaceIsFreed)
{
    ASSERT_TRUE(made_);
    SMALL_DISK(destination, 8 * MB);
    drives_->setDrive(u'd', destination.path());
    destination.fill(256 * 1024);
    const std::string before = rowsSha();
    compose(QStringLiteral("D:\\"));
    EXPECT_EQ(boxes_.shown, std::vector{DiscoPieno});
    EXPECT_EQ(rowsSha(), before);
    EXPECT_EQ(listed(entries(destination.path())), ".riempitivo");
    EXPECT_EQ(listed(collectionPoint()), "");

    destination.free();
    boxes_.shown.clear();
    compose(QStringLiteral("D:\\"));
    EXPECT_EQ(boxes_.shown, std::vector<Message>());
    EXPECT_EQ(listed(entries(destination.path())), "R0010115.T07");
    EXPECT_GT(QFileInfo(destination.file(QStringLiteral("R0010115.T07"))).size(), 256 * 1024);
    EXPECT_EQ(register_(), QStringList{QStringLiteral("3/2026-01-15/7/1/2/<null>")});
    EXPECT_EQ(sent(), 2500);
}

// The archive's disk fills while the build screen waits for its "OK": the
// filing's transaction cannot be written. The user frees space on reading
// the message, so that a folder flow's reservation can be deleted after it.
TEST_F(FullDisk, TheArchiveFullAtTheFilingIsToldAndNothingIsFiledUntilSpaceIsFreed)
{
    ASSERT_TRUE(made_);
    SMALL_DISK(archiveDisk, 32 * MB);
    archiveOn(archiveDisk);
    SMALL_DISK(medium, 8 * MB);
    drives_->setDrive(u'a', medium.path());
    const std::string before = rowsSha();
    for (const QString &destination : {QString(), QStringLiteral("C:\\Corbix\\Corbix in uscita")}) {
        SCOPED_TRACE(destination.toStdString());
        boxes_.shown.clear();
        boxes_.onFullDisk = [&] { archiveDisk.free(); };
        compose(destination, [&] { archiveDisk.fill(); });
        ASSERT_FALSE(boxes_.shown.empty());
        EXPECT_EQ(boxes_.shown.back(), SpazioInsufficiente);
        EXPECT_EQ(std::count(boxes_.shown.begin(), boxes_.shown.end(), SpazioInsufficiente), 1);
        EXPECT_EQ(rowsSha(), before);
        EXPECT_EQ(listed(entries(medium.path())), "");
        EXPECT_EQ(listed(collectionPoint()), "");
        EXPECT_EQ(listed(entries(archiveDisk.path())), "Archivio.mdb");
    }

    boxes_.shown.clear();
    compose();
    ASSERT_EQ(boxes_.shown.size(), 2u);
    EXPECT_EQ(boxes_.shown[1].text, QStringLiteral("Il corbex è stato trasferito sul supporto magnetico correttamente "
                                                   "con il nome 'PRATICHE.001'."));
    EXPECT_EQ(register_(), QStringList{QStringLiteral("3/2026-01-15/1/1/1/PRATICHE.001")});
    EXPECT_EQ(sent(), 2500);
}

TEST_F(FullDisk, AFullCollectionPointAtTheFetchIsToldAndTheSameAnswerIsFetchedOnceSpaceIsFreed)
{
    ASSERT_TRUE(made_);
    SMALL_DISK(collection, 16 * MB, folder_ + QStringLiteral("/Corbix"));
    collectionPointOn(collection);
    folderFlowAnswered();
    const std::string before = rowsSha();
    const QStringList kept = collectionPoint();
    collection.fill();
    boxes_.shown.clear();
    EXPECT_FALSE(fetch());
    EXPECT_EQ(boxes_.shown, std::vector{transmissionError(DiscoPieno)});
    EXPECT_EQ(rowsSha(), before);
    EXPECT_EQ(listed(collectionPoint()), listed(kept));

    collection.free();
    boxes_.shown.clear();
    EXPECT_TRUE(fetch());
    EXPECT_EQ(register_(), (QStringList{QStringLiteral("3/2026-01-15/7/3/2/<null>"),
                                        QStringLiteral("4/2026-01-15/7/0/0/<null>")}));
    QStringList stored = kept + QStringList{QStringLiteral("Risposte Pervenute/20260115-7-W")};
    stored.sort();
    EXPECT_EQ(listed(collectionPoint()), listed(stored));
}

// The archive's disk fills before the fetch: its transaction is refused, and
// the fetch leaves at once no temporary and no journal, on the share or in
// the collection point.
TEST_F(FullDisk, TheArchiveFullAtTheFetchIsToldAndLeavesNothingOfTheFetch)
{
    ASSERT_TRUE(made_);
    SMALL_DISK(archiveDisk, 32 * MB);
    archiveOn(archiveDisk);
    folderFlowAnswered();
    const std::string before = rowsSha();
    const QStringList kept = collectionPoint();
    const QString share = folder_ + QStringLiteral("/servizio/R001/risposte");
    const QStringList onShare = entries(share);
    archiveDisk.fill();
    boxes_.shown.clear();
    EXPECT_FALSE(fetch());
    EXPECT_EQ(boxes_.shown, std::vector{transmissionError(SpazioInsufficiente)});
    archiveDisk.free();
    EXPECT_EQ(rowsSha(), before);
    EXPECT_EQ(listed(collectionPoint()), listed(kept));
    EXPECT_EQ(listed(entries(share)), listed(onShare));

    boxes_.shown.clear();
    EXPECT_TRUE(fetch());
    EXPECT_EQ(register_(), (QStringList{QStringLiteral("3/2026-01-15/7/3/2/<null>"),
                                        QStringLiteral("4/2026-01-15/7/0/0/<null>")}));
}

TEST_F(FullDisk, TheArchiveFullAtTheProcessingIsToldAndTheSameAnswerIsProcessedOnceSpaceIsFreed)
{
    ASSERT_TRUE(made_);
    // The write-back's rollback journal may hold as many pages as it changes.
    SMALL_DISK(archiveDisk, 64 * MB);
    archiveOn(archiveDisk);
    folderFlowAnswered();
    ASSERT_TRUE(fetch());
    boxes_.shown.clear();
    const std::string before = rowsSha();
    const QStringList files = collectionPoint();
    archiveDisk.fill();
    EXPECT_EQ(uitransmission::ElaboraRisposta(clock_.now().date(), 7), uitransmission::EsitoElaborazione::Fallita);
    EXPECT_EQ(boxes_.shown, std::vector{transmissionError(SpazioInsufficiente)});
    archiveDisk.free();
    EXPECT_EQ(rowsSha(), before);
    EXPECT_EQ(listed(collectionPoint()), listed(files));
    EXPECT_EQ(listed(entries(archiveDisk.path())), "Archivio.mdb");

    boxes_.shown.clear();
    EXPECT_EQ(uitransmission::ElaboraRisposta(clock_.now().date(), 7), uitransmission::EsitoElaborazione::Elaborata);
    EXPECT_EQ(boxes_.shown, (std::vector<Message>{{QStringLiteral("La risposta è stata elaborata."),
                                                   QStringLiteral("Corbix doganali."), MsgIcon::Information,
                                                   MsgButtons::OK, 1}}));
    EXPECT_EQ(flow7().Stato, flowengine::StatoRispostaElaborata);
    EXPECT_NE(rowsSha(), before);
}

// The archive's disk is full when the options are saved with the collection
// point moved: the folder goes back and the register keeps its names.
TEST_F(FullDisk, TheArchiveFullAtTheMoveOfTheCollectionPointIsToldAndTheSameMoveGoesThroughOnceSpaceIsFreed)
{
    ASSERT_TRUE(made_);
    SMALL_DISK(archiveDisk, 64 * MB);
    archiveOn(archiveDisk);
    compose();
    boxes_.shown.clear();
    const std::string before = rowsSha();
    const QStringList files = collectionPoint();
    const QString stored = common::OpzioniCorbix.Centrale;
    const QString moved = flowengine::formaDiReteCentrale(QStringLiteral("C:\\Nuovo\\"));
    archiveDisk.fill();
    common::OpzioniCorbix.Centrale = moved;
    EXPECT_FALSE(flowengine::SalvaOpzioni());
    EXPECT_EQ(boxes_.shown, std::vector{transmissionError(SpazioInsufficiente)});
    archiveDisk.free();
    EXPECT_EQ(rowsSha(), before);
    EXPECT_EQ(listed(collectionPoint()), listed(files));
    // No note of the move is left beside the folder.
    EXPECT_EQ(listed(entries(folder_)), "CORBIX.INI, Corbix, Corbix.mdb, dosdevices, servizio, supporto");
    EXPECT_EQ(listed(entries(archiveDisk.path())), "Archivio.mdb");
    ASSERT_TRUE(startInFolder());
    EXPECT_EQ(common::OpzioniCorbix.Centrale, stored);

    boxes_.shown.clear();
    common::OpzioniCorbix.Centrale = moved;
    EXPECT_TRUE(flowengine::SalvaOpzioni());
    EXPECT_EQ(boxes_.shown, std::vector<Message>());
    EXPECT_EQ(listed(entries(folder_)), "CORBIX.INI, Corbix.mdb, Nuovo, dosdevices, servizio, supporto");
    ASSERT_TRUE(startInFolder());
    EXPECT_EQ(common::OpzioniCorbix.Centrale, moved);
    auto rs = archive().openRecordset(QStringLiteral("SELECT NomeFile FROM Corbix"), {}, dao::RecordsetType::Snapshot);
    EXPECT_EQ(rs->value(0).toString(), moved + QStringLiteral("Corbix inviati\\20260115-0"));
}

}  // namespace

namespace {

// Bytes as a failure shows them: their size and their hash.
std::string digest(const QByteArray &bytes)
{
    return std::to_string(bytes.size()) + " bytes, "
           + QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex().left(12).toStdString();
}
#define EXPECT_SAME(a, b) EXPECT_EQ(digest(a), digest(b))

// Where the small file system of a place stands.
enum class Where {
    OwnFolder,        // a folder of its own, outside the program folder
    CollectionPoint,  // over the collection point's folder
    Medium,           // the removable medium's drive A:
    Share,            // over the EDI service's share \\MIRSOLAN\R001
};

// A place that writes files, as the program reaches it.
struct Place {
    std::string name;
    Where where;
    int upToKiB;                    // K runs from 0 past what the place writes
    std::function<void()> before;   // what the place needs, made while there is room
    std::function<bool()> act;      // the action: whether it reports success
    std::vector<Message> refusal;   // what the user is told when it refuses
    QString raised;                 // the error a refusal raises or prints, as "61"
    std::function<void()> whole;    // what must hold once it reports success
};

class PartialDisk : public DiskRoads {
protected:
    PartialDisk() : DiskRoads(0) {}

    // Declarations 1, 3 and 5 of the first declarant with 40 articles each
    // (the most a declaration has), copies of their first with its
    // description at its full 70 characters: a flow of about 16 KiB.
    void fortyArticles()
    {
        dao::Database db = archive();
        db.execute(QStringLiteral("DELETE FROM DettaglioBol WHERE Indice IN (1, 3, 5) AND Modulo = 'A' AND "
                                  "Articolo > 1"),
                   {}, dao::FailOnError);
        db.execute(QStringLiteral("UPDATE DettaglioBol SET Contenuto = ? WHERE Indice IN (1, 3, 5) AND Modulo = 'A' "
                                  "AND Campo = '31' AND SottoCasella = '1'"),
                   {QStringLiteral("Elaboratori portatili con schermo da 15 pollici, batteria, alimentatore")},
                   dao::FailOnError);
        for (int k = 2; k <= 40; ++k)
            db.execute(QStringLiteral("INSERT INTO DettaglioBol (Indice, Data, Articolo, Modulo, Campo, SottoCasella, "
                                      "Riga, Contenuto, MaxLung, Corretto, Gestito, Controllato) SELECT Indice, Data, "
                                      "?, Modulo, Campo, SottoCasella, Riga, CASE WHEN Campo = '32' THEN ? ELSE "
                                      "Contenuto END, MaxLung, Corretto, Gestito, Controllato FROM DettaglioBol WHERE "
                                      "Indice IN (1, 3, 5) AND Modulo = 'A' AND Articolo = 1"),
                       {k, QString::number(k)}, dao::FailOnError);
        db.execute(QStringLiteral("UPDATE DettaglioBol SET Contenuto = '40' WHERE Indice IN (1, 3, 5) AND Modulo = 'F' "
                                  "AND Campo = '05'"),
                   {}, dao::FailOnError);
        db.close();
    }

    // Every file of the program folder and of the disk (the archive apart,
    // whose rows rowsSha() tells), each with its size and its bytes' hash.
    QString files() const
    {
        QStringList out;
        for (const QString &root : {folder_, disk_}) {
            if (root.isEmpty() || (root != folder_ && root.startsWith(folder_ + u'/')))
                continue;
            QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QFileInfo info(it.next());
                if (info.isSymLink() || info.fileName() == QLatin1String(".riempitivo")
                    || info.suffix() == QLatin1String("mdb"))
                    continue;
                QFile f(info.filePath());
                const QByteArray bytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("?");
                out << info.filePath() + u' ' + QString::number(bytes.size()) + u' '
                           + QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex());
            }
        }
        out.sort();
        return out.join(u'\n');
    }

    // Runs a step that reports a failure by raising it: the error's number in raised_.
    bool raises(const std::function<void()> &step)
    {
        try {
            step();
            return true;
        } catch (const platform::RuntimeError &e) {
            raised_ = QString::number(e.number());
            return false;
        }
    }
    // Runs a tool: what it printed on its errors in raised_.
    bool tool(const std::function<int(QTextStream &, QTextStream &)> &run)
    {
        QString out, err;
        QTextStream o(&out), e(&err);
        const int code = run(o, e);
        e.flush();
        raised_ = err;
        // A tool leaves the program-wide values reset: the program starts again.
        EXPECT_TRUE(startInFolder());
        return code == 0;
    }

    static QByteArray bytesOf(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    static QByteArray lf(QByteArray bytes) { return bytes.replace("\r\n", "\n"); }
    static QByteArray pattern(qsizetype size)
    {
        QByteArray bytes;
        for (int line = 0; bytes.size() < size; ++line)
            bytes += QByteArray::number(line).rightJustified(8, '0') + QByteArray(60, 'a' + char(line % 26)) + "\r\n";
        return bytes.left(size);
    }
    // The first whole result of a place, which every later one must equal.
    void sameAsFirst(const std::string &place, const QByteArray &bytes)
    {
        const auto [it, first] = reference_.try_emplace(place, bytes);
        if (!first) {
            EXPECT_SAME(bytes, it->second);
        }
    }
    // Prints a report with no printer installed, as the screen titled so
    // does: whether the user is told of its PDF alone.
    bool printedToPdf(const QString &title, const std::function<void()> &print)
    {
        platform::QtPagePrinter printer;
        platform::ScopedPagePrinter guard(printer);
        const flowengine::DestinazioneStampa pdf(title);
        boxes_.shown.clear();
        print();
        return boxes_.shown.size() == 1
               && boxes_.shown[0].text.startsWith(QStringLiteral("Nessuna stampante disponibile"));
    }
    // The answer report of flow 7's accepted declarations printed to a PDF.
    bool answerReportToPdf()
    {
        const flowengine::DatiCorbex sent = flow(7);
        auto rs = archive().openRecordset(QStringLiteral("SELECT NomeFile FROM Corbix WHERE Posizione = 4"), {},
                                          dao::RecordsetType::Snapshot);
        const uitransmission::DatiTabulato report{sent.Data, sent.Progressivo, sent.NomeFile, sent.CompostoDa,
                                                  rs->value(0).toString()};
        rs->close();
        return printedToPdf(QStringLiteral("Tabulato esplicativo"), [&] { uitransmission::StampaEsitiPositivi(report); });
    }
    // The archive copy of the register's last flow.
    QByteArray archiveCopy()
    {
        auto rs = archive().openRecordset(QStringLiteral("SELECT NomeFile FROM Corbix ORDER BY Progressivo DESC"), {},
                                          dao::RecordsetType::Snapshot);
        return rs->eof() ? QByteArray("<none>") : bytesOf(platform::hostPath(rs->value(0).toString()));
    }
    flowengine::DatiCorbex flow(qint32 number)
    {
        flowengine::DatiCorbex f;
        f.Data = clock_.now().date();
        f.Posizione = flowengine::PosizioneInviati;
        f.Progressivo = number;
        EXPECT_FALSE(flowengine::CaricaCorbex(f));
        return f;
    }

    QString disk_;     // where the place's disk is mounted
    QString raised_;   // what the last refusal raised or printed
    QString built_;    // a built flow in TEMP, as the writer left it
    std::map<std::string, QByteArray> reference_;
};

const QByteArray Selection = "T\r\n010101Z         \r\n3\r\n2024/03/04-000000001\r\n2024/03/04-000000003\r\n"
                             "2024/03/04-000000005\r\n";

void writeHost(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

using common::MarcaTemporaneo;

const QString Trasferito = QStringLiteral("Il corbex è stato trasferito sul supporto magnetico correttamente con il "
                                          "nome 'PRATICHE.001'.");
const Message Inserire{QStringLiteral("Inserire il supporto magnetico previsto nell'unità A: e scegliere 'OK' quando "
                                      "si è pronti."),
                       QStringLiteral("Corbix doganali"), MsgIcon::Information, MsgButtons::OK, 1};

}  // namespace

// Each place that writes a file, on a small file system with K KiB left, K
// from 0 past all the place writes in 4 KiB steps, across Qt's 16 KiB
// buffer: at every K the action either refuses with its message, leaving
// every file and the archive's rows as they were, or writes every file whole;
// once space is freed, the action refused goes through.
TEST_F(PartialDisk, EveryPlaceEitherRefusesChangingNothingOrWritesEveryFileWhole)
{
    if (testsupport::rerunInOwnNamespace())
        return;
    ASSERT_TRUE(made_);
    const QString outgoing = QStringLiteral("C:\\Corbix\\Corbix in uscita");
    // The fetch of the folder flow's answer, with the disk where given: the
    // answer rewritten on the share and its copy stored, alike and whole.
    const auto fetchOn = [&](const char *name, Where where) {
        return Place{name, where, 12, [&] { folderFlowAnswered(); }, [&] { return fetch(); },
                     {transmissionError(DiscoPieno)}, QString(), [&] {
                         const QByteArray answer =
                             bytesOf(folder_ + QStringLiteral("/servizio/R001/risposte/20260115-W07"));
                         EXPECT_TRUE(answer.endsWith("\r\n"));
                         EXPECT_SAME(bytesOf(inCorbix(QStringLiteral("Risposte Pervenute/20260115-7-W"))), answer);
                     }};
    };
    // One PDF in TEMP, whole, under its name.
    const auto pdfWhole = [&] {
        const QStringList pdfs = QDir(inCorbix(QStringLiteral("TEMP"))).entryList({QStringLiteral("*.pdf*")});
        ASSERT_EQ(pdfs.size(), 1) << listed(pdfs);
        EXPECT_TRUE(pdfs[0].endsWith(QLatin1String(".pdf")));
        const QByteArray pdf = bytesOf(inCorbix(QStringLiteral("TEMP/") + pdfs[0]));
        EXPECT_TRUE(pdf.trimmed().endsWith("%%EOF"));
    };
    // The settings file on the disk in its five lines, naming the archive.
    const auto settingsWhole = [&] {
        const QList<QByteArray> lines = common::splitLines(bytesOf(disk_ + QStringLiteral("/CORBIX.INI")));
        ASSERT_EQ(lines.size(), 5);
        EXPECT_EQ(lines[2], "C:\\Archivio.mdb");
        EXPECT_EQ(lines[3], "Non usata");
    };
    const std::vector<Place> places = {
        {"a file made in one go, 10 000 bytes", Where::OwnFolder, 16,
         [&] { ASSERT_NO_THROW(platform::replaceFile(disk_ + QStringLiteral("/file"), pattern(3000))); },
         [&] { return raises([&] { platform::replaceFile(disk_ + QStringLiteral("/file"), pattern(10000)); }); },
         {}, QStringLiteral("61"),
         [&] {
             EXPECT_SAME(bytesOf(disk_ + QStringLiteral("/file")), pattern(10000));
             EXPECT_EQ(entries(disk_).filter(QLatin1String(MarcaTemporaneo)), QStringList());
         }},
        {"a file made in one go, 40 000 bytes", Where::OwnFolder, 48,
         [&] { ASSERT_NO_THROW(platform::replaceFile(disk_ + QStringLiteral("/file"), pattern(3000))); },
         [&] { return raises([&] { platform::replaceFile(disk_ + QStringLiteral("/file"), pattern(40000)); }); },
         {}, QStringLiteral("61"),
         [&] { EXPECT_SAME(bytesOf(disk_ + QStringLiteral("/file")), pattern(40000)); }},
        {"a file written in pieces of 1 000 bytes", Where::OwnFolder, 44, [] {},
         [&] {
             platform::CheckedFile file(disk_ + QStringLiteral("/pezzi"));
             return raises([&] {
                 try {
                     if (!file.open(QIODevice::NewOnly))
                         file.raiseError();
                     const QByteArray bytes = pattern(40000);
                     for (qsizetype at = 0; at < bytes.size(); at += 1000)
                         file.writeAll(bytes.mid(at, 1000));
                     file.finish();
                 } catch (const platform::RuntimeError &) {
                     // What a writer in pieces leaves is its caller's to remove.
                     file.close();
                     QFile::remove(file.fileName());
                     throw;
                 }
             });
         },
         {}, QStringLiteral("61"), [&] { EXPECT_SAME(bytesOf(disk_ + QStringLiteral("/pezzi")), pattern(40000)); }},
        {"the settings file (ScriviIni)", Where::OwnFolder, 8,
         [&] {
             writeHost(disk_ + QStringLiteral("/CORBIX.INI"), "\r\n\r\nC:\\Vecchio.mdb\r\nNon usata\r\n0.9.0\r\n");
             common::CartellaProgramma = disk_ + u'/';
         },
         [&] { return common::ScriviIni(); }, {}, QString(), settingsWhole},
        {"the settings file of the earlier form (AggiornaIni)", Where::OwnFolder, 8,
         [&] {
             writeHost(disk_ + QStringLiteral("/CORBIX.INI"), "C:\\Archivio.mdb\r\n");
             common::CartellaProgramma = disk_ + u'/';
         },
         [&] { return common::LeggiIni(); }, {}, QString(), settingsWhole},
        {"two texts joined (CopyTextFile)", Where::OwnFolder, 24,
         [&] {
             writeHost(folder_ + QStringLiteral("/primo"), pattern(7000));
             writeHost(folder_ + QStringLiteral("/secondo"), pattern(7100));
             drives_->setDrive(u'e', disk_);
         },
         [&] {
             return raises([] {
                 ASSERT_EQ(common::CopyTextFile(QStringLiteral("C:\\primo"), QStringLiteral("C:\\secondo"),
                                                QStringLiteral("E:\\unito")),
                           0);
             });
         },
         {}, QStringLiteral("61"),
         [&] {
             EXPECT_EQ(common::splitLines(bytesOf(disk_ + QStringLiteral("/unito"))),
                       common::splitLines(pattern(7000)) + common::splitLines(pattern(7100)));
         }},
        {"a copy with LF line ends (CopyWithLineEnd)", Where::OwnFolder, 36,
         [&] {
             writeHost(folder_ + QStringLiteral("/origine"), pattern(30000));
             drives_->setDrive(u'e', disk_);
         },
         [&] {
             return raises([] {
                 ASSERT_FALSE(common::CopyWithLineEnd(QStringLiteral("C:\\origine"), QStringLiteral("E:\\copia"),
                                                      QStringLiteral("\n")));
             });
         },
         {}, QStringLiteral("61"),
         [&] { EXPECT_SAME(bytesOf(disk_ + QStringLiteral("/copia")), common::joinLines(common::splitLines(pattern(30000)), "\n")); }},
        {"the envelope's rewrite of the built flow (ImbustaCorbex)", Where::CollectionPoint, 24,
         [&] {
             const QString selection = QString::fromLatin1(Selection);
             ASSERT_NO_THROW(built_ = flowengine::CreaCorbex(selection, flowengine::Destinazione::Cartella, false).fileCorbex);
             ASSERT_GT(bytesOf(platform::hostPath(built_)).size(), 16 * 1024);
             reference_["the built flow"] = bytesOf(platform::hostPath(built_));
         },
         [&] {
             return raises([&] {
                 ASSERT_TRUE(uimain::ImbustaCorbex(built_, clock_.now().date(), 7, QStringLiteral("012100"),
                                                   sampledata::Dichiarante1));
             });
         },
         {}, QStringLiteral("61"),
         [&] {
             const QByteArray flow = reference_["the built flow"];
             const QByteArray enveloped = bytesOf(platform::hostPath(built_));
             const qsizetype end = enveloped.indexOf("\r\n");
             ASSERT_EQ(end, 75);
             EXPECT_EQ(enveloped.mid(70, 5), QByteArray::number(flow.count("\r\n") + 1).rightJustified(5, '0'));
             EXPECT_SAME(enveloped.mid(end + 2), flow);
         }},
        {"the folder road, a flow of 16 KiB with its envelope", Where::CollectionPoint, 64, [] {},
         [&] {
             compose(outgoing);
             return built.CorbexScritto && boxes_.shown.empty();
         },
         {DiscoPieno}, QString(),
         [&] {
             const QByteArray copy = archiveCopy();
             EXPECT_GT(copy.size(), 16 * 1024);
             EXPECT_EQ(copy.mid(70, 5), QByteArray::number(copy.count("\r\n")).rightJustified(5, '0'));
             EXPECT_SAME(bytesOf(inCorbix(QStringLiteral("Corbix in uscita/R0010115.T07"))), lf(copy));
             EXPECT_EQ(listed(entries(inCorbix(QStringLiteral("Corbix in uscita")))), "R0010115.T07");
             EXPECT_EQ(register_(), QStringList{QStringLiteral("3/2026-01-15/7/1/2/<null>")});
             EXPECT_EQ(sent(), 3);
         }},
        {"the removable-medium road", Where::Medium, 24, [] {},
         [&] {
             compose();
             return built.CorbexScritto && boxes_.shown.size() == 2 && boxes_.shown[1].text == Trasferito;
         },
         {Inserire, DiscoPieno}, QString(),
         [&] {
             EXPECT_EQ(listed(entries(disk_).filter(QStringLiteral("PRATICHE"))), "PRATICHE.001");
             EXPECT_SAME(bytesOf(disk_ + QStringLiteral("/PRATICHE.001")), lf(archiveCopy()));
             EXPECT_EQ(register_(), QStringList{QStringLiteral("3/2026-01-15/1/1/1/PRATICHE.001")});
         }},
        {"\"&Riproduci\" onto the removable medium", Where::Medium, 24,
         [&] {
             compose();
             ASSERT_TRUE(QFile::remove(disk_ + QStringLiteral("/PRATICHE.001")));
         },
         [&] {
             uimain::RiproduciSuSupporto(flow(1));
             return !boxes_.shown.empty()
                    && boxes_.shown.back().text == QStringLiteral("Il corbex 'PRATICHE.001' è stato trascritto con "
                                                                  "successo.");
         },
         {{QStringLiteral("Inserire il supporto magnetico previsto nell'unità 'A:' e scegliere 'OK' per procedere"),
           QStringLiteral("Corbix doganali"), MsgIcon::Information, MsgButtons::OKCancel, 1},
          DiscoPieno},
         QString(), [&] { EXPECT_SAME(bytesOf(disk_ + QStringLiteral("/PRATICHE.001")), lf(archiveCopy())); }},
        {"the send to the EDI service's share", Where::Share, 24,
         [&] {
             ASSERT_TRUE(QDir().mkpath(disk_ + QStringLiteral("/corbix")));
             compose();
             boxes_.shown.clear();
         },
         [&] {
             return uitransmission::SpedisciFile(QStringLiteral("R001"), flow(1).NomeFile,
                                                 QStringLiteral("26011501-012100"));
         },
         {transmissionError(DiscoPieno)}, QString(),
         [&] { EXPECT_SAME(bytesOf(disk_ + QStringLiteral("/corbix/26011501-012100")), archiveCopy()); }},
        fetchOn("the answer's stored copy at the fetch", Where::CollectionPoint),
        fetchOn("the answer's rewrite at its path on the share", Where::Share),
        {"the dispatch list's PDF, some 15 KB", Where::CollectionPoint, 24, [&] { compose(); },
         [&] {
             const flowengine::DatiCorbex sent = flow(1);
             return printedToPdf(QStringLiteral("Corbix doganali"), [&] { flowengine::StampaDistinta(sent); });
         },
         {{QStringLiteral("Errore di Run-time 61\r\nDisco pieno.\r\n(Durante la stampa della distinta)"),
           QStringLiteral("Corbix"), MsgIcon::Critical, MsgButtons::OK, 1}},
         QString(), [&] { pdfWhole(); }},
        {"the answer report's PDF of the accepted declarations", Where::CollectionPoint, 24,
         [&] {
             folderFlowAnswered();
             ASSERT_TRUE(fetch());
             ASSERT_EQ(uitransmission::ElaboraRisposta(clock_.now().date(), 7),
                       uitransmission::EsitoElaborazione::Elaborata);
         },
         [&] { return answerReportToPdf(); },
         {{QStringLiteral("Errore di Run-time 61\r\nDisco pieno.\r\n(Durante la stampa degli esiti positivi)"),
           QStringLiteral("Tabulato esplicativo"), MsgIcon::Critical, MsgButtons::OK, 1}},
         QString(), [&] { pdfWhole(); }},
        {"corbix-sample-answer's answer on the share", Where::Share, 8,
         [&] { compose(outgoing); },
         [&] {
             return tool([&](QTextStream &o, QTextStream &e) {
                 return sampleanswer::run({folder_, QStringLiteral("2026-01-15"), QStringLiteral("7")}, o, e);
             });
         },
         {}, QStringLiteral("Errore 61: Disco pieno.\n"),
         [&] { sameAsFirst("answer", bytesOf(disk_ + QStringLiteral("/risposte/20260115-W07"))); }},
        {"corbix-build-flow's output", Where::OwnFolder, 28,
         [&] { writeHost(folder_ + QStringLiteral("/selezione"), Selection); },
         [&] {
             return tool([&](QTextStream &o, QTextStream &e) {
                 return buildflow::run({folder_, folder_ + QStringLiteral("/selezione"), disk_ + QStringLiteral("/uscita"),
                                        QStringLiteral("--destination"), QStringLiteral("1"),
                                        QStringLiteral("--today"), QStringLiteral("2026-01-15")},
                                       o, e);
             });
         },
         {}, QStringLiteral("Errore 61: Disco pieno.\n"),
         [&] {
             for (const char *name : {"flow", "log", "composition"})
                 sameAsFirst(name, bytesOf(disk_ + QStringLiteral("/uscita/") + QLatin1String(name)));
         }},
    };

    for (const Place &place : places) {
        std::vector<int> refused, wrote;
        for (int k = 0; k <= place.upToKiB; k += 4) {
            SCOPED_TRACE(place.name + ", K = " + std::to_string(k));
            ASSERT_TRUE(makeFolder(0));
            fortyArticles();
            boxes_.shown.clear();
            const QString at = place.where == Where::CollectionPoint ? folder_ + QStringLiteral("/Corbix")
                               : place.where == Where::Share     ? folder_ + QStringLiteral("/servizio/R001")
                                                                 : QString();
            testsupport::SmallDisk disk(MB, at);
            if (!disk.mounted())
                GTEST_SKIP() << disk.reason().toStdString();
            disk_ = disk.path();
            if (place.where == Where::CollectionPoint)
                collectionPointOn(disk);
            if (place.where == Where::Medium)
                drives_->setDrive(u'a', disk.path());
            place.before();
            if (HasFatalFailure())
                return;
            const QString filesBefore = files();
            const std::string rowsBefore = rowsSha();
            boxes_.shown.clear();
            raised_.clear();
            disk.fill(qint64(k) * 1024);
            if (place.act()) {
                wrote.push_back(k);
                place.whole();
                continue;
            }
            refused.push_back(k);
            EXPECT_EQ(boxes_.shown, place.refusal);
            EXPECT_EQ(raised_, place.raised);
            EXPECT_EQ(files().toStdString(), filesBefore.toStdString());
            EXPECT_EQ(rowsSha(), rowsBefore);
            // Once space is freed the same action goes through.
            disk.free();
            boxes_.shown.clear();
            raised_.clear();
            EXPECT_TRUE(place.act()) << raised_.toStdString();
            place.whole();
        }
        // A full disk refuses; enough room writes.
        EXPECT_FALSE(refused.empty()) << place.name;
        EXPECT_TRUE(!refused.empty() && refused.front() == 0) << place.name;
        EXPECT_TRUE(!wrote.empty() && wrote.back() == place.upToKiB) << place.name;
        std::string kept;
        for (const int k : refused)
            kept += ' ' + std::to_string(k);
        std::printf("%s: refused at K =%s\n", place.name.c_str(), kept.c_str());
    }
}

namespace {

// A place that writes files, with the temporaries another user of the shared
// folders can foresee it using.
struct LinkedPlace {
    std::string name;
    std::function<QStringList()> before;  // what the place needs; the host names to plant links under
    std::function<bool()> act;            // the action: whether it reports success
    std::function<void()> whole;          // what must hold once it has
};

class PlantedLink : public PartialDisk {
protected:
    // Under each name a link to a victim file of its own, outside every
    // folder of the program.
    void plant(const QStringList &names)
    {
        victims_.clear();
        for (const QString &name : names) {
            const QString victim = outside_.file(QStringLiteral("vittima%1").arg(++planted_));
            writeHost(victim, "mai sovrascritta " + QByteArray::number(planted_));
            ASSERT_TRUE(QFile::link(victim, name)) << name.toStdString();
            victims_[victim] = bytesOf(victim);
        }
    }
    void expectVictimsKept()
    {
        for (const auto &[victim, bytes] : victims_)
            EXPECT_EQ(bytesOf(victim), bytes) << victim.toStdString();
    }
    // The links standing under a temporary's name in the program folder and
    // on the medium.
    QStringList linksUnderTemporaries() const
    {
        QStringList out;
        for (const QString &root : {folder_, medium_}) {
            QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QFileInfo info(it.next());
                if (info.isSymLink() && info.fileName().endsWith(QLatin1String(MarcaTemporaneo)))
                    out << info.filePath();
            }
        }
        return out;
    }

    testsupport::TempDir outside_;
    int planted_ = 0;
    std::map<QString, QByteArray> victims_;
    QString medium_;
};

}  // namespace

// Each place that writes a file, with a link planted under every temporary
// name it may use, each pointing at a file outside the program's folders:
// the place ends with a regular file under its final name, every victim
// keeps its bytes, and no link is left under a temporary's name, neither
// after the action nor after the start-up that follows.
TEST_F(PlantedLink, EveryPlaceWritesItsOwnFileAndNeverThroughALinkUnderItsTemporary)
{
    ASSERT_TRUE(made_);
    const QString outgoing = QStringLiteral("C:\\Corbix\\Corbix in uscita");
    const auto temp = [&](const QString &name) { return inCorbix(QStringLiteral("TEMP/") + name); };
    // The journal's first name in TEMP and the temporary of the envelope's
    // rewrite of the built flow.
    const auto composition = [&] {
        return QStringList{temp(QStringLiteral("Giornale pc-prova-rossi _.corbix~")),
                           temp(QStringLiteral("Vordama_01.corbix~"))};
    };
    const auto regular = [](const QString &path) {
        const QFileInfo info(path);
        EXPECT_TRUE(info.isFile() && !info.isSymLink()) << path.toStdString();
    };
    const auto pdfIn = [&](const std::function<void()> &before) {
        return [&, before] {
            before();
            return QStringList{temp(QStringLiteral("Stampa-") + clock_.now().toString(QStringLiteral("yyyyMMdd-HHmmss"))
                                    + QStringLiteral(".pdf.corbix~"))};
        };
    };
    const auto pdfWhole = [&] {
        const QStringList pdfs = QDir(inCorbix(QStringLiteral("TEMP"))).entryList({QStringLiteral("*.pdf")});
        ASSERT_EQ(pdfs.size(), 1) << listed(pdfs);
        regular(temp(pdfs[0]));
        EXPECT_TRUE(bytesOf(temp(pdfs[0])).trimmed().endsWith("%%EOF"));
    };
    const std::vector<LinkedPlace> places = {
        {"the settings file",
         [&] { return QStringList{folder_ + QStringLiteral("/CORBIX.INI.corbix~")}; },
         [&] { return common::ScriviIni(); },
         [&] {
             regular(folder_ + QStringLiteral("/CORBIX.INI"));
             EXPECT_EQ(common::splitLines(bytesOf(folder_ + QStringLiteral("/CORBIX.INI"))).size(), 5);
         }},
        {"the folder road: the built flow, its work files, the journal and the envelope",
         [&] { return composition() << inCorbix(QStringLiteral("Corbix in uscita/R0010115.T07.corbix~")); },
         [&] {
             compose(outgoing);
             return built.CorbexScritto && boxes_.shown.empty();
         },
         [&] {
             regular(inCorbix(QStringLiteral("Corbix in uscita/R0010115.T07")));
             EXPECT_EQ(bytesOf(inCorbix(QStringLiteral("Corbix in uscita/R0010115.T07"))), lf(archiveCopy()));
         }},
        {"the removable-medium road, the writer's three work files taken by links",
         [&] {
             return QStringList{temp(QStringLiteral("Vordama_01")), temp(QStringLiteral("VordamaA01")),
                                temp(QStringLiteral("VordamaB01")), medium_ + QStringLiteral("/PRATICHE.001.corbix~")};
         },
         [&] {
             compose();
             return built.CorbexScritto && boxes_.shown.size() == 2 && boxes_.shown[1].text == Trasferito;
         },
         [&] {
             regular(medium_ + QStringLiteral("/PRATICHE.001"));
             EXPECT_EQ(bytesOf(medium_ + QStringLiteral("/PRATICHE.001")), lf(archiveCopy()));
         }},
        {"\"&Riproduci\" onto the removable medium",
         [&] {
             compose();
             EXPECT_TRUE(QFile::remove(medium_ + QStringLiteral("/PRATICHE.001")));
             return QStringList{medium_ + QStringLiteral("/PRATICHE.001.corbix~")};
         },
         [&] {
             uimain::RiproduciSuSupporto(flow(1));
             return !boxes_.shown.empty()
                    && boxes_.shown.back().text
                           == QStringLiteral("Il corbex 'PRATICHE.001' è stato trascritto con successo.");
         },
         [&] { EXPECT_EQ(bytesOf(medium_ + QStringLiteral("/PRATICHE.001")), lf(archiveCopy())); }},
        {"the send to the EDI service's share",
         [&] {
             compose();
             boxes_.shown.clear();
             EXPECT_TRUE(QDir().mkpath(folder_ + QStringLiteral("/servizio/R001/corbix")));
             return QStringList{folder_ + QStringLiteral("/servizio/R001/corbix/26011501-012100.corbix~")};
         },
         [&] {
             return uitransmission::SpedisciFile(QStringLiteral("R001"), flow(1).NomeFile,
                                                 QStringLiteral("26011501-012100"));
         },
         [&] {
             const QString sent = folder_ + QStringLiteral("/servizio/R001/corbix/26011501-012100");
             regular(sent);
             EXPECT_EQ(bytesOf(sent), archiveCopy());
         }},
        {"the answer's stored copy at the fetch",
         [&] {
             folderFlowAnswered();
             return QStringList{inCorbix(QStringLiteral("Risposte Pervenute/20260115-7-W.corbix~"))};
         },
         [&] { return fetch(); },
         [&] {
             regular(inCorbix(QStringLiteral("Risposte Pervenute/20260115-7-W")));
             EXPECT_EQ(bytesOf(inCorbix(QStringLiteral("Risposte Pervenute/20260115-7-W"))),
                       bytesOf(folder_ + QStringLiteral("/servizio/R001/risposte/20260115-W07")));
         }},
        {"the dispatch list's PDF", pdfIn([&] { compose(); }),
         [&] {
             const flowengine::DatiCorbex sent = flow(1);
             return printedToPdf(QStringLiteral("Corbix doganali"), [&] { flowengine::StampaDistinta(sent); });
         },
         pdfWhole},
        {"the answer report's PDF",
         pdfIn([&] {
             folderFlowAnswered();
             ASSERT_TRUE(fetch());
             ASSERT_EQ(uitransmission::ElaboraRisposta(clock_.now().date(), 7),
                       uitransmission::EsitoElaborazione::Elaborata);
         }),
         [&] { return answerReportToPdf(); },
         pdfWhole},
    };
    for (const LinkedPlace &place : places) {
        SCOPED_TRACE(place.name);
        ASSERT_TRUE(makeFolder(0));
        boxes_.shown.clear();
        medium_ = dir_.file(QStringLiteral("supporto%1").arg(folders_));
        ASSERT_TRUE(QDir().mkpath(medium_));
        drives_->setDrive(u'a', medium_);
        const QStringList names = place.before();
        if (HasFatalFailure())
            return;
        plant(names);
        boxes_.shown.clear();
        EXPECT_TRUE(place.act()) << (boxes_.shown.empty() ? std::string() : boxes_.shown.back().text.toStdString());
        place.whole();
        expectVictimsKept();
        // A journal's name that another took is passed over; the start-up
        // removes the link there.
        EXPECT_EQ(listed(linksUnderTemporaries().filter(QRegularExpression(QStringLiteral("/(?!Giornale )[^/]*$")))), "");
        ASSERT_TRUE(startInFolder());
        flowengine::SistemaLavoriInterrotti();
        expectVictimsKept();
        EXPECT_EQ(listed(linksUnderTemporaries()), "");
    }
}
