// A full disk at every step of a busy day on a sample program folder of
// 5 000 declarations: the composition to the removable medium and to a
// folder, the filing, the answer's fetch, its processing and the move of the
// collection point, each on a small file system that fills. Each ends with
// its message, leaves the archive's rows as they were and no file of the run
// behind, and goes through once space is freed.
#include "sampleanswer/sampleanswer.h"
#include "sampledata/sampledata.h"

#include "common/globals.h"
#include "common/settings.h"
#include "flowengine/collectionpoint.h"
#include "flowengine/options.h"
#include "flowengine/register.h"
#include "platform/clock.h"
#include "platform/dao/recordset.h"
#include "platform/drives.h"
#include "platform/messagebox.h"
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
#include "ui/transmission/answerfetch.h"
#include "ui/transmission/answerprocess.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
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

class FullDisk : public ::testing::Test {
protected:
    FullDisk()
    {
        QString out, err;
        QTextStream o(&out), e(&err);
        made_ = sampledata::run({folder_, QStringLiteral("--declarations"), QStringLiteral("5000")}, o, e) == 0;
        e.flush();
        EXPECT_TRUE(made_) << err.toStdString();
        drives_.emplace(folder_);
        drivesGuard_.emplace(*drives_);
        made_ = made_ && startInFolder();
    }
    ~FullDisk() override { common::resetGlobals(); }

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
    uimain::CorbexCostruito built;
    // The wizard's run to the medium or to a folder, the build's "OK" clicked
    // after before() ran.
    void compose(const QString &folder = QString(), const std::function<void()> &before = {})
    {
        auto w = folder.isEmpty() ? onStep3() : onStep4(folder);
        finish(*w, [&](uimain::frmFaiCorbex &f) {
            if (before)
                before();
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
    const QString folder_ = dir_.file(QStringLiteral("programma"));
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

#define SMALL_DISK(name, bytes, ...)                                                                                    \
    testsupport::SmallDisk name(bytes __VA_OPT__(, ) __VA_ARGS__);                                                   \
    if (!name.mounted())                                                                                             \
    GTEST_SKIP() << name.reason().toStdString()

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
